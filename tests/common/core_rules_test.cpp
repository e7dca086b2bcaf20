// The shared portable rules as tables: upper-casing, command-line splitting, the
// numeric edit rules, numbers in stored texts, stored texts, list reordering and
// the StatusWnd text.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/extension_options.h"
#include "common/list_order.h"
#include "common/number_text.h"
#include "common/stored_texts.h"
#include "common/text_rules.h"

namespace va {
namespace {

TEST(TextRules, UpperCaseSplitAndNumericEdits) {
  EXPECT_EQ(UpperCaseText(std::string("abc xyz-09_AZ\0b", 15)), std::string("ABC XYZ-09_AZ\0B", 15));
  EXPECT_EQ(UpperCaseText("\x9A\x9C\xFF\xE0\xE9\xFE"), "\x8A\x8C\x9F\xC0\xC9\xDE");  // š œ ÿ à é þ
  EXPECT_EQ(UpperCaseText("\xF7\xDF\xC0\x8A\xB5"), "\xF7\xDF\xC0\x8A\xB5");          // ÷ ß and upper case stay
  struct Split { std::string_view line; const char *program, *arguments; } splits[] = {
      {"  \"C:\\Program Files\\Tool\\tool.exe\"   -a  \"b c\"  ", "C:\\Program Files\\Tool\\tool.exe", "-a  \"b c\""},
      {"notepad.exe", "notepad.exe", ""}, {"C:\\tools\\x.exe  /q   file.txt ", "C:\\tools\\x.exe", "/q   file.txt"},
      {"\"C:\\a b\\x.exe -v", "C:\\a b\\x.exe -v", ""}, {std::string_view(" \0prog arg\0 ", 12), "prog", "arg"},
      {"    ", "", ""}, {"\"\"", "", ""}};
  for (const Split& row : splits) {
    std::string program = "x", arguments = "x";
    SplitCommandLine(row.line, program, arguments);
    EXPECT_EQ(program + "|" + arguments, std::string(row.program) + "|" + row.arguments) << row.line;
  }
  // Filter rows have max -1 (min 1: decimals allowed), the others are clamps; null: the text is left alone.
  struct Edit { const char* text; int32_t min, max; const char* out; } edits[] = {
      {"1.2.3", 1, -1, "1.23"}, {"-1a.5 ", 0, -1, "15"}, {"0123", 0, -1, nullptr}, {"12.5", 1, -1, nullptr},
      {"0", 1, 99, "1"}, {"150", 1, 99, "99"}, {"", 5, 10, "5"}, {"99999999999999999999", 0, 2147483647, "2147483647"},
      {"50", 1, 99, nullptr}, {"99", 1, 99, nullptr}, {"1", 1, 99, nullptr}, {"5000", 10, 1, nullptr}};
  for (const Edit& row : edits) {
    std::string out = row.text;
    bool changed = row.max < 0 ? FilterNumericText(row.text, row.min == 1, out) : ClampNumberText(row.text, row.min, row.max, out);
    EXPECT_EQ(changed, row.out != nullptr) << row.text;
    EXPECT_EQ(out, row.out ? row.out : row.text) << row.text;
  }
}

TEST(TextRules, LeadingNumbersOfStoredTexts) {
  struct Row { const char* text; int32_t value; } rows[] = {
      {"42", 42}, {"   -17", -17}, {"\t+8", 8}, {"12abc", 12}, {"7 8", 7}, {"3,4", 3}, {"abc", 0}, {"", 0},
      {"-", 0}, {" x1", 0}, {"2.4", 2}, {"2.6", 3}, {"-2.6", -3}, {".5", 1}, {"2.5", 3}, {"-2.5", -3},
      {"123456789012345", 2147483647}, {"-123456789012345", -2147483647 - 1}};
  for (const Row& row : rows) EXPECT_EQ(ParseLeadingInteger(row.text), row.value) << row.text;
  EXPECT_DOUBLE_EQ(ParseLeadingNumber("3.25kB"), 3.25);
}

TEST(StoredTexts, DecodeIntoBuffersOfEverySize) {
  char buffer[64];
  ASSERT_TRUE(DecodeStoredText(ExtensionStoredTexts(), 2, buffer, 14));  // 13 characters and the end
  EXPECT_STREQ(buffer, "VA Extensions");
  ASSERT_TRUE(DecodeStoredText(ExtensionStoredTexts(), 1, buffer, sizeof buffer));
  EXPECT_STREQ(buffer, "for Vexlo Aero V++");
  for (int n : {3, 4}) EXPECT_TRUE(DecodeStoredText(ExtensionStoredTexts(), n, buffer, sizeof buffer) && *buffer) << n;
  for (int n : {1, 2}) EXPECT_TRUE(DecodeStoredText(WizardStoredTexts(), n, buffer, sizeof buffer) && *buffer) << n;
  std::span<const unsigned char> caption = ExtensionStoredTexts()[1];  // kept scrambled in the image
  EXPECT_EQ(std::string(caption.begin(), caption.end()).find("VA Ext"), std::string::npos);
  EXPECT_EQ(caption.back(), kStoredTextKey);
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_FALSE(DecodeStoredText(ExtensionStoredTexts(), 0, buffer, sizeof buffer) ||
               DecodeStoredText(ExtensionStoredTexts(), 5, buffer, sizeof buffer) ||
               DecodeStoredText(WizardStoredTexts(), 3, buffer, sizeof buffer) ||
               DecodeStoredText(WizardStoredTexts(), -1, buffer, sizeof buffer));
  EXPECT_EQ(std::string(buffer, sizeof buffer), std::string(sizeof buffer, '#'));  // out of range: untouched
  EXPECT_FALSE(DecodeStoredText(ExtensionStoredTexts(), 2, buffer, 4));
  EXPECT_EQ(std::string(buffer, 5), "VA E#");  // four decoded bytes, nothing past them
  EXPECT_FALSE(DecodeStoredText(ExtensionStoredTexts(), 2, buffer, 13));  // no room for the end
}

TEST(ListOrder, MovesSwapsAndNeighbours) {
  std::vector<int> rows = {1, 2, 3, 4};
  EXPECT_TRUE(MoveEntry(rows, 0, 2) && MoveEntry(rows, 3, 1) && SwapEntries(rows, 0, 3));
  EXPECT_FALSE(MoveEntry(rows, 4, 0) || MoveEntry(rows, 0, 4) || SwapEntries(rows, 1, 9));
  EXPECT_EQ(rows, (std::vector<int>{1, 4, 3, 2}));  // 2 3 1 4, then 2 4 3 1, then swapped ends
  for (size_t from = 0; from < 5; ++from) {
    for (size_t to = 0; to < 5; ++to) {
      std::vector<int> all = {0, 1, 2, 3, 4}, rest = all;
      ASSERT_TRUE(MoveEntry(all, from, to));
      rest.erase(rest.begin() + from);
      rest.insert(rest.begin() + to, static_cast<int>(from));
      EXPECT_EQ(all, rest) << from << "->" << to;
    }
  }
  struct Row { size_t selected; int direction; size_t result; } presses[] = {
      {0, -1, 0}, {3, +1, 3}, {2, -1, 1}, {2, +1, 3}, {7, -1, 7}};
  for (const Row& row : presses) EXPECT_EQ(NeighbourIndex(row.selected, row.direction, 4), row.result) << row.selected;
}

TEST(StatusWndText, FormatsAndParsesThePlace) {
  EXPECT_EQ(FormatStatusWnd({-5, 2147483647, 1, -1}), "-5,2147483647,1,-1");
  struct Row { const char* text; int32_t left, top; int shown; int32_t docked; } rows[] = {
      {"10,20", 10, 20, 0, 0}, {"100,200,1,1", 100, 200, 1, 1}, {"", 0, 0, 0, 0},
      {"10.6, -3.5,abc,7x", 11, -4, 0, 7}, {"1e300,-1e300,257,4,99", INT32_MAX, INT32_MIN, 1, 4}, {"nan,inf", 0, 0, 0, 0}};
  for (const Row& row : rows) {
    StatusWindowPlace place = ParseStatusWnd(row.text);
    EXPECT_TRUE(place.left == row.left && place.top == row.top && place.shown == row.shown && place.docked == row.docked)
        << row.text << " -> " << FormatStatusWnd(place);
  }
}

}  // namespace
}  // namespace va
