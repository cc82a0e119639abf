// Display texts, parsing of edit-box entries, time of day, text parameters, lists.

#include "ValueFixture.h"

using namespace rv8::param;
using rv8::param::testing::ScopedNumberSettings;
using rv8::param::testing::ValueTableTest;

namespace {

using ValueTextTest = ValueTableTest;

const char* const kStepWarning =
    "Parameter has to be set in increments of 5, the value entered will be automatically adjusted.";

}  // namespace

TEST(NumberOfDigits, PlacesOfADivisor) {
  struct Row {
    double divisor;
    int digits;
  };
  const Row rows[] = {{1, 0}, {10, 1}, {50, 1}, {100, 2}, {1000, 3}, {15, 1}, {0.5, 0}, {9.99, 0}, {250, 2}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.divisor);
    EXPECT_EQ(Number_of_Digits(Fx(r.divisor)), r.digits);
  }
}

TEST_F(ValueTextTest, FormatInBothLocales) {
  struct Row {
    int number;
    Fixed value;
    const char* english;
    const char* german;
  };
  const Row rows[] = {
      {kFla, Fx(1500), "1,500", "1.500"},
      {kRatio, Fx(0.8), "0.8", "0,8"},
      {kRatio, Fx(0.85), "0.9", "0,9"},  // display rounds half away
      {kSignedCenti, Fx(-0.75), "-0.75", "-0,75"},
      {kTime, Fx(930), "09:30", "09:30"},
      {kTime, Fx(5), "00:05", "00:05"},
      {kKick, Fx(0), "Off", "Off"},
      {kKick, Fx(10), "10", "10"},
      {kTemperature, Fx(255), "Off", "Off"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.english);
    SetPrmValue(table, r.number, vcMode1, false, r.value, selection);
    {
      ScopedNumberSettings en(".", ",");
      EXPECT_EQ(FormatPrmValue(table, r.number, vcMode1), r.english);
    }
    {
      ScopedNumberSettings de(",", ".");
      EXPECT_EQ(FormatPrmValue(table, r.number, vcMode1), r.german);
    }
  }
}

TEST_F(ValueTextTest, HintsInBothLocales) {
  struct Row {
    int number;
    const char* english;
    const char* german;
  };
  const Row rows[] = {
      {kKick, "10 to 100 % or Off", "10 to 100 % or Off"},
      {kFla, "5 to 1,500 A.", "5 to 1.500 A."},
      {kRatio, "0.0 to 25.5", "0,0 to 25,5"},
      {kTime, "00:00 to 23:59 or Off", "00:00 to 23:59 or Off"},
      {kText, "", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.english);
    {
      ScopedNumberSettings en(".", ",");
      EXPECT_EQ(PrmHintText(table, r.number, vcMode1), r.english);
    }
    {
      ScopedNumberSettings de(",", ".");
      EXPECT_EQ(PrmHintText(table, r.number, vcMode1), r.german);
    }
  }
}

TEST_F(ValueTextTest, EntriesParsedStepAdjustedAndClamped) {
  struct Row {
    const char* locale;  // "en" or "de"
    int number;
    const char* text;
    Fixed stored;
    bool warned;
  };
  const Row rows[] = {
      {"en", kFla, "1,500", Fx(1500), false},    // grouping removed
      {"en", kFla, "99999", Fx(1500), false},    // clamped to the maximum, silently
      {"en", kFla, "1", Fx(5), false},           // clamped to the minimum
      {"en", kFla, "abc", Fx(5), false},         // not a number: 0, then the minimum
      {"en", kSigned, "abc", Fx(0), false},      // 0 lies in the range
      {"en", kSigned, "-55", Fx(-55), false},
      {"en", kStep, "3.7", Fx(5), true},
      {"en", kStep, "12.5", Fx(10), true},       // 2.5 steps: ties to even
      {"en", kStep, "15", Fx(15), false},
      {"en", kStep, "250", Fx(100), false},
      {"en", kRatio, "0.8", Fx(0.8), false},
      {"en", kKick, "Off", Fx(0), false},
      {"en", kKick, "off", Fx(10), false},       // the Off text is matched exactly
      {"de", kFla, "1.500", Fx(1500), false},
      {"de", kRatio, "0,8", Fx(0.8), false},
      {"de", kRatio, "2.5", Fx(25), false},      // "." is the German grouping mark
      {"de", kStep, "3,7", Fx(5), true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.locale) + " " + table[r.number].Title + " " + r.text);
    bool german = std::string(r.locale) == "de";
    ScopedNumberSettings locale(german ? "," : ".", german ? "." : ",");
    warnings.texts.clear();
    flags = {};
    Fixed result = ParsePrmText(table, r.number, vcMode1, r.text, selection);
    EXPECT_EQ(result, r.stored);
    EXPECT_EQ(GetPrmValue(table, r.number, vcMode1), r.stored);
    if (r.warned) {
      ASSERT_EQ(warnings.texts.size(), 1u);
      EXPECT_EQ(warnings.texts[0], kStepWarning);
    } else {
      EXPECT_TRUE(warnings.texts.empty());
    }
  }
}

TEST_F(ValueTextTest, StepWarningUsesTheDivisorsPlaces) {
  table[kStep].Range_Step.Divisor = Fx(10);
  table[kStep].StepSize = Fx(0.5);
  {
    ScopedNumberSettings de(",", ".");
    EXPECT_EQ(ParsePrmText(table, kStep, vcMode1, "3,7", selection), Fx(3.5));
  }
  ASSERT_EQ(warnings.texts.size(), 1u);
  EXPECT_EQ(warnings.texts[0],
            "Parameter has to be set in increments of 0,5, the value entered will be automatically adjusted.");
}

TEST_F(ValueTextTest, TimeOfDayEntries) {
  struct Row {
    const char* text;
    Fixed stored;
    const char* shown;
  };
  const Row rows[] = {
      {"2500", Fx(2359), "23:59"},  // beyond the last minute of the range
      {"09:30", Fx(930), "09:30"},
      {"0575", Fx(615), "06:15"},   // 75 minutes carried into the hour
      {"-5", Fx(0), "00:00"},
      {"1230", Fx(1230), "12:30"},
      {"Off", Fx(9999), "Off"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(ParsePrmText(table, kTime, vcMode1, r.text, selection), r.stored);
    EXPECT_EQ(FormatPrmValue(table, kTime, vcMode1), r.shown);
  }
  // The comparison is on times: a range starting at 06:00 refuses 05:75 (06:15 is inside).
  table[kTime].Range_Step.Ranges[0].Minimum = Fx(600);
  EXPECT_EQ(ParsePrmText(table, kTime, vcMode1, "0575", selection), Fx(615));
  EXPECT_EQ(ParsePrmText(table, kTime, vcMode1, "0559", selection), Fx(600));
}

TEST_F(ValueTextTest, TextParametersTwoCharactersPerRegister) {
  ParsePrmText(table, kText, vcMode1, "Pump #3 (main); line 7", selection);
  EXPECT_EQ(FormatPrmValue(table, kText, vcMode1), "PUMP #3 (MAIN) ");  // 15 characters, ";" a space
  EXPECT_EQ(table[kText].Value_Index[vcMode1], Fx('P' | ('U' << 8)));
  EXPECT_EQ(table[kText + 7].Value_Index[vcMode1], Fx(' '));  // 15th character, high byte zero
  EXPECT_EQ(PrmValueToRegister(table, kText + 1, vcMode1), 'M' | ('P' << 8));
  EXPECT_TRUE(flags.ProjectModified);

  ParsePrmText(table, kText, vcMode1, "ab\u00E9/x", selection);
  EXPECT_EQ(FormatPrmValue(table, kText, vcMode1), "AB  X");
  EXPECT_EQ(table[kText + 3].Value_Index[vcMode1], Fx(0));  // shorter text: zeros

  // A zero byte ends the text, wherever it stands.
  SetAllColumns(kText, Fx('A'));
  SetAllColumns(kText + 1, Fx('B' | ('C' << 8)));
  EXPECT_EQ(FormatPrmValue(table, kText, vcMode1), "A");

  ParsePrmText(table, kText, vcMode2, "RV8 #1", selection);
  CopyPrmColumn(table, kText, vcMode2, vcSnapshot, selection);
  EXPECT_EQ(FormatPrmValue(table, kText, vcSnapshot), "RV8 #1");
  EXPECT_EQ(PrmHintText(table, kText, vcMode1), "");
}

TEST_F(ValueTextTest, TextReadFromTheStarterDecodesItsCodePage) {
  RegisterToPrmValue(table, kText, vcDrive, 'O' | (0xC9 << 8), selection);
  RegisterToPrmValue(table, kText + 1, vcDrive, 0, selection);
  EXPECT_EQ(FormatPrmValue(table, kText, vcDrive), "O\u00C9");
}

TEST_F(ValueTextTest, ListLookups) {
  SetAllColumns(kServiceFactor, Fx(115));
  EXPECT_EQ(ListIndexOfValue(table, kServiceFactor, Fx(115)), 3);
  EXPECT_EQ(ListIndexOfValue(table, kServiceFactor, Fx(116)), -1);
  EXPECT_EQ(ListTextOfValue(table, kServiceFactor, vcMode1, Fx(115), "?", selection), "1.15");
  EXPECT_EQ(ListTextOfValue(table, kServiceFactor, vcMode1, Fx(999), "?", selection), "?");
  EXPECT_TRUE(warnings.texts.empty());
  EXPECT_EQ(ListNumericValue(table, kServiceFactor, vcMode1), Fx(1.15));
  SetAllColumns(kServiceFactor, Fx(117));
  EXPECT_EQ(ListNumericValue(table, kServiceFactor, vcMode1), Fx(117));  // no item: the value

  table[kServiceFactor].ValueSTR.ENABLE_A[3][vcMode1] = false;
  EXPECT_EQ(ListTextOfValue(table, kServiceFactor, vcMode1, Fx(115), "?", selection), "?");
  ASSERT_EQ(warnings.texts.size(), 1u);
  EXPECT_EQ(warnings.texts[0], "Parameter setting disabled: Service Factor");
  // Columns above the mode columns use the working column's flags.
  selection.CurrentControlMode = 1;
  EXPECT_EQ(ListTextOfValue(table, kServiceFactor, vcDrive, Fx(115), "?", selection), "1.15");
}

TEST_F(ValueTextTest, RangesAndUnitsFollowTheTemperatureUnits) {
  struct Row {
    Fixed unitsValue;
    Fixed minimum, maximum;
    const char* units;
  };
  const Row rows[] = {
      {Fx(0), Fx(0), Fx(100), "C"},
      {Fx(1), Fx(32), Fx(212), "F"},
      {Fx(7), Fx(0), Fx(100), ""},  // no such item: the first range, no units
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.units);
    SetAllColumns(kTempUnits, r.unitsValue);
    EXPECT_EQ(GetPrmMinimum(table, kTemperature, vcMode1), r.minimum);
    EXPECT_EQ(GetPrmMaximum(table, kTemperature, vcMode1), r.maximum);
    EXPECT_EQ(GetPrmUnits(table, kTemperature, vcMode1), r.units);
  }
  SetAllColumns(kTempUnits, Fx(1));
  EXPECT_EQ(ParsePrmText(table, kTemperature, vcMode1, "20", selection), Fx(32));
  EXPECT_EQ(PrmHintText(table, kTemperature, vcMode1), "32 to 212 F or Off");
  // Without a mapped temperature-units parameter the first range applies.
  table.DEPENDENCY_MAP.Set(deiTemperatureUnits, -1);
  EXPECT_EQ(GetPrmMaximum(table, kTemperature, vcMode1), Fx(100));
}

TEST_F(ValueTextTest, Availability) {
  struct Row {
    int number;
    int mode;
    bool advancedMode;
    int flashIndex;
    bool available;
  };
  const Row rows[] = {
      {kFla, 2, false, 0, true},
      {kAdvanced, 2, false, 0, false},
      {kAdvanced, 2, true, 0, true},
      {kAdvanced, 0, false, 0, true},
      {kOldFirmware, 0, false, 0, false},
      {kOldFirmware, 2, false, 3, true},
      {kCtValue, 2, false, 0, false},
      {kCtValue, 1, false, 0, true},
      {kCtValue, 0, false, 0, true},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(table[r.number].Title + " mode " + std::to_string(r.mode));
    selection.AdvancedMode = r.advancedMode;
    selection.CurrentFlashIndex = r.flashIndex;
    EXPECT_EQ(IsPrmAvailable(table, r.number, vcMode1, r.mode, selection), r.available);
  }
  selection = {};
  EXPECT_TRUE(IsPrmAvailable(table, kReadOnly, vcMode1, 2, selection));
  EXPECT_FALSE(IsPrmEditable(table, kReadOnly, vcMode1, selection));
  EXPECT_TRUE(IsPrmEditable(table, kFla, vcMode1, selection));
  // Visibility of columns 5 and above follows the working column.
  table[kFla].Visible_M1[0] = false;
  EXPECT_FALSE(IsPrmAvailable(table, kFla, vcDrive, 2, selection));
  EXPECT_TRUE(IsPrmAvailable(table, kFla, vcMode2, 2, selection));
}

TEST_F(ValueTextTest, ParameterInfoRows) {
  SetPrmValue(table, kFla, vcDrive, false, Fx(1250), selection);
  parameter_info row;
  FillParameterInfo(table, kFla, 3, row, selection);
  EXPECT_EQ(row.Prm_Number, "F001");
  EXPECT_EQ(row.Prm_Title, "Motor FLA");
  EXPECT_EQ(row.Prm_Addr, "1001 (03E9h)");
  EXPECT_EQ(row.Prm_Display, 1);
  EXPECT_EQ(row.Prm_Value, "1,250");
  EXPECT_EQ(row.Prm_Actual_Value, "1,250");
  EXPECT_EQ(row.Prm_Unit, "A.");
  EXPECT_EQ(row.Prm_Unit_wSp, " A.");
  EXPECT_EQ(row.Prm_Select_Index, 0);  // no list items at all
  EXPECT_EQ(row.Prm_Info, "");
  EXPECT_EQ(row.strMinValue, "5");
  EXPECT_EQ(row.strMaxValue, "1,500");
  EXPECT_EQ(row.Number_of_Digits, 0);
  EXPECT_DOUBLE_EQ(row.PrmRealActualValue, 1250.0);
  EXPECT_DOUBLE_EQ(row.Prm_Multiplier, 1.0);
  EXPECT_EQ(row.Prm_Search_Str, "F001 Motor FLA 1,250 A. ");

  FillParameterInfo(table, kKick, 4, row, selection);  // default column holds Off
  EXPECT_EQ(row.Prm_Value, "Off");
  EXPECT_EQ(row.Prm_Unit, "");
  EXPECT_EQ(row.Prm_Unit_wSp, "");

  FillParameterInfo(table, kReadOnly, 0, row, selection);
  EXPECT_EQ(row.Prm_Display, 2);

  FillParameterInfo(table, kRatio, 0, row, selection);
  EXPECT_EQ(row.Number_of_Digits, 1);
  EXPECT_EQ(row.strMaxValue, "25.5");
  EXPECT_DOUBLE_EQ(row.Prm_Multiplier, 10.0);
}

TEST_F(ValueTextTest, ParameterInfoListPositionCountsOnlyItemsInRange) {
  PRM_REC& sf = table[kServiceFactor];
  sf.Range_Step.Ranges[0] = {Fx(105), Fx(120), ""};  // 1.05 .. 1.20 in range: four items
  struct Row {
    Fixed value;
    int index;
    const char* info;
  };
  const Row rows[] = {
      {Fx(105), 0, "1.05"},
      {Fx(120), 3, "1.20"},
      {Fx(100), -1, ""},       // an item out of range never matches
      {Fx(999), -1, ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.info);
    SetAllColumns(kServiceFactor, r.value);
    parameter_info row;
    FillParameterInfo(table, kServiceFactor, 0, row, selection);
    EXPECT_EQ(row.Prm_Select_Index, r.index);
    EXPECT_EQ(row.Prm_Info, r.info);
  }
  SetAllColumns(kServiceFactor, Fx(114.5));  // RoundHalfAway gives 115
  parameter_info row;
  FillParameterInfo(table, kServiceFactor, 0, row, selection);
  EXPECT_EQ(row.Prm_Select_Index, 2);
  EXPECT_EQ(row.Prm_Info, "1.15");
}
