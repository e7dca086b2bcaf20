// The Tools, file manager and QuickLink commands end to end: hostsim.exe with the
// real ch_plug.dll; rows are selected in the host's lists, commands reach the main
// frame as the menus send them, started programs are the recording program, and
// the clipboard is read from this process. Expected hashes come from an
// independent reference implementation.

#include <tuple>

#include "extension/core/host_ids.h"
#include "extension/resources/resource.h"
#include "menu_test_support.h"
#include "support/clipboard_view.h"
#include "support/extension_keys.h"

namespace va {
namespace {
using namespace test;

bool EmptyTheClipboard() { return OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard(); }

// The QuickLink progress windows of the host, by their file line.
std::vector<HWND> ProgressWindows(const HostSim& host) { return HostWindows(host, IDC_QUICKLINK_FILE); }

std::string Block(const std::string& name, const std::string& size, const std::string& kb, const std::string& hash) {
  return "File: " + name + "\r\nLength: " + size + " Bytes, " + kb + "KB\r\nUUHash: " + hash + "\r\n\r\n";
}

// A user with two tools (stored as an administrator's .reg writes them; one also
// for previews of three downloads, the other's program missing) copies the links of library files in
// every format: locked, missing and wildcard-named files get a link that is
// clearly no hash; another program holding the clipboard delays the links or, held
// throughout, is reported. Runs both tools, previews a download and opens a
// library file with its program. A long run over many large files ignores a second
// request and keeps the links made before Cancel, each whole and in order. Then the
// user closes the library window and opens it again: its list's right-click shows
// the module's file manager menu again.
TEST(MenusInHost, ToolsShellOpenAndQuickLinksFromTheHostsMenus) {
  HostSim host;
  RecordedFileType type(".vatest");
  RecorderLog log(host.Join("open.log"));
  SetEnvironmentVariableA("VATESTDIR", host.folder().c_str());
  CreateDirectoryA(host.Join("work").c_str(), nullptr);
  struct Cleanup {
    ~Cleanup() {
      DeleteTree(HKEY_CURRENT_USER, kExtKey);
      RemoveDirectoryA("C:\\Downloads\\song.mp3");
      DeleteFileA("C:\\Downloads\\done.mp3");
    }
  } removedAtTheEnd;
  const std::tuple<const char*, const char*, DWORD, std::string> values[] = {
      {kToolsKey, "Title1", REG_SZ, Sz("Recorder")},
      {kToolsKey, "Cmd1", REG_EXPAND_SZ, Sz("\"" + RecorderProgram() + "\" first %VATESTDIR%")},
      {kToolsKey, "Workdir1", REG_EXPAND_SZ, Sz("%VATESTDIR%\\work")},
      {kToolsKey, "Preview1", REG_DWORD, Dword(1)},
      {kToolsKey, "Title2", REG_EXPAND_SZ, Sz("Missing")},
      {kToolsKey, "Cmd2", REG_SZ, Sz("%VAPATH%\\nothing.exe -x")},
      {kExtKey, "ChangeFileManagerMenu", REG_DWORD, Dword(1)}};
  for (const auto& [key, name, kind, value] : values) PutRawValue(HKEY_CURRENT_USER, key, name, kind, value);
  const char kAbc[] = "=kK7e2ZIs+JRup4WGNUk3JMVCaoA=", kSmall[] = "=7kMlyZjWEEme+XSYNzE1gQD8//8=";
  const char kBig[] = "=kK7e2ZIs+JRup4WGNUk3JPsOHFE=";  // zero bytes, 5,000,000, 1023 and 700,000,000 long
  const char kHuge[] = "=kK7e2ZIs+JRup4WGNUk3JO4wt3U=";  // 5,000,000,000 bytes, zeros up to the last four: "tail"
  constexpr int kBigFiles = 400;
  // Previews: a finished "file" that is a folder, or a name whose "?" would find it,
  // is passed over for the working file; a finished file is previewed.
  std::string scenario = "window.search = never\ndownload = Song | Downloading | 1 KB/s | song.mp3\n"
                         "download = Wild | Downloading | 1 KB/s | s?ng.mp3\ndownload = Done | Downloading | 1 KB/s | done.mp3\n";
  CreateDirectoryA("C:\\Downloads", nullptr);
  CreateDirectoryA("C:\\Downloads\\song.mp3", nullptr);
  WriteFileBytes("C:\\Downloads\\done.mp3", "x");
  // Library files of these sizes (zeros, sparse where the file system allows); "???.mp3"
  // is no file, and as a search its name would find abc.mp3.
  std::vector<std::pair<std::string, int64_t>> files = {
      {"abc.mp3", 5000000}, {"small.txt", 1023}, {"locked.bin", 2000}, {"???.mp3", -1}, {"clip.vatest", 1}, {"huge.bin", 4999999996}};
  for (int i = 0; i < kBigFiles; ++i) files.push_back({"big_" + std::to_string(1000 + i) + ".bin", 700000000});
  for (const auto& [name, size] : files) {
    scenario += "library = " + name + " | " + host.folder() + "\n";
    if (size < 0) continue;
    HANDLE file = CreateFileA(host.Join(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    SetFilePointerEx(file, LARGE_INTEGER{.QuadPart = size}, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    if (DWORD written = 0; size > 4000000000) WriteFile(file, "tail", 4, &written, nullptr);  // past 4 GiB: a 32-bit position misses it
    CloseHandle(file);
  }
  ASSERT_TRUE(host.Start(scenario));
  ASSERT_TRUE(host.WaitForLog("window library created"));

  // Selects `rows`, sends format `format` and waits for the clipboard to hold
  // `expected`; while the module still looks for the library pane the command is
  // repeated.
  auto expectLinks = [&](const std::string& rows, int format, const std::string& expected) {
    ASSERT_TRUE(EmptyTheClipboard() && host.Send("select-library " + rows));
    std::string last;
    EXPECT_TRUE(WaitUntil(
        [&] {
          if (ProgressWindows(host).empty() && ClipboardText().empty())
            host.Send("command " + std::to_string(11450 + format));
          return (last = ClipboardText()) == expected;
        },
        20000, 100))
        << "format " << format << ", clipboard: " << last;
    EXPECT_TRUE(WaitUntil([&] { return ProgressWindows(host).empty(); }, 5000));
  };
  const std::string abc = "abc.mp3|Length:5000000 Bytes,4882KB|UUHash:" + std::string(kAbc) + "|";
  const std::string anchor = "<A HREF=\"sig2dat:///|File:" + abc + "\">abc.mp3</A>";
  const std::string url = "[URL=\"sig2dat:///|File:" + abc + "\"]abc.mp3[/URL]";
  const std::string lines = "Length: 5000000 Bytes, 4882KB\r\nUUHash: " + std::string(kAbc) + "\r\n\r\n";
  const std::string formats[] = {anchor + "\r\n", url + "\r\n", "", "File: " + anchor + "\r\n" + lines, "File: " + url + "\r\n" + lines};
  for (int format : {1, 2, 4, 5}) expectLinks("1", format, formats[format - 1]);
  // The folder row selected with the files is not a file and is skipped.
  expectLinks("0,1,2", 3, Block("abc.mp3", "5000000", "4882", kAbc) + Block("small.txt", "1023", "0", kSmall));
  expectLinks("6", 3, Block("huge.bin", "5000000000", "4882812", kHuge));  // through the real file reader
  HANDLE lock = CreateFileA(host.Join("locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  expectLinks("3,4", 3,
              Block("locked.bin", "2000", "1", "(file not readable)") + Block("???.mp3", "?", "?", "(file not readable)"));
  CloseHandle(lock);

  // The clipboard held for a moment: the links arrive. Held throughout: the user is
  // told, and the clipboard keeps what it had.
  // Another program holds it (for its window: a clipboard opened for no window does
  // not keep others out everywhere) for 300 ms from when it sets `held`.
  std::pair<HWND, LONG> other = {CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr), 0};
  HANDLE holder = CreateThread(
      nullptr, 0,
      [](LPVOID data) WINAPI -> DWORD {
        auto* held = static_cast<std::pair<HWND, LONG>*>(data);
        held->second = OpenClipboard(held->first) ? 1 : -1;
        Sleep(300);
        return CloseClipboard() ? 0 : 1;
      },
      &other, 0, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return other.second != 0; }, 5000) && other.second == 1);
  ASSERT_TRUE(host.Send("select-library 1") && host.Send("command 11451"));
  EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == anchor + "\r\n"; }, 10000)) << ClipboardText();
  WaitForSingleObject(holder, 10000);
  CloseHandle(holder);
  ASSERT_TRUE(WaitUntil([&] { return ProgressWindows(host).empty(); }, 5000));
  ASSERT_TRUE(OpenClipboard(other.first));
  ASSERT_TRUE(host.Send("command 11452"));
  EXPECT_EQ(AnswerHostMessageBox(host),
            "The QuickLinks could not be copied: another program holds the clipboard. Please try again.");
  CloseClipboard();
  EXPECT_EQ(ClipboardText(), anchor + "\r\n");

  // The tools, by the commands of their menu items, and Shell open.
  const std::string work = "cwd=" + host.Join("work") + "|first|" + host.folder();
  ASSERT_TRUE(host.Send("command 10000") && log.WaitForLines(1));
  EXPECT_EQ(log.Lines()[0], work);
  const char* previewed[] = {"Incomplete\\T-song.mp3", "Incomplete\\T-s?ng.mp3", "done.mp3"};
  for (size_t row = 0; row < 3; ++row) {
    ASSERT_TRUE(host.Send("select " + std::to_string(row)) && host.Send("command 10500") && log.WaitForLines(row + 2));
    EXPECT_EQ(log.Lines()[row + 1], work + "|C:\\Downloads\\" + previewed[row]);
  }
  ASSERT_TRUE(host.Send("select-library 5") && host.Send("command 11005") && log.WaitForLines(5));
  EXPECT_EQ(log.Lines()[4], "cwd=" + host.folder() + "|" + host.Join("clip.vatest"));
  ASSERT_TRUE(host.Send("command 10001"));
  EXPECT_EQ(AnswerHostMessageBox(host), "Can't open : '" + host.Join("nothing.exe") + "'");

  // The long run.
  std::string rows;
  for (int i = 0; i < kBigFiles; ++i) rows += (i ? "," : "") + std::to_string(7 + i);
  ASSERT_TRUE(EmptyTheClipboard() && host.Send("select-library " + rows) && host.Send("command 11453"));
  HWND progress = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto windows = ProgressWindows(host);
        progress = windows.empty() ? nullptr : windows[0];
        return progress && WindowTextOf(GetDlgItem(progress, 1131)) >= "big_1003.bin";
      },
      20000));
  const std::string reached = WindowTextOf(GetDlgItem(progress, 1131));
  ASSERT_TRUE(host.Send("command 11451") && host.Sync());
  // Once the run reached a later file, a second run would have shown its window.
  EXPECT_TRUE(WaitUntil([&] { return WindowTextOf(GetDlgItem(progress, 1131)) > reached; }, 20000));
  EXPECT_EQ(ProgressWindows(host).size(), 1u) << "a second request started a second run";
  PostMessageA(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(GetDlgItem(progress, IDCANCEL)));
  ASSERT_TRUE(WaitUntil([&] { return ProgressWindows(host).empty(); }, 20000));
  const std::string links = ClipboardText();
  std::string expected;
  int count = 0;
  for (; expected.size() < links.size(); ++count)
    expected += Block("big_" + std::to_string(1000 + count) + ".bin", "700000000", "683593", kBig);
  EXPECT_EQ(links, expected);
  EXPECT_TRUE(count >= 4 && count < kBigFiles) << count << " links";
  EXPECT_EQ(log.Lines().size(), 5u) << "a command started a program twice";

  // The library window closed and made again: the old list's end reached its own
  // procedure (it freed its items), and the new list is found and hooked.
  // (The host's answer to "create" can be lost while the module hooks the new window.)
  ASSERT_TRUE(host.Send("destroy library") && host.WaitForLog("window library destroyed"));
  EXPECT_EQ(host.CountLog("window library list freed"), 1);
  host.Send("create library");
  ASSERT_TRUE(host.WaitForLog("window library created", 10000, 2));
  ASSERT_TRUE(WaitUntil(
      [&] {
        PostMessageA(HostControl(host, host::kLibraryListId, host::kPaneSecondId), WM_CONTEXTMENU, 0, 0);
        return WaitUntil([&] { return host.Send("popup"); }, 1000, 50);
      },
      15000, 0));
  std::string shown;
  for (const MenuDumpItem& item : LastMenuDump(host, "popup", "automation popup", "popup-end"))
    shown += std::to_string(item.id) + " " + item.text + "|";
  EXPECT_EQ(shown.substr(0, 29), "0 |11005 Shell open|61219 Pla") << shown;
}

}  // namespace
}  // namespace va
