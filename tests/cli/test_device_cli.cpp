// rv8 identify, scan, reset and set-clock as a user runs them: against the simulated starter on
// loopback (on a thread of its own, with several nodes) and, for identify, against libmodbus as a
// third-party slave that holds a starter's identification registers.
#include "tests/comm/SimThread.h"
#include "tests/peers/PeerProcesses.h"

#include "param/Catalogue.h"
#include "sim/SimClock.h"

#include <QProcess>
#include <gtest/gtest.h>

using rv8::test::SimThread;

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome Rv8(const QStringList& args)
{
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());  // no terminal: questions are refused
    p.start(RV8_CLI, args);
    Outcome r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

rv8::sim::SimulatedStarter::Config Config(std::vector<uint8_t> nodes)
{
    rv8::sim::SimulatedStarter::Config c;
    c.modelCode = 150;
    c.firmware = 401;
    c.nodes = std::move(nodes);
    c.clock = std::make_shared<rv8::sim::ManualClock>(0);
    c.nodeOptions.motorCycling = false;
    return c;
}

class DeviceCli : public ::testing::Test {
protected:
    void Start(std::vector<uint8_t> nodes = {1})
    {
        m_sim = std::make_unique<SimThread>(Config(std::move(nodes)));
        ASSERT_TRUE(m_sim->Ok());
        m_port = m_sim->ListenTcp(rv8::sim::Medium::ModbusTcp);
        ASSERT_NE(m_port, 0);
    }
    // Short timeouts: absent nodes of a scan cost one attempt of 50 ms.
    QStringList Connection() const
    {
        return {"--tcp", QStringLiteral("127.0.0.1:%1").arg(m_port), "--delay-ms", "0", "--timeout-ms", "50",
                "--attempts", "1"};
    }
    std::vector<rv8::sim::LogEntry> Writes()
    {
        std::vector<rv8::sim::LogEntry> out;
        for (const auto& e : m_sim->Log())
            if (e.function == 16)
                out.push_back(e);
        return out;
    }

    std::unique_ptr<SimThread> m_sim;
    quint16 m_port = 0;
};

TEST_F(DeviceCli, IdentifyPrintsSeriesAndFirmwareOfTheNode)
{
    Start({1, 5});
    for (const char* node : {"1", "5"}) {
        const Outcome r = Rv8(QStringList{"identify"} + Connection() + QStringList{"--node", node});
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        EXPECT_EQ(r.out, QStringLiteral("Series: RV8-150\nFirmware Version: 4.01\n")) << node;
    }
    const Outcome absent = Rv8(QStringList{"identify"} + Connection() + QStringList{"--node", "3"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_TRUE(absent.out.isEmpty());
}

TEST_F(DeviceCli, ScanListsTheNodesFound)
{
    Start({1, 2, 5});
    const Outcome r = Rv8(QStringList{"scan"} + Connection() + QStringList{"--max", "8"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Node 001: Firmware: 4.01 RV8-150\n"
                                    "Node 002: Firmware: 4.01 RV8-150\n"
                                    "Node 005: Firmware: 4.01 RV8-150\n"));
    const Outcome none = Rv8(QStringList{"scan"} + Connection() + QStringList{"--max", "0"});
    EXPECT_EQ(none.status, 2);
}

TEST_F(DeviceCli, ResetAsksAndRefusesWithoutATerminal)
{
    Start();
    const Outcome refused = Rv8(QStringList{"reset"} + Connection());
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(refused.err.contains("Reset Factory Default Settings?")) << refused.err.toStdString();
    EXPECT_TRUE(m_sim->Log().empty());

    rv8::param::SELECTION = {};
    ASSERT_EQ(rv8::param::BuildCatalogue(true), "");
    const uint16_t resetAddress =
        rv8::param::PRM_TABLE[rv8::param::PRM_TABLE.DEPENDENCY_MAP[rv8::param::deiSystemClearAndFactoryReset]].PRMADDR;
    struct Row {
        QStringList flags;
        uint16_t choice;
    };
    const Row rows[] = {{{"--yes"}, 2}, {{"--clear-only", "--yes"}, 1}};
    for (const Row& row : rows) {
        m_sim->ClearLog();
        const Outcome r = Rv8(QStringList{"reset"} + Connection() + row.flags);
        EXPECT_EQ(r.status, 0) << r.err.toStdString();
        const auto writes = Writes();
        ASSERT_FALSE(writes.empty());
        EXPECT_EQ(writes.back().address, resetAddress);
        EXPECT_EQ(writes.back().values, std::vector<uint16_t>{row.choice});
        EXPECT_EQ(writes.back().exception, 0);
    }
}

TEST_F(DeviceCli, SetClockWritesTheGivenTime)
{
    Start();
    const QStringList time{"--time", "2031-07-14 09:26:53"};
    const Outcome refused = Rv8(QStringList{"set-clock"} + Connection() + time);
    EXPECT_EQ(refused.status, 2);
    EXPECT_TRUE(m_sim->Log().empty());

    const Outcome r = Rv8(QStringList{"set-clock"} + Connection() + time + QStringList{"--yes"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(Writes().size(), 6u);
    const QDateTime clock = m_sim->Get<QDateTime>([](rv8::sim::SimulatedStarter& s) { return s.Node(1)->ClockNow(); });
    EXPECT_EQ(clock.date(), QDate(2031, 7, 14));
    EXPECT_EQ(clock.time().hour(), 9);

    m_sim->ClearLog();
    const Outcome late = Rv8(QStringList{"set-clock"} + Connection() +
                             QStringList{"--time", "2048-05-01 00:00:00", "--yes"});
    EXPECT_EQ(late.status, 2);
    EXPECT_TRUE(late.err.contains("(2000 - 2047)")) << late.err.toStdString();
    EXPECT_TRUE(m_sim->Log().empty());
    const Outcome bad = Rv8(QStringList{"set-clock"} + Connection() + QStringList{"--time", "yesterday", "--yes"});
    EXPECT_EQ(bad.status, 2);
}

// libmodbus holds register a at value a, unless told otherwise: the identification registers of
// the program's start catalogue are given a starter's revision and frame rating.
TEST(DeviceCliPeer, IdentifyAgainstALibmodbusSlave)
{
    rv8::param::SELECTION = {};
    ASSERT_EQ(rv8::param::BuildCatalogue(true), "");
    const int revision = rv8::param::SPECIAL_ADDRESSES[rv8::param::sasRevision2];
    const int frame = rv8::param::PRM_TABLE[rv8::param::PRM_TABLE.DEPENDENCY_MAP[rv8::param::deiFrameRating]].PRMADDR;
    struct Row {
        QStringList sets;
        int status;
        QString out;
        QString err;
    };
    const Row rows[] = {
        {{"--set", QStringLiteral("%1=401").arg(revision), "--set", QStringLiteral("%1=450").arg(frame)}, 0,
         "Series: RV8-450\nFirmware Version: 4.01\n", ""},
        {{"--set", QStringLiteral("%1=130").arg(revision), "--set", QStringLiteral("%1=39").arg(frame)}, 0,
         "Series: RV8-39\nFirmware Version: 1.30\n", ""},
        // Untouched, the revision register reads its own address: not an RV8.
        {{}, 1, "", "The device connected is not a RV8."},
    };
    for (const Row& row : rows) {
        rv8::test::Peer slave;
        ASSERT_TRUE(slave.Start(RV8_MODBUS_SLAVE, QStringList{"--tcp", "--lifetime", "60"} + row.sets));
        const QString portLine = slave.WaitForLine("PORT ");
        ASSERT_FALSE(portLine.isEmpty()) << slave.ErrorOutput().toStdString();
        const QStringList connection{"--tcp", "127.0.0.1:" + portLine.mid(5), "--delay-ms", "0", "--timeout-ms",
                                     "1000", "--attempts", "1"};
        const Outcome r = Rv8(QStringList{"identify"} + connection);
        EXPECT_EQ(r.status, row.status) << r.err.toStdString();
        EXPECT_EQ(r.out, row.out);
        if (!row.err.isEmpty()) {
            EXPECT_TRUE(r.err.contains(row.err)) << r.err.toStdString();
        }
    }
}

}  // namespace
