#pragma once
// The parameter record (PRM_REC) shared by parameters and signals, its companion types, the
// value columns, the program-wide tables and selection state, and the value operations:
// register word <-> stored value, stored value <-> display text, list lookups, visibility.
//
// Stored values are fixed-point in display units; the register figure on the wire is the
// display value times the record's divisor.
//
// Every operation takes the table it works on, because neighbouring records matter
// (multi-register groups, the temperature-units parameter, dependency lookups) and because
// the simulated starter keeps a catalogue of its own beside PRM_TABLE. Operations return a
// neutral result (false, 0, empty text) for a record number that is not in the table.

#include "param/Controls.h"
#include "param/Fixed.h"
#include "param/NuvShared.h"

#include <array>
#include <bitset>
#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <vector>

namespace rv8::param {

// ---------------------------------------------------------------------------------------------
// Companion types

// Set of byte values 0..255 (firmware positions, application numbers).
class FLASHSET {
public:
  FLASHSET() = default;
  FLASHSET(std::initializer_list<int> elements) { for (int e : elements) Include(e); }
  // {first..last}
  static FLASHSET Range(int first, int last) {
    FLASHSET s;
    for (int e = first; e <= last; ++e) s.Include(e);
    return s;
  }
  static FLASHSET All() { return Range(0, 255); }

  bool Contains(int element) const { return element >= 0 && element <= 255 && m_bits.test(static_cast<std::size_t>(element)); }
  void Include(int element) { if (element >= 0 && element <= 255) m_bits.set(static_cast<std::size_t>(element)); }
  void Exclude(int element) { if (element >= 0 && element <= 255) m_bits.reset(static_cast<std::size_t>(element)); }
  bool Empty() const { return m_bits.none(); }
  int Count() const { return static_cast<int>(m_bits.count()); }
  bool operator==(const FLASHSET&) const = default;

private:
  std::bitset<256> m_bits;
};

// Limits and units of one range.
struct TPrmRange {
  Fixed Minimum;
  Fixed Maximum;
  std::string Ext;  // units text ("Sec.", "%", "A.")
};
using TPrmRanges = std::vector<TPrmRange>;

struct TPrmRangeStep {
  Fixed Divisor;      // register = value x divisor; never 0 or negative in a valid catalogue
  TPrmRanges Ranges;  // Ranges[0] is the entry's range; more only for edit type 30
};

constexpr int kMaxListItems = 32;
constexpr int kListSlots = 33;
constexpr int kModeColumns = 5;

// List items of one entry: slot i (0-based, i < TOTAL) describes item i.
struct DESC_REC {
  std::int32_t TOTAL = 0;
  std::array<std::string, kListSlots> STRARRAY{};                          // display text
  std::array<std::array<bool, kModeColumns>, kListSlots> ENABLE_A{};        // per mode column
  std::array<std::uint16_t, kListSlots> TRVALUE{};                          // register value
  std::array<std::string, kListSlots> Ext{};                                // extension text
  std::array<std::int32_t, kListSlots> Units{};

  // Releases every item.
  void Clear();
  // Appends an item with enable flags 0..3 set, empty extension and units 0; false when all
  // slots are taken (the item is not added).
  bool Add(const std::string& text, std::uint16_t value);
};

// The ten value columns of Value_Index.
enum TValueColumn : int {
  vcMode1 = 0,  // working value (CurrentControlMode is always 0)
  vcMode2 = 1,
  vcMode3 = 2,
  vcMode4 = 3,
  vcDrive = 7,     // value read from or for the starter; a signal's live value
  vcDefault = 8,   // factory default, copied when the catalogue is built
  vcSnapshot = 9,  // an editor's copy for cancel
};
constexpr int kValueColumns = 10;

// EDIT_TYPE codes of parameters.
enum TEditType : std::uint8_t {
  etNumber = 0,                 // number in an edit box
  etList = 1,                   // combo box of ValueSTR items
  etTimeOfDay = 10,             // hhmm shown as hours:minutes; has Off
  etOffNumber = 11,             // number with an Off value
  etSteppedNumber = 12,         // number set in increments of StepSize
  etSteppedOffNumber = 13,      // stepped number with an Off value
  etMultiRegisterOffNumber = 23,
  etText = 24,                  // up to 15 characters, two per register
  etMultiRegisterNumber = 25,
  etTemperatureOffNumber = 30,  // Off value; ranges and units follow the temperature units
};

// EDIT_TYPE codes of signals.
enum TSignalKind : std::uint8_t {
  skNotUsed = 0,
  skCurrent = 3,
  skFrequency = 4,
  skVoltage = 6,
  skList = 20,
  skPlain = 21,
  skMultiRegister = 22,
  skTemperature = 30,
  skAnalogInput1 = 31,
  skAnalogInput2 = 32,
  skDuration = 33,
  skMultiRegisterDuration = 34,
  skMultiRegisterPower = 35,
  skAdvanced = 50,
};

// Predicates on parameter edit types.
constexpr bool IsListEditType(int t) { return t == etList; }
constexpr bool IsEditBoxType(int t) {
  return t == 0 || t == 10 || t == 11 || t == 12 || t == 13 || t == 23 || t == 24 || t == 25 || t == 30;
}
constexpr bool HasOffValueType(int t) { return t == 10 || t == 11 || t == 13 || t == 23 || t == 30; }
constexpr bool IsSteppedType(int t) { return t == 12 || t == 13; }
constexpr bool IsMultiRegisterType(int t) { return t == 23 || t == 25; }
constexpr bool IsTextType(int t) { return t == 24; }
constexpr bool IsUnitDependentType(int t) { return t == 30; }

// Roles that code looks up by meaning. 1..29 resolve to SIGNAL_TABLE numbers, 30..86 to
// PRM_TABLE numbers, 87..91 are named but never resolve, 92..100 are the scaling roles.
enum TDependencyIndex : int {
  deiNone = 0,
  // signal roles
  deiDemoMode1 = 1,
  deiDemoMode2,
  deiDemoMode3,
  deiDemoMode4,
  deiFaultCode,
  deiGroundFaultCurrent,
  deiLedStatus,
  deiResetStatus,
  deiPhaseACurrent,
  deiPhaseBCurrent,
  deiPhaseCCurrent,
  deiLineAbVoltage,
  deiLineBcVoltage,
  deiLineCaVoltage,
  deiPowerFactor,
  deiKiloMegaWatt,
  deiAverageCurrent,
  deiAverageVoltage,
  deiShowMwFlag,
  deiRelay1,
  deiRelay2,
  deiRelay3,
  deiStarterStates,
  deiSystemStateRegister,
  deiRMSCurrent,
  deiThermalCapacity,
  PidFb_Addr,
  PidIn_Addr,
  PidOut_Addr,
  // parameter roles
  deiCtValue = 30,
  deiFactoryPassword,
  deiFrameRating,
  deiMotorFla,
  deiMotorFla2,
  deiOLduringStart,
  deiOLduringRun,
  deiOLReset,
  deiNumberOfTurnsThroughCt,
  deiServiceFactor,
  deiRampSelect,
  deiInitVoltageRamp1,
  deiInitCurrentRamp1,
  deiInitAccelTimeRamp1,
  deiMaxCurrentRamp1,
  deiInitVoltageRamp2,
  deiInitCurrentRamp2,
  deiInitAccelTimeRamp2,
  deiMaxCurrentRamp2,
  deiVoltageJog,
  deiVoltageJogTime,
  deiCurrentJog,
  deiKickVoltage,
  deiKickTime,
  deiDecelRamp,
  deiDecelLevel,
  deiDecelShutOffVoltage,
  deiDecelRampTime,
  deiAutoRestartDelayTime,
  deiVoltageInput,
  deiVoltageImbalanceTrip,
  deiVoltageImbalanceTripDelay,
  deiOverVoltageTrip,
  deiOverVoltageTripDelay,
  deiUnderVoltageTriponStart,
  deiUnderVoltageTripStartDelay,
  deiUnderVoltageTriponRun,
  deiUnderVoltageTripDelay,
  deiShortSCRTripDelay,
  deiShuntTripDelay,
  deiCurrentImbalanceTrip,
  deiCurrentImbalanceTripDelay,
  deiOverCurrentTrip,
  deiOverCurrentTripDelay,
  deiUnderCurrentTrip,
  deiUnderCurrentTripDelay,
  deiGroundFaultCurrentTrip,
  deiGroundFaultCurrentTripDelay,
  deiCoastDownLockOutTime,
  deiMaxStartsPerHour,
  deiMinStartsPerHour,
  deiAuxRelay1,
  deiAuxRelay2,
  deiAuxRelay3,
  deiAuxRelayDelayTimer,
  deiSystemClearAndFactoryReset,
  deiTemperatureUnits,
  // named only
  deiPhaseRotationTripDelay = 87,
  deiPhaseLossTripDelay,
  deiPhaseRotationTrip,
  deiAOP01_4mA,
  deiAOP01_20mA,
  // scaling roles (SCALING_CONTEXT)
  Max_AIn1 = 92,
  Max_AIn2,
  Max_Ct,
  Max_Curr,
  Max_Freq,
  Max_Powr,
  Max_Temp,
  Max_Volt,
  Scaling_Hz,
};
static_assert(PidOut_Addr == 29, "signal roles are 1..29");
static_assert(deiTemperatureUnits == 86, "parameter roles are 30..86");
static_assert(deiAOP01_20mA == 91, "named-only roles are 87..91");
static_assert(Scaling_Hz == 100, "scaling roles are 92..100");

constexpr int kFirstSignalRole = deiDemoMode1;
constexpr int kLastSignalRole = PidOut_Addr;
constexpr int kFirstParameterRole = deiCtValue;
constexpr int kLastParameterRole = deiTemperatureUnits;
constexpr int kFirstScalingRole = Max_AIn1;
constexpr int kLastScalingRole = Scaling_Hz;
constexpr bool IsSignalRole(int role) { return role >= kFirstSignalRole && role <= kLastSignalRole; }
constexpr bool IsParameterRole(int role) { return role >= kFirstParameterRole && role <= kLastParameterRole; }
constexpr bool IsScalingRole(int role) { return role >= kFirstScalingRole && role <= kLastScalingRole; }

enum TDependencyTypeIndex : int { dtiDisabler = 0, dtiUnits = 1 };
using TDependencies = std::array<TDependencyIndex, 2>;

// Role -> record number, -1 when no record plays the role.
class TDependencyMap {
public:
  static constexpr int kSize = kLastScalingRole + 1;
  TDependencyMap() { m_numbers.fill(-1); }
  // -1 for a role outside the map.
  int operator[](int role) const { return role >= 0 && role < kSize ? m_numbers[static_cast<std::size_t>(role)] : -1; }
  void Set(int role, int number) { if (role >= 0 && role < kSize) m_numbers[static_cast<std::size_t>(role)] = number; }
  // Sets roles first..last to -1.
  void Reset(int first, int last) { for (int r = first; r <= last; ++r) Set(r, -1); }

private:
  std::array<int, kSize> m_numbers{};
};

enum TPrmListId : int {
  pliNone = 0,
  pliAuxRelaySetting,
  pliBaudRate,
  pliCommunications,
  pliDecelerationRamp,
  pliFactoryReset,
  pliOverloadClass,
  pliOverloadReset,
  pliRampSelect,
  pliRemoteStarterControl,
  pliRunTimerSelection,
  pliServiceFactor,
  pliStartEventMode,
  pliPhaseRotationTrip,
  pliMotorKwTrip,
  pliPowerFactorTripRange,
  pliPowerFactorCurrentDirection,
  pliAnalogOutput,
  pliEnaDisSelect,
};

enum TOscListId : int { oliNone = 0, oliRelayStatus };

enum TTimeFormat : int {
  tifNone = 0,
  tifAutomatic,
  tifAutomatic_AlwaysShowHours,
  tifAutomatic_AlwaysShowMinutes,
  tifHoursAndMinutes,
  tifMinutesAndSeconds,
};

enum TPowerFormat : int { pofNone = 0, pofWatts, pofKilowatts };

// Advanced signal scaling (signals of kind 50): values given by reference to other entries.
enum TAdvancedOscIndexType : int { aitDivisor = 0, aitMaximum, aitMinimum, aitValue };
enum TAdvancedOscOrder : int {
  aooDivideThenMultiply = 0,
  aooMaskThenShift,
  aooMultiplyThenDivide,
  aooShiftThenMask,
};
struct TAdvancedOscIndex {
  TDependencyIndex Index = deiNone;
  TAdvancedOscIndexType IndexType = aitValue;
};
// A scaling role, a signal or parameter role (by IndexType), or with deiNone the literal Value.
struct TAdvancedOscValue {
  TAdvancedOscIndex Index;
  Fixed Value;
};
struct TAdvancedOscOperations {
  TAdvancedOscOrder Order = aooDivideThenMultiply;
  TAdvancedOscValue Value1;
  TAdvancedOscValue Value2;
};
struct TAdvancedOscRange {
  TAdvancedOscValue Maximum;
  TAdvancedOscValue Minimum;
};
struct TAdvancedOscUnits {
  TDependencyIndex Index = deiNone;
  std::string Text;
};

// ---------------------------------------------------------------------------------------------
// The record

struct PRM_REC {
  std::int32_t Index = 0;  // 1-based position in its table
  std::uint8_t SHT = 0;
  std::uint16_t Num = 0;
  char Menu = ' ';
  char Menu_Sub = '1';
  std::uint16_t PRMNUM = 0;
  std::uint16_t PRMADDR = 0;
  DESC_REC ValueSTR;
  std::string PARAMETER_ID;  // "F001"
  std::string Title;
  std::array<Fixed, kValueColumns> Value_Index{};
  TPrmRangeStep Range_Step;
  std::array<bool, kModeColumns> Visible_M1{};
  std::uint8_t EDIT_TYPE = 0;
  std::uint8_t HELP_TYPE = 1;
  FLASHSET FLASHNO_INDEX;
  bool RUNNING = false;
  bool KVA_TOTAL = false;
  bool KVA_VOLTAGE = false;
  bool MONITOR_ONLY = false;
  std::int32_t ADVANCED = 0;
  FLASHSET APPLICATION_ID;
  std::int32_t ENGINEERING = 0;
  Fixed StepSize = Fx(1);
  Fixed DisabledValue = Fx(-1);
  std::string DisabledText = "Off";
  bool IsContinuation = false;
  std::uint16_t Mask = 0;
  std::uint8_t Shift = 0;
  std::string SaveId;
  TOscListId OscListId = oliNone;
  TPrmListId PrmListId = pliNone;
  Fixed DemoModeBase;
  std::uint8_t DemoModeRange = 0;
  TDependencies Dependencies{deiNone, deiNone};
  std::int32_t LegacyIndex = -1;
  TTimeFormat TimeFormat = tifNone;
  TNuvTimeUnits AutomaticTimeUnits = btuSec;
  TPowerFormat PowerFormat = pofNone;
  TAdvancedOscOperations AdvancedOscOperations;
  TAdvancedOscValue AdvancedOscPrecision;
  TAdvancedOscRange AdvancedOscRange;
  TAdvancedOscUnits AdvancedOscUnits;
  std::int32_t intTreeMainIndex = 0;
  bool Refresh_Prm = false;
};

// Flags a stored working value raises (shell state; the editors and file code clear them).
struct TModifiedFlags {
  bool ProjectModified = false;
  bool EditorValueChanged = false;
};
extern TModifiedFlags MODIFIED_FLAGS;

// A 1-based table of records with a fixed capacity. Records keep their addresses while the
// table lives (storage is reserved up front), so a rebuild refills the same records.
class PrmTable {
public:
  explicit PrmTable(int capacity);
  // Copies keep the reserved storage, so records of a copy keep their addresses too.
  PrmTable(const PrmTable& other);
  PrmTable& operator=(const PrmTable& other);
  PrmTable(PrmTable&&) noexcept = default;
  PrmTable& operator=(PrmTable&&) noexcept = default;

  int Capacity() const { return m_capacity; }
  int Count() const { return static_cast<int>(m_records.size()); }
  // PrmExists: 1 <= number <= Count().
  bool Exists(int number) const { return number >= 1 && number <= Count(); }
  // Caller guarantees Exists(number).
  PRM_REC& operator[](int number) { return m_records[static_cast<std::size_t>(number - 1)]; }
  const PRM_REC& operator[](int number) const { return m_records[static_cast<std::size_t>(number - 1)]; }
  // nullptr when the number is not in the table.
  PRM_REC* Find(int number) { return Exists(number) ? &(*this)[number] : nullptr; }
  const PRM_REC* Find(int number) const { return Exists(number) ? &(*this)[number] : nullptr; }
  // Creates the next record (number Count() + 1); nullptr when the table is full.
  PRM_REC* Append();
  // Keeps the first `count` records (fewer records after a rebuild); never grows.
  void Truncate(int count);
  void Clear() { m_records.clear(); }

  // The table's role resolution, filled by the catalogue builders.
  TDependencyMap DEPENDENCY_MAP;
  // Where stores with markModified raise their flags; the program-wide flags by default.
  TModifiedFlags* ModifiedFlags = &MODIFIED_FLAGS;

private:
  int m_capacity;
  std::vector<PRM_REC> m_records;
};

constexpr int kMaxParameters = 110;
constexpr int kMaxSignals = 26;

// The program-wide catalogue tables.
extern PrmTable PRM_TABLE;
extern PrmTable SIGNAL_TABLE;

// Selection of starter model and firmware (program-wide instance SELECTION).
struct TSelectionState {
  std::int32_t CurrentModelCode = 0;
  std::int32_t CurrentFlashIndex = 0;
  std::uint16_t CurrentFirmwareVersion = 0;
  std::uint8_t CurrentControlMode = 0;  // always 0 for this product
  bool AdvancedMode = false;
};
extern TSelectionState SELECTION;

// A defect of the built-in catalogue (or a control bound to a wrong number). The message
// names the entry; the programs show it and stop.
class CatalogueError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Receives warnings the value operations raise while the user edits (step adjustment, a list
// value disabled for the column). The windows show a message box; the default drops them.
class IWarningSink {
public:
  virtual ~IWarningSink() = default;
  virtual void ShowWarning(const std::string& text) = 0;
};
// The sink in use; never null (a silent sink when none was set).
IWarningSink& WarningSink();
// Installs a sink (nullptr restores the silent one). Returns the previous one.
IWarningSink* SetWarningSink(IWarningSink* sink);

// ---------------------------------------------------------------------------------------------
// Other records of the model used by file, network and help code

struct INFO_REC {
  std::string LINE;
};
struct STAT_REC {
  bool NODE_ID = false;
  std::int32_t SREV = 0;
  std::string STR1;
};
struct TLinkTableValue {
  std::string Identifier;
  std::string Name;
  std::string Description;
};
struct TExternalDocument {
  std::string Title;
  std::string FileName;
};
struct TLegacyIndexToNum {
  std::int32_t LegacyIndex = -1;
  std::int32_t Num = -1;
};

// One display row of a parameter (browser, overviews, reports).
struct parameter_info {
  std::string Prm_Number;
  std::string Prm_Title;
  std::string Prm_Addr;       // "1001 (03E9h)"
  std::int32_t Prm_Display = 1;  // 2 read-only, 1 otherwise
  std::string Prm_Value;
  std::string Prm_Info;
  std::string Prm_Unit;
  std::string Prm_Unit_wSp;
  std::string Prm_Actual_Value;
  std::int32_t Prm_Select_Index = 0;
  std::string Prm_Search_Str;
  std::string strMinValue;
  std::string strMaxValue;
  std::int32_t Number_of_Digits = 0;
  double PrmRealActualValue = 0.0;
  double Prm_Multiplier = 0.0;
};

// Binding of one parameter to the controls of an editor page.
struct TPrmEdit {
  IComboControl* ComboBox = nullptr;
  IEditControl* EditBox = nullptr;
  std::int32_t Index = 0;
  std::string Name;
  ILabelControl* Units = nullptr;
};

enum TInitializeEditMode : int { iemPrmToEdit = 0, iemEditToPrm = 1 };

// ---------------------------------------------------------------------------------------------
// Value operations. "column" is a TValueColumn; mode-dependent flags are looked up at the
// column's position when it is below 5, otherwise at CurrentControlMode.

// Decimal places of a divisor: 1 -> 0, 10 -> 1, 50 -> 1, 100 -> 2.
int Number_of_Digits(Fixed divisor);

bool PrmExists(const PrmTable& table, int number);
bool IsInFirmware(const PrmTable& table, int number, const TSelectionState& selection = SELECTION);
// visibilityMode 0: in firmware; 1: also the CT value; 2: the browser's and editors' rule.
bool IsPrmAvailable(const PrmTable& table, int number, int column, int visibilityMode,
                    const TSelectionState& selection = SELECTION);
// Available (mode 2) and not MONITOR_ONLY.
bool IsPrmEditable(const PrmTable& table, int number, int column, const TSelectionState& selection = SELECTION);
// The column whose visibility and enable flags apply to `column`.
int ModeColumnOf(int column, const TSelectionState& selection = SELECTION);

// Number of records in the multi-register group starting at `number` (1 for a single record).
int GroupLength(const PrmTable& table, int number);
// Composition of per-record figures: sum of Trunc(figure(k)) << 16k over the group.
Fixed ComposeGroupMinimum(const PrmTable& table, int number);
Fixed ComposeGroupMaximum(const PrmTable& table, int number);

Fixed GetPrmValue(const PrmTable& table, int number, int column);
void SetPrmValue(PrmTable& table, int number, int column, bool markModified, Fixed value,
                 const TSelectionState& selection = SELECTION);
Fixed GetPrmDivisor(const PrmTable& table, int number);
Fixed GetPrmMinimum(const PrmTable& table, int number, int column);
Fixed GetPrmMaximum(const PrmTable& table, int number, int column);
std::string GetPrmUnits(const PrmTable& table, int number, int column);

// True when the parameter has an Off value and the column holds it (in every record of a group).
bool IsPrmOff(const PrmTable& table, int number, int column);

void RegisterToPrmValue(PrmTable& table, int number, int column, std::uint16_t word,
                        const TSelectionState& selection = SELECTION);
// The register word of this record's value in the column (multi-register groups are written
// record by record, each with its own column value and divisor).
std::uint16_t PrmValueToRegister(const PrmTable& table, int number, int column);

std::string FormatPrmNumber(const PrmTable& table, int number, Fixed value);
std::string FormatPrmValue(const PrmTable& table, int number, int column);
// Text parameters (edit type 24): decoded text of the column / encoded storage of a text.
std::string DecodePrmText(const PrmTable& table, int number, int column);
void EncodePrmText(PrmTable& table, int number, int column, bool markModified, const std::string& text,
                   const TSelectionState& selection = SELECTION);
// Commit path of an edit box: parses, adjusts to the step (with a warning), clamps, stores.
// Returns the stored value.
Fixed ParsePrmText(PrmTable& table, int number, int column, const std::string& text,
                   const TSelectionState& selection = SELECTION);

int ListIndexOfValue(const PrmTable& table, int number, Fixed value);
std::string ListTextOfValue(const PrmTable& table, int number, int column, Fixed value,
                            const std::string& fallback, const TSelectionState& selection = SELECTION);
Fixed ListNumericValue(const PrmTable& table, int number, int column);

std::string PrmHintText(const PrmTable& table, int number, int column);

void CopyPrmColumn(PrmTable& table, int number, int fromColumn, int toColumn,
                   const TSelectionState& selection = SELECTION);

// selector: 0 working column, 3 vcDrive, 4 vcDefault.
void FillParameterInfo(const PrmTable& table, int number, int columnSelector, parameter_info& row,
                       const TSelectionState& selection = SELECTION);

// Binds the controls of `edit` to its parameter in either direction. Throws CatalogueError
// for a control bound to a number of the wrong kind and for a list without enabled items.
void InitializePrmEdit(PrmTable& table, int column, TPrmEdit& edit, bool setHint,
                       TInitializeEditMode mode, const TSelectionState& selection = SELECTION);

// Key filters of parameter edit boxes. `key` is replaced by kKeyNone when swallowed; the box's
// text may be replaced (Off text typed, Off text cleared).
void PrmNumericKeyFilter(const PrmTable& table, int number, IEditControl& box, char32_t& key);
void PrmTextKeyFilter(char32_t& key);
// Chooses the filter by the parameter's edit type.
void PrmEditKeyFilter(const PrmTable& table, int number, IEditControl& box, char32_t& key);

// ---------------------------------------------------------------------------------------------
// Convenience forms on PRM_TABLE

inline Fixed GetPrmValue(int number, int column) { return GetPrmValue(PRM_TABLE, number, column); }
inline void SetPrmValue(int number, int column, bool markModified, Fixed value) {
  SetPrmValue(PRM_TABLE, number, column, markModified, value);
}
inline Fixed GetPrmDivisor(int number) { return GetPrmDivisor(PRM_TABLE, number); }
inline Fixed GetPrmMinimum(int number, int column) { return GetPrmMinimum(PRM_TABLE, number, column); }
inline Fixed GetPrmMaximum(int number, int column) { return GetPrmMaximum(PRM_TABLE, number, column); }
inline std::string GetPrmUnits(int number, int column) { return GetPrmUnits(PRM_TABLE, number, column); }
inline std::string FormatPrmValue(int number, int column) { return FormatPrmValue(PRM_TABLE, number, column); }
inline bool IsPrmAvailable(int number, int column, int visibilityMode) {
  return IsPrmAvailable(PRM_TABLE, number, column, visibilityMode);
}
inline void CopyPrmColumn(int number, int fromColumn, int toColumn) {
  CopyPrmColumn(PRM_TABLE, number, fromColumn, toColumn);
}
inline bool PrmExists(int number) { return PrmExists(PRM_TABLE, number); }
inline bool IsInFirmware(int number) { return IsInFirmware(PRM_TABLE, number); }
inline bool IsPrmEditable(int number, int column) { return IsPrmEditable(PRM_TABLE, number, column); }
inline void RegisterToPrmValue(int number, int column, std::uint16_t word) {
  RegisterToPrmValue(PRM_TABLE, number, column, word);
}
inline std::uint16_t PrmValueToRegister(int number, int column) { return PrmValueToRegister(PRM_TABLE, number, column); }
inline std::string FormatPrmNumber(int number, Fixed value) { return FormatPrmNumber(PRM_TABLE, number, value); }
inline Fixed ParsePrmText(int number, int column, const std::string& text) {
  return ParsePrmText(PRM_TABLE, number, column, text);
}
inline int ListIndexOfValue(int number, Fixed value) { return ListIndexOfValue(PRM_TABLE, number, value); }
inline std::string ListTextOfValue(int number, int column, Fixed value, const std::string& fallback) {
  return ListTextOfValue(PRM_TABLE, number, column, value, fallback);
}
inline Fixed ListNumericValue(int number, int column) { return ListNumericValue(PRM_TABLE, number, column); }
inline std::string PrmHintText(int number, int column) { return PrmHintText(PRM_TABLE, number, column); }
inline void FillParameterInfo(int number, int columnSelector, parameter_info& row) {
  FillParameterInfo(PRM_TABLE, number, columnSelector, row);
}
inline void InitializePrmEdit(int column, TPrmEdit& edit, bool setHint, TInitializeEditMode mode) {
  InitializePrmEdit(PRM_TABLE, column, edit, setHint, mode);
}

}  // namespace rv8::param
