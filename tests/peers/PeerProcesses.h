#pragma once
// Third-party peers for the interoperation tests, each a child process that the test starts
// and stops: a socat pseudo-terminal pair, the libmodbus slave (TCP or RTU), the pymodbus
// ASCII slave, and socat carrying RTU frames between a TCP port and a pseudo-terminal.
// Every peer also ends by itself after a while, so a crashed test leaves nothing behind.

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <memory>

namespace rv8::test {

#ifndef RV8_MODBUS_SLAVE
#define RV8_MODBUS_SLAVE ""
#endif
#ifndef RV8_PEERS_DIR
#define RV8_PEERS_DIR ""
#endif

// Debian's interpreter: pymodbus comes as a Debian package.
inline QString SystemPython() { return QFileInfo::exists("/usr/bin/python3") ? "/usr/bin/python3" : "python3"; }

inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return true;
}

class Peer {
public:
    Peer() = default;
    Peer(const Peer&) = delete;
    ~Peer() { Stop(); }

    bool Start(const QString& program, const QStringList& args)
    {
        m_process = std::make_unique<QProcess>();
        m_process->setProcessChannelMode(QProcess::SeparateChannels);
        m_process->start(program, args);
        return m_process->waitForStarted(5000);
    }
    // Reads stdout lines until one starts with `prefix`; returns that line.
    QString WaitForLine(const QString& prefix, int timeoutMs = 10000)
    {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < timeoutMs) {
            while (m_process->canReadLine()) {
                const QString line = QString::fromLocal8Bit(m_process->readLine()).trimmed();
                if (line.startsWith(prefix))
                    return line;
            }
            if (m_process->state() != QProcess::Running)
                return {};
            m_process->waitForReadyRead(50);
        }
        return {};
    }
    bool Running() const { return m_process && m_process->state() == QProcess::Running; }
    QString ErrorOutput() { return m_process ? QString::fromLocal8Bit(m_process->readAllStandardError()) : QString(); }
    void Stop()
    {
        if (!m_process)
            return;
        if (m_process->state() != QProcess::NotRunning) {
            m_process->terminate();
            if (!m_process->waitForFinished(3000)) {
                m_process->kill();
                m_process->waitForFinished(3000);
            }
        }
        m_process.reset();
    }

private:
    std::unique_ptr<QProcess> m_process;
};

// Two connected pseudo-terminals, reachable as <dir>/a and <dir>/b.
class PtyPair {
public:
    bool Start()
    {
        if (!m_dir.isValid())
            return false;
        const QString a = A();
        const QString b = B();
        if (!m_socat.Start("socat", {"-d", "-d", QString("pty,raw,echo=0,link=%1").arg(a),
                                     QString("pty,raw,echo=0,link=%1").arg(b)}))
            return false;
        return WaitUntil([&] { return QFileInfo::exists(a) && QFileInfo::exists(b); });
    }
    QString A() const { return m_dir.filePath("a"); }
    QString B() const { return m_dir.filePath("b"); }
    QString Dir() const { return m_dir.path(); }

private:
    QTemporaryDir m_dir;
    Peer m_socat;
};

// A free loopback port (bound and released; good enough for a test peer started at once).
inline quint16 FreeLoopbackPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// The libmodbus slave on loopback TCP; Port() is where it listens.
class LibmodbusTcpSlave {
public:
    bool Start()
    {
        if (!m_peer.Start(RV8_MODBUS_SLAVE, {"--tcp", "--lifetime", "120"}))
            return false;
        const QString line = m_peer.WaitForLine("PORT ");
        m_port = static_cast<quint16>(line.mid(5).toUInt());
        return m_port != 0;
    }
    quint16 Port() const { return m_port; }

private:
    Peer m_peer;
    quint16 m_port = 0;
};

// The libmodbus RTU slave on one end of a pseudo-terminal pair; the other end is Device().
class LibmodbusRtuSlave {
public:
    bool Start(int node)
    {
        return m_pair.Start() &&
               m_peer.Start(RV8_MODBUS_SLAVE, {"--rtu", m_pair.B(), "--node", QString::number(node), "--lifetime", "120"}) &&
               !m_peer.WaitForLine("READY").isEmpty();
    }
    QString Device() const { return m_pair.A(); }

private:
    PtyPair m_pair;
    Peer m_peer;
};

// The libmodbus RTU slave behind socat, which carries the frames between a TCP port and the
// slave's pseudo-terminal: RTU frames over TCP, answered by libmodbus. One connection only.
class LibmodbusRtuOverTcpSlave {
public:
    bool Start(int node)
    {
        if (!m_dir.isValid())
            return false;
        const QString link = m_dir.filePath("rtu");
        m_port = FreeLoopbackPort();
        if (!m_socat.Start("socat", {QString("pty,raw,echo=0,link=%1").arg(link),
                                     QString("tcp-listen:%1,bind=127.0.0.1,reuseaddr").arg(m_port)}))
            return false;
        if (!WaitUntil([&] { return QFileInfo::exists(link); }))
            return false;
        return m_peer.Start(RV8_MODBUS_SLAVE, {"--rtu", link, "--node", QString::number(node), "--lifetime", "120"}) &&
               !m_peer.WaitForLine("READY").isEmpty();
    }
    quint16 Port() const { return m_port; }

private:
    QTemporaryDir m_dir;
    Peer m_socat;
    Peer m_peer;
    quint16 m_port = 0;
};

// The pymodbus ASCII slave on one end of a pseudo-terminal pair; the other end is Device().
class PymodbusAsciiSlave {
public:
    bool Start(int node)
    {
        if (!m_pair.Start())
            return false;
        const QString script = QDir(RV8_PEERS_DIR).filePath("pymodbus_ascii_slave.py");
        return m_peer.Start(SystemPython(), {script, m_pair.B(), QString::number(node)}) &&
               !m_peer.WaitForLine("READY").isEmpty();
    }
    QString Device() const { return m_pair.A(); }
    QString ErrorOutput() { return m_peer.ErrorOutput(); }

private:
    PtyPair m_pair;
    Peer m_peer;
};

}  // namespace rv8::test
