// The signal catalogue: rows, roles and monitor blocks, register conversions with mask, shift,
// sign and divisor, demonstration values, units and texts, the legacy map, the combo filling,
// the definition checks and the scaling context.
#include "FakeControls.h"
#include "param/Catalogue.h"
#include "param/NuvShared.h"
#include "param/Signals.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <string>
#include <vector>

namespace rv8::param {
namespace {

using testing::FakeCombo;
using testing::RecordingWarnings;

// Plays back scripted draws; once the script is used up, draws 0.
class ScriptedRandom : public ISignalRandom {
public:
  explicit ScriptedRandom(std::initializer_list<int> draws) : m_draws(draws) {}
  int NextInt(int bound) override
  {
    if (m_draws.empty()) return 0;
    const int v = m_draws.front();
    m_draws.pop_front();
    return v < bound ? v : bound - 1;
  }

private:
  std::deque<int> m_draws;
};

class SeededRandom : public ISignalRandom {
public:
  explicit SeededRandom(unsigned seed) : m_engine(seed) {}
  int NextInt(int bound) override { return std::uniform_int_distribution<int>(0, bound - 1)(m_engine); }

private:
  std::mt19937 m_engine;
};

class SignalTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ApplyNumberSettings(NUMBER_SETTINGS, ".", ",", ":");
    selection.CurrentModelCode = 150;
    selection.CurrentFlashIndex = 18;
    ASSERT_EQ(BuildCatalogue(parameters, signalTable, selection, true, nullptr, &blocks), "");
    for (int slot = 1; slot <= TScalingContext::kSlots; ++slot) scaling.ResetSlot(slot, 150);
  }
  TSignalScope Scope() { return TSignalScope{signalTable, parameters, scaling, selection}; }

  PrmTable parameters{kMaxParameters};
  PrmTable signalTable{kMaxSignals};
  TScalingContext scaling;
  TSelectionState selection;
  TMonitorBlocks blocks{};
};

TEST_F(SignalTest, RowsRolesAndBlocks)
{
  ASSERT_EQ(signalTable.Count(), 21);
  struct Row {
    int number;
    int address;
    const char* title;
    const char* saveId;
    int legacy;
    bool monitorOnly;
    TDependencyIndex role;
  } rows[] = {
      {1, 2000, "NOT USED", "NotUsd", 0, false, deiNone},
      {2, 2000, "Phase A Current", "PhsACur", 1, false, deiPhaseACurrent},
      {5, 2003, "Ground Fault Current", "GndFltCur", 4, false, deiGroundFaultCurrent},
      {9, 2007, "Power Factor", "PowFct", 11, false, deiPowerFactor},
      {10, 2008, "Kilo/Mega Watt", "KloMgaWat", -1, true, deiKiloMegaWatt},
      {14, 2012, "RMS Phase Current", "RMSCCur", 3, false, deiRMSCurrent},
      {15, 2014, "Fault Code", "FltCde", -1, true, deiFaultCode},
      {16, 2015, "Relay #1", "Rly1", 5, false, deiRelay1},
      {17, 2015, "Relay #2", "Rly2", 6, false, deiRelay2},
      {18, 2015, "Relay #3", "Rly3", 7, false, deiRelay3},
      {19, 2016, "LED Status", "LedSta", -1, true, deiLedStatus},
      {20, 2018, "Starter States", "StaSta", -1, true, deiStarterStates},
      {21, 2021, "System State Register", "SysStaReg", -1, true, deiSystemStateRegister},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.title);
    const PRM_REC& rec = signalTable[r.number];
    EXPECT_EQ(rec.PRMADDR, r.address);
    EXPECT_EQ(rec.Title, r.title);
    EXPECT_EQ(rec.SaveId, r.saveId);
    EXPECT_EQ(rec.LegacyIndex, r.legacy);
    EXPECT_EQ(rec.MONITOR_ONLY, r.monitorOnly);
    EXPECT_EQ(rec.Menu, 'U');
    EXPECT_TRUE(rec.PARAMETER_ID.empty());
    if (r.role != deiNone) {
      EXPECT_EQ(signalTable.DEPENDENCY_MAP[r.role], r.number);
    }
  }
  EXPECT_EQ(signalTable.DEPENDENCY_MAP[deiDemoMode1], 2);
  EXPECT_EQ(signalTable.DEPENDENCY_MAP[deiDemoMode4], 5);
  EXPECT_EQ(signalTable.DEPENDENCY_MAP[deiShowMwFlag], -1);
  EXPECT_EQ(signalTable[10].Dependencies[dtiUnits], deiShowMwFlag);
  // Both maps resolve every role after a complete build.
  EXPECT_EQ(parameters.DEPENDENCY_MAP[deiRelay2], 17);
  EXPECT_EQ(signalTable.DEPENDENCY_MAP[deiCtValue], 74);
  EXPECT_EQ(blocks[0].First, 2);
  EXPECT_EQ(blocks[0].Last, 19);
  EXPECT_EQ(blocks[1].First, 20);
  EXPECT_EQ(blocks[1].Last, 21);
  EXPECT_EQ(signalTable[blocks[0].Last].PRMADDR - signalTable[blocks[0].First].PRMADDR + 1, 17);
}

TEST_F(SignalTest, RegisterWordsWithMaskShiftAndDivisor)
{
  struct Row {
    int number;
    std::uint16_t word;
    double value;
    const char* text;
  } rows[] = {
      {16, 5, 1, "Closed"},     {17, 5, 0, "Open"},       {18, 5, 1, "Closed"},
      {16, 6, 0, "Open"},       {17, 6, 1, "Closed"},     {18, 6, 1, "Closed"},
      {16, 0xFFFF, 1, "Closed"}, {17, 0xFFFF, 1, "Closed"}, {18, 0xFFF8, 0, "Open"},
      {9, 87, 0.87, "0.87"},    {9, 100, 1, "1.00"},
      {2, 1234, 1234, "1,234"},  // the scale is no limit for a received value
      {2, 0xFFFF, 65535, "65,535"},  // minimum 0: the word is unsigned
      {15, 7, 7, "7"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.number) + " " + std::to_string(r.word));
    RegisterToSignalValue(Scope(), r.number, r.word);
    EXPECT_EQ(GetSignalValue(Scope(), r.number, false), Fx(r.value));
    EXPECT_EQ(FormatSignalValue(Scope(), r.number, false), r.text);
  }
}

TEST_F(SignalTest, NegativeMinimumReadsWordsAsSigned)
{
  PRM_REC& pf = signalTable[9];
  pf.Range_Step.Ranges[0].Minimum = Fx(-1);
  RegisterToSignalValue(Scope(), 9, 0xFFB5);
  EXPECT_EQ(GetSignalValue(Scope(), 9, false), Fx(-0.75));
  EXPECT_EQ(FormatSignalValue(Scope(), 9, false), "-0.75");
  // A divisor of 0 leaves the stored value alone.
  pf.Range_Step.Divisor = Fixed();
  RegisterToSignalValue(Scope(), 9, 50);
  EXPECT_EQ(GetSignalValue(Scope(), 9, false), Fx(-0.75));
}

TEST_F(SignalTest, UnitsAndRoleLookups)
{
  struct Row {
    int number;
    const char* units;
  } rows[] = {{1, ""}, {2, "A"}, {6, "V"}, {9, ""}, {10, ""}, {13, "%"}, {16, ""}};
  for (const Row& r : rows) EXPECT_EQ(GetSignalUnits(Scope(), r.number), r.units) << r.number;

  RegisterToSignalValue(Scope(), 6, 480);
  EXPECT_EQ(SignalValueByRole(Scope(), deiLineAbVoltage, false), Fx(480));
  EXPECT_EQ(SignalTextByRole(Scope(), deiLineAbVoltage, false), "480");
  // Parameter roles read the starter column.
  const int fla = parameters.DEPENDENCY_MAP[deiMotorFla];
  SetPrmValue(parameters, fla, vcDrive, false, Fx(120), selection);
  EXPECT_EQ(SignalValueByRole(Scope(), deiMotorFla, false), Fx(120));
  EXPECT_EQ(SignalTextByRole(Scope(), deiMotorFla, false), "120");
  // Roles no entry plays.
  EXPECT_EQ(SignalValueByRole(Scope(), deiResetStatus, false), Fixed());
  EXPECT_EQ(SignalTextByRole(Scope(), deiResetStatus, false), "");
  EXPECT_EQ(SignalTextByRole(Scope(), deiTemperatureUnits, false), "");
  EXPECT_EQ(SignalTextByRole(Scope(), Max_Curr, false), "");
}

TEST_F(SignalTest, MaximaFollowTheScalingContext)
{
  EXPECT_EQ(GetSignalMaximum(Scope(), 2), Fx(75));   // Max_Curr: the FLA minimum of model 150
  EXPECT_EQ(GetSignalMaximum(Scope(), 6), Fx(208));  // Max_Volt
  EXPECT_EQ(GetSignalMaximum(Scope(), 9), Fx(1));    // own
  scaling.Set(Max_Curr, Fx(140));
  scaling.Set(Max_Volt, Fx(480));
  EXPECT_EQ(GetSignalMaximum(Scope(), 11), Fx(140));
  EXPECT_EQ(GetSignalMaximum(Scope(), 12), Fx(480));
  EXPECT_EQ(GetSignalDigits(Scope(), 9), 2);
  EXPECT_EQ(GetSignalDigits(Scope(), 2), 0);
}

TEST_F(SignalTest, DemonstrationValuesFollowTheScript)
{
  struct Row {
    int number;
    std::initializer_list<int> draws;  // noise?, fraction x 10000, sign
    double value;
  } rows[] = {
      {2, {0}, 38},                   // 37.5 without noise rounds half away
      {2, {9, 9999, 1}, 37},          // 37.5 - 0.9999
      {2, {10, 9999, 0}, 38},         // 37.5 + 0.9999 = 38.4999
      {2, {10, 5000, 0}, 38},         // 38.0
      {2, {8, 9999, 1}, 38},          // draws below 9 add no noise
      {6, {10, 9999, 0}, 105},        // 104 + 0.9999
      {9, {10, 9999, 0}, 0},          // Power Factor: no range, base without integer part
      {10, {10, 9999, 1}, 63},        // 64 - 0.9999
      {13, {10, 9999, 0}, 92},        // no range: no noise
      {16, {}, 1},                    // Relay #1 demonstrates closed
      {17, {}, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.number);
    ScriptedRandom random(r.draws);
    EXPECT_EQ(GetSignalValue(Scope(), r.number, true, random), Fx(r.value));
    EXPECT_EQ(GetSignalValue(Scope(), r.number, false), Fx(r.value));  // stored as the current value
  }
  ScriptedRandom none({});
  EXPECT_EQ(FormatSignalValue(Scope(), 9, true, none), "0.00");
}

TEST_F(SignalTest, DemonstrationValuesStayWithinTheirBounds)
{
  SeededRandom random(12345);
  const double maxima[] = {0, 1, 75, 1500};
  for (double maxCurrent : maxima) {
    scaling.Set(Max_Curr, Fx(maxCurrent));
    for (int n = 1; n <= signalTable.Count(); ++n) {
      const Fixed lo = GetSignalMinimum(Scope(), n);
      const Fixed hi = GetSignalMaximum(Scope(), n);
      for (int i = 0; i < 400; ++i) {
        const Fixed v = GetSignalValue(Scope(), n, true, random);
        ASSERT_GE(v, lo) << signalTable[n].Title << " max " << maxCurrent;
        ASSERT_LE(v, hi) << signalTable[n].Title << " max " << maxCurrent;
      }
    }
  }
  // Phase A Current with a 75 A scale stays within a whole ampere of 37.5.
  scaling.Set(Max_Curr, Fx(75));
  for (int i = 0; i < 400; ++i) {
    const Fixed v = GetSignalValue(Scope(), 2, true, random);
    EXPECT_TRUE(v == Fx(37) || v == Fx(38)) << v.ToDouble();
  }
}

TEST_F(SignalTest, LegacyMapOrdersTheSignals)
{
  const std::vector<TLegacyIndexToNum> map = BuildLegacySignalMap(signalTable);
  ASSERT_EQ(map.size(), 21u);
  const int expected[] = {1, 2, 3, 4, 5, 16, 6, 7, 8, 12, 10, 9, 13, 15, 19, 20, 21, -1, -1, -1, -1};
  const int legacy[] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, -1, 11, -1, -1, -1, -1, -1, -1, -1, -1, -1};
  for (std::size_t p = 0; p < map.size(); ++p) {
    EXPECT_EQ(map[p].Num, expected[p]) << p;
    EXPECT_EQ(map[p].LegacyIndex, legacy[p]) << p;
  }
}

TEST_F(SignalTest, CombosOfferTheMonitorAndTrendSignals)
{
  FakeCombo boxes[6];
  IListControl* monitor[4] = {&boxes[0], &boxes[1], &boxes[2], &boxes[3]};
  boxes[0].addItem("stale", 99);
  EXPECT_EQ(FillSignalCombos(Scope(), monitor, false), 10);
  const std::vector<std::pair<std::string, int>> monitorItems = {
      {"NOT USED", 1},        {"Phase A Current", 2}, {"Phase B Current", 3}, {"Phase C Current", 4},
      {"Ground Fault Current", 5}, {"Line AB Voltage", 6}, {"Line BC Voltage", 7}, {"Line CA Voltage", 8},
      {"Average Voltage", 12}, {"Power Factor", 9}};
  for (int b = 0; b < 4; ++b) EXPECT_EQ(boxes[b].items, monitorItems) << b;
  EXPECT_TRUE(boxes[4].items.empty());

  IListControl* trend[6] = {&boxes[0], &boxes[1], &boxes[2], &boxes[3], &boxes[4], &boxes[5]};
  EXPECT_EQ(FillSignalCombos(Scope(), trend, true), 11);
  std::vector<std::pair<std::string, int>> trendItems = monitorItems;
  trendItems.insert(trendItems.begin() + 5, {"Relay #1", 16});
  for (int b = 0; b < 6; ++b) EXPECT_EQ(boxes[b].items, trendItems) << b;

  // Missing boxes are skipped; an empty catalogue offers nothing and warns.
  IListControl* sparse[2] = {nullptr, &boxes[0]};
  EXPECT_EQ(FillSignalCombos(Scope(), sparse, false), 10);
  RecordingWarnings warnings;
  IWarningSink* previous = SetWarningSink(&warnings);
  PrmTable empty(kMaxSignals);
  EXPECT_EQ(FillSignalCombos(TSignalScope{empty, parameters, scaling, selection}, monitor, false), 0);
  SetWarningSink(previous);
  EXPECT_EQ(warnings.texts, std::vector<std::string>{"No signals are available."});
  EXPECT_TRUE(boxes[0].items.empty());
}

TEST_F(SignalTest, RebuildKeepsTheRecords)
{
  const PRM_REC* relay = &signalTable[16];
  RegisterToSignalValue(Scope(), 16, 1);
  ASSERT_EQ(BuildCatalogue(parameters, signalTable, selection, false, nullptr, &blocks), "");
  EXPECT_EQ(&signalTable[16], relay);
  EXPECT_EQ(signalTable.Count(), 21);
  EXPECT_EQ(signalTable[16].ValueSTR.TOTAL, 2);
  EXPECT_EQ(blocks[1].Last, 21);
}

TEST(SignalDefinitionChecks, DefectsNameTheEntry)
{
  struct Case {
    const char* name;
    void (*define)(SignalBuilder&);
    const char* message;
  } cases[] = {
      {"address below base",
       [](SignalBuilder& b) {
         b.SetNextAddress(1999);
         b.AddSignal({.Title = "Early", .Maximum = Fx(1)});
       },
       "Memory address for \"Early\" is below base address."},
      {"minimum above maximum",
       [](SignalBuilder& b) {
         b.AddSignal({.Title = "Good", .Maximum = Fx(1)});
         b.AddSignal({.Title = "Bad", .Minimum = Fx(2), .Maximum = Fx(1)});
       },
       "OSCILLOSCOPE LIST ERROR MIN>MAX LIST NO. :2"},
      {"zero divisor",
       [](SignalBuilder& b) { b.AddSignal({.Title = "Bad", .Divisor = Fixed(), .Maximum = Fx(1)}); },
       "OSCILLOSCOPE RANGE STEP LIST ERROR LIST NO. :1"},
      {"default outside the range",
       [](SignalBuilder& b) { b.AddSignal({.Title = "Bad", .Maximum = Fx(1), .Default = Fx(2)}); },
       "OSCILLOSCOPE DEFAULT VALUE VF not in Range LIST NO :1"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PrmTable table(kMaxSignals);
    SignalBuilder b(table, true);
    c.define(b);
    EXPECT_EQ(b.Error(), c.message);
  }

  PrmTable small(2);
  SignalBuilder b(small, true);
  for (int i = 0; i < 3; ++i) b.AddSignal({.Title = "S", .Maximum = Fx(1)});
  EXPECT_EQ(b.Error(), "Maximum number of oscilloscope U1/U2 parameters exceeded!");
}

TEST(SignalDefinitionChecks, ListDefects)
{
  {
    PrmTable table(kMaxSignals);
    SignalBuilder b(table, true);
    b.AddSignal({.Title = "List without texts", .Kind = skList, .Maximum = Fx(1)});
    ASSERT_TRUE(b.Ok());
    EXPECT_EQ(BuildSignalLists(table, true), "Signal type is value list but no list found! Address: 2000");
  }
  {
    PrmTable table(kMaxSignals);
    SignalBuilder b(table, true);
    b.AddSignal({.Title = "Texts without a list", .Kind = skPlain, .Maximum = Fx(1), .OscList = oliRelayStatus});
    ASSERT_TRUE(b.Ok());
    EXPECT_EQ(BuildSignalLists(table, true), "Error in list for Address: 2000");
  }
}

TEST(SignalScaling, SlotsAndReset)
{
  TScalingContext context;
  context.SelectSlot(0);
  EXPECT_EQ(context.Slot(), 1);
  context.SelectSlot(9);
  EXPECT_EQ(context.Slot(), 6);
  // A fresh context is reset for the generic model.
  EXPECT_EQ(context.Lookup(Max_Curr), Fx(5));
  EXPECT_EQ(context.Lookup(Max_Volt), Fx(208));
  EXPECT_EQ(context.Lookup(Max_Freq), Fx(60));
  EXPECT_EQ(context.Lookup(Max_Ct), Fx(100));
  EXPECT_EQ(context.Lookup(Scaling_Hz), Fx(10));
  EXPECT_EQ(context.Lookup(deiMotorFla), Fixed());

  context.Set(Max_Powr, Fx(900));
  context.Set(Max_Curr, Fx(1));
  context.ResetSlot(6, 275);
  EXPECT_EQ(context.Lookup(Max_Curr), Fx(138));
  EXPECT_EQ(context.Lookup(Max_Powr), Fx(900));  // kept
  EXPECT_EQ(context.Value(1, Max_Curr), Fx(5));  // other slots untouched
}

}  // namespace
}  // namespace rv8::param
