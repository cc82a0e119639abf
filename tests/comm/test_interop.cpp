// The client against third-party slaves on real lines: libmodbus over loopback Modbus TCP,
// over RTU on a socat pseudo-terminal pair and with RTU frames over TCP; pymodbus over ASCII.
// The peers hold register a = a (0..9999) and answer beyond with exception 2.
#include "comm/NuvModbus.h"
#include "tests/peers/PeerProcesses.h"

#include <gtest/gtest.h>

#include <numeric>
#include <vector>

using namespace rv8::comm;
using namespace rv8::test;

namespace {

struct Recorder {
    std::vector<TNuvModbus_CheckResponseError> errors;
    void Attach(TNuvModbus& m)
    {
        m.SetOnError([this](TNuvModbus_CheckResponseError e, const QString&, bool, TNuvModbus_ErrorEventAction& a) {
            errors.push_back(e);
            a = meaAbort;
        });
    }
};

TNuvModbus_Settings FastSettings(TNuvModbus_Medium medium)
{
    TNuvModbus_Settings s;
    s.Medium = medium;
    s.Delay.BetweenCommands = 0;
    s.Delay.TransientError = 1;
    s.Timeout.Response = 500;
    s.Timeout.Connect = 2000;
    s.MaxAttempts = 2;
    s.SerialBaud = 19200;
    return s;
}

// Reads, writes and reads back, at the protocol's count limits, and an illegal address.
void Exercise(TNuvModbus& m, uint8_t node, Recorder& rec)
{
    std::vector<uint16_t> values(18);
    ASSERT_TRUE(m.ReadHoldingRegisters(node, 1001, values));
    std::vector<uint16_t> expected(18);
    std::iota(expected.begin(), expected.end(), uint16_t(1001));
    EXPECT_EQ(values, expected);

    const std::vector<uint16_t> written{75, 100, 65535};
    ASSERT_TRUE(m.WriteMultipleRegisters(node, 1075, std::span<const uint16_t>(written)));
    std::vector<uint16_t> back(3);
    ASSERT_TRUE(m.ReadHoldingRegisters(node, 1075, back));
    EXPECT_EQ(back, written);
    EXPECT_TRUE(m.WriteMultipleRegisters(node, 1077, uint16_t(1077)));

    std::vector<uint16_t> many(125);
    ASSERT_TRUE(m.ReadHoldingRegisters(node, 2000, many));
    EXPECT_EQ(many.back(), 2124);
    std::vector<uint16_t> w123(123, 0x5A5A);
    EXPECT_TRUE(m.WriteMultipleRegisters(node, 3000, std::span<const uint16_t>(w123)));

    uint16_t v = 1;
    EXPECT_FALSE(m.ReadHoldingRegister(node, 12000, v));
    ASSERT_EQ(rec.errors.size(), 1u);
    EXPECT_EQ(rec.errors[0], bmeIllegalDataAddress_Fatal);
    EXPECT_EQ(v, 0);
    // Other function codes the client offers.
    EXPECT_TRUE(m.WriteSingleRegister(node, 10, 0xABCD));
    EXPECT_TRUE(m.ReadHoldingRegister(node, 10, v));
    EXPECT_EQ(v, 0xABCD);
}

}  // namespace

TEST(Interop, ModbusTcpAgainstLibmodbus)
{
    LibmodbusTcpSlave slave;
    ASSERT_TRUE(slave.Start());
    TNuvModbus m;
    Recorder rec;
    rec.Attach(m);
    auto s = FastSettings(bmmModbusTcp);
    s.TcpHost = " 127.0.0.1 ";
    s.TcpPort = slave.Port();
    ASSERT_TRUE(m.Open(s));
    EXPECT_TRUE(m.IsOpen());
    Exercise(m, 1, rec);
    EXPECT_TRUE(m.MaskWriteRegister(1, 10, 0x00FF, 0x1200));
    uint16_t v = 0;
    EXPECT_TRUE(m.ReadHoldingRegister(1, 10, v));
    EXPECT_EQ(v, 0x12CD);
    EXPECT_TRUE(m.Close());
    EXPECT_FALSE(m.IsOpen());
}

TEST(Interop, ModbusTcpConnectionRefused)
{
    TNuvModbus m;
    auto s = FastSettings(bmmModbusTcp);
    s.TcpPort = FreeLoopbackPort();
    EXPECT_FALSE(m.Open(s));
    EXPECT_FALSE(m.IsOpen());
}

TEST(Interop, RtuOverPseudoTerminalAgainstLibmodbus)
{
    LibmodbusRtuSlave slave;
    ASSERT_TRUE(slave.Start(7));
    TNuvModbus m;
    Recorder rec;
    rec.Attach(m);
    auto s = FastSettings(bmmModbusRtu);
    s.SerialDevice = slave.Device();
    s.SerialInterface = msiRs485;  // RTS switching must not disturb a line without RTS
    ASSERT_TRUE(m.Open(s));
    Exercise(m, 7, rec);

    // Another node stays silent: a transient error, retried, then decided.
    rec.errors.clear();
    auto quick = s;
    quick.Timeout.Response = 60;
    ASSERT_TRUE(m.Open(quick));
    uint16_t v = 0;
    EXPECT_FALSE(m.ReadHoldingRegister(8, 1001, v));
    ASSERT_EQ(rec.errors.size(), 1u);
    EXPECT_EQ(rec.errors[0], bmeReceiveResponse_Transient);
    // and the line still works afterwards
    EXPECT_TRUE(m.ReadHoldingRegister(7, 1001, v));
    EXPECT_EQ(v, 1001);
}

TEST(Interop, RtuFramesOverTcpAgainstLibmodbus)
{
    LibmodbusRtuOverTcpSlave slave;
    ASSERT_TRUE(slave.Start(3));
    TNuvModbus m;
    Recorder rec;
    rec.Attach(m);
    auto s = FastSettings(bmmTcpIp);
    s.TcpPort = slave.Port();
    ASSERT_TRUE(m.Open(s));
    Exercise(m, 3, rec);
}

TEST(Interop, AsciiOverPseudoTerminalAgainstPymodbus)
{
    PymodbusAsciiSlave slave;
    ASSERT_TRUE(slave.Start(5)) << slave.ErrorOutput().toStdString();
    TNuvModbus m;
    Recorder rec;
    rec.Attach(m);
    auto s = FastSettings(bmmModbusAscii);
    s.SerialDevice = slave.Device();
    s.SerialParity = mspEven;
    s.Timeout.Response = 1000;
    ASSERT_TRUE(m.Open(s));
    Exercise(m, 5, rec);
}
