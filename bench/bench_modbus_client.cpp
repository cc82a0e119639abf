// Time per Modbus TCP transaction on loopback against the simulated starter (on a thread of
// its own, as a device on the network), for our client and for libmodbus's master side by
// side. The client's delays are 0; its cancellable wait still sleeps 1 ms before each send
// (the wait's first step is always made), which BM_CancellableWaitZero measures on its own:
// the client's cost beyond its delays is BM_Rv8Client minus BM_CancellableWaitZero.
#include "comm/NuvModbus.h"
#include "comm/NuvWait.h"
#include "sim/SimulatedStarter.h"

#include <QMetaObject>
#include <QThread>
#include <benchmark/benchmark.h>
#include <modbus.h>

#include <functional>
#include <memory>
#include <vector>

namespace {

using namespace rv8::comm;

// The simulated starter serving Modbus TCP on a free loopback port, on its own thread.
class SimPeer {
public:
    SimPeer()
    {
        m_thread.start();
        m_context = new QObject;
        m_context->moveToThread(&m_thread);
        QObject::connect(&m_thread, &QThread::finished, m_context, &QObject::deleteLater);
        Run([this] {
            m_sim = rv8::sim::SimulatedStarter::Create(rv8::sim::SimulatedStarter::Config{});
            if (m_sim && m_sim->ListenTcp(rv8::sim::Medium::ModbusTcp))
                m_port = m_sim->TcpPort();
        });
    }
    ~SimPeer()
    {
        Run([this] { m_sim.reset(); });
        m_thread.quit();
        m_thread.wait();
    }
    quint16 Port() const { return m_port; }

private:
    void Run(const std::function<void()>& fn) { QMetaObject::invokeMethod(m_context, fn, Qt::BlockingQueuedConnection); }
    QThread m_thread;
    QObject* m_context = nullptr;
    std::unique_ptr<rv8::sim::SimulatedStarter> m_sim;
    quint16 m_port = 0;
};

SimPeer& Peer()
{
    static SimPeer peer;
    return peer;
}

void BM_Rv8Client_ReadHoldingRegisters(benchmark::State& state)
{
    TNuvModbus client;
    TNuvModbus_Settings s;
    s.Medium = bmmModbusTcp;
    s.TcpPort = Peer().Port();
    s.Delay.BetweenCommands = 0;
    s.Delay.TransientError = 0;
    s.Timeout.Response = 1000;
    if (s.TcpPort == 0 || !client.Open(s)) {
        state.SkipWithError("cannot reach the simulated starter");
        return;
    }
    std::vector<uint16_t> values(static_cast<size_t>(state.range(0)));
    for (auto _ : state) {
        if (!client.ReadHoldingRegisters(1, 1001, values)) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(values.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Rv8Client_ReadHoldingRegisters)->Arg(1)->Arg(18)->Arg(113)->UseRealTime()->Unit(benchmark::kMicrosecond);

void BM_Libmodbus_ReadRegisters(benchmark::State& state)
{
    modbus_t* ctx = modbus_new_tcp("127.0.0.1", Peer().Port());
    if (!ctx || modbus_connect(ctx) != 0) {
        state.SkipWithError("cannot reach the simulated starter");
        if (ctx)
            modbus_free(ctx);
        return;
    }
    modbus_set_slave(ctx, 1);
    const int n = static_cast<int>(state.range(0));
    std::vector<uint16_t> values(static_cast<size_t>(n));
    for (auto _ : state) {
        if (modbus_read_registers(ctx, 1001, n, values.data()) != n) {
            state.SkipWithError("read failed");
            break;
        }
        benchmark::DoNotOptimize(values.data());
    }
    state.SetItemsProcessed(state.iterations());
    modbus_close(ctx);
    modbus_free(ctx);
}
BENCHMARK(BM_Libmodbus_ReadRegisters)->Arg(1)->Arg(18)->Arg(113)->UseRealTime()->Unit(benchmark::kMicrosecond);

// The floor every request of our client carries with a configured delay of 0.
void BM_CancellableWaitZero(benchmark::State& state)
{
    for (auto _ : state)
        CancellableWait(0);
}
BENCHMARK(BM_CancellableWaitZero)->UseRealTime()->Unit(benchmark::kMicrosecond);

}  // namespace
