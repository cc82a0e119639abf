#pragma once
// The live signals of a simulated starter (registers 2000..2021): a motor that starts on its
// acceleration ramp, runs, decelerates or coasts, rests, and starts again. Every value is a pure
// function of the settings and of the position in the cycle, so a given clock reading always gives
// the same registers, whatever the tick rate.

#include <array>
#include <cstdint>

namespace rv8::sim {

inline constexpr uint16_t kFirstLiveRegister = 2000;
inline constexpr uint16_t kLastLiveRegister = 2021;
inline constexpr int kLiveRegisterCount = kLastLiveRegister - kFirstLiveRegister + 1;

// Offsets of the live registers from 2000.
enum LiveRegister : int {
    lrPhaseACurrent = 0,
    lrPhaseBCurrent = 1,
    lrPhaseCCurrent = 2,
    lrGroundFaultCurrent = 3,
    lrLineAbVoltage = 4,
    lrLineBcVoltage = 5,
    lrLineCaVoltage = 6,
    lrPowerFactor = 7,  // hundredths
    lrKiloWatt = 8,
    lrAverageCurrent = 9,
    lrAverageVoltage = 10,
    lrThermalCapacity = 11,  // % remaining
    lrRmsCurrent = 12,
    lrFaultClass = 13,
    lrFaultCode = 14,  // 255: no fault
    lrRelays = 15,     // bits 0..2: relays 1..3 closed
    lrLedStatus = 16,  // a bit at 0 lights its lamp; bit 7 at 0: power on
    lrKeyValue = 17,
    lrStarterState = 18,  // 0 stop, 1 starting, 2 wait to run, 3 running, 4 decelerating
    lrJogInput = 19,
    lrDualRampInput = 20,
    lrSystemState = 21,
};

enum class MotorPhase { Stopped, Starting, Running, Decelerating };

inline constexpr uint16_t kNoFault = 255;

// The starter settings the motor follows, as register figures.
struct MotorSettings {
    uint16_t motorFla = 75;          // amperes
    uint16_t initialCurrent = 200;   // % of FLA when the ramp begins
    uint16_t maxCurrent = 350;       // % of FLA, the ramp's current limit
    uint16_t accelTime = 10;         // seconds
    uint16_t decelRamp = 0;          // 0: coast to stop
    uint16_t decelTime = 10;         // seconds
    uint16_t voltageInput = 480;     // volts
    std::array<uint16_t, 3> relaySettings{1, 2, 22};
};

// Lengths of the parts of the cycle that no setting gives.
struct MotorCycle {
    int64_t restMs = 10000;
    int64_t runMs = 20000;
};

struct MotorSnapshot {
    MotorPhase phase = MotorPhase::Stopped;
    std::array<uint16_t, kLiveRegisterCount> registers{};
};

// The cycle's length for the settings (rest + acceleration + run + deceleration).
int64_t CycleLengthMs(const MotorSettings& settings, const MotorCycle& cycle);

// The live registers at time cycleMs of the cycle (taken modulo the cycle's length).
// A fault code other than kNoFault means the starter has tripped: the motor stands still and the
// fault code, the fault lamps and the trip relays show it.
MotorSnapshot ComputeMotor(const MotorSettings& settings, const MotorCycle& cycle, int64_t cycleMs,
                           uint16_t faultCode = kNoFault);

}  // namespace rv8::sim
