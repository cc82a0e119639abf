#pragma once
// The monitor and trend signal catalogue (SIGNAL_TABLE): the starter's live quantities from
// register 2000 on, described by PRM_REC like the parameters. This module builds the table,
// holds the full-scale values the signals are scaled by (SCALING_CONTEXT) and the register
// blocks the monitor reads at once (MONITOR_BLOCKS), and turns raw register words into values,
// units and texts. It also produces the demonstration values shown without a starter.

#include "param/Catalogue.h"
#include "param/Models.h"
#include "param/VarDrive.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace rv8::param {

inline constexpr int kFirstSignalAddress = 2000;

// Full-scale values used as signal maxima, in six slots; the monitor and the trend recorder
// fill them from the starter (CT factor, motor full-load current, input voltage).
class TScalingContext {
public:
  static constexpr int kSlots = 6;

  // Every slot starts reset for the generic model (code 0).
  TScalingContext();

  int Slot() const { return m_slot; }
  // 0 reads as 1, values above 6 as 6.
  void SelectSlot(int slot);
  // The value of a scaling role (Max_AIn1..Scaling_Hz) in the selected slot; 0 for other roles.
  Fixed Lookup(int role) const;
  Fixed Value(int slot, int role) const;
  void Set(int role, Fixed value);
  void Set(int slot, int role, Fixed value);
  // Max_AIn1, Max_AIn2, Max_Temp 0; Max_Ct 100; Max_Curr the Motor FLA minimum of the model;
  // Max_Freq and Max_Volt the model's full-scale frequency and voltage; Scaling_Hz 10.
  // Max_Powr keeps its value.
  void ResetSlot(int slot, std::int32_t modelCode);

private:
  static int ClampSlot(int slot);
  int m_slot = 1;
  std::array<std::array<Fixed, kLastScalingRole - kFirstScalingRole + 1>, kSlots + 1> m_values{};
};

extern TScalingContext SCALING_CONTEXT;

// A run of signals the monitor reads with one multi-register read: first and last number.
struct TMonitorBlock {
  int First = -1;
  int Last = -1;
};
inline constexpr int kMonitorBlockCount = 2;
using TMonitorBlocks = std::array<TMonitorBlock, kMonitorBlockCount>;
extern TMonitorBlocks MONITOR_BLOCKS;

// Everything the signal operations resolve against: the signal table, the parameter table
// that parameter roles and the temperature units come from (values in vcDrive), the scaling
// context and the selection.
struct TSignalScope {
  PrmTable& Signals;
  const PrmTable& Parameters;
  const TScalingContext& Scaling;
  const TSelectionState& Selection;
};
// SIGNAL_TABLE, PRM_TABLE, SCALING_CONTEXT, SELECTION.
TSignalScope ProgramSignals();

// Source of the demonstration mode's randomness (uniform). Tests inject their own.
class ISignalRandom {
public:
  virtual ~ISignalRandom() = default;
  // A uniform integer in 0 .. bound - 1 (bound >= 1).
  virtual int NextInt(int bound) = 0;
};
// A generator seeded once per program run.
ISignalRandom& DefaultSignalRandom();

// One signal definition.
struct TSignalDef {
  std::string_view Title{};
  std::string_view Units{};
  std::uint8_t Kind = skPlain;   // EDIT_TYPE
  Fixed Divisor = Fx(1);
  Fixed Minimum{};
  Fixed Maximum{};                 // own maximum; the scale gives it for current, voltage ...
  Fixed Default{};
  std::uint16_t Mask = 0;
  std::uint8_t Shift = 0;
  Fixed DemoBase{};
  std::uint8_t DemoRange = 0;    // percent
  std::string_view SaveId{};
  std::int32_t Legacy = -1;
  bool MonitorOnly = false;
  TOscListId OscList = oliNone;
  std::array<TDependencyIndex, 2> Roles{deiNone, deiNone};  // roles this signal plays
  TDependencyIndex UnitsRole = deiNone;
  bool AdvanceAddress = true;    // false: the next signal shares this register
};

// Builds signal records into a table in catalogue order, with the same defect handling as the
// parameter builder: after the first failed check nothing more happens and Error() names it.
class SignalBuilder {
public:
  SignalBuilder(PrmTable& table, bool firstBuild, TMonitorBlocks* blocks = nullptr);

  void AddSignal(const TSignalDef& def);
  void ReserveAddress(std::string_view name);
  // Reads the address after a reservation or a shared register from now on.
  void SetNextAddress(int address) { m_nextAddress = address; }
  void StartBlock();
  void EndBlock();
  void Finish();

  bool Ok() const { return m_error.empty(); }
  const std::string& Error() const { return m_error; }
  int Count() const { return m_count; }

private:
  bool Fail(std::string message);

  PrmTable& m_table;
  bool m_firstBuild;
  TMonitorBlocks* m_blocks;
  int m_count = 0;
  int m_nextAddress = kFirstSignalAddress;
  int m_block = 0;
  std::string m_error;
};

// The 21 built-in signals. Resets the signal roles of the table's DEPENDENCY_MAP first.
// Returns the defect message, empty when the catalogue is sound.
std::string BuildSignalCatalogue(PrmTable& signalTable, bool firstBuild, TMonitorBlocks* blocks = nullptr);
// Gives the list signals their item texts ("Open" = 0, "Closed" = 1 for the relays).
std::string BuildSignalLists(PrmTable& signalTable, bool firstBuild);

// Position p = 0 .. count-1 -> {p, the signal whose LegacyIndex is p}, otherwise {-1, the next
// signal without a legacy number}, or {-1, -1}. The order in which signals are offered.
std::vector<TLegacyIndexToNum> BuildLegacySignalMap(const PrmTable& signalTable);

bool IsSignalListKind(const PRM_REC& rec);
bool IsSignalAvailable(const PrmTable& signalTable, int number, const TSelectionState& selection = SELECTION);

Fixed GetSignalDivisor(const TSignalScope& scope, int number);
Fixed GetSignalMinimum(const TSignalScope& scope, int number);
Fixed GetSignalMaximum(const TSignalScope& scope, int number);
int GetSignalDigits(const TSignalScope& scope, int number);

// Converts one register word (mask, shift, sign, divisor) and stores it as the current value.
void RegisterToSignalValue(const TSignalScope& scope, int number, std::uint16_t word);
// simulate: first store a new demonstration value. Returns the current value.
Fixed GetSignalValue(const TSignalScope& scope, int number, bool simulate,
                     ISignalRandom& random = DefaultSignalRandom());
std::string GetSignalUnits(const TSignalScope& scope, int number);
std::string FormatSignalValue(const TSignalScope& scope, int number, bool simulate,
                              ISignalRandom& random = DefaultSignalRandom());

// The value / text of the signal (roles 1..29) or of the parameter in vcDrive (roles 30..86)
// that plays the role; 0 or empty when no entry plays it.
Fixed SignalValueByRole(const TSignalScope& scope, int role, bool simulate,
                        ISignalRandom& random = DefaultSignalRandom());
std::string SignalTextByRole(const TSignalScope& scope, int role, bool simulate,
                             ISignalRandom& random = DefaultSignalRandom());

// Warning shown when FillSignalCombos finds nothing to offer.
inline constexpr std::string_view kNoSignalsAvailable = "No signals are available.";
// Clears the boxes (null entries are skipped; at most six are used) and offers, in legacy-map
// order, every available signal that is not MONITOR_ONLY, not a continuation record and, unless
// includeLists, not a list signal; each item carries the signal number. Returns the number of
// signals offered; warns through WarningSink() when it is 0.
int FillSignalCombos(const TSignalScope& scope, std::span<IListControl* const> boxes, bool includeLists);

// The complete rebuild of both catalogues for a selection, also giving the monitor blocks.
// Returns the defect message or "".
std::string BuildCatalogue(PrmTable& parameters, PrmTable& signalTable, const TSelectionState& selection,
                           bool firstBuild, TSpecialAddresses* specialAddresses, TMonitorBlocks* monitorBlocks);

// Program-wide forms.
inline Fixed GetSignalValue(int number, bool simulate) { return GetSignalValue(ProgramSignals(), number, simulate); }
inline std::string GetSignalUnits(int number) { return GetSignalUnits(ProgramSignals(), number); }
inline std::string FormatSignalValue(int number, bool simulate) {
  return FormatSignalValue(ProgramSignals(), number, simulate);
}
inline void RegisterToSignalValue(int number, std::uint16_t word) {
  RegisterToSignalValue(ProgramSignals(), number, word);
}
inline Fixed SignalValueByRole(int role, bool simulate) { return SignalValueByRole(ProgramSignals(), role, simulate); }
inline std::string SignalTextByRole(int role, bool simulate) {
  return SignalTextByRole(ProgramSignals(), role, simulate);
}

}  // namespace rv8::param
