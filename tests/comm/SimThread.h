#pragma once
// The simulated starter on a thread of its own. The client's wait for a TCP reply blocks its
// thread without processing events, so a starter sharing that thread could never answer; on its
// own thread it answers as a real device would. Everything that touches the starter goes
// through Run(), which executes on the starter's thread and waits for it.

#include "sim/SimulatedStarter.h"

#include <QMetaObject>
#include <QThread>

#include <functional>
#include <memory>

namespace rv8::test {

class SimThread {
public:
    explicit SimThread(sim::SimulatedStarter::Config config)
    {
        m_thread.start();
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
        Run([&] { m_sim = sim::SimulatedStarter::Create(std::move(config), &m_error); });
    }
    ~SimThread()
    {
        Run([&] { m_sim.reset(); });
        m_thread.quit();
        m_thread.wait();
    }
    SimThread(const SimThread&) = delete;
    SimThread& operator=(const SimThread&) = delete;

    bool Ok() const { return m_sim != nullptr; }
    QString Error() const { return m_error; }

    // Runs fn on the starter's thread with the starter, and returns when it has run.
    void Run(const std::function<void(sim::SimulatedStarter&)>& fn)
    {
        Run([&] {
            if (m_sim)
                fn(*m_sim);
        });
    }
    template <typename T>
    T Get(const std::function<T(sim::SimulatedStarter&)>& fn)
    {
        T result{};
        Run([&](sim::SimulatedStarter& s) { result = fn(s); });
        return result;
    }

    // Listens on a free loopback port; returns it (0 on failure).
    quint16 ListenTcp(sim::Medium medium)
    {
        return Get<quint16>([&](sim::SimulatedStarter& s) -> quint16 {
            return s.ListenTcp(medium, QHostAddress::LocalHost, 0, &m_error) ? s.TcpPort() : 0;
        });
    }
    bool OpenSerial(const sim::SerialSettings& settings)
    {
        return Get<bool>([&](sim::SimulatedStarter& s) { return s.OpenSerial(settings, &m_error); });
    }
    std::vector<sim::LogEntry> Log()
    {
        return Get<std::vector<sim::LogEntry>>([](sim::SimulatedStarter& s) { return s.RequestLog(); });
    }
    void SetFaults(const sim::FaultSwitches& faults)
    {
        Run([&](sim::SimulatedStarter& s) { s.SetFaults(faults); });
    }
    void ClearLog()
    {
        Run([](sim::SimulatedStarter& s) { s.ClearRequestLog(); });
    }

private:
    void Run(const std::function<void()>& fn) { QMetaObject::invokeMethod(m_context, fn, Qt::BlockingQueuedConnection); }

    QThread m_thread;
    QObject* m_context = nullptr;
    std::unique_ptr<sim::SimulatedStarter> m_sim;
    QString m_error;
};

}  // namespace rv8::test
