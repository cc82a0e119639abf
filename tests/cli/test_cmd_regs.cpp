// rv8 regs against third-party slaves (libmodbus over Modbus TCP and RTU on a pseudo-terminal,
// pymodbus over ASCII): the program as a user runs it, its output, messages and exit status.
#include "tests/peers/PeerProcesses.h"

#include <QProcess>
#include <gtest/gtest.h>

using namespace rv8::test;

namespace {

struct Outcome {
    int status = -1;
    QString out;
    QString err;
};

Outcome Rv8(const QStringList& args)
{
    QProcess p;
    p.start(RV8_CLI, args);
    Outcome r;
    if (!p.waitForFinished(30000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// Writes three values, reads them back, and reads an address the peer does not have.
void WriteReadBack(const QStringList& connection)
{
    const QStringList fast{"--delay-ms", "0", "--timeout-ms", "1000", "--attempts", "2"};
    Outcome w = Rv8(QStringList{"regs", "write"} + connection + fast + QStringList{"1001", "75", "0x64", "65535"});
    EXPECT_EQ(w.status, 0) << w.err.toStdString();
    EXPECT_TRUE(w.out.isEmpty());

    Outcome r = Rv8(QStringList{"regs", "read"} + connection + fast + QStringList{"1000", "5"});
    EXPECT_EQ(r.status, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, "1000 1000\n1001 75\n1002 100\n1003 65535\n1004 1004\n");

    Outcome bad = Rv8(QStringList{"regs", "read"} + connection + fast + QStringList{"12000", "2"});
    EXPECT_EQ(bad.status, 1);
    EXPECT_EQ(bad.err, "rv8 regs: Illegal data address.\n");
    EXPECT_TRUE(bad.out.isEmpty());
}

}  // namespace

TEST(CmdRegs, ModbusTcpAgainstLibmodbus)
{
    LibmodbusTcpSlave slave;
    ASSERT_TRUE(slave.Start());
    WriteReadBack({"--tcp", QString("127.0.0.1:%1").arg(slave.Port()), "--node", "9"});
}

TEST(CmdRegs, RtuAgainstLibmodbus)
{
    LibmodbusRtuSlave slave;
    ASSERT_TRUE(slave.Start(4));
    const QStringList connection{"--serial", slave.Device(), "--baud", "19200", "--node", "4"};
    WriteReadBack(connection);
    // Another node does not answer: the client's text after its retries.
    Outcome silent = Rv8(QStringList{"regs", "read", "--serial", slave.Device(), "--node", "5", "--delay-ms", "0",
                                 "--timeout-ms", "50", "--attempts", "2", "1", "1"});
    EXPECT_EQ(silent.status, 1);
    EXPECT_EQ(silent.err, "rv8 regs: No response received.\n");
}

TEST(CmdRegs, AsciiAgainstPymodbus)
{
    PymodbusAsciiSlave slave;
    ASSERT_TRUE(slave.Start(2)) << slave.ErrorOutput().toStdString();
    WriteReadBack({"--serial", slave.Device(), "--ascii", "--parity", "even", "--node", "2"});
}

TEST(CmdRegs, BadArgumentsAreRefusedWithAMessage)
{
    struct Row {
        QStringList args;
        const char* message;
    };
    const Row rows[] = {
        {{"regs"}, "say read or write"},
        {{"regs", "read", "1", "2"}, "name the connection with --tcp, --rtu-tcp or --serial"},
        {{"regs", "read", "--tcp", "h:1", "--serial", "x", "1", "2"}, "choose one of"},
        {{"regs", "read", "--tcp", "127.0.0.1", "1", "2"}, "--tcp needs HOST:PORT"},
        {{"regs", "read", "--tcp", "127.0.0.1:70000", "1", "2"}, "--tcp needs HOST:PORT"},
        {{"regs", "read", "--tcp", "127.0.0.1:502", "--ascii", "1", "2"}, "go with --serial"},
        {{"regs", "read", "--serial", "/dev/x", "--parity", "mark", "1", "2"}, "--parity must be none, even or odd"},
        {{"regs", "read", "--serial", "/dev/x", "--stop", "3", "1", "2"}, "--stop must be 1 or 2"},
        {{"regs", "read", "--tcp", "127.0.0.1:502", "--node", "256", "1", "2"}, "--node needs"},
        {{"regs", "read", "--tcp", "127.0.0.1:502", "1", "126"}, "COUNT '126'"},
        {{"regs", "read", "--tcp", "127.0.0.1:502", "1", "0"}, "COUNT '0'"},
        {{"regs", "read", "--tcp", "127.0.0.1:502", "65535", "2"}, "past address 65535"},
        {{"regs", "write", "--tcp", "127.0.0.1:502", "1"}, "write needs ADDRESS and at least one VALUE"},
        {{"regs", "write", "--tcp", "127.0.0.1:502", "1", "65536"}, "VALUE '65536'"},
        {{"regs", "read", "--tcp", "127.0.0.1:502", "--timeout-ms", "x", "1", "1"}, "--timeout-ms needs"},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.args.join(' ').toStdString());
        Outcome run = Rv8(r.args);
        EXPECT_EQ(run.status, 2);
        EXPECT_TRUE(run.err.contains(r.message)) << run.err.toStdString();
    }
    QStringList tooMany{"regs", "write", "--tcp", "127.0.0.1:502", "1"};
    for (int i = 0; i < 124; ++i)
        tooMany << "1";
    EXPECT_EQ(Rv8(tooMany).status, 2);
}

TEST(CmdRegs, UnreachablePeerIsReported)
{
    Outcome r = Rv8({"regs", "read", "--tcp", QString("127.0.0.1:%1").arg(FreeLoopbackPort()), "1", "1"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.err.startsWith("rv8 regs: cannot open 127.0.0.1:")) << r.err.toStdString();

    Outcome s = Rv8({"regs", "write", "--serial", "/dev/rv8-no-such-port", "1", "1"});
    EXPECT_EQ(s.status, 1);
    EXPECT_EQ(s.err, "rv8 regs: cannot open /dev/rv8-no-such-port\n");
}
