#include "param/Signals.h"

#include <algorithm>
#include <random>

namespace rv8::param {

TScalingContext SCALING_CONTEXT;
TMonitorBlocks MONITOR_BLOCKS;

// ---------------------------------------------------------------------------------------------
// Scaling context

TScalingContext::TScalingContext()
{
  for (int s = 1; s <= kSlots; ++s) ResetSlot(s, 0);
}

int TScalingContext::ClampSlot(int slot)
{
  if (slot < 1) return 1;
  if (slot > kSlots) return kSlots;
  return slot;
}

void TScalingContext::SelectSlot(int slot) { m_slot = ClampSlot(slot); }

Fixed TScalingContext::Value(int slot, int role) const
{
  if (!IsScalingRole(role)) return Fixed();
  return m_values[static_cast<std::size_t>(ClampSlot(slot))][static_cast<std::size_t>(role - kFirstScalingRole)];
}

Fixed TScalingContext::Lookup(int role) const { return Value(m_slot, role); }

void TScalingContext::Set(int slot, int role, Fixed value)
{
  if (!IsScalingRole(role)) return;
  m_values[static_cast<std::size_t>(ClampSlot(slot))][static_cast<std::size_t>(role - kFirstScalingRole)] = value;
}

void TScalingContext::Set(int role, Fixed value) { Set(m_slot, role, value); }

void TScalingContext::ResetSlot(int slot, std::int32_t modelCode)
{
  const MODEL_RATING& rating = MODEL_RATINGS()[static_cast<std::size_t>(ModelPositionOfCode(modelCode, 1))];
  Set(slot, Max_AIn1, Fixed());
  Set(slot, Max_AIn2, Fixed());
  Set(slot, Max_Ct, Fx(100));
  Set(slot, Max_Curr, MotorFlaLimits(modelCode).minimum);
  Set(slot, Max_Freq, rating.FullScaleFrequency);
  Set(slot, Max_Volt, rating.FullScaleVoltage);
  Set(slot, Max_Temp, Fixed());
  Set(slot, Scaling_Hz, Fx(10));
}

TSignalScope ProgramSignals() { return TSignalScope{SIGNAL_TABLE, PRM_TABLE, SCALING_CONTEXT, SELECTION}; }

namespace {

class MersenneSignalRandom : public ISignalRandom {
public:
  MersenneSignalRandom() : m_engine(std::random_device{}()) {}
  int NextInt(int bound) override
  {
    if (bound <= 1) return 0;
    return std::uniform_int_distribution<int>(0, bound - 1)(m_engine);
  }

private:
  std::mt19937 m_engine;
};

}  // namespace

ISignalRandom& DefaultSignalRandom()
{
  static MersenneSignalRandom random;
  return random;
}

// ---------------------------------------------------------------------------------------------
// Builder

SignalBuilder::SignalBuilder(PrmTable& table, bool firstBuild, TMonitorBlocks* blocks)
    : m_table(table), m_firstBuild(firstBuild), m_blocks(blocks)
{
  if (m_firstBuild) m_table.Clear();
  m_table.DEPENDENCY_MAP.Reset(kFirstSignalRole, kLastSignalRole);
  if (m_blocks) m_blocks->fill(TMonitorBlock{});
}

bool SignalBuilder::Fail(std::string message)
{
  if (m_error.empty()) m_error = std::move(message);
  return false;
}

void SignalBuilder::AddSignal(const TSignalDef& def)
{
  if (!Ok()) return;
  const int number = m_count + 1;
  PRM_REC* rec = nullptr;
  if (m_firstBuild) {
    if (m_table.Count() != number - 1) {
      Fail("Oscilloscope list should be an ascending order with stepsize of 1!");
      return;
    }
    if (number > kMaxSignals || number > m_table.Capacity()) {
      Fail("Maximum number of oscilloscope U1/U2 parameters exceeded!");
      return;
    }
    rec = m_table.Append();
  } else {
    rec = m_table.Find(number);
    if (!rec && m_table.Count() == number - 1 && number <= kMaxSignals) rec = m_table.Append();
  }
  if (!rec) {
    Fail("Maximum number of oscilloscope U1/U2 parameters exceeded!");
    return;
  }
  m_count = number;

  const Fixed snapshot = rec->Value_Index[vcSnapshot];
  *rec = PRM_REC{};
  rec->Value_Index[vcSnapshot] = snapshot;

  rec->Index = number;
  rec->Num = static_cast<std::uint16_t>(number);
  rec->PRMNUM = static_cast<std::uint16_t>(number);
  rec->Menu = 'U';
  rec->Menu_Sub = '1';
  rec->PRMADDR = static_cast<std::uint16_t>(m_nextAddress);
  rec->Title = std::string(def.Title);
  for (int c = vcMode1; c <= vcMode4; ++c) rec->Value_Index[static_cast<std::size_t>(c)] = def.Default;
  rec->Value_Index[vcDrive] = def.Default;
  rec->Value_Index[vcDefault] = def.Default;
  rec->Range_Step.Divisor = def.Divisor;
  rec->Range_Step.Ranges = {TPrmRange{def.Minimum, def.Maximum, std::string(def.Units)}};
  for (int c = 0; c < 4; ++c) rec->Visible_M1[static_cast<std::size_t>(c)] = true;
  rec->EDIT_TYPE = def.Kind;
  rec->HELP_TYPE = 1;
  rec->FLASHNO_INDEX = FLASHSET::All();
  rec->APPLICATION_ID = FLASHSET::Range(1, 9);
  rec->MONITOR_ONLY = def.MonitorOnly;
  rec->StepSize = Fx(1);
  rec->DisabledValue = Fx(-1);
  rec->DisabledText = "Off";
  rec->Mask = def.Mask;
  rec->Shift = def.Shift;
  rec->OscListId = def.OscList;
  rec->DemoModeBase = def.DemoBase;
  rec->DemoModeRange = def.DemoRange;
  rec->Dependencies[dtiUnits] = def.UnitsRole;
  for (TDependencyIndex role : def.Roles)
    if (IsSignalRole(role)) m_table.DEPENDENCY_MAP.Set(role, number);
  if (rec->SaveId.empty()) {
    rec->SaveId = std::string(def.SaveId);
    rec->LegacyIndex = def.Legacy;
  }

  const std::string no = std::to_string(number);
  if (m_nextAddress < kFirstSignalAddress)
    Fail("Memory address for \"" + rec->Title + "\" is below base address.");
  else if (def.Maximum < def.Minimum)
    Fail("OSCILLOSCOPE LIST ERROR MIN>MAX LIST NO. :" + no);
  else if (def.Divisor.IsZero())
    Fail("OSCILLOSCOPE RANGE STEP LIST ERROR LIST NO. :" + no);
  if (Ok()) {
    static constexpr const char* kModeNames[4] = {"VF", "PG", "FL", "FLPG"};
    for (int k = 0; k < 4; ++k) {
      const Fixed v = rec->Value_Index[static_cast<std::size_t>(k)];
      if (v < def.Minimum || v > def.Maximum) {
        Fail(std::string("OSCILLOSCOPE DEFAULT VALUE ") + kModeNames[k] + " not in Range LIST NO :" + no);
        break;
      }
    }
  }
  if (def.AdvanceAddress) ++m_nextAddress;
}

void SignalBuilder::ReserveAddress(std::string_view /*name*/)
{
  if (Ok()) ++m_nextAddress;
}

void SignalBuilder::StartBlock()
{
  if (!Ok() || !m_blocks || m_block >= kMonitorBlockCount) return;
  (*m_blocks)[static_cast<std::size_t>(m_block)].First = m_count + 1;
}

void SignalBuilder::EndBlock()
{
  if (!Ok() || m_block >= kMonitorBlockCount) return;
  if (m_blocks) (*m_blocks)[static_cast<std::size_t>(m_block)].Last = m_count;
  ++m_block;
}

void SignalBuilder::Finish()
{
  if (Ok()) m_table.Truncate(m_count);
}

// ---------------------------------------------------------------------------------------------
// The built-in signals

std::string BuildSignalCatalogue(PrmTable& signalTable, bool firstBuild, TMonitorBlocks* blocks)
{
  constexpr Fixed kBig = Fx(65535);  // demonstration base above any scale: half the scale is shown
  SignalBuilder b(signalTable, firstBuild, blocks);

  // The placeholder that lets a meter or a trend channel show nothing; it takes no register.
  b.AddSignal({.Title = "NOT USED", .Kind = skNotUsed, .Maximum = Fx(1), .SaveId = "NotUsd", .Legacy = 0,
               .AdvanceAddress = false});
  b.StartBlock();
  b.AddSignal({.Title = "Phase A Current", .Units = "A", .Kind = skCurrent, .DemoBase = kBig, .DemoRange = 10,
               .SaveId = "PhsACur", .Legacy = 1, .Roles = {deiDemoMode1, deiPhaseACurrent}});
  b.AddSignal({.Title = "Phase B Current", .Units = "A", .Kind = skCurrent, .DemoBase = kBig, .DemoRange = 10,
               .SaveId = "PhsBCur", .Legacy = 2, .Roles = {deiDemoMode2, deiPhaseBCurrent}});
  b.AddSignal({.Title = "Phase C Current", .Units = "A", .Kind = skCurrent, .DemoBase = kBig, .DemoRange = 10,
               .SaveId = "PhsCCur", .Legacy = 3, .Roles = {deiDemoMode3, deiPhaseCCurrent}});
  b.AddSignal({.Title = "Ground Fault Current", .Units = "A", .Kind = skCurrent, .DemoBase = kBig,
               .DemoRange = 10, .SaveId = "GndFltCur", .Legacy = 4,
               .Roles = {deiDemoMode4, deiGroundFaultCurrent}});
  b.AddSignal({.Title = "Line AB Voltage", .Units = "V", .Kind = skVoltage, .DemoBase = kBig, .DemoRange = 5,
               .SaveId = "LneAbVlt", .Legacy = 6, .Roles = {deiLineAbVoltage}});
  b.AddSignal({.Title = "Line BC Voltage", .Units = "V", .Kind = skVoltage, .DemoBase = kBig, .DemoRange = 5,
               .SaveId = "LneBcVlt", .Legacy = 7, .Roles = {deiLineBcVoltage}});
  b.AddSignal({.Title = "Line CA Voltage", .Units = "V", .Kind = skVoltage, .DemoBase = kBig, .DemoRange = 5,
               .SaveId = "LneCaVlt", .Legacy = 8, .Roles = {deiLineCaVoltage}});
  b.AddSignal({.Title = "Power Factor", .Kind = skPlain, .Divisor = Fx(100), .Maximum = Fx(1),
               .DemoBase = Fx(0.8), .SaveId = "PowFct", .Legacy = 11, .Roles = {deiPowerFactor}});
  b.AddSignal({.Title = "Kilo/Mega Watt", .Kind = skPlain, .Maximum = Fx(9999), .DemoBase = Fx(64),
               .DemoRange = 5, .SaveId = "KloMgaWat", .Legacy = -1, .MonitorOnly = true,
               .Roles = {deiKiloMegaWatt}, .UnitsRole = deiShowMwFlag});
  b.AddSignal({.Title = "Average Current", .Units = "A", .Kind = skCurrent, .DemoBase = kBig, .DemoRange = 10,
               .SaveId = "AvgCur", .Legacy = 4, .Roles = {deiAverageCurrent}});
  b.AddSignal({.Title = "Average Voltage", .Units = "V", .Kind = skVoltage, .DemoBase = kBig, .DemoRange = 5,
               .SaveId = "AvgVlt", .Legacy = 9, .Roles = {deiAverageVoltage}});
  b.AddSignal({.Title = "Thermal Capacity", .Units = "%", .Kind = skPlain, .Maximum = Fx(100),
               .DemoBase = Fx(92), .SaveId = "ThmCap", .Legacy = -1, .MonitorOnly = true,
               .Roles = {deiThermalCapacity}});
  b.AddSignal({.Title = "RMS Phase Current", .Units = "A", .Kind = skCurrent, .DemoBase = kBig, .DemoRange = 10,
               .SaveId = "RMSCCur", .Legacy = 3, .Roles = {deiRMSCurrent}});
  b.ReserveAddress("Fault Class #");
  b.AddSignal({.Title = "Fault Code", .Kind = skPlain, .Maximum = Fx(255), .DemoBase = Fx(255),
               .SaveId = "FltCde", .Legacy = -1, .MonitorOnly = true, .Roles = {deiFaultCode}});
  // The three relays are bits 0, 1 and 2 of one register.
  b.AddSignal({.Title = "Relay #1", .Kind = skList, .Maximum = Fx(1), .Mask = 1, .Shift = 0, .DemoBase = Fx(1),
               .SaveId = "Rly1", .Legacy = 5, .OscList = oliRelayStatus, .Roles = {deiRelay1},
               .AdvanceAddress = false});
  b.AddSignal({.Title = "Relay #2", .Kind = skList, .Maximum = Fx(1), .Mask = 2, .Shift = 1, .SaveId = "Rly2",
               .Legacy = 6, .OscList = oliRelayStatus, .Roles = {deiRelay2}, .AdvanceAddress = false});
  b.AddSignal({.Title = "Relay #3", .Kind = skList, .Maximum = Fx(1), .Mask = 4, .Shift = 2, .SaveId = "Rly3",
               .Legacy = 7, .OscList = oliRelayStatus, .Roles = {deiRelay3}});
  b.AddSignal({.Title = "LED Status", .Kind = skPlain, .Maximum = Fx(255), .DemoBase = Fx(63),
               .SaveId = "LedSta", .Legacy = -1, .MonitorOnly = true, .Roles = {deiLedStatus}});
  b.EndBlock();
  b.StartBlock();
  b.ReserveAddress("Key Value");
  b.AddSignal({.Title = "Starter States", .Kind = skPlain, .Maximum = Fx(255), .DemoBase = Fx(3),
               .SaveId = "StaSta", .Legacy = -1, .MonitorOnly = true, .Roles = {deiStarterStates}});
  b.ReserveAddress("Jog Input");
  b.ReserveAddress("Dual Ramp Input");
  b.AddSignal({.Title = "System State Register", .Kind = skPlain, .Maximum = Fx(255), .DemoBase = Fx(248),
               .SaveId = "SysStaReg", .Legacy = -1, .MonitorOnly = true, .Roles = {deiSystemStateRegister}});
  b.EndBlock();
  b.Finish();
  return b.Error();
}

std::string BuildSignalLists(PrmTable& signalTable, bool /*firstBuild*/)
{
  for (int n = 1; n <= signalTable.Count(); ++n) {
    PRM_REC& rec = signalTable[n];
    // A rebuild releases the old items; a first build starts from none.
    rec.ValueSTR.Clear();
    const bool isList = IsSignalListKind(rec);
    if (rec.OscListId == oliRelayStatus) {
      if (!isList) return "Error in list for Address: " + std::to_string(rec.PRMADDR);
      rec.ValueSTR.Add("Open", 0);
      rec.ValueSTR.Add("Closed", 1);
    } else if (isList) {
      return "Signal type is value list but no list found! Address: " + std::to_string(rec.PRMADDR);
    }
  }
  return {};
}

std::vector<TLegacyIndexToNum> BuildLegacySignalMap(const PrmTable& signalTable)
{
  std::vector<TLegacyIndexToNum> map;
  const int count = signalTable.Count();
  int lastUnnumbered = 0;  // the last signal without a legacy number handed out
  for (int p = 0; p < count; ++p) {
    TLegacyIndexToNum entry{-1, -1};
    for (int n = 1; n <= count; ++n) {
      if (signalTable[n].LegacyIndex == p) {
        entry = {p, n};
        break;
      }
    }
    if (entry.Num < 0) {
      for (int n = lastUnnumbered + 1; n <= count; ++n) {
        if (signalTable[n].LegacyIndex == -1) {
          entry = {-1, n};
          lastUnnumbered = n;
          break;
        }
      }
      if (entry.Num < 0) lastUnnumbered = count;
    }
    map.push_back(entry);
  }
  return map;
}

// ---------------------------------------------------------------------------------------------
// Signal operations

bool IsSignalListKind(const PRM_REC& rec)
{
  return rec.EDIT_TYPE == skList || (rec.EDIT_TYPE == skAdvanced && rec.OscListId != oliNone);
}

bool IsSignalAvailable(const PrmTable& signalTable, int number, const TSelectionState& selection)
{
  const PRM_REC* rec = signalTable.Find(number);
  if (!rec) return false;
  if (rec->ADVANCED >= 1 && !selection.AdvancedMode) return false;
  if (!rec->FLASHNO_INDEX.Contains(selection.CurrentFlashIndex)) return false;
  const int mode = selection.CurrentControlMode;
  return mode >= 0 && mode < kModeColumns && rec->Visible_M1[static_cast<std::size_t>(mode)];
}

namespace {

bool IsComposedKind(int kind)
{
  return kind == skMultiRegister || kind == skMultiRegisterDuration || kind == skMultiRegisterPower;
}

// Advanced references may point at other advanced signals; a chain this deep is a loop.
constexpr int kMaxResolveDepth = 8;

Fixed SignalDivisorAt(const TSignalScope& scope, int number, int depth);
Fixed SignalMinimumAt(const TSignalScope& scope, int number, int depth);
Fixed SignalMaximumAt(const TSignalScope& scope, int number, int depth);

Fixed Resolve(const TSignalScope& scope, const TAdvancedOscValue& v, int depth)
{
  const int role = v.Index.Index;
  if (role == deiNone) return v.Value;
  if (depth > kMaxResolveDepth) return Fixed();
  if (IsScalingRole(role)) return scope.Scaling.Lookup(role);
  if (IsSignalRole(role)) {
    const int n = scope.Signals.DEPENDENCY_MAP[role];
    if (!scope.Signals.Exists(n)) return Fixed();
    switch (v.Index.IndexType) {
      case aitDivisor: return SignalDivisorAt(scope, n, depth + 1);
      case aitMaximum: return SignalMaximumAt(scope, n, depth + 1);
      case aitMinimum: return SignalMinimumAt(scope, n, depth + 1);
      case aitValue: return scope.Signals[n].Value_Index[vcDrive];
    }
    return Fixed();
  }
  if (IsParameterRole(role)) {
    const int n = scope.Parameters.DEPENDENCY_MAP[role];
    if (!scope.Parameters.Exists(n)) return Fixed();
    switch (v.Index.IndexType) {
      case aitDivisor: return GetPrmDivisor(scope.Parameters, n);
      case aitMaximum: return GetPrmMaximum(scope.Parameters, n, vcDrive);
      case aitMinimum: return GetPrmMinimum(scope.Parameters, n, vcDrive);
      case aitValue: return GetPrmValue(scope.Parameters, n, vcDrive);
    }
  }
  return Fixed();
}

Fixed SignalDivisorAt(const TSignalScope& scope, int number, int /*depth*/)
{
  const PRM_REC* rec = scope.Signals.Find(number);
  if (!rec) return Fixed();
  if (rec->EDIT_TYPE == skFrequency) {
    const Fixed hz = scope.Scaling.Lookup(Scaling_Hz);
    if (hz > Fixed()) return hz;
  }
  if (rec->Range_Step.Ranges.empty()) return Fx(1);
  return rec->Range_Step.Divisor;
}

Fixed SignalMinimumAt(const TSignalScope& scope, int number, int depth)
{
  const PRM_REC* rec = scope.Signals.Find(number);
  if (!rec) return Fixed();
  if (IsComposedKind(rec->EDIT_TYPE)) return ComposeGroupMinimum(scope.Signals, number);
  if (rec->EDIT_TYPE == skAdvanced) return Resolve(scope, rec->AdvancedOscRange.Minimum, depth);
  return rec->Range_Step.Ranges.empty() ? Fixed() : rec->Range_Step.Ranges[0].Minimum;
}

Fixed SignalMaximumAt(const TSignalScope& scope, int number, int depth)
{
  const PRM_REC* rec = scope.Signals.Find(number);
  if (!rec) return Fixed();
  const Fixed own = rec->Range_Step.Ranges.empty() ? Fixed() : rec->Range_Step.Ranges[0].Maximum;
  switch (rec->EDIT_TYPE) {
    case skCurrent: return scope.Scaling.Lookup(Max_Curr);
    case skFrequency: return scope.Scaling.Lookup(Max_Freq);
    case skVoltage: return scope.Scaling.Lookup(Max_Volt);
    case skTemperature: return scope.Scaling.Lookup(Max_Temp);
    case skAnalogInput1: return scope.Scaling.Lookup(Max_AIn1);
    case skAnalogInput2: return scope.Scaling.Lookup(Max_AIn2);
    case skMultiRegister:
    case skMultiRegisterDuration: return ComposeGroupMaximum(scope.Signals, number);
    case skMultiRegisterPower:
      if (rec->PowerFormat == pofWatts) return scope.Scaling.Lookup(Max_Powr);
      if (rec->PowerFormat == pofKilowatts) return scope.Scaling.Lookup(Max_Powr) / Fx(1000);
      return ComposeGroupMaximum(scope.Signals, number);
    case skAdvanced: return Resolve(scope, rec->AdvancedOscRange.Maximum, depth);
    default: return own;
  }
}

// Stores a whole value over the records of a multi-register signal: record k gets bits
// 16k..16k+15.
void StoreComposed(PrmTable& signalTable, int number, Fixed value)
{
  const int length = GroupLength(signalTable, number);
  const auto whole = static_cast<std::uint64_t>(value.Trunc());
  for (int k = 0; k < length; ++k) {
    const std::uint64_t part = k < 4 ? (whole >> (16 * k)) & 0xFFFFu : 0;
    signalTable[number + k].Value_Index[vcDrive] = Fx(static_cast<long long>(part));
  }
}

Fixed ComposedValue(const PrmTable& signalTable, int number)
{
  const int length = GroupLength(signalTable, number);
  std::uint64_t whole = 0;
  for (int k = 0; k < length && k < 4; ++k)
    whole |= (static_cast<std::uint64_t>(signalTable[number + k].Value_Index[vcDrive].Trunc()) & 0xFFFFu) << (16 * k);
  return Fx(static_cast<long long>(whole));
}

Fixed ComposedDemoBase(const PrmTable& signalTable, int number)
{
  const int length = GroupLength(signalTable, number);
  std::uint64_t whole = 0;
  for (int k = 0; k < length && k < 4; ++k)
    whole |= (static_cast<std::uint64_t>(signalTable[number + k].DemoModeBase.Trunc()) & 0xFFFFu) << (16 * k);
  return Fx(static_cast<long long>(whole));
}

std::uint16_t ShiftRight(std::uint32_t w, std::int64_t shift)
{
  if (shift <= 0) return static_cast<std::uint16_t>(w);
  if (shift >= 16) return 0;
  return static_cast<std::uint16_t>(w >> shift);
}

}  // namespace

Fixed GetSignalDivisor(const TSignalScope& scope, int number) { return SignalDivisorAt(scope, number, 0); }
Fixed GetSignalMinimum(const TSignalScope& scope, int number) { return SignalMinimumAt(scope, number, 0); }
Fixed GetSignalMaximum(const TSignalScope& scope, int number) { return SignalMaximumAt(scope, number, 0); }

int GetSignalDigits(const TSignalScope& scope, int number)
{
  const PRM_REC* rec = scope.Signals.Find(number);
  if (!rec) return 0;
  if (rec->EDIT_TYPE == skAdvanced) {
    const std::int64_t digits = Resolve(scope, rec->AdvancedOscPrecision, 0).Trunc();
    return static_cast<int>(std::clamp<std::int64_t>(digits, 0, 4));
  }
  return Number_of_Digits(GetSignalDivisor(scope, number));
}

void RegisterToSignalValue(const TSignalScope& scope, int number, std::uint16_t word)
{
  PRM_REC* rec = scope.Signals.Find(number);
  if (!rec) return;
  std::uint16_t w = word;
  const bool advanced = rec->EDIT_TYPE == skAdvanced;
  if (advanced) {
    const TAdvancedOscOperations& op = rec->AdvancedOscOperations;
    if (op.Order == aooMaskThenShift) {
      w = static_cast<std::uint16_t>(w & Resolve(scope, op.Value1, 0).Trunc());
      w = ShiftRight(w, Resolve(scope, op.Value2, 0).Trunc());
    } else if (op.Order == aooShiftThenMask) {
      w = ShiftRight(w, Resolve(scope, op.Value1, 0).Trunc());
      w = static_cast<std::uint16_t>(w & Resolve(scope, op.Value2, 0).Trunc());
    }
  } else {
    if (rec->Mask != 0) w = static_cast<std::uint16_t>(w & rec->Mask);
    w = ShiftRight(w, rec->Shift);
  }

  Fixed v = Fx(static_cast<long long>(w));
  if ((word & 0x8000u) != 0 && GetSignalMinimum(scope, number) < Fixed())
    v = Fx(-static_cast<long long>((~static_cast<unsigned>(w) & 0xFFFFu) + 1));

  if (advanced) {
    const TAdvancedOscOperations& op = rec->AdvancedOscOperations;
    const Fixed a = Resolve(scope, op.Value1, 0);
    const Fixed b = Resolve(scope, op.Value2, 0);
    const auto usable = [](Fixed f) { return !f.IsZero() && f != Fx(1); };
    if (op.Order == aooDivideThenMultiply) {
      if (usable(a)) v = v / a;
      if (usable(b)) v = v * b;
    } else if (op.Order == aooMultiplyThenDivide) {
      if (usable(a)) v = v * a;
      if (usable(b)) v = v / b;
    }
  } else {
    const Fixed divisor = GetSignalDivisor(scope, number);
    if (divisor.IsZero()) return;  // a signal without a divisor ignores received words
    if (divisor != Fx(1)) v = v / divisor;
  }
  rec->Value_Index[vcDrive] = v;
  rec->Refresh_Prm = true;
}

Fixed GetSignalValue(const TSignalScope& scope, int number, bool simulate, ISignalRandom& random)
{
  PRM_REC* rec = scope.Signals.Find(number);
  if (!rec) return Fixed();
  const bool composed = IsComposedKind(rec->EDIT_TYPE);
  if (simulate) {
    Fixed base = composed ? ComposedDemoBase(scope.Signals, number) : rec->DemoModeBase.Truncated();
    const Fixed maximum = GetSignalMaximum(scope, number);
    if (maximum < base) base = std::max(GetSignalMinimum(scope, number), maximum / Fx(2));
    Fixed noise;
    if (rec->DemoModeRange != 0 && random.NextInt(11) >= 9) {
      const int percent = std::min<int>(rec->DemoModeRange, 100);
      const Fixed p = base * Fx(percent) / Fx(100);
      const Fixed r = Fixed::FromRaw(random.NextInt(static_cast<int>(Fixed::kScale)));
      noise = std::min(p, r);
      if (random.NextInt(2) == 1) noise = -noise;
    }
    Fixed value = base + noise;
    if (GetSignalDivisor(scope, number) == Fx(1)) value = Fx(static_cast<long long>(value.RoundHalfAway()));
    if (composed)
      StoreComposed(scope.Signals, number, value);
    else
      rec->Value_Index[vcDrive] = value;
    rec->Refresh_Prm = true;
  }
  return composed ? ComposedValue(scope.Signals, number) : rec->Value_Index[vcDrive];
}

namespace {

std::string SignalUnitsAt(const TSignalScope& scope, int number, int depth)
{
  const PRM_REC* rec = scope.Signals.Find(number);
  if (!rec) return {};
  std::string units = rec->Range_Step.Ranges.empty() ? std::string() : rec->Range_Step.Ranges[0].Ext;
  if (IsSignalListKind(*rec)) {
    const int item = ListIndexOfValue(scope.Signals, number, rec->Value_Index[vcDrive]);
    if (item >= 0) units = rec->ValueSTR.Ext[static_cast<std::size_t>(item)];
  }
  const int unitsRole = rec->Dependencies[dtiUnits];
  if (IsSignalRole(unitsRole)) {
    const int n = scope.Signals.DEPENDENCY_MAP[unitsRole];
    if (scope.Signals.Exists(n) && n != number && depth < kMaxResolveDepth) units = SignalUnitsAt(scope, n, depth + 1);
  } else if (IsParameterRole(unitsRole)) {
    const int n = scope.Parameters.DEPENDENCY_MAP[unitsRole];
    if (scope.Parameters.Exists(n)) units = GetPrmUnits(scope.Parameters, n, vcDrive);
  }
  if (rec->EDIT_TYPE == skTemperature) {
    const int t = scope.Parameters.DEPENDENCY_MAP[deiTemperatureUnits];
    if (scope.Parameters.Exists(t)) {
      const int k = ListIndexOfValue(scope.Parameters, t, GetPrmValue(scope.Parameters, t, vcDrive));
      if (k >= 0 && k < static_cast<int>(rec->Range_Step.Ranges.size()))
        units += rec->Range_Step.Ranges[static_cast<std::size_t>(k)].Ext;
    }
  }
  return units;
}

}  // namespace

std::string GetSignalUnits(const TSignalScope& scope, int number) { return SignalUnitsAt(scope, number, 0); }

std::string FormatSignalValue(const TSignalScope& scope, int number, bool simulate, ISignalRandom& random)
{
  const PRM_REC* rec = scope.Signals.Find(number);
  if (!rec) return {};
  const Fixed value = GetSignalValue(scope, number, simulate, random);
  if (IsSignalListKind(*rec)) {
    const int item = ListIndexOfValue(scope.Signals, number, value);
    return item >= 0 ? rec->ValueSTR.STRARRAY[static_cast<std::size_t>(item)] : std::string();
  }
  if ((rec->EDIT_TYPE == skDuration || rec->EDIT_TYPE == skMultiRegisterDuration) && rec->TimeFormat != tifNone) {
    const std::int64_t n = value.Trunc();
    char text[32];
    switch (rec->TimeFormat) {
      case tifAutomatic:
        return FormatDuration(TimeSpanOfCount(n, rec->AutomaticTimeUnits), 0);
      case tifAutomatic_AlwaysShowHours:
        return FormatDuration(TimeSpanOfCount(n, rec->AutomaticTimeUnits), ndfAlwaysHours);
      case tifAutomatic_AlwaysShowMinutes:
        return FormatDuration(TimeSpanOfCount(n, rec->AutomaticTimeUnits), ndfAlwaysMinutes);
      case tifHoursAndMinutes:
        std::snprintf(text, sizeof text, "%.2d:%.2d", static_cast<int>((n % 10000) / 100), static_cast<int>((n % 10000) % 100));
        return text;
      case tifMinutesAndSeconds:
        std::snprintf(text, sizeof text, "%.1d:%.2d", static_cast<int>((n % 10000) / 100), static_cast<int>((n % 10000) % 100));
        return text;
      case tifNone: break;
    }
  }
  return FormatFixed(value, 0, GetSignalDigits(scope, number), false);
}

Fixed SignalValueByRole(const TSignalScope& scope, int role, bool simulate, ISignalRandom& random)
{
  if (IsSignalRole(role)) {
    const int n = scope.Signals.DEPENDENCY_MAP[role];
    return scope.Signals.Exists(n) ? GetSignalValue(scope, n, simulate, random) : Fixed();
  }
  if (IsParameterRole(role)) {
    const int n = scope.Parameters.DEPENDENCY_MAP[role];
    return scope.Parameters.Exists(n) ? GetPrmValue(scope.Parameters, n, vcDrive) : Fixed();
  }
  return Fixed();
}

std::string SignalTextByRole(const TSignalScope& scope, int role, bool simulate, ISignalRandom& random)
{
  if (IsSignalRole(role)) {
    const int n = scope.Signals.DEPENDENCY_MAP[role];
    return scope.Signals.Exists(n) ? FormatSignalValue(scope, n, simulate, random) : std::string();
  }
  if (IsParameterRole(role)) {
    const int n = scope.Parameters.DEPENDENCY_MAP[role];
    return scope.Parameters.Exists(n) ? FormatPrmValue(scope.Parameters, n, vcDrive) : std::string();
  }
  return {};
}

int FillSignalCombos(const TSignalScope& scope, std::span<IListControl* const> boxes, bool includeLists)
{
  const std::size_t used = std::min<std::size_t>(boxes.size(), 6);
  for (std::size_t i = 0; i < used; ++i)
    if (boxes[i]) boxes[i]->clear();
  int offered = 0;
  for (const TLegacyIndexToNum& entry : BuildLegacySignalMap(scope.Signals)) {
    const PRM_REC* rec = scope.Signals.Find(entry.Num);
    if (!rec || !IsSignalAvailable(scope.Signals, entry.Num, scope.Selection)) continue;
    if (rec->MONITOR_ONLY || rec->IsContinuation) continue;
    if (!includeLists && IsSignalListKind(*rec)) continue;
    for (std::size_t i = 0; i < used; ++i) AddItemWithObject(boxes[i], rec->Title, entry.Num);
    ++offered;
  }
  if (offered == 0) WarningSink().ShowWarning(std::string(kNoSignalsAvailable));
  return offered;
}

}  // namespace rv8::param
