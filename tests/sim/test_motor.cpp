// The live signals over whole start-run-stop cycles: every register stays within what a starter
// can report, and the motor passes through its states in order.
#include "SimTestSupport.h"

#include "sim/MotorModel.h"
#include "sim/StarterNode.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace rv8::sim;

namespace {

struct Bounds {
    double maxCurrent;
    uint16_t minVoltage;
    uint16_t maxVoltage;
};

void ExpectWithinBounds(const MotorSnapshot& m, const Bounds& b, int64_t t)
{
    const auto& r = m.registers;
    for (int k : {lrPhaseACurrent, lrPhaseBCurrent, lrPhaseCCurrent, lrAverageCurrent, lrRmsCurrent})
        EXPECT_LE(r[static_cast<size_t>(k)], b.maxCurrent) << "register " << 2000 + k << " at " << t;
    for (int k : {lrLineAbVoltage, lrLineBcVoltage, lrLineCaVoltage, lrAverageVoltage}) {
        EXPECT_GE(r[static_cast<size_t>(k)], b.minVoltage) << "register " << 2000 + k << " at " << t;
        EXPECT_LE(r[static_cast<size_t>(k)], b.maxVoltage) << "register " << 2000 + k << " at " << t;
    }
    EXPECT_LE(r[lrPowerFactor], 100) << t;
    EXPECT_LE(r[lrThermalCapacity], 100) << t;
    EXPECT_GE(r[lrThermalCapacity], 50) << t;
    EXPECT_LE(r[lrKiloWatt], 9999) << t;
    EXPECT_LE(r[lrRelays], 7) << t;
    EXPECT_LE(r[lrStarterState], 4) << t;
    EXPECT_LE(r[lrLedStatus], 255) << t;
    EXPECT_LE(r[lrSystemState], 255) << t;
    EXPECT_EQ(r[lrGroundFaultCurrent], 0) << t;
    // A motor at rest draws nothing and shows no power factor.
    if (r[lrStarterState] == 0) {
        EXPECT_EQ(r[lrPhaseACurrent], 0) << t;
        EXPECT_EQ(r[lrPowerFactor], 0) << t;
    }
}

struct CycleCase {
    const char* name;
    MotorSettings settings;
    std::vector<uint16_t> states;  // the starter states of one cycle (from rest), in order
};

void PrintTo(const CycleCase& c, std::ostream* os) { *os << c.name; }

class MotorCycleTest : public ::testing::TestWithParam<CycleCase> {};

TEST_P(MotorCycleTest, StaysWithinBoundsAndPassesThroughTheStatesInOrder)
{
    const MotorSettings s = GetParam().settings;
    const MotorCycle cycle;
    const int64_t length = CycleLengthMs(s, cycle);
    const Bounds bounds{1.02 * s.motorFla * std::max(s.initialCurrent, s.maxCurrent) / 100.0 + 1,
                        static_cast<uint16_t>(s.voltageInput * 0.96), static_cast<uint16_t>(s.voltageInput * 1.01 + 1)};
    std::vector<uint16_t> seen;
    uint16_t peak = 0;
    for (int64_t t = 0; t < length; t += 100) {
        const MotorSnapshot m = ComputeMotor(s, cycle, t);
        ExpectWithinBounds(m, bounds, t);
        const uint16_t state = m.registers[lrStarterState];
        if (seen.empty() || seen.back() != state)
            seen.push_back(state);
        peak = std::max(peak, m.registers[lrPhaseACurrent]);
        if (state == 3) {
            EXPECT_EQ(m.registers[lrRelays] & 2, 2) << "at-speed relay closed while running, t=" << t;
            EXPECT_EQ(m.registers[lrLedStatus] & 0x40, 0) << "At Speed lamp lit while running, t=" << t;
            EXPECT_NEAR(m.registers[lrPhaseACurrent], 0.8 * s.motorFla, 0.02 * s.motorFla + 1);
        }
        EXPECT_EQ(m.registers[lrFaultCode], kNoFault);
    }
    EXPECT_EQ(seen, GetParam().states);
    // The start reaches the current limit.
    EXPECT_NEAR(peak, s.motorFla * s.maxCurrent / 100.0, 1.0);
    // The next cycle repeats the first.
    EXPECT_EQ(ComputeMotor(s, cycle, 12345).registers, ComputeMotor(s, cycle, 12345 + length).registers);
}

MotorSettings WithDecel()
{
    MotorSettings s;
    s.decelRamp = 1;
    s.decelTime = 5;
    s.motorFla = 150;
    s.voltageInput = 690;
    return s;
}

INSTANTIATE_TEST_SUITE_P(Settings, MotorCycleTest,
                         ::testing::Values(CycleCase{"coast", MotorSettings{}, {0, 1, 3}},
                                           CycleCase{"decel", WithDecel(), {0, 1, 3, 4}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MotorModel, ATripStopsTheMotorAndShowsTheFault)
{
    const MotorSettings s;
    const MotorCycle cycle;
    const int64_t running = cycle.restMs + s.accelTime * 1000 + 1000;
    ASSERT_EQ(ComputeMotor(s, cycle, running).registers[lrStarterState], 3);

    const MotorSnapshot m = ComputeMotor(s, cycle, running, /*faultCode=*/11);  // overload while running
    EXPECT_EQ(m.registers[lrStarterState], 0);
    EXPECT_EQ(m.registers[lrPhaseACurrent], 0);
    EXPECT_EQ(m.registers[lrFaultCode], 11);
    EXPECT_EQ(m.registers[lrLedStatus] & 0x08, 0) << "Overload lamp lit";
    EXPECT_EQ(m.registers[lrRelays], 4) << "relay 3 (any trip) closed, the others open";
}

// A node reads its live registers through the same map, and the clock alone moves them.
TEST(MotorModel, NodeSignalsFollowTheInjectedClock)
{
    auto clock = std::make_shared<ManualClock>();
    StarterNode node(1, std::make_shared<const ParameterLayout>(test::SmallLayout()), clock, {});
    std::vector<uint16_t> first;
    std::vector<uint16_t> again;
    ASSERT_EQ(node.ReadRegisters(2000, 22, first), 0);
    ASSERT_EQ(node.ReadRegisters(2000, 22, again), 0);
    EXPECT_EQ(first, again);
    EXPECT_EQ(first[lrStarterState], 0);

    clock->Advance(StarterNode::Options{}.cycle.restMs + 500);
    ASSERT_EQ(node.ReadRegisters(2000, 22, again), 0);
    EXPECT_EQ(again[lrStarterState], 1);
    EXPECT_GT(again[lrPhaseACurrent], 75);

    std::vector<uint16_t> bad;
    EXPECT_EQ(node.ReadRegisters(2000, 23, bad), kExIllegalDataAddress);  // 2022 is not a register
}

}  // namespace
