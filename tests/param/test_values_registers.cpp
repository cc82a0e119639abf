// Register words to stored values and back, multi-register composition, Off values.

#include "ValueFixture.h"

using namespace rv8::param;
using rv8::param::testing::ValueTableTest;

namespace {

using RegisterTest = ValueTableTest;

}  // namespace

TEST_F(RegisterTest, WordsToValues) {
  struct Row {
    int number;
    std::uint16_t word;
    Fixed value;
  };
  const Row rows[] = {
      {kSigned, 0xFFFF, Fx(-1)},           // negative minimum: signed word
      {kFla, 0xFFFF, Fx(65535)},           // minimum 5: unsigned
      {kSigned, 0x8000, Fx(-32768)},
      {kSigned, 0x7FFF, Fx(32767)},
      {kSignedCenti, 0xFFB5, Fx(-0.75)},   // divided after the sign
      {kSignedCenti, 87, Fx(0.87)},
      {kRatio, 8, Fx(0.8)},
      {kRatio, 255, Fx(25.5)},
      {kKick, 55, Fx(55)},
      {kKick, 0, Fx(0)},                   // the Off value is not divided
      {kTime, 930, Fx(930)},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(table[r.number].Title + " " + std::to_string(r.word));
    RegisterToPrmValue(table, r.number, vcDrive, r.word, selection);
    EXPECT_EQ(GetPrmValue(table, r.number, vcDrive), r.value);
    EXPECT_TRUE(table[r.number].Refresh_Prm);
  }
  EXPECT_EQ(FormatPrmValue(table, kKick, vcDrive), "Off");
  EXPECT_FALSE(flags.ProjectModified);  // reading never marks the project
}

TEST_F(RegisterTest, ZeroDivisorIgnoresTheWord) {
  table[kRatio].Range_Step.Divisor = Fixed();
  SetAllColumns(kRatio, Fx(3));
  RegisterToPrmValue(table, kRatio, vcDrive, 50, selection);
  EXPECT_EQ(GetPrmValue(table, kRatio, vcDrive), Fx(3));
}

TEST_F(RegisterTest, ValuesToWords) {
  struct Row {
    int number;
    Fixed value;
    std::uint16_t word;
  };
  const Row rows[] = {
      {kSigned, Fx(-1), 0xFFFF},
      {kSigned, Fx(-100), 0xFF9C},
      {kSigned, Fx(-0.4), 0},         // a magnitude rounding to 0 is the word 0, not 65536
      {kRatio, Fx(0.8), 8},
      {kRatio, Fx(0.85), 8},          // 8.5: ties to even
      {kRatio, Fx(0.95), 10},         // 9.5: ties to even
      {kFla, Fx(12.5), 12},
      {kFla, Fx(13.5), 14},
      {kFla, Fx(1500), 1500},
      {kSignedCenti, Fx(-0.75), 0xFFB5},
      {kKick, Fx(0), 0},              // Off writes the Off value itself
      {kKick, Fx(55), 55},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(table[r.number].Title + " " + FormatFixed(r.value, 0, 4, true));
    SetPrmValue(table, r.number, vcDrive, false, r.value, selection);
    EXPECT_EQ(PrmValueToRegister(table, r.number, vcDrive), r.word);
  }
}

TEST_F(RegisterTest, OffValueWithADivisorIsNotMultiplied) {
  table[kKick].Range_Step.Divisor = Fx(10);
  table[kKick].DisabledValue = Fx(7);
  SetPrmValue(table, kKick, vcMode1, false, Fx(7), selection);
  EXPECT_EQ(PrmValueToRegister(table, kKick, vcMode1), 7);
  RegisterToPrmValue(table, kKick, vcDrive, 7, selection);
  EXPECT_EQ(GetPrmValue(table, kKick, vcDrive), Fx(7));
  EXPECT_EQ(FormatPrmValue(table, kKick, vcDrive), "Off");
  RegisterToPrmValue(table, kKick, vcDrive, 550, selection);
  EXPECT_EQ(GetPrmValue(table, kKick, vcDrive), Fx(55));
}

TEST_F(RegisterTest, MultiRegisterValuesComposeAndSplit) {
  EXPECT_EQ(GroupLength(table, kCounter), 2);
  EXPECT_EQ(GroupLength(table, kText), 8);
  EXPECT_EQ(GroupLength(table, kFla), 1);
  EXPECT_EQ(GetPrmMinimum(table, kCounter, vcMode1), Fx(0));
  EXPECT_EQ(GetPrmMaximum(table, kCounter, vcMode1), Fx(65535 + 15 * 65536));

  SetPrmValue(table, kCounter, vcMode1, true, Fx(196610.9), selection);  // 0x0003'0002, truncated
  EXPECT_EQ(GetPrmValue(table, kCounterHigh, vcMode1), Fx(3));
  EXPECT_EQ(table[kCounter].Value_Index[vcMode1], Fx(2));
  EXPECT_EQ(GetPrmValue(table, kCounter, vcMode1), Fx(196610));
  EXPECT_EQ(PrmValueToRegister(table, kCounter, vcMode1), 2);
  EXPECT_EQ(PrmValueToRegister(table, kCounterHigh, vcMode1), 3);
  EXPECT_TRUE(flags.ProjectModified);

  // Read record by record, in either order.
  RegisterToPrmValue(table, kCounterHigh, vcDrive, 1, selection);
  RegisterToPrmValue(table, kCounter, vcDrive, 7, selection);
  EXPECT_EQ(GetPrmValue(table, kCounter, vcDrive), Fx(65543));
  EXPECT_EQ(FormatPrmValue(table, kCounter, vcDrive), "65,543");

  CopyPrmColumn(table, kCounter, vcDrive, vcMode1, selection);
  EXPECT_EQ(GetPrmValue(table, kCounter, vcMode1), Fx(65543));
}

TEST_F(RegisterTest, MultiRegisterOffValueLivesInEveryRecord) {
  ParsePrmText(table, kTimer, vcMode1, "70000", selection);
  EXPECT_EQ(GetPrmValue(table, kTimer, vcMode1), Fx(70000));
  EXPECT_EQ(PrmValueToRegister(table, kTimer, vcMode1), 70000 - 65536);
  EXPECT_EQ(PrmValueToRegister(table, kTimerHigh, vcMode1), 1);

  ParsePrmText(table, kTimer, vcMode1, "Off", selection);
  EXPECT_EQ(table[kTimer].Value_Index[vcMode1], Fx(0));
  EXPECT_EQ(table[kTimerHigh].Value_Index[vcMode1], Fx(0));
  EXPECT_TRUE(IsPrmOff(table, kTimer, vcMode1));
  EXPECT_EQ(FormatPrmValue(table, kTimer, vcMode1), "Off");
  EXPECT_EQ(PrmValueToRegister(table, kTimer, vcMode1), 0);
  EXPECT_EQ(PrmValueToRegister(table, kTimerHigh, vcMode1), 0);
  EXPECT_EQ(PrmHintText(table, kTimer, vcMode1), "0 to 131,071 s or Off");
}

TEST_F(RegisterTest, StoreMarksOnlyChangedWorkingValues) {
  struct Row {
    int column;
    bool markModified;
    Fixed value;
    bool expectModified;
  };
  const Row rows[] = {
      {vcMode1, true, Fx(5), false},    // same value as before
      {vcDrive, true, Fx(6), false},    // not the working column
      {vcMode1, false, Fx(7), false},   // not marking
      {vcMode1, true, Fx(8), true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.column);
    flags = TModifiedFlags();
    table[kFla].Refresh_Prm = false;
    SetPrmValue(table, kFla, r.column, r.markModified, r.value, selection);
    EXPECT_TRUE(table[kFla].Refresh_Prm);
    EXPECT_EQ(flags.ProjectModified, r.expectModified);
    EXPECT_EQ(flags.EditorValueChanged, r.expectModified);
    EXPECT_EQ(GetPrmValue(table, kFla, r.column), r.value);
  }
}

TEST_F(RegisterTest, InvalidNumbersGiveNeutralResults) {
  for (int number : {0, -1, kCount + 1, 500}) {
    SCOPED_TRACE(number);
    EXPECT_FALSE(PrmExists(table, number));
    EXPECT_EQ(GetPrmValue(table, number, vcMode1), Fixed());
    SetPrmValue(table, number, vcMode1, true, Fx(3), selection);
    RegisterToPrmValue(table, number, vcMode1, 3, selection);
    EXPECT_EQ(PrmValueToRegister(table, number, vcMode1), 0);
    EXPECT_EQ(FormatPrmValue(table, number, vcMode1), "");
    EXPECT_EQ(ParsePrmText(table, number, vcMode1, "3", selection), Fixed());
    EXPECT_EQ(PrmHintText(table, number, vcMode1), "");
    EXPECT_EQ(ListIndexOfValue(table, number, Fx(1)), -1);
    EXPECT_FALSE(IsPrmAvailable(table, number, vcMode1, 0, selection));
    parameter_info row;
    FillParameterInfo(table, number, 0, row, selection);
    EXPECT_EQ(row.Prm_Number, "");
  }
  EXPECT_EQ(GetPrmValue(table, kFla, 10), Fixed());  // no such column
  EXPECT_FALSE(flags.ProjectModified);
}

TEST_F(RegisterTest, TablesKeepRecordAddressesUpToTheirCapacity) {
  PrmTable copy = table;
  EXPECT_EQ(copy.Capacity(), kMaxParameters);
  EXPECT_EQ(copy.Count(), kCount);
  EXPECT_EQ(copy[kFla].Title, "Motor FLA");
  EXPECT_EQ(copy.DEPENDENCY_MAP[deiTemperatureUnits], kTempUnits);
  const PRM_REC* first = &copy[1];
  while (copy.Count() < copy.Capacity()) ASSERT_NE(copy.Append(), nullptr);
  EXPECT_EQ(&copy[1], first);
  EXPECT_EQ(copy.Append(), nullptr);
  EXPECT_EQ(copy[copy.Count()].Index, kMaxParameters);
  EXPECT_EQ(copy[copy.Count()].PRMNUM, kMaxParameters);
  // The copy is independent of the original.
  SetPrmValue(copy, kFla, vcMode1, false, Fx(77), selection);
  EXPECT_NE(GetPrmValue(table, kFla, vcMode1), Fx(77));
  copy.Truncate(3);
  EXPECT_EQ(copy.Count(), 3);
  EXPECT_FALSE(PrmExists(copy, 4));
}
