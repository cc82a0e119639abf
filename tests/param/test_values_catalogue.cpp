// The value rules applied to the built-in catalogue.

#include "FakeControls.h"
#include "param/Catalogue.h"

#include <gtest/gtest.h>

using namespace rv8::param;
using rv8::param::testing::FakeCombo;
using rv8::param::testing::FakeEdit;
using rv8::param::testing::RecordingWarnings;
using rv8::param::testing::ScopedNumberSettings;

namespace {

class BuiltInValuesTest : public ::testing::TestWithParam<int> {
protected:
  void SetUp() override {
    m_previous = SetWarningSink(&warnings);
    parameters.ModifiedFlags = &flags;
    selection.CurrentModelCode = 150;
    selection.CurrentFlashIndex = GetParam();
    ASSERT_EQ(BuildCatalogue(parameters, signalTable, selection, true), "");
  }
  void TearDown() override { SetWarningSink(m_previous); }

  int NumberOf(const std::string& title) const {
    for (int n = 1; n <= parameters.Count(); ++n)
      if (parameters[n].Title == title) return n;
    ADD_FAILURE() << "no parameter " << title;
    return 0;
  }

  PrmTable parameters{kMaxParameters};
  PrmTable signalTable{kMaxSignals};
  TSelectionState selection;
  TModifiedFlags flags;
  RecordingWarnings warnings;
  ScopedNumberSettings english{".", ","};

private:
  IWarningSink* m_previous = nullptr;
};

}  // namespace

TEST_P(BuiltInValuesTest, KickVoltageOffValueAndKickTimeDivisor) {
  int kick = parameters.DEPENDENCY_MAP[deiKickVoltage];
  ASSERT_EQ(parameters[kick].Title, "Kick Voltage");
  EXPECT_EQ(PrmHintText(parameters, kick, vcMode1), "10 to 100 % or Off");
  ParsePrmText(parameters, kick, vcMode1, "Off", selection);
  EXPECT_EQ(PrmValueToRegister(parameters, kick, vcMode1), 0);
  RegisterToPrmValue(parameters, kick, vcDrive, 0, selection);
  EXPECT_EQ(FormatPrmValue(parameters, kick, vcDrive), "Off");

  int kickTime = parameters.DEPENDENCY_MAP[deiKickTime];
  SetPrmValue(parameters, kickTime, vcMode1, false, Fx(0.8), selection);
  EXPECT_EQ(PrmValueToRegister(parameters, kickTime, vcMode1), 8);
  RegisterToPrmValue(parameters, kickTime, vcDrive, 15, selection);
  EXPECT_EQ(FormatPrmValue(parameters, kickTime, vcDrive), "1.5");
}

TEST_P(BuiltInValuesTest, FirstParameterRow) {
  parameter_info row;
  FillParameterInfo(parameters, 1, 4, row, selection);
  EXPECT_EQ(row.Prm_Addr, "1001 (03E9h)");
  EXPECT_EQ(row.Prm_Number, "F001");
  EXPECT_EQ(row.Prm_Value, "75");
  EXPECT_EQ(row.Prm_Unit_wSp, " A.");
  int sf = parameters.DEPENDENCY_MAP[deiServiceFactor];
  SetPrmValue(parameters, sf, vcMode1, false, Fx(115), selection);
  EXPECT_EQ(ListNumericValue(parameters, sf, vcMode1), Fx(1.15));
}

// Every record binds to the control of its kind, and the text it shows commits back to the
// same value without a warning: the catalogue and the value rules agree.
TEST_P(BuiltInValuesTest, EveryDefaultSurvivesShowAndCommit) {
  for (int n = 1; n <= parameters.Count(); ++n) {
    const PRM_REC& r = parameters[n];
    SCOPED_TRACE(r.PARAMETER_ID + " " + r.Title);
    TPrmEdit binding;
    binding.Index = n;
    FakeCombo combo;
    FakeEdit edit;
    if (IsListEditType(r.EDIT_TYPE)) binding.ComboBox = &combo;
    else binding.EditBox = &edit;
    const Fixed before = GetPrmValue(parameters, n, vcMode1);
    EXPECT_NO_THROW(InitializePrmEdit(parameters, vcMode1, binding, true, iemPrmToEdit, selection));
    if (!IsPrmAvailable(parameters, n, vcMode1, 2, selection)) continue;
    EXPECT_NO_THROW(InitializePrmEdit(parameters, vcMode1, binding, true, iemEditToPrm, selection));
    EXPECT_EQ(GetPrmValue(parameters, n, vcMode1), before);
    EXPECT_EQ(PrmValueToRegister(parameters, n, vcMode1), PrmValueToRegister(parameters, n, vcDefault));
  }
  EXPECT_TRUE(warnings.texts.empty()) << (warnings.texts.empty() ? "" : warnings.texts.front());
  EXPECT_FALSE(flags.ProjectModified);
}

INSTANTIATE_TEST_SUITE_P(Firmware, BuiltInValuesTest, ::testing::Values(0, 18));
