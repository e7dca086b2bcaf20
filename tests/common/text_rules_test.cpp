// Upper-casing, command-line splitting and the numeric edit rules.
#include "common/text_rules.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TEST(UpperCaseText, MapsAsciiLetters) {
  EXPECT_EQ(UpperCaseText("abc xyz-09_AZ"), "ABC XYZ-09_AZ");
}

TEST(UpperCaseText, MapsWindows1252LowerCaseLetters) {
  // š œ ÿ à é þ become Š Œ Ÿ À É Þ
  EXPECT_EQ(UpperCaseText("\x9A\x9C\xFF\xE0\xE9\xFE"), "\x8A\x8C\x9F\xC0\xC9\xDE");
}

TEST(UpperCaseText, LeavesDivisionSignSharpSAndUpperCaseAlone) {
  // ÷ has no upper case; ß (0xDF) and the upper-case range are not letters to map
  EXPECT_EQ(UpperCaseText("\xF7\xDF\xC0\x8A\xB5"), "\xF7\xDF\xC0\x8A\xB5");
}

TEST(UpperCaseText, KeepsEmbeddedNulAndLength) {
  std::string text("a\0b", 3);
  EXPECT_EQ(UpperCaseText(text), std::string("A\0B", 3));
}

struct Split {
  std::string program, arguments;
};
Split SplitOf(std::string_view line) {
  Split s;
  SplitCommandLine(line, s.program, s.arguments);
  return s;
}

TEST(SplitCommandLine, QuotedProgramWithSpacesAndTwoArguments) {
  Split s = SplitOf("  \"C:\\Program Files\\Tool\\tool.exe\"   -a  \"b c\"  ");
  EXPECT_EQ(s.program, "C:\\Program Files\\Tool\\tool.exe");
  EXPECT_EQ(s.arguments, "-a  \"b c\"");
}

TEST(SplitCommandLine, WithoutBlanksTheWholeTextIsTheProgram) {
  Split s = SplitOf("notepad.exe");
  EXPECT_EQ(s.program, "notepad.exe");
  EXPECT_EQ(s.arguments, "");
}

TEST(SplitCommandLine, UnquotedProgramEndsAtFirstBlank) {
  Split s = SplitOf("C:\\tools\\x.exe  /q   file.txt ");
  EXPECT_EQ(s.program, "C:\\tools\\x.exe");
  EXPECT_EQ(s.arguments, "/q   file.txt");
}

TEST(SplitCommandLine, UnclosedQuoteTakesWholeTextWithoutQuotes) {
  Split s = SplitOf("\"C:\\a b\\x.exe -v");
  EXPECT_EQ(s.program, "C:\\a b\\x.exe -v");
  EXPECT_EQ(s.arguments, "");
}

TEST(SplitCommandLine, TrimsNulsAndBlanksAtBothEnds) {
  Split s = SplitOf(std::string_view(" \0prog arg\0 ", 12));
  EXPECT_EQ(s.program, "prog");
  EXPECT_EQ(s.arguments, "arg");
}

TEST(SplitCommandLine, EmptyAndBlankLinesGiveNothing) {
  EXPECT_EQ(SplitOf("").program, "");
  EXPECT_EQ(SplitOf("    ").program, "");
  Split quotesOnly = SplitOf("\"\"");
  EXPECT_EQ(quotesOnly.program, "");
  EXPECT_EQ(quotesOnly.arguments, "");
}

TEST(FilterNumericText, KeepsOnlyFirstPointWhenDecimalsAllowed) {
  std::string out;
  EXPECT_TRUE(FilterNumericText("1.2.3", true, out));
  EXPECT_EQ(out, "1.23");
}

TEST(FilterNumericText, DropsPointsAndLettersWithoutDecimals) {
  std::string out;
  EXPECT_TRUE(FilterNumericText("-1a.5 ", false, out));
  EXPECT_EQ(out, "15");
}

TEST(FilterNumericText, CleanTextIsNotReported) {
  std::string out;
  EXPECT_FALSE(FilterNumericText("0123", false, out));
  EXPECT_EQ(out, "0123");
  EXPECT_FALSE(FilterNumericText("12.5", true, out));
  EXPECT_EQ(out, "12.5");
}

TEST(ClampNumberText, RaisesToMinimumAndLowersToMaximum) {
  std::string out;
  EXPECT_TRUE(ClampNumberText("0", 1, 99, out));
  EXPECT_EQ(out, "1");
  EXPECT_TRUE(ClampNumberText("150", 1, 99, out));
  EXPECT_EQ(out, "99");
}

TEST(ClampNumberText, LeavesNumbersInsideTheRange) {
  std::string out = "untouched";
  EXPECT_FALSE(ClampNumberText("50", 1, 99, out));
  EXPECT_FALSE(ClampNumberText("99", 1, 99, out));
  EXPECT_FALSE(ClampNumberText("1", 1, 99, out));
  EXPECT_EQ(out, "untouched");
}

TEST(ClampNumberText, EmptyTextCountsAsZero) {
  std::string out;
  EXPECT_TRUE(ClampNumberText("", 5, 10, out));
  EXPECT_EQ(out, "5");
}

TEST(ClampNumberText, InvertedRangeDisablesTheRule) {
  std::string out;
  EXPECT_FALSE(ClampNumberText("5000", 10, 1, out));
}

TEST(ClampNumberText, HugeNumbersClampWithoutOverflow) {
  std::string out;
  EXPECT_TRUE(ClampNumberText("99999999999999999999", 0, 2147483647, out));
  EXPECT_EQ(out, "2147483647");
}

}  // namespace
}  // namespace va
