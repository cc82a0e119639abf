// Splitting, time spans and durations, text files and code page, list and edit helpers.

#include "FakeControls.h"
#include "param/NuvShared.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

using namespace rv8::param;
using rv8::param::testing::FakeCombo;
using rv8::param::testing::FakeEdit;
using rv8::param::testing::ScopedNumberSettings;

TEST(SplitText, PiecesByOptions) {
  struct Row {
    const char* separator;
    const char* text;
    unsigned options;
    bool result;
    TNuvStringArray pieces;
  };
  const Row rows[] = {
      {";", "S1=PhsACur;S2=Rly1;", 2 + 4, true, {"S1=PhsACur", "S2=Rly1"}},
      {";", "a;b", 2 + 4, true, {"a"}},  // the rest is dropped without option 1
      {";", "a;b", 1 + 2 + 4, true, {"a", "b"}},
      {";", "", 2 + 4, false, {}},
      {";", ";;", 2 + 4, false, {}},
      {";", "a;;b;", 0, true, {"a", "", "b"}},
      {";", "a;;b;", 2, true, {"a", "b"}},
      {"=", " Name = Motor A ", 1 + 2 + 4, true, {"Name", "Motor A"}},
      {"=", "Key=", 1 + 2 + 4, true, {"Key"}},
      {".", " 192.168.1.10 ", 1 + 4, true, {"192", "168", "1", "10"}},
      {".", "10. 0 .", 1 + 4, true, {"10", "0"}},
      {"::", "a::b::c", 1, true, {"a", "b", "c"}},
      {";", "no separator", 1, true, {"no separator"}},
      {";", "no separator", 2, false, {}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.text) + " / " + std::to_string(r.options));
    std::string text = r.text;
    TNuvStringArray pieces{"stale"};
    EXPECT_EQ(SplitText(r.separator, text, r.options, pieces), r.result);
    EXPECT_EQ(pieces, r.pieces);
  }
}

TEST(SplitText, SplitFirstTrimsButKeepsLeadingSeparator) {
  std::string text = "  ;a ; b  ";
  std::string piece = "x";
  ASSERT_TRUE(SplitFirst(";", text, true, piece));
  EXPECT_EQ(piece, "");  // the text began with the separator after trimming
  EXPECT_EQ(text, "a ; b");
  ASSERT_TRUE(SplitFirst(";", text, true, piece));
  EXPECT_EQ(piece, "a");
  EXPECT_EQ(text, "b");
  EXPECT_FALSE(SplitFirst(";", text, true, piece));
  EXPECT_EQ(piece, "");
  EXPECT_EQ(text, "b");

  std::string untrimmed = " a ;b";
  ASSERT_TRUE(SplitFirst(";", untrimmed, false, piece));
  EXPECT_EQ(piece, " a ");
  EXPECT_EQ(untrimmed, "b");
}

TEST(SplitHhmm, DecimalFieldsOfAnInteger) {
  THhmm t = SplitHhmm(930);
  EXPECT_EQ(t.High, 0);
  EXPECT_EQ(t.Hours, 9);
  EXPECT_EQ(t.Minutes, 30);
  t = SplitHhmm(62359);
  EXPECT_EQ(t.High, 6);
  EXPECT_EQ(t.Hours, 23);
  EXPECT_EQ(t.Minutes, 59);
}

TEST(Durations, CountsInEveryUnitWrittenShortAndVerbose) {
  struct Row {
    std::int64_t count;
    TNuvTimeUnits unit;
    unsigned flags;
    const char* text;
  };
  const Row rows[] = {
      {3723, btuSec, 0, "1:02:03"},
      {123, btuSec, 0, "2:03"},
      {3, btuSec, 0, "3"},
      {3250, btuMsec, 0, "3.250"},
      {3005, btuMsec, 0, "3.5"},
      {250, btuMsec, 0, "250"},
      {0, btuSec, 0, "0"},
      {90061000, btuMsec, 0, "0"},  // 25 h cannot be built as a time of day
      {3, btuSec, 1, "0:00:03"},
      {3, btuSec, 2, "0:03"},
      {3600, btuSec, 0, "1:00:00"},
      {3603, btuSec, 4, "1 h 3 s"},
      {62, btuSec, 4, "1 min 2 s"},
      {3003, btuMsec, 4, "3 s 3 ms"},
      {3, btuSec, 4 + 2, "0 min 3 s"},
      {90, btuMin, 0, "1:30:00"},
      {25, btuHour, 0, "1:00:00"},  // whole days are not shown
      {1999, btuUsec, 0, "1"},       // 1.999 ms keeps 1 whole millisecond
      {2000, btuUsec, 0, "2"},
      {3500000, btuUsec, 0, "3.500"},
  };
  ScopedNumberSettings en(".", ",", ":");
  for (const Row& r : rows) {
    SCOPED_TRACE(std::to_string(r.count) + " unit " + std::to_string(r.unit) + " flags " + std::to_string(r.flags));
    EXPECT_EQ(FormatDuration(TimeSpanOfCount(r.count, r.unit), r.flags), r.text);
  }
}

TEST(Durations, TimeSeparatorOfTheUserFormat) {
  ScopedNumberSettings fi(",", " ", ".");
  EXPECT_EQ(FormatDuration(TimeSpanOfCount(3723, btuSec), 0), "1.02.03");
  EXPECT_EQ(FormatDuration(TimeSpanOfCount(3250, btuMsec), 0), "3.250");
}

TEST(Durations, MillisecondCountOfADayOrMoreGivesZero) {
  EXPECT_EQ(TimeSpanOfCount(86400000, btuMsec), 0.0);
  EXPECT_GT(TimeSpanOfCount(86399999, btuMsec), 0.0);
  TTimeParts p = DecodeTimeSpan(TimeSpanOfCount(86399999, btuMsec));
  EXPECT_EQ(p.Hour, 23);
  EXPECT_EQ(p.Minute, 59);
  EXPECT_EQ(p.Second, 59);
  EXPECT_EQ(p.Millisecond, 999);
}

namespace {

class TextFileTest : public ::testing::Test {
protected:
  void SetUp() override {
    m_dir = std::filesystem::temp_directory_path() /
            ("rv8_param_files_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(m_dir);
    std::filesystem::create_directories(m_dir);
  }
  void TearDown() override { std::filesystem::remove_all(m_dir); }
  std::string PathOf(const std::string& name) const { return (m_dir / name).string(); }
  static std::string Bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  std::filesystem::path m_dir;
};

}  // namespace

TEST_F(TextFileTest, LinesAreWrittenWithCrLfAndReadBack) {
  TTextFile out;
  ASSERT_TRUE(CreateTextFile(PathOf("a.txt"), out));
  EXPECT_TRUE(WriteTextLine(out, "[Header]"));
  EXPECT_TRUE(WriteTextLine(out, ""));
  EXPECT_TRUE(WriteTextLine(out, Utf8ToCp1252("Motor \u00FC \u20AC")));
  EXPECT_TRUE(CloseTextFile(out));
  EXPECT_EQ(Bytes(PathOf("a.txt")), std::string("[Header]\r\n\r\nMotor \xFC \x80\r\n"));

  TTextFile in;
  ASSERT_TRUE(OpenTextForRead(PathOf("a.txt"), in));
  std::string line;
  ASSERT_TRUE(ReadTextLine(in, line));
  EXPECT_EQ(line, "[Header]");
  ASSERT_TRUE(ReadTextLine(in, line));
  EXPECT_EQ(line, "");
  ASSERT_TRUE(ReadTextLine(in, line));
  EXPECT_EQ(Cp1252ToUtf8(line), "Motor \u00FC \u20AC");
  EXPECT_FALSE(ReadTextLine(in, line));
  EXPECT_TRUE(CloseTextFile(in));
}

TEST_F(TextFileTest, BareLineFeedsAndALastLineWithoutEnd) {
  {
    std::ofstream f(PathOf("b.txt"), std::ios::binary);
    f << "one\ntwo\r\nthree";
  }
  TTextFile in;
  ASSERT_TRUE(OpenTextForRead(PathOf("b.txt"), in));
  std::vector<std::string> lines;
  std::string line;
  while (ReadTextLine(in, line)) lines.push_back(line);
  EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three"}));
  CloseTextFile(in);
}

TEST_F(TextFileTest, MissingFilesAndDirectoriesAreReportedNotRaised) {
  TTextFile in;
  EXPECT_FALSE(OpenTextForRead(PathOf("missing.txt"), in));
  EXPECT_FALSE(OpenTextForRead(m_dir.string(), in));  // a folder is not a text file
  std::string line;
  EXPECT_FALSE(ReadTextLine(in, line));
  TTextFile out;
  EXPECT_FALSE(CreateTextFile(PathOf("no/such/folder/x.txt"), out));
  EXPECT_FALSE(WriteTextLine(out, "x"));
}

TEST_F(TextFileTest, CopyFileHonoursFailIfExists) {
  TTextFile out;
  ASSERT_TRUE(CreateTextFile(PathOf("src.txt"), out));
  WriteTextLine(out, "new");
  CloseTextFile(out);
  ASSERT_TRUE(CreateTextFile(PathOf("dst.txt"), out));
  WriteTextLine(out, "old");
  CloseTextFile(out);

  EXPECT_FALSE(CopyFileTo(PathOf("src.txt"), PathOf("dst.txt"), true));
  EXPECT_EQ(Bytes(PathOf("dst.txt")), "old\r\n");
  EXPECT_TRUE(CopyFileTo(PathOf("src.txt"), PathOf("dst.txt"), false));
  EXPECT_EQ(Bytes(PathOf("dst.txt")), "new\r\n");
  EXPECT_TRUE(CopyFileTo(PathOf("src.txt"), PathOf("fresh.txt"), true));
  EXPECT_FALSE(CopyFileTo(PathOf("absent.txt"), PathOf("other.txt"), false));
}

TEST(CodePage, EveryByteSurvivesARoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
  EXPECT_EQ(Cp1252ToUtf8("\x80\x9F\xA0\xFF"), "\u20AC\u0178\u00A0\u00FF");
  EXPECT_EQ(Utf8ToCp1252("\u65E5A"), "?A");        // not in the code page
  EXPECT_EQ(Utf8ToCp1252("\xC3(", '_'), "_(");     // broken UTF-8
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82", '_'), "__");  // truncated sequence
}

TEST(ListHelpers, ValuesPositionsAndSelection) {
  FakeCombo list;
  AddItemWithObject(&list, "Open", 0);
  AddItemWithObject(&list, "skipped", -1);
  AddItemWithObject(&list, "Closed", 1);
  AddItemWithObject(nullptr, "ignored", 3);
  list.addItem("none", -1);
  ASSERT_EQ(list.count(), 3);

  EXPECT_EQ(ItemValue(&list, 1, 99), 1);
  EXPECT_EQ(ItemValue(&list, 2, 99), 99);  // carried value -1 gives the default
  EXPECT_EQ(ItemValue(&list, 3, 99), 0);   // outside the list
  EXPECT_EQ(ItemValue(&list, -1, 99), 0);
  EXPECT_EQ(SelectedItemValue(&list, 42), 0);  // nothing selected: outside
  EXPECT_EQ(SelectedItemValue(nullptr, 42), 42);

  EXPECT_EQ(PositionOfValue(&list, 1), 1);
  EXPECT_EQ(PositionOfValue(&list, -1), -1);
  EXPECT_EQ(PositionOfValue(&list, 5), -1);
  EXPECT_EQ(PositionOfValue(nullptr, 1), -1);

  EXPECT_TRUE(SelectValue(&list, 1));
  EXPECT_EQ(list.selectedIndex(), 1);
  EXPECT_EQ(SelectedItemValue(&list, 42), 1);
  EXPECT_FALSE(SelectValue(&list, 7));
  EXPECT_EQ(list.selectedIndex(), 1);
  EXPECT_FALSE(SelectPosition(&list, 3));
  EXPECT_TRUE(SelectPosition(&list, 0));
  EXPECT_FALSE(SelectPosition(nullptr, 0));
}

TEST(EditHelpers, WritesOnlyWhatChanged) {
  FakeEdit edit;
  SetTextIfChanged(&edit, "abc");
  SetTextIfChanged(&edit, "abc");
  SetTextIfChanged(&edit, "ABC");
  EXPECT_EQ(edit.textWrites, 2);
  SetVisibleIfChanged(&edit, true);
  SetVisibleIfChanged(&edit, false);
  SetVisibleIfChanged(&edit, false);
  EXPECT_EQ(edit.visibleWrites, 1);
  SetTextIfChanged(nullptr, "x");
  SetVisibleIfChanged(nullptr, true);
}

TEST(EditHelpers, IntegerAndIpAddressNormalisation) {
  ScopedNumberSettings en(".", ",");
  FakeEdit edit;
  edit.setText(" 70000 ");
  NormalizeIntegerEdit(&edit, 502, 0, 65535, true);
  EXPECT_EQ(edit.text(), "65535");
  edit.setText("port");
  NormalizeIntegerEdit(&edit, 502, 0, 65535, true);
  EXPECT_EQ(edit.text(), "502");

  struct Row {
    const char* text;
    const char* expected;
  };
  const Row rows[] = {
      {"192.168.1.300", "192.168.1.255"}, {" 10.0 ", "10.0.0.0"}, {"", "127.0.0.1"},
      {"   ", "127.0.0.1"},                {"a.b.c.d", "0.0.0.0"}, {"1.2.3.4.5", "1.2.3.4"},
      {"010.001.0.7", "10.1.0.7"},         {"-1.2.3.4", "0.2.3.4"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    edit.setText(r.text);
    NormalizeIpAddressEdit(&edit, "127.0.0.1");
    EXPECT_EQ(edit.text(), r.expected);
  }
}

TEST(EditHelpers, FilterKeySwallowsKeysOutsideTheSet) {
  char32_t key = U'7';
  FilterKey(key, U"0123456789\b");
  EXPECT_EQ(key, U'7');
  key = U'x';
  FilterKey(key, U"0123456789\b");
  EXPECT_EQ(key, kKeyNone);
  key = U'\u00E9';
  FilterKey(key, U"\u00E9");
  EXPECT_EQ(key, U'\u00E9');
}
