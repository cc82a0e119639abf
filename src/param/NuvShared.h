#pragma once
// Number, text, time, text-file and control helpers shared across the program.
// All texts are UTF-8 std::string; text files are 8-bit Windows-1252 (see the conversion
// helpers below). Nothing here depends on Qt: the programs fill the number settings from
// QLocale at start, tests set them explicitly.

#include "param/Controls.h"
#include "param/Fixed.h"

#include <cstdint>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace rv8::param {

// ---------------------------------------------------------------------------------------------
// Number settings

struct TNumberSettings {
  // The user's number format; every formatting and parsing "in the user format" uses these.
  std::string DecimalSeparator = ".";
  std::string ThousandsSeparator = ",";
  std::string TimeSeparator = ":";
  // Separators of the system's default locale; the numeric key filters of some windows
  // accept ProgramDecimalSeparator as the decimal key.
  std::string ProgramDecimalSeparator = ".";
  std::string ProgramThousandsSeparator = ",";
};

// Program-wide number settings, written once at start-up (tests set them per case).
extern TNumberSettings NUMBER_SETTINGS;

// Fills the settings from the user format and the system locale's separators. When the system
// decimal and thousands separators are the same, both pairs become "." and ",".
void ApplyNumberSettings(TNumberSettings& settings, const std::string& decimalSeparator,
                         const std::string& thousandsSeparator, const std::string& timeSeparator,
                         const std::string& systemDecimalSeparator,
                         const std::string& systemThousandsSeparator);
// Same, with the system separators equal to the user format's.
void ApplyNumberSettings(TNumberSettings& settings, const std::string& decimalSeparator,
                         const std::string& thousandsSeparator, const std::string& timeSeparator);

// ---------------------------------------------------------------------------------------------
// Formatting

// plain false: user format, thousands grouped ("%*.*n"); plain true: "." decimal point, no
// grouping. Rounded half away from zero to `decimals` after taking 18 significant digits;
// padded on the left with spaces to `width` (0 = no padding).
std::string FormatNumber(double value, int width, int decimals, bool plain);
// Same for a fixed-point value (exact: no floating step).
std::string FormatFixed(Fixed value, int width, int decimals, bool plain);
std::string FormatInteger(std::int64_t value, int width, bool plain);

// ---------------------------------------------------------------------------------------------
// Parsing (never fails: text that is not a number gives the default)

std::string RemoveThousandsSeparators(const std::string& text);
// Thousands separators removed, the user's decimal separator replaced by ".".
std::string ToPlainDecimal(const std::string& text);
std::string RemoveCharacters(const std::string& text, std::string_view characters);

Fixed ParseFixed(const std::string& text, bool plain, Fixed defaultValue);
double ParseFloat(const std::string& text, bool plain, double defaultValue);
std::int64_t ParseTruncated(const std::string& text, bool plain, std::int64_t defaultValue);
std::int32_t ParseInteger(const std::string& text, std::int32_t defaultValue, bool plain);
// Clamped into [minimum, maximum]; no clamping when maximum < minimum.
std::int32_t ParseIntegerInRange(const std::string& text, std::int32_t defaultValue,
                                 std::int32_t minimum, std::int32_t maximum, bool plain);
std::string NormalizeIntegerText(const std::string& text, std::int32_t defaultValue,
                                 std::int32_t minimum, std::int32_t maximum, bool plain);

// Blanks (spaces, tabs, control characters) trimmed from both ends / one end.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);

// ---------------------------------------------------------------------------------------------
// Splitting

using TNuvStringArray = std::vector<std::string>;

enum TNuvSplitOption : unsigned {
  nsoKeepRest = 1,    // keep the rest after the last separator as the last piece
  nsoSkipEmpty = 2,   // skip empty pieces
  nsoTrim = 4,        // trim the pieces (SplitFirst with trim)
};

// Takes the piece before the first separator out of `text`; false (piece empty) when the
// separator does not occur.
bool SplitFirst(const std::string& separator, std::string& text, bool trim, std::string& piece);
bool SplitText(const std::string& separator, std::string& text, unsigned options,
               TNuvStringArray& pieces);

struct THhmm {
  std::uint16_t High = 0;
  std::uint16_t Hours = 0;
  std::uint16_t Minutes = 0;
};
// hhmm packed as a decimal integer: 930 -> 9 h 30 min; digits above the fourth are High.
THhmm SplitHhmm(std::uint16_t value);

// ---------------------------------------------------------------------------------------------
// Time units, spans, durations

enum TNuvTimeUnits : int { btuUsec = 0, btuMsec = 1, btuSec = 2, btuMin = 3, btuHour = 4 };

// A duration as a fraction of a day (1.0 = 24 hours).
using TTimeSpan = double;

TTimeSpan TimeSpanOfCount(std::int64_t count, TNuvTimeUnits unit);

enum TNuvDurationFlag : unsigned {
  ndfAlwaysHours = 1,
  ndfAlwaysMinutes = 2,
  ndfVerbose = 4,
};
std::string FormatDuration(TTimeSpan span, unsigned flags);

// Hour (0..23), minute, second and millisecond of a span's time of day.
struct TTimeParts {
  int Hour = 0;
  int Minute = 0;
  int Second = 0;
  int Millisecond = 0;
};
TTimeParts DecodeTimeSpan(TTimeSpan span);

// ---------------------------------------------------------------------------------------------
// Text files: 8-bit text with CR LF line ends. Lines read and written are 8-bit (Windows-1252)
// byte strings; convert with the helpers below.

struct TTextFile {
  std::fstream Stream;
  bool Writing = false;
};

// File names are UTF-8.
bool OpenTextForRead(const std::string& fileName, TTextFile& file);
bool CreateTextFile(const std::string& fileName, TTextFile& file);
// The next line without its line end (CR LF, or a lone LF); false at the end of the file.
bool ReadTextLine(TTextFile& file, std::string& line);
// Writes the line followed by CR LF; false when the write fails.
bool WriteTextLine(TTextFile& file, const std::string& line);
// Flushes and closes; false when writing had failed.
bool CloseTextFile(TTextFile& file);
bool CopyFileTo(const std::string& sourceName, const std::string& targetName, bool failIfExists);

// Windows-1252 <-> UTF-8. Characters that the code page cannot hold become `replacement`;
// invalid UTF-8 sequences also become `replacement`.
std::string Cp1252ToUtf8(std::string_view text);
std::string Utf8ToCp1252(std::string_view text, char replacement = '?');

// First Unicode code point of a UTF-8 text (0 for an empty or invalid text).
char32_t FirstCodePoint(std::string_view text);
// UTF-8 encoding of one code point.
std::string CodePointToUtf8(char32_t c);

// ---------------------------------------------------------------------------------------------
// Control helpers. A missing control is a null pointer.

// Key codes the key filters see besides printable characters.
constexpr char32_t kKeyNone = 0;
constexpr char32_t kKeyBackspace = 8;
constexpr char32_t kKeyEnter = 13;

void AddItemWithObject(IListControl* list, const std::string& text, int value);
int ItemValue(const IListControl* list, int position, int defaultValue);
int SelectedItemValue(const IListControl* list, int defaultValue);
int PositionOfValue(const IListControl* list, int value);
bool SelectPosition(IListControl* list, int position);
bool SelectValue(IListControl* list, int value);
void SetTextIfChanged(ITextControl* control, const std::string& text);
void SetVisibleIfChanged(IControl* control, bool visible);
// A key outside `allowed` becomes kKeyNone (swallowed).
void FilterKey(char32_t& key, std::u32string_view allowed);
void NormalizeIntegerEdit(IEditControl* edit, std::int32_t defaultValue, std::int32_t minimum,
                          std::int32_t maximum, bool plain);
void NormalizeIpAddressEdit(IEditControl* edit, const std::string& defaultText);

}  // namespace rv8::param
