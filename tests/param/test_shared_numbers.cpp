// Number settings, formatting and parsing in the user's format and in plain notation.

#include "FakeControls.h"
#include "param/NuvShared.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace rv8::param;
using rv8::param::testing::ScopedNumberSettings;

namespace {

struct Locale {
  const char* name;
  const char* decimal;
  const char* thousands;
};
constexpr Locale kEnglish{"English", ".", ","};
constexpr Locale kGerman{"German", ",", "."};

}  // namespace

TEST(FixedRounding, RulesOnTiesAndSigns) {
  struct Row {
    double value;
    std::int64_t round, trunc, halfAway;
  };
  const Row rows[] = {
      {12.5, 12, 12, 13}, {13.5, 14, 13, 14}, {-2.5, -2, -2, -3}, {-3.5, -4, -3, -4},
      {2.4999, 2, 2, 2},  {2.5001, 3, 2, 3},  {-0.5, 0, 0, -1},   {0.0, 0, 0, 0},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.value);
    Fixed f = Fx(r.value);
    EXPECT_EQ(f.Round(), r.round);
    EXPECT_EQ(f.Trunc(), r.trunc);
    EXPECT_EQ(f.RoundHalfAway(), r.halfAway);
  }
}

TEST(FixedRounding, ProductsAndQuotientsRoundToFourDecimalsTiesEven) {
  // 0.0001 x 0.5 = 0.00005: a tie at the fifth decimal goes to the even 0.0000.
  EXPECT_EQ((Fixed::FromRaw(1) * Fx(0.5)).Raw(), 0);
  EXPECT_EQ((Fixed::FromRaw(3) * Fx(0.5)).Raw(), 2);
  EXPECT_EQ((Fx(2) / Fx(3)).Raw(), 6667);
  EXPECT_EQ((Fx(-2) / Fx(3)).Raw(), -6667);
  EXPECT_EQ((Fx(0.8) * Fx(10)), Fx(8));
  EXPECT_EQ((Fx(1) / Fx(0)), Fixed());  // guarded division
  // Exact for magnitudes far beyond a double's integer precision.
  EXPECT_EQ((Fixed::FromRaw(900719925474099321) * Fx(1)).Raw(), 900719925474099321);
}

TEST(NumberSettings, EqualSystemSeparatorsFallBackToPointAndComma) {
  TNumberSettings s;
  ApplyNumberSettings(s, ".", ".", ":", ".", ".");
  EXPECT_EQ(s.DecimalSeparator, ".");
  EXPECT_EQ(s.ThousandsSeparator, ",");
  EXPECT_EQ(s.ProgramDecimalSeparator, ".");
  EXPECT_EQ(s.ProgramThousandsSeparator, ",");

  ApplyNumberSettings(s, ",", " ", ".", ",", " ");
  EXPECT_EQ(s.DecimalSeparator, ",");
  EXPECT_EQ(s.ThousandsSeparator, " ");
  EXPECT_EQ(s.TimeSeparator, ".");
  EXPECT_EQ(s.ProgramDecimalSeparator, ",");
}

TEST(FormatNumbers, UserFormatAndPlainInBothLocales) {
  struct Row {
    Fixed value;
    int decimals;
    const char* english;
    const char* german;
    const char* plain;
  };
  const Row rows[] = {
      {Fixed::FromRaw(12345678), 2, "1,234.57", "1.234,57", "1234.57"},
      {Fx(1500), 0, "1,500", "1.500", "1500"},
      {Fx(0.8), 1, "0.8", "0,8", "0.8"},
      {Fixed::FromRaw(50), 2, "0.01", "0,01", "0.01"},  // 0.005 rounds half away
      {Fx(-1234.5), 0, "-1,235", "-1.235", "-1235"},
      {Fx(-0.001), 2, "0.00", "0,00", "0.00"},  // no sign on a rounded zero
      {Fx(999999.996), 2, "1,000,000.00", "1.000.000,00", "1000000.00"},
      {Fx(5), 3, "5.000", "5,000", "5.000"},
      {Fixed::FromRaw(-9223372036854775807), 0, "-922,337,203,685,478", "-922.337.203.685.478", "-922337203685478"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.english);
    {
      ScopedNumberSettings en(kEnglish.decimal, kEnglish.thousands);
      EXPECT_EQ(FormatFixed(r.value, 0, r.decimals, false), r.english);
      EXPECT_EQ(FormatFixed(r.value, 0, r.decimals, true), r.plain);
    }
    {
      ScopedNumberSettings de(kGerman.decimal, kGerman.thousands);
      EXPECT_EQ(FormatFixed(r.value, 0, r.decimals, false), r.german);
      EXPECT_EQ(FormatFixed(r.value, 0, r.decimals, true), r.plain);
    }
  }
}

TEST(FormatNumbers, FloatingValuesWidthAndIntegers) {
  ScopedNumberSettings en(".", ",");
  EXPECT_EQ(FormatNumber(0.125, 0, 2, false), "0.13");
  EXPECT_EQ(FormatNumber(-0.125, 0, 2, false), "-0.13");
  // 18 significant digits first: the double 1.005 is 1.00499999999999989 and stays below the tie.
  EXPECT_EQ(FormatNumber(1.005, 0, 2, true), "1.00");
  EXPECT_EQ(FormatNumber(1.23, 0, 2, false), "1.23");
  EXPECT_EQ(FormatNumber(1e20, 0, 0, false), "100,000,000,000,000,000,000");
  EXPECT_EQ(FormatNumber(1.5, 8, 2, false), "    1.50");
  EXPECT_EQ(FormatNumber(12345.5, 3, 1, false), "12,345.5");  // width never cuts
  EXPECT_EQ(FormatInteger(10000, 0, false), "10,000");
  EXPECT_EQ(FormatInteger(-10000, 0, true), "-10000");
  EXPECT_EQ(FormatInteger(7, 3, true), "  7");
}

TEST(FormatNumbers, MultiByteSeparatorsCountAsOneCharacterForWidth) {
  ScopedNumberSettings fr(",", "\u202F");  // narrow no-break space, as some locales group
  EXPECT_EQ(FormatFixed(Fx(12345), 0, 0, false), "12\u202F345");
  EXPECT_EQ(FormatFixed(Fx(12345), 8, 0, false), "  12\u202F345");
  EXPECT_EQ(ParseFixed("12\u202F345,5", false, Fixed()), Fx(12345.5));
}

TEST(ParseNumbers, FixedInBothLocales) {
  struct Row {
    const char* text;
    bool plain;
    std::int64_t english;  // raw, or -7 for "default"
    std::int64_t german;
  };
  constexpr std::int64_t D = -7;
  const Row rows[] = {
      {"1,234.57", false, 12345700, 12346},  // German: "." dropped as grouping, "1,23457"
      {"1.234,57", false, 12346, 12345700},
      {"1,500", false, 15000000, 15000},
      {" 12.5 ", false, 125000, 1250000},    // German: "." is grouping, removed
      {"abc", false, D, D},
      {"", false, D, D},
      {"-3", false, -30000, -30000},
      {"+3", false, 30000, 30000},
      {"1.23455", true, 12346, 12346},        // tie at the fifth decimal: to even
      {"1.23465", true, 12346, 12346},
      {"1.234651", true, 12347, 12347},
      {"1e3", true, 10000000, 10000000},
      {"2.5E-4", true, 2, 2},                 // 0.00025 -> 2.5 -> 2 (even)
      {"1,5", true, D, D},
      {"12.5x", true, D, D},
      {".5", true, 5000, 5000},
      {"5.", true, 50000, 50000},
      {"-", true, D, D},
      {"99999999999999999999", true, D, D},   // beyond the fixed-point range
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    {
      ScopedNumberSettings en(".", ",");
      EXPECT_EQ(ParseFixed(r.text, r.plain, Fixed::FromRaw(D)).Raw(), r.english);
    }
    {
      ScopedNumberSettings de(",", ".");
      EXPECT_EQ(ParseFixed(r.text, r.plain, Fixed::FromRaw(D)).Raw(), r.german);
    }
  }
}

TEST(ParseNumbers, FormattedTextReadsBack) {
  ScopedNumberSettings de(",", ".");
  std::string text = FormatFixed(Fixed::FromRaw(12345678), 0, 2, false);
  EXPECT_EQ(text, "1.234,57");
  EXPECT_EQ(ParseFixed(text, false, Fixed()).Raw(), 12345700);
}

TEST(ParseNumbers, FloatTruncatedAndIntegers) {
  ScopedNumberSettings en(".", ",");
  EXPECT_DOUBLE_EQ(ParseFloat("1,234.5", false, -1), 1234.5);
  EXPECT_DOUBLE_EQ(ParseFloat("x", false, -1), -1);
  EXPECT_EQ(ParseTruncated("-3.9", true, 0), -3);
  EXPECT_EQ(ParseTruncated("3.9", true, 0), 3);
  EXPECT_EQ(ParseTruncated("nope", true, 11), 11);
  EXPECT_EQ(ParseInteger("1,500", 0, false), 1500);
  EXPECT_EQ(ParseInteger("1,500", 9, true), 9);
  EXPECT_EQ(ParseInteger("12.0", 9, true), 9);
  EXPECT_EQ(ParseInteger("99999999999", 9, true), 9);
  EXPECT_EQ(ParseInteger("+-3", 9, true), 9);

  struct Row {
    const char* text;
    int def, min, max;
    int expected;
  };
  const Row rows[] = {
      {"300", 0, 0, 255, 255}, {"abc", 7, 0, 255, 7}, {"-4", 0, 0, 255, 0},
      {"300", 0, 10, 5, 300},  // maximum below minimum: no clamping
      {" 42 ", 0, 0, 255, 42},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(ParseIntegerInRange(r.text, r.def, r.min, r.max, true), r.expected);
  }
  EXPECT_EQ(NormalizeIntegerText("  1,9999 ", 0, 0, 15000, false), "15,000");
  EXPECT_EQ(NormalizeIntegerText("x", 502, 0, 65535, true), "502");
}

TEST(ParseNumbers, SeparatorRemovalAndPlainDecimal) {
  ScopedNumberSettings de(",", ".");
  EXPECT_EQ(RemoveThousandsSeparators("1.234.567,5"), "1234567,5");
  EXPECT_EQ(ToPlainDecimal("1.234.567,5"), "1234567.5");
  EXPECT_EQ(RemoveCharacters("F0 01 = 5 ", " "), "F001=5");
  EXPECT_EQ(RemoveCharacters("a:b;c", ":;"), "abc");
}
