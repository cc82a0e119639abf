// Binding parameters to combo and edit boxes, and the key filters of the edit boxes.

#include "ValueFixture.h"

using namespace rv8::param;
using rv8::param::testing::FakeCombo;
using rv8::param::testing::FakeEdit;
using rv8::param::testing::FakeLabel;
using rv8::param::testing::ScopedNumberSettings;
using rv8::param::testing::ValueTableTest;

namespace {

using ControlBindingTest = ValueTableTest;

TPrmEdit ComboBinding(FakeCombo& combo, int number) {
  TPrmEdit e;
  e.ComboBox = &combo;
  e.Index = number;
  return e;
}

TPrmEdit EditBinding(FakeEdit& edit, int number, FakeLabel* units = nullptr) {
  TPrmEdit e;
  e.EditBox = &edit;
  e.Index = number;
  e.Units = units;
  return e;
}

}  // namespace

TEST_F(ControlBindingTest, ComboShowsEnabledItemsAndSelectsTheValue) {
  SetAllColumns(kServiceFactor, Fx(115));
  table[kServiceFactor].ValueSTR.ENABLE_A[1][vcMode1] = false;  // 1.05 disabled for this column
  FakeCombo combo;
  TPrmEdit binding = ComboBinding(combo, kServiceFactor);
  InitializePrmEdit(table, vcMode1, binding, true, iemPrmToEdit, selection);
  ASSERT_EQ(combo.count(), 6);
  EXPECT_EQ(combo.itemText(1), "1.10");
  EXPECT_EQ(combo.itemValue(1), 110);
  EXPECT_EQ(combo.selectedIndex(), 2);
  EXPECT_EQ(combo.hint(), "1.15");
  EXPECT_TRUE(combo.enabled());
  EXPECT_EQ(combo.dropDownCount, 8);
  EXPECT_TRUE(warnings.texts.empty());

  combo.setSelectedIndex(4);
  InitializePrmEdit(table, vcMode1, binding, true, iemEditToPrm, selection);
  EXPECT_EQ(GetPrmValue(table, kServiceFactor, vcMode1), Fx(125));
  EXPECT_TRUE(flags.ProjectModified);
}

TEST_F(ControlBindingTest, ComboWithAnUnmatchedValueWarnsAndSelectsTheFirstItem) {
  SetAllColumns(kServiceFactor, Fx(117));
  FakeCombo combo;
  TPrmEdit binding = ComboBinding(combo, kServiceFactor);
  InitializePrmEdit(table, vcMode1, binding, true, iemPrmToEdit, selection);
  EXPECT_EQ(combo.selectedIndex(), 0);
  ASSERT_EQ(warnings.texts.size(), 1u);
  EXPECT_EQ(warnings.texts[0], "Parameter setting disabled: Service Factor");
}

TEST_F(ControlBindingTest, UnavailableComboShowsADashAndStoresNothing) {
  table[kServiceFactor].ADVANCED = 1;
  SetAllColumns(kServiceFactor, Fx(115));
  FakeCombo combo;
  TPrmEdit binding = ComboBinding(combo, kServiceFactor);
  InitializePrmEdit(table, vcMode1, binding, true, iemPrmToEdit, selection);
  ASSERT_EQ(combo.count(), 1);
  EXPECT_EQ(combo.itemText(0), "-");
  EXPECT_EQ(combo.selectedIndex(), 0);
  EXPECT_FALSE(combo.enabled());
  InitializePrmEdit(table, vcMode1, binding, true, iemEditToPrm, selection);
  EXPECT_EQ(GetPrmValue(table, kServiceFactor, vcMode1), Fx(115));
  EXPECT_FALSE(flags.ProjectModified);
}

TEST_F(ControlBindingTest, ReadOnlyComboIsDisabledAndNeverStores) {
  table[kServiceFactor].MONITOR_ONLY = true;
  SetAllColumns(kServiceFactor, Fx(115));
  FakeCombo combo;
  TPrmEdit binding = ComboBinding(combo, kServiceFactor);
  InitializePrmEdit(table, vcMode1, binding, true, iemPrmToEdit, selection);
  EXPECT_FALSE(combo.enabled());
  combo.setSelectedIndex(0);
  InitializePrmEdit(table, vcMode1, binding, true, iemEditToPrm, selection);
  EXPECT_EQ(GetPrmValue(table, kServiceFactor, vcMode1), Fx(115));
}

TEST_F(ControlBindingTest, CatalogueDefectsInBindingsAreErrors) {
  FakeCombo combo;
  FakeEdit edit;
  struct Row {
    TPrmEdit binding;
    const char* message;
  };
  const Row rows[] = {
      {ComboBinding(combo, kFla), "Combo tag number is invalid."},
      {ComboBinding(combo, 0), "Combo tag number is invalid."},
      {EditBinding(edit, kServiceFactor), "Edit tag number is invalid."},
      {EditBinding(edit, kCount + 1), "Edit tag number is invalid."},
  };
  for (Row row : rows) {
    SCOPED_TRACE(row.message);
    try {
      InitializePrmEdit(table, vcMode1, row.binding, true, iemPrmToEdit, selection);
      ADD_FAILURE() << "no error";
    } catch (const CatalogueError& e) {
      EXPECT_STREQ(e.what(), row.message);
    }
  }

  for (int i = 0; i < table[kServiceFactor].ValueSTR.TOTAL; ++i)
    table[kServiceFactor].ValueSTR.ENABLE_A[static_cast<std::size_t>(i)][vcMode1] = false;
  TPrmEdit binding = ComboBinding(combo, kServiceFactor);
  try {
    InitializePrmEdit(table, vcMode1, binding, true, iemPrmToEdit, selection);
    ADD_FAILURE() << "no error";
  } catch (const CatalogueError& e) {
    EXPECT_STREQ(e.what(), "No enabled items in list.");
  }
}

TEST_F(ControlBindingTest, EditBoxShowsValueHintAndUnitsAndCommitsItsText) {
  FakeEdit edit;
  FakeLabel units;
  TPrmEdit binding = EditBinding(edit, kFla, &units);
  SetPrmValue(table, kFla, vcMode1, false, Fx(1200), selection);
  InitializePrmEdit(table, vcMode1, binding, true, iemPrmToEdit, selection);
  EXPECT_EQ(edit.text(), "1,200");
  EXPECT_EQ(edit.hint(), "5 to 1,500 A.");
  EXPECT_EQ(units.text(), "A.");
  EXPECT_TRUE(edit.enabled());

  edit.setText("2,000");
  InitializePrmEdit(table, vcMode1, binding, true, iemEditToPrm, selection);
  EXPECT_EQ(GetPrmValue(table, kFla, vcMode1), Fx(1500));
  EXPECT_EQ(edit.text(), "1,500");  // the box shows what was stored
  EXPECT_TRUE(flags.ProjectModified);
  EXPECT_TRUE(flags.EditorValueChanged);
}

TEST_F(ControlBindingTest, UnavailableEditBoxShowsADashAndKeepsTheValue) {
  table[kFla].FLASHNO_INDEX = FLASHSET{5};
  SetPrmValue(table, kFla, vcMode1, false, Fx(1200), selection);
  FakeEdit edit;
  TPrmEdit binding = EditBinding(edit, kFla);
  InitializePrmEdit(table, vcMode1, binding, true, iemPrmToEdit, selection);
  EXPECT_EQ(edit.text(), "-");
  EXPECT_FALSE(edit.enabled());
  InitializePrmEdit(table, vcMode1, binding, true, iemEditToPrm, selection);
  EXPECT_EQ(GetPrmValue(table, kFla, vcMode1), Fx(1200));
  EXPECT_FALSE(flags.ProjectModified);
}

TEST_F(ControlBindingTest, ReadOnlyEditBoxIsDisabledAndNeverStores) {
  FakeEdit edit;
  TPrmEdit binding = EditBinding(edit, kReadOnly);
  InitializePrmEdit(table, vcMode1, binding, false, iemPrmToEdit, selection);
  EXPECT_EQ(edit.text(), "401");
  EXPECT_EQ(edit.hint(), "");  // setHint false
  EXPECT_FALSE(edit.enabled());
  edit.setText("5");
  InitializePrmEdit(table, vcMode1, binding, false, iemEditToPrm, selection);
  EXPECT_EQ(GetPrmValue(table, kReadOnly, vcMode1), Fx(401));
}

TEST_F(ControlBindingTest, NumericKeyFilter) {
  struct Row {
    const char* locale;
    int number;
    const char* before;
    char32_t key;
    char32_t passed;
    const char* after;
  };
  const Row rows[] = {
      {"en", kFla, "12", U'3', U'3', "12"},
      {"en", kFla, "12", U'.', U'.', "12"},
      {"en", kFla, "12", U',', kKeyNone, "12"},   // grouping marks are not typed
      {"en", kFla, "12", U'-', U'-', "12"},
      {"en", kFla, "12", U'a', kKeyNone, "12"},
      {"en", kFla, "12", U'o', kKeyNone, "12"},   // no Off value
      {"en", kFla, "12", kKeyBackspace, kKeyBackspace, "12"},
      {"en", kFla, "12", kKeyEnter, kKeyEnter, "12"},
      {"de", kFla, "12", U',', U',', "12"},
      {"de", kFla, "12", U'.', kKeyNone, "12"},
      {"en", kKick, "12", U'o', kKeyNone, "Off"},
      {"en", kKick, "12", U'F', kKeyNone, "Off"},
      {"en", kKick, "12", U'i', kKeyNone, "Off"},
      {"en", kKick, "12", U'x', kKeyNone, "12"},
      {"en", kKick, "Off", U'5', U'5', ""},        // typing over the Off text clears it
      {"en", kKick, "Off", kKeyBackspace, kKeyBackspace, ""},
      {"en", kKick, "Off", U'q', kKeyNone, "Off"},
      {"en", kText, "AB", U'c', U'C', "AB"},       // text parameters: upper case
      {"en", kText, "AB", U'/', kKeyNone, "AB"},
      {"en", kText, "AB", U'@', U'@', "AB"},
      {"en", kText, "AB", U' ', U' ', "AB"},
      {"en", kText, "AB", U'\u00E9', kKeyNone, "AB"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.locale) + " " + table[r.number].Title + " key " + std::to_string(r.key));
    bool german = std::string(r.locale) == "de";
    ScopedNumberSettings locale(german ? "," : ".", german ? "." : ",");
    FakeEdit box;
    box.setText(r.before);
    char32_t key = r.key;
    PrmEditKeyFilter(table, r.number, box, key);
    EXPECT_EQ(key, r.passed);
    EXPECT_EQ(box.text(), r.after);
  }
}
