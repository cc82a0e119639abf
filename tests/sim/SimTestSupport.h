#pragma once
// Helpers of the simulator tests: a small register layout with one parameter of every kind,
// a socat pseudo-terminal pair, and waiting on the event loop with a bound.

#include "sim/ParameterLayout.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <functional>

namespace rv8::sim::test {

// Parameters at their catalogue addresses but only a few of them, so the rules can be checked
// without the whole catalogue: a number (1001), an Off parameter (1022), a parameter with divisor
// 10 (1023, 0.1..2.0 s), a read-only counter (1055), the reset (1071), the factory password (1072),
// the clock (1075..1080) and the revision (1081).
inline ParameterLayout SmallLayout()
{
    ParameterLayout l;
    l.parameters = {
        {1001, 75, 150, 75, std::nullopt, false},
        {1022, 10, 100, 0, uint16_t{0}, false},
        {1023, 1, 20, 8, std::nullopt, false},
        {1055, 0, 3600, 0, std::nullopt, true},
        {1071, 0, 4, 0, std::nullopt, false},
        {1072, 3871, 9999, 3871, std::nullopt, false},
        {1075, 2000, 2047, 2000, std::nullopt, false},
        {1076, 1, 12, 1, std::nullopt, false},
        {1077, 1, 31, 1, std::nullopt, false},
        {1078, 0, 23, 0, std::nullopt, false},
        {1079, 0, 59, 0, std::nullopt, false},
        {1080, 0, 59, 0, std::nullopt, false},
        {1081, 0, 65535, 0, std::nullopt, true},
    };
    l.firmwareNumber = 401;
    l.modelCode = 150;
    return l;
}

// Runs the event loop until the condition holds or the bound passes; returns the condition.
inline bool WaitFor(const std::function<bool()>& condition, int boundMs = 3000)
{
    QDeadlineTimer deadline(boundMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// A pair of connected pseudo-terminals made by socat; First() and Second() are their paths.
class SocatPair {
public:
    SocatPair()
    {
        if (QStandardPaths::findExecutable("socat").isEmpty() || !m_dir.isValid())
            return;
        m_first = m_dir.filePath("a");
        m_second = m_dir.filePath("b");
        m_process.start("socat", {"pty,raw,echo=0,link=" + m_first, "pty,raw,echo=0,link=" + m_second});
        if (!m_process.waitForStarted(3000))
            return;
        m_ok = WaitFor([this] { return QFileInfo::exists(m_first) && QFileInfo::exists(m_second); });
    }
    ~SocatPair()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.terminate();
            if (!m_process.waitForFinished(2000))
                m_process.kill();
            m_process.waitForFinished(1000);
        }
    }
    bool Ok() const { return m_ok; }
    QString First() const { return QFileInfo(m_first).canonicalFilePath(); }
    QString Second() const { return QFileInfo(m_second).canonicalFilePath(); }

private:
    QTemporaryDir m_dir;
    QString m_first;
    QString m_second;
    QProcess m_process;
    bool m_ok = false;
};

}  // namespace rv8::sim::test
