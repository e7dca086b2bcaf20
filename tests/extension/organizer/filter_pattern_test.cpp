// The filter-string conversion and the whole-name matcher of the organizer.
#include "extension/organizer/filter_pattern.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>

#include "common/text_rules.h"
#include "support/pattern_reference.h"

namespace va {
namespace {

TEST(FilterStringToPattern, BuildsTheDocumentedPatternsCharacterForCharacter) {
  EXPECT_EQ(FilterStringToPattern("*.mp3; *.ogg"), "(^.*\\.MP3$)|(^.*\\.OGG$)");
  EXPECT_EQ(FilterStringToPattern("song?"), "(^SONG.)");
  EXPECT_EQ(FilterStringToPattern("a-b (live).*"), "(^A\\-B \\(LIVE\\)\\..*$)");
}

TEST(FilterStringToPattern, DeletesPathCharactersAndEscapesBrackets) {
  EXPECT_EQ(FilterStringToPattern("c:\\music\\*.mp3"), FilterStringToPattern("CMUSIC*.MP3"));
  EXPECT_EQ(FilterStringToPattern("\"a/b<c>d|e\""), "(^ABCDE)");
  EXPECT_EQ(FilterStringToPattern("[x]^y"), "(^\\[X\\]\\^Y)");
}

TEST(FilterStringToPattern, KeepsEmptyPartsAsEmptyAlternatives) {
  EXPECT_EQ(FilterStringToPattern(""), "(^)");
  EXPECT_EQ(FilterStringToPattern("a;;b;"), "(^A)|(^)|(^B)|(^)");
  EXPECT_EQ(FilterStringToPattern("   "), "(^)");
}

TEST(FilterStringToPattern, UpperCasesWindows1252Letters) {
  // é (0xE9) becomes É (0xC9) in the pattern
  EXPECT_EQ(FilterStringToPattern("caf\xE9*"), "(^CAF\xC9.*)");
}

struct MatchCase {
  const char* filter;
  const char* name;
  bool matches;
};

TEST(FilterMatches, FollowsTheWholeNameRule) {
  const MatchCase cases[] = {
      {"*.MP3", "SONG.MP3", true},
      {"*.MP3", "SONG.MP3.TXT", false},
      {"*.MP3", ".MP3", true},
      {"*MP3", "SONG.MP3", true},
      {"*MP3", "MP3", true},
      {"*MP3", "MP3X", false},  // the match must cover the whole name, anchor or not
      {"SONG", "SONG", true},
      {"SONG", "SONGS", false},
      {"SONG", "SONG.MP3", false},
      {"SONG?", "SONG1", true},
      {"SONG?", "SONG", false},
      {"*.MP3; *.OGG", "X.OGG", true},
      {"*.MP3; *.OGG", "X.WAV", false},
      {"A-B (LIVE).*", "A-B (LIVE).FLAC", true},
      {"A-B (LIVE).*", "A-B LIVE.FLAC", false},
      {"c:\\music\\*.mp3", "CMUSICX.MP3", true},
      {"c:\\music\\*.mp3", "X.MP3", false},
      {"a;;b", "", true},
      {"a;b", "", false},
      {"*.[1]", "X.[1]", true},
      {"*.[1]", "X.1", false},
      {"A+B{2}", "A+B{2}", true},
      {"A+B{2}", "AAB", false},
      {"A$B", "A", false},  // a typed "$" is an end anchor: nothing can follow it
      {"A$B", "AB", false},
  };
  // One matcher over all cases, twice: its kept patterns answer as fresh ones do.
  FilterMatcher matcher;
  for (int round = 0; round < 2; ++round) {
    for (const MatchCase& c : cases) {
      SCOPED_TRACE(std::string(c.filter) + " vs " + c.name);
      EXPECT_EQ(FilterMatches(c.name, c.filter), c.matches);
      EXPECT_EQ(matcher.Matches(c.name, c.filter), c.matches);
    }
  }
}

TEST(FilterMatcher, StaysRightWhenMoreFilterStringsComeThanItKeeps) {
  FilterMatcher matcher;
  for (int n = 0; n < 200; ++n) {
    const std::string filter = "F" + std::to_string(n) + ".*";
    ASSERT_TRUE(matcher.Matches("F" + std::to_string(n) + ".MP3", filter)) << filter;
    ASSERT_FALSE(matcher.Matches("F" + std::to_string(n + 1) + ".MP3", filter)) << filter;
  }
  EXPECT_TRUE(matcher.Matches("F3.OGG", "F3.*"));
}

TEST(FilterMatches, PatternsSeeOnlyUpperCaseSoCallersUpperCaseTheName) {
  EXPECT_TRUE(FilterMatches(UpperCaseText("Caf\xE9.mp3"), "caf\xC9.MP3"));
  EXPECT_FALSE(FilterMatches("caf\xE9.mp3", "caf\xE9.mp3"));
}

TEST(FilterPattern, RejectsMalformedPatternsAndMatchesNothing) {
  for (const char* bad : {"(A", "A)", "A\\", "((A)"}) {
    SCOPED_TRACE(bad);
    FilterPattern p(bad);
    EXPECT_FALSE(p.valid());
    EXPECT_FALSE(p.MatchesWhole("A"));
  }
  EXPECT_FALSE(FilterPattern(std::string(500, '(') + std::string(500, ')')).valid());
}

TEST(FilterPattern, LoneStarIsLiteralAndNestedRepeatsEnd) {
  EXPECT_TRUE(FilterPattern("*A").MatchesWhole("*A"));
  EXPECT_TRUE(FilterPattern("(|A)*B").MatchesWhole("AAB"));
  EXPECT_TRUE(FilterPattern("(^)*A**").MatchesWhole("AAA"));
  EXPECT_TRUE(FilterPattern("($)*").MatchesWhole(""));
  EXPECT_FALSE(FilterPattern("(A*)*").MatchesWhole("AAB"));
}

TEST(FilterPattern, PathologicalPatternAnswersAtOnce) {
  FilterPattern p(FilterStringToPattern("*a*a*a*a*a*a*a*a*a*b"));
  std::string name(200, 'A');
  auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(p.MatchesWhole(name));
  EXPECT_TRUE(p.MatchesWhole(name + "B"));
  auto spent = std::chrono::steady_clock::now() - start;
  // A backtracking matcher needs about 200^9 steps here; ours needs thousands.
  EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(spent).count(), 2000);
}

TEST(FilterPattern, StaysRightWhenItsStateCacheOverflows) {
  // "an A ten places from the end" needs about 2^10 automaton states.
  std::string pattern = "(A|B)*A";
  for (int i = 0; i < 10; ++i) pattern += "(A|B)";
  FilterPattern fast(pattern);
  test::ReferencePattern reference(pattern);
  std::mt19937 random(11);
  for (int round = 0; round < 60; ++round) {
    std::string name;
    for (int i = 0; i < 80; ++i) name += "AB"[random() % 2];
    SCOPED_TRACE(name);
    ASSERT_EQ(fast.MatchesWhole(name), reference.MatchesWhole(name));
  }
}

TEST(FilterPattern, AgreesWithTheReferenceOnRandomSmallInputs) {
  std::mt19937 random(7);
  const char alphabet[] = "AB.*()|^$\\";
  for (int round = 0; round < 6000; ++round) {
    std::string pattern, name;
    int length = static_cast<int>(random() % 9);
    for (int i = 0; i < length; ++i) pattern += alphabet[random() % (sizeof alphabet - 1)];
    int nameLength = static_cast<int>(random() % 6);
    for (int i = 0; i < nameLength; ++i) name += "AB*."[random() % 4];
    test::ReferencePattern reference(pattern);
    FilterPattern fast(pattern);
    SCOPED_TRACE("pattern " + pattern + " name " + name);
    ASSERT_EQ(fast.valid(), reference.valid());
    ASSERT_EQ(fast.MatchesWhole(name), reference.MatchesWhole(name));
  }
}

}  // namespace
}  // namespace va
