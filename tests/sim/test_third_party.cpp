// Third-party Modbus masters against the simulated starter: libmodbus linked in (on a thread of its
// own, because it blocks while the simulator needs the event loop of this thread) over Modbus TCP
// and over RTU on a socat pseudo-terminal pair, and mbpoll run as a process.
#include "SimTestSupport.h"

#include "comm/AccessCodes.h"
#include "sim/SimulatedStarter.h"

#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <modbus/modbus.h>

#include <atomic>
#include <cerrno>
#include <thread>

using namespace rv8::sim;

namespace {

const std::vector<uint16_t> kDefaults1001To1018{75, 100, 10, 10, 0, 0, 0, 0, 0, 1, 40, 200, 10, 350, 40, 200, 10, 350};

std::unique_ptr<SimulatedStarter> Model150(std::vector<uint8_t> nodes = {1})
{
    SimulatedStarter::Config config;
    config.modelCode = 150;
    config.firmware = 401;
    config.nodes = std::move(nodes);
    config.clock = std::make_shared<ManualClock>();
    QString error;
    auto sim = SimulatedStarter::Create(config, &error);
    EXPECT_TRUE(sim) << error.toStdString();
    return sim;
}

// Runs the blocking master on a thread while this thread serves the simulator.
void RunMaster(const std::function<void()>& master)
{
    std::atomic<bool> done{false};
    std::thread t([&] {
        master();
        done = true;
    });
    test::WaitFor([&] { return done.load(); }, 30000);
    t.join();
}

// One register operation's outcome: 0 or the errno libmodbus left.
struct Outcome {
    int error = 0;
    std::vector<uint16_t> values;
};

Outcome ReadRegs(modbus_t* ctx, int address, int count)
{
    Outcome o;
    o.values.resize(static_cast<size_t>(count));
    if (modbus_read_registers(ctx, address, count, o.values.data()) != count) {
        o.error = errno;
        o.values.clear();
    }
    return o;
}

int WriteRegs(modbus_t* ctx, int address, std::vector<uint16_t> values)
{
    return modbus_write_registers(ctx, address, static_cast<int>(values.size()), values.data()) ==
                   static_cast<int>(values.size())
               ? 0
               : errno;
}

void ShortTimeouts(modbus_t* ctx)
{
    modbus_set_response_timeout(ctx, 0, 300000);
    modbus_set_byte_timeout(ctx, 0, 100000);
}

TEST(ThirdParty, LibmodbusOverModbusTcp)
{
    auto sim = Model150();
    ASSERT_TRUE(sim->ListenTcp(Medium::ModbusTcp));
    const int port = sim->TcpPort();

    Outcome defaults, afterWrite, live, unknown, tooMany;
    int connectResult = -1, lockedWrite = -1, wrongCode = -1, unlock = -1, rangeWrite = -1, readOnlyWrite = -1,
        goodWrite = -1, reset = -1;
    RunMaster([&] {
        modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
        ShortTimeouts(ctx);
        modbus_set_slave(ctx, 1);
        connectResult = modbus_connect(ctx);
        if (connectResult == 0) {
            defaults = ReadRegs(ctx, 1001, 18);
            lockedWrite = WriteRegs(ctx, 1010, {2});
            wrongCode = WriteRegs(ctx, 1072, {rv8::comm::kFactoryPassword});
            unlock = WriteRegs(ctx, 1072, {rv8::comm::kWriteAccessCode});
            rangeWrite = WriteRegs(ctx, 1001, {151});
            readOnlyWrite = WriteRegs(ctx, 1073, {150});
            goodWrite = WriteRegs(ctx, 1010, {2, 55});
            afterWrite = ReadRegs(ctx, 1010, 2);
            live = ReadRegs(ctx, 2000, 22);
            unknown = ReadRegs(ctx, 1200, 1);
            reset = WriteRegs(ctx, 1071, {2});
            tooMany = ReadRegs(ctx, 1001, 2);
            modbus_close(ctx);
        }
        modbus_free(ctx);
    });
    ASSERT_EQ(connectResult, 0);
    EXPECT_EQ(defaults.error, 0) << modbus_strerror(defaults.error);
    EXPECT_EQ(defaults.values, kDefaults1001To1018);
    EXPECT_EQ(lockedWrite, EMBXSFAIL) << "parameter writes are locked until the code comes";
    EXPECT_EQ(wrongCode, EMBXILVAL);
    EXPECT_EQ(unlock, 0);
    EXPECT_EQ(rangeWrite, EMBXILVAL);
    EXPECT_EQ(readOnlyWrite, EMBXILADD);
    EXPECT_EQ(goodWrite, 0);
    EXPECT_EQ(afterWrite.values, (std::vector<uint16_t>{2, 55}));
    EXPECT_EQ(live.error, 0);
    EXPECT_EQ(live.values.size(), 22u);
    EXPECT_EQ(unknown.error, EMBXILADD);
    EXPECT_EQ(reset, 0);
    EXPECT_EQ(tooMany.values, (std::vector<uint16_t>{75, 100})) << "the reset restored the defaults";

    // The request log shows the unlock write before the parameter write, one register each.
    const auto& log = sim->RequestLog();
    ASSERT_GE(log.size(), 7u);
    EXPECT_EQ(log[3].function, 16);
    EXPECT_EQ(log[3].address, 1072);
    EXPECT_EQ(log[3].values, std::vector<uint16_t>{rv8::comm::kWriteAccessCode});
    EXPECT_EQ(log[3].exception, 0);
    EXPECT_EQ(log[6].address, 1010);
    EXPECT_EQ(log[6].count, 2);
}

TEST(ThirdParty, LibmodbusSeesTheFaultSwitches)
{
    struct Row {
        const char* name;
        FaultSwitches faults;
        int error;
    };
    auto f = [](std::function<void(FaultSwitches&)> set) {
        FaultSwitches s;
        set(s);
        return s;
    };
    const Row rows[] = {
        {"tcp none", {}, 0},
        {"tcp exception 6", f([](auto& s) { s.exceptionCode = 6; }), EMBXSBUSY},
        {"tcp stale transaction id", f([](auto& s) { s.staleTransactionId = true; }), EMBBADDATA},
        {"tcp no reply", f([](auto& s) { s.noReply = true; }), ETIMEDOUT},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        auto sim = Model150();
        ASSERT_TRUE(sim->ListenTcp(Medium::ModbusTcp));
        sim->SetFaults(row.faults);
        const int port = sim->TcpPort();
        Outcome read;
        int connectResult = -1;
        RunMaster([&] {
            modbus_t* ctx = modbus_new_tcp("127.0.0.1", port);
            ShortTimeouts(ctx);
            modbus_set_slave(ctx, 1);
            connectResult = modbus_connect(ctx);
            if (connectResult == 0) {
                read = ReadRegs(ctx, 1001, 1);
                modbus_close(ctx);
            }
            modbus_free(ctx);
        });
        ASSERT_EQ(connectResult, 0);
        EXPECT_EQ(read.error, row.error) << modbus_strerror(read.error);
    }
}

class ThirdPartySerial : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!pair.Ok())
            GTEST_SKIP() << "socat is not available";
    }
    test::SocatPair pair;
};

TEST_F(ThirdPartySerial, LibmodbusOverRtuWithSeveralNodes)
{
    auto sim = Model150({1, 2, 5});
    SerialSettings s;
    s.device = pair.First();
    s.baud = 19200;
    QString error;
    ASSERT_TRUE(sim->OpenSerial(s, &error)) << error.toStdString();
    const QByteArray device = pair.Second().toLocal8Bit();

    Outcome node1, node5, node3, node2Address, badCrc;
    int connectResult = -1;
    RunMaster([&] {
        modbus_t* ctx = modbus_new_rtu(device.constData(), 19200, 'N', 8, 1);
        ShortTimeouts(ctx);
        connectResult = modbus_connect(ctx);
        if (connectResult == 0) {
            modbus_set_slave(ctx, 1);
            node1 = ReadRegs(ctx, 1001, 18);
            modbus_set_slave(ctx, 5);
            node5 = ReadRegs(ctx, 1001, 18);
            modbus_set_slave(ctx, 2);
            node2Address = ReadRegs(ctx, 1067, 1);
            modbus_set_slave(ctx, 3);
            node3 = ReadRegs(ctx, 1001, 1);
            modbus_close(ctx);
        }
        modbus_free(ctx);
    });
    ASSERT_EQ(connectResult, 0);
    EXPECT_EQ(node1.values, kDefaults1001To1018) << modbus_strerror(node1.error);
    EXPECT_EQ(node5.values, kDefaults1001To1018) << modbus_strerror(node5.error);
    EXPECT_EQ(node2Address.values, std::vector<uint16_t>{2}) << "F067 shows the node's address";
    EXPECT_EQ(node3.error, ETIMEDOUT) << "no starter at node 3";

    FaultSwitches faults;
    faults.badChecksum = true;
    sim->SetFaults(faults);
    RunMaster([&] {
        modbus_t* ctx = modbus_new_rtu(device.constData(), 19200, 'N', 8, 1);
        ShortTimeouts(ctx);
        if (modbus_connect(ctx) == 0) {
            modbus_set_slave(ctx, 1);
            badCrc = ReadRegs(ctx, 1001, 1);
            modbus_close(ctx);
        }
        modbus_free(ctx);
    });
    EXPECT_EQ(badCrc.error, EMBBADCRC) << modbus_strerror(badCrc.error);
}

// mbpoll prints "[address]: value" lines for a one-shot read.
std::vector<uint16_t> ParseMbpoll(const QString& output)
{
    std::vector<uint16_t> values;
    static const QRegularExpression line(R"(^\[(\d+)\]:\s+(-?\d+))", QRegularExpression::MultilineOption);
    auto it = line.globalMatch(output);
    while (it.hasNext())
        values.push_back(static_cast<uint16_t>(it.next().captured(2).toInt()));
    return values;
}

QString RunMbpoll(const QStringList& args)
{
    QProcess p;
    p.start("mbpoll", args);
    if (!p.waitForStarted(3000))
        return {};
    test::WaitFor([&] { return p.state() == QProcess::NotRunning; }, 20000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

TEST(ThirdParty, MbpollReadsTheDefaultsOverModbusTcp)
{
    if (QStandardPaths::findExecutable("mbpoll").isEmpty())
        GTEST_SKIP() << "mbpoll is not installed";
    auto sim = Model150();
    ASSERT_TRUE(sim->ListenTcp(Medium::ModbusTcp));
    // -0: the reference is the wire address; -1: one poll.
    const QString out = RunMbpoll({"-m", "tcp", "-a", "1", "-r", "1001", "-c", "18", "-0", "-1", "-p",
                                   QString::number(sim->TcpPort()), "127.0.0.1"});
    EXPECT_EQ(ParseMbpoll(out), kDefaults1001To1018) << out.toStdString();
}

TEST_F(ThirdPartySerial, MbpollReadsTheDefaultsOverRtu)
{
    if (QStandardPaths::findExecutable("mbpoll").isEmpty())
        GTEST_SKIP() << "mbpoll is not installed";
    auto sim = Model150({4});
    SerialSettings s;
    s.device = pair.First();
    QString error;
    ASSERT_TRUE(sim->OpenSerial(s, &error)) << error.toStdString();
    const QString out = RunMbpoll({"-m", "rtu", "-a", "4", "-b", "9600", "-P", "none", "-r", "1001", "-c", "18",
                                   "-0", "-1", pair.Second()});
    EXPECT_EQ(ParseMbpoll(out), kDefaults1001To1018) << out.toStdString();
}

}  // namespace
