#include "param/VarDrive.h"

#include <cstdio>
#include <string_view>

namespace rv8::param {

TModifiedFlags MODIFIED_FLAGS;
PrmTable PRM_TABLE(kMaxParameters);
PrmTable SIGNAL_TABLE(kMaxSignals);
TSelectionState SELECTION;

namespace {

class SilentWarningSink : public IWarningSink {
public:
  void ShowWarning(const std::string&) override {}
};

SilentWarningSink g_silentSink;
IWarningSink* g_warningSink = &g_silentSink;

}  // namespace

IWarningSink& WarningSink() { return *g_warningSink; }

IWarningSink* SetWarningSink(IWarningSink* sink) {
  IWarningSink* previous = g_warningSink == &g_silentSink ? nullptr : g_warningSink;
  g_warningSink = sink ? sink : &g_silentSink;
  return previous;
}

// ---------------------------------------------------------------------------------------------
// DESC_REC

void DESC_REC::Clear() {
  for (int i = 0; i < kListSlots; ++i) {
    auto s = static_cast<std::size_t>(i);
    STRARRAY[s].clear();
    ENABLE_A[s].fill(false);
    TRVALUE[s] = 0;
    Ext[s].clear();
    Units[s] = 0;
  }
  TOTAL = 0;
}

bool DESC_REC::Add(const std::string& text, std::uint16_t value) {
  if (TOTAL < 0 || TOTAL >= kListSlots) return false;
  auto s = static_cast<std::size_t>(TOTAL);
  STRARRAY[s] = text;
  ENABLE_A[s] = {true, true, true, true, false};
  TRVALUE[s] = value;
  Ext[s].clear();
  Units[s] = 0;
  ++TOTAL;
  return true;
}

// ---------------------------------------------------------------------------------------------
// PrmTable

PrmTable::PrmTable(int capacity) : m_capacity(capacity < 0 ? 0 : capacity) {
  m_records.reserve(static_cast<std::size_t>(m_capacity));
}

PrmTable::PrmTable(const PrmTable& other)
    : DEPENDENCY_MAP(other.DEPENDENCY_MAP), ModifiedFlags(other.ModifiedFlags), m_capacity(other.m_capacity) {
  m_records.reserve(static_cast<std::size_t>(m_capacity));
  m_records = other.m_records;
}

PrmTable& PrmTable::operator=(const PrmTable& other) {
  if (this == &other) return *this;
  DEPENDENCY_MAP = other.DEPENDENCY_MAP;
  ModifiedFlags = other.ModifiedFlags;
  m_capacity = other.m_capacity;
  if (m_records.capacity() < static_cast<std::size_t>(m_capacity)) {
    std::vector<PRM_REC> fresh;
    fresh.reserve(static_cast<std::size_t>(m_capacity));
    m_records.swap(fresh);
  }
  m_records = other.m_records;
  return *this;
}

PRM_REC* PrmTable::Append() {
  if (Count() >= m_capacity) return nullptr;
  m_records.emplace_back();
  PRM_REC& r = m_records.back();
  r.Index = Count();
  r.Num = static_cast<std::uint16_t>(r.Index);
  r.PRMNUM = r.Num;
  return &r;
}

void PrmTable::Truncate(int count) {
  if (count >= 0 && count < Count()) m_records.resize(static_cast<std::size_t>(count));
}

}  // namespace rv8::param

// =============================================================================================
// Value operations

namespace rv8::param {

namespace {

bool ValidColumn(int column) { return column >= 0 && column < kValueColumns; }

Fixed Cell(const PRM_REC& r, int column) { return r.Value_Index[static_cast<std::size_t>(column)]; }

const TPrmRange* FirstRange(const PRM_REC& r) {
  return r.Range_Step.Ranges.empty() ? nullptr : &r.Range_Step.Ranges.front();
}

// The first record of the multi-register group `number` belongs to (itself when it is not a
// continuation record).
int GroupHead(const PrmTable& table, int number) {
  while (number > 1 && table[number].IsContinuation) --number;
  return number;
}

// Edit types whose value spans the records of a group.
bool IsGroupEditType(int t) { return IsMultiRegisterType(t) || IsTextType(t); }

bool RecordHasOffValue(const PrmTable& table, int number) {
  return HasOffValueType(table[GroupHead(table, number)].EDIT_TYPE);
}

// Stores one record's cell; true when the cell changed.
bool StoreCell(PRM_REC& r, int column, Fixed value) {
  Fixed& cell = r.Value_Index[static_cast<std::size_t>(column)];
  r.Refresh_Prm = true;
  if (cell == value) return false;
  cell = value;
  return true;
}

void MarkModified(PrmTable& table, int column, bool markModified, bool changed, const TSelectionState& selection) {
  if (changed && markModified && column == selection.CurrentControlMode && table.ModifiedFlags != nullptr) {
    table.ModifiedFlags->ProjectModified = true;
    table.ModifiedFlags->EditorValueChanged = true;
  }
}

// 65536^k as a multiplier (whole numbers; shifting negative figures is done arithmetically).
std::int64_t WordWeight(int k) { return std::int64_t{1} << (16 * k); }

// Sum of Trunc(figure of record k) x 65536^k over the group starting at `number`.
template <typename Figure>
Fixed ComposeGroup(const PrmTable& table, int number, Figure figure) {
  int n = GroupLength(table, number);
  std::int64_t sum = 0;
  for (int k = 0; k < n && k < 4; ++k) sum += figure(table[number + k]).Trunc() * WordWeight(k);
  return Fixed::FromInt(sum);
}

bool IsGroupHead(const PrmTable& table, int number) {
  const PRM_REC& r = table[number];
  return !r.IsContinuation && IsMultiRegisterType(r.EDIT_TYPE);
}

// Position of the temperature-units parameter's value among its items, for edit type 30;
// -1 when it cannot be found.
int TemperatureRangeIndex(const PrmTable& table, int column) {
  int units = table.DEPENDENCY_MAP[deiTemperatureUnits];
  if (!table.Exists(units)) return -1;
  return ListIndexOfValue(table, units, GetPrmValue(table, units, column));
}

// The range that applies to the record in the column (nullptr for none).
const TPrmRange* RangeFor(const PrmTable& table, int number, int column, bool& unitDependentMiss) {
  const PRM_REC& r = table[number];
  unitDependentMiss = false;
  if (IsUnitDependentType(r.EDIT_TYPE)) {
    int k = TemperatureRangeIndex(table, column);
    if (k >= 0 && k < static_cast<int>(r.Range_Step.Ranges.size()))
      return &r.Range_Step.Ranges[static_cast<std::size_t>(k)];
    unitDependentMiss = true;
  }
  return FirstRange(r);
}

constexpr std::string_view kTextParameterCharacters = " !#$%&()*+-.,0123456789@ABCDEFGHIJKLMNOPQRSTUVWXYZ^_";

std::string FormatHhmm(std::int64_t n) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%.2lld:%.2lld", static_cast<long long>((n % 10000) / 100),
                static_cast<long long>((n % 10000) % 100));
  return buf;
}

// Minutes of an hhmm figure, with 60 minutes carried into an hour and 24 hours into a day.
std::int64_t HhmmToMinutes(Fixed value) {
  std::int64_t n = value.Trunc();
  return (n / 100) * 60 + n % 100;
}

std::int64_t MinutesToHhmm(std::int64_t minutes) {
  std::int64_t ofDay = minutes % 1440;
  if (ofDay < 0) ofDay += 1440;
  return (ofDay / 60) * 100 + ofDay % 60;
}

}  // namespace

int Number_of_Digits(Fixed divisor) {
  int n = 0;
  while (divisor >= Fx(10)) {
    divisor = Fixed::FromInt((divisor / Fx(10)).Round());
    ++n;
  }
  return n;
}

bool PrmExists(const PrmTable& table, int number) { return table.Exists(number); }

bool IsInFirmware(const PrmTable& table, int number, const TSelectionState& selection) {
  return table.Exists(number) && table[number].FLASHNO_INDEX.Contains(selection.CurrentFlashIndex);
}

int ModeColumnOf(int column, const TSelectionState& selection) {
  return column >= 0 && column < kModeColumns ? column : selection.CurrentControlMode;
}

bool IsPrmAvailable(const PrmTable& table, int number, int column, int visibilityMode,
                    const TSelectionState& selection) {
  if (!IsInFirmware(table, number, selection)) return false;
  if (visibilityMode == 0) return true;
  const PRM_REC& r = table[number];
  int c = ModeColumnOf(column, selection);
  bool visible = c >= 0 && c < kModeColumns && r.Visible_M1[static_cast<std::size_t>(c)];
  if ((r.ADVANCED < 1 || selection.AdvancedMode) && visible) return true;
  if (visibilityMode == 1 && number == table.DEPENDENCY_MAP[deiCtValue]) return true;
  return false;
}

bool IsPrmEditable(const PrmTable& table, int number, int column, const TSelectionState& selection) {
  return IsPrmAvailable(table, number, column, 2, selection) && !table[number].MONITOR_ONLY;
}

int GroupLength(const PrmTable& table, int number) {
  if (!table.Exists(number)) return 0;
  int n = 1;
  while (table.Exists(number + n) && table[number + n].IsContinuation) ++n;
  return n;
}

Fixed ComposeGroupMinimum(const PrmTable& table, int number) {
  if (!table.Exists(number)) return Fixed();
  return ComposeGroup(table, number, [](const PRM_REC& r) {
    const TPrmRange* range = FirstRange(r);
    return range ? range->Minimum : Fixed();
  });
}

Fixed ComposeGroupMaximum(const PrmTable& table, int number) {
  if (!table.Exists(number)) return Fixed();
  return ComposeGroup(table, number, [](const PRM_REC& r) {
    const TPrmRange* range = FirstRange(r);
    return range ? range->Maximum : Fixed();
  });
}

bool IsPrmOff(const PrmTable& table, int number, int column) {
  if (!table.Exists(number) || !ValidColumn(column)) return false;
  int head = GroupHead(table, number);
  const PRM_REC& h = table[head];
  if (!HasOffValueType(h.EDIT_TYPE)) return false;
  int n = IsMultiRegisterType(h.EDIT_TYPE) ? GroupLength(table, head) : 1;
  if (!IsMultiRegisterType(h.EDIT_TYPE)) return Cell(table[number], column) == table[number].DisabledValue;
  for (int k = 0; k < n; ++k)
    if (Cell(table[head + k], column) != h.DisabledValue) return false;
  return true;
}

Fixed GetPrmValue(const PrmTable& table, int number, int column) {
  if (!table.Exists(number) || !ValidColumn(column)) return Fixed();
  if (!IsGroupHead(table, number)) return Cell(table[number], column);
  if (IsPrmOff(table, number, column)) return table[number].DisabledValue;
  return ComposeGroup(table, number, [column](const PRM_REC& r) { return Cell(r, column); });
}

void SetPrmValue(PrmTable& table, int number, int column, bool markModified, Fixed value,
                 const TSelectionState& selection) {
  if (!table.Exists(number) || !ValidColumn(column)) return;
  bool changed = false;
  if (IsGroupHead(table, number)) {
    PRM_REC& head = table[number];
    int n = GroupLength(table, number);
    if (HasOffValueType(head.EDIT_TYPE) && value == head.DisabledValue) {
      Fixed off = head.DisabledValue;
      for (int k = 0; k < n; ++k) changed = StoreCell(table[number + k], column, off) || changed;
    } else {
      std::int64_t whole = value.Trunc();
      for (int k = 0; k < n; ++k) {
        std::int64_t word = k < 4 ? (whole >> (16 * k)) & 0xFFFF : 0;
        changed = StoreCell(table[number + k], column, Fixed::FromInt(word)) || changed;
      }
    }
  } else {
    changed = StoreCell(table[number], column, value);
  }
  MarkModified(table, column, markModified, changed, selection);
}

Fixed GetPrmDivisor(const PrmTable& table, int number) {
  if (!table.Exists(number)) return Fixed();
  return table[number].Range_Step.Divisor;
}

Fixed GetPrmMinimum(const PrmTable& table, int number, int column) {
  if (!table.Exists(number)) return Fixed();
  if (IsGroupHead(table, number)) return ComposeGroupMinimum(table, number);
  bool miss = false;
  const TPrmRange* range = RangeFor(table, number, column, miss);
  return range ? range->Minimum : Fixed();
}

Fixed GetPrmMaximum(const PrmTable& table, int number, int column) {
  if (!table.Exists(number)) return Fixed();
  if (IsGroupHead(table, number)) return ComposeGroupMaximum(table, number);
  bool miss = false;
  const TPrmRange* range = RangeFor(table, number, column, miss);
  return range ? range->Maximum : Fixed();
}

std::string GetPrmUnits(const PrmTable& table, int number, int column) {
  if (!table.Exists(number)) return std::string();
  bool miss = false;
  const TPrmRange* range = RangeFor(table, number, column, miss);
  if (miss || range == nullptr) return std::string();
  return range->Ext;
}

void RegisterToPrmValue(PrmTable& table, int number, int column, std::uint16_t word,
                        const TSelectionState& selection) {
  if (!table.Exists(number) || !ValidColumn(column)) return;
  PRM_REC& r = table[number];
  Fixed divisor = r.Range_Step.Divisor;
  if (divisor.IsZero()) return;
  // Each register of a group is read on its own: its sign follows its own range, its value is
  // stored into its own record.
  bool inGroup = IsMultiRegisterType(table[GroupHead(table, number)].EDIT_TYPE);
  Fixed minimum;
  if (inGroup) {
    const TPrmRange* range = FirstRange(r);
    minimum = range ? range->Minimum : Fixed();
  } else {
    minimum = GetPrmMinimum(table, number, column);
  }
  std::int64_t whole = word;
  if ((word & 0x8000) != 0 && minimum < Fixed()) whole = -static_cast<std::int64_t>(((~word) & 0xFFFF) + 1);
  Fixed v = Fixed::FromInt(whole);
  bool isOff = RecordHasOffValue(table, number) && v == r.DisabledValue;
  if (divisor != Fx(1) && !isOff) v = v / divisor;
  bool changed = StoreCell(r, column, v);
  MarkModified(table, column, false, changed, selection);
}

std::uint16_t PrmValueToRegister(const PrmTable& table, int number, int column) {
  if (!table.Exists(number) || !ValidColumn(column)) return 0;
  const PRM_REC& r = table[number];
  Fixed v = Cell(r, column);
  int head = GroupHead(table, number);
  bool off = IsMultiRegisterType(table[head].EDIT_TYPE) ? IsPrmOff(table, head, column)
                                                          : IsPrmOff(table, number, column);
  Fixed raw = off ? v : v * r.Range_Step.Divisor;
  std::int64_t magnitude = raw.Abs().Round();
  std::int64_t word = raw < Fixed() ? 65536 - magnitude : magnitude;
  return static_cast<std::uint16_t>(word & 0xFFFF);
}

std::string FormatPrmNumber(const PrmTable& table, int number, Fixed value) {
  if (!table.Exists(number)) return std::string();
  const PRM_REC& r = table[number];
  if (r.EDIT_TYPE == etTimeOfDay) return FormatHhmm(value.Trunc());
  return FormatFixed(value, 0, Number_of_Digits(r.Range_Step.Divisor), false);
}

std::string DecodePrmText(const PrmTable& table, int number, int column) {
  if (!table.Exists(number) || !ValidColumn(column)) return std::string();
  int n = GroupLength(table, number);
  std::string bytes;
  for (int k = 0; k < n; ++k) {
    std::int64_t v = Cell(table[number + k], column).Trunc();
    auto low = static_cast<char>(v & 0xFF);
    auto high = static_cast<char>((v >> 8) & 0xFF);
    if (low == 0) break;
    bytes += low;
    if (high == 0) break;
    bytes += high;
  }
  return Cp1252ToUtf8(bytes);
}

void EncodePrmText(PrmTable& table, int number, int column, bool markModified, const std::string& text,
                   const TSelectionState& selection) {
  if (!table.Exists(number) || !ValidColumn(column)) return;
  // First 15 characters, upper case, anything outside the starter's character set a space.
  std::string chars;
  std::size_t i = 0;
  while (i < text.size() && chars.size() < 15) {
    std::size_t start = i;
    char32_t c = FirstCodePoint(std::string_view(text).substr(start));
    // Advance over one UTF-8 sequence (or one invalid byte).
    ++i;
    while (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80 && c >= 0x80) ++i;
    if (c >= 'a' && c <= 'z') c = c - 'a' + 'A';
    chars += c < 0x80 && kTextParameterCharacters.find(static_cast<char>(c)) != std::string_view::npos
                 ? static_cast<char>(c)
                 : ' ';
  }
  int n = GroupLength(table, number);
  bool changed = false;
  for (int k = 0; k < n; ++k) {
    std::size_t p = static_cast<std::size_t>(2 * k);
    int low = p < chars.size() ? static_cast<unsigned char>(chars[p]) : 0;
    int high = p + 1 < chars.size() ? static_cast<unsigned char>(chars[p + 1]) : 0;
    changed = StoreCell(table[number + k], column, Fixed::FromInt(low | (high << 8))) || changed;
  }
  MarkModified(table, column, markModified, changed, selection);
}

std::string FormatPrmValue(const PrmTable& table, int number, int column) {
  if (!table.Exists(number) || !ValidColumn(column)) return std::string();
  const PRM_REC& r = table[number];
  if (IsPrmOff(table, number, column)) return r.DisabledText;
  if (IsTextType(r.EDIT_TYPE)) return DecodePrmText(table, number, column);
  return FormatPrmNumber(table, number, GetPrmValue(table, number, column));
}

Fixed ParsePrmText(PrmTable& table, int number, int column, const std::string& text,
                   const TSelectionState& selection) {
  if (!table.Exists(number) || !ValidColumn(column)) return Fixed();
  const PRM_REC& r = table[number];
  const int editType = r.EDIT_TYPE;
  if (HasOffValueType(editType) && text == r.DisabledText) {
    SetPrmValue(table, number, column, true, r.DisabledValue, selection);
    return r.DisabledValue;
  }
  if (IsTextType(editType)) {
    EncodePrmText(table, number, column, true, text, selection);
    return GetPrmValue(table, number, column);
  }
  std::string source = RemoveThousandsSeparators(text);
  if (editType == etTimeOfDay) source = RemoveCharacters(source, ":");
  Fixed value = ParseFixed(source, false, Fixed());
  if (IsSteppedType(editType) && !r.StepSize.IsZero()) {
    Fixed adjusted = Fixed::FromInt((value / r.StepSize).Round()) * r.StepSize;
    if (adjusted != value) {
      WarningSink().ShowWarning("Parameter has to be set in increments of " +
                                FormatFixed(r.StepSize, 0, Number_of_Digits(r.Range_Step.Divisor), false) +
                                ", the value entered will be automatically adjusted.");
      value = adjusted;
    }
  }
  Fixed minimum = GetPrmMinimum(table, number, column);
  Fixed maximum = GetPrmMaximum(table, number, column);
  if (editType == etTimeOfDay) {
    std::int64_t t = HhmmToMinutes(value);
    std::int64_t tMin = HhmmToMinutes(minimum);
    std::int64_t tMax = HhmmToMinutes(maximum);
    if (t > tMax) t = tMax;
    else if (t < tMin) t = tMin;
    value = Fixed::FromInt(MinutesToHhmm(t));
  } else if (value > maximum) {
    value = maximum;
  } else if (value < minimum) {
    value = minimum;
  }
  SetPrmValue(table, number, column, true, value, selection);
  return value;
}

int ListIndexOfValue(const PrmTable& table, int number, Fixed value) {
  if (!table.Exists(number)) return -1;
  const DESC_REC& list = table[number].ValueSTR;
  std::int64_t whole = value.Trunc();
  for (int i = 0; i < list.TOTAL && i < kListSlots; ++i)
    if (list.TRVALUE[static_cast<std::size_t>(i)] == whole) return i;
  return -1;
}

std::string ListTextOfValue(const PrmTable& table, int number, int column, Fixed value, const std::string& fallback,
                            const TSelectionState& selection) {
  int i = ListIndexOfValue(table, number, value);
  if (i < 0) return fallback;
  const PRM_REC& r = table[number];
  int c = ModeColumnOf(column, selection);
  bool enabled = c >= 0 && c < kModeColumns && r.ValueSTR.ENABLE_A[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)];
  if (enabled) return r.ValueSTR.STRARRAY[static_cast<std::size_t>(i)];
  WarningSink().ShowWarning("Parameter setting disabled: " + r.Title);
  return fallback;
}

Fixed ListNumericValue(const PrmTable& table, int number, int column) {
  Fixed v = GetPrmValue(table, number, column);
  int i = ListIndexOfValue(table, number, v);
  if (i < 0) return v;
  return ParseFixed(table[number].ValueSTR.STRARRAY[static_cast<std::size_t>(i)], true, v);
}

std::string PrmHintText(const PrmTable& table, int number, int column) {
  if (!table.Exists(number)) return std::string();
  const PRM_REC& r = table[number];
  if (IsTextType(r.EDIT_TYPE)) return std::string();
  std::string hint = FormatPrmNumber(table, number, GetPrmMinimum(table, number, column)) + " to " +
                     FormatPrmNumber(table, number, GetPrmMaximum(table, number, column));
  std::string units = GetPrmUnits(table, number, column);
  if (!units.empty()) hint += " " + units;
  if (HasOffValueType(r.EDIT_TYPE)) hint += " or " + r.DisabledText;
  return hint;
}

void CopyPrmColumn(PrmTable& table, int number, int fromColumn, int toColumn, const TSelectionState& selection) {
  if (!table.Exists(number) || !ValidColumn(fromColumn) || !ValidColumn(toColumn) || fromColumn == toColumn) return;
  // Groups are copied record by record, which keeps every word (and text bytes) exactly.
  int n = IsGroupEditType(table[number].EDIT_TYPE) && !table[number].IsContinuation ? GroupLength(table, number) : 1;
  bool changed = false;
  for (int k = 0; k < n; ++k) {
    PRM_REC& r = table[number + k];
    changed = StoreCell(r, toColumn, Cell(r, fromColumn)) || changed;
  }
  MarkModified(table, toColumn, false, changed, selection);
}

void FillParameterInfo(const PrmTable& table, int number, int columnSelector, parameter_info& row,
                       const TSelectionState& selection) {
  row = parameter_info();
  if (!table.Exists(number)) return;
  const PRM_REC& r = table[number];
  const int working = selection.CurrentControlMode;
  const int column = columnSelector == 3 ? vcDrive : columnSelector == 4 ? vcDefault : working;

  row.Prm_Number = r.PARAMETER_ID;
  row.Prm_Title = r.Title;
  char addr[32];
  std::snprintf(addr, sizeof addr, "%u (%04Xh)", static_cast<unsigned>(r.PRMADDR), static_cast<unsigned>(r.PRMADDR));
  row.Prm_Addr = addr;
  row.Prm_Display = r.MONITOR_ONLY ? 2 : 1;

  const Fixed divisor = r.Range_Step.Divisor;
  const int digits = Number_of_Digits(divisor);
  row.Number_of_Digits = digits;
  row.Prm_Multiplier = divisor.ToDouble();
  const TPrmRange* range = FirstRange(r);
  if (range) {
    row.strMinValue = FormatFixed(range->Minimum, 0, digits, false);
    row.strMaxValue = FormatFixed(range->Maximum, 0, digits, false);
  }

  const Fixed v = GetPrmValue(table, number, column);
  row.PrmRealActualValue = v.ToDouble();
  const bool off = IsPrmOff(table, number, column);
  if (off) row.Prm_Value = r.DisabledText;
  else if (IsTextType(r.EDIT_TYPE)) row.Prm_Value = DecodePrmText(table, number, column);
  else row.Prm_Value = FormatPrmNumber(table, number, v);
  row.Prm_Actual_Value = row.Prm_Value;

  const std::string units = off ? std::string() : GetPrmUnits(table, number, working);
  row.Prm_Unit = units;
  row.Prm_Unit_wSp = units.empty() ? std::string() : " " + units;

  // Position among the items that lie in range.
  const DESC_REC& list = r.ValueSTR;
  const std::int64_t wanted = v.RoundHalfAway();
  int inRange = 0;
  bool matched = false;
  for (int i = 0; i < list.TOTAL && i < kListSlots; ++i) {
    Fixed item = Fixed::FromInt(list.TRVALUE[static_cast<std::size_t>(i)]);
    if (range == nullptr || item < range->Minimum || item > range->Maximum) continue;
    if (list.TRVALUE[static_cast<std::size_t>(i)] == wanted) {
      row.Prm_Info = list.STRARRAY[static_cast<std::size_t>(i)];
      row.Prm_Select_Index = inRange;
      matched = true;
      break;
    }
    ++inRange;
  }
  if (!matched) row.Prm_Select_Index = inRange == 0 ? 0 : -1;

  row.Prm_Search_Str = r.PARAMETER_ID + " " + r.Title + " " + row.Prm_Value + " " + units + " ";
}

// ---------------------------------------------------------------------------------------------
// Control binding

namespace {

void BindCombo(PrmTable& table, int number, int column, IComboControl& combo, ILabelControl* units,
               TInitializeEditMode mode, const TSelectionState& selection) {
  PRM_REC& r = table[number];
  if (mode == iemEditToPrm) {
    if (r.MONITOR_ONLY) return;
    int value = SelectedItemValue(&combo, -1);
    if (value != -1) SetPrmValue(table, number, column, true, Fixed::FromInt(value), selection);
    return;
  }
  combo.clear();
  if (!IsPrmAvailable(table, number, column, 2, selection)) {
    combo.addItem("-", -1);
    combo.setSelectedIndex(0);
    combo.setHint("-");
    combo.setEnabled(false);
    return;
  }
  const int c = ModeColumnOf(column, selection);
  const std::int64_t current = GetPrmValue(table, number, column).Trunc();
  int selected = -1;
  for (int i = 0; i < r.ValueSTR.TOTAL && i < kListSlots; ++i) {
    auto s = static_cast<std::size_t>(i);
    if (r.ValueSTR.STRARRAY[s].empty() || c < 0 || c >= kModeColumns || !r.ValueSTR.ENABLE_A[s][static_cast<std::size_t>(c)])
      continue;
    combo.addItem(r.ValueSTR.STRARRAY[s], r.ValueSTR.TRVALUE[s]);
    if (selected < 0 && r.ValueSTR.TRVALUE[s] == current) selected = combo.count() - 1;
  }
  if (combo.count() == 0) throw CatalogueError("No enabled items in list.");
  if (selected < 0) {
    WarningSink().ShowWarning("Parameter setting disabled: " + r.Title);
    selected = 0;
  }
  combo.setSelectedIndex(selected);
  combo.setHint(combo.itemText(selected));
  combo.setEnabled(IsPrmEditable(table, number, column, selection));
  combo.setDropDownCount(8);
  if (units) SetTextIfChanged(units, GetPrmUnits(table, number, column));
}

void BindEdit(PrmTable& table, int number, int column, IEditControl& edit, ILabelControl* units, bool setHint,
              TInitializeEditMode mode, const TSelectionState& selection) {
  const bool available = IsPrmAvailable(table, number, column, 2, selection);
  edit.setEnabled(available && !table[number].MONITOR_ONLY);
  if (!available) {
    // Nothing is stored from a box that shows "-": the parameter's value stays as it is.
    SetTextIfChanged(&edit, "-");
    return;
  }
  if (mode == iemEditToPrm) {
    if (table[number].MONITOR_ONLY) return;
    ParsePrmText(table, number, column, edit.text(), selection);
  }
  SetTextIfChanged(&edit, FormatPrmValue(table, number, column));
  if (mode == iemPrmToEdit && setHint) edit.setHint(PrmHintText(table, number, column));
  if (units) SetTextIfChanged(units, GetPrmUnits(table, number, column));
}

}  // namespace

void InitializePrmEdit(PrmTable& table, int column, TPrmEdit& edit, bool setHint, TInitializeEditMode mode,
                       const TSelectionState& selection) {
  const int number = edit.Index;
  if (edit.ComboBox) {
    if (!table.Exists(number) || !IsListEditType(table[number].EDIT_TYPE))
      throw CatalogueError("Combo tag number is invalid.");
    BindCombo(table, number, column, *edit.ComboBox, edit.Units, mode, selection);
  }
  if (edit.EditBox) {
    if (!table.Exists(number) || !IsEditBoxType(table[number].EDIT_TYPE))
      throw CatalogueError("Edit tag number is invalid.");
    BindEdit(table, number, column, *edit.EditBox, edit.Units, setHint, mode, selection);
  }
}

// ---------------------------------------------------------------------------------------------
// Key filters

void PrmNumericKeyFilter(const PrmTable& table, int number, IEditControl& box, char32_t& key) {
  if (key == kKeyEnter) return;
  const PRM_REC* r = table.Find(number);
  const bool hasOff = r != nullptr && HasOffValueType(r->EDIT_TYPE);
  if (hasOff && (key == 'O' || key == 'o' || key == 'F' || key == 'f' || key == 'I' || key == 'i')) {
    box.setText(r->DisabledText);
    key = kKeyNone;
    return;
  }
  const char32_t decimal = FirstCodePoint(NUMBER_SETTINGS.DecimalSeparator);
  const bool accepted = key == kKeyBackspace || key == '-' || (key >= '0' && key <= '9') || (decimal != 0 && key == decimal);
  if (!accepted) {
    key = kKeyNone;
    return;
  }
  if (hasOff && box.text() == r->DisabledText) box.setText(std::string());
}

void PrmTextKeyFilter(char32_t& key) {
  if (key == kKeyBackspace || key == kKeyEnter) return;
  if (key >= 'a' && key <= 'z') key = key - 'a' + 'A';
  if (key >= 0x80 || kTextParameterCharacters.find(static_cast<char>(key)) == std::string_view::npos) key = kKeyNone;
}

void PrmEditKeyFilter(const PrmTable& table, int number, IEditControl& box, char32_t& key) {
  const PRM_REC* r = table.Find(number);
  if (r != nullptr && IsTextType(r->EDIT_TYPE)) PrmTextKeyFilter(key);
  else PrmNumericKeyFilter(table, number, box, key);
}

}  // namespace rv8::param
