// `rv8 sim` as a process: it says where it listens, serves with the fault switches of its flags,
// refuses bad options with a message, and ends cleanly on SIGTERM.
#include "SimTestSupport.h"

#include "comm/NuvBytes.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTcpSocket>
#include <gtest/gtest.h>

namespace {

using rv8::sim::test::WaitFor;

QByteArray RtuRead(uint8_t node, uint16_t address, uint16_t count)
{
    QByteArray f;
    rv8::comm::AppendByte(f, node);
    rv8::comm::AppendByte(f, 3);
    rv8::comm::AppendWord(f, address);
    rv8::comm::AppendWord(f, count);
    rv8::comm::AppendWord(f, rv8::comm::Crc16(f), true);
    return f;
}

QByteArray RtuReply(uint8_t node, const char* pduHex)
{
    QByteArray f;
    rv8::comm::AppendByte(f, node);
    f.append(QByteArray::fromHex(pduHex));
    rv8::comm::AppendWord(f, rv8::comm::Crc16(f), true);
    return f;
}

class SimCommand : public ::testing::Test {
protected:
    // Starts `rv8 sim` and waits for its first line.
    bool Start(const QStringList& args)
    {
        process.start(RV8_SIM_CLI, QStringList{"sim"} + args);
        if (!process.waitForStarted(5000))
            return false;
        return WaitFor([&] {
            output += QString::fromLocal8Bit(process.readAllStandardOutput());
            return output.contains('\n') || process.state() == QProcess::NotRunning;
        }, 10000) && output.contains("serving");
    }
    quint16 Port() const
    {
        const auto m = QRegularExpression(R"(:(\d+),)").match(output);
        return m.hasMatch() ? static_cast<quint16>(m.captured(1).toUInt()) : 0;
    }
    QByteArray Ask(QIODevice& io, const QByteArray& request, int expected)
    {
        QByteArray got;
        io.write(request);
        WaitFor([&] {
            got += io.readAll();
            return got.size() >= expected;
        });
        return got;
    }
    void TearDown() override
    {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished(3000);
        }
    }

    QProcess process;
    QString output;
};

TEST_F(SimCommand, ServesRtuOverTcpWithItsFaultFlagsAndStopsOnSigterm)
{
    ASSERT_TRUE(Start({"--rtu-tcp", "127.0.0.1:0", "--nodes", "3,9", "--model", "275", "--firmware", "300",
                       "--exception", "6", "--surplus", "2"}))
        << output.toStdString() << process.readAllStandardError().toStdString();
    EXPECT_TRUE(output.startsWith("rv8 sim: serving RTU over TCP on 127.0.0.1:")) << output.toStdString();
    EXPECT_TRUE(output.contains("nodes 3,9, model 275, firmware 300")) << output.toStdString();
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, Port());
    ASSERT_TRUE(WaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
    EXPECT_EQ(Ask(socket, RtuRead(9, 1073, 1), 7).toHex(), (RtuReply(9, "8306") + QByteArray(2, char(0xAA))).toHex());
    socket.close();

    process.terminate();  // SIGTERM
    ASSERT_TRUE(WaitFor([&] { return process.state() == QProcess::NotRunning; }, 5000));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_TRUE(QString::fromLocal8Bit(process.readAllStandardOutput()).contains("rv8 sim: stopped"));
}

TEST_F(SimCommand, ServesModbusTcpForTheChosenModel)
{
    ASSERT_TRUE(Start({"--tcp", "127.0.0.1:0", "--model", "rv8-275", "--firmware", "300"})) << output.toStdString();
    EXPECT_TRUE(output.contains("model 275")) << output.toStdString();
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, Port());
    ASSERT_TRUE(WaitFor([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
    // Read 1073 (frame rating) and 1081 (revision) from node 1.
    const QByteArray frame = QByteArray::fromHex("000100000006010304310001");
    EXPECT_EQ(Ask(socket, frame, 11).toHex(), QByteArray("000100000005010302") + "0113");  // 275
    const QByteArray revision = QByteArray::fromHex("000200000006010304390001");
    EXPECT_EQ(Ask(socket, revision, 11).toHex(), QByteArray("000200000005010302") + "012c");  // 300
}

TEST_F(SimCommand, ServesAsciiOnASerialDeviceWithEcho)
{
    rv8::sim::test::SocatPair pair;
    if (!pair.Ok())
        GTEST_SKIP() << "socat is not available";
    ASSERT_TRUE(Start({"--serial", pair.First(), "--ascii", "--baud", "19200", "--echo", "--nodes", "2"}))
        << output.toStdString();
    EXPECT_TRUE(output.contains("Modbus ASCII on " + pair.First() + " at 19200 baud")) << output.toStdString();
    QSerialPort master(pair.Second());
    ASSERT_TRUE(master.open(QIODevice::ReadWrite));
    const QByteArray request = ":020303E90001";
    QByteArray bytes = QByteArray::fromHex("020303E90001");
    const QByteArray lrc = QByteArray(1, static_cast<char>(rv8::comm::Lrc(bytes))).toHex().toUpper();
    const QByteArray full = request + lrc + "\r\n";
    QByteArray replyBytes = QByteArray::fromHex("020302004B");
    const QByteArray reply = ":020302004B" + QByteArray(1, static_cast<char>(rv8::comm::Lrc(replyBytes))).toHex().toUpper() + "\r\n";
    EXPECT_EQ(Ask(master, full, static_cast<int>(full.size() + reply.size())), full + reply);
}

TEST_F(SimCommand, RefusesBadOptionsWithAMessage)
{
    struct Row {
        QStringList args;
        const char* message;
    };
    const Row rows[] = {
        {{"--tcp", "127.0.0.1:0", "--rtu-tcp", "127.0.0.1:0"}, "choose one of"},
        {{"--tcp", "nohost"}, "is not HOST:PORT"},
        {{"--nodes", "1,300"}, "node address '300'"},
        {{"--firmware", "402"}, "Firmware 402"},
        {{"--model", "9999"}, "Model code 9999"},
        {{"--model", "RV9-150"}, "'RV9-150' is neither"},
        {{"--serial", "/nonexistent/tty"}, "Cannot open /nonexistent/tty"},
        {{"--serial", "/dev/null", "--parity", "mark"}, "--parity"},
        {{"--exception", "0"}, "--exception"},
        {{"--ascii"}, "--ascii needs --serial"},
    };
    for (const Row& row : rows) {
        QProcess p;
        p.start(RV8_SIM_CLI, QStringList{"sim"} + row.args);
        ASSERT_TRUE(p.waitForFinished(10000)) << row.args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), 2) << row.args.join(' ').toStdString();
        const QString err = QString::fromLocal8Bit(p.readAllStandardError());
        EXPECT_TRUE(err.contains(row.message)) << row.args.join(' ').toStdString() << ": " << err.toStdString();
    }
}

}  // namespace
