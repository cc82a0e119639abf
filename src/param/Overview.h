#pragma once
// The rows, tree and filters of the parameter overview, without any window: which parameters
// become rows, what each column of a row holds, the group tree built from the catalogue, and
// the filter of each view (program memory, comparison, modified, search). The parameter page
// shows what this computes; tests check it directly.

#include "param/VarDrive.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace rv8::param {

// The views of the overview.
enum TOverviewView : int { ovProgramMemory = 0, ovComparison = 2, ovModified = 5, ovSearch = 9 };

// Node numbers of the group tree besides the group ordinals 1, 2, 3 ...
inline constexpr int kRootNodeNumber = 0;
inline constexpr int kModifiedNodeNumber = 29999;
inline constexpr std::string_view kRootNodeText = "RV8 Parameters";
inline constexpr std::string_view kModifiedNodeText = "Modified";

// One node of the group tree: the root, one per group in catalogue order, then "Modified".
struct TOverviewNode {
  std::string Text;
  int NodeNumber = -1;
};

// The tree as a flat list: [0] the root, then the groups (ordinal k at position k), then the
// "Modified" node last. Groups start wherever the key Menu + Menu_Sub changes along the table.
std::vector<TOverviewNode> BuildOverviewTree(const PrmTable& table);

// One grid row, named after the columns it fills. Texts are UTF-8.
struct TOverviewRow {
  int PRMNUM = 0;                    // position in the table (1-based)
  std::string ParameterNumber;       // "No.": the identifier (F001)
  std::string PrmAddressInfo;        // "Address": "1001 (03E9h)"
  std::string Title;                 // "Parameter"
  std::string WORKVALUE;             // "Program Setting": value + " " + unit
  std::string DriveSetting;          // "RV8 Setting": starter column value + unit
  std::string Description;           // "Info (Program)"
  std::string Description2;          // "Info (RV8)"
  std::string DEFAULTSETTING;        // "Default"; "--" for monitor-only parameters
  std::string MODIFIED_FLAG_PRM_DEF; // "1" working text differs from default text
  std::string MODIFIED_FLAG_DRV_DEF; // "1" starter text differs from default text
  std::string MODIFIED_FLAG_PRM_DRV; // "1" working text differs from starter text
  std::string PRMSEARCH;             // number, title, value + unit, info: what the search matches
  int PRMDISPLAYFLAG = 1;            // 2 monitor-only, 1 otherwise
  std::array<char, 8> CTRLMODE{'4', '4', '4', '4', '4', '4', '4', '4'};  // 'F' advanced (0..6)
  int TreeGroupIndex = 0;            // the parameter's intTreeMainIndex
  // The value texts without unit the flags compare (kept for the cell colours).
  std::string WorkText;
  std::string DriveText;
};

// A parameter becomes a row when it is meant for this program (application 1), exists in the
// selected firmware and is not a continuation record.
bool IsOverviewRow(const PrmTable& table, int number, const TSelectionState& selection = SELECTION);

// Computes every column of the parameter's row.
TOverviewRow MakeOverviewRow(const PrmTable& table, int number, const TSelectionState& selection = SELECTION);

// The rows of the grid, in table order.
class TOverviewRows {
public:
  // refill: rebuilds every row (and clears every Refresh_Prm). Otherwise rewrites only the value
  // columns of rows whose parameter has Refresh_Prm set and clears that flag; returns the
  // positions (into Rows()) that changed. When the table no longer matches the rows (a rebuild
  // happened without a refill) everything is refilled.
  std::vector<int> Update(PrmTable& table, bool refill, const TSelectionState& selection = SELECTION);
  const std::vector<TOverviewRow>& Rows() const { return m_rows; }
  // Position of a parameter's row, -1 when it has none.
  int PositionOf(int number) const;

private:
  std::vector<TOverviewRow> m_rows;
};

// The filter of the grid.
struct TOverviewFilter {
  int View = ovProgramMemory;
  int GroupNode = kRootNodeNumber;  // tree node the program-memory and comparison views show
  bool AdvancedMode = false;
  int ControlMode = 0;
  std::string SearchText;           // the search box (search view)

  bool Accepts(const TOverviewRow& row) const;
};

// The grid's LIKE with "#" for any run of characters, case-insensitive (ASCII letters), over
// the whole text: "#time#" finds "Time" and "TIME" anywhere.
bool OverviewLike(std::string_view text, std::string_view pattern);

// The parameter numbers of the rows the filter accepts, in row order.
std::vector<int> FilteredParameters(const TOverviewRows& rows, const TOverviewFilter& filter);

// Characters the search box refuses (the filter's wildcard characters).
constexpr bool IsRefusedSearchCharacter(char32_t c) { return c == U'#' || c == U'_'; }

// The words the "Parameter Search" dialog offers.
const std::vector<std::string>& SearchSuggestions();

// The visual set-up page's link tables (six entries each; unused entries are empty).
enum TLinkTable : int { ltParameter = 0, ltRelay = 1, ltAnalog = 2 };
inline constexpr int kLinkTableSize = 6;
// Entry `tag` (1..6) of a table; an empty entry for any other tag.
TLinkTableValue LinkTableEntry(TLinkTable table, int tag);

// The current setting of a link-table entry: for every available (view 2) parameter whose
// identifier equals `identifier` (case-insensitively): identifier + " = " + value text, then
// " " + unit when there is one; the last match wins. Empty when none matches.
std::string LinkCurrentSetting(const PrmTable& table, const std::string& identifier,
                               const TSelectionState& selection = SELECTION);
// The first available parameter with that identifier, -1 when none.
int LinkParameter(const PrmTable& table, const std::string& identifier, const TSelectionState& selection = SELECTION);

}  // namespace rv8::param
