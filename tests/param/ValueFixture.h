#pragma once
// A small hand-built parameter table covering every edit type the value rules distinguish.

#include "FakeControls.h"
#include "param/VarDrive.h"

#include <gtest/gtest.h>

namespace rv8::param::testing {

class ValueTableTest : public ::testing::Test {
protected:
  enum Number {
    kFla = 1,        // number, divisor 1, 5..1500 "A."
    kKick,           // number or Off (0), 10..100 "%"
    kSigned,         // number, -100..100
    kSignedCenti,    // number, divisor 100, -1..1
    kStep,           // steps of 5, 0..100 "Sec."
    kRatio,          // divisor 10, 0..25.5
    kTime,           // time of day 00:00..23:59, Off value 9999
    kServiceFactor,  // list 100..130
    kCounter,        // multi-register number, two registers
    kCounterHigh,
    kText,           // text, eight registers
    kTextEnd = kText + 7,
    kTempUnits,      // list: 0 Celsius, 1 Fahrenheit
    kTemperature,    // Off 255; ranges follow the temperature units
    kTimer,          // multi-register number with Off value 0, two registers
    kTimerHigh,
    kCtValue,        // number, hidden in the browser but shown in visibility mode 1
    kAdvanced,       // needs AdvancedMode
    kOldFirmware,    // exists only in firmware position 3
    kReadOnly,       // MONITOR_ONLY
    kCount = kReadOnly,
  };

  void SetUp() override;
  void TearDown() override;

  PRM_REC& Add(const std::string& title, int editType, double divisor, double minimum, double maximum,
               const std::string& units, double defaultValue);

  // Stores a value in every column the way the catalogue does for defaults.
  void SetAllColumns(int number, Fixed value);

  PrmTable table{kMaxParameters};
  TSelectionState selection;
  TModifiedFlags flags;
  RecordingWarnings warnings;

private:
  IWarningSink* m_previousSink = nullptr;
  TNumberSettings m_savedSettings;
};

}  // namespace rv8::param::testing
