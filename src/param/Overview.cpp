#include "param/Overview.h"

#include "param/Catalogue.h"

#include <algorithm>
#include <cctype>

namespace rv8::param {

namespace {

constexpr int kThisApplication = 1;

std::string GroupKey(const PRM_REC& r) { return std::string{r.Menu, r.Menu_Sub}; }

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool EqualNoCase(std::string_view a, std::string_view b)
{
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

// Does `piece` occur in `text` at `at` (case-insensitively)?
bool MatchesAt(std::string_view text, std::size_t at, std::string_view piece)
{
  if (at + piece.size() > text.size()) return false;
  return EqualNoCase(text.substr(at, piece.size()), piece);
}

std::size_t FindNoCase(std::string_view text, std::string_view piece, std::size_t from)
{
  if (piece.empty()) return from <= text.size() ? from : std::string_view::npos;
  for (std::size_t i = from; i + piece.size() <= text.size(); ++i)
    if (MatchesAt(text, i, piece)) return i;
  return std::string_view::npos;
}

// The control-mode condition: CTRLMODE<m> between "1" and "F" (advanced mode) or "E".
bool ControlModeAccepts(const TOverviewRow& row, const TOverviewFilter& filter)
{
  if (filter.ControlMode < 0 || filter.ControlMode > 4) return true;
  const char c = row.CTRLMODE[static_cast<std::size_t>(filter.ControlMode)];
  return c >= '1' && c <= (filter.AdvancedMode ? 'F' : 'E');
}

}  // namespace

std::vector<TOverviewNode> BuildOverviewTree(const PrmTable& table)
{
  std::vector<TOverviewNode> nodes;
  nodes.push_back({std::string(kRootNodeText), kRootNodeNumber});
  std::string previous = "\x01\x01";  // no record has this key
  int ordinal = 0;
  for (int n = 1; n <= table.Count(); ++n) {
    const std::string key = GroupKey(table[n]);
    if (key == previous) continue;
    previous = key;
    nodes.push_back({GroupTitle(key), ++ordinal});
  }
  nodes.push_back({std::string(kModifiedNodeText), kModifiedNodeNumber});
  return nodes;
}

bool IsOverviewRow(const PrmTable& table, int number, const TSelectionState& selection)
{
  if (!table.Exists(number)) return false;
  const PRM_REC& r = table[number];
  return r.APPLICATION_ID.Contains(kThisApplication) && IsInFirmware(table, number, selection) && !r.IsContinuation;
}

TOverviewRow MakeOverviewRow(const PrmTable& table, int number, const TSelectionState& selection)
{
  TOverviewRow row;
  if (!table.Exists(number)) return row;
  const PRM_REC& r = table[number];
  parameter_info work;
  parameter_info drive;
  parameter_info def;
  FillParameterInfo(table, number, 0, work, selection);
  FillParameterInfo(table, number, 3, drive, selection);
  FillParameterInfo(table, number, 4, def, selection);

  row.PRMNUM = number;
  row.ParameterNumber = work.Prm_Number;
  row.PrmAddressInfo = work.Prm_Addr;
  row.Title = work.Prm_Title;
  row.WORKVALUE = work.Prm_Value + work.Prm_Unit_wSp;
  row.DriveSetting = drive.Prm_Value + drive.Prm_Unit_wSp;
  row.Description = work.Prm_Info;
  row.Description2 = drive.Prm_Info;
  row.PRMDISPLAYFLAG = work.Prm_Display;
  const bool monitorOnly = row.PRMDISPLAYFLAG == 2;
  row.DEFAULTSETTING = monitorOnly ? std::string("--") : def.Prm_Value + def.Prm_Unit_wSp;
  row.WorkText = work.Prm_Value;
  row.DriveText = drive.Prm_Value;
  auto flag = [monitorOnly](const std::string& a, const std::string& b) {
    return std::string(!monitorOnly && a != b ? "1" : "0");
  };
  row.MODIFIED_FLAG_PRM_DEF = flag(work.Prm_Value, def.Prm_Value);
  row.MODIFIED_FLAG_DRV_DEF = flag(drive.Prm_Value, def.Prm_Value);
  row.MODIFIED_FLAG_PRM_DRV = flag(work.Prm_Value, drive.Prm_Value);
  row.PRMSEARCH = work.Prm_Number + " " + work.Prm_Title + " " + work.Prm_Value + work.Prm_Unit_wSp + " " + work.Prm_Info;
  const char mode = r.ADVANCED >= 1 ? 'F' : '4';
  for (std::size_t m = 0; m < 7; ++m) row.CTRLMODE[m] = mode;
  row.CTRLMODE[7] = '4';
  row.TreeGroupIndex = r.intTreeMainIndex;
  return row;
}

std::vector<int> TOverviewRows::Update(PrmTable& table, bool refill, const TSelectionState& selection)
{
  std::vector<int> changed;
  if (!refill) {
    // The rows must still describe the table: same parameters in the same order.
    std::size_t k = 0;
    bool same = true;
    for (int n = 1; n <= table.Count() && same; ++n) {
      if (!IsOverviewRow(table, n, selection)) continue;
      same = k < m_rows.size() && m_rows[k].PRMNUM == n;
      ++k;
    }
    if (!same || k != m_rows.size()) refill = true;
  }
  if (refill) {
    m_rows.clear();
    for (int n = 1; n <= table.Count(); ++n) {
      table[n].Refresh_Prm = false;
      if (!IsOverviewRow(table, n, selection)) continue;
      changed.push_back(static_cast<int>(m_rows.size()));
      m_rows.push_back(MakeOverviewRow(table, n, selection));
    }
    return changed;
  }
  for (std::size_t k = 0; k < m_rows.size(); ++k) {
    PRM_REC& r = table[m_rows[k].PRMNUM];
    if (!r.Refresh_Prm) continue;
    r.Refresh_Prm = false;
    m_rows[k] = MakeOverviewRow(table, m_rows[k].PRMNUM, selection);
    changed.push_back(static_cast<int>(k));
  }
  // A flag on a parameter without a row (continuation records) needs no drawing.
  for (int n = 1; n <= table.Count(); ++n) table[n].Refresh_Prm = false;
  return changed;
}

int TOverviewRows::PositionOf(int number) const
{
  for (std::size_t k = 0; k < m_rows.size(); ++k)
    if (m_rows[k].PRMNUM == number) return static_cast<int>(k);
  return -1;
}

bool OverviewLike(std::string_view text, std::string_view pattern)
{
  // Split the pattern at '#': the first piece must start the text, the last must end it, the
  // pieces between must follow in order.
  std::vector<std::string_view> pieces;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= pattern.size(); ++i) {
    if (i == pattern.size() || pattern[i] == '#') {
      pieces.push_back(pattern.substr(start, i - start));
      start = i + 1;
    }
  }
  if (pieces.size() == 1) return EqualNoCase(text, pattern);
  const std::string_view first = pieces.front();
  const std::string_view last = pieces.back();
  if (first.size() + last.size() > text.size()) return false;
  if (!MatchesAt(text, 0, first) || !MatchesAt(text, text.size() - last.size(), last)) return false;
  std::size_t pos = first.size();
  const std::size_t end = text.size() - last.size();
  for (std::size_t p = 1; p + 1 < pieces.size(); ++p) {
    const std::size_t at = FindNoCase(text.substr(0, end), pieces[p], pos);
    if (at == std::string_view::npos) return false;
    pos = at + pieces[p].size();
  }
  return pos <= end;
}

bool TOverviewFilter::Accepts(const TOverviewRow& row) const
{
  switch (View) {
  case ovModified:
    // The modified view ignores control mode and advanced mode on purpose: a modified advanced
    // parameter is still a difference the user must see.
    return row.PRMDISPLAYFLAG > 0 && row.MODIFIED_FLAG_PRM_DEF == "1";
  case ovSearch:
    // The control-mode condition applies with an empty box too, so that an empty search never
    // lists advanced parameters outside factory mode.
    if (row.PRMDISPLAYFLAG <= 0 || !ControlModeAccepts(row, *this)) return false;
    return SearchText.empty() || OverviewLike(row.PRMSEARCH, "#" + SearchText + "#");
  default:
    if (!ControlModeAccepts(row, *this)) return false;
    return GroupNode <= kRootNodeNumber || row.TreeGroupIndex == GroupNode;
  }
}

std::vector<int> FilteredParameters(const TOverviewRows& rows, const TOverviewFilter& filter)
{
  std::vector<int> out;
  for (const TOverviewRow& row : rows.Rows())
    if (filter.Accepts(row)) out.push_back(row.PRMNUM);
  return out;
}

const std::vector<std::string>& SearchSuggestions()
{
  static const std::vector<std::string> words{"%",     "A.",      "Acceleration", "Coast", "Control", "Current",
                                              "Deceleration", "Frequency", "Peak", "Phase", "Power", "Relay",
                                              "Stall", "Time",    "Trip",         "Voltage"};
  return words;
}

TLinkTableValue LinkTableEntry(TLinkTable table, int tag)
{
  static const char* const kRelayDescriptionC = "Programmable Relay Output Form-C\rRating: 240 VAC, 5 A and 1200 VA";
  static const char* const kRelayDescriptionA = "Programmable Relay Output Form-A\rRating: 240 VAC, 5 A and 1200 VA";
  if (tag < 1 || tag > kLinkTableSize) return {};
  switch (table) {
  case ltParameter:
    if (tag == 1) return {"F001", "", "Motor FLA"};
    break;
  case ltRelay:
    if (tag == 1) return {"F060", "Relay Output 1", kRelayDescriptionC};
    if (tag == 2) return {"F061", "Relay Output 2", kRelayDescriptionC};
    if (tag == 3) return {"F062", "Relay Output 3", kRelayDescriptionA};
    break;
  case ltAnalog:
    if (tag == 1) return {"F108", "Analog Output (4-20mA)", "Analog Output\rRating: 4-20mA"};
    break;
  }
  return {};
}

std::string LinkCurrentSetting(const PrmTable& table, const std::string& identifier, const TSelectionState& selection)
{
  std::string setting;
  if (identifier.empty()) return setting;
  for (int n = 1; n <= table.Count(); ++n) {
    if (!EqualNoCase(table[n].PARAMETER_ID, identifier)) continue;
    if (!IsPrmAvailable(table, n, selection.CurrentControlMode, 2, selection)) continue;
    parameter_info info;
    FillParameterInfo(table, n, 0, info, selection);
    setting = table[n].PARAMETER_ID + " = " + info.Prm_Value + info.Prm_Unit_wSp;
  }
  return setting;
}

int LinkParameter(const PrmTable& table, const std::string& identifier, const TSelectionState& selection)
{
  if (identifier.empty()) return -1;
  for (int n = 1; n <= table.Count(); ++n)
    if (EqualNoCase(table[n].PARAMETER_ID, identifier) &&
        IsPrmAvailable(table, n, selection.CurrentControlMode, 2, selection))
      return n;
  return -1;
}

}  // namespace rv8::param
