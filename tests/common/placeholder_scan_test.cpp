// The placeholder scan with one fake name set and environment: matching, both
// resume rules, the environment fallback, and that the scan ends on values that
// name themselves or each other or keep growing.
#include "common/placeholder_scan.h"

#include <gtest/gtest.h>

#include <map>

namespace va {
namespace {

PlaceholderRules Rules(std::map<std::string, std::string> environment) {
  PlaceholderRules rules;
  auto add = [&](const char* name, ScanResume resume, std::string value) {
    rules.known.push_back({name, resume, [value] { return value; }});
  };
  add("WINROOT", ScanResume::Restart, "C:");
  add("VAPATH", ScanResume::Restart, "%ROOT%\\Client");  // restarting rescans inserted text
  add("ROOT", ScanResume::Restart, "D:");
  add("SELF", ScanResume::Restart, "[%SELF%]");
  add("MYSHARED", ScanResume::AfterOldEnd, "S:");  // shorter than its placeholder
  add("LONGSHARED", ScanResume::AfterOldEnd, "E:\\Shared\\Files");
  add("EMPTY", ScanResume::AfterOldEnd, "");
  add("WINDIR", ScanResume::AfterOldEnd, "C:\\WINDOWS");
  add("TRIPLE", ScanResume::AfterOldEnd, "%ROOT%%ROOT%%ROOT%");
  rules.environment = [environment](const std::string& name) {
    std::string upper;
    for (char c : name) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
    auto found = environment.find(upper);
    return found == environment.end() ? std::string() : found->second;
  };
  return rules;
}

TEST(PlaceholderScan, ExpandsByTheRulesOfEachName) {
  const PlaceholderRules rules = Rules({{"TEMP", "C:\\Temp"}, {"ENVEMPTY", ""}, {"LOOP", "x%LOOP%y"},
                                        {"A", "%B%"}, {"B", "%A%"}, {"WINDIR", "from environment"}});
  struct Row { const char *in, *out; } rows[] = {
      {"%WINROOT%\\My Shared Folder", "C:\\My Shared Folder"}, {"%winroot%|%WinRoot%", "C:|C:"},
      {"%ROOT%-%root%-%ROOT%", "D:-D:-D:"}, {"", ""}, {"50%", "50%"}, {"%%", "%%"}, {"a%%b", "a%%b"},
      {"%%%", "%%%"}, {"100% sure", "100% sure"},
      {"%%ROOT%", "%%ROOT%"}, {"%%%ROOT%", "%%D:"},             // "%%" is passed over as a whole
      {"%NOPE%ROOT%", "%NOPE%ROOT%"}, {"%NOPE%%ROOT%", "%NOPE%D:"},  // an unknown name keeps its closing "%"
      {"x%EMPTY%\\y", "x\\y"},                                    // a known name with no value is removed
      {"%TEMP%\\a", "C:\\Temp\\a"}, {"%Temp%", "C:\\Temp"}, {"%ENVEMPTY%\\a", "%ENVEMPTY%\\a"},
      {"%NOSUCH%\\a", "%NOSUCH%\\a"}, {"%WINDIR%", "C:\\WINDOWS"},  // known names win over the environment
      {"%MYSHARED%\\%WINDIR%", "S:\\%WINDIR%"},                   // resuming after the old end passes it
      {"%LONGSHARED%\\%WINDIR%", "E:\\Shared\\Files\\C:\\WINDOWS"},
      {"%VAPATH%\\Skins", "D:\\Client\\Skins"}, {"%TRIPLE%", "%ROOT%%ROOT%%ROOT%"},
      {"%LOOP%", "x%LOOP%y"}, {"%SELF%-%SELF%", "[%SELF%]-[%SELF%]"}, {"%A%", "%A%"},
  };
  for (const Row& row : rows) {
    std::string text = row.in;
    ExpandPlaceholders(text, rules);
    EXPECT_EQ(text, row.out) << row.in;
  }
}

TEST(PlaceholderScan, GrowingValuesStopAtTheLimits) {
  std::map<std::string, std::string> doubling;
  for (char c = 'A'; c < 'Y'; ++c) doubling[std::string(1, c)] = std::string("%") + char(c + 1) + "%%" + char(c + 1) + "%";
  std::string text = "%A%";
  ExpandPlaceholders(text, Rules(doubling));
  EXPECT_LE(text.size(), kMaxExpandedLength);
  EXPECT_GT(text.size(), kMaxExpandedLength / 4);

  int counter = 0;
  PlaceholderRules neverRepeating;
  neverRepeating.environment = [&counter](const std::string&) { return "%N" + std::to_string(++counter) + "%"; };
  text = "%START%";
  ExpandPlaceholders(text, neverRepeating);
  EXPECT_LE(counter, static_cast<int>(kMaxReplacements) + 1);
  EXPECT_EQ(text, "%N" + std::to_string(kMaxReplacements) + "%");
}

}  // namespace
}  // namespace va
