// The organizer on the real platform: its filter list in the registry and its
// watcher thread on a real shared folder.
#include <windows.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>

#include "extension/organizer/organizer.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::ReadWholeFile;
using test::WaitUntil;
using Values = std::map<std::string, std::string>;

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snapshot);
  return count;
}

// Filter values as "name" -> text, or "#n" for a number.
void Put(HKEY root, const Values& values) {
  for (const auto& [name, text] : values) {
    if (text.starts_with("#")) test::PutDword(root, kFiltersKey, name.c_str(), std::stoul(text.substr(1)));
    else test::PutRawValue(root, kFiltersKey, name.c_str(), REG_SZ, test::Sz(text));
  }
}
Values Stored() {
  Values values;
  HKEY key = nullptr;
  RegOpenKeyExA(HKEY_CURRENT_USER, kFiltersKey, 0, KEY_READ, &key);
  char name[300], data[600];
  for (DWORD i = 0, nameSize = 300, type, size = 600;
       key && !RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
       ++i, nameSize = 300, size = 600)
    values[name] = type == REG_DWORD ? "#" + std::to_string(*reinterpret_cast<DWORD*>(data)) : std::string(data, strnlen(data, size));
  if (key) RegCloseKey(key);
  return values;
}

// Every file below `folder` (relative path -> contents).
void Collect(const std::string& folder, const std::string& prefix, Values& out) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found)) {
    std::string name = found.cFileName, path = folder + "\\" + name;
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      if (name != "." && name != "..") Collect(path, prefix + name + "\\", out);
    } else {
      out[prefix + name] = ReadWholeFile(path);
    }
  }
  FindClose(search);
}

// A user's filters, stored with gaps in their numbers beside values the loader
// passes over and a machine-wide list that the user's hides, are loaded in number
// order, a Move held inside the shared folder. Saving the same list writes
// nothing; attach starts the watcher thread, an empty list ends it, and a list
// saved before the stop is taken up leaves exactly one. Then on a real folder:
// files present are handled at once, a file still being written only once
// finished, a copy the user edits is never overwritten and comes back once
// deleted, a taken name gets "[1]", sub-folders (even one named like a match)
// and ".dat" files stay; nothing is lost or doubled and the command ran once per
// copy. At most 64 filters are kept, and without the user's list the machine's.
TEST(OrganizerOnRealFolders, StoredFiltersDriveTheWatcherThread) {
  test::TempFolder temp;
  const std::string root = temp.path() + "\\", shared = root + "Shared", music = shared + "\\Music\\Escape";
  const std::string copies = root + "Copies", all = root + "All", log = root + "Tools\\record args.exe.txt";
  for (const std::string& folder : {shared, shared + "\\Old.mp3", root + "Tools"}) CreateDirectoryA(folder.c_str(), nullptr);
  char self[MAX_PATH] = "";
  const std::string built = std::string(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
  ASSERT_TRUE(CopyFileA((built.substr(0, built.rfind('\\')) + "\\record_args.exe").c_str(),
                        (root + "Tools\\record args.exe").c_str(), FALSE));
  SetEnvironmentVariableA("VA_TEST_TOOLS", (root + "Tools").c_str());
  const std::string cmd = "\"%VA_TEST_TOOLS%\\record args.exe\" \"%F\" %P %FN";
  test::ClearExtensionSettings();
  test::PutRawValue(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir", REG_SZ, test::Sz(shared + "\\"));
  Put(HKEY_LOCAL_MACHINE, {{"Title1", "machine"}});
  Put(HKEY_CURRENT_USER, {{"Title10", "All"}, {"Filter10", "*"}, {"Dest10", all}, {"Action10", "#1"},
                          {"Title3", "Texts"}, {"Filter3", " *.txt; *.doc "}, {"Dest3", copies}, {"Cmd3", cmd},
                          {"Action3", "#1"}, {"Title1", "Music"}, {"Filter1", "*.mp3"}, {"Action1", "#2"},
                          {"Dest1", "Music\\..\\..\\Escape"}, {"title2", "x"}, {"Title4", "#7"}});
  ASSERT_EQ(LoadFilters(), 2);
  std::vector<FilterRecord> loaded{
      {"Music", "*.mp3", Move, music, "", ""}, {"Texts", " *.txt; *.doc ", Copy, copies, "", cmd}, {"All", "*", Copy, all, "", ""}};
  EXPECT_EQ(FilterList, loaded);

  const int threads = ThreadCount();
  Put(HKEY_CURRENT_USER, {{"Marker", ""}});
  EXPECT_EQ(SaveFilters(loaded, 2), 0);
  EXPECT_EQ(Stored().count("Marker"), 1u) << "an unchanged list was rewritten";
  PrepareOrganizer();
  EXPECT_TRUE(WaitUntil([&] { return ThreadCount() == threads + 1; }, 5000)) << "attach starts the watcher";
  std::vector<FilterRecord> none, one{loaded[2]};
  EXPECT_EQ(SaveFilters(none, -1), 0);
  EXPECT_TRUE(WaitUntil([&] { return ThreadCount() == threads && WatcherState == Stopped; }, 5000));
  EXPECT_EQ(Stored(), Values{});
  for (int round = 0; round < 6; ++round) {
    ASSERT_EQ(SaveFilters(one, 0), 1);
    SaveFilters(none, -1);
  }
  ASSERT_EQ(SaveFilters(one, 0), 1);
  EXPECT_TRUE(WaitUntil([&] { return ThreadCount() == threads + 1 && WatcherState == Running; }, 5000));
  SaveFilters(none, -1);
  ASSERT_TRUE(WaitUntil([&] { return WatcherState == Stopped; }, 5000));

  Values expected = {{"Shared\\x.DAT", "host"}, {"Shared\\y.dat", "host"}, {"Shared\\Notes.TXT", "notes"},
                     {"Shared\\Old.mp3\\deep.mp3", "deep"}, {"Shared\\early.mp3", "early"}};
  for (const auto& [name, bytes] : expected) test::WriteFileBytes(root + name, bytes);
  HANDLE writer = CreateFileA((shared + "\\big.avi").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, "first half,", 11, &written, nullptr));
  std::vector<FilterRecord> edited = loaded;
  edited[0].Dest = UpperCaseText(shared) + "\\Music\\..\\..\\Escape";
  edited[2].Wav = "  ";
  ASSERT_EQ(SaveFilters(edited, 2), 1);
  EXPECT_EQ(Stored(), (Values{{"Title1", "Music"}, {"Filter1", "*.mp3"}, {"Dest1", "Music\\..\\..\\Escape"},
                              {"Action1", "#2"}, {"Title2", "Texts"}, {"Filter2", " *.txt; *.doc "}, {"Dest2", copies},
                              {"Cmd2", cmd}, {"Action2", "#1"}, {"Title3", "All"}, {"Filter3", "*"}, {"Dest3", all},
                              {"Action3", "#1"}}));

  const std::string ran = "\"" + copies + "\\Notes.TXT\" " + copies + "\\ Notes.TXT\r\n";
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(log) == ran && ReadWholeFile(music + "\\early.mp3") == "early"; }, 5000));
  auto drop = [&](const std::string& name, const std::string& bytes) {  // written beside, moved in whole
    test::WriteFileBytes(root + name, bytes);
    ASSERT_TRUE(MoveFileA((root + name).c_str(), (shared + "\\" + name).c_str())) << name;
  };
  // A file that arrives while the watcher scans waits for the next change, so a
  // wait for the watcher's work touches the folder now and then (".dat" is left).
  int polls = 0, marks = 0;
  auto until = [&](const std::function<bool()>& done) {
    return WaitUntil([&] {
      if (++polls % 25 == 0) test::WriteFileBytes(shared + "\\touch.dat", ""), DeleteFileA((shared + "\\touch.dat").c_str());
      return done();
    }, 8000);
  };
  auto settle = [&] {  // two markers copied one after the other: a whole scan has run
    for (int i = 0; i < 2; ++i) {
      drop("mark" + std::to_string(++marks), "m");
      ASSERT_TRUE(until([&] { return ReadWholeFile(all + "\\mark" + std::to_string(marks)) == "m"; }));
    }
  };
  test::WriteFileBytes(copies + "\\Notes.TXT", "edited copy");
  settle();
  EXPECT_EQ(ReadWholeFile(copies + "\\Notes.TXT"), "edited copy");
  EXPECT_EQ(ReadWholeFile(all + "\\big.avi"), "") << "a file still being written was taken";
  DeleteFileA((copies + "\\Notes.TXT").c_str());
  settle();
  ASSERT_TRUE(WriteFile(writer, " second half", 12, &written, nullptr));
  CloseHandle(writer);
  drop("early.mp3", "dropped later");
  drop("readme", "plain");
  EXPECT_TRUE(until([&] { return ReadWholeFile(all + "\\big.avi") == "first half, second half"; }));
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(log) == ran + ran; }, 5000)) << ReadWholeFile(log);
  settle();
  expected.erase("Shared\\early.mp3");
  expected.insert({{"Shared\\Music\\Escape\\early.mp3", "early"}, {"Shared\\Music\\Escape\\early[1].mp3", "dropped later"},
                   {"Copies\\Notes.TXT", "notes"}, {"Shared\\big.avi", "first half, second half"},
                   {"All\\big.avi", "first half, second half"}, {"Shared\\readme", "plain"}, {"All\\readme", "plain"}});
  for (int k = 1; k <= marks; ++k) expected["Shared\\mark" + std::to_string(k)] = expected["All\\mark" + std::to_string(k)] = "m";
  Values found;
  for (const char* folder : {"Shared", "Copies", "All"}) Collect(root + folder, std::string(folder) + "\\", found);
  EXPECT_EQ(found, expected);

  std::vector<FilterRecord> many(70, loaded[2]);
  ASSERT_EQ(SaveFilters(many, 69), 1);
  EXPECT_EQ(Stored().count("Title64"), 1u);
  EXPECT_EQ(Stored().count("Title65"), 0u) << "at most 64 filters are kept";
  SaveFilters(none, -1);
  EXPECT_TRUE(WaitUntil([&] { return WatcherState == Stopped; }, 5000));
  test::DeleteTree(HKEY_CURRENT_USER, kFiltersKey);
  for (int n = 2; n <= 70; ++n) Put(HKEY_LOCAL_MACHINE, {{"Title" + std::to_string(n), "t"}});
  EXPECT_EQ(LoadFilters(), 63);
  EXPECT_EQ(FilterList[0].Title, "machine");
  test::ClearExtensionSettings();
  test::DeleteTree(HKEY_CURRENT_USER, kLocalContentKey);
}

}  // namespace
}  // namespace va
