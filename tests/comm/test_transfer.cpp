// Parameter transfer against the simulated starter, over Modbus TCP on loopback and RTU on a
// socat pseudo-terminal pair: block layout, unlock before every block write, values on both
// sides, the running-motor rule, abort and the register-by-register fallback.

#include "DeviceFixture.h"

#include "comm/AccessCodes.h"
#include "param/Catalogue.h"

#include <QObject>
#include <gtest/gtest.h>

#include <set>

namespace rv8::comm {
namespace {

using param::Fx;
using param::PRM_TABLE;
using test::DeviceFixture;
using test::DeviceSetup;

constexpr uint8_t kRead = 3;
constexpr uint8_t kWriteMultiple = 16;

TEST(TransferBlocks, CutsContiguousRunsOfAtMost18)
{
    struct Row {
        const char* name;
        std::vector<uint16_t> addresses;
        std::vector<std::pair<int, int>> blocks;  // first index, count
    };
    std::vector<uint16_t> run36;
    for (uint16_t a = 1001; a < 1037; ++a)
        run36.push_back(a);
    std::vector<uint16_t> gapped;
    for (uint16_t a = 1001; a <= 1020; ++a)
        gapped.push_back(a);
    gapped.push_back(1030);
    const Row rows[] = {
        {"twenty then a lone address", gapped, {{0, 18}, {18, 2}, {20, 1}}},
        {"exactly two full blocks", run36, {{0, 18}, {18, 18}}},
        {"single entry", {1005}, {{0, 1}}},
        {"last entry not contiguous", {1001, 1002, 1004}, {{0, 2}, {2, 1}}},
        {"empty list", {}, {}},
    };
    for (const Row& row : rows) {
        const auto blocks = CutIntoBlocks(row.addresses);
        ASSERT_EQ(blocks.size(), row.blocks.size()) << row.name;
        for (std::size_t i = 0; i < blocks.size(); ++i) {
            EXPECT_EQ(blocks[i].first, row.blocks[i].first) << row.name;
            EXPECT_EQ(blocks[i].count, row.blocks[i].second) << row.name;
        }
    }
}

TEST(TransferProgressBar, RoundsToPercentAndIgnoresZeroMaximum)
{
    EXPECT_EQ(ProgressBarPosition(0, 0), -1);
    EXPECT_EQ(ProgressBarPosition(18, 36), 50);
    EXPECT_EQ(ProgressBarPosition(1, 8), 12);  // 12.5 to even
    EXPECT_EQ(ProgressBarPosition(3, 8), 38);  // 37.5 to even
    EXPECT_EQ(ProgressBarPosition(7, 7), 100);
}

// Parameters the transfer reads (all of the firmware) and writes (not MONITOR_ONLY).
std::vector<int> ReceivedNumbers()
{
    std::vector<int> out;
    for (int n = 1; n <= PRM_TABLE.Count(); ++n)
        if (param::IsPrmAvailable(PRM_TABLE, n, 0, 0))
            out.push_back(n);
    return out;
}

std::vector<int> TransmittedNumbers()
{
    std::vector<int> out;
    for (int n = 1; n <= PRM_TABLE.Count(); ++n)
        if (param::IsPrmAvailable(PRM_TABLE, n, 0, 1) && !PRM_TABLE[n].MONITOR_ONLY)
            out.push_back(n);
    return out;
}

int Number(int role)
{
    return PRM_TABLE.DEPENDENCY_MAP[role];
}

class TransferOverMedium : public ::testing::TestWithParam<bool> {};

TEST_P(TransferOverMedium, ReceiveAllStoresTheStartersValuesInSevenBlockReads)
{
    DeviceSetup setup;
    setup.serial = GetParam();
    DeviceFixture f(setup);
    // Values that differ from the catalogue's defaults, so stale columns would show.
    const int fla = Number(param::deiMotorFla);
    const int decel = Number(param::deiDecelRampTime);
    f.SetParameter(PRM_TABLE[fla].PRMADDR, 120);
    f.SetParameter(PRM_TABLE[decel].PRMADDR, 17);
    f.ClearLog();

    ASSERT_TRUE(f.transfer->ReceiveAll(PRM_TABLE, 0));

    for (int n : ReceivedNumbers()) {
        const auto reg = f.Register(PRM_TABLE[n].PRMADDR);
        ASSERT_TRUE(reg.has_value()) << PRM_TABLE[n].Title;
        EXPECT_EQ(param::PrmValueToRegister(PRM_TABLE, n, param::vcDrive), *reg) << PRM_TABLE[n].Title;
    }
    EXPECT_EQ(param::GetPrmValue(fla, param::vcDrive), Fx(120));

    const auto reads = f.Requests(kRead);
    ASSERT_EQ(reads.size(), 7u);
    std::size_t registers = 0;
    for (const auto& r : reads) {
        EXPECT_LE(r.count, kMaxBlockRegisters);
        registers += r.count;
    }
    EXPECT_EQ(registers, ReceivedNumbers().size());
    EXPECT_TRUE(f.decider.asked().empty());
}

TEST_P(TransferOverMedium, TransmitAllLeavesTheWorkingValuesInTheStarterWithAnUnlockBeforeEveryBlock)
{
    DeviceSetup setup;
    setup.serial = GetParam();
    DeviceFixture f(setup);
    const int fla = Number(param::deiMotorFla);
    const int decel = Number(param::deiDecelRampTime);
    param::SetPrmValue(fla, param::vcMode1, true, Fx(130));
    param::SetPrmValue(decel, param::vcMode1, true, Fx(25));
    f.ClearLog();

    ASSERT_TRUE(f.transfer->TransmitAll(PRM_TABLE, param::vcMode1, 0));

    for (int n : TransmittedNumbers()) {
        const auto reg = f.Register(PRM_TABLE[n].PRMADDR);
        ASSERT_TRUE(reg.has_value());
        EXPECT_EQ(*reg, param::PrmValueToRegister(PRM_TABLE, n, param::vcMode1)) << PRM_TABLE[n].Title;
    }

    const uint16_t passwordAddress = PRM_TABLE[Number(param::deiFactoryPassword)].PRMADDR;
    const auto writes = f.Requests(kWriteMultiple);
    int blocks = 0;
    for (std::size_t i = 0; i < writes.size(); ++i) {
        if (writes[i].address == passwordAddress)
            continue;
        ++blocks;
        EXPECT_EQ(writes[i].exception, 0) << "block at " << writes[i].address;
        ASSERT_GT(i, 0u);
        EXPECT_EQ(writes[i - 1].address, passwordAddress) << "no unlock before block at " << writes[i].address;
        EXPECT_EQ(writes[i - 1].values, std::vector<uint16_t>{kWriteAccessCode});
        EXPECT_LE(writes[i].count, kMaxBlockRegisters);
    }
    // The CT value, frame rating and service factor go ahead alone (those that are sent at all),
    // then the whole table.
    EXPECT_GE(blocks, 5);
    EXPECT_EQ(writes.front().address, passwordAddress);
    EXPECT_EQ(writes[1].address, PRM_TABLE[Number(param::deiCtValue)].PRMADDR);
    EXPECT_EQ(writes[1].count, 1);
}

INSTANTIATE_TEST_SUITE_P(Media, TransferOverMedium, ::testing::Values(false, true),
                         [](const auto& info) { return info.param ? "RtuOnPty" : "ModbusTcp"; });

TEST(Transfer, WithTheMotorRunningOnlyRunningParametersGoOut)
{
    DeviceSetup setup;
    setup.motorCycling = true;
    DeviceFixture f(setup);
    // Move the simulated motor into its running phase.
    ASSERT_TRUE(f.RunMotor());
    const int a = Number(param::deiOverCurrentTrip);
    const int b = Number(param::deiDecelRampTime);
    PRM_TABLE[a].RUNNING = true;
    PRM_TABLE[b].RUNNING = true;
    f.ClearLog();

    ASSERT_TRUE(f.transfer->TransmitAll(PRM_TABLE, param::vcMode1, 0));

    ASSERT_FALSE(f.prompts.asked().empty());
    EXPECT_EQ(f.prompts.asked().front().prompt.text, transfer_text::kMotorRunningProceed);
    const uint16_t passwordAddress = PRM_TABLE[Number(param::deiFactoryPassword)].PRMADDR;
    std::set<uint16_t> written;
    for (const auto& w : f.Requests(kWriteMultiple))
        if (w.address != passwordAddress)
            for (uint16_t k = 0; k < w.count; ++k)
                written.insert(static_cast<uint16_t>(w.address + k));
    EXPECT_EQ(written, (std::set<uint16_t>{PRM_TABLE[a].PRMADDR, PRM_TABLE[b].PRMADDR}));
    // No empty-selection message for the steps that had nothing to send.
    for (const auto& r : f.prompts.asked())
        EXPECT_NE(r.prompt.text, transfer_text::kPageEmptyRunning);
}

TEST(Transfer, NoToTheRunningQuestionSendsNothing)
{
    DeviceSetup setup;
    setup.motorCycling = true;
    DeviceFixture f(setup);
    ASSERT_TRUE(f.RunMotor());
    f.prompts.then(PromptAnswer::No);
    f.ClearLog();
    EXPECT_FALSE(f.transfer->TransmitAll(PRM_TABLE, param::vcMode1, 0));
    EXPECT_TRUE(f.Requests(kWriteMultiple).empty());
}

TEST(Transfer, AbortDuringReceiveKeepsTheBlocksAlreadyStored)
{
    DeviceFixture f;
    const auto numbers = ReceivedNumbers();
    // Mark every starter value so that stored and untouched entries can be told apart.
    for (int n : numbers)
        PRM_TABLE[n].Value_Index[param::vcDrive] = Fx(-7);
    f.ClearLog();
    // The starter reports each request; the third block read makes the test press "&Abort",
    // which the receive sees at its next wait, as it would see the window's button.
    int readsSeen = 0;
    QObject receiver;
    QObject::connect(f.starter.get(), &sim::SimulatedStarter::requestLogged, &receiver, [&](int) {
        if (++readsSeen == 3)
            f.transfer->AbortFlag() = true;
    }, Qt::QueuedConnection);

    EXPECT_FALSE(f.transfer->ReceiveAll(PRM_TABLE, 0));

    const auto reads = f.Requests(kRead);
    ASSERT_EQ(reads.size(), 3u);
    const uint16_t lastStored = static_cast<uint16_t>(reads.back().address + reads.back().count - 1);
    int stored = 0;
    for (int n : numbers) {
        const bool inStoredBlock = PRM_TABLE[n].PRMADDR <= lastStored;
        const param::Fixed v = PRM_TABLE[n].Value_Index[param::vcDrive];
        if (inStoredBlock) {
            ++stored;
            EXPECT_EQ(param::PrmValueToRegister(PRM_TABLE, n, param::vcDrive), *f.Register(PRM_TABLE[n].PRMADDR));
        } else {
            EXPECT_EQ(v, Fx(-7)) << PRM_TABLE[n].Title << " was read after the abort";
        }
    }
    EXPECT_EQ(stored, reads[0].count + reads[1].count + reads[2].count);
}

TEST(Transfer, AnIgnoredBlockErrorFallsBackRegisterByRegister)
{
    DeviceFixture f;
    f.decider.then(meaIgnore);
    f.ClearLog();
    // The second block read is refused once (illegal data address); the rest answer.
    int reads = 0;
    // Runs in the starter's thread, before the reply leaves.
    QObject::connect(f.starter.get(), &sim::SimulatedStarter::requestLogged, f.starter.get(), [&](int index) {
        if (f.starter->RequestLog()[static_cast<std::size_t>(index)].function == kRead && ++reads == 1) {
            sim::FaultSwitches faults;
            faults.exceptionCode = 2;
            faults.repliesAffected = 1;
            f.starter->SetFaults(faults);
        }
    });

    ASSERT_TRUE(f.transfer->ReceiveAll(PRM_TABLE, 0));

    ASSERT_EQ(f.decider.asked().size(), 1u);
    EXPECT_TRUE(f.decider.asked().front().allowIgnore);
    const auto log = f.Requests(kRead);
    ASSERT_GE(log.size(), 3u);
    const sim::LogEntry refused = log[1];
    EXPECT_EQ(refused.exception, 2);
    // The refused block's registers follow one by one, then the remaining blocks.
    for (uint16_t k = 0; k < refused.count; ++k) {
        const sim::LogEntry& single = log[2 + k];
        EXPECT_EQ(single.count, 1);
        EXPECT_EQ(single.address, refused.address + k);
    }
    EXPECT_EQ(log.size(), 7u + refused.count);
    for (int n : ReceivedNumbers())
        EXPECT_EQ(param::PrmValueToRegister(PRM_TABLE, n, param::vcDrive), *f.Register(PRM_TABLE[n].PRMADDR));
}

TEST(Transfer, AnAbortedBlockErrorEndsTheReceive)
{
    DeviceFixture f;
    sim::FaultSwitches faults;
    faults.exceptionCode = 4;
    faults.repliesAffected = 1;
    f.OnSim([&] { f.starter->SetFaults(faults); });
    f.ClearLog();
    EXPECT_FALSE(f.transfer->ReceiveAll(PRM_TABLE, 0));
    EXPECT_EQ(f.Requests(kRead).size(), 1u);
    EXPECT_TRUE(f.transfer->AbortFlag());
}

TEST(Transfer, ReceivedValuesAreCheckedAndReported)
{
    struct Row {
        const char* name;
        int role;
        uint16_t figure;
        bool l27;
        QString reason;  // empty: no message
    };
    const Row rows[] = {
        {"list value no item has", param::deiOLduringStart, 7, false, QStringLiteral("Unknown parameter setting (7)")},
        {"numeric out of range with L27", param::deiDecelRampTime, 5000, true, transfer_text::kOutOfRange},
        {"numeric out of range without L27", param::deiDecelRampTime, 5000, false, QString()},
        {"valid list value", param::deiOLduringStart, 10, true, QString()},
    };
    for (const Row& row : rows) {
        DeviceFixture f;
        f.options.L27 = row.l27;
        const int n = Number(row.role);
        f.SetParameter(PRM_TABLE[n].PRMADDR, row.figure);
        ASSERT_TRUE(f.transfer->ReceiveAll(PRM_TABLE, 0)) << row.name;
        // The value is stored whatever the check says.
        EXPECT_EQ(param::PrmValueToRegister(PRM_TABLE, n, param::vcDrive), row.figure) << row.name;
        std::vector<QString> warnings;
        for (const auto& r : f.prompts.asked())
            if (r.prompt.kind == PromptKind::Warning)
                warnings.push_back(r.prompt.text);
        if (row.reason.isEmpty()) {
            EXPECT_TRUE(warnings.empty()) << row.name << ": " << warnings.front().toStdString();
        } else {
            ASSERT_EQ(warnings.size(), 1u) << row.name;
            EXPECT_EQ(warnings.front(), row.reason + QStringLiteral(" for ") + QString::fromStdString(PRM_TABLE[n].Title)
                                            + QStringLiteral("\rParameter skipped."))
                << row.name;
        }
    }
}

TEST(Transfer, TransmitSingleSendsOneBlockAfterTheUnlock)
{
    DeviceFixture f;
    f.options.L2 = true;
    const int n = Number(param::deiDecelRampTime);
    param::SetPrmValue(n, param::vcMode1, true, Fx(33));
    f.ClearLog();
    ASSERT_TRUE(f.transfer->TransmitSingle(PRM_TABLE, n, param::vcMode1));
    ASSERT_EQ(f.prompts.asked().size(), 1u);
    EXPECT_EQ(f.prompts.asked().front().prompt.text, transfer_text::kChangeValue);
    const auto writes = f.Requests(kWriteMultiple);
    ASSERT_EQ(writes.size(), 2u);
    EXPECT_EQ(writes[0].values, std::vector<uint16_t>{kWriteAccessCode});
    EXPECT_EQ(writes[1].address, PRM_TABLE[n].PRMADDR);
    EXPECT_EQ(*f.Register(PRM_TABLE[n].PRMADDR), param::PrmValueToRegister(PRM_TABLE, n, param::vcMode1));

    // Cancel to the L2 question sends nothing.
    f.prompts.then(PromptAnswer::Cancel);
    f.ClearLog();
    EXPECT_FALSE(f.transfer->TransmitSingle(PRM_TABLE, n, param::vcMode1));
    EXPECT_TRUE(f.Requests(kWriteMultiple).empty());
}

TEST(Transfer, UnlockIsNotReentered)
{
    DeviceFixture f;
    f.ClearLog();
    ASSERT_TRUE(f.transfer->UnlockWriteAccess());
    // One write: the unlock's own write does not unlock again.
    EXPECT_EQ(f.Requests(kWriteMultiple).size(), 1u);
    bool unlocked = false;
    f.OnSim([&] { unlocked = f.starter->Node(1)->WriteUnlocked(); });
    EXPECT_TRUE(unlocked);
}

TEST(Transfer, DependencyAccessRefusesUnknownRoles)
{
    DeviceFixture f;
    param::Fixed v;
    for (int role : {0, 87, 92, 101, -1})
        EXPECT_FALSE(f.transfer->ReadDependencyValue(1, role, {bmoAutoIgnoreError}, nullptr, v)) << role;
    ASSERT_TRUE(f.transfer->ReadDependencyValue(1, param::deiFrameRating, {}, nullptr, v));
    EXPECT_EQ(v, Fx(150));
}

}  // namespace
}  // namespace rv8::comm
