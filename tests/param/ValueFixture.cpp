#include "ValueFixture.h"

#include <cstdio>

namespace rv8::param::testing {

PRM_REC& ValueTableTest::Add(const std::string& title, int editType, double divisor, double minimum, double maximum,
                             const std::string& units, double defaultValue) {
  PRM_REC* r = table.Append();
  EXPECT_NE(r, nullptr);
  r->Menu = 'A';
  r->PRMADDR = static_cast<std::uint16_t>(1000 + r->Index);
  char id[8];
  std::snprintf(id, sizeof id, "F%.3u", static_cast<unsigned>(r->PRMADDR % 1000));
  r->PARAMETER_ID = id;
  r->SaveId = id;
  r->Title = title;
  r->EDIT_TYPE = static_cast<std::uint8_t>(editType);
  r->Range_Step.Divisor = Fx(divisor);
  r->Range_Step.Ranges = {TPrmRange{Fx(minimum), Fx(maximum), units}};
  r->Visible_M1 = {true, true, true, true, false};
  r->FLASHNO_INDEX = FLASHSET::All();
  r->APPLICATION_ID = FLASHSET::Range(1, 9);
  r->Value_Index.fill(Fx(defaultValue));
  return *r;
}

void ValueTableTest::SetAllColumns(int number, Fixed value) { table[number].Value_Index.fill(value); }

void ValueTableTest::SetUp() {
  m_savedSettings = NUMBER_SETTINGS;
  ApplyNumberSettings(NUMBER_SETTINGS, ".", ",", ":");
  m_previousSink = SetWarningSink(&warnings);
  table.ModifiedFlags = &flags;

  Add("Motor FLA", etNumber, 1, 5, 1500, "A.", 5);
  PRM_REC& kick = Add("Kick Voltage", etOffNumber, 1, 10, 100, "%", 0);
  kick.DisabledValue = Fx(0);
  Add("Offset", etNumber, 1, -100, 100, "", 0);
  Add("Trim", etNumber, 100, -1, 1, "", 0);
  PRM_REC& step = Add("Step Time", etSteppedNumber, 1, 0, 100, "Sec.", 10);
  step.StepSize = Fx(5);
  Add("Ratio", etNumber, 10, 0, 25.5, "", 1);
  PRM_REC& time = Add("Start Time", etTimeOfDay, 1, 0, 2359, "", 930);
  time.DisabledValue = Fx(9999);
  PRM_REC& sf = Add("Service Factor", etList, 1, 100, 130, "", 100);
  sf.PrmListId = pliServiceFactor;
  for (int v : {100, 105, 110, 115, 120, 125, 130}) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", v / 100, v % 100);
    sf.ValueSTR.Add(text, static_cast<std::uint16_t>(v));
  }
  Add("Run Counter", etMultiRegisterNumber, 1, 0, 65535, "h", 0);
  PRM_REC& counterHigh = Add("Run Counter", etMultiRegisterNumber, 1, 0, 15, "h", 0);
  counterHigh.IsContinuation = true;
  Add("Drive Name", etText, 1, 0, 65535, "", 0);
  for (int k = 1; k < 8; ++k) Add("Drive Name", etText, 1, 0, 65535, "", 0).IsContinuation = true;
  PRM_REC& units = Add("Temperature Units", etList, 1, 0, 1, "", 0);
  units.ValueSTR.Add("Celsius", 0);
  units.ValueSTR.Add("Fahrenheit", 1);
  table.DEPENDENCY_MAP.Set(deiTemperatureUnits, units.Index);
  PRM_REC& temp = Add("Motor Temperature Trip", etTemperatureOffNumber, 1, 0, 100, "C", 80);
  temp.Range_Step.Ranges.push_back(TPrmRange{Fx(32), Fx(212), "F"});
  temp.DisabledValue = Fx(255);
  PRM_REC& timer = Add("Lockout Timer", etMultiRegisterOffNumber, 1, 0, 65535, "s", 0);
  timer.DisabledValue = Fx(0);
  PRM_REC& timerHigh = Add("Lockout Timer", etMultiRegisterOffNumber, 1, 0, 1, "s", 0);
  timerHigh.IsContinuation = true;
  timerHigh.DisabledValue = Fx(0);
  PRM_REC& ct = Add("CT Value", etNumber, 1, 25, 1200, "", 50);
  ct.Visible_M1 = {false, false, false, false, false};
  table.DEPENDENCY_MAP.Set(deiCtValue, ct.Index);
  Add("Factory Trim", etNumber, 1, 0, 10, "", 0).ADVANCED = 1;
  Add("Legacy Option", etNumber, 1, 0, 10, "", 0).FLASHNO_INDEX = FLASHSET{3};
  Add("Revision", etNumber, 1, 0, 65535, "", 401).MONITOR_ONLY = true;
  ASSERT_EQ(table.Count(), kCount);
  ASSERT_EQ(table[kTempUnits].Title, "Temperature Units");
}

void ValueTableTest::TearDown() {
  SetWarningSink(m_previousSink);
  NUMBER_SETTINGS = m_savedSettings;
}

}  // namespace rv8::param::testing
