// The organizer on the real platform: its filter list in the registry and its
// watcher thread on a real shared folder.
#include <windows.h>
#include <tlhelp32.h>

#include <filesystem>

#include "extension/core/module_state.h"
#include "extension/organizer/organizer.h"
#include "extension/windows/organizer_windows_win.h"
#include "support/client_keys.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::ReadWholeFile;
using test::WaitUntil;
using Values = std::map<std::string, std::string>;

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 entry{.dwSize = sizeof entry};
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
    count += entry.th32OwnerProcessID == GetCurrentProcessId();
  CloseHandle(snapshot);
  return count;
}

// Filter values as "name" -> text, or "#n" for a number.
void Put(HKEY root, const Values& values) {
  for (const auto& [name, text] : values)
    if (text.starts_with("#")) test::PutDword(root, kFiltersKey, name.c_str(), std::stoul(text.substr(1)));
    else test::PutRawValue(root, kFiltersKey, name.c_str(), REG_SZ, test::Sz(text));
}
std::string Stored() { return test::ValuesText(HKEY_CURRENT_USER, kFiltersKey); }

// A user's filters, stored with gaps in their numbers beside values the loader
// passes over and a machine-wide list that the user's hides, are loaded in number
// order, a Move held inside the shared folder. Saving the same list writes
// nothing; attach starts the watcher thread, an empty list ends it, and a list
// saved before the stop is taken up leaves exactly one. Then on a real folder:
// files present are handled at once, a file still being written only once
// finished, a copy the user edits is never overwritten and comes back once
// deleted, a taken name gets "[1]", sub-folders (even one named like a match)
// and ".dat" files stay; nothing is lost or doubled and the command ran once per
// copy. A name the ANSI code page cannot hold is matched and copied under its own
// name; a shared folder renamed away and made anew is watched anew. At most 64
// filters are kept (of more stored, the lowest numbers), and without the user's
// list the machine's.
TEST(OrganizerOnRealFolders, StoredFiltersDriveTheWatcherThread) {
  test::TempFolder temp;
  const std::string root = temp.path() + "\\", shared = root + "Shared", music = shared + "\\Music\\Escape";
  const std::string copies = root + "Copies", all = root + "All", log = root + "Tools\\record args.exe.txt";
  for (const std::string& folder : {shared, shared + "\\Old.mp3", root + "Tools"}) CreateDirectoryA(folder.c_str(), nullptr);
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::filesystem::copy_file(std::filesystem::path(self).replace_filename("record_args.exe"), root + "Tools\\record args.exe");
  SetEnvironmentVariableA("VA_TEST_TOOLS", (root + "Tools").c_str());
  const std::string cmd = "\"%VA_TEST_TOOLS%\\record args.exe\" \"%F\" %P %FN";
  test::ClientKeys clean;  // the client's and the module's keys, cleared before and after
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
  EXPECT_EQ(SaveFilters(loaded, 2), 0);
  PrepareOrganizer();
  EXPECT_TRUE(WaitUntil([&] { return ThreadCount() == threads + 1; }, 5000)) << "attach starts the watcher";
  std::vector<FilterRecord> none, one{loaded[2]};
  EXPECT_EQ(SaveFilters(none, -1), 0);
  EXPECT_TRUE(WaitUntil([&] { return ThreadCount() == threads && WatcherState == Stopped; }, 5000));
  EXPECT_EQ(Stored(), "");
  for (int round = 0; round < 7; ++round) ASSERT_EQ(SaveFilters(none, -1) + SaveFilters(one, 0), 1);
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
  EXPECT_EQ(Stored(), "Action1#2;Action2#1;Action3#1;Cmd2=" + cmd + ";Dest1=Music\\..\\..\\Escape;Dest2=" + copies + ";Dest3=" +
                         all + ";Filter1=*.mp3;Filter2= *.txt; *.doc ;Filter3=*;Title1=Music;Title2=Texts;Title3=All;");

  const std::string ran = "\"" + copies + "\\Notes.TXT\" " + copies + "\\ Notes.TXT\r\n";
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(log) == ran && ReadWholeFile(music + "\\early.mp3") == "early"; }, 5000));
  auto drop = [&](const std::string& name, const std::string& bytes) {  // written beside, moved in whole
    test::WriteFileBytes(root + name, bytes);
    ASSERT_TRUE(MoveFileA((root + name).c_str(), (shared + "\\" + name).c_str())) << name;
  };
  // A file that arrives while the watcher scans waits for the next change, so a
  // wait for the watcher's work touches the folder now and then (".dat" is left).
  int polls = 0, marks = 0;
  auto until = [&](auto done, int ms = 8000) {
    return WaitUntil([&] {
      if (++polls % 25 == 0) test::WriteFileBytes(shared + "\\touch.dat", ""), DeleteFileA((shared + "\\touch.dat").c_str());
      return done();
    }, ms);
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
  ASSERT_TRUE(WriteFile(writer, " second half", 12, &written, nullptr));
  CloseHandle(writer);
  drop("early.mp3", "dropped later");
  EXPECT_TRUE(until([&] { return ReadWholeFile(all + "\\big.avi") == "first half, second half"; }));
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(log) == ran + ran; }, 5000)) << ReadWholeFile(log);
  settle();
  expected.erase("Shared\\early.mp3");
  expected.insert({{"Shared\\Music\\Escape\\early.mp3", "early"}, {"Shared\\Music\\Escape\\early[1].mp3", "dropped later"},
                   {"Copies\\Notes.TXT", "notes"}, {"Shared\\big.avi", "first half, second half"},
                   {"All\\big.avi", "first half, second half"}});
  for (int k = 1; k <= marks; ++k) expected["Shared\\mark" + std::to_string(k)] = expected["All\\mark" + std::to_string(k)] = "m";
  EXPECT_EQ(test::FilesBelow(temp.path(), {"Shared", "Copies", "All"}), expected);

  // Two characters for "??", copied under the name they have.
  const std::wstring wideName = L"\x65E5\x672C.mp3", two = std::wstring(root.begin(), root.end()) + L"Two\\";
  std::vector<FilterRecord> wide{{"Two", "??.mp3", Copy, root + "Two", "", ""}};
  ASSERT_EQ(SaveFilters(wide, 0), 1);
  CloseHandle(CreateFileW((std::wstring(shared.begin(), shared.end()) + L"\\" + wideName).c_str(), GENERIC_WRITE, 0,
                          nullptr, CREATE_NEW, 0, nullptr));
  EXPECT_TRUE(until([&] { return GetFileAttributesW((two + wideName).c_str()) != INVALID_FILE_ATTRIBUTES; }));
  // The shared folder goes away and a new one takes its name: watched anew.
  ASSERT_TRUE(MoveFileA(shared.c_str(), (root + "Gone").c_str()));
  ASSERT_TRUE(CreateDirectoryA(shared.c_str(), nullptr));
  drop("re.mp3", "again");
  EXPECT_TRUE(until([&] { return ReadWholeFile(root + "Two\\re.mp3") == "again"; }, 15000));

  std::vector<FilterRecord> many(70, loaded[2]);
  ASSERT_EQ(SaveFilters(many, 69), 1);
  EXPECT_EQ(test::ValuesText(HKEY_CURRENT_USER, kFiltersKey, {"Title64", "Title65"}), "Title64=All;Title65-;")
      << "at most 64 filters are kept";
  SaveFilters(none, -1);
  EXPECT_TRUE(WaitUntil([&] { return WatcherState == Stopped; }, 5000));
  // Of more filters stored, those with the lowest numbers, whatever the listing order.
  test::DeleteTree(HKEY_CURRENT_USER, kFiltersKey);
  test::DeleteTree(HKEY_LOCAL_MACHINE, kFiltersKey);
  for (int n = 70; n >= 1; --n) Put(HKEY_LOCAL_MACHINE, {{"Title" + std::to_string(n), "t" + std::to_string(n)}});
  ASSERT_EQ(LoadFilters(), 63);
  for (int n = 1; n <= 64; ++n) ASSERT_EQ(FilterList[n - 1].Title, "t" + std::to_string(n)) << "the machine's, lowest numbers";
}

// The preview tells exactly what the watcher then does; an undo takes back what
// is still as the organizer left it while the watcher runs on, and names the rest.
TEST(OrganizerOnRealFolders, PreviewThenUndo) {
  test::TempFolder temp;
  const std::string root = temp.path() + "\\", shared = root + "Shared", copies = root + "Copies";
  for (const std::string& folder : {shared, copies, shared + "\\Music"}) CreateDirectoryA(folder.c_str(), nullptr);
  ModuleInstance = GetModuleHandleA(nullptr);  // the texts are linked into this program
  test::ClientKeys clean;
  test::PutRawValue(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir", REG_SZ, test::Sz(shared));
  std::vector<FilterRecord> filters{{"Texts", "*.txt", Copy, copies, "", ""}, {"Music", "*.mp3", Move, shared + "\\Music", "", ""},
                                    {"Here", "*.doc", Copy, shared, "", ""}};
  const Values dropped{{"Shared\\a.mp3", "a"}, {"Shared\\b.mp3", "b"}, {"Shared\\c.mp3", "c"}, {"Shared\\notes.txt", "n"},
                       {"Shared\\old.txt", "o"}, {"Copies\\old.txt", "o"}, {"Shared\\x.doc", "x"}, {"Shared\\y.bin", "y"},
                       {"Shared\\Music\\a.mp3", "earlier a"}};
  for (const auto& [name, bytes] : dropped) test::WriteFileBytes(root + name, bytes);
  size_t total = 0;
  std::map<std::string, std::vector<std::string>> shown;
  for (const PreviewRow& row : PreviewSharedFolder(filters, 500, total)) shown[row.name] = PreviewCells(row, filters);
  const std::string music = shared + "\\Music\\";
  EXPECT_EQ(total, 7u);
  EXPECT_EQ(shown, (std::map<std::string, std::vector<std::string>>{
      {"a.mp3", {"a.mp3", "Music", "Move to " + music + "a[1].mp3"}}, {"b.mp3", {"b.mp3", "Music", "Move to " + music + "b.mp3"}},
      {"c.mp3", {"c.mp3", "Music", "Move to " + music + "c.mp3"}}, {"notes.txt", {"notes.txt", "Texts", "Copy to " + copies + "\\notes.txt"}},
      {"old.txt", {"old.txt", "Texts", "Nothing: already copied to " + copies + "\\old.txt"}},
      {"x.doc", {"x.doc", "Here", "Nothing: the destination is My Shared Folder itself"}},
      {"y.bin", {"y.bin", "", "Nothing: no filter matches"}}}));
  // What the preview said, done to the folder as it was.
  Values expected = dropped;
  for (const auto& [name, cells] : shown) {
    const std::string& what = cells[2];
    if (what.starts_with("Copy to ") || what.starts_with("Move to ")) expected[what.substr(8 + root.size())] = dropped.at("Shared\\" + name);
    if (what.starts_with("Move to ")) expected.erase("Shared\\" + name);
  }
  test::DeleteTree(HKEY_CURRENT_USER, kJournalKey);
  ASSERT_EQ(SaveFilters(filters, 2), 1);
  const auto found = [&] { return test::FilesBelow(temp.path(), {"Shared", "Copies"}); };
  EXPECT_TRUE(WaitUntil([&] { return found() == expected; }, 8000));
  EXPECT_EQ(found(), expected);
  // The user edits one moved file and starts writing a new file under another's original name.
  test::WriteFileBytes(music + "b.mp3", "b edited");
  HANDLE writer = CreateFileA((shared + "\\c.mp3").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, 0, nullptr);
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(writer, "new c", 5, &written, nullptr));
  const std::vector<UndoOutcome> outcomes = UndoJournalSince(ReadJournal().back().seq);
  std::map<std::string, UndoVerdict> verdicts;
  for (const UndoOutcome& o : outcomes) verdicts[o.entry.target.substr(root.size())] = o.verdict;
  EXPECT_EQ(verdicts, (std::map<std::string, UndoVerdict>{{"Copies\\notes.txt", UndoVerdict::Undone},
      {"Shared\\Music\\a[1].mp3", UndoVerdict::Undone}, {"Shared\\Music\\b.mp3", UndoVerdict::Changed},
      {"Shared\\Music\\c.mp3", UndoVerdict::NameTaken}}));
  const std::string report = UndoReport(outcomes);
  EXPECT_TRUE(report.starts_with("2 actions were undone.\n\nThese were left alone:\n") &&
              report.find(music + "b.mp3: the file was changed after the organizer left it\n") != report.npos &&
              report.find(music + "c.mp3: another file now has the original name\n") != report.npos) << report;
  // A marker copied after the undo: the watcher has scanned the files put back and left them.
  test::WriteFileBytes(shared + "\\mark.txt", "m");
  EXPECT_TRUE(WaitUntil([&] { return ReadWholeFile(copies + "\\mark.txt") == "m"; }, 8000));
  expected.erase("Copies\\notes.txt"), expected.erase("Shared\\Music\\a[1].mp3");
  for (const auto& [name, bytes] : Values{{"Shared\\a.mp3", "a"}, {"Shared\\Music\\b.mp3", "b edited"}, {"Shared\\mark.txt", "m"},
                                          {"Copies\\mark.txt", "m"}, {"Shared\\c.mp3", "new c"}})
    expected[name] = bytes;
  EXPECT_EQ(found(), expected);
  EXPECT_EQ(ReadJournal().size(), 3u) << "undone entries leave the journal, the rest stay";
  CloseHandle(writer);
  std::vector<FilterRecord> none;
  SaveFilters(none, -1);
  ASSERT_TRUE(WaitUntil([&] { return WatcherState == Stopped; }, 5000));

  // The journal keeps the last 1,000; the preview over 10,000 files.
  for (int i = 0; i < 1005; ++i) RecordJournal("S:\\f" + std::to_string(i), "D:\\f", Copy, {});
  const std::vector<JournalEntry> kept = ReadJournal();
  EXPECT_TRUE(kept.size() == kJournalLimit && kept.front().source == "S:\\f1004" && kept.back().source == "S:\\f5");
  for (int i = 0; i < 10000; ++i) test::WriteFileBytes(shared + "\\n" + std::to_string(i) + ".mp3", "");
  const DWORD start = GetTickCount(), rows = DWORD(PreviewSharedFolder(filters, 500, total).size());
  const DWORD ms = GetTickCount() - start;
  printf("preview of %lu of %zu files: %lu ms\n", rows, total, ms);
  EXPECT_LT(ms, 1000u) << "listing every file and deciding the rows the window shows";
}

}  // namespace
}  // namespace va
