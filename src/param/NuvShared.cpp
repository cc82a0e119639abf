#include "param/NuvShared.h"

namespace rv8::param {

TNumberSettings NUMBER_SETTINGS;

void ApplyNumberSettings(TNumberSettings& settings, const std::string& decimalSeparator,
                         const std::string& thousandsSeparator, const std::string& timeSeparator,
                         const std::string& systemDecimalSeparator,
                         const std::string& systemThousandsSeparator) {
  settings.DecimalSeparator = decimalSeparator;
  settings.ThousandsSeparator = thousandsSeparator;
  settings.TimeSeparator = timeSeparator;
  settings.ProgramDecimalSeparator = systemDecimalSeparator;
  settings.ProgramThousandsSeparator = systemThousandsSeparator;
  // Equal separators would make numbers unreadable: fall back to the plain pair everywhere.
  if (systemDecimalSeparator == systemThousandsSeparator) {
    settings.ProgramDecimalSeparator = ".";
    settings.ProgramThousandsSeparator = ",";
    settings.DecimalSeparator = ".";
    settings.ThousandsSeparator = ",";
  }
}

void ApplyNumberSettings(TNumberSettings& settings, const std::string& decimalSeparator,
                         const std::string& thousandsSeparator, const std::string& timeSeparator) {
  ApplyNumberSettings(settings, decimalSeparator, thousandsSeparator, timeSeparator, decimalSeparator,
                      thousandsSeparator);
}

}  // namespace rv8::param
