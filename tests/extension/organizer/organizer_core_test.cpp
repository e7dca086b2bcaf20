// The organizer's portable core: filter strings and the whole-name matcher, the
// stored forms of filters, and the watcher loop over a fake folder tree.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "extension/organizer/watcher_engine.h"
#include "support/pattern_reference.h"

namespace va {
namespace {

TEST(FilterStringToPattern, ConvertsEveryPart) {
  const struct { const char *filter, *pattern; } rows[] = {
      {"*.mp3; *.ogg", "(^.*\\.MP3$)|(^.*\\.OGG$)"}, {"song?", "(^SONG.)"},
      {"a-b (live).*", "(^A\\-B \\(LIVE\\)\\..*$)"},   {"c:\\music\\*.mp3", "(^CMUSIC.*\\.MP3$)"},
      {"\"a/b<c>d|e\"", "(^ABCDE)"},                   {"[x]^y", "(^\\[X\\]\\^Y)"},
      {"a;;b;", "(^A)|(^)|(^B)|(^)"},                   {"   ", "(^)"},
      {"caf\xE9*", "(^CAF\xC9.*)"},  // Windows-1252 letters are upper-cased too
  };
  for (const auto& row : rows) EXPECT_EQ(FilterStringToPattern(row.filter), row.pattern) << row.filter;
}

// The watcher upper-cases each name, then asks whether it matches a filter.
TEST(FilterMatches, WholeNameRuleThroughBothMatchers) {
  const struct { const char *filter, *name; bool matches; } rows[] = {
      {"*.MP3", "song.mp3", true},      {"*.mp3", "SONG.MP3.TXT", false}, {"*.MP3", ".MP3", true},
      {"*MP3", "MP3", true},            {"*MP3", "MP3X", false},          {"SONG", "SONGS", false},
      {"SONG", "SONG.MP3", false},      {"SONG?", "SONG1", true},         {"SONG?", "SONG", false},
      {"*.MP3; *.OGG", "x.ogg", true},  {"*.MP3; *.OGG", "X.WAV", false}, {"a-b (live).*", "A-B (LIVE).FLAC", true},
      {"c:\\m\\*.mp3", "CMX.MP3", true}, {"c:\\m\\*.mp3", "X.MP3", false},  {"A-B (LIVE).*", "A-B LIVE.FLAC", false},
      {"a;;b", "", true},               {"a;b", "", false},               {"*.[1]", "X.[1]", true},
      {"*.[1]", "X.1", false},          {"A+B{2}", "a+b{2}", true},       {"A+B{2}", "AAB", false},
      {"A$B", "AB", false},             {"caf\xE9*.mp3", "Caf\xC9.Mp3", true}, {"caf\xE9*", "CAFE", false},
  };
  FilterMatcher matcher;
  for (int round = 0; round < 2; ++round) {  // the second round meets kept patterns
    for (const auto& row : rows) {
      SCOPED_TRACE(std::string(row.filter) + " vs " + row.name);
      EXPECT_EQ(FilterMatches(UpperCaseText(row.name), row.filter), row.matches);
      EXPECT_EQ(matcher.Matches(UpperCaseText(row.name), row.filter), row.matches);
    }
  }
  for (int n = 0; n < 200; ++n) {  // more filter strings than the matcher keeps
    const std::string filter = "F" + std::to_string(n) + ".*";
    ASSERT_TRUE(matcher.Matches("F" + std::to_string(n) + ".MP3", filter)) << filter;
    ASSERT_FALSE(matcher.Matches("F" + std::to_string(n + 1) + ".MP3", filter)) << filter;
  }
}

// Random small patterns against the reference are the fuzz target's job.
TEST(FilterPattern, AgreesWithTheReferenceBeyondItsStateCacheAndNeverBacktracks) {
  std::mt19937 random(7);
  std::string wide = "(A|B)*A";  // an A ten places from the end: more states than are kept
  for (int i = 0; i < 10; ++i) wide += "(A|B)";
  FilterPattern fast(wide);
  for (int round = 0; round < 60; ++round) {
    std::string name;
    for (int i = 0; i < 80; ++i) name += "AB"[random() % 2];
    ASSERT_EQ(fast.MatchesWhole(name), test::ReferencePattern(wide).MatchesWhole(name)) << name;
  }
  EXPECT_FALSE(FilterPattern(std::string(500, '(') + std::string(500, ')')).valid());
  FilterPattern slow(FilterStringToPattern("*a*a*a*a*a*a*a*a*a*b"));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(slow.MatchesWhole(std::string(200, 'A')));
  EXPECT_TRUE(slow.MatchesWhole(std::string(200, 'A') + "B"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));  // backtracking: ~200^9 steps
}

TEST(MoveDestinationInside, NeverLeavesTheSharedFolder) {
  const struct { const char *stored, *loaded; } moves[] = {
      {"Music\\..\\..\\Windows", "S:\\Music\\Windows"}, {"../../Windows", "S:\\Windows"}, {"..", "S:\\"},
      {"....\\\\Windows", "S:\\Windows"}, {"a\\.. \\. .\\...", "S:\\a"}, {"", "S:\\"},
      {"Music\\Rock\\", "S:\\Music\\Rock\\"}, {"my..files\\x", "S:\\my..files\\x"}};
  for (const auto& row : moves) EXPECT_EQ(MoveDestinationInside("S:\\", row.stored), row.loaded) << row.stored;
}

using Result = WatcherWaits::Result;
using Files = std::map<std::string, std::string>;  // full path -> contents

// Files, filters and waits in one fake; the watched folder is "S:\". A folder
// exists once a file lies in it or it was made; "Locked" ones cannot be made.
// When the script of wait results ends, the fake asks the watcher to stop.
struct Fake : WatcherFiles, WatcherFilters, WatcherWaits {
  Files files;
  std::set<std::string> made, held;
  std::vector<std::string> log;  // sounds and commands
  std::vector<FilterRecord> list;
  std::deque<std::pair<Result, std::function<void()>>> script;
  std::atomic<int32_t> state{Running};
  bool watchable = true, watching = false, locked = false;
  int listings = 0, watches = 0;

  std::vector<std::string> ListFiles(const std::string& folder) override {
    ++listings;
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files)
      if (path.starts_with(folder) && path.find('\\', folder.size()) == path.npos) names.push_back(path.substr(folder.size()));
    return names;
  }
  FileAccess CheckAccess(const std::string& path) override {
    return !files.count(path) ? FileAccess::Gone : held.count(path) ? FileAccess::HeldByWriter : FileAccess::Free;
  }
  bool FolderExists(const std::string& path) override {
    auto next = files.upper_bound(path + "\\");
    return made.count(path) || (next != files.end() && next->first.starts_with(path + "\\"));
  }
  bool CreateFolderPath(const std::string& path) override { return path.find("Locked") == path.npos && made.insert(path).second; }
  bool CopyWithoutOverwrite(const std::string& from, const std::string& to) override {
    return files.count(from) && files.emplace(to, files[from]).second;
  }
  bool MoveWithoutOverwrite(const std::string& from, const std::string& to) override {
    return CopyWithoutOverwrite(from, to) && files.erase(from);
  }
  void PlaySoundFile(const std::string& path) override { log.push_back("sound " + path); }
  void RunCommand(const std::string& program, const std::string& parameters) override {
    log.push_back("run " + program + "|" + parameters);
  }
  void ExpandPlaceholders(std::string& text) override {
    if (text.starts_with("%VAPATH%")) text.replace(0, 8, "C:\\Client");
  }
  void Lock() override { locked = true; }
  void Unlock() override { locked = false; }
  const std::vector<FilterRecord>& Filters() override {
    EXPECT_TRUE(locked) << "filters read without the lock";
    return list;
  }
  bool Watch(const std::string&) override {
    ++watches;
    return watching = watchable;
  }
  bool Rewatch() override { return true; }
  void Unwatch() override { watching = false; }
  Result Wait(int ms) override {
    EXPECT_EQ(ms, kWatcherStepMs);
    auto [result, before] = script.empty() ? std::pair(Result::Wake, std::function<void()>()) : script.front();
    if (script.empty()) state = StopRequested;
    else script.pop_front();
    if (before) before();
    return result;
  }
  void Then(Result result, std::function<void()> before = {}) { script.emplace_back(result, before); }
  void Run(const std::string& folder = "S:\\") {
    RunWatcher(folder, state, *this, *this, *this);
    EXPECT_EQ(state, Stopped);
    EXPECT_FALSE(watching);
  }
};

Files Taken(Files files, int upTo) {  // D:\M\a.mp3 and a[1].mp3 .. a[upTo].mp3
  files["D:\\M\\a.mp3"] = "old";
  for (int k = 1; k <= upTo; ++k) files["D:\\M\\a[" + std::to_string(k) + "].mp3"] = "old";
  return files;
}

// What the watcher leaves behind after its start-up scan and any later ones.
TEST(Watcher, CarriesOutTheFirstMatchingFilter) {
  const std::string wav = "ding.wav", cmd = "\"%VAPATH%\\My Player\\play.exe\" /add \"%F\" %P|%FN";
  const struct {
    const char* name;
    std::vector<FilterRecord> filters;
    Files before, after;
    std::vector<std::string> log = {};
    std::function<void(Fake&)> arrange = {};  // held files, later wait results
  } rows[] = {
      {".dat files are never touched; only the first match acts",
       {{"m", "*.mp3", Move, "S:\\First", "", ""}, {"c", " * ", Copy, "D:\\M", "", ""}},
       {{"S:\\song.mp3", "1"}, {"S:\\x.DAT", "d"}, {"S:\\y.dat", "d"}, {"S:\\b.txt", "2"}},
       {{"S:\\First\\song.mp3", "1"}, {"S:\\x.DAT", "d"}, {"S:\\y.dat", "d"}, {"S:\\b.txt", "2"}, {"D:\\M\\b.txt", "2"}}},
      {"move counts up before the last dot; a bare name gets [1]", {{"m", "*", Move, "D:\\M\\", wav, ""}},
       {{"D:\\M\\a.b.mp3", "0"}, {"D:\\M\\a.b[1].mp3", "1"}, {"D:\\M\\readme", "r"}, {"S:\\a.b.mp3", "new"},
        {"S:\\readme", "new r"}},
       {{"D:\\M\\a.b.mp3", "0"}, {"D:\\M\\a.b[1].mp3", "1"}, {"D:\\M\\a.b[2].mp3", "new"}, {"D:\\M\\readme", "r"},
        {"D:\\M\\readme[1]", "new r"}},
       {"sound ding.wav", "sound ding.wav"}},
      {"move tries up to [99]", {{"m", "*", Move, "D:\\M", "", ""}}, Taken({{"S:\\a.mp3", "mine"}}, 98),
       Taken({{"D:\\M\\a[99].mp3", "mine"}}, 98)},
      {"move gives up after [99], the file stays", {{"m", "*", Move, "D:\\M", wav, cmd}},
       Taken({{"S:\\a.mp3", "mine"}}, 99), Taken({{"S:\\a.mp3", "mine"}}, 99)},
      {"no move into the watched folder itself", {{"m", "*", Move, "s:", wav, cmd}}, {{"S:\\a", "1"}}, {{"S:\\a", "1"}}},
      {"copy makes the destination, then the sound and the command, placeholders in one pass",
       {{"c", "*.mp3", Copy, " E:\\New\\Deep\\ ", wav, cmd}}, {{"S:\\a%P.mp3", "1"}},
       {{"S:\\a%P.mp3", "1"}, {"E:\\New\\Deep\\a%P.mp3", "1"}},
       {"sound ding.wav", "run C:\\Client\\My Player\\play.exe|/add \"E:\\New\\Deep\\a%P.mp3\" E:\\New\\Deep\\|a%P.mp3"}},
      {"copy never overwrites", {{"c", "*", Copy, "D:\\M", wav, cmd}}, {{"S:\\a", "new"}, {"D:\\M\\a", "edited"}},
       {{"S:\\a", "new"}, {"D:\\M\\a", "edited"}}},
      {"a destination that cannot be made", {{"c", "*", Copy, "E:\\Locked", wav, cmd}}, {{"S:\\a", "1"}}, {{"S:\\a", "1"}}},
      {"another action value: sound and command on the file in place", {{"x", "*", 0, "S:\\", wav, "tool %F"}},
       {{"S:\\a", "1"}}, {{"S:\\a", "1"}}, {"sound ding.wav", "run tool|S:\\a"}},
      {"an edited copy stays; a deleted one comes back (a wake without a stop rescans)",
       {{"c", "*", Copy, "D:\\M", "", "player %F"}}, {{"S:\\a", "new"}}, {{"S:\\a", "new"}, {"D:\\M\\a", "new"}},
       {"run player|D:\\M\\a", "run player|D:\\M\\a"}, [](Fake& f) {
         f.Then(Result::Change, [&f] { f.files["D:\\M\\a"] = "edited copy"; });
         f.Then(Result::Wake, [&f] { f.files.erase("D:\\M\\a"); });
       }},
      {"a file held by a writer is retried without a notification", {{"m", "*", Move, "D:\\M", "", ""}},
       {{"S:\\big", "half"}}, {{"D:\\M\\big", "whole"}}, {}, [](Fake& f) {
         f.held = {"S:\\big"};
         f.Then(Result::Timeout);
         f.Then(Result::Timeout, [&f] { f.files["S:\\big"] = "whole", f.held.clear(); });
       }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    fake.list = row.filters;
    fake.files = row.before;
    if (row.arrange) row.arrange(fake);
    fake.Run();
    EXPECT_EQ(fake.files, row.after);
    EXPECT_EQ(fake.log, row.log);
  }
}

// An unwatchable folder is tried every ten steps and never scanned meanwhile;
// without a shared folder ("\" alone) nothing is ever watched or touched.
TEST(Watcher, NeitherSpinsNorScansWithoutAWatchableFolder) {
  Fake fake, none;
  fake.list = none.list = {{"m", "*", Move, "D:\\M", "", ""}};
  fake.files = {{"S:\\a", "1"}};
  fake.watchable = false;
  for (int i = 0; i < 4 * kRewatchSteps; ++i) fake.Then(Result::Timeout, [&, i] { fake.watchable = i >= 3 * kRewatchSteps; });
  fake.Run();
  EXPECT_EQ(fake.watches, 1 + 4);
  EXPECT_EQ(fake.listings, 1);
  EXPECT_EQ(fake.files, (Files{{"D:\\M\\a", "1"}}));
  none.files = {{"\\boot.ini", "root file"}};
  none.Then(Result::Timeout);
  none.Run("\\");
  EXPECT_EQ(none.watches + none.listings, 0);
  EXPECT_EQ(none.files.size(), 1u);
}

}  // namespace
}  // namespace va
