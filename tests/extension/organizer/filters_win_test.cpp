// Filter storage against the real registry: numbering, value types, relative Move
// destinations, the unchanged-list rule, and the watcher's start and stop on save.
#include <gtest/gtest.h>

#include "organizer_test_support.h"

namespace va {
namespace {

using test::OrganizerBench;
using test::PutRawValue;
using test::ReadStoredValue;

void PutText(HKEY root, const char* name, const std::string& text) {
  PutRawValue(root, kFiltersKey, name, REG_SZ, text + std::string(1, '\0'));
}
// A stored text up to its first NUL (the registry adds one to texts written
// without it, as the platform does).
std::string StoredText(const char* name) {
  std::string bytes = ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, name).bytes;
  return bytes.substr(0, bytes.find('\0'));
}

void PutAction(HKEY root, const char* name, DWORD action) {
  PutRawValue(root, kFiltersKey, name, REG_DWORD, std::string(reinterpret_cast<char*>(&action), 4));
}

TEST(LoadFilters, OrdersByNumberAndSaveRenumbers) {
  OrganizerBench bench;
  PutText(HKEY_CURRENT_USER, "Title10", "ten");
  PutText(HKEY_CURRENT_USER, "Filter10", "*.avi");
  PutAction(HKEY_CURRENT_USER, "Action10", Copy);
  PutText(HKEY_CURRENT_USER, "Dest10", "C:\\Video");
  PutText(HKEY_CURRENT_USER, "Title3", "three");
  PutAction(HKEY_CURRENT_USER, "Action3", Copy);
  PutText(HKEY_CURRENT_USER, "Title1", "one");
  PutAction(HKEY_CURRENT_USER, "Action1", Copy);
  // Not filters: a lower-case name and a number stored as a title.
  PutText(HKEY_CURRENT_USER, "title2", "lower");
  PutAction(HKEY_CURRENT_USER, "Title4", 7);
  ASSERT_EQ(LoadFilters(), 2);
  ASSERT_EQ(FilterList.size(), 3u);
  EXPECT_EQ(FilterList[0].Title, "one");
  EXPECT_EQ(FilterList[1].Title, "three");
  EXPECT_EQ(FilterList[2].Title, "ten");
  EXPECT_EQ(FilterList[2].Filter, "*.avi");
  EXPECT_EQ(FilterList[2].Dest, "C:\\Video");
  EXPECT_EQ(FilterList[1].Filter, "");  // missing values leave fields empty

  std::vector<FilterRecord> edited = FilterList;
  edited[0].Title = "first";
  ASSERT_EQ(SaveFilters(edited, 2), 1);
  EXPECT_EQ(StoredText("Title1"), "first");
  EXPECT_EQ(StoredText("Title2"), "three");  // value names ignore case: "title2" is gone
  EXPECT_EQ(StoredText("Title3"), "ten");
  EXPECT_EQ(StoredText("Filter3"), "*.avi");
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Title10").exists);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Title4").exists);
}

TEST(LoadFilters, MoveDestinationsStayInsideTheSharedFolder) {
  OrganizerBench bench;
  PutText(HKEY_CURRENT_USER, "Title1", "move");
  PutText(HKEY_CURRENT_USER, "Dest1", "Music\\..\\..\\Windows");
  PutAction(HKEY_CURRENT_USER, "Action1", Move);
  PutText(HKEY_CURRENT_USER, "Title2", "no action value");
  PutText(HKEY_CURRENT_USER, "Dest2", "..\\..");
  PutText(HKEY_CURRENT_USER, "Title3", "copy");
  PutText(HKEY_CURRENT_USER, "Dest3", "D:\\Elsewhere\\..\\Backup");
  PutAction(HKEY_CURRENT_USER, "Action3", Copy);
  ASSERT_EQ(LoadFilters(), 2);
  EXPECT_EQ(FilterList[0].Dest, bench.shared() + "\\Music\\Windows");
  EXPECT_EQ(FilterList[1].Dest, bench.shared() + "\\");
  EXPECT_EQ(FilterList[1].Action, 0);
  EXPECT_EQ(FilterList[2].Dest, "D:\\Elsewhere\\..\\Backup");  // copies go where they are told
}

TEST(LoadFilters, FallsBackToTheMachineKeyAndKeepsAtMost64) {
  OrganizerBench bench;
  for (int n = 1; n <= 70; ++n) {
    std::string name = "Title" + std::to_string(n);
    PutText(HKEY_LOCAL_MACHINE, name.c_str(), "t" + std::to_string(n));
  }
  EXPECT_EQ(LoadFilters(), 63);
  test::DeleteTree(HKEY_LOCAL_MACHINE, kFiltersKey);
  EXPECT_EQ(LoadFilters(), -1);
  EXPECT_TRUE(FilterList.empty());
}

TEST(SaveFilters, StoresBlankFieldsNotAtAllAndMoveDestinationsRelative) {
  OrganizerBench bench;
  std::vector<FilterRecord> records{
      {"Music", "*.mp3", Move, bench.shared() + "\\Music", "  ", ""},
      {"Backup", "*.doc", Copy, "D:\\Backup", "ding.wav", "\"C:\\x y\\t.exe\" %F"},
  };
  ASSERT_EQ(SaveFilters(records, 1), 1);
  test::StoredValue dest = ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Dest1");
  EXPECT_EQ(dest.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(StoredText("Dest1"), "Music");
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Wav1").exists);  // blank
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Cmd1").exists);
  EXPECT_EQ(StoredText("Dest2"), "D:\\Backup");
  EXPECT_EQ(StoredText("Cmd2"), "\"C:\\x y\\t.exe\" %F");
  test::StoredValue action = ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Action1");
  EXPECT_EQ(action.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(action.bytes, std::string("\x02\0\0\0", 4));
  EXPECT_EQ(records[0].Dest, "Music");  // the caller sees the stored form
  EXPECT_EQ(FilterList[0].Dest, bench.shared() + "\\Music");
  ASSERT_EQ(LoadFilters(), 1);
  EXPECT_EQ(FilterList[0].Dest, bench.shared() + "\\Music");
  EXPECT_EQ(FilterList[1].Cmd, "\"C:\\x y\\t.exe\" %F");
}

TEST(SaveFilters, AMoveOutOfTheSharedFolderIsNeverHeldInMemory) {
  OrganizerBench bench;
  std::vector<FilterRecord> records{{"Escape", "*", Move, bench.shared() + "\\..\\..\\Windows", "", ""}};
  ASSERT_EQ(SaveFilters(records, 0), 1);
  EXPECT_EQ(FilterList[0].Dest, bench.shared() + "\\Windows");
}

TEST(SaveFilters, AnUnchangedListWritesNothing) {
  OrganizerBench bench;
  std::vector<FilterRecord> records{{"Docs", "*.doc", Copy, "D:\\Docs", "", ""}};
  ASSERT_EQ(SaveFilters(records, 0), 1);
  PutText(HKEY_CURRENT_USER, "Marker", "untouched");
  std::vector<FilterRecord> same{{"Docs", "*.doc", Copy, "D:\\Docs", "", ""}};
  EXPECT_EQ(SaveFilters(same, 0), 0);
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Marker").exists);
  same[0].Filter = "*.DOC";
  EXPECT_EQ(SaveFilters(same, 0), 1);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Marker").exists);
}

TEST(SaveFilters, EmptyListStopsTheWatcherThreadAndOneFilterStartsItAgain) {
  OrganizerBench bench;
  int before = test::ThreadCount();
  ASSERT_EQ(bench.Save({{"Docs", "*.doc", Copy, "D:\\Docs", "", ""}}), 1);
  EXPECT_EQ(WatcherState.load(), Running);
  EXPECT_TRUE(test::PollUntil([&] { return test::ThreadCount() == before + 1; }, 5));

  EXPECT_EQ(bench.Save({}), 0);
  EXPECT_TRUE(test::PollUntil([] { return WatcherState.load() == Stopped; }, 5));
  EXPECT_TRUE(test::PollUntil([&] { return test::ThreadCount() == before; }, 5));
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kFiltersKey, "Title1").exists == false);

  ASSERT_EQ(bench.Save({{"Docs", "*.doc", Copy, "D:\\Docs", "", ""}}), 1);
  EXPECT_EQ(WatcherState.load(), Running);
  EXPECT_TRUE(test::PollUntil([&] { return test::ThreadCount() == before + 1; }, 5));
}

TEST(SaveFilters, SavingRightAfterAnEmptyListLeavesExactlyOneWatcher) {
  OrganizerBench bench;
  int before = test::ThreadCount();
  for (int round = 0; round < 5; ++round) {
    ASSERT_EQ(bench.Save({{"A", "*.a", Copy, "D:\\A" + std::to_string(round), "", ""}}), 1);
    bench.Save({});
  }
  ASSERT_EQ(bench.Save({{"B", "*.b", Copy, "D:\\B", "", ""}}), 1);
  EXPECT_TRUE(test::PollUntil([&] { return test::ThreadCount() == before + 1; }, 5));
  Sleep(200);  // a second watcher would show up here
  EXPECT_EQ(test::ThreadCount(), before + 1);
  EXPECT_EQ(WatcherState.load(), Running);
}

}  // namespace
}  // namespace va
