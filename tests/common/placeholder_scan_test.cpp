// The placeholder scan with fake name sets: matching, replacement of every
// occurrence, both resume rules, the environment fallback, and that the scan
// ends on values that name themselves or each other.
#include "common/placeholder_scan.h"

#include <gtest/gtest.h>

#include <map>

namespace va {
namespace {

// A fake environment whose variables a test sets, counting the look-ups.
struct FakeEnvironment {
  std::map<std::string, std::string> variables;  // upper-case names
  int lookups = 0;
  std::function<std::string(const std::string&)> Bind() {
    return [this](const std::string& name) {
      ++lookups;
      std::string upper;
      for (char c : name) upper += static_cast<char>(c >= 'a' && c <= 'z' ? c - 32 : c);
      auto found = variables.find(upper);
      return found == variables.end() ? std::string() : found->second;
    };
  }
};

std::string Expand(std::string text, const PlaceholderRules& rules) {
  ExpandPlaceholders(text, rules);
  return text;
}

PlaceholderRules Fixed(std::vector<std::pair<const char*, std::string>> values, ScanResume resume,
                       FakeEnvironment* environment = nullptr) {
  PlaceholderRules rules;
  for (auto& [name, value] : values) {
    std::string copy = value;
    rules.known.push_back({name, resume, [copy] { return copy; }});
  }
  if (environment) rules.environment = environment->Bind();
  return rules;
}

TEST(PlaceholderScan, ReplacesKnownNamesInAnyLetterCase) {
  PlaceholderRules rules = Fixed({{"WINROOT", "C:"}, {"VAPATH", "D:\\Apps"}}, ScanResume::Restart);
  EXPECT_EQ(Expand("%WINROOT%\\My Shared Folder", rules), "C:\\My Shared Folder");
  EXPECT_EQ(Expand("%vapath%\\x", rules), "D:\\Apps\\x");
  EXPECT_EQ(Expand("%VaPaTh%\\%VAPATH%", rules), "D:\\Apps\\D:\\Apps");
}

TEST(PlaceholderScan, ReplacesEveryOccurrenceOfTheSpellingOnly) {
  int reads = 0;
  PlaceholderRules rules;
  rules.known.push_back({"A", ScanResume::Restart, [&reads] { ++reads; return std::string("1"); }});
  // Both "%a%" are replaced at once; "%A%" is another spelling, found later.
  EXPECT_EQ(Expand("%a%-%A%-%a%", rules), "1-1-1");
  EXPECT_EQ(reads, 2);  // read afresh for each spelling, never cached
}

TEST(PlaceholderScan, LeavesTextWithoutCompletePlaceholdersAlone) {
  FakeEnvironment environment;
  environment.variables["X"] = "value";
  PlaceholderRules rules = Fixed({{"X", "known"}}, ScanResume::Restart, &environment);
  for (const char* text : {"", "50%", "no percent", "%%", "a%%b", "%%%", "100% sure"}) {
    EXPECT_EQ(Expand(text, rules), text) << text;
  }
}

TEST(PlaceholderScan, EmptyNameIsPassedOverAndScanningGoesOn) {
  PlaceholderRules rules = Fixed({{"X", "v"}}, ScanResume::Restart);
  EXPECT_EQ(Expand("%%X%", rules), "%%X%");      // "%%" then a lone "X%"
  EXPECT_EQ(Expand("%%%X%", rules), "%%v");      // "%%", then "%X%"
}

TEST(PlaceholderScan, UnknownNameKeepsItsClosingPercentFromStartingANewOne) {
  PlaceholderRules rules = Fixed({{"B", "b"}}, ScanResume::Restart);
  // "%A%" is unknown: the scan goes on after its closing "%", so "B%" is no placeholder.
  EXPECT_EQ(Expand("%A%B%", rules), "%A%B%");
  EXPECT_EQ(Expand("%A%%B%", rules), "%A%b");
}

TEST(PlaceholderScan, KnownNameWithEmptySourceIsRemoved) {
  PlaceholderRules rules = Fixed({{"MYSHARED", ""}}, ScanResume::AfterOldEnd);
  EXPECT_EQ(Expand("x%MYSHARED%\\y", rules), "x\\y");
}

TEST(PlaceholderScan, EnvironmentFallbackNeedsANonEmptyValue) {
  FakeEnvironment environment;
  environment.variables["TEMP"] = "C:\\Temp";
  environment.variables["EMPTY"] = "";
  PlaceholderRules rules = Fixed({}, ScanResume::Restart, &environment);
  EXPECT_EQ(Expand("%TEMP%\\a", rules), "C:\\Temp\\a");
  EXPECT_EQ(Expand("%Temp%\\a", rules), "C:\\Temp\\a");
  EXPECT_EQ(Expand("%EMPTY%\\a", rules), "%EMPTY%\\a");
  EXPECT_EQ(Expand("%NOSUCHVARIABLE%\\a", rules), "%NOSUCHVARIABLE%\\a");
}

TEST(PlaceholderScan, KnownNamesWinOverTheEnvironment) {
  FakeEnvironment environment;
  environment.variables["WINDIR"] = "from environment";
  PlaceholderRules rules = Fixed({{"WINDIR", "C:\\WINDOWS"}}, ScanResume::AfterOldEnd, &environment);
  EXPECT_EQ(Expand("%WINDIR%", rules), "C:\\WINDOWS");
  EXPECT_EQ(environment.lookups, 0);
}

TEST(PlaceholderScan, ContinuingAfterTheOldEndCanMissAFollowingPlaceholder) {
  // The shared folder "S:" is shorter than "%MYSHARED%": after replacing it the
  // scan resumes at the old end, which lies past the start of "%WINDIR%".
  PlaceholderRules rules = Fixed({{"MYSHARED", "S:"}, {"WINDIR", "C:\\WINDOWS"}}, ScanResume::AfterOldEnd);
  EXPECT_EQ(Expand("%MYSHARED%\\%WINDIR%", rules), "S:\\%WINDIR%");
  // A value as long as the placeholder lets the scan find the next one.
  PlaceholderRules longer =
      Fixed({{"MYSHARED", "E:\\Shared\\Files"}, {"WINDIR", "C:\\WINDOWS"}}, ScanResume::AfterOldEnd);
  EXPECT_EQ(Expand("%MYSHARED%\\%WINDIR%", longer), "E:\\Shared\\Files\\C:\\WINDOWS");
}

TEST(PlaceholderScan, RestartingRescansInsertedText) {
  PlaceholderRules rules;
  rules.known.push_back({"VAPATH", ScanResume::Restart, [] { return std::string("%ROOT%\\Client"); }});
  rules.known.push_back({"ROOT", ScanResume::Restart, [] { return std::string("D:"); }});
  EXPECT_EQ(Expand("%VAPATH%\\Skins", rules), "D:\\Client\\Skins");
}

TEST(PlaceholderScan, ContinuingDoesNotRescanInsertedText) {
  PlaceholderRules rules;
  rules.known.push_back({"WINDIR", ScanResume::AfterOldEnd, [] { return std::string("%ROOT%%ROOT%%ROOT%"); }});
  rules.known.push_back({"ROOT", ScanResume::AfterOldEnd, [] { return std::string("D:"); }});
  // The scan resumes at index 8 of "%ROOT%%ROOT%%ROOT%", inside the inserted
  // text: it sees "%%" there and then a lone "%", so nothing more is replaced.
  EXPECT_EQ(Expand("%WINDIR%", rules), "%ROOT%%ROOT%%ROOT%");
}

TEST(PlaceholderScan, ValueNamingItsOwnPlaceholderEnds) {
  FakeEnvironment environment;
  environment.variables["LOOP"] = "x%LOOP%y";
  PlaceholderRules rules = Fixed({{"SELF", "[%SELF%]"}}, ScanResume::Restart, &environment);
  EXPECT_EQ(Expand("%LOOP%", rules), "x%LOOP%y");
  EXPECT_EQ(Expand("%SELF%-%SELF%", rules), "[%SELF%]-[%SELF%]");
}

TEST(PlaceholderScan, ValuesNamingEachOtherEnd) {
  FakeEnvironment environment;
  environment.variables["A"] = "%B%";
  environment.variables["B"] = "%A%";
  PlaceholderRules rules = Fixed({}, ScanResume::Restart, &environment);
  EXPECT_EQ(Expand("%A%", rules), "%A%");  // A -> %B% -> %A%, which was already expanded once
}

TEST(PlaceholderScan, DoublingValuesStopAtTheLengthLimit) {
  FakeEnvironment environment;
  const char* names[] = {"A", "B", "C", "D", "E", "F", "G", "H", "I", "J", "K", "L", "M",
                         "N", "O", "P", "Q", "R", "S", "T", "U", "V", "W", "X", "Y"};
  for (int i = 0; i + 1 < 25; ++i) {
    environment.variables[names[i]] = std::string("%") + names[i + 1] + "%%" + names[i + 1] + "%";
  }
  PlaceholderRules rules = Fixed({}, ScanResume::Restart, &environment);
  std::string text = Expand("%A%", rules);
  EXPECT_LE(text.size(), kMaxExpandedLength);
  EXPECT_GT(text.size(), kMaxExpandedLength / 4);  // it did expand, just not past the limit
}

TEST(PlaceholderScan, AnswersThatNeverRepeatStopAfterTheReplacementLimit) {
  int counter = 0;
  PlaceholderRules rules;
  rules.environment = [&counter](const std::string&) { return "%N" + std::to_string(++counter) + "%"; };
  std::string text = Expand("%START%", rules);
  EXPECT_LE(counter, static_cast<int>(kMaxReplacements) + 1);
  EXPECT_EQ(text, "%N" + std::to_string(kMaxReplacements) + "%");
}

}  // namespace
}  // namespace va
