#include "param/NuvShared.h"

#include <algorithm>
#include <charconv>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <system_error>

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


namespace rv8::param {

namespace {

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Number of code points of a UTF-8 text (continuation bytes are not counted).
std::size_t CodePointCount(std::string_view text) {
  std::size_t n = 0;
  for (char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  if (from.empty()) return;
  std::size_t pos = 0;
  while ((pos = text.find(from, pos)) != std::string::npos) {
    text.replace(pos, from.size(), to);
    pos += to.size();
  }
}

// Rounds the decimal number 0.<digits> x 10^pointPos half away from zero to `decimals` places
// and returns its integer and fraction digit strings.
void RoundDecimalDigits(std::string digits, int pointPos, int decimals, std::string& intPart,
                        std::string& fracPart) {
  if (decimals < 0) decimals = 0;
  if (pointPos < 1) {
    digits.insert(0, static_cast<std::size_t>(1 - pointPos), '0');
    pointPos = 1;
  }
  std::size_t keep = static_cast<std::size_t>(pointPos + decimals);
  bool roundUp = digits.size() > keep && digits[keep] >= '5';
  if (digits.size() < keep) digits.append(keep - digits.size(), '0');
  digits.resize(keep);
  if (roundUp) {
    int i = static_cast<int>(keep) - 1;
    while (i >= 0) {
      if (digits[static_cast<std::size_t>(i)] == '9') {
        digits[static_cast<std::size_t>(i)] = '0';
        --i;
      } else {
        ++digits[static_cast<std::size_t>(i)];
        break;
      }
    }
    if (i < 0) {
      digits.insert(digits.begin(), '1');
      ++pointPos;
    }
  }
  intPart = digits.substr(0, static_cast<std::size_t>(pointPos));
  fracPart = digits.substr(static_cast<std::size_t>(pointPos));
  std::size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
}

std::string AssembleNumber(bool negative, const std::string& intPart, const std::string& fracPart,
                           int width, bool plain) {
  const TNumberSettings& ns = NUMBER_SETTINGS;
  std::string out;
  bool zero = intPart == "0" && fracPart.find_first_not_of('0') == std::string::npos;
  if (negative && !zero) out += '-';
  if (plain) {
    out += intPart;
  } else {
    std::size_t n = intPart.size();
    for (std::size_t i = 0; i < n; ++i) {
      if (i > 0 && (n - i) % 3 == 0) out += ns.ThousandsSeparator;
      out += intPart[i];
    }
  }
  if (!fracPart.empty()) {
    out += plain ? std::string(".") : ns.DecimalSeparator;
    out += fracPart;
  }
  std::size_t len = CodePointCount(out);
  if (width > 0 && len < static_cast<std::size_t>(width)) out.insert(0, static_cast<std::size_t>(width) - len, ' ');
  return out;
}

// A decimal number read from text: sign, significant digits and the power of ten of the last
// digit (value = digits x 10^exponent).
struct DecimalText {
  bool Negative = false;
  std::string Digits;
  int Exponent = 0;
};

// Reads [blanks][sign]digits[<decimal>digits][(e|E)[sign]digits][blanks]; at least one digit.
bool ReadDecimal(std::string_view text, std::string_view decimalSeparator, DecimalText& out) {
  std::size_t i = 0, n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (n > i && IsBlank(text[n - 1])) --n;
  if (i >= n) return false;
  out = DecimalText();
  if (text[i] == '+' || text[i] == '-') {
    out.Negative = text[i] == '-';
    ++i;
  }
  bool anyDigit = false;
  while (i < n && text[i] >= '0' && text[i] <= '9') {
    out.Digits += text[i++];
    anyDigit = true;
  }
  if (!decimalSeparator.empty() && text.substr(i, decimalSeparator.size()) == decimalSeparator) {
    i += decimalSeparator.size();
    while (i < n && text[i] >= '0' && text[i] <= '9') {
      out.Digits += text[i++];
      --out.Exponent;
      anyDigit = true;
    }
  }
  if (!anyDigit) return false;
  if (i < n && (text[i] == 'e' || text[i] == 'E')) {
    ++i;
    bool negExp = false;
    if (i < n && (text[i] == '+' || text[i] == '-')) negExp = text[i++] == '-';
    if (i >= n || text[i] < '0' || text[i] > '9') return false;
    long e = 0;
    while (i < n && text[i] >= '0' && text[i] <= '9') {
      if (e < 100000) e = e * 10 + (text[i] - '0');
      ++i;
    }
    out.Exponent += static_cast<int>(negExp ? -e : e);
  }
  if (i != n) return false;
  std::size_t nz = out.Digits.find_first_not_of('0');
  if (nz == std::string::npos) {
    out.Digits = "0";
    out.Exponent = 0;
  } else {
    out.Digits.erase(0, nz);
  }
  return true;
}

// Exact value x 10000, rounded to nearest with ties to even; false on overflow.
bool DecimalToFixed(const DecimalText& d, Fixed& result) {
  detail::Int128 limit = std::numeric_limits<std::int64_t>::max();
  int scaleExp = d.Exponent + 4;  // value x 10^4 = digits x 10^scaleExp
  detail::Int128 q = 0;
  if (scaleExp >= 0) {
    if (d.Digits.size() + static_cast<std::size_t>(scaleExp) > 19 && d.Digits != "0") return false;
    for (char c : d.Digits) q = q * 10 + (c - '0');
    for (int k = 0; k < scaleExp && q != 0; ++k) q *= 10;
    if (q > limit) return false;
  } else {
    std::size_t drop = static_cast<std::size_t>(-scaleExp);
    std::string head, tail;
    if (drop >= d.Digits.size()) {
      tail = std::string(drop - d.Digits.size(), '0') + d.Digits;
    } else {
      head = d.Digits.substr(0, d.Digits.size() - drop);
      tail = d.Digits.substr(d.Digits.size() - drop);
    }
    if (head.size() > 19) return false;
    for (char c : head) q = q * 10 + (c - '0');
    // Compare the dropped tail with one half.
    int cmp = 0;
    if (!tail.empty()) {
      if (tail[0] > '5') cmp = 1;
      else if (tail[0] < '5') cmp = -1;
      else cmp = tail.find_first_not_of('0', 1) == std::string::npos ? 0 : 1;
    }
    if (cmp > 0 || (cmp == 0 && !tail.empty() && q % 2 != 0)) ++q;
    if (q > limit) return false;
  }
  auto raw = static_cast<std::int64_t>(q);
  result = Fixed::FromRaw(d.Negative ? -raw : raw);
  return true;
}

bool DecimalToDouble(const DecimalText& d, double& result) {
  std::string s = d.Digits + "e" + std::to_string(d.Exponent);
  double v = 0;
  auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || ptr != s.data() + s.size() || !std::isfinite(v)) return false;
  result = d.Negative ? -v : v;
  return true;
}

std::string_view DecimalSeparatorFor(bool plain) {
  return plain ? std::string_view(".") : std::string_view(NUMBER_SETTINGS.DecimalSeparator);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Formatting

std::string FormatNumber(double value, int width, int decimals, bool plain) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (decimals < 0) decimals = 0;
  if (decimals > 18) decimals = 18;
  // 18 significant digits first, then half away from zero to the wanted places.
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.17e", std::fabs(value));
  std::string s(buf);
  std::size_t e = s.find('e');
  std::string digits = s.substr(0, 1) + s.substr(2, e - 2);
  int exponent = std::atoi(s.c_str() + e + 1);
  std::string intPart, fracPart;
  RoundDecimalDigits(digits, exponent + 1, decimals, intPart, fracPart);
  return AssembleNumber(std::signbit(value), intPart, fracPart, width, plain);
}

std::string FormatFixed(Fixed value, int width, int decimals, bool plain) {
  if (decimals < 0) decimals = 0;
  if (decimals > 18) decimals = 18;
  std::int64_t raw = value.Raw();
  std::uint64_t magnitude = raw < 0 ? 0 - static_cast<std::uint64_t>(raw) : static_cast<std::uint64_t>(raw);
  std::string digits = std::to_string(magnitude);
  std::string intPart, fracPart;
  RoundDecimalDigits(digits, static_cast<int>(digits.size()) - 4, decimals, intPart, fracPart);
  return AssembleNumber(raw < 0, intPart, fracPart, width, plain);
}

std::string FormatInteger(std::int64_t value, int width, bool plain) {
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  return AssembleNumber(value < 0, std::to_string(magnitude), std::string(), width, plain);
}

// ---------------------------------------------------------------------------------------------
// Parsing

std::string RemoveThousandsSeparators(const std::string& text) {
  std::string out = text;
  ReplaceAll(out, NUMBER_SETTINGS.ThousandsSeparator, "");
  return out;
}

std::string ToPlainDecimal(const std::string& text) {
  std::string out = RemoveThousandsSeparators(text);
  if (NUMBER_SETTINGS.DecimalSeparator != ".") ReplaceAll(out, NUMBER_SETTINGS.DecimalSeparator, ".");
  return out;
}

std::string RemoveCharacters(const std::string& text, std::string_view characters) {
  std::string out;
  out.reserve(text.size());
  for (char c : text)
    if (characters.find(c) == std::string_view::npos) out += c;
  return out;
}

Fixed ParseFixed(const std::string& text, bool plain, Fixed defaultValue) {
  DecimalText d;
  std::string source = plain ? text : RemoveThousandsSeparators(text);
  Fixed result;
  if (!ReadDecimal(source, DecimalSeparatorFor(plain), d) || !DecimalToFixed(d, result)) return defaultValue;
  return result;
}

double ParseFloat(const std::string& text, bool plain, double defaultValue) {
  DecimalText d;
  std::string source = plain ? text : RemoveThousandsSeparators(text);
  double result = 0;
  if (!ReadDecimal(source, DecimalSeparatorFor(plain), d) || !DecimalToDouble(d, result)) return defaultValue;
  return result;
}

std::int64_t ParseTruncated(const std::string& text, bool plain, std::int64_t defaultValue) {
  constexpr double kMarker = std::numeric_limits<double>::infinity();
  double v = ParseFloat(text, plain, kMarker);
  if (std::isinf(v)) return defaultValue;
  double t = std::trunc(v);
  if (t >= 9.2e18 || t <= -9.2e18) return defaultValue;
  return static_cast<std::int64_t>(t);
}

std::int32_t ParseInteger(const std::string& text, std::int32_t defaultValue, bool plain) {
  std::string s = Trim(plain ? text : RemoveThousandsSeparators(text));
  if (s.empty()) return defaultValue;
  std::size_t start = s[0] == '+' ? 1 : 0;
  std::int32_t v = 0;
  auto [ptr, ec] = std::from_chars(s.data() + start, s.data() + s.size(), v);
  if (ec != std::errc() || ptr != s.data() + s.size()) return defaultValue;
  if (start == 1 && s.size() > 1 && s[1] == '-') return defaultValue;
  return v;
}

std::int32_t ParseIntegerInRange(const std::string& text, std::int32_t defaultValue, std::int32_t minimum,
                                 std::int32_t maximum, bool plain) {
  std::int32_t v = ParseInteger(text, defaultValue, plain);
  if (maximum >= minimum) v = std::clamp(v, minimum, maximum);
  return v;
}

std::string NormalizeIntegerText(const std::string& text, std::int32_t defaultValue, std::int32_t minimum,
                                 std::int32_t maximum, bool plain) {
  return FormatInteger(ParseIntegerInRange(Trim(text), defaultValue, minimum, maximum, plain), 0, plain);
}

std::string TrimLeft(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  return std::string(text.substr(i));
}

std::string TrimRight(std::string_view text) {
  std::size_t n = text.size();
  while (n > 0 && IsBlank(text[n - 1])) --n;
  return std::string(text.substr(0, n));
}

std::string Trim(std::string_view text) { return TrimRight(TrimLeft(text)); }

}  // namespace rv8::param

namespace rv8::param {

// ---------------------------------------------------------------------------------------------
// Splitting

namespace {

void TrimForSplit(const std::string& separator, std::string& text) {
  if (separator.empty() || !text.starts_with(separator)) text = TrimLeft(text);
  if (separator.empty() || !text.ends_with(separator)) text = TrimRight(text);
}

}  // namespace

bool SplitFirst(const std::string& separator, std::string& text, bool trim, std::string& piece) {
  piece.clear();
  if (trim) TrimForSplit(separator, text);
  std::size_t pos = separator.empty() ? std::string::npos : text.find(separator);
  if (pos == std::string::npos) return false;
  piece = text.substr(0, pos);
  if (trim) piece = Trim(piece);
  text.erase(0, pos + separator.size());
  if (trim) TrimForSplit(separator, text);
  return true;
}

bool SplitText(const std::string& separator, std::string& text, unsigned options, TNuvStringArray& pieces) {
  const bool keepRest = (options & nsoKeepRest) != 0;
  const bool skipEmpty = (options & nsoSkipEmpty) != 0;
  const bool trim = (options & nsoTrim) != 0;
  pieces.clear();
  std::string piece;
  bool separatorMissing = false;
  while (!text.empty()) {
    if (!SplitFirst(separator, text, trim, piece)) {
      separatorMissing = true;
      break;
    }
    if (!(skipEmpty && piece.empty())) pieces.push_back(piece);
  }
  // The rest after the last separator (the text as SplitFirst left it).
  if (separatorMissing && keepRest && !(skipEmpty && text.empty())) pieces.push_back(text);
  return !pieces.empty();
}

THhmm SplitHhmm(std::uint16_t value) {
  THhmm r;
  r.Minutes = static_cast<std::uint16_t>((value % 10000) % 100);
  r.Hours = static_cast<std::uint16_t>((value % 10000) / 100);
  r.High = static_cast<std::uint16_t>(value / 10000);
  return r;
}

// ---------------------------------------------------------------------------------------------
// Time spans and durations

namespace {

constexpr double kMsPerDay = 86400000.0;

}  // namespace

TTimeSpan TimeSpanOfCount(std::int64_t count, TNuvTimeUnits unit) {
  switch (unit) {
    case btuUsec: {
      TTimeSpan span = static_cast<double>(count) / 1000.0 / 1000.0 / 86400.0;
      // The span's millisecond figure may have rounded up past the count; keep whole
      // milliseconds that the count really holds.
      auto ms = static_cast<std::int64_t>(std::llround(span * kMsPerDay));
      if (count - 1000 * ms < 0 && count >= 0) span -= 1.0 / kMsPerDay;
      return span;
    }
    case btuMsec: {
      if (count < 0) return 0.0;
      std::int64_t ms = count % 1000;
      std::int64_t seconds = count / 1000;
      std::int64_t minutes = seconds / 60;
      seconds %= 60;
      std::int64_t hours = minutes / 60;
      minutes %= 60;
      if (hours >= 24) return 0.0;
      return static_cast<double>(((hours * 60 + minutes) * 60 + seconds) * 1000 + ms) / kMsPerDay;
    }
    case btuSec:
      return static_cast<double>(count) * 1000.0 / kMsPerDay;
    case btuMin:
      return static_cast<double>(count) * 60.0 * 1000.0 / kMsPerDay;
    case btuHour:
      return static_cast<double>(count) * 3600.0 * 1000.0 / kMsPerDay;
  }
  return 0.0;
}

TTimeParts DecodeTimeSpan(TTimeSpan span) {
  TTimeParts p;
  if (!std::isfinite(span)) return p;
  double total = std::round(std::fabs(span) * kMsPerDay);
  auto ms = static_cast<std::int64_t>(std::fmod(total, kMsPerDay));
  p.Hour = static_cast<int>(ms / 3600000);
  p.Minute = static_cast<int>(ms / 60000 % 60);
  p.Second = static_cast<int>(ms / 1000 % 60);
  p.Millisecond = static_cast<int>(ms % 1000);
  return p;
}

namespace {

// Writes a span with a time pattern: h/hh hour, n/nn minute, s/ss second, z millisecond
// (zzz three digits), ":" the time separator, quoted text copied, anything else as it is.
std::string WriteTimePattern(const std::string& pattern, const TTimeParts& t) {
  std::string out;
  std::size_t i = 0;
  while (i < pattern.size()) {
    char c = pattern[i];
    if (c == '\'' || c == '"') {
      std::size_t end = pattern.find(c, i + 1);
      if (end == std::string::npos) end = pattern.size();
      out += pattern.substr(i + 1, end - i - 1);
      i = end + 1;
      continue;
    }
    char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (lower == 'h' || lower == 'n' || lower == 's' || lower == 'z') {
      std::size_t run = 1;
      while (i + run < pattern.size() && std::tolower(static_cast<unsigned char>(pattern[i + run])) == lower) ++run;
      int value = lower == 'h' ? t.Hour : lower == 'n' ? t.Minute : lower == 's' ? t.Second : t.Millisecond;
      char buf[16];
      if (lower == 'z') {
        std::snprintf(buf, sizeof buf, run >= 3 ? "%03d" : "%d", value);
        if (run > 3) run = 3;
      } else {
        std::snprintf(buf, sizeof buf, run >= 2 ? "%02d" : "%d", value);
        if (run > 2) run = 2;
      }
      out += buf;
      i += run;
      continue;
    }
    if (c == ':') out += NUMBER_SETTINGS.TimeSeparator;
    else out += c;
    ++i;
  }
  return out;
}

}  // namespace

std::string FormatDuration(TTimeSpan span, unsigned flags) {
  const bool alwaysHours = (flags & ndfAlwaysHours) != 0;
  const bool alwaysMinutes = (flags & ndfAlwaysMinutes) != 0;
  const bool verbose = (flags & ndfVerbose) != 0;
  TTimeParts t = DecodeTimeSpan(span);
  std::string pattern;
  auto append = [&](const char* part, bool milliseconds) {
    if (!pattern.empty()) {
      if (verbose) pattern += ' ';
      else if (milliseconds) pattern += '.';
    }
    pattern += part;
  };
  if (t.Hour != 0 || alwaysHours) append(verbose ? "h 'h'" : "h:n", false);
  if (t.Minute != 0 || alwaysHours || alwaysMinutes || (!verbose && !pattern.empty()))
    append(verbose ? "n 'min'" : "n:s", false);
  if (t.Second != 0 || alwaysHours || alwaysMinutes || (!verbose && !pattern.empty()))
    append(verbose ? "s 's'" : "s", false);
  if (t.Millisecond != 0) append(verbose ? "z 'ms'" : "z", true);
  if (pattern.empty()) return "0";
  return WriteTimePattern(pattern, t);
}

// ---------------------------------------------------------------------------------------------
// Text files

namespace {

std::filesystem::path PathOf(const std::string& utf8Name) {
  return std::filesystem::path(std::u8string(utf8Name.begin(), utf8Name.end()));
}

}  // namespace

bool OpenTextForRead(const std::string& fileName, TTextFile& file) {
  if (file.Stream.is_open()) file.Stream.close();
  file.Stream.clear();
  std::error_code ec;
  if (!std::filesystem::is_regular_file(PathOf(fileName), ec)) return false;
  file.Stream.open(PathOf(fileName), std::ios::in | std::ios::binary);
  file.Writing = false;
  return file.Stream.is_open();
}

bool CreateTextFile(const std::string& fileName, TTextFile& file) {
  if (file.Stream.is_open()) file.Stream.close();
  file.Stream.clear();
  file.Stream.open(PathOf(fileName), std::ios::out | std::ios::binary | std::ios::trunc);
  file.Writing = true;
  return file.Stream.is_open();
}

bool ReadTextLine(TTextFile& file, std::string& line) {
  line.clear();
  if (!file.Stream.is_open() || file.Writing) return false;
  if (!std::getline(file.Stream, line)) {
    line.clear();
    return false;
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return true;
}

bool WriteTextLine(TTextFile& file, const std::string& line) {
  if (!file.Stream.is_open() || !file.Writing) return false;
  file.Stream.write(line.data(), static_cast<std::streamsize>(line.size()));
  file.Stream.write("\r\n", 2);
  return static_cast<bool>(file.Stream);
}

bool CloseTextFile(TTextFile& file) {
  if (!file.Stream.is_open()) return false;
  // Reading to the end leaves the stream's fail state set; only a write can fail here.
  bool ok = true;
  if (file.Writing) {
    file.Stream.flush();
    ok = static_cast<bool>(file.Stream);
    file.Stream.close();
    ok = ok && !file.Stream.fail();
  } else {
    file.Stream.close();
  }
  file.Stream.clear();
  file.Writing = false;
  return ok;
}

bool CopyFileTo(const std::string& sourceName, const std::string& targetName, bool failIfExists) {
  std::error_code ec;
  auto options = failIfExists ? std::filesystem::copy_options::none
                              : std::filesystem::copy_options::overwrite_existing;
  if (!std::filesystem::is_regular_file(PathOf(sourceName), ec)) return false;
  return std::filesystem::copy_file(PathOf(sourceName), PathOf(targetName), options, ec) && !ec;
}

// ---------------------------------------------------------------------------------------------
// Windows-1252

namespace {

// Code points of bytes 0x80..0x9F; the five undefined bytes map to the C1 controls, as the
// system's own conversion does, so that every byte survives a round trip.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Decodes one code point at `i` and advances; 0xFFFFFFFF for an invalid sequence (one byte
// consumed).
char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
  auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int len = b0 >= 0xF0 && b0 <= 0xF4 ? 4 : b0 >= 0xE0 ? 3 : b0 >= 0xC2 && b0 <= 0xDF ? 2 : 0;
  if (len == 0 || i + static_cast<std::size_t>(len) > s.size()) {
    ++i;
    return 0xFFFFFFFF;
  }
  char32_t c = b0 & (len == 2 ? 0x1F : len == 3 ? 0x0F : 0x07);
  for (int k = 1; k < len; ++k) {
    auto b = static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return 0xFFFFFFFF;
    }
    c = (c << 6) | (b & 0x3F);
  }
  bool overlong = (len == 3 && c < 0x800) || (len == 4 && c < 0x10000);
  if (overlong || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
    ++i;
    return 0xFFFFFFFF;
  }
  i += static_cast<std::size_t>(len);
  return c;
}

}  // namespace

std::string CodePointToUtf8(char32_t c) {
  std::string out;
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
  return out;
}

char32_t FirstCodePoint(std::string_view text) {
  if (text.empty()) return 0;
  std::size_t i = 0;
  char32_t c = DecodeUtf8(text, i);
  return c == 0xFFFFFFFF ? 0 : c;
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    auto b = static_cast<unsigned char>(ch);
    if (b < 0x80) out += ch;
    else if (b < 0xA0) out += CodePointToUtf8(kCp1252High[b - 0x80]);
    else out += CodePointToUtf8(b);
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view text, char replacement) {
  std::string out;
  out.reserve(text.size());
  std::size_t i = 0;
  while (i < text.size()) {
    char32_t c = DecodeUtf8(text, i);
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c >= 0xA0 && c <= 0xFF) {
      out += static_cast<char>(c);
    } else {
      char mapped = replacement;
      for (int k = 0; k < 32; ++k) {
        if (kCp1252High[k] == c) {
          mapped = static_cast<char>(0x80 + k);
          break;
        }
      }
      out += mapped;
    }
  }
  return out;
}

// ---------------------------------------------------------------------------------------------
// Control helpers

void AddItemWithObject(IListControl* list, const std::string& text, int value) {
  if (list == nullptr || value == -1) return;
  list->addItem(text, value);
}

int ItemValue(const IListControl* list, int position, int defaultValue) {
  if (list == nullptr || position < 0 || position >= list->count()) return 0;
  int v = list->itemValue(position);
  return v == -1 ? defaultValue : v;
}

int SelectedItemValue(const IListControl* list, int defaultValue) {
  if (list == nullptr) return defaultValue;
  return ItemValue(list, list->selectedIndex(), defaultValue);
}

int PositionOfValue(const IListControl* list, int value) {
  if (list == nullptr || value == -1) return -1;
  for (int i = 0; i < list->count(); ++i)
    if (list->itemValue(i) == value) return i;
  return -1;
}

bool SelectPosition(IListControl* list, int position) {
  if (list == nullptr) return false;
  if (position >= 0 && position < list->count()) list->setSelectedIndex(position);
  return position >= 0 && list->selectedIndex() == position;
}

bool SelectValue(IListControl* list, int value) {
  int position = PositionOfValue(list, value);
  if (position < 0) return false;
  return SelectPosition(list, position);
}

void SetTextIfChanged(ITextControl* control, const std::string& text) {
  if (control != nullptr && control->text() != text) control->setText(text);
}

void SetVisibleIfChanged(IControl* control, bool visible) {
  if (control != nullptr && control->visible() != visible) control->setVisible(visible);
}

void FilterKey(char32_t& key, std::u32string_view allowed) {
  if (allowed.find(key) == std::u32string_view::npos) key = kKeyNone;
}

void NormalizeIntegerEdit(IEditControl* edit, std::int32_t defaultValue, std::int32_t minimum,
                          std::int32_t maximum, bool plain) {
  if (edit == nullptr) return;
  SetTextIfChanged(edit, NormalizeIntegerText(edit->text(), defaultValue, minimum, maximum, plain));
}

void NormalizeIpAddressEdit(IEditControl* edit, const std::string& defaultText) {
  if (edit == nullptr) return;
  std::string text = Trim(edit->text());
  if (text.empty()) {
    SetTextIfChanged(edit, defaultText);
    return;
  }
  TNuvStringArray pieces;
  SplitText(".", text, nsoKeepRest | nsoTrim, pieces);
  std::string result;
  for (std::size_t k = 0; k < 4; ++k) {
    std::int32_t field = k < pieces.size() ? ParseIntegerInRange(pieces[k], 0, 0, 255, true) : 0;
    if (k > 0) result += '.';
    result += std::to_string(field);
  }
  SetTextIfChanged(edit, result);
}

}  // namespace rv8::param
