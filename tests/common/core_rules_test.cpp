// The shared portable rules as tables: upper-casing, command-line splitting, the
// numeric edit rules, numbers in stored texts, stored texts and the placeholder
// scan (matching, both resume rules, the environment fallback, and that the scan
// ends on values that name themselves or each other or keep growing).
#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "common/extension_options.h"
#include "common/number_text.h"
#include "common/placeholder_scan.h"
#include "common/stored_texts.h"
#include "common/text_rules.h"

namespace va {
namespace {

TEST(TextRules, UpperCaseSplitAndNumericEdits) {
  EXPECT_EQ(UpperCaseText(std::string("abc xyz-09_AZ\0b", 15)), std::string("ABC XYZ-09_AZ\0B", 15));
  // š œ ÿ à é þ change; ÷ ß and upper case stay.
  EXPECT_EQ(UpperCaseText("\x9A\x9C\xFF\xE0\xE9\xFE\xF7\xDF\xC0\x8A\xB5"), "\x8A\x8C\x9F\xC0\xC9\xDE\xF7\xDF\xC0\x8A\xB5");
  struct Split { std::string_view line; const char *program, *arguments; } splits[] = {
      {"  \"C:\\Program Files\\Tool\\tool.exe\"   -a  \"b c\"  ", "C:\\Program Files\\Tool\\tool.exe", "-a  \"b c\""},
      {"C:\\tools\\x.exe  /q   file.txt ", "C:\\tools\\x.exe", "/q   file.txt"},
      {"\"C:\\a b\\x.exe -v", "C:\\a b\\x.exe -v", ""}, {std::string_view(" \0prog arg\0 ", 12), "prog", "arg"}, {"\"\"", "", ""},
      {"\"a\"-b \"c\" ", "a", "-b \"c\""}, {"\"\"\"x", "", "\"x"}, {"tool", "tool", ""}, {"  ", "", ""}};
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
    EXPECT_EQ((changed ? "changed to " : "kept ") + out, (row.out ? "changed to " : "kept ") + std::string(row.out ? row.out : row.text));
  }
}

TEST(TextRules, LeadingNumbersOfStoredTexts) {
  for (auto [text, value] : {std::pair{"42", 42}, {"   -17", -17}, {"\t+8", 8}, {"12abc", 12}, {"7 8", 7}, {"3,4", 3}, {"abc", 0}, {"", 0},
      {"-", 0}, {" x1", 0}, {"2.4", 2}, {"2.6", 3}, {"-2.6", -3}, {".5", 1}, {"2.5", 3}, {"-2.5", -3},
      {"123456789012345", 2147483647}, {"-123456789012345", -2147483647 - 1}})
    EXPECT_EQ(ParseLeadingInteger(text), value) << text;
  EXPECT_DOUBLE_EQ(ParseLeadingNumber("3.25kB"), 3.25);
  // The status window's place: four numbers joined by ","; each part rounded, a missing one 0, the shown flag a byte.
  EXPECT_EQ(FormatStatusWnd({100, 200, 1, 0}) + "|" + FormatStatusWnd({-5, 0, 255, -1}), "100,200,1,0|-5,0,255,-1");
  for (auto [text, place] : {std::pair{"100,200,1,0", "100,200,1,0"}, {"10,20", "10,20,0,0"}, {"", "0,0,0,0"}, {"1,,3,4", "1,0,3,4"},
       {" -5 , 7.6 ,1,1", "-5,8,1,1"}, {"-2.5,2.5,257,-3", "-3,3,1,-3"}, {"1,2,3,4,5", "1,2,3,4"}, {"x,2,", "0,2,0,0"},
       {"99999999999,-99999999999", "2147483647,-2147483648,0,0"}, {",,,7", "0,0,0,7"}})
    EXPECT_EQ(FormatStatusWnd(ParseStatusWnd(text)), place) << text;
}

// The captions decode exactly and are kept scrambled; a number out of range leaves
// the buffer untouched, a short buffer gets what fits and false.
TEST(StoredTexts, DecodeIntoBuffersOfEverySize) {
  char buffer[64];
  ASSERT_TRUE(DecodeStoredText(ExtensionStoredTexts(), 2, buffer, 14) && std::string(buffer) == "VA Extensions");
  for (int n : {1, 3, 4}) EXPECT_TRUE(DecodeStoredText(ExtensionStoredTexts(), n, buffer, sizeof buffer) && *buffer) << n;
  EXPECT_EQ(std::string(ExtensionStoredTexts()[2].begin(), ExtensionStoredTexts()[2].end()).find("VA Ext"), std::string::npos);
  std::memset(buffer, '#', sizeof buffer);
  EXPECT_FALSE(DecodeStoredText(ExtensionStoredTexts(), 0, buffer, 9) || DecodeStoredText(ExtensionStoredTexts(), 5, buffer, 9) ||
               DecodeStoredText(WizardStoredTexts(), 3, buffer, 9) || DecodeStoredText(ExtensionStoredTexts(), 2, buffer, 4) ||
               DecodeStoredText(ExtensionStoredTexts(), 2, buffer + 5, 13));  // no room for the end
  EXPECT_EQ(std::string(buffer, 6), "VA E#V");  // four bytes, nothing past them
}

// Known names with their resume rule, and an environment looked up in upper case.
PlaceholderRules Rules(std::map<std::string, std::string> environment) {
  PlaceholderRules rules;
  for (auto [name, restart, value] : {std::tuple{"WINROOT", true, "C:"}, {"VAPATH", true, "%ROOT%\\Client"},
       {"ROOT", true, "D:"}, {"SELF", true, "[%SELF%]"}, {"MYSHARED", false, "S:"}, {"LONGSHARED", false, "E:\\Shared\\Files"},
       {"EMPTY", false, ""}, {"WINDIR", false, "C:\\WINDOWS"}, {"TRIPLE", false, "%ROOT%%ROOT%%ROOT%"}})
    rules.known.push_back({name, restart ? ScanResume::Restart : ScanResume::AfterOldEnd, [v = std::string(value)] { return v; }});
  rules.environment = [environment](const std::string& name) {  // names in any letter case, as the platform's
    return environment.count(UpperCaseText(name)) ? environment.at(UpperCaseText(name)) : std::string();
  };
  return rules;
}

TEST(PlaceholderScan, ExpandsByTheRulesOfEachName) {
  const PlaceholderRules rules = Rules({{"TEMP", "C:\\Temp"}, {"ENVEMPTY", ""}, {"LOOP", "x%LOOP%y"},
                                        {"A", "%B%"}, {"B", "%A%"}, {"WINDIR", "from environment"},
                                        {"MY VAR", "v"}, {std::string(300, 'N'), "long"}});
  const std::string longName = "%" + std::string(300, 'n') + "%\\";  // as long a name as a user may type
  for (auto [in, out] : {std::pair{"%WINROOT%\\My Shared Folder", "C:\\My Shared Folder"}, {"%winroot%|%WinRoot%", "C:|C:"},
       {"%ROOT%-%ROOT%", "D:-D:"}, {"%%%", "%%%"}, {"100% sure", "100% sure"}, {"%%ROOT%", "%%ROOT%"},
       {"%%%ROOT%", "%%D:"}, {"%NOPE%ROOT%", "%NOPE%ROOT%"}, {"%NOPE%%ROOT%", "%NOPE%D:"},  // an unknown name keeps its "%"
       {"x%EMPTY%\\y", "x\\y"}, {"%Temp%\\a", "C:\\Temp\\a"}, {"%ENVEMPTY%\\a", "%ENVEMPTY%\\a"},
       {"%NOSUCH%\\a", "%NOSUCH%\\a"}, {"%WINDIR%", "C:\\WINDOWS"},  // known names win over the environment
       {"%MYSHARED%\\%WINDIR%", "S:\\%WINDIR%"}, {"%LONGSHARED%\\%WINDIR%", "E:\\Shared\\Files\\C:\\WINDOWS"},
       {"%VAPATH%\\Skins", "D:\\Client\\Skins"}, {"%TRIPLE%", "%ROOT%%ROOT%%ROOT%"}, {"%LOOP%", "x%LOOP%y"},
       {"%SELF%-%SELF%", "[%SELF%]-[%SELF%]"}, {"%A%", "%A%"}, {"a%my var%b", "avb"},
       {longName.c_str(), "long\\"}}) {
    std::string text = in;
    ExpandPlaceholders(text, rules);
    EXPECT_EQ(text, out) << in;
  }
}

TEST(PlaceholderScan, GrowingValuesStopAtTheLimits) {
  std::map<std::string, std::string> doubling;
  for (char c = 'A'; c < 'Y'; ++c) doubling[std::string(1, c)] = std::string("%") + char(c + 1) + "%%" + char(c + 1) + "%";
  std::string text = "%A%";
  ExpandPlaceholders(text, Rules(doubling));
  EXPECT_TRUE(text.size() <= kMaxExpandedLength && text.size() > kMaxExpandedLength / 4) << text.size();

  int counter = 0;
  PlaceholderRules neverRepeating;
  neverRepeating.environment = [&counter](const std::string&) { return "%N" + std::to_string(++counter) + "%"; };
  text = "%START%";
  ExpandPlaceholders(text, neverRepeating);
  EXPECT_TRUE(counter <= static_cast<int>(kMaxReplacements) + 1 && text == "%N" + std::to_string(kMaxReplacements) + "%") << text;
}

}  // namespace
}  // namespace va
