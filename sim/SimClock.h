#pragma once
// The time base of the simulated starter. The motor cycle, the real-time clock registers and the
// write-access hold all read it, so a test that installs a ManualClock decides exactly what the
// starter sees at every request.

#include <QElapsedTimer>
#include <cstdint>

namespace rv8::sim {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary fixed start; never decreases.
    virtual int64_t NowMs() const = 0;
};

// Wall time (monotonic), starting at 0 when created.
class SteadyClock final : public Clock {
public:
    SteadyClock() { m_timer.start(); }
    int64_t NowMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

// Time that moves only when told to.
class ManualClock final : public Clock {
public:
    explicit ManualClock(int64_t startMs = 0) : m_now(startMs) {}
    int64_t NowMs() const override { return m_now; }
    void Advance(int64_t ms) { m_now += ms > 0 ? ms : 0; }

private:
    int64_t m_now;
};

}  // namespace rv8::sim
