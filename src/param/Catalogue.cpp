#include "param/Catalogue.h"

#include <cctype>
#include <cstdio>

namespace rv8::param {

TSpecialAddresses SPECIAL_ADDRESSES = [] {
  TSpecialAddresses a;
  a.fill(0xFFFF);
  return a;
}();

namespace {

// Item texts of the parameter lists, by TPrmListId. An item given as kNext takes the previous
// offered value plus one.
constexpr int kNext = kNextListValue;

using ListItemDef = TPrmListItem;

constexpr ListItemDef kAuxRelaySetting[] = {
    {"Run / Stop (Changes on Start Command, resets on Stop)", 1},
    {"At Speed / Stop", kNext},
    {"At Speed / End of Decel", kNext},
    {"Start / End of Decel", kNext},
    {"Short SCR Trip", kNext},
    {"Phase Loss Trip", kNext},
    {"Shunt Trip", kNext},
    {"OL (Motor Thermal Overload) Trip", kNext},
    {"OT (Starter Thermal Over Temperature) Trip", kNext},
    {"Short Circuit Trip", kNext},
    {"Current Unbalance Trip", kNext},
    {"Over Current (Shear-Pin) Trip", kNext},
    {"Under Current Trip", kNext},
    {"Ground Fault Trip", kNext},
    {"Phase Rotation Trip", kNext},
    {"Voltage Imbalance Trip", kNext},
    {"Over Voltage Trip", kNext},
    {"Under Voltage Trip During Start", kNext},
    {"Under Voltage Trip During Run", kNext},
    {"Power Factor Trip", kNext},
    {"Power Trip", kNext},
    {"Any Trip", kNext},
    {"Any Trip,  flashing output", kNext},
    {"Coast Down Time Lockout", kNext},
    {"Starts Per Hour Lockout", kNext},
    {"Time Between Starts Lockout", kNext},
    {"Any Lockout", kNext},
    // The starter's manual names the delay register F062 here although the delay timer is F063;
    // the texts keep the manual's wording.
    {"Run / Stop with On-delay from F062", kNext},
    {"At Speed / Stop with On-delay from F062", kNext},
    {"At Speed / End of Decel with On-delay from F062", kNext},
    {"Start / End of Decel with On-delay from F062", kNext},
    {"Power Loss (nCP No Control Power) Trip", kNext},
};
constexpr ListItemDef kBaudRate[] = {{"4800", 0}, {"9600", 1}, {"19200", 2}};
constexpr ListItemDef kCommunications[] = {
    {"0:Disabled", 0},
    {"1:Enabled (11 bit format)", 1},
    {"2:Enabled (10 bit format)", 2},
    {"3:Enabled (11 bit) and Remote Start Control", 3},
    {"4:Enabled (10 bit) and Remote Start Control", 4},
};
constexpr ListItemDef kDecelerationRamp[] = {
    {"Disabled", 0}, {"Enabled with OL", 1}, {"Enabled without OL", 2}};
constexpr ListItemDef kFactoryReset[] = {
    {"0:Disabled", 0}, {"1:Clear THR and Lockout Timers", 1}, {"2:Reset to Factory Default", 2}};
constexpr ListItemDef kOverloadClass[] = {
    {"5", 5}, {"10", 10}, {"15", 15}, {"20", 20}, {"25", 25}, {"30", 30}};
constexpr ListItemDef kOverloadReset[] = {
    {"0:Manual", 0}, {"1:Auto", 1}, {"2:Disabled Overload", 2}};
constexpr ListItemDef kRampSelect[] = {
    {"VR1-VR2", 1}, {"CR1-CR2", 2}, {"VR1-CR2", 3}, {"CR1-VR2", 4}};
// Values 1 and 2 carry the same text on the starter's display.
constexpr ListItemDef kRemoteStarterControl[] = {
    {"Disabled", 0},
    {"Enabled w/ Start button", 1},
    {"Enabled w/ Start button", 2},
    {"Enabled w/ Local/Remote (Jog button)", 3},
};
constexpr ListItemDef kRunTimerSelection[] = {
    {"Disabled", 0}, {"Batch Run Timer", 1}, {"Permissive Run Timer", 2}};
constexpr ListItemDef kServiceFactor[] = {
    {"1.00", 100}, {"1.05", 105}, {"1.10", 110}, {"1.15", 115},
    {"1.20", 120}, {"1.25", 125}, {"1.30", 130},
};
constexpr ListItemDef kStartEventMode[] = {
    {"0:One Shot", 0},
    {"1:Loop every day", 1},
    {"2:Loop every other day", 2},
    {"3:Loop every 3rd day", 3},
    {"4:Loop every 4th day", 4},
    {"5:Loop every 5th day", 5},
    {"6:Loop every 6th day", 6},
    {"7:Loop one day per week", 7},
    {"8:Single 24hr event", 8},
};
constexpr ListItemDef kPhaseRotationTrip[] = {{"0:Disabled", 0}, {"1:ABC", 1}, {"2:ACB", 2}};
constexpr ListItemDef kMotorKwTrip[] = {
    {"0:Disabled", 0}, {"1:Over KW Trip", 1}, {"2:Under KW Trip", 2}};
constexpr ListItemDef kPowerFactorTripRange[] = {
    {"0:Disabled", 0}, {"1:Lag", 1}, {"2:Lead", 2}, {"3:Lead/lag", 3}};
constexpr ListItemDef kPowerFactorCurrentDirection[] = {{"0:Normal", 0}, {"1:Reversed", 1}};
constexpr ListItemDef kAnalogOutput[] = {
    {"Off", 0},
    {"Phase A Current", 1},
    {"Phase B Current", 2},
    {"Phase C Current", 3},
    {"Ground Fault Current", 4},
    {"Phase A Line Voltage", 5},
    {"Phase B Line Voltage", 6},
    {"Phase C Line Voltage", 7},
    {"Power Factor", 8},
    {"Power", 9},
    {"Average Current Phase ABC", 10},
    {"Average Voltage Phase ABC", 11},
    {"Thermal Capacity Remaining", 12},
};
constexpr ListItemDef kEnaDisSelect[] = {{"0:Disabled", 0}, {"1:Enabled", 1}};

}  // namespace

std::span<const TPrmListItem> PrmListTexts(TPrmListId id)
{
  switch (id) {
    case pliAuxRelaySetting: return kAuxRelaySetting;
    case pliBaudRate: return kBaudRate;
    case pliCommunications: return kCommunications;
    case pliDecelerationRamp: return kDecelerationRamp;
    case pliFactoryReset: return kFactoryReset;
    case pliOverloadClass: return kOverloadClass;
    case pliOverloadReset: return kOverloadReset;
    case pliRampSelect: return kRampSelect;
    case pliRemoteStarterControl: return kRemoteStarterControl;
    case pliRunTimerSelection: return kRunTimerSelection;
    case pliServiceFactor: return kServiceFactor;
    case pliStartEventMode: return kStartEventMode;
    case pliPhaseRotationTrip: return kPhaseRotationTrip;
    case pliMotorKwTrip: return kMotorKwTrip;
    case pliPowerFactorTripRange: return kPowerFactorTripRange;
    case pliPowerFactorCurrentDirection: return kPowerFactorCurrentDirection;
    case pliAnalogOutput: return kAnalogOutput;
    case pliEnaDisSelect: return kEnaDisSelect;
    case pliNone: break;
  }
  return {};
}

// ---------------------------------------------------------------------------------------------
// Group titles

std::string GroupTitle(std::string_view key)
{
  static constexpr std::pair<const char*, const char*> kTitles[] = {
      {"A1", "Motor Overload Information"}, {"B1", "Starting and Stopping Modes"},
      {"C1", "Line Voltage"},               {"D1", "Phase Current"},
      {"E1", "Inhibits"},                   {"F1", "Miscellaneous"},
      {"G1", "Relays"},                     {"H1", "System Settings"},
      {"I1", "Communications"},             {"J1", "System Settings"},
      {"K1", "Calendar"},                   {"L1", "System Settings"},
      {"M1", "Run Time"},                   {"N1", "Phase Protection"},
      {"O1", "Power"},                      {"P1", "Analog Output"},
      {"Q1", "System Settings"},
  };
  if (key.size() == 2) {
    const char a = static_cast<char>(std::toupper(static_cast<unsigned char>(key[0])));
    const char b = static_cast<char>(std::toupper(static_cast<unsigned char>(key[1])));
    for (const auto& [k, title] : kTitles)
      if (k[0] == a && k[1] == b) return title;
  }
  return "<->";
}

// ---------------------------------------------------------------------------------------------
// The builder

CatalogueBuilder::CatalogueBuilder(PrmTable& table, bool firstBuild, TSpecialAddresses* specialAddresses)
    : m_table(table), m_firstBuild(firstBuild), m_special(specialAddresses)
{
  if (m_firstBuild) m_table.Clear();
  m_table.DEPENDENCY_MAP.Reset(kFirstParameterRole, kLastParameterRole);
  if (m_special) m_special->fill(0xFFFF);
}

bool CatalogueBuilder::Fail(std::string message)
{
  if (m_error.empty()) m_error = std::move(message);
  return false;
}

PRM_REC* CatalogueBuilder::AddCommon(char letter, std::string_view title, std::string_view units,
                                     Fixed defaultValue, Fixed minimum, Fixed maximum, Fixed divisor,
                                     std::uint8_t editType, std::uint8_t flags,
                                     const FLASHSET& applicationSet, const FLASHSET& firmwareSet,
                                     Fixed stepSize, Fixed offValue, std::string_view offText,
                                     TPrmListId listId)
{
  if (!Ok()) return nullptr;
  const int number = m_count + 1;
  PRM_REC* rec = nullptr;
  if (m_firstBuild) {
    if (m_table.Count() != number - 1) {
      Fail("Parameter list should be an ascending order with stepsize of 1! " + std::to_string(number));
      return nullptr;
    }
    if (number > kMaxParameters || number > m_table.Capacity()) {
      Fail("Maximum number of parameters exceeded!");
      return nullptr;
    }
    rec = m_table.Append();
  } else {
    // A rebuild refills the record of the same number; a table that has fewer records than
    // this build grows.
    rec = m_table.Find(number);
    if (!rec) {
      if (m_table.Count() != number - 1 || number > kMaxParameters) {
        Fail("Maximum number of parameters exceeded!");
        return nullptr;
      }
      rec = m_table.Append();
    }
  }
  if (!rec) {
    Fail("Maximum number of parameters exceeded!");
    return nullptr;
  }
  m_count = number;

  const int address = m_nextAddress;
  char id[16];
  std::snprintf(id, sizeof id, "F%.3u", static_cast<unsigned>(address < 0 ? 0 : address) % 1000u);

  // The snapshot column belongs to an editor that may be open; everything else is refilled.
  const Fixed snapshot = rec->Value_Index[vcSnapshot];
  const Fixed drive = rec->Value_Index[vcDrive];
  *rec = PRM_REC{};
  rec->Value_Index[vcSnapshot] = snapshot;
  rec->Value_Index[vcDrive] = drive;

  rec->Index = number;
  rec->Num = static_cast<std::uint16_t>(number);
  rec->PRMNUM = static_cast<std::uint16_t>(number);
  rec->SHT = 0;
  rec->Menu = letter;
  rec->Menu_Sub = '1';
  rec->PRMADDR = static_cast<std::uint16_t>(address);
  rec->PARAMETER_ID = id;
  rec->SaveId = id;
  rec->Title = std::string(title);
  for (int c = vcMode1; c <= vcMode4; ++c) rec->Value_Index[static_cast<std::size_t>(c)] = defaultValue;
  rec->Range_Step.Divisor = divisor;
  rec->Range_Step.Ranges = {TPrmRange{minimum, maximum, std::string(units)}};
  for (int c = 0; c < 4; ++c) rec->Visible_M1[static_cast<std::size_t>(c)] = true;
  rec->EDIT_TYPE = editType;
  rec->HELP_TYPE = 1;
  rec->FLASHNO_INDEX = firmwareSet;
  rec->APPLICATION_ID = applicationSet;
  rec->ADVANCED = (flags & pflAdvanced) ? 1 : 0;
  rec->KVA_VOLTAGE = (flags & pflKvaVoltage) != 0;
  rec->MONITOR_ONLY = (flags & pflMonitorOnly) != 0;
  rec->KVA_TOTAL = (flags & pflKvaTotal) != 0;
  rec->RUNNING = (flags & pflRunning) != 0;
  rec->ENGINEERING = 0;
  rec->StepSize = stepSize;
  rec->DisabledValue = offValue;
  rec->DisabledText = std::string(offText);
  rec->IsContinuation = false;
  rec->Mask = 0;
  rec->Shift = 0;
  rec->OscListId = oliNone;
  rec->PrmListId = listId;
  rec->DemoModeBase = Fixed();
  rec->DemoModeRange = 0;
  rec->LegacyIndex = -1;
  rec->TimeFormat = tifNone;
  rec->AutomaticTimeUnits = btuSec;
  rec->PowerFormat = pofNone;
  rec->Refresh_Prm = false;

  if (letter != m_lastLetter) ++m_groupOrdinal;
  m_lastLetter = letter;
  rec->intTreeMainIndex = m_groupOrdinal;

  rec->Value_Index[vcDefault] = rec->Value_Index[vcMode1];
  if (!m_firstBuild) rec->Value_Index[vcDrive] = rec->Value_Index[vcMode1];

  // Definition checks: they guard the built-in table, so the first failure ends the build.
  const std::string no = std::to_string(number);
  const bool hasOff = HasOffValueType(editType);
  if (address < kFirstParameterAddress)
    Fail("Memory address for \"" + rec->Title + "\" is below base address.");
  else if (maximum < minimum)
    Fail("Paramater List Error Min>Max List No. : " + no);
  else if (divisor.IsZero())
    Fail("Range Step List Error List No. : " + no);
  else if (divisor < Fixed())
    Fail("Range Step List Error List < 0 NO. : " + no);
  if (Ok()) {
    for (int k = 1; k <= 4; ++k) {
      const Fixed v = rec->Value_Index[static_cast<std::size_t>(k - 1)];
      if ((v < minimum || v > maximum) && !(hasOff && v == rec->DisabledValue)) {
        Fail("Default Value Control Mode " + std::to_string(k) + " not in Range List Parameter No: " + no);
        break;
      }
    }
  }
  if (Ok() && !IsListEditType(editType) && !IsEditBoxType(editType))
    Fail("Parameter Type is not Valid List Parameter No: " + no);
  if (Ok() && IsSteppedType(editType) && stepSize == Fx(1))
    Fail("Resolution not set for List Type Parameter No: " + no);
  if (Ok() && hasOff && rec->DisabledValue == Fx(-1))
    Fail("Disabled Value not set for List Parameter No: " + no);
  if (Ok() && hasOff && rec->DisabledText.empty())
    Fail("Disabled Text not set for List Parameter No: " + no);

  ++m_nextAddress;
  return Ok() ? rec : nullptr;
}

void CatalogueBuilder::AddNumberPrm(char letter, std::string_view title, std::string_view units,
                                    Fixed defaultValue, Fixed minimum, Fixed maximum, Fixed divisor,
                                    std::uint8_t flags, const FLASHSET& applicationSet,
                                    const FLASHSET& firmwareSet)
{
  AddCommon(letter, title, units, defaultValue, minimum, maximum, divisor, etNumber, flags, applicationSet,
            firmwareSet, Fx(1), Fx(-1), "Off", pliNone);
}

void CatalogueBuilder::AddListPrm(char letter, std::string_view title, std::string_view units,
                                  Fixed defaultValue, Fixed minimum, Fixed maximum, Fixed divisor,
                                  TPrmListId listId, std::uint8_t flags, const FLASHSET& applicationSet,
                                  const FLASHSET& firmwareSet)
{
  AddCommon(letter, title, units, defaultValue, minimum, maximum, divisor, etList, flags, applicationSet,
            firmwareSet, Fx(1), Fx(-1), "Off", listId);
}

void CatalogueBuilder::AddOffPrm(char letter, std::string_view title, std::string_view units,
                                 Fixed defaultValue, Fixed minimum, Fixed maximum, Fixed divisor,
                                 Fixed offValue, std::string_view offText, std::uint8_t flags,
                                 const FLASHSET& applicationSet, const FLASHSET& firmwareSet)
{
  AddCommon(letter, title, units, defaultValue, minimum, maximum, divisor, etOffNumber, flags, applicationSet,
            firmwareSet, Fx(1), offValue, offText, pliNone);
}

void CatalogueBuilder::AddSteppedPrm(char letter, std::string_view title, std::string_view units,
                                     Fixed defaultValue, Fixed minimum, Fixed maximum, Fixed divisor,
                                     Fixed stepSize, std::uint8_t flags, const FLASHSET& applicationSet)
{
  AddCommon(letter, title, units, defaultValue, minimum, maximum, divisor, etSteppedNumber, flags,
            applicationSet, FLASHSET::All(), stepSize, Fx(-1), "Off", pliNone);
}

void CatalogueBuilder::ReserveAddress(char /*letter*/, std::string_view /*name*/, int address)
{
  if (!Ok()) return;
  m_nextAddress = address == -1 ? m_nextAddress + 1 : address;
}

void CatalogueBuilder::MarkSpecialAddress(unsigned slotMask)
{
  if (!Ok() || !m_special) return;
  for (int i = 0; i < kSpecialAddressCount; ++i)
    if (slotMask & (1u << i)) (*m_special)[static_cast<std::size_t>(i)] = static_cast<std::uint16_t>(m_nextAddress - 1);
}

void CatalogueBuilder::MapDependency(std::initializer_list<TDependencyIndex> roles)
{
  if (!Ok() || m_count < 1) return;
  for (TDependencyIndex role : roles)
    if (IsParameterRole(role)) m_table.DEPENDENCY_MAP.Set(role, m_count);
}

void CatalogueBuilder::Finish()
{
  if (Ok()) m_table.Truncate(m_count);
}

// ---------------------------------------------------------------------------------------------
// The built-in catalogue

std::string BuildParameterCatalogue(PrmTable& table, const TSelectionState& selection, bool firstBuild,
                                    TSpecialAddresses* specialAddresses)
{
  const FLASHSET kListed = FLASHSET::Range(1, 9);       // shown in the browser, overviews, reports
  const FLASHSET kSystem = FLASHSET::All();             // read-only system entries, also listed
  const FLASHSET kSelector{0};                          // event-record selectors, not listed
  const FLASHSET kInternal;                             // internal counters and timers
  const FLASHSET kAllFirmware = FLASHSET::All();
  const FLASHSET kNoFirmware;

  const int flashIndex = selection.CurrentFlashIndex;
  const FlaLimits fla = MotorFlaLimits(selection.CurrentModelCode);
  const MODEL_RATING& rating =
      MODEL_RATINGS()[static_cast<std::size_t>(ModelPositionOfCode(selection.CurrentModelCode, 1))];

  CatalogueBuilder b(table, firstBuild, specialAddresses);

    // ---- A: Motor Overload Information
    b.AddNumberPrm('A', "Motor FLA", "A.", fla.minimum, fla.minimum, fla.maximum, Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiMotorFla});
    b.AddListPrm('A', "Service Factor", "", Fx(100), Fx(100), Fx(130), Fx(1), pliServiceFactor, 0, kListed, kAllFirmware);
    b.MapDependency({deiServiceFactor});
    b.AddListPrm('A', "Overload Class During Start", "", Fx(10), Fx(5), Fx(30), Fx(1), pliOverloadClass, 0, kListed, kAllFirmware);
    b.MapDependency({deiOLduringStart});
    b.AddListPrm('A', "Overload Class During Run", "", Fx(10), Fx(5), Fx(30), Fx(1), pliOverloadClass, 0, kListed, kAllFirmware);
    b.MapDependency({deiOLduringRun});
    b.AddListPrm('A', "Overload Reset", "", Fx(0), Fx(0), Fx(2), Fx(1), pliOverloadReset, 0, kListed, kAllFirmware);
    b.MapDependency({deiOLReset});
    b.AddNumberPrm('A', "Select Event record Number", "", Fx(0), Fx(0), Fx(29), Fx(1), pflMonitorOnly, kSelector, kAllFirmware);
    b.AddNumberPrm('A', "Type of Selected Event Record", "", Fx(0), Fx(0), Fx(255), Fx(1), pflMonitorOnly, kSelector, kAllFirmware);
    b.AddNumberPrm('A', "Date Stamp of Selected Event record", "", Fx(0), Fx(0), Fx(1231), Fx(1), pflMonitorOnly, kSelector, kAllFirmware);
    b.AddNumberPrm('A', "Time Stamp of Selected Event record", "", Fx(0), Fx(0), Fx(1231), Fx(1), pflMonitorOnly, kSelector, kAllFirmware);

    // ---- B: Starting and Stopping Modes
    b.AddListPrm('B', "Ramp Select", "", Fx(1), Fx(1), Fx(4), Fx(1), pliRampSelect, 0, kListed, kAllFirmware);
    b.MapDependency({deiRampSelect});
    b.AddNumberPrm('B', "Initial Voltage of Ramp 1", "%", Fx(40), Fx(1), Fx(100), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiInitVoltageRamp1});
    b.AddNumberPrm('B', "Initial Current of Ramp 1", "%", Fx(200), Fx(0), Fx(600), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiInitCurrentRamp1});
    b.AddNumberPrm('B', "Accel Ramp Time of Ramp 1", "Sec.", Fx(10), Fx(1), Fx(120), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiInitAccelTimeRamp1});
    b.AddNumberPrm('B', "Max Current Limit of Ramp 1", "%", Fx(350), Fx(200), Fx(600), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiMaxCurrentRamp1});
    b.AddNumberPrm('B', "Initial Voltage of Ramp 2", "%", Fx(40), Fx(1), Fx(100), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiInitVoltageRamp2});
    b.AddNumberPrm('B', "Initial Current of Ramp 2", "%", Fx(200), Fx(0), Fx(600), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiInitCurrentRamp2});
    b.AddNumberPrm('B', "Accel Ramp Time of Ramp 2", "Sec.", Fx(10), Fx(1), Fx(120), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiInitAccelTimeRamp2});
    b.AddNumberPrm('B', "Max Current Limit of Ramp 2", "%", Fx(350), Fx(200), Fx(600), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiMaxCurrentRamp2});
    b.AddNumberPrm('B', "Voltage Jog", "%", Fx(50), Fx(5), Fx(100), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiVoltageJog});
    b.AddNumberPrm('B', "Time of Voltage Jog", "sec.", Fx(10), Fx(1), Fx(20), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiVoltageJogTime});
    b.AddNumberPrm('B', "Current Jog", "%", Fx(150), Fx(100), Fx(500), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiCurrentJog});
    b.AddOffPrm('B', "Kick Voltage", "%", Fx(0), Fx(10), Fx(100), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiKickVoltage});
    b.AddNumberPrm('B', "Kick Time", "Sec.", Fx(0.8), Fx(0.1), Fx(2), Fx(10), 0, kListed, kAllFirmware);
    b.MapDependency({deiKickTime});
    b.AddListPrm('B', "Deceleration Ramp", "", Fx(0), Fx(0), Fx(2), Fx(1), pliDecelerationRamp, 0, kListed, kAllFirmware);
    b.MapDependency({deiDecelRamp});
    b.AddNumberPrm('B', "Begin Decel Level (BDL)", "%", Fx(60), Fx(1), Fx(100), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiDecelLevel});
    b.AddNumberPrm('B', "Decel Shut Off Voltage", "%", Fx(30), Fx(0), Fx(200), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiDecelShutOffVoltage});
    b.AddNumberPrm('B', "Decel Ramp Time", "Sec.", Fx(10), Fx(1), Fx(60), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiDecelRampTime});
    b.AddOffPrm('B', "Auto Restart Delay Time", "sec.", Fx(0), Fx(1), Fx(999), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiAutoRestartDelayTime});

    // ---- C: Line Voltage
    b.AddNumberPrm('C', "Voltage Input", "V.", Fx(480), Fx(200), Fx(690), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiVoltageInput});
    b.AddOffPrm('C', "Voltage Imbalance Trip %", "%", Fx(0), Fx(0), Fx(30), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiVoltageImbalanceTrip});
    b.AddNumberPrm('C', "Voltage Imbalance Trip Delay", "Sec.", Fx(10), Fx(1), Fx(20), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiVoltageImbalanceTripDelay});
    b.AddOffPrm('C', "Over Voltage Trip %", "%", Fx(0), Fx(0), Fx(10), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiOverVoltageTrip});
    b.AddNumberPrm('C', "Over Voltage Trip Delay", "Sec.", Fx(10), Fx(1), Fx(20), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiOverVoltageTripDelay});
    b.AddOffPrm('C', "Under Voltage Trip on Start %", "%", Fx(0), Fx(0), Fx(20), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiUnderVoltageTriponStart});
    b.AddNumberPrm('C', "UV Trip on Start Delay", "Sec.", Fx(10), Fx(1), Fx(180), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiUnderVoltageTripStartDelay});
    b.AddOffPrm('C', "Under Voltage Trip on Run %", "%", Fx(0), Fx(0), Fx(20), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiUnderVoltageTriponRun});
    b.AddNumberPrm('C', "UV Trip Delay during Run", "Sec.", Fx(2), Fx(1), Fx(20), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiUnderVoltageTripDelay});

    // ---- D: Phase Current
    b.AddOffPrm('D', "Shorted SCR and Trip Delay", "Sec.", Fx(1), Fx(0), Fx(10), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiShortSCRTripDelay});
    b.AddOffPrm('D', "Shunt Trip and Trip Delay", "Sec.", Fx(1), Fx(0), Fx(10), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiShuntTripDelay});
    b.AddOffPrm('D', "Current Imbalance Trip %", "%", Fx(0), Fx(5), Fx(30), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiCurrentImbalanceTrip});
    b.AddNumberPrm('D', "Current Imbalance Trip Delay", "Sec.", Fx(2), Fx(1), Fx(20), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiCurrentImbalanceTripDelay});
    b.AddOffPrm('D', "Over Current Trip %", "%", Fx(0), Fx(100), Fx(300), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiOverCurrentTrip});
    b.AddNumberPrm('D', "Over Current Trip Delay", "Sec.", Fx(1), Fx(1), Fx(20), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiOverCurrentTripDelay});
    b.AddOffPrm('D', "Under Current %", "%", Fx(0), Fx(10), Fx(90), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiUnderCurrentTrip});
    b.AddNumberPrm('D', "Under Current Trip Delay", "Sec.", Fx(2), Fx(1), Fx(60), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiUnderCurrentTripDelay});
    b.AddOffPrm('D', "Ground Fault Current Trip Value", "%", Fx(0), Fx(5), Fx(90), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiGroundFaultCurrentTrip});
    b.AddNumberPrm('D', "Ground Fault Current Trip Delay", "Sec.", Fx(2), Fx(1), Fx(60), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiGroundFaultCurrentTripDelay});

    // ---- E: Inhibits
    b.AddOffPrm('E', "Coast Down Lockout Time", "Min.", Fx(0), Fx(1), Fx(60), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiCoastDownLockOutTime});
    b.AddOffPrm('E', "Maximum Starts per Hour", "", Fx(0), Fx(1), Fx(10), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiMaxStartsPerHour});
    b.AddOffPrm('E', "Minimum Time Between Starts", "Min.", Fx(0), Fx(1), Fx(60), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.MapDependency({deiMinStartsPerHour});

    // ---- F: Miscellaneous
    // The no-control-power trip came enabled by default on the early firmware versions.
    b.AddListPrm('F', "nCP Trip (No Control Power)", "", Fx(flashIndex < 10 ? 1 : 0), Fx(0), Fx(1), Fx(1), pliEnaDisSelect, 0, kListed, kAllFirmware);
    b.AddNumberPrm('F', "Auto Reset Selected Faults", "", Fx(4), Fx(2), Fx(17), Fx(1), 0, kListed, kAllFirmware);
    b.AddNumberPrm('F', "Auto Reset Attempts", "", Fx(0), Fx(0), Fx(10), Fx(1), 0, kListed, kAllFirmware);
    b.AddNumberPrm('F', "Auto Restart Delay Time", "Sec.", Fx(0), Fx(0), Fx(999), Fx(1), 0, kListed, kAllFirmware);
    b.AddNumberPrm('F', "Coast Down Timer Value", "sec.", Fx(0), Fx(0), Fx(3600), Fx(1), pflMonitorOnly, kInternal, kAllFirmware);
    b.AddNumberPrm('F', "Starts Per Hour Timer Value", "sec.", Fx(0), Fx(0), Fx(3600), Fx(1), pflMonitorOnly, kInternal, kAllFirmware);
    b.AddNumberPrm('F', "Starts Per Hour", "", Fx(0), Fx(0), Fx(10), Fx(1), pflMonitorOnly, kInternal, kAllFirmware);
    b.AddNumberPrm('F', "Time Value Between Starts", "sec.", Fx(0), Fx(0), Fx(3600), Fx(1), pflMonitorOnly, kInternal, kAllFirmware);
    b.AddNumberPrm('F', "Thermal Capacity to Start", "%", Fx(0), Fx(0), Fx(100), Fx(1), pflMonitorOnly, kInternal, kAllFirmware);

    // ---- G: Relays
    b.AddListPrm('G', "Aux Relay 1 setting", "", Fx(1), Fx(1), Fx(32), Fx(1), pliAuxRelaySetting, 0, kListed, kAllFirmware);
    b.MapDependency({deiAuxRelay1});
    b.AddListPrm('G', "Aux Relay 2 setting", "", Fx(2), Fx(1), Fx(32), Fx(1), pliAuxRelaySetting, 0, kListed, kAllFirmware);
    b.MapDependency({deiAuxRelay2});
    b.AddListPrm('G', "Aux Relay 3 setting", "", Fx(22), Fx(1), Fx(32), Fx(1), pliAuxRelaySetting, 0, kListed, kAllFirmware);
    b.MapDependency({deiAuxRelay3});
    b.AddNumberPrm('G', "Aux. Relay Delay Timer", "sec.", Fx(0), Fx(0), Fx(999), Fx(1), 0, kListed, kAllFirmware);
    b.MapDependency({deiAuxRelayDelayTimer});

    // ---- H: System Settings
    b.AddNumberPrm('H', "Current Limit Bias", "%", Fx(0), Fx(0), Fx(100), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);

    // ---- I: Communications
    b.AddListPrm('I', "Communications", "", Fx(0), Fx(0), Fx(4), Fx(1), pliCommunications, pflMonitorOnly, kSystem, kAllFirmware);
    b.AddListPrm('I', "Baud Rate", "", Fx(1), Fx(0), Fx(2), Fx(1), pliBaudRate, pflMonitorOnly, kSystem, kAllFirmware);
    b.AddNumberPrm('I', "Modbus Address", "", Fx(1), Fx(1), Fx(247), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);
    b.AddListPrm('I', "Remote Starter Control", "", Fx(0), Fx(0), Fx(3), Fx(1), pliRemoteStarterControl, 0, kListed, kAllFirmware);

    // ---- J: System Settings
    b.AddNumberPrm('J', "Inflectional Point", "", Fx(5000), Fx(0), Fx(9999), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);
    b.AddOffPrm('J', "Parameter Lock/ Level 1 Password", "", Fx(0), Fx(0), Fx(999), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    b.AddListPrm('J', "System Clear / Factory Reset", "", Fx(0), Fx(0), Fx(4), Fx(1), pliFactoryReset, pflMonitorOnly, kSystem, kAllFirmware);
    b.MapDependency({deiSystemClearAndFactoryReset});
    b.AddNumberPrm('J', "Factory Password", "", Fx(kFactoryPasswordValue), Fx(kFactoryPasswordValue), Fx(9999), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);
    b.MapDependency({deiFactoryPassword});
    b.AddNumberPrm('J', "Frame Rating", "", rating.FrameRating, Fx(10), Fx(1500), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);
    b.MapDependency({deiFrameRating});
    b.AddSteppedPrm('J', "CT Value", "", rating.CtValue, Fx(10), Fx(1500), Fx(1), Fx(5), 0, kListed);
    b.MapDependency({deiCtValue});

    // ---- K: Calendar (the starter's real-time clock)
    b.AddNumberPrm('K', "Year", "", Fx(2000), Fx(2000), Fx(2047), Fx(1), pflMonitorOnly, kListed, kAllFirmware);
    b.MarkSpecialAddress(1u << sasYear);
    b.AddNumberPrm('K', "Month", "", Fx(1), Fx(1), Fx(12), Fx(1), pflMonitorOnly, kListed, kAllFirmware);
    b.MarkSpecialAddress(1u << sasMonth);
    b.AddNumberPrm('K', "Day", "", Fx(1), Fx(1), Fx(31), Fx(1), pflMonitorOnly, kListed, kAllFirmware);
    b.MarkSpecialAddress(1u << sasDay);
    b.AddNumberPrm('K', "Hour", "", Fx(0), Fx(0), Fx(23), Fx(1), pflMonitorOnly, kListed, kAllFirmware);
    b.MarkSpecialAddress(1u << sasHour);
    b.AddNumberPrm('K', "Minute", "", Fx(0), Fx(0), Fx(59), Fx(1), pflMonitorOnly, kListed, kAllFirmware);
    b.MarkSpecialAddress(1u << sasMinute);
    b.AddNumberPrm('K', "Seconds", "", Fx(0), Fx(0), Fx(59), Fx(1), pflMonitorOnly, kListed, kAllFirmware);
    b.MarkSpecialAddress(1u << sasSeconds);

    // ---- L: System Settings
    b.AddNumberPrm('L', "Revision#", "", Fx(0), Fx(0), Fx(65535), Fx(1), pflMonitorOnly, kInternal, kAllFirmware);
    b.MarkSpecialAddress((1u << sasRevision) | (1u << sasRevision2));
    b.AddNumberPrm('L', "Proportional Factor", "%", Fx(0), Fx(0), Fx(1000), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);
    b.AddNumberPrm('L', "Integral Factor", "ms", Fx(0), Fx(0), Fx(400), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);
    b.AddNumberPrm('L', "Differential Factor", "ms", Fx(0), Fx(0), Fx(100), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);

    // The fault history block: latest, previous and oldest fault, each as code, time and date.
    b.ReserveAddress('L', "Fault History #1, Latest Fault", -1);
    b.MarkSpecialAddress(1u << sasFaultHistory);
    b.ReserveAddress('L', "Time Stamp, Fault #1", -1);
    b.ReserveAddress('L', "Date Stamp, Fault #1", -1);
    b.ReserveAddress('L', "Fault History #2, Previous Fault", -1);
    b.ReserveAddress('L', "Time Stamp, Fault #2", -1);
    b.ReserveAddress('L', "Date Stamp, Fault #2", -1);
    b.ReserveAddress('L', "Fault History #3, Oldest Fault", -1);
    b.ReserveAddress('L', "Time Stamp, Fault #3", -1);
    b.ReserveAddress('L', "Date Stamp, Fault #3", -1);

    // ---- M: Run Time
    b.AddNumberPrm('M', "Run Time Hours", "hrs", Fx(0), Fx(0), Fx(999.9), Fx(10), pflMonitorOnly, kSystem, kAllFirmware);
    b.AddNumberPrm('M', "Run Time Hours x 1000", "k-hrs", Fx(0), Fx(0), Fx(9999), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);
    b.AddNumberPrm('M', "Run Counts", "times", Fx(0), Fx(0), Fx(9999), Fx(1), pflMonitorOnly, kListed, kAllFirmware);
    b.AddNumberPrm('M', "Run Counts x 10k", "10k-times", Fx(0), Fx(0), Fx(9999), Fx(1), pflMonitorOnly, kSystem, kAllFirmware);

    // ---- N: Phase Protection
    b.AddListPrm('N', "Phase Rotation Trip", "", Fx(0), Fx(0), Fx(2), Fx(1), pliPhaseRotationTrip, 0, kListed, kAllFirmware);
    b.AddNumberPrm('N', "Phase Rotation Trip Delay", "Sec.", Fx(1), Fx(1), Fx(3), Fx(1), 0, kListed, kAllFirmware);
    b.AddOffPrm('N', "Phase Loss Trip and Delay During Stop", "Sec.", Fx(1), Fx(0), Fx(20), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);
    // Later firmware waits longer before tripping on a phase lost while running.
    b.AddOffPrm('N', "Phase Loss Trip and Delay During Running", "Sec.", Fx(flashIndex < 13 ? 1 : 3), Fx(0), Fx(20), Fx(1), Fx(0), "Off", 0, kListed, kAllFirmware);

    // ---- O: Power
    b.AddListPrm('O', "Motor KW Trip", "", Fx(0), Fx(0), Fx(2), Fx(1), pliMotorKwTrip, 0, kListed, kAllFirmware);
    b.AddNumberPrm('O', "Motor KW Trip Point", "%", Fx(50), Fx(20), Fx(100), Fx(1), 0, kListed, kAllFirmware);
    b.AddNumberPrm('O', "Motor KW Trip Delay Time", "Sec.", Fx(1), Fx(1), Fx(999), Fx(1), 0, kListed, kAllFirmware);
    b.AddListPrm('O', "Power Factor Trip Range", "", Fx(0), Fx(0), Fx(3), Fx(1), pliPowerFactorTripRange, 0, kListed, kAllFirmware);
    b.AddNumberPrm('O', "Power Factor Trip Point", "", Fx(0.5), Fx(0.01), Fx(1), Fx(100), 0, kListed, kAllFirmware);
    b.AddNumberPrm('O', "Power Factor Trip Delay Time", "Sec.", Fx(2), Fx(1), Fx(20), Fx(1), 0, kListed, kAllFirmware);

    // ---- P: Analog Output
    b.AddListPrm('P', "Analog Output", "", Fx(0), Fx(0), Fx(12), Fx(1), pliAnalogOutput, 0, kListed, kAllFirmware);
    b.AddNumberPrm('P', "Analog Output 4 mA", "", Fx(0), Fx(0), Fx(9999), Fx(1), 0, kListed, kAllFirmware);
    b.AddNumberPrm('P', "Analog Output 20 mA", "", Fx(9999), Fx(0), Fx(9999), Fx(1), 0, kListed, kAllFirmware);

    // ---- Q: System Settings
    b.AddListPrm('Q', "Default Display", "", Fx(10), Fx(0), Fx(12), Fx(1), pliAnalogOutput, 0, kListed, kAllFirmware);
    b.AddNumberPrm('Q', "System Settings", "", Fx(flashIndex <= 6 ? 4 : (flashIndex <= 8 ? 68 : 5)), Fx(0), Fx(255), Fx(1), 0, kListed, kAllFirmware);
    // The second settings register came with firmware 1.30 (position 8); earlier versions lack it.
    b.AddNumberPrm('Q', "System Settings 2", "", Fx(flashIndex < 9 ? 4 : 7), Fx(0), Fx(255), Fx(1), 0, kListed, flashIndex < 8 ? kNoFirmware : kAllFirmware);

  b.Finish();
  return b.Error();
}

std::string BuildPrmLists(PrmTable& table, bool /*firstBuild*/)
{
  for (int n = 1; n <= table.Count(); ++n) {
    PRM_REC& rec = table[n];
    // A rebuild releases the old items; a first build starts from none.
    rec.ValueSTR.Clear();
    const auto texts = PrmListTexts(rec.PrmListId);
    if (IsListEditType(rec.EDIT_TYPE) && rec.PrmListId == pliNone)
      return "Edit type is combo box but no list found for Save ID: " + rec.SaveId;
    if (texts.empty()) continue;
    if (!IsListEditType(rec.EDIT_TYPE)) return "Error in list for Save ID: " + rec.SaveId;
    const Fixed minimum = GetPrmMinimum(table, n, vcMode1);
    const Fixed maximum = GetPrmMaximum(table, n, vcMode1);
    int value = -1;
    for (const TPrmListItem& item : texts) {
      value = item.Value == kNextListValue ? value + 1 : item.Value;
      if (Fx(value) < minimum || Fx(value) > maximum) continue;
      if (rec.ValueSTR.TOTAL >= kMaxListItems)
        return "Parameter too many items listed, max = " + std::to_string(kMaxListItems) + "!";
      rec.ValueSTR.Add(std::string(item.Text), static_cast<std::uint16_t>(value));
    }
  }
  return {};
}

// ---------------------------------------------------------------------------------------------
// Motor FLA

FlaLimits MotorFlaRangeOf(Fixed frameRating, Fixed serviceFactor, std::int32_t modelCode)
{
  if (modelCode <= 0) return {Fx(5), Fx(1500)};
  return {(frameRating * Fx(0.5) / serviceFactor).Rounded(), (frameRating / serviceFactor).Rounded()};
}

void UpdateMotorFlaRange(PrmTable& table, int column, const TSelectionState& selection)
{
  const int frameNo = table.DEPENDENCY_MAP[deiFrameRating];
  const int sfNo = table.DEPENDENCY_MAP[deiServiceFactor];
  const int flaNo = table.DEPENDENCY_MAP[deiMotorFla];
  if (!table.Exists(frameNo) || !table.Exists(sfNo) || !table.Exists(flaNo)) return;
  const Fixed fr = GetPrmValue(table, frameNo, column);
  const Fixed sf = ListNumericValue(table, sfNo, column);
  if (sf.IsZero()) return;
  const FlaLimits limits = MotorFlaRangeOf(fr, sf, selection.CurrentModelCode);
  const Fixed minimum = limits.minimum;
  const Fixed maximum = limits.maximum;
  PRM_REC& fla = table[flaNo];
  if (fla.Range_Step.Ranges.empty()) fla.Range_Step.Ranges.push_back(TPrmRange{});
  fla.Range_Step.Ranges[0].Minimum = minimum;
  fla.Range_Step.Ranges[0].Maximum = maximum;
  fla.Value_Index[vcDefault] = (fr * Fx(0.5) / sf).Rounded();
  Fixed v = GetPrmValue(table, flaNo, column);
  if (v > maximum) v = maximum;
  if (v < minimum) v = minimum;
  SetPrmValue(table, flaNo, column, true, v, selection);
}

}  // namespace rv8::param
