// Network scan, identification and the device commands against the simulated starter.

#include "DeviceFixture.h"

#include "comm/AccessCodes.h"
#include "comm/DeviceCommands.h"
#include "comm/NetScan.h"
#include "param/Catalogue.h"

#include <QObject>
#include <gtest/gtest.h>

namespace rv8::comm {
namespace {

using param::PRM_TABLE;
using test::DeviceFixture;
using test::DeviceSetup;

// Records what the "Scan Network..." window and the main window's tree were told.
struct RecordingViews final : IScanView, INetworkTreeView {
    void SetScanMaximum(int highest) override { maximum = highest; }
    void ShowAddress(int address) override { addresses.push_back(address); }
    void ResetProgress() override { ++resets; }
    void ShowFoundCount(int count) override { foundCount = count; }
    void AddFoundLine(const QString& line) override
    {
        lines.push_back(line);
        if (onLine)
            onLine();
    }
    void ResetNetworkTree(const QString& rootText, int image) override
    {
        root = rootText;
        rootImage = image;
        nodes.clear();
    }
    void AddNetworkNode(const QString& text, const QStringList& entries) override { nodes.push_back({text, entries}); }
    void ExpandNetworkRoot() override { expanded = true; }

    int maximum = 0;
    std::vector<int> addresses;
    int resets = 0;
    int foundCount = 0;
    std::vector<QString> lines;
    std::function<void()> onLine;
    QString root;
    int rootImage = 0;
    std::vector<std::pair<QString, QStringList>> nodes;
    bool expanded = false;
};

DeviceSetup Network()
{
    DeviceSetup setup;
    setup.nodes = {1, 2, 5};
    setup.responseDelay = QStringLiteral("3");  // 30 ms: the absent nodes cost little
    return setup;
}

TEST(NetScan, FindsNodesOneTwoAndFiveOfEight)
{
    DeviceFixture f(Network());
    RecordingViews views;
    const auto found = f.scan->ScanNetwork(8, nullptr, &views, &views);

    ASSERT_EQ(found.size(), 3u);
    EXPECT_EQ(found[0].address, 1);
    EXPECT_EQ(found[1].address, 2);
    EXPECT_EQ(found[2].address, 5);
    EXPECT_EQ(found[2].model, QStringLiteral("RV8-150"));
    EXPECT_EQ(views.lines, (std::vector<QString>{"Node 001: Firmware: 4.01", "Node 002: Firmware: 4.01",
                                                  "Node 005: Firmware: 4.01"}));
    EXPECT_EQ(views.foundCount, 3);
    EXPECT_EQ(views.maximum, 8);
    EXPECT_EQ(views.root, QStringLiteral("RV8 Network"));
    EXPECT_EQ(views.rootImage, 10);
    ASSERT_EQ(views.nodes.size(), 3u);
    EXPECT_EQ(views.nodes[2].first, QStringLiteral("005 : RV8-150"));
    EXPECT_EQ(views.nodes[2].second,
              (QStringList{"005: Parameters", "005: Monitor Panel", "005: Trend Recorder", "005: Diagnostics",
                           "005: Firmware: 4.01"}));
    EXPECT_TRUE(views.expanded);
    EXPECT_TRUE(f.shell.NetworkScanned);
    for (int a = 1; a <= 8; ++a) {
        const bool present = a == 1 || a == 2 || a == 5;
        EXPECT_EQ(NETWORK_NODES[static_cast<std::size_t>(a)].NODE_ID, present) << a;
        if (present) {
            EXPECT_EQ(NETWORK_NODES[static_cast<std::size_t>(a)].SREV, 401);
            EXPECT_EQ(NETWORK_NODES[static_cast<std::size_t>(a)].STR1, "RV8-150");
        }
    }
    // Reads are silent probes: no error question for the absent nodes.
    EXPECT_TRUE(f.decider.asked().empty());
    const auto entries = NetworkTreeEntries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[1].text, QStringLiteral("002 : RV8-150"));
    EXPECT_EQ(entries[1].firmwareEntry, QStringLiteral("002: Firmware: 4.01"));
}

TEST(NetScan, CancelKeepsTheNodesFoundSoFar)
{
    DeviceFixture f(Network());
    RecordingViews views;
    bool cancel = false;
    views.onLine = [&] {
        if (views.lines.size() == 2)
            cancel = true;  // "&Cancel" after the second node
    };
    const auto found = f.scan->ScanNetwork(8, &cancel, &views, &views);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_TRUE(NETWORK_NODES[1].NODE_ID);
    EXPECT_TRUE(NETWORK_NODES[2].NODE_ID);
    EXPECT_FALSE(NETWORK_NODES[5].NODE_ID);
    EXPECT_EQ(views.addresses.back(), 2);  // address 3 was never probed
    EXPECT_FALSE(views.expanded);
}

TEST(NetScan, RevisionsAreNormalisedForTheList)
{
    struct Row {
        int32_t revision;
        int32_t listed;
        const char* line;
    };
    const Row rows[] = {
        {45, 450, "Node 007: Firmware: 4.50"},
        {4010, 401, "Node 007: Firmware: 4.01"},
        {401, 401, "Node 007: Firmware: 4.01"},
        {1000, 1000, "Node 007: Firmware: 10.00"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(NormaliseRevision(row.revision), row.listed) << row.revision;
        EXPECT_EQ(FoundNodeLine(7, NormaliseRevision(row.revision)), QString::fromLatin1(row.line));
    }
}

TEST(NetScan, PickingTakesTheAddressOfNodeAndFirmwareItems)
{
    const std::pair<const char*, int> rows[] = {
        {"RV8 Network", -1},
        {"005 : RV8-150", 5},
        {"012: Firmware: 4.01", 12},
        {"012: firmware: 4.01", 12},
        {"005: Parameters", -1},
        {"abc : RV8-150", -1},
        {"", -1},
    };
    for (const auto& [text, address] : rows)
        EXPECT_EQ(PickedAddressOfItem(QString::fromLatin1(text)), address) << text;
}

struct ResultsRecorder final : IScanResultsView {
    void SetFirmwareText(const QString& text) override { firmware = text; }
    void SetSeriesText(const QString& text) override { series = text; }
    void ShowResults() override { ++shown; }
    QString firmware;
    QString series;
    int shown = 0;
};

TEST(Identify, RefusesRevisionsOutside100To499)
{
    struct Row {
        int revision;
        bool identified;
        bool warned;
    };
    const Row rows[] = {{99, false, true}, {500, false, true}, {0, false, false}, {100, true, false},
                        {499, true, false}, {401, true, false}};
    for (const Row& row : rows) {
        DeviceSetup setup;
        setup.revision = row.revision;
        DeviceFixture f(setup);
        f.options.L12 = true;
        ResultsRecorder results;
        int32_t revision = 0;
        int32_t model = 0;
        f.scan->IdentifyStarter(revision, model, &results);
        EXPECT_EQ(revision, row.identified ? row.revision : -1) << row.revision;
        EXPECT_EQ(model, row.identified ? 150 : -1) << row.revision;
        const bool warned = !f.prompts.asked().empty() && f.prompts.asked().front().prompt.text == netscan_text::kNotRv8;
        EXPECT_EQ(warned, row.warned) << row.revision;
        EXPECT_EQ(results.shown, row.identified ? 1 : 0) << row.revision;
        if (row.identified) {
            EXPECT_EQ(results.series, QStringLiteral("RV8-150"));
        }
    }
}

TEST(Identify, ScanResultsShowFirmwareAndSeriesAndStayHiddenWithoutL12)
{
    DeviceFixture f;
    f.options.L12 = false;
    ResultsRecorder results;
    int32_t revision = 0;
    int32_t model = 0;
    f.scan->IdentifyStarter(revision, model, &results);
    EXPECT_EQ(revision, 401);
    EXPECT_EQ(results.firmware, QStringLiteral("4.01"));
    EXPECT_EQ(results.series, QStringLiteral("RV8-150"));
    EXPECT_EQ(results.shown, 0);
}

TEST(DeviceCommands, ResetChoiceAsksForEveryRealChoice)
{
    struct Row {
        int chosen;
        PromptAnswer answer;
        int choice;
        int questions;
    };
    const Row rows[] = {{rcNone, PromptAnswer::Yes, rcNone, 0},
                        {rcClearKwh, PromptAnswer::No, rcNone, 1},
                        {rcFactoryDefaults, PromptAnswer::Yes, rcFactoryDefaults, 1},
                        {rcClearTimers, PromptAnswer::Yes, rcClearTimers, 1}};
    for (const Row& row : rows) {
        ScriptedPrompts prompts;
        prompts.then(row.answer);
        EXPECT_EQ(ConfirmResetChoice(row.chosen, prompts), row.choice) << row.chosen;
        ASSERT_EQ(static_cast<int>(prompts.asked().size()), row.questions);
        if (row.questions) {
            EXPECT_EQ(prompts.asked().front().prompt.text, ResetChoiceCaption(row.chosen) + "?");
        }
    }
}

TEST(DeviceCommands, FactoryResetUnlocksAndRestoresTheDefaults)
{
    DeviceFixture f;
    const int decel = PRM_TABLE.DEPENDENCY_MAP[param::deiDecelRampTime];
    const uint16_t decelAddress = PRM_TABLE[decel].PRMADDR;
    const uint16_t defaultFigure = *f.Register(decelAddress);
    f.SetParameter(decelAddress, static_cast<uint16_t>(defaultFigure + 3));
    f.ClearLog();

    ASSERT_TRUE(SendSystemReset(*f.transfer, rcFactoryDefaults));

    const uint16_t resetAddress = PRM_TABLE[PRM_TABLE.DEPENDENCY_MAP[param::deiSystemClearAndFactoryReset]].PRMADDR;
    const auto writes = f.Requests(16);
    ASSERT_GE(writes.size(), 2u);
    EXPECT_EQ(writes.front().values, std::vector<uint16_t>{kWriteAccessCode});
    EXPECT_EQ(writes.back().address, resetAddress);
    EXPECT_EQ(writes.back().values, std::vector<uint16_t>{rcFactoryDefaults});
    EXPECT_EQ(writes.back().exception, 0);
    EXPECT_EQ(*f.Register(decelAddress), defaultFigure);
}

TEST(DeviceCommands, ClockWritesStopAtTheFirstFailure)
{
    DeviceFixture f;
    const param::TSpecialAddresses& special = param::SPECIAL_ADDRESSES;
    TClockValues values{2031, 7, 14, 9, 26, 53};
    f.ClearLog();
    ASSERT_TRUE(SetStarterClock(f.context, values));
    const auto writes = f.Requests(16);
    ASSERT_EQ(writes.size(), 6u);
    const int clockSlots[] = {param::sasYear, param::sasMonth, param::sasDay, param::sasHour, param::sasMinute,
                         param::sasSeconds};
    const uint16_t figures[] = {2031, 7, 14, 9, 26, 53};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(writes[static_cast<std::size_t>(i)].address, special[static_cast<std::size_t>(clockSlots[i])]);
        EXPECT_EQ(writes[static_cast<std::size_t>(i)].values, std::vector<uint16_t>{figures[i]});
    }
    QDateTime clock;
    f.OnSim([&] { clock = f.starter->Node(1)->ClockNow(); });
    EXPECT_EQ(clock.date(), QDate(2031, 7, 14));

    // The day write is refused: year and month stay written, nothing follows.
    f.ClearLog();
    int seen = 0;
    QObject::connect(f.starter.get(), &sim::SimulatedStarter::requestLogged, f.starter.get(), [&](int) {
        if (++seen == 2) {
            sim::FaultSwitches faults;
            faults.exceptionCode = 4;
            faults.repliesAffected = 1;
            f.starter->SetFaults(faults);
        }
    });
    EXPECT_FALSE(SetStarterClock(f.context, values));
    const auto failed = f.Requests(16);
    ASSERT_EQ(failed.size(), 3u);
    EXPECT_EQ(failed[2].address, special[param::sasDay]);
    EXPECT_EQ(failed[2].exception, 4);
    ASSERT_EQ(f.decider.asked().size(), 1u);
    EXPECT_FALSE(f.decider.asked().front().allowIgnore);
}

TEST(DeviceCommands, ClockEntryKeepsTheYearInRange)
{
    struct Row {
        QDate date;
        bool accepted;
    };
    const Row rows[] = {{QDate(2048, 5, 1), false}, {QDate(1999, 12, 31), false}, {QDate(2000, 1, 1), true},
                        {QDate(2047, 12, 31), true}};
    for (const Row& row : rows) {
        ScriptedPrompts prompts;
        TClockValues values;
        EXPECT_EQ(AcceptClockEntry(row.date, QTime(13, 14, 15), values, prompts), row.accepted)
            << row.date.toString().toStdString();
        if (row.accepted) {
            EXPECT_EQ(values.Year, row.date.year());
            EXPECT_EQ(values.Second, 15);
            EXPECT_TRUE(prompts.asked().empty());
        } else {
            ASSERT_EQ(prompts.asked().size(), 1u);
            EXPECT_EQ(prompts.asked().front().prompt.text,
                      QStringLiteral("The year selected falls outside the specified range (2000 - 2047). Please "
                                     "select a different year."));
        }
    }
}

TEST(DeviceCommands, KeypadBusIsFreeAfterEveryCycleWithoutAKeypad)
{
    struct Row {
        bool keypadActive;
        int busBefore;
        bool trigger;
        int busAfter;
        bool triggerAfter;
    };
    const Row rows[] = {
        {false, kBusKeypad, false, kBusFree, false},
        {false, kBusFree, true, kBusKeypad, false},
        {true, kBusFree, false, kBusKeypad, false},
        {true, 0, true, kBusKeypad, true},
        {true, kBusKeypad, false, kBusKeypad, false},
    };
    for (const Row& row : rows) {
        TKeypadBus bus;
        bus.KeypadActive = row.keypadActive;
        bus.BusState = row.busBefore;
        bool trigger = row.trigger;
        bus.SynchronizeWithKeypad(trigger);
        EXPECT_EQ(bus.BusState, row.busAfter);
        EXPECT_EQ(trigger, row.triggerAfter);
    }
}

TEST(DeviceCommands, PasswordNeedsTheModesCodeAndAnEmptyEntryOpensOnlyFactoryMode)
{
    const QString custom = QString::fromLatin1(kCustomModeAccessCode.data(), kCustomModeAccessCode.size());
    const QString testCode = QString::fromLatin1(kTestModeAccessCode.data(), kTestModeAccessCode.size());
    struct Row {
        TPasswordMode mode;
        QString entry;
        bool accepted;
    };
    const Row rows[] = {
        {TPasswordMode::Custom, custom, true},
        {TPasswordMode::Custom, QString(), false},  // an empty entry must not open a guarded mode
        {TPasswordMode::Custom, custom.toLower(), false},
        {TPasswordMode::Custom, testCode, false},
        {TPasswordMode::Test, testCode, true},
        {TPasswordMode::Test, QString(), false},
        {TPasswordMode::Test, testCode.toUpper(), false},
        {TPasswordMode::Factory, QString(), true},
        {TPasswordMode::Factory, custom, false},
        {TPasswordMode::Factory, QStringLiteral("x"), false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(PasswordAccepted(row.mode, row.entry), row.accepted)
            << static_cast<int>(row.mode) << " '" << row.entry.toStdString() << "'";
    EXPECT_EQ(PasswordModeOf(true, false), TPasswordMode::Custom);
    EXPECT_EQ(PasswordModeOf(false, true), TPasswordMode::Test);
    EXPECT_EQ(PasswordModeOf(false, false), TPasswordMode::Factory);
}

}  // namespace
}  // namespace rv8::comm
