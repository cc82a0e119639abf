// The register rules of one simulated starter, driven at the Modbus PDU level with a manual clock.
#include "SimTestSupport.h"

#include "comm/AccessCodes.h"
#include "comm/NuvBytes.h"
#include "sim/StarterNode.h"

#include <gtest/gtest.h>

using namespace rv8::sim;
using rv8::comm::kFactoryPassword;
using rv8::comm::kWriteAccessCode;

namespace {

class NodeTest : public ::testing::Test {
protected:
    NodeTest()
    {
        StarterNode::Options options;
        options.clockStart = QDateTime(QDate(2026, 1, 31), QTime(23, 59, 30), Qt::UTC);
        node = std::make_unique<StarterNode>(1, std::make_shared<const ParameterLayout>(test::SmallLayout()), clock,
                                             options);
    }

    uint8_t Write(uint16_t address, std::vector<uint16_t> values) { return node->WriteRegisters(address, values); }
    uint16_t Read(uint16_t address)
    {
        std::vector<uint16_t> v;
        EXPECT_EQ(node->ReadRegisters(address, 1, v), 0) << address;
        return v.empty() ? 0xFFFF : v[0];
    }
    void Unlock() { ASSERT_EQ(Write(1072, {kWriteAccessCode}), 0); }

    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>();
    std::unique_ptr<StarterNode> node;
};

TEST_F(NodeTest, ParameterWritesNeedTheWriteAccessCodeFirst)
{
    EXPECT_EQ(Write(1001, {100}), kExSlaveDeviceFailure);
    EXPECT_EQ(Read(1001), 75);

    EXPECT_EQ(Write(1072, {kFactoryPassword}), kExIllegalDataValue);  // the password is not the code
    EXPECT_FALSE(node->WriteUnlocked());
    EXPECT_EQ(Write(1001, {100}), kExSlaveDeviceFailure);

    Unlock();
    EXPECT_EQ(Read(1072), kFactoryPassword);  // the code never shows in the register
    EXPECT_EQ(Write(1001, {100}), 0);
    EXPECT_EQ(Read(1001), 100);

    // The unlock holds for a while, then parameter writes are locked again.
    clock->Advance(5001);
    EXPECT_EQ(Write(1001, {120}), kExSlaveDeviceFailure);
    EXPECT_EQ(Read(1001), 100);

    // The code and the parameters in one write: the code unlocks the registers after it.
    std::vector<uint16_t> values{kWriteAccessCode};
    EXPECT_EQ(node->WriteRegisters(1072, values), 0);
    EXPECT_EQ(Write(1001, {121}), 0);
}

TEST_F(NodeTest, WritesOutsideTheRangeOrToReadOnlyRegistersAreRefused)
{
    Unlock();
    struct Row {
        const char* why;
        uint16_t address;
        uint16_t value;
        uint8_t exception;
    };
    const Row rows[] = {
        {"below minimum", 1001, 74, kExIllegalDataValue},
        {"above maximum", 1001, 151, kExIllegalDataValue},
        {"minimum", 1001, 75, 0},
        {"maximum", 1001, 150, 0},
        {"Off figure of an Off parameter", 1022, 0, 0},
        {"between Off and minimum", 1022, 9, kExIllegalDataValue},
        {"divisor 10: 2.0 s is 20", 1023, 20, 0},
        {"divisor 10: 2.1 s is 21", 1023, 21, kExIllegalDataValue},
        {"reset choice outside 0..4", 1071, 5, kExIllegalDataValue},
        {"read-only counter", 1055, 0, kExIllegalDataAddress},
        {"revision", 1081, 401, kExIllegalDataAddress},
        {"fault history", 1085, 0, kExIllegalDataAddress},
        {"live signal", 2000, 0, kExIllegalDataAddress},
        {"unknown address", 1002, 0, kExIllegalDataAddress},
        {"clock year below 2000", 1075, 1999, kExIllegalDataValue},
    };
    for (const Row& r : rows)
        EXPECT_EQ(Write(r.address, {r.value}), r.exception) << r.why;
}

TEST_F(NodeTest, ARefusedMultiRegisterWriteChangesNothing)
{
    Unlock();
    EXPECT_EQ(Write(1022, {50, 99}), kExIllegalDataValue);  // 1023 out of range
    EXPECT_EQ(Read(1022), 0);
    EXPECT_EQ(Read(1023), 8);
    EXPECT_EQ(Write(1022, {50, 15}), 0);
    EXPECT_EQ(Read(1022), 50);
    EXPECT_EQ(Read(1023), 15);
}

TEST_F(NodeTest, FactoryResetThroughTheResetRegisterRestoresDefaultsAndLocks)
{
    Unlock();
    ASSERT_EQ(Write(1001, {140}), 0);
    ASSERT_EQ(Write(1023, {12}), 0);

    EXPECT_EQ(Write(1071, {1}), 0);  // clear timers: parameters stay
    EXPECT_EQ(Read(1001), 140);
    EXPECT_EQ(Read(1071), 0);

    EXPECT_EQ(Write(1071, {2}), 0);
    EXPECT_EQ(Read(1001), 75);
    EXPECT_EQ(Read(1023), 8);
    EXPECT_EQ(Read(1071), 0);
    EXPECT_FALSE(node->WriteUnlocked());

    // Without the code the reset request itself is refused.
    clock->Advance(10000);
    EXPECT_EQ(Write(1071, {2}), kExSlaveDeviceFailure);
}

TEST_F(NodeTest, ClockRegistersRunWithTheClockAndTakeWritesWithoutTheCode)
{
    const uint16_t start[6] = {2026, 1, 31, 23, 59, 30};
    std::vector<uint16_t> v;
    ASSERT_EQ(node->ReadRegisters(1075, 6, v), 0);
    EXPECT_EQ(v, std::vector<uint16_t>(start, start + 6));

    clock->Advance(31000);  // past midnight
    ASSERT_EQ(node->ReadRegisters(1075, 6, v), 0);
    EXPECT_EQ(v, (std::vector<uint16_t>{2026, 2, 1, 0, 0, 1}));

    // Year, month, day, hour, minute, second one register at a time, as the clock command writes them;
    // a day beyond the month's end is kept inside the month until the day itself is written.
    ASSERT_EQ(Write(1076, {1}), 0);
    ASSERT_EQ(Write(1077, {31}), 0);
    ASSERT_EQ(Write(1076, {2}), 0);
    EXPECT_EQ(Read(1077), 28);
    ASSERT_EQ(Write(1075, {2030}), 0);
    ASSERT_EQ(Write(1078, {14}), 0);
    ASSERT_EQ(Write(1079, {5}), 0);
    ASSERT_EQ(Write(1080, {0}), 0);
    clock->Advance(2000);
    ASSERT_EQ(node->ReadRegisters(1075, 6, v), 0);
    EXPECT_EQ(v, (std::vector<uint16_t>{2030, 2, 28, 14, 5, 2}));
    EXPECT_EQ(Write(1076, {13}), kExIllegalDataValue);
}

TEST_F(NodeTest, RevisionAndFaultHistoryRead)
{
    EXPECT_EQ(Read(1081), 401);
    std::vector<uint16_t> history;
    ASSERT_EQ(node->ReadRegisters(1085, 9, history), 0);
    ASSERT_EQ(history.size(), 9u);
    for (int r = 0; r < 3; ++r) {
        const uint16_t code = history[static_cast<size_t>(3 * r)];
        const uint16_t time = history[static_cast<size_t>(3 * r + 1)];
        const uint16_t date = history[static_cast<size_t>(3 * r + 2)];
        EXPECT_TRUE(code >= 1 && code <= 60) << r;
        EXPECT_LE(time / 100, 23);
        EXPECT_LE(time % 100, 59);
        EXPECT_TRUE(date / 100 >= 1 && date / 100 <= 12) << date;
        EXPECT_TRUE(date % 100 >= 1 && date % 100 <= 31) << date;
    }

    // A trip becomes the latest fault, stamped with the starter's clock; the oldest drops out.
    node->Trip(5);
    std::vector<uint16_t> after;
    ASSERT_EQ(node->ReadRegisters(1085, 9, after), 0);
    EXPECT_EQ(after[0], 5);
    EXPECT_EQ(after[1], 2359);
    EXPECT_EQ(after[2], 131);
    EXPECT_EQ(std::vector<uint16_t>(after.begin() + 3, after.end()),
              std::vector<uint16_t>(history.begin(), history.begin() + 6));
    EXPECT_EQ(Read(2014), 5);  // live fault code
}

// Request PDUs as they arrive, with the reply PDU expected.
TEST_F(NodeTest, ProcessAnswersEveryRequestShape)
{
    struct Row {
        const char* why;
        const char* requestHex;
        const char* replyHex;
    };
    const Row rows[] = {
        {"read one register", "0303E90001", "0302004B"},
        {"read across a gap in the map", "0303E90002", "8302"},
        {"read of 0 registers", "0303E90000", "8303"},
        {"read of 126 registers", "0303E9007E", "8303"},
        {"read too short", "0303E900", "8303"},
        {"read of the revision", "0304390001", "03020191"},
        {"write single, locked", "0603E90064", "8604"},
        {"write multiple of 124", "1003E9007CF8", "9003"},
        {"write multiple, byte count wrong", "1003E90001030064", "9003"},
        {"write multiple, data missing", "1003E9000204 0064", "9003"},
        {"write multiple of the code", "10043000010219 66", "1004300001"},
        {"write single after the unlock", "0603E90064", "0603E90064"},
        {"read input registers", "0403E90001", "8401"},
        {"write single coil", "0500010000FF00", "8501"},
    };
    for (const Row& r : rows) {
        const QByteArray reply = node->Process(QByteArray::fromHex(QByteArray(r.requestHex).replace(" ", "")));
        EXPECT_EQ(reply.toHex().toUpper(), QByteArray(r.replyHex).toUpper()) << r.why;
    }
    EXPECT_EQ(Read(1001), 100);
}

}  // namespace
