// The overview's rows, tree and filters on the built-in catalogue: which rows each view lists,
// what the flags compare, the search's matching, the refresh of edited rows, the link tables.
#include "param/Catalogue.h"
#include "param/Models.h"
#include "param/NuvShared.h"
#include "param/Overview.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace rv8::param {
namespace {

class OverviewTest : public ::testing::Test {
protected:
  void SetUp() override
  {
    ApplyNumberSettings(NUMBER_SETTINGS, ".", ",", ":");
    selection.CurrentModelCode = 150;
    selection.CurrentFlashIndex = FlashIndexOfNumber(401);
    selection.CurrentFirmwareVersion = 401;
    ASSERT_EQ(BuildCatalogue(table, signalTable, selection, true), "");
    table.ModifiedFlags = &flags;
    // The starter column holds what a read of an unchanged starter would give.
    for (int n = 1; n <= table.Count(); ++n) CopyPrmColumn(table, n, vcDefault, vcDrive, selection);
    for (int n = 1; n <= table.Count(); ++n) CopyPrmColumn(table, n, vcDefault, vcMode1, selection);
    rows.Update(table, true, selection);
  }

  int NumberOf(const std::string& id) const
  {
    for (int n = 1; n <= table.Count(); ++n)
      if (table[n].PARAMETER_ID == id) return n;
    return 0;
  }
  // A parameter with a plain number in range whose value can move by one step.
  void Bump(int number, int column)
  {
    Fixed v = GetPrmValue(table, number, column);
    Fixed max = GetPrmMaximum(table, number, column);
    Fixed step = Fx(1) / GetPrmDivisor(table, number);
    SetPrmValue(table, number, column, true, v + step <= max ? v + step : v - step, selection);
  }
  std::vector<int> List(int view, const std::string& search = {}, bool advanced = false, int group = 0)
  {
    rows.Update(table, false, selection);
    TOverviewFilter f;
    f.View = view;
    f.SearchText = search;
    f.AdvancedMode = advanced;
    f.GroupNode = group;
    return FilteredParameters(rows, f);
  }
  // The built-in catalogue has no advanced parameter: make one of a plain number parameter.
  int MakeAdvanced()
  {
    const int n = FirstWhere([](const PRM_REC& r) { return !r.MONITOR_ONLY && r.EDIT_TYPE == etNumber && r.PARAMETER_ID != "F001"; });
    if (n > 0) table[n].ADVANCED = 1;
    rows.Update(table, true, selection);
    return n;
  }
  int FirstWhere(bool (*pred)(const PRM_REC&))
  {
    for (int n = 1; n <= table.Count(); ++n)
      if (IsOverviewRow(table, n, selection) && pred(table[n])) return n;
    return 0;
  }

  PrmTable table{kMaxParameters};
  PrmTable signalTable{kMaxSignals};
  TSelectionState selection;
  TModifiedFlags flags;
  TOverviewRows rows;
};

TEST_F(OverviewTest, TreeHasRootGroupsInCatalogueOrderAndModifiedLast)
{
  const std::vector<TOverviewNode> nodes = BuildOverviewTree(table);
  ASSERT_GE(nodes.size(), 8u);
  EXPECT_EQ(nodes.front().Text, "RV8 Parameters");
  EXPECT_EQ(nodes.front().NodeNumber, 0);
  EXPECT_EQ(nodes.back().Text, "Modified");
  EXPECT_EQ(nodes.back().NodeNumber, 29999);
  EXPECT_EQ(nodes[1].Text, "Motor Overload Information");
  for (std::size_t k = 1; k + 1 < nodes.size(); ++k) EXPECT_EQ(nodes[k].NodeNumber, static_cast<int>(k));
  // Every row's group index names one of the group nodes.
  for (const TOverviewRow& row : rows.Rows()) {
    EXPECT_GE(row.TreeGroupIndex, 1) << row.ParameterNumber;
    EXPECT_LE(row.TreeGroupIndex, static_cast<int>(nodes.size()) - 2) << row.ParameterNumber;
  }
}

TEST_F(OverviewTest, RowsAreTheProgramsParametersInTableOrderWithoutContinuations)
{
  int expected = 0;
  for (int n = 1; n <= table.Count(); ++n)
    if (table[n].APPLICATION_ID.Contains(1) && IsInFirmware(table, n, selection) && !table[n].IsContinuation) ++expected;
  ASSERT_EQ(static_cast<int>(rows.Rows().size()), expected);
  for (std::size_t k = 1; k < rows.Rows().size(); ++k) EXPECT_LT(rows.Rows()[k - 1].PRMNUM, rows.Rows()[k].PRMNUM);
  for (const TOverviewRow& row : rows.Rows()) EXPECT_FALSE(table[row.PRMNUM].IsContinuation);

  const TOverviewRow& fla = rows.Rows()[static_cast<std::size_t>(rows.PositionOf(NumberOf("F001")))];
  EXPECT_EQ(fla.ParameterNumber, "F001");
  EXPECT_EQ(fla.PrmAddressInfo, "1001 (03E9h)");
  EXPECT_EQ(fla.WORKVALUE, fla.WorkText + " " + GetPrmUnits(table, fla.PRMNUM, vcMode1));
  EXPECT_EQ(fla.MODIFIED_FLAG_PRM_DEF, "0");
}

TEST_F(OverviewTest, ModifiedViewListsExactlyTheChangedParametersAdvancedOnesIncluded)
{
  EXPECT_TRUE(List(ovModified).empty());
  const int fla = NumberOf("F001");
  const int advanced = MakeAdvanced();
  ASSERT_GT(advanced, 0);
  Bump(fla, vcMode1);
  Bump(advanced, vcMode1);
  std::vector<int> expected{fla, advanced};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(List(ovModified, {}, false), expected);
  EXPECT_TRUE(flags.ProjectModified);

  // Back to the default: no longer modified.
  CopyPrmColumn(table, fla, vcDefault, vcMode1, selection);
  table[fla].Refresh_Prm = true;
  EXPECT_EQ(List(ovModified), std::vector<int>{advanced});
}

TEST_F(OverviewTest, MonitorOnlyParameterIsNeverModifiedAndShowsDashes)
{
  const int ro = FirstWhere([](const PRM_REC& r) { return r.MONITOR_ONLY && r.EDIT_TYPE == etNumber; });
  if (ro == 0) GTEST_SKIP() << "no monitor-only number parameter in this catalogue";
  Bump(ro, vcMode1);
  const TOverviewRow& row = rows.Rows()[static_cast<std::size_t>(rows.PositionOf(ro))];
  EXPECT_TRUE(List(ovModified).empty());
  EXPECT_EQ(row.DEFAULTSETTING, "--");
  EXPECT_EQ(row.PRMDISPLAYFLAG, 2);
  EXPECT_EQ(row.MODIFIED_FLAG_PRM_DEF, "0");
  EXPECT_EQ(row.MODIFIED_FLAG_PRM_DRV, "0");
}

TEST_F(OverviewTest, ComparisonFlagsExactlyTheParametersWhoseStarterValueDiffers)
{
  const int fla = NumberOf("F001");
  const int other = NumberOf("F060");
  ASSERT_GT(other, 0);
  Bump(fla, vcMode1);  // the program changed, the starter did not
  // The starter changed, the program did not.
  const Fixed v = GetPrmValue(table, other, vcDrive);
  const int idx = ListIndexOfValue(table, other, v);
  const DESC_REC& list = table[other].ValueSTR;
  SetPrmValue(table, other, vcDrive, false, Fixed::FromInt(list.TRVALUE[static_cast<std::size_t>(idx == 0 ? 1 : 0)]),
              selection);
  rows.Update(table, true, selection);
  std::vector<int> differing;
  for (const TOverviewRow& row : rows.Rows())
    if (row.MODIFIED_FLAG_PRM_DRV == "1") differing.push_back(row.PRMNUM);
  EXPECT_EQ(differing, (std::vector<int>{fla, other}));
  const TOverviewRow& o = rows.Rows()[static_cast<std::size_t>(rows.PositionOf(other))];
  EXPECT_EQ(o.MODIFIED_FLAG_DRV_DEF, "1");
  EXPECT_EQ(o.MODIFIED_FLAG_PRM_DEF, "0");
  EXPECT_NE(o.Description, o.Description2);
}

TEST_F(OverviewTest, AdvancedParametersOnlyInFactoryModeExceptInTheModifiedView)
{
  const int advanced = MakeAdvanced();
  ASSERT_GT(advanced, 0);
  const auto has = [advanced](const std::vector<int>& v) { return std::find(v.begin(), v.end(), advanced) != v.end(); };
  EXPECT_FALSE(has(List(ovProgramMemory, {}, false)));
  EXPECT_TRUE(has(List(ovProgramMemory, {}, true)));
  EXPECT_FALSE(has(List(ovSearch, {}, false)));
  EXPECT_FALSE(has(List(ovSearch, table[advanced].PARAMETER_ID, false)));
  EXPECT_TRUE(has(List(ovSearch, table[advanced].PARAMETER_ID, true)));
  // Root shows every group; a group node only its own rows.
  const int group = table[NumberOf("F001")].intTreeMainIndex;
  for (int n : List(ovProgramMemory, {}, true, group)) EXPECT_EQ(table[n].intTreeMainIndex, group);
  EXPECT_LT(List(ovProgramMemory, {}, true, group).size(), List(ovProgramMemory, {}, true, 0).size());
}

TEST_F(OverviewTest, SearchMatchesNumberTitleValueAndUnitIgnoringCase)
{
  const std::vector<int> time = List(ovSearch, "time");
  ASSERT_FALSE(time.empty());
  EXPECT_EQ(List(ovSearch, "TIME"), time);
  EXPECT_EQ(List(ovSearch, "TiMe"), time);
  for (int n : time) {
    std::string s = rows.Rows()[static_cast<std::size_t>(rows.PositionOf(n))].PRMSEARCH;
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    EXPECT_NE(s.find("time"), std::string::npos) << s;
  }
  EXPECT_EQ(List(ovSearch, "f001"), std::vector<int>{NumberOf("F001")});
  EXPECT_TRUE(List(ovSearch, "no such parameter text").empty());
  // The unit is part of what the search sees.
  const std::vector<int> amps = List(ovSearch, "A.");
  EXPECT_NE(std::find(amps.begin(), amps.end(), NumberOf("F001")), amps.end());
}

TEST(OverviewLikeTest, HashIsAnyRunAndCaseIsIgnored)
{
  struct Row {
    const char* text;
    const char* pattern;
    bool match;
  } const cases[] = {
      {"Accel Time", "#time#", true},     {"ACCEL TIME 10 Sec.", "#time#", true}, {"Accel", "#time#", false},
      {"F001 Motor FLA", "f001#", true},  {"F001 Motor FLA", "#fla", true},       {"F001 Motor FLA", "#motor", false},
      {"abc", "abc", true},               {"abc", "ab", false},                    {"", "##", true},
      {"Stall Time", "#st#ti#", true},    {"Time Stall", "#st#ti#", false},       {"aba", "#ab#ba#", false},
  };
  for (const Row& c : cases) EXPECT_EQ(OverviewLike(c.text, c.pattern), c.match) << c.text << " LIKE " << c.pattern;
}

TEST_F(OverviewTest, RefreshRewritesOnlyFlaggedRowsAndRefillsAfterARebuild)
{
  const int fla = NumberOf("F001");
  Bump(fla, vcMode1);  // stores with markModified, which flags the row
  const std::vector<int> changed = rows.Update(table, false, selection);
  EXPECT_EQ(changed, std::vector<int>{rows.PositionOf(fla)});
  EXPECT_FALSE(table[fla].Refresh_Prm);
  EXPECT_EQ(rows.Rows()[static_cast<std::size_t>(rows.PositionOf(fla))].MODIFIED_FLAG_PRM_DEF, "1");
  EXPECT_TRUE(rows.Update(table, false, selection).empty());

  // A different firmware without a refill: the rows follow the table anyway.
  TSelectionState other = selection;
  other.CurrentFlashIndex = 0;
  other.CurrentFirmwareVersion = FLASH_TABLE()[0].FlashNum;
  ASSERT_EQ(BuildCatalogue(table, signalTable, other, false), "");
  rows.Update(table, false, other);
  for (const TOverviewRow& row : rows.Rows()) EXPECT_TRUE(IsOverviewRow(table, row.PRMNUM, other));
}

TEST_F(OverviewTest, LinkTablesAndCurrentSettings)
{
  EXPECT_EQ(LinkTableEntry(ltParameter, 1).Identifier, "F001");
  EXPECT_EQ(LinkTableEntry(ltRelay, 3).Name, "Relay Output 3");
  EXPECT_EQ(LinkTableEntry(ltAnalog, 1).Identifier, "F108");
  EXPECT_TRUE(LinkTableEntry(ltRelay, 4).Identifier.empty());
  EXPECT_TRUE(LinkTableEntry(ltRelay, 7).Identifier.empty());
  const int fla = NumberOf("F001");
  parameter_info info;
  FillParameterInfo(table, fla, 0, info, selection);
  EXPECT_EQ(LinkCurrentSetting(table, "f001", selection), "F001 = " + info.Prm_Value + " " + info.Prm_Unit);
  EXPECT_EQ(LinkParameter(table, "f001", selection), fla);
  EXPECT_EQ(LinkCurrentSetting(table, "F999", selection), "");
  EXPECT_EQ(LinkParameter(table, "", selection), -1);
}

}  // namespace
}  // namespace rv8::param
