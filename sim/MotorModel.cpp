#include "MotorModel.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace rv8::sim {

namespace {

uint16_t Word(double v)
{
    return static_cast<uint16_t>(std::clamp(std::lround(v), 0L, 65535L));
}

// A slow, small ripple so that a running motor's readings are not frozen.
double Ripple(int64_t ms, int64_t periodMs, double amplitude)
{
    return amplitude * std::sin(2.0 * std::numbers::pi * static_cast<double>(ms % periodMs) / static_cast<double>(periodMs));
}

// Fault codes run 3 x (kind - 1) + phase; kind 1 over current, 2 phase loss, ... 20 power loss.
int FaultKind(uint16_t code) { return code >= 1 && code <= 60 ? (code - 1) / 3 + 1 : 0; }
int FaultStage(uint16_t code) { return code >= 1 && code <= 60 ? (code - 1) % 3 + 1 : 0; }

// Trip relay settings 5..21 and 32, by the fault kind they follow (stage 0: any stage).
struct TripRelay {
    uint16_t setting;
    int kind;
    int stage;
};
constexpr TripRelay kTripRelays[] = {
    {5, 5, 0},   {6, 2, 0},   {7, 6, 0},   {8, 4, 0},   {9, 3, 0},   {10, 9, 0},  {11, 7, 0},
    {12, 1, 0},  {13, 8, 0},  {14, 10, 0}, {15, 14, 0}, {16, 15, 0}, {17, 16, 0}, {18, 17, 1},
    {19, 17, 2}, {20, 18, 0}, {21, 19, 0}, {32, 20, 0},
};

bool RelayClosed(uint16_t setting, MotorPhase phase, uint16_t faultCode, int64_t ms)
{
    const bool tripped = faultCode != kNoFault;
    if (setting >= 28 && setting <= 31)
        setting = static_cast<uint16_t>(setting - 27);  // the on-delay variants; the delay is not modelled
    switch (setting) {
    case 1: return phase == MotorPhase::Starting || phase == MotorPhase::Running;
    case 2: return phase == MotorPhase::Running;
    case 3: return phase == MotorPhase::Running || phase == MotorPhase::Decelerating;
    case 4: return phase != MotorPhase::Stopped;
    case 22: return tripped;
    case 23: return tripped && (ms / 500) % 2 == 0;
    default: break;
    }
    for (const auto& r : kTripRelays)
        if (r.setting == setting)
            return tripped && FaultKind(faultCode) == r.kind && (r.stage == 0 || FaultStage(faultCode) == r.stage);
    return false;  // lockouts are not modelled
}

}  // namespace

int64_t CycleLengthMs(const MotorSettings& s, const MotorCycle& c)
{
    const int64_t accel = std::max<int64_t>(1, s.accelTime) * 1000;
    const int64_t decel = s.decelRamp != 0 ? std::max<int64_t>(1, s.decelTime) * 1000 : 0;
    return std::max<int64_t>(0, c.restMs) + accel + std::max<int64_t>(0, c.runMs) + decel;
}

MotorSnapshot ComputeMotor(const MotorSettings& s, const MotorCycle& c, int64_t cycleMs, uint16_t faultCode)
{
    MotorSnapshot out;
    auto& r = out.registers;

    const int64_t rest = std::max<int64_t>(0, c.restMs);
    const int64_t accel = std::max<int64_t>(1, s.accelTime) * 1000;
    const int64_t run = std::max<int64_t>(0, c.runMs);
    const int64_t decel = s.decelRamp != 0 ? std::max<int64_t>(1, s.decelTime) * 1000 : 0;
    const int64_t length = rest + accel + run + decel;
    const int64_t absMs = std::max<int64_t>(0, cycleMs);
    const int64_t t = absMs % length;

    double u = 0.0;  // progress through the current phase, 0..1
    MotorPhase phase = MotorPhase::Stopped;
    if (faultCode != kNoFault) {
        phase = MotorPhase::Stopped;
    } else if (t < rest) {
        phase = MotorPhase::Stopped;
        u = rest > 0 ? static_cast<double>(t) / static_cast<double>(rest) : 1.0;
    } else if (t < rest + accel) {
        phase = MotorPhase::Starting;
        u = static_cast<double>(t - rest) / static_cast<double>(accel);
    } else if (t < rest + accel + run) {
        phase = MotorPhase::Running;
        u = run > 0 ? static_cast<double>(t - rest - accel) / static_cast<double>(run) : 1.0;
    } else {
        phase = MotorPhase::Decelerating;
        u = static_cast<double>(t - rest - accel - run) / static_cast<double>(decel);
    }
    out.phase = phase;

    // Currents: the ramp starts at the initial current, climbs to the current limit, holds it while
    // the motor gathers speed and falls to the running current as it reaches speed.
    const double fla = s.motorFla;
    const double limit = fla * s.maxCurrent / 100.0;
    const double initial = std::min(fla * s.initialCurrent / 100.0, limit);
    const double running = 0.8 * fla;
    double current = 0.0;
    switch (phase) {
    case MotorPhase::Stopped: current = 0.0; break;
    case MotorPhase::Starting:
        if (u < 0.4)
            current = initial + (limit - initial) * (u / 0.4);
        else if (u < 0.8)
            current = limit;
        else
            current = limit + (running - limit) * ((u - 0.8) / 0.2);
        break;
    case MotorPhase::Running: current = running * (1.0 + Ripple(t, 2000, 0.01)); break;
    case MotorPhase::Decelerating: current = running * (1.0 - 0.6 * u); break;
    }
    r[lrPhaseACurrent] = Word(current);
    r[lrPhaseBCurrent] = Word(current * 1.01);
    r[lrPhaseCCurrent] = Word(current * 0.985);
    r[lrGroundFaultCurrent] = 0;
    const double averageCurrent = (current + current * 1.01 + current * 0.985) / 3.0;
    r[lrAverageCurrent] = Word(averageCurrent);
    r[lrRmsCurrent] = Word(averageCurrent);

    // Line voltages sag a little while the motor draws its starting current.
    double sag = 0.0;
    if (phase == MotorPhase::Starting)
        sag = 0.03 * (1.0 - u);
    else if (phase == MotorPhase::Running)
        sag = 0.005;
    const double ab = s.voltageInput * (1.0 - sag + Ripple(t, 3000, 0.002));
    r[lrLineAbVoltage] = Word(ab);
    r[lrLineBcVoltage] = Word(ab * 1.003);
    r[lrLineCaVoltage] = Word(ab * 0.997);
    const double averageVoltage = (ab + ab * 1.003 + ab * 0.997) / 3.0;
    r[lrAverageVoltage] = Word(averageVoltage);

    double pf = 0.0;
    switch (phase) {
    case MotorPhase::Stopped: pf = 0.0; break;
    case MotorPhase::Starting: pf = 0.25 + 0.55 * u; break;
    case MotorPhase::Running: pf = 0.85; break;
    case MotorPhase::Decelerating: pf = 0.85 - 0.35 * u; break;
    }
    r[lrPowerFactor] = Word(pf * 100.0);
    r[lrKiloWatt] = static_cast<uint16_t>(std::min<long>(9999, Word(std::sqrt(3.0) * averageVoltage * averageCurrent * pf / 1000.0)));

    // Thermal capacity remaining: spent by the start, partly regained while running, restored at rest.
    double thermal = 100.0;
    switch (phase) {
    case MotorPhase::Stopped: thermal = faultCode != kNoFault ? 85.0 : std::min(100.0, 90.0 + 20.0 * u); break;
    case MotorPhase::Starting: thermal = 100.0 - 15.0 * u; break;
    case MotorPhase::Running: thermal = 85.0 + 5.0 * u; break;
    case MotorPhase::Decelerating: thermal = 90.0; break;
    }
    r[lrThermalCapacity] = Word(thermal);

    r[lrFaultClass] = 0;
    r[lrFaultCode] = faultCode;

    uint16_t relays = 0;
    for (int k = 0; k < 3; ++k)
        if (RelayClosed(s.relaySettings[static_cast<size_t>(k)], phase, faultCode, absMs))
            relays = static_cast<uint16_t>(relays | (1u << k));
    r[lrRelays] = relays;

    // LED status: bits 0..5 are the fault lamps (over current, phase loss, over temperature,
    // overload, shorted SCR, shunt trip), bit 6 "At Speed", bit 7 power; a lamp is lit at 0.
    uint16_t leds = 0x3F;
    const int kind = FaultKind(faultCode);
    if (faultCode != kNoFault && kind >= 1 && kind <= 6)
        leds = static_cast<uint16_t>(leds & ~(1u << (kind - 1)));
    if (phase != MotorPhase::Running)
        leds = static_cast<uint16_t>(leds | 0x40);
    r[lrLedStatus] = leds;

    r[lrKeyValue] = 0;
    switch (phase) {
    case MotorPhase::Stopped: r[lrStarterState] = 0; break;
    case MotorPhase::Starting: r[lrStarterState] = 1; break;
    case MotorPhase::Running: r[lrStarterState] = 3; break;
    case MotorPhase::Decelerating: r[lrStarterState] = 4; break;
    }
    r[lrJogInput] = 0;
    r[lrDualRampInput] = 0;
    // Jog and second ramp inactive (bits 6, 7 set); the display segments are lit while the motor turns.
    r[lrSystemState] = static_cast<uint16_t>(0xF8 | (phase != MotorPhase::Stopped ? 0x07 : 0x00));
    return out;
}

}  // namespace rv8::sim
