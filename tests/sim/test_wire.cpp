// The simulated starter on real loopback sockets and socat pseudo-terminals: framing per medium,
// multiple nodes, the request log, and what each fault switch does to the bytes on the wire.
#include "SimTestSupport.h"

#include "comm/AccessCodes.h"
#include "comm/NuvBytes.h"
#include "sim/SimulatedStarter.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>
#include <gtest/gtest.h>

using namespace rv8::sim;
using rv8::comm::AppendByte;
using rv8::comm::AppendWord;

namespace {

std::unique_ptr<SimulatedStarter> MakeStarter(std::vector<uint8_t> nodes = {1})
{
    SimulatedStarter::Config config;
    config.layout = test::SmallLayout();
    config.nodes = std::move(nodes);
    config.clock = std::make_shared<ManualClock>();
    config.gapMs = 20;
    QString error;
    auto sim = SimulatedStarter::Create(config, &error);
    EXPECT_TRUE(sim) << error.toStdString();
    return sim;
}

QByteArray ReadPdu(uint16_t address, uint16_t count)
{
    QByteArray pdu;
    AppendByte(pdu, 3);
    AppendWord(pdu, address);
    AppendWord(pdu, count);
    return pdu;
}

// A request frame as a master would send it.
QByteArray Frame(Medium medium, uint8_t node, const QByteArray& pdu, uint16_t tid = 0x1234)
{
    QByteArray f;
    switch (medium) {
    case Medium::ModbusTcp:
        AppendWord(f, tid);
        AppendWord(f, 0);
        AppendWord(f, static_cast<uint16_t>(pdu.size() + 1));
        AppendByte(f, node);
        f.append(pdu);
        break;
    case Medium::RtuOverTcp:
    case Medium::SerialRtu:
        AppendByte(f, node);
        f.append(pdu);
        AppendWord(f, rv8::comm::Crc16(f), true);
        break;
    case Medium::SerialAscii: {
        QByteArray bytes;
        AppendByte(bytes, node);
        bytes.append(pdu);
        AppendByte(bytes, rv8::comm::Lrc(bytes));
        f = ":" + bytes.toHex().toUpper() + "\r\n";
        break;
    }
    }
    return f;
}

// Sends a request and collects what comes back until `expected` bytes are there or the bound passes.
QByteArray Exchange(QIODevice& io, const QByteArray& request, int expected, int boundMs = 1000)
{
    QByteArray got;
    io.write(request);
    test::WaitFor(
        [&] {
            got.append(io.readAll());
            return got.size() >= expected;
        },
        boundMs);
    // Anything that follows at once (surplus bytes) is part of the reply too.
    test::WaitFor([] { return false; }, 30);
    got.append(io.readAll());
    return got;
}

struct Connected {
    std::unique_ptr<SimulatedStarter> sim;
    std::unique_ptr<QTcpSocket> socket;
};

Connected ConnectTcp(Medium medium, std::vector<uint8_t> nodes = {1})
{
    Connected c{MakeStarter(std::move(nodes)), std::make_unique<QTcpSocket>()};
    EXPECT_TRUE(c.sim->ListenTcp(medium));
    c.socket->connectToHost(QHostAddress::LocalHost, c.sim->TcpPort());
    EXPECT_TRUE(test::WaitFor([&] { return c.socket->state() == QAbstractSocket::ConnectedState; }));
    return c;
}

// The normal reply to reading 1001 (75) from node 1.
QByteArray NormalReply(Medium medium, uint16_t tid = 0x1234)
{
    return Frame(medium, 1, QByteArray::fromHex("0302004B"), tid);
}

// ---------------------------------------------------------------------------------------------

struct FaultRow {
    const char* name;
    Medium medium;
    FaultSwitches faults;
    std::function<void(const QByteArray& request, const QByteArray& reply)> check;
};

void PrintTo(const FaultRow& row, std::ostream* os) { *os << row.name; }

FaultSwitches F(std::function<void(FaultSwitches&)> set)
{
    FaultSwitches f;
    set(f);
    return f;
}

std::vector<FaultRow> FaultRows()
{
    const auto tcp = Medium::ModbusTcp;
    const auto rtu = Medium::RtuOverTcp;
    return {
        {"tcp_none", tcp, {}, [](auto&, auto& r) { EXPECT_EQ(r.toHex(), NormalReply(Medium::ModbusTcp).toHex()); }},
        {"rtu_none", rtu, {}, [](auto&, auto& r) { EXPECT_EQ(r.toHex(), NormalReply(Medium::RtuOverTcp).toHex()); }},
        {"tcp_no_reply", tcp, F([](auto& f) { f.noReply = true; }), [](auto&, auto& r) { EXPECT_TRUE(r.isEmpty()); }},
        {"rtu_no_reply", rtu, F([](auto& f) { f.noReply = true; }), [](auto&, auto& r) { EXPECT_TRUE(r.isEmpty()); }},
        {"rtu_bad_crc", rtu, F([](auto& f) { f.badChecksum = true; }),
         [](auto&, auto& r) {
             ASSERT_EQ(r.size(), 7);
             EXPECT_EQ(r.left(5), NormalReply(Medium::RtuOverTcp).left(5));
             EXPECT_NE(r.right(2), NormalReply(Medium::RtuOverTcp).right(2));
         }},
        {"tcp_bad_checksum_has_no_checksum_to_spoil", tcp, F([](auto& f) { f.badChecksum = true; }),
         [](auto&, auto& r) { EXPECT_EQ(r.toHex(), NormalReply(Medium::ModbusTcp).toHex()); }},
        {"rtu_wrong_address", rtu, F([](auto& f) { f.wrongAddress = true; }),
         [](auto&, auto& r) {
             ASSERT_EQ(r.size(), 7);
             EXPECT_EQ(static_cast<uint8_t>(r.at(0)), 2);
             EXPECT_EQ(rv8::comm::Crc16(r, 1, 5), (static_cast<uint8_t>(r.at(6)) << 8) | static_cast<uint8_t>(r.at(5)))
                 << "the CRC is right for the wrong address";
         }},
        {"tcp_wrong_unit", tcp, F([](auto& f) { f.wrongAddress = true; }),
         [](auto&, auto& r) {
             ASSERT_EQ(r.size(), 11);
             EXPECT_EQ(static_cast<uint8_t>(r.at(6)), 2);
         }},
        {"tcp_stale_tid", tcp, F([](auto& f) { f.staleTransactionId = true; }),
         [](auto&, auto& r) { EXPECT_EQ(r.toHex(), NormalReply(Medium::ModbusTcp, 0x1233).toHex()); }},
        {"rtu_stale_tid_has_no_tid", rtu, F([](auto& f) { f.staleTransactionId = true; }),
         [](auto&, auto& r) { EXPECT_EQ(r.toHex(), NormalReply(Medium::RtuOverTcp).toHex()); }},
        {"tcp_exception_6", tcp, F([](auto& f) { f.exceptionCode = 6; }),
         [](auto&, auto& r) { EXPECT_EQ(r.toHex(), Frame(Medium::ModbusTcp, 1, QByteArray::fromHex("8306")).toHex()); }},
        {"rtu_exception_11", rtu, F([](auto& f) { f.exceptionCode = 11; }),
         [](auto&, auto& r) { EXPECT_EQ(r.toHex(), Frame(Medium::RtuOverTcp, 1, QByteArray::fromHex("830B")).toHex()); }},
        {"tcp_surplus", tcp, F([](auto& f) { f.surplusBytes = 3; }),
         [](auto&, auto& r) { EXPECT_EQ(r.toHex(), (NormalReply(Medium::ModbusTcp) + QByteArray(3, char(0xAA))).toHex()); }},
        {"rtu_surplus", rtu, F([](auto& f) { f.surplusBytes = 2; }),
         [](auto&, auto& r) { EXPECT_EQ(r.toHex(), (NormalReply(Medium::RtuOverTcp) + QByteArray(2, char(0xAA))).toHex()); }},
        {"tcp_echo_only_on_serial", tcp, F([](auto& f) { f.echo = true; }),
         [](auto&, auto& r) { EXPECT_EQ(r.toHex(), NormalReply(Medium::ModbusTcp).toHex()); }},
    };
}

class FaultOnTcpTest : public ::testing::TestWithParam<FaultRow> {};

TEST_P(FaultOnTcpTest, ReplyBytes)
{
    const FaultRow& row = GetParam();
    auto c = ConnectTcp(row.medium);
    c.sim->SetFaults(row.faults);
    const QByteArray request = Frame(row.medium, 1, ReadPdu(1001, 1));
    const int expected = static_cast<int>(NormalReply(row.medium).size()) + row.faults.surplusBytes;
    const QByteArray reply = Exchange(*c.socket, request, expected, row.faults.noReply ? 150 : 1000);
    row.check(request, reply);
    ASSERT_EQ(c.sim->RequestLog().size(), 1u);
    EXPECT_EQ(c.sim->RequestLog()[0].answered, !row.faults.noReply);
    EXPECT_EQ(c.sim->RequestLog()[0].reply, reply);
}

INSTANTIATE_TEST_SUITE_P(Switches, FaultOnTcpTest, ::testing::ValuesIn(FaultRows()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimWire, ReplyDelayHoldsTheReplyBack)
{
    auto c = ConnectTcp(Medium::ModbusTcp);
    FaultSwitches f;
    f.replyDelayMs = 120;
    c.sim->SetFaults(f);
    QElapsedTimer timer;
    timer.start();
    const QByteArray reply = Exchange(*c.socket, Frame(Medium::ModbusTcp, 1, ReadPdu(1001, 1)), 11);
    EXPECT_EQ(reply.toHex(), NormalReply(Medium::ModbusTcp).toHex());
    EXPECT_GE(timer.elapsed(), 110);
}

TEST(SimWire, FaultsActOnTheGivenNumberOfRepliesOnly)
{
    auto c = ConnectTcp(Medium::ModbusTcp);
    FaultSwitches f;
    f.staleTransactionId = true;
    f.repliesAffected = 2;
    c.sim->SetFaults(f);
    for (uint16_t tid : {10, 11, 12}) {
        const QByteArray reply = Exchange(*c.socket, Frame(Medium::ModbusTcp, 1, ReadPdu(1001, 1), tid), 11);
        EXPECT_EQ(reply.toHex(), NormalReply(Medium::ModbusTcp, tid == 12 ? 12 : tid - 1).toHex()) << tid;
    }
    EXPECT_FALSE(c.sim->Faults().Any());
}

TEST(SimWire, SeveralNodesEachWithTheirOwnRegisters)
{
    auto c = ConnectTcp(Medium::RtuOverTcp, {1, 2, 5});
    QByteArray unlockAndWrite;
    // Node 2: unlock, then write 1001 = 120.
    QByteArray pdu;
    AppendByte(pdu, 16);
    AppendWord(pdu, 1072);
    AppendWord(pdu, 1);
    AppendByte(pdu, 2);
    AppendWord(pdu, rv8::comm::kWriteAccessCode);
    EXPECT_EQ(Exchange(*c.socket, Frame(Medium::RtuOverTcp, 2, pdu), 8).size(), 8);
    pdu.clear();
    AppendByte(pdu, 6);
    AppendWord(pdu, 1001);
    AppendWord(pdu, 120);
    EXPECT_EQ(Exchange(*c.socket, Frame(Medium::RtuOverTcp, 2, pdu), 8).toHex(), Frame(Medium::RtuOverTcp, 2, pdu).toHex());

    EXPECT_EQ(Exchange(*c.socket, Frame(Medium::RtuOverTcp, 2, ReadPdu(1001, 1)), 7).toHex(),
              Frame(Medium::RtuOverTcp, 2, QByteArray::fromHex("03020078")).toHex());
    EXPECT_EQ(Exchange(*c.socket, Frame(Medium::RtuOverTcp, 5, ReadPdu(1001, 1)), 7).toHex(),
              Frame(Medium::RtuOverTcp, 5, QByteArray::fromHex("0302004B")).toHex());
    // Node 3 is not on the line: silence.
    EXPECT_TRUE(Exchange(*c.socket, Frame(Medium::RtuOverTcp, 3, ReadPdu(1001, 1)), 7, 100).isEmpty());

    const auto& log = c.sim->RequestLog();
    ASSERT_EQ(log.size(), 5u);
    EXPECT_EQ(log[0].function, 16);
    EXPECT_EQ(log[0].address, 1072);
    EXPECT_EQ(log[0].count, 1);
    EXPECT_EQ(log[0].values, std::vector<uint16_t>{rv8::comm::kWriteAccessCode});
    EXPECT_EQ(log[1].function, 6);
    EXPECT_EQ(log[1].values, std::vector<uint16_t>{120});
    EXPECT_EQ(log[2].values, std::vector<uint16_t>{120}) << "a read logs the values it returned";
    EXPECT_EQ(log[4].node, 3);
    EXPECT_FALSE(log[4].answered);
}

TEST(SimWire, RequestsSplitOrJoinedOnTheStreamAreEachAnswered)
{
    for (Medium medium : {Medium::ModbusTcp, Medium::RtuOverTcp}) {
        auto c = ConnectTcp(medium);
        const QByteArray request = Frame(medium, 1, ReadPdu(1001, 1));
        const QByteArray normal = NormalReply(medium);
        // In two pieces.
        c.socket->write(request.left(3));
        c.socket->flush();
        test::WaitFor([] { return false; }, 10);
        EXPECT_EQ(Exchange(*c.socket, request.mid(3), static_cast<int>(normal.size())).toHex(), normal.toHex());
        // Two requests in one piece.
        EXPECT_EQ(Exchange(*c.socket, request + request, static_cast<int>(2 * normal.size())).toHex(),
                  (normal + normal).toHex());
        // Garbage, then a good request after the line fell quiet (RTU) or a header (TCP).
        if (medium == Medium::RtuOverTcp) {
            c.socket->write(QByteArray::fromHex("01030102"));
            test::WaitFor([] { return false; }, 60);
        }
        EXPECT_EQ(Exchange(*c.socket, request, static_cast<int>(normal.size())).toHex(), normal.toHex()) << MediumName(medium).toStdString();
    }
}

TEST(SimWire, UnknownFunctionOverRtuIsAnsweredAtTheGap)
{
    auto c = ConnectTcp(Medium::RtuOverTcp);
    const QByteArray pdu = QByteArray::fromHex("0800001234");  // diagnostics: not served
    EXPECT_EQ(Exchange(*c.socket, Frame(Medium::RtuOverTcp, 1, pdu), 5).toHex(),
              Frame(Medium::RtuOverTcp, 1, QByteArray::fromHex("8801")).toHex());
}

// ---------------------------------------------------------------------------------------------
// Serial media through a socat pseudo-terminal pair.

class SerialTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pair.Ok())
            GTEST_SKIP() << "socat is not available";
    }

    bool Open(Medium medium, const FaultSwitches& faults = {})
    {
        sim = MakeStarter({1, 7});
        sim->SetFaults(faults);
        SerialSettings s;
        s.device = pair.First();
        s.ascii = medium == Medium::SerialAscii;
        QString error;
        if (!sim->OpenSerial(s, &error)) {
            ADD_FAILURE() << error.toStdString();
            return false;
        }
        master.setPortName(pair.Second());
        if (!master.open(QIODevice::ReadWrite)) {
            ADD_FAILURE() << master.errorString().toStdString();
            return false;
        }
        return true;
    }

    test::SocatPair pair;
    std::unique_ptr<SimulatedStarter> sim;
    QSerialPort master;
};

TEST_F(SerialTest, RtuAndAsciiReadsAndEcho)
{
    struct Row {
        const char* name;
        Medium medium;
        FaultSwitches faults;
    };
    const Row rows[] = {
        {"rtu", Medium::SerialRtu, {}},
        {"ascii", Medium::SerialAscii, {}},
        {"rtu echo", Medium::SerialRtu, F([](auto& f) { f.echo = true; })},
        {"ascii echo", Medium::SerialAscii, F([](auto& f) { f.echo = true; })},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_TRUE(Open(row.medium, row.faults));
        const QByteArray request = Frame(row.medium, 7, ReadPdu(1001, 1));
        QByteArray expected = Frame(row.medium, 7, QByteArray::fromHex("0302004B"));
        if (row.faults.echo)
            expected.prepend(request);
        EXPECT_EQ(Exchange(master, request, static_cast<int>(expected.size())), expected);
        master.close();
        sim.reset();
    }
}

TEST_F(SerialTest, AsciiFaults)
{
    const QByteArray request = Frame(Medium::SerialAscii, 1, ReadPdu(1001, 1));
    const QByteArray normal = Frame(Medium::SerialAscii, 1, QByteArray::fromHex("0302004B"));

    ASSERT_TRUE(Open(Medium::SerialAscii, F([](auto& f) { f.badChecksum = true; })));
    QByteArray reply = Exchange(master, request, static_cast<int>(normal.size()));
    ASSERT_EQ(reply.size(), normal.size());
    EXPECT_EQ(reply.left(11), normal.left(11));
    EXPECT_NE(reply.mid(11, 2), normal.mid(11, 2)) << "LRC digits";
    EXPECT_TRUE(reply.endsWith("\r\n"));
    master.close();

    ASSERT_TRUE(Open(Medium::SerialAscii, F([](auto& f) { f.wrongAddress = true; })));
    reply = Exchange(master, request, static_cast<int>(normal.size()));
    EXPECT_EQ(reply, Frame(Medium::SerialAscii, 2, QByteArray::fromHex("0302004B")));
    master.close();

    // A request with a bad LRC is not answered (and not logged as a request).
    ASSERT_TRUE(Open(Medium::SerialAscii));
    QByteArray spoilt = request;
    spoilt[spoilt.size() - 3] = spoilt.at(spoilt.size() - 3) == '0' ? '1' : '0';
    EXPECT_TRUE(Exchange(master, spoilt, 1, 100).isEmpty());
    EXPECT_TRUE(sim->RequestLog().empty());
    EXPECT_EQ(Exchange(master, request, static_cast<int>(normal.size())), normal);
}

}  // namespace
