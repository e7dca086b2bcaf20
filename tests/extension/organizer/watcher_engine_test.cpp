// The watcher loop and its actions against a fake folder tree and scripted waits:
// whole multi-scan scenarios run in milliseconds.
#include "extension/organizer/watcher_engine.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <map>
#include <set>

namespace va {
namespace {

using Result = WatcherWaits::Result;

// Folders and files as a map of full path -> contents; folders end in "\".
class FakeFiles : public WatcherFiles {
 public:
  std::map<std::string, std::string> files;  // path -> contents, listing order = name order
  std::set<std::string> folders;
  std::set<std::string> heldByWriter;
  std::set<std::string> uncreatable;
  std::vector<std::string> sounds;
  std::vector<std::pair<std::string, std::string>> commands;
  int listings = 0;
  int moveAttempts = 0;

  void Put(const std::string& path, const std::string& contents) { files[path] = contents; }

  std::vector<std::string> ListFiles(const std::string& folder) override {
    ++listings;
    std::vector<std::string> names;
    for (const auto& [path, contents] : files) {
      if (path.starts_with(folder) && path.find('\\', folder.size()) == std::string::npos) {
        names.push_back(path.substr(folder.size()));
      }
    }
    return names;
  }
  FileAccess CheckAccess(const std::string& path) override {
    if (!files.count(path)) return FileAccess::Gone;
    return heldByWriter.count(path) ? FileAccess::HeldByWriter : FileAccess::Free;
  }
  bool FolderExists(const std::string& path) override { return folders.count(path) > 0; }
  bool CreateFolderPath(const std::string& path) override {
    if (uncreatable.count(path)) return false;
    return folders.insert(path).second;
  }
  bool CopyWithoutOverwrite(const std::string& source, const std::string& target) override {
    if (!files.count(source) || files.count(target)) return false;
    files[target] = files[source];
    return true;
  }
  bool MoveWithoutOverwrite(const std::string& source, const std::string& target) override {
    ++moveAttempts;
    if (!files.count(source) || files.count(target)) return false;
    files[target] = files[source];
    files.erase(source);
    return true;
  }
  void PlaySoundFile(const std::string& path) override { sounds.push_back(path); }
  void RunCommand(const std::string& program, const std::string& parameters) override {
    commands.emplace_back(program, parameters);
  }
  void ExpandPlaceholders(std::string& text) override {
    size_t at = text.find("%VAPATH%");
    if (at != std::string::npos) text.replace(at, 8, "C:\\Client");
  }
};

class FakeFilters : public WatcherFilters {
 public:
  std::vector<FilterRecord> list;
  int depth = 0;
  void Lock() override { ++depth; }
  void Unlock() override { --depth; }
  const std::vector<FilterRecord>& Filters() override {
    EXPECT_EQ(depth, 1) << "filters read without the lock";
    return list;
  }
};

// Plays a script of wait results; each step may change the folder first. When the
// script ends the fake asks the watcher to stop.
class ScriptedWaits : public WatcherWaits {
 public:
  explicit ScriptedWaits(std::atomic<int32_t>& state) : state_(state) {}
  struct Step {
    Result result;
    std::function<void()> before;
  };
  std::deque<Step> script;
  bool watchable = true;
  bool rewatchFails = false;
  int watchCalls = 0, waits = 0;
  bool watching = false;

  bool Watch(const std::string&) override {
    ++watchCalls;
    watching = watchable;
    return watchable;
  }
  bool Rewatch() override { return !rewatchFails; }
  void Unwatch() override { watching = false; }
  Result Wait(int milliseconds) override {
    EXPECT_EQ(milliseconds, kWatcherStepMs);
    ++waits;
    if (waits > 10000) ADD_FAILURE() << "the watcher does not end";
    if (script.empty() || waits > 10000) {
      state_ = StopRequested;
      return Result::Wake;
    }
    Step step = script.front();
    script.pop_front();
    if (step.before) step.before();
    return step.result;
  }

 private:
  std::atomic<int32_t>& state_;
};

const std::string kShared = "C:\\Shared\\";

struct Organizer {
  std::atomic<int32_t> state{Running};
  FakeFiles files;
  FakeFilters filters;
  ScriptedWaits waits{state};

  Organizer() {
    files.folders.insert("C:\\Shared");
    files.folders.insert("D:\\Music");
  }
  void Run() { RunWatcher(kShared, state, waits, files, filters); }
  void Then(Result r, std::function<void()> before = {}) { waits.script.push_back({r, std::move(before)}); }
};

FilterRecord CopyTo(const std::string& filter, const std::string& dest, const std::string& cmd = "") {
  return {"copy", filter, Copy, dest, "", cmd};
}
FilterRecord MoveTo(const std::string& filter, const std::string& dest) { return {"move", filter, Move, dest, "", ""}; }

TEST(Watcher, HandlesFilesPresentAtStartAndSkipsDatFiles) {
  Organizer o;
  o.filters.list = {CopyTo("*", "D:\\Music")};
  o.files.Put(kShared + "song.mp3", "one");
  o.files.Put(kShared + "x.DAT", "d1");
  o.files.Put(kShared + "y.dat", "d2");
  o.files.Put(kShared + "z.Dat", "d3");
  o.Run();
  EXPECT_EQ(o.files.files["D:\\Music\\song.mp3"], "one");
  EXPECT_EQ(o.files.files.count("D:\\Music\\x.DAT") + o.files.files.count("D:\\Music\\y.dat") +
                o.files.files.count("D:\\Music\\z.Dat"),
            0u);
  EXPECT_EQ(o.state, Stopped);
  EXPECT_FALSE(o.waits.watching);
}

TEST(Watcher, OnlyTheFirstMatchingFilterActs) {
  Organizer o;
  o.filters.list = {MoveTo("*.mp3", "C:\\Shared\\First"), CopyTo("song*", "D:\\Music")};
  o.files.Put(kShared + "song.mp3", "one");
  o.Run();
  EXPECT_EQ(o.files.files["C:\\Shared\\First\\song.mp3"], "one");
  EXPECT_EQ(o.files.files.count("D:\\Music\\song.mp3"), 0u);
  EXPECT_EQ(o.files.files.count(kShared + "song.mp3"), 0u);
}

TEST(Watcher, CopyNeverOverwritesAndCopiesAgainWhenTheCopyIsDeleted) {
  Organizer o;
  o.filters.list = {{"c", "*.mp3", Copy, " D:\\Music\\ ", "ding.wav", "player %F"}};
  o.files.Put(kShared + "a.mp3", "new");
  o.Then(Result::Change, [&] { o.files.files["D:\\Music\\a.mp3"] = "edited copy"; });
  o.Then(Result::Change, [&] { o.files.files.erase("D:\\Music\\a.mp3"); });
  o.Run();
  // First scan copied; the second was refused (copy kept, no sound, no command);
  // the third copied again after the copy was deleted.
  EXPECT_EQ(o.files.files["D:\\Music\\a.mp3"], "new");
  EXPECT_EQ(o.files.files[kShared + "a.mp3"], "new");
  EXPECT_EQ(o.files.sounds.size(), 2u);
  ASSERT_EQ(o.files.commands.size(), 2u);
  EXPECT_EQ(o.files.commands[0].second, "D:\\Music\\a.mp3");
}

TEST(Watcher, MoveCountsUpNamesAndLosesNothing) {
  Organizer o;
  o.filters.list = {MoveTo("*", "D:\\Music")};
  o.files.Put("D:\\Music\\a.b.mp3", "old");
  o.files.Put("D:\\Music\\a.b[1].mp3", "old1");
  o.files.Put("D:\\Music\\readme", "old2");
  o.files.Put(kShared + "a.b.mp3", "new");
  o.files.Put(kShared + "readme", "new2");
  o.Run();
  EXPECT_EQ(o.files.files["D:\\Music\\a.b.mp3"], "old");
  EXPECT_EQ(o.files.files["D:\\Music\\a.b[1].mp3"], "old1");
  EXPECT_EQ(o.files.files["D:\\Music\\a.b[2].mp3"], "new");
  EXPECT_EQ(o.files.files["D:\\Music\\readme"], "old2");
  EXPECT_EQ(o.files.files["D:\\Music\\readme[1]"], "new2");
  EXPECT_EQ(o.files.files.size(), 5u);
}

TEST(Watcher, MoveGivesUpAfterName99AndKeepsTheFile) {
  Organizer o;
  o.filters.list = {{"m", "*", Move, "D:\\Music", "", "never"}};
  o.files.Put("D:\\Music\\a.mp3", "taken");
  for (int k = 1; k <= 99; ++k) o.files.Put("D:\\Music\\a[" + std::to_string(k) + "].mp3", "taken");
  o.files.Put(kShared + "a.mp3", "mine");
  o.Run();
  EXPECT_EQ(o.files.moveAttempts, kMoveAttempts);
  EXPECT_EQ(o.files.files[kShared + "a.mp3"], "mine");
  EXPECT_TRUE(o.files.commands.empty());
}

TEST(Watcher, CreatesAMissingDestinationOrDoesNothing) {
  Organizer o;
  o.filters.list = {CopyTo("*.mp3", "E:\\New\\Deep"), {"w", "*.wav", Copy, "E:\\Locked", "s.wav", "cmd"}};
  o.files.uncreatable.insert("E:\\Locked");
  o.files.Put(kShared + "a.mp3", "1");
  o.files.Put(kShared + "b.wav", "2");
  o.Run();
  EXPECT_EQ(o.files.files["E:\\New\\Deep\\a.mp3"], "1");
  EXPECT_EQ(o.files.files.count("E:\\Locked\\b.wav"), 0u);
  EXPECT_TRUE(o.files.sounds.empty());
  EXPECT_TRUE(o.files.commands.empty());
}

TEST(Watcher, MoveIntoTheWatchedFolderItselfIsRefused) {
  Organizer o;
  o.filters.list = {MoveTo("*", "c:\\shared")};
  o.files.Put(kShared + "a.mp3", "1");
  o.Then(Result::Change);
  o.Run();
  EXPECT_EQ(o.files.files.size(), 1u);
  EXPECT_EQ(o.files.moveAttempts, 0);
}

TEST(Watcher, CommandGetsTheTargetAndExpandedPlaceholders) {
  Organizer o;
  o.filters.list = {CopyTo("*", "D:\\Music", "  \"%VAPATH%\\My Player\\play.exe\"  /add \"%F\" %P|%FN  ")};
  o.files.Put(kShared + "song.mp3", "1");
  o.Run();
  ASSERT_EQ(o.files.commands.size(), 1u);
  EXPECT_EQ(o.files.commands[0].first, "C:\\Client\\My Player\\play.exe");
  EXPECT_EQ(o.files.commands[0].second, "/add \"D:\\Music\\song.mp3\" D:\\Music\\|song.mp3");
}

TEST(Watcher, OtherActionValuesOnlyRunTheFollowUpsOnTheFileInPlace) {
  Organizer o;
  o.filters.list = {{"x", "*", 0, "C:\\Shared\\", "s.wav", "tool %F"}};
  o.files.Put(kShared + "a.mp3", "1");
  o.Run();
  ASSERT_EQ(o.files.commands.size(), 1u);
  EXPECT_EQ(o.files.commands[0].second, "C:\\Shared\\a.mp3");
  EXPECT_EQ(o.files.sounds, std::vector<std::string>{"s.wav"});
}

TEST(Watcher, AFileHeldByAWriterWaitsForALaterScan) {
  Organizer o;
  o.filters.list = {CopyTo("*", "D:\\Music")};
  o.files.Put(kShared + "big.avi", "half");
  o.files.heldByWriter.insert(kShared + "big.avi");
  o.Then(Result::Timeout);
  o.Then(Result::Timeout, [&] {
    o.files.files[kShared + "big.avi"] = "whole";
    o.files.heldByWriter.clear();
  });
  o.Run();
  // No change notification came: the retry two steps later took the finished file.
  EXPECT_EQ(o.files.files["D:\\Music\\big.avi"], "whole");
  EXPECT_EQ(o.files.listings, 2);
}

TEST(Watcher, WakeWithoutStopRescansAndStopEndsTheLoop) {
  Organizer o;
  o.filters.list = {CopyTo("*", "D:\\Music")};
  o.Then(Result::Wake, [&] { o.files.Put(kShared + "late.mp3", "1"); });
  o.Then(Result::Timeout);
  o.Run();
  EXPECT_EQ(o.files.files.count("D:\\Music\\late.mp3"), 1u);
  EXPECT_EQ(o.files.listings, 2);
  EXPECT_EQ(o.state, Stopped);
}

TEST(Watcher, FailedRearmEndsTheWatcher) {
  Organizer o;
  o.waits.rewatchFails = true;
  o.Then(Result::Change);
  o.Then(Result::Change);
  o.Run();
  EXPECT_EQ(o.waits.waits, 1);
  EXPECT_EQ(o.state, Stopped);
}

TEST(Watcher, AnUnwatchableFolderNeitherSpinsNorScansUntilItCanBeWatched) {
  Organizer o;
  o.filters.list = {CopyTo("*", "D:\\Music")};
  o.waits.watchable = false;
  o.files.Put(kShared + "a.mp3", "1");
  for (int i = 0; i < 3 * kRewatchSteps; ++i) o.Then(Result::Timeout);
  o.Then(Result::Timeout, [&] { o.waits.watchable = true; });
  for (int i = 0; i < kRewatchSteps; ++i) o.Then(Result::Timeout);
  o.Run();
  // Every wait lasted a full step; the folder was tried every ten steps and
  // scanned once, when watching finally worked.
  EXPECT_EQ(o.waits.watchCalls, 1 + 4);
  EXPECT_EQ(o.files.listings, 1);
  EXPECT_EQ(o.files.files.count("D:\\Music\\a.mp3"), 1u);
}

TEST(Watcher, WithoutASharedFolderNothingIsWatchedOrTouched) {
  Organizer o;
  o.filters.list = {MoveTo("*", "D:\\Music")};
  o.files.Put("\\boot.ini", "root file");
  o.Then(Result::Timeout);
  o.Then(Result::Wake);
  RunWatcher("\\", o.state, o.waits, o.files, o.filters);
  EXPECT_EQ(o.waits.watchCalls, 0);
  EXPECT_EQ(o.files.listings, 0);
  EXPECT_EQ(o.files.files.count("\\boot.ini"), 1u);
  EXPECT_EQ(o.state, Stopped);
}

TEST(WatcherHelpers, CounterGoesBeforeTheLastDot) {
  EXPECT_EQ(NameWithCounter("a.b.mp3", 1), "a.b[1].mp3");
  EXPECT_EQ(NameWithCounter("readme", 99), "readme[99]");
  EXPECT_EQ(NameWithCounter(".profile", 2), "[2].profile");
}

TEST(WatcherHelpers, TargetPlaceholdersAreReplacedInOnePass) {
  EXPECT_EQ(ReplaceTargetPlaceholders("%FN|%P|%F", "D:\\M\\a.mp3"), "a.mp3|D:\\M\\|D:\\M\\a.mp3");
  // A file name that itself holds "%P" is not expanded again.
  EXPECT_EQ(ReplaceTargetPlaceholders("\"%F\"", "D:\\M\\x%P%F.mp3"), "\"D:\\M\\x%P%F.mp3\"");
  EXPECT_EQ(ReplaceTargetPlaceholders("%f %p 100%", "D:\\a"), "%f %p 100%");
}

}  // namespace
}  // namespace va
