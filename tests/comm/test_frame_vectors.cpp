// Frames and checksums against frames produced by third-party Modbus implementations:
// RTU requests as libmodbus 3.1.6 sends them (its debug output), ASCII and Modbus TCP frames
// as pymodbus 3.0 builds them.
#include "comm/NuvBytes.h"
#include "comm/NuvModbusFrame.h"

#include <gtest/gtest.h>

using namespace rv8::comm;

namespace {

struct RequestVector {
    const char* source;
    TNuvModbus_Medium medium;
    uint8_t address;
    uint8_t functionCode;
    const char* data;   // hex
    const char* frame;  // hex, or the ASCII text
};

const RequestVector kRequests[] = {
    {"libmodbus read node 1", bmmModbusRtu, 1, 3, "03E90012", "010303E90012 1477"},
    {"libmodbus read node 7", bmmModbusRtu, 7, 3, "03E90012", "070303E90012 1411"},
    {"libmodbus read node 17", bmmModbusRtu, 17, 3, "03E90012", "110303E90012 16E7"},
    {"libmodbus read node 247", bmmModbusRtu, 247, 3, "03E90012", "F70303E90012 00E1"},
    {"libmodbus read 0x6B", bmmModbusRtu, 17, 3, "006B0003", "1103006B0003 7687"},
    {"libmodbus write multiple", bmmModbusRtu, 1, 16, "04330003 06 000A0102FFFF", "01100433000306000A0102FFFF 3ACD"},
    {"libmodbus write single", bmmModbusRtu, 1, 6, "00010003", "010600010003 980B"},
    {"libmodbus frame over TCP", bmmTcpIp, 7, 3, "03E90012", "070303E90012 1411"},
    {"pymodbus ascii node 1", bmmModbusAscii, 1, 3, "03E90012", ":010303E90012FE\r\n"},
    {"pymodbus ascii node 7", bmmModbusAscii, 7, 3, "03E90012", ":070303E90012F8\r\n"},
    {"pymodbus ascii node 17", bmmModbusAscii, 17, 3, "03E90012", ":110303E90012EE\r\n"},
    {"pymodbus ascii node 247", bmmModbusAscii, 247, 3, "03E90012", ":F70303E9001208\r\n"},
    {"pymodbus ascii write", bmmModbusAscii, 1, 16, "0433000306000A0102FFFF", ":01100433000306000A0102FFFFA4\r\n"},
};

QByteArray Frame(const RequestVector& v)
{
    return v.medium == bmmModbusAscii ? QByteArray(v.frame) : QByteArray::fromHex(QByteArray(v.frame).replace(' ', ""));
}

}  // namespace

TEST(FrameVectors, RequestsMatchThirdPartyFrames)
{
    for (const auto& v : kRequests) {
        SCOPED_TRACE(v.source);
        const QByteArray data = QByteArray::fromHex(QByteArray(v.data).replace(' ', ""));
        EXPECT_EQ(BuildRequestFrame(v.medium, v.address, v.functionCode, data, 0, false), Frame(v));
    }
    // pymodbus, transaction 0x1234, unit 5.
    EXPECT_EQ(BuildRequestFrame(bmmModbusTcp, 5, 3, QByteArray::fromHex("03E90012"), 0x1234, false).toHex(),
              "123400000006050303e90012");
}

TEST(FrameVectors, ChecksumsMatchThirdPartyFrames)
{
    for (const auto& v : kRequests) {
        SCOPED_TRACE(v.source);
        const QByteArray f = Frame(v);
        if (v.medium == bmmModbusAscii) {
            QByteArray bytes;
            ASSERT_TRUE(DecodeAsciiFrame(f, bytes));
            const int n = static_cast<int>(bytes.size());
            EXPECT_EQ(Lrc(bytes, 1, n - 1), uint8_t(bytes.at(n - 1)));
            EXPECT_EQ(Lrc(bytes), 0) << "the LRC makes the byte sum zero";
        } else {
            const int n = static_cast<int>(f.size());
            const uint16_t crc = Crc16(f, 1, n - 2);
            EXPECT_EQ(crc & 0xFF, uint8_t(f.at(n - 2))) << "low byte first";
            EXPECT_EQ(crc >> 8, uint8_t(f.at(n - 1)));
            EXPECT_EQ(Crc16(f), 0) << "the CRC over a whole frame is zero";
        }
    }
}

TEST(FrameVectors, ThirdPartyRepliesPassTheChecks)
{
    struct Row {
        const char* source;
        TNuvModbus_Medium medium;
        const char* reply;
        TNuvModbus_CheckResponseError expected;
        const char* data;
    };
    const Row rows[] = {
        {"pymodbus rtu read reply", bmmModbusRtu, "010306004b0064000a44a3", bmeNone, "06004b0064000a"},
        {"pymodbus ascii read reply", bmmModbusAscii, ":010306004B0064000A3D\r\n", bmeNone, "06004b0064000a"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.source);
        const QByteArray request =
            BuildRequestFrame(r.medium, 1, 3, QByteArray::fromHex("03E90003"), 0, false);
        const QByteArray reply =
            r.medium == bmmModbusAscii ? QByteArray(r.reply) : QByteArray::fromHex(r.reply);
        QByteArray data;
        EXPECT_EQ(CheckReply(r.medium, false, request, reply, 7, data), r.expected);
        EXPECT_EQ(data.toHex(), r.data);
    }
    // pymodbus ASCII exception reply: illegal data address from node 7.
    const QByteArray request = BuildRequestFrame(bmmModbusAscii, 7, 3, QByteArray::fromHex("03E90001"), 0, false);
    QByteArray data;
    EXPECT_EQ(CheckReply(bmmModbusAscii, false, request, ":07830274\r\n", 3, data), bmeIllegalDataAddress_Fatal);
}
