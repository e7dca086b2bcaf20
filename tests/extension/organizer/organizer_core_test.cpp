// The organizer's portable core: filter strings and the whole-name matcher, the
// stored forms of filters, and the watcher loop over a fake folder tree.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <random>
#include <set>

#include "extension/organizer/watcher_engine.h"
#include "support/pattern_reference.h"

namespace va {
namespace {

// The watcher upper-cases each name, then asks whether it matches a filter.
TEST(FilterMatches, WholeNameRuleThroughBothMatchersAndThePattern) {
  const struct { const char *filter, *name; bool matches; } rows[] = {
      {"*.MP3", "song.mp3", true}, {"*.mp3", "SONG.MP3.TXT", false}, {"*.MP3", ".MP3", true}, {"*MP3", "MP3", true},
      {"SONG", "SONGS", false}, {"SONG?", "SONG1", true}, {"SONG?", "SONG", false}, {"*.MP3; *.OGG", "x.ogg", true},
      {"*.MP3; *.OGG", "X.WAV", false}, {"a;b", "", false}, {"a;;b", "", true}, {"a-b (live).*", "A-B (LIVE).FLAC", true},
      {"c:\\m\\*.mp3", "CMX.MP3", true}, {"*.[1]", "X.[1]", true}, {"A+B{2}", "a+b{2}", true}, {"A$B", "AB", false},
      {"caf\xE9*", "CAFE", false}, {"caf\xE9*.mp3", "Caf\xC9.Mp3", true}, {"\"a/b<c>d|e\"", "abcde", true},
      {"[x]^y", "[X]^Y", true}, {"   ", "", true},
  };
  FilterMatcher matcher;
  for (int round = 0; round < 2; ++round)  // the second round meets kept patterns
    for (const auto& row : rows) {
      const std::string name = UpperCaseText(row.name), why = std::string(row.filter) + " vs " + row.name;
      EXPECT_EQ(FilterMatches(name, row.filter), row.matches) << why;
      EXPECT_EQ(matcher.Matches(name, row.filter), row.matches) << why;
    }
  for (int n = 0; n < 200; ++n)  // more filter strings than the matcher keeps: none is mistaken for another
    ASSERT_TRUE(matcher.Matches("F" + std::to_string(n) + ".MP3", "F" + std::to_string(n) + ".*")) << n;
  // Beyond the pattern's state cache it still agrees with the reference (random
  // small patterns are the fuzz target's job), and it never backtracks.
  std::mt19937 random(7);
  std::string wide = "(A|B)*A", name;  // an A ten places from the end: more states than are kept
  for (int i = 0; i < 10; ++i) wide += "(A|B)";
  FilterPattern fast(wide);
  for (int round = 0; round < 60; ++round, name.clear()) {
    for (int i = 0; i < 80; ++i) name += "AB"[random() % 2];
    ASSERT_EQ(fast.MatchesWhole(name), test::ReferencePattern(wide).MatchesWhole(name)) << name;
  }
  // Backtracking would take ~200^9 steps here: the suite's time-out catches it.
  FilterPattern slow(FilterStringToPattern("*a*a*a*a*a*a*a*a*a*b"));
  EXPECT_FALSE(slow.MatchesWhole(std::string(200, 'A')));
  EXPECT_TRUE(slow.MatchesWhole(std::string(200, 'A') + "B"));
}

TEST(MoveDestinationInside, NeverLeavesTheSharedFolder) {
  const struct { const char *stored, *loaded; } moves[] = {{"Music\\..\\..\\Windows", "S:\\Music\\Windows"},
      {"../../Windows", "S:\\Windows"}, {"..", "S:\\"}, {"....\\\\Windows", "S:\\Windows"}, {"a\\.. \\. .\\...", "S:\\a"},
      {"", "S:\\"}, {"Music\\Rock\\", "S:\\Music\\Rock\\"}, {"my..files\\x", "S:\\my..files\\x"}};
  for (const auto& row : moves) EXPECT_EQ(MoveDestinationInside("S:\\", row.stored), row.loaded) << row.stored;
}

using Result = WatcherWaits::Result;
using Rename = WatcherFiles::Rename;
using Files = std::map<std::string, std::string>;  // full path -> contents

// Files, filters and waits in one fake; the watched folder is "S:\". A folder
// exists once made; "Locked" ones cannot be made. A rename works only within
// one drive letter.
// When the script of wait results ends, the fake asks the watcher to stop.
struct Fake : WatcherFiles, WatcherFilters, WatcherWaits {
  Files files;
  std::set<std::string> made, held, unreadable, vanishing, cutShort, pinned;
  std::vector<std::string> log;  // sounds and commands
  std::vector<FilterRecord> list;
  std::deque<std::pair<Result, std::function<void()>>> script;
  std::atomic<int32_t> state{Running};
  std::string folder = "S:\\", identity = "A";  // the watched folder and its identity
  bool watchable = true, rewatchable = true, watching = false, locked = false;
  int listings = 0, watches = 0;

  std::vector<std::string> ListFiles(const std::string& in) override {
    std::vector<std::string> names;
    for (const auto& [path, bytes] : files)
      if (path.starts_with(in) && path.find('\\', in.size()) == path.npos) names.push_back(path.substr(in.size()));
    return listings += in == folder, names;  // scans of the watched folder
  }
  FileAccess CheckAccess(const std::string& path) override {
    return !files.count(path) ? FileAccess::Gone : held.count(path) ? FileAccess::HeldByWriter
           : unreadable.count(path) ? FileAccess::Unreadable : FileAccess::Free;
  }
  std::string FolderIdentity(const std::string&) override { return identity; }
  bool FolderExists(const std::string& path) override { return made.count(path); }
  bool CreateFolderPath(const std::string& path) override { return path.find("Locked") == path.npos && made.insert(path).second; }
  bool FileExists(const std::string& path) override { return files.count(path); }
  FileFacts Facts(const std::string& p) override { return {files.count(p) > 0, files.count(p) ? files[p].size() : 0, times[p]}; }
  std::map<std::string, FileFacts>* Handled() override { return &putBack; }
  std::map<std::string, uint64_t> times;  // last-write times; 0 unless set
  std::map<std::string, FileFacts> putBack;
  std::vector<JournalEntry> journal;  // newest first
  void Completed(const std::string& from, const std::string& to, int32_t action) override {
    journal.insert(journal.begin(), {uint32_t(journal.size()), 0, action, files[to].size(), times[to], from, to});
  }
  // A source in `vanishing` cannot be opened by the copy; one in `cutShort` breaks off half way.
  bool CopyToNewFile(const std::string& from, const std::string& to) override {
    if (files.count(to) || !files.count(from) || vanishing.count(from)) return false;
    files[to] = cutShort.count(from) ? files[from].substr(0, files[from].size() / 2) : files[from];
    return !cutShort.count(from);
  }
  Rename RenameWithoutOverwrite(const std::string& from, const std::string& to) override {
    if (!files.count(from) || files.count(to)) return files.count(from) ? Rename::Exists : Rename::Failed;
    if (UpperCaseText(from.substr(0, 2)) != UpperCaseText(to.substr(0, 2))) return Rename::OtherVolume;
    return files[to] = files[from], files.erase(from), Rename::Done;
  }
  bool RemoveFile(const std::string& path) override { return !pinned.count(path) && files.erase(path); }
  void PlaySoundFile(const std::string& path) override { log.push_back("sound " + path); }
  void RunCommand(const std::string& program, const std::string& args) override { log.push_back("run " + program + "|" + args); }
  void ExpandPlaceholders(std::string& text) override { if (text.starts_with("%VAPATH%")) text.replace(0, 8, "C:\\Client"); }
  void Lock() override { locked = true; }
  void Unlock() override { locked = false; }
  const std::vector<FilterRecord>& Filters() override { return locked ? list : (ADD_FAILURE() << "unlocked", list); }
  bool Watch(const std::string&) override { return ++watches, watching = watchable; }
  bool Rewatch() override { return rewatchable; }
  void Unwatch() override { watching = false; }
  Result Wait(int) override {
    if (script.empty()) return state = StopRequested, Result::Wake;
    auto [result, before] = script.front();  // a copy: the hook may add steps
    script.pop_front();
    if (before) before();
    return result;
  }
  void Then(Result result, std::function<void()> before = {}, int times = 1) { script.insert(script.end(), times, {result, before}); }
};

Files Taken(Files files) {  // D:\M\a.mp3 and a[1] .. a[98], b.mp3 and b[1] .. b[99]
  for (int k = 0; k <= 99; ++k)
    for (const std::string n : {"a", "b"})
      if (k < 99 || n == "b") files["D:\\M\\" + n + (k ? "[" + std::to_string(k) + "].mp3" : ".mp3")] = "old";
  return files;
}

// What the watcher leaves behind after its start-up scan and any later ones.
TEST(Watcher, CarriesOutTheFirstMatchingFilter) {
  const std::string wav = "ding.wav", cmd = "\"%VAPATH%\\My Player\\play.exe\" /add \"%F\" %P|%FN";
  const std::vector<FilterRecord> all{{"m", "*", Move, "D:\\M", "", ""}};
  const struct {  // arrange: held files, later wait results
    const char* name; std::vector<FilterRecord> filters; Files before, after; std::vector<std::string> log = {};
    std::function<void(Fake&)> arrange = {};
  } rows[] = {
      {".dat files are never touched; only the first match acts; another action value: sound and command in place",
       {{"m", "*.mp3", Move, "S:\\First", "", ""}, {"x", "*.txt", 0, "S:\\", wav, "tool %F"}, {"c", " * ", Copy, "D:\\M", "", ""}},
       {{"S:\\song.mp3", "1"}, {"S:\\x.DAT", "d"}, {"S:\\y.dat", "d"}, {"S:\\b.txt", "2"}, {"S:\\z", "3"}},
       {{"S:\\First\\song.mp3", "1"}, {"S:\\x.DAT", "d"}, {"S:\\y.dat", "d"}, {"S:\\b.txt", "2"}, {"S:\\z", "3"}, {"D:\\M\\z", "3"}},
       {"sound ding.wav", "run tool|S:\\b.txt"}},
      {"move counts up before the last dot; a bare name gets [1]", {{"m", "*", Move, "D:\\M\\", wav, ""}},
       {{"D:\\M\\a.b.mp3", "0"}, {"D:\\M\\a.b[1].mp3", "1"}, {"D:\\M\\readme", "r"}, {"S:\\a.b.mp3", "new"}, {"S:\\readme", "new r"}},
       {{"D:\\M\\a.b.mp3", "0"}, {"D:\\M\\a.b[1].mp3", "1"}, {"D:\\M\\a.b[2].mp3", "new"}, {"D:\\M\\readme", "r"},
        {"D:\\M\\readme[1]", "new r"}},
       {"sound ding.wav", "sound ding.wav"}},
      {"move tries up to [99], then the file stays, with no sound", {{"m", "*", Move, "D:\\M", wav, ""}},
       Taken({{"S:\\a.mp3", "a"}, {"S:\\b.mp3", "b"}}), Taken({{"D:\\M\\a[99].mp3", "a"}, {"S:\\b.mp3", "b"}}),
       {"sound ding.wav"}},
      {"no move into the watched folder, no copy over a file or into a folder that cannot be made: no sound, no command",
       {{"a", "a", Move, "s:", wav, cmd}, {"b", "b", Copy, "D:\\M", wav, cmd}, {"c", "c", Copy, "E:\\Locked", wav, cmd}},
       {{"S:\\a", "1"}, {"S:\\b", "new"}, {"D:\\M\\b", "edited"}, {"S:\\c", "1"}},
       {{"S:\\a", "1"}, {"S:\\b", "new"}, {"D:\\M\\b", "edited"}, {"S:\\c", "1"}}},
      {"copies take their final name only when whole: a partial one left before is removed at start, one that breaks "
       "off leaves nothing, a source unreadable at the copy keeps the earlier copy; no copy into the watched folder",
       {{"c", "*.bin", Copy, "D:\\M", wav, ""}, {"s", "*.txt", Copy, "s:", wav, ""}},
       {{"S:\\a.bin", "whole"}, {"D:\\M\\x.bin.va-partial", "ha"}, {"S:\\b.bin", "broken"}, {"S:\\c.bin", "new"},
        {"D:\\M\\c.bin", "earlier"}, {"S:\\t.txt", "t"}},
       {{"S:\\a.bin", "whole"}, {"D:\\M\\a.bin", "whole"}, {"S:\\b.bin", "broken"}, {"S:\\c.bin", "new"},
        {"D:\\M\\c.bin", "earlier"}, {"S:\\t.txt", "t"}},
       {"sound ding.wav"}, [](Fake& f) { f.made = {"D:\\M"}, f.cutShort = {"S:\\b.bin"}, f.vanishing = {"S:\\c.bin"}; }},
      {"a move within a drive renames; across drives it copies whole, then removes the source, or takes the copy back "
       "when the source cannot go",
       {{"m", "*.mp3", Move, "S:\\Music", "", ""}, {"o", "*", Move, "D:\\M", "", ""}},
       {{"S:\\a.mp3", "1"}, {"S:\\b", "2"}, {"S:\\p", "3"}},
       {{"S:\\Music\\a.mp3", "1"}, {"D:\\M\\b", "2"}, {"S:\\p", "3"}}, {}, [](Fake& f) { f.pinned = {"S:\\p"}; }},
      {"copy makes the destination, then the sound and the command, placeholders in one pass",
       {{"c", "*.mp3", Copy, " E:\\New\\Deep\\ ", wav, cmd}}, {{"S:\\a%P.mp3", "1"}},
       {{"S:\\a%P.mp3", "1"}, {"E:\\New\\Deep\\a%P.mp3", "1"}},
       {"sound ding.wav", "run C:\\Client\\My Player\\play.exe|/add \"E:\\New\\Deep\\a%P.mp3\" E:\\New\\Deep\\|a%P.mp3"}},
      {"an edited copy stays; a deleted one comes back (a wake without a stop rescans)",
       {{"c", "*", Copy, "D:\\M", "", "player %F"}}, {{"S:\\a", "new"}}, {{"S:\\a", "new"}, {"D:\\M\\a", "new"}},
       {"run player|D:\\M\\a", "run player|D:\\M\\a"}, [](Fake& f) {
         f.Then(Result::Change, [&f] { f.files["D:\\M\\a"] = "edited copy"; });
         f.Then(Result::Wake, [&f] { f.files.erase("D:\\M\\a"); });
       }},
      // Step 2 retries the whole folder; the unreadable file, readable from step 3
      // on, waits for the change at step 7.
      {"a file held by a writer is retried on a back-off, an unreadable one only on a change", all,
       {{"S:\\big", "half"}, {"S:\\u", "1"}}, {{"D:\\M\\big", "whole"}, {"D:\\M\\u", "1"}}, {"big taken", "u left"},
       [](Fake& f) {
         f.held = {"S:\\big"}, f.unreadable = {"S:\\u"};
         f.Then(Result::Timeout);
         f.Then(Result::Timeout, [&f] { f.files["S:\\big"] = "whole", f.held.clear(); });
         f.Then(Result::Timeout, [&f] { f.unreadable.clear(); });
         f.Then(Result::Timeout, {}, 3);
         f.Then(Result::Change, [&f] {
           f.log = {f.files.count("S:\\big") ? "big left" : "big taken", f.files.count("S:\\u") ? "u left" : "u taken"};
         });
       }},
      // Watched at last on the fourth try, the folder goes under the notification and
      // is watched again; then a folder made anew under its name is watched anew.
      {"an unwatchable folder is tried every ten steps, never scanned meanwhile, and watched again", all, {{"S:\\a", "1"}},
       {{"D:\\M\\a", "1"}, {"D:\\M\\back", "1"}, {"D:\\M\\new", "1"}}, {"watches 4, listings 0"}, [](Fake& f) {
         f.watchable = false;
         f.Then(Result::Timeout, {}, 4 * kRewatchSteps - 1);
         f.Then(Result::Timeout, [&f] {
           f.watchable = true, f.log.push_back("watches " + std::to_string(f.watches) + ", listings " + std::to_string(f.listings));
         });
         f.Then(Result::Change, [&f] { f.rewatchable = false; });
         f.Then(Result::Timeout, [&f] { f.files["S:\\back"] = "1"; });
         f.Then(Result::Timeout, {}, kRewatchSteps - 1);
         f.Then(Result::Timeout, [&f] { f.identity = "B", f.files["S:\\new"] = "1"; });
         f.Then(Result::Timeout, {}, kIdentityCheckSteps - 1);
       }},
      {"without a shared folder (\"\\\" alone) nothing is touched", all, {{"\\boot.ini", "r"}}, {{"\\boot.ini", "r"}}, {},
       [](Fake& f) { f.folder = "\\", f.Then(Result::Timeout); }},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name);
    Fake fake;
    fake.list = row.filters, fake.files = row.before;
    if (row.arrange) row.arrange(fake);
    RunWatcher(fake.folder, fake.state, fake, fake, fake);
    EXPECT_EQ(fake.state, Stopped);
    EXPECT_FALSE(fake.watching);
    EXPECT_EQ(fake.files, row.after);
    EXPECT_EQ(fake.log, row.log);
  }
}

TEST(Journal, ReadsBackOnlyWhatItWrote) {
  const JournalEntry moved{7, 1700000000, Move, 12, 99, "S:\\a b.mp3", "S:\\Music\\a b[1].mp3"};
  JournalEntry read;
  EXPECT_TRUE(DecodeJournalEntry(EncodeJournalEntry(moved), read) && read == moved) << EncodeJournalEntry(moved);
  for (const char* bad : {"", "7|1|2|3|4|S:\\a", "7|1|3|3|4|S:\\a|D:\\a", "7|1|1|3|4|S:\\a|D:\\a|x", "x|1|1|3|4|a|b",
                          "7|1|1|-3|4|a|b", "7|1|1|3|4||b"})
    EXPECT_FALSE(DecodeJournalEntry(bad, read)) << bad;
}

// An undo takes back only what is still as the organizer left it, and leaves the
// files it put back to the watcher until they change.
TEST(Undo, OnlyWhatTheOrganizerLeftAndOnlyToAFreeName) {
  Fake fake;
  fake.list = {{"c", "*.txt", Copy, "S:\\Copies", "", ""}, {"x", "*.bin", Move, "D:\\B", "", ""}, {"m", "*", Move, "S:\\M", "", ""}};
  fake.files = {{"S:\\a.mp3", "a"}, {"S:\\b.mp3", "b"}, {"S:\\c.mp3", "c"}, {"S:\\d.mp3", "d"}, {"S:\\e.txt", "e"},
                {"S:\\f.txt", "f"}, {"S:\\g.bin", "g"}, {"S:\\h.txt", "h"}, {"S:\\M\\a.mp3", "old"}};
  fake.made = {"S:\\M", "S:\\Copies", "D:\\B"};
  FilterMatcher matcher;
  ScanFolder("S:\\", fake.state, fake, fake, matcher);
  fake.files["S:\\M\\b.mp3"] = "edited", fake.times["S:\\M\\c.mp3"] = 5;  // by the user, after the organizer
  fake.files["S:\\d.mp3"] = "new d", fake.files.erase("S:\\Copies\\f.txt"), fake.files.erase("S:\\h.txt");
  std::vector<std::pair<std::string, UndoVerdict>> verdicts;
  for (const UndoOutcome& o : UndoEntries(fake.journal, fake)) verdicts.push_back({o.entry.target, o.verdict});
  using enum UndoVerdict;
  EXPECT_EQ(verdicts, (std::vector<std::pair<std::string, UndoVerdict>>{{"S:\\Copies\\h.txt", OriginalGone},
      {"D:\\B\\g.bin", Undone}, {"S:\\Copies\\f.txt", Gone}, {"S:\\Copies\\e.txt", Undone}, {"S:\\M\\d.mp3", NameTaken},
      {"S:\\M\\c.mp3", Changed}, {"S:\\M\\b.mp3", Changed}, {"S:\\M\\a[1].mp3", Undone}}));
  EXPECT_EQ(fake.files, (Files{{"S:\\a.mp3", "a"}, {"S:\\M\\a.mp3", "old"}, {"S:\\M\\b.mp3", "edited"}, {"S:\\M\\c.mp3", "c"},
                               {"S:\\d.mp3", "new d"}, {"S:\\M\\d.mp3", "d"}, {"S:\\e.txt", "e"}, {"S:\\f.txt", "f"},
                               {"S:\\g.bin", "g"}, {"S:\\Copies\\h.txt", "h"}}));
  // Put back and unchanged: left alone; changed since: organized again.
  for (const char* path : {"S:\\a.mp3", "S:\\g.bin"}) fake.putBack[UpperCaseText(path)] = fake.Facts(path);
  fake.files["S:\\g.bin"] = "g2";
  ScanFolder("S:\\", fake.state, fake, fake, matcher);
  EXPECT_TRUE(fake.files.count("S:\\a.mp3") && fake.files.count("D:\\B\\g.bin") && !fake.files.count("S:\\g.bin") &&
              fake.putBack.size() == 1);
}

}  // namespace
}  // namespace va
