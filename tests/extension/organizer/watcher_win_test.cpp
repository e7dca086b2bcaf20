// The real watcher thread against real folders and change notifications: files
// dropped while it runs, copies that never overwrite, moves that never lose a
// file, files still being written, the started command, an unwatchable folder.
#include <gtest/gtest.h>

#include "common/registry_store.h"
#include "organizer_test_support.h"

namespace va {
namespace {

using test::FileExists;
using test::ReadFileBytes;
using test::PollUntil;
using test::WriteFileBytes;

// Waits until a whole scan has run after this call: a marker copied by a scan
// that listed the folder after the marker existed, then a second one (copied by a
// later scan, so the first scan has ended). Needs the filter MarkerFilter() first.
class Scans {
 public:
  explicit Scans(test::OrganizerBench& bench) : bench_(bench), marks_(bench.temp().Join("marks")) {}
  FilterRecord MarkerFilter() const { return {"marks", "mark*.tmp", Copy, marks_, "", ""}; }
  bool Settle() {
    for (int i = 0; i < 2; ++i) {
      std::string name = "mark" + std::to_string(++count_) + ".tmp";
      WriteFileBytes(bench_.Shared(name), "m");
      if (!PollUntil([&] { return FileExists(marks_ + "\\" + name); }, 5)) return false;
    }
    return true;
  }

 private:
  test::OrganizerBench& bench_;
  std::string marks_;
  int count_ = 0;
};

TEST(WatcherThread, HandlesFilesAtStartAndDroppedFilesButNeverDatFiles) {
  test::OrganizerBench bench;
  Scans scans(bench);
  std::string copies = bench.temp().Join("Copies");
  WriteFileBytes(bench.Shared("early.mp3"), "early");
  WriteFileBytes(bench.Shared("x.DAT"), "d");
  WriteFileBytes(bench.Shared("y.dat"), "d");
  ASSERT_EQ(bench.Save({scans.MarkerFilter(), {"all", "*", Copy, copies, "", ""}}), 1);
  EXPECT_TRUE(PollUntil([&] { return FileExists(copies + "\\early.mp3"); }, 3));
  WriteFileBytes(bench.Shared("late.mp3"), "late");
  EXPECT_TRUE(PollUntil([&] { return FileExists(copies + "\\late.mp3"); }, 3));
  EXPECT_EQ(ReadFileBytes(copies + "\\late.mp3"), "late");
  ASSERT_TRUE(scans.Settle());
  EXPECT_FALSE(FileExists(copies + "\\x.DAT"));
  EXPECT_FALSE(FileExists(copies + "\\y.dat"));
  EXPECT_FALSE(FileExists(copies + "\\mark1.tmp"));  // only the first matching filter acted
}

TEST(WatcherThread, CopyNeverOverwritesAndCopiesAgainAfterTheCopyIsDeleted) {
  test::OrganizerBench bench;
  Scans scans(bench);
  std::string copies = bench.temp().Join("Copies");
  WriteFileBytes(bench.Shared("a.mp3"), "original");
  ASSERT_EQ(bench.Save({scans.MarkerFilter(), {"mp3", "*.mp3", Copy, copies, "", ""}}), 1);
  ASSERT_TRUE(PollUntil([&] { return FileExists(copies + "\\a.mp3"); }, 3));
  WriteFileBytes(copies + "\\a.mp3", "edited copy");
  ASSERT_TRUE(scans.Settle());
  EXPECT_EQ(ReadFileBytes(copies + "\\a.mp3"), "edited copy");
  DeleteFileA((copies + "\\a.mp3").c_str());
  ASSERT_TRUE(scans.Settle());
  EXPECT_EQ(ReadFileBytes(copies + "\\a.mp3"), "original");
  EXPECT_EQ(ReadFileBytes(bench.Shared("a.mp3")), "original");
}

TEST(WatcherThread, MoveCountsUpTakenNamesAndLosesNoFile) {
  test::OrganizerBench bench;
  std::string music = bench.Shared("Music");
  CreateDirectoryA(music.c_str(), nullptr);
  WriteFileBytes(music + "\\song.mp3", "old 0");
  WriteFileBytes(music + "\\song[1].mp3", "old 1");
  WriteFileBytes(music + "\\readme", "old readme");
  ASSERT_EQ(bench.Save({{"move", "*", Move, music, "", ""}}), 1);
  WriteFileBytes(bench.Shared("song.mp3"), "new song");
  WriteFileBytes(bench.Shared("readme"), "new readme");
  EXPECT_TRUE(PollUntil([&] { return FileExists(music + "\\song[2].mp3") && FileExists(music + "\\readme[1]"); }, 3));
  EXPECT_EQ(ReadFileBytes(music + "\\song.mp3"), "old 0");
  EXPECT_EQ(ReadFileBytes(music + "\\song[1].mp3"), "old 1");
  EXPECT_EQ(ReadFileBytes(music + "\\song[2].mp3"), "new song");
  EXPECT_EQ(ReadFileBytes(music + "\\readme"), "old readme");
  EXPECT_EQ(ReadFileBytes(music + "\\readme[1]"), "new readme");
  EXPECT_FALSE(FileExists(bench.Shared("song.mp3")));
  EXPECT_FALSE(FileExists(bench.Shared("readme")));
}

TEST(WatcherThread, AFileStillBeingWrittenIsTakenOnlyWhenFinished) {
  test::OrganizerBench bench;
  Scans scans(bench);
  std::string copies = bench.temp().Join("Copies");
  ASSERT_EQ(bench.Save({scans.MarkerFilter(), {"video", "*.avi", Copy, copies, "", ""}}), 1);
  HANDLE writer = CreateFileA(bench.Shared("big.avi").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(writer, INVALID_HANDLE_VALUE);
  DWORD written = 0;
  WriteFile(writer, "first half,", 11, &written, nullptr);
  ASSERT_TRUE(scans.Settle());
  EXPECT_FALSE(FileExists(copies + "\\big.avi"));
  WriteFile(writer, " second half", 12, &written, nullptr);
  CloseHandle(writer);
  EXPECT_TRUE(PollUntil([&] { return FileExists(copies + "\\big.avi"); }, 5));
  EXPECT_EQ(ReadFileBytes(copies + "\\big.avi"), "first half, second half");
}

TEST(WatcherThread, StartsTheCommandWithTheTargetInItsArguments) {
  test::OrganizerBench bench;
  std::string tools = bench.temp().Join("My Tools");
  CreateDirectoryA(tools.c_str(), nullptr);
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string recorder = std::string(self);
  recorder = recorder.substr(0, recorder.rfind('\\')) + "\\record_args.exe";
  std::string program = tools + "\\record args.exe";
  ASSERT_TRUE(CopyFileA(recorder.c_str(), program.c_str(), FALSE));
  std::string copies = bench.temp().Join("Copies");
  // The program's folder comes from a placeholder (an environment variable).
  SetEnvironmentVariableA("VA_TEST_TOOLS", tools.c_str());
  ASSERT_EQ(bench.Save({{"cmd", "*.mp3", Copy, copies, "", "\"%VA_TEST_TOOLS%\\record args.exe\" \"%F\" %P %FN"}}), 1);
  WriteFileBytes(bench.Shared("my song.mp3"), "x");
  std::string log = program + ".txt";
  ASSERT_TRUE(PollUntil([&] { return ReadFileBytes(log).find("\r\n") != std::string::npos; }, 10));
  EXPECT_EQ(ReadFileBytes(log),
            "\"" + copies + "\\my song.mp3\" " + copies + "\\ my song.mp3\r\n");
}

TEST(WatcherThread, AnUnwatchableFolderCostsNoTimeAndIsPickedUpLater) {
  test::OrganizerBench bench;
  std::string later = bench.temp().Join("Later");
  WriteRegText(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir", later.c_str());
  std::string copies = bench.temp().Join("Copies");
  FILETIME created, ended, kernelBefore, userBefore, kernelAfter, userAfter;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernelBefore, &userBefore);
  ASSERT_EQ(bench.Save({{"all", "*", Copy, copies, "", ""}}), 1);
  Sleep(1500);  // measuring idle cost needs a stretch of time
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernelAfter, &userAfter);
  auto ticks = [](FILETIME t) { return (static_cast<uint64_t>(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
  uint64_t spent = ticks(kernelAfter) - ticks(kernelBefore) + ticks(userAfter) - ticks(userBefore);
  EXPECT_LT(spent, 3000000u);  // under 0.3 s of processor time in 1.5 s
  EXPECT_EQ(WatcherState.load(), Running);
  CreateDirectoryA(later.c_str(), nullptr);
  WriteFileBytes(later + "\\found.mp3", "x");
  EXPECT_TRUE(PollUntil([&] { return FileExists(copies + "\\found.mp3"); }, (kRewatchSteps + 3)));
}

}  // namespace
}  // namespace va
