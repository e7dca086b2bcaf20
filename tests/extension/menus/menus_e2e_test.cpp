// The Tools, file manager and QuickLink commands end to end: hostsim.exe with the
// real ch_plug.dll; rows are selected in the host's lists, commands reach the main
// frame as the menus send them, started programs are the recording program, and
// the clipboard is read from this process. Expected hashes come from an
// independent reference implementation.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "menu_test_support.h"
#include "support/clipboard_view.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

using test::ClipboardText;
using test::HostSim;
using test::HostTopWindow;
using test::WaitUntil;
using test::WindowTextOf;

constexpr int kProgressLineId = 1131;

void PutClipboardText(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

struct ProgressSearch {
  DWORD pid;
  std::vector<HWND> found;
};
BOOL CALLBACK CollectProgressWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ProgressSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid && GetDlgItem(window, kProgressLineId) && GetDlgItem(window, IDCANCEL))
    search->found.push_back(window);
  return TRUE;
}
// The QuickLink progress windows of the host.
std::vector<HWND> ProgressWindows(const HostSim& host) {
  ProgressSearch search = {host.ProcessId(), {}};
  EnumWindows(CollectProgressWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string Block(const std::string& name, const std::string& size, const std::string& kb, const std::string& hash) {
  return "File: " + name + "\r\nLength: " + size + " Bytes, " + kb + "KB\r\nUUHash: " + hash + "\r\n\r\n";
}

// A user with two tools (one also for previews; the other's program is missing)
// copies the links of library files in every format, where locked and missing
// files get a link that is clearly no hash; runs both tools, previews a download
// and opens a library file with its program. Then a long QuickLink run over many
// large files: a second request while it runs is ignored, and Cancel keeps the
// links made so far, each whole and in order.
TEST(MenusInHost, ToolsShellOpenAndQuickLinksFromTheHostsMenus) {
  HostSim host;
  test::RecordedFileType type(".vatest");
  test::RecorderLog log(host.Join("open.log"));
  SetEnvironmentVariableA("VATESTDIR", host.folder().c_str());
  CreateDirectoryA(host.Join("work").c_str(), nullptr);
  struct ToolsKey {
    ~ToolsKey() { test::DeleteTree(HKEY_CURRENT_USER, test::kToolsKey); }
  } removedAtTheEnd;
  const std::tuple<const char*, DWORD, std::string> tools[] = {
      {"Title1", REG_SZ, test::Sz("Recorder")},
      {"Cmd1", REG_SZ, test::Sz("\"" + test::RecorderLog::ProgramPath() + "\" first %VATESTDIR%")},
      {"Workdir1", REG_SZ, test::Sz("%VATESTDIR%\\work")}, {"Preview1", REG_DWORD, test::Dword(1)},
      {"Title2", REG_SZ, test::Sz("Missing")}, {"Cmd2", REG_SZ, test::Sz("%VAPATH%\\nothing.exe -x")}};
  for (const auto& [name, type, value] : tools) test::PutRawValue(HKEY_CURRENT_USER, test::kToolsKey, name, type, value);
  const char kSong[] = "=kK7e2ZIs+JRup4WGNUk3JMVCaoA=", kSmall[] = "=7kMlyZjWEEme+XSYNzE1gQD8//8=";
  const char kBig[] = "=kK7e2ZIs+JRup4WGNUk3JPsOHFE=";  // zero bytes, 5,000,000, 1023 and 700,000,000 long
  constexpr int kBigFiles = 400;
  std::string scenario = "window.search = never\ndownload = Song | Downloading | 1 KB/s | song.mp3\n";
  auto add = [&](const std::string& name, int64_t size) {
    if (size >= 0) {
      HANDLE file = CreateFileA(host.Join(name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      LARGE_INTEGER end;
      end.QuadPart = size;
      SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
      SetEndOfFile(file);  // zeros, sparse where the file system allows
      CloseHandle(file);
    }
    scenario += "library = " + name + " | " + host.folder() + "\n";
  };
  add("song.mp3", 5000000);
  add("small.txt", 1023);
  add("locked.bin", 2000);
  add("gone.bin", -1);
  add("clip.vatest", 1);
  for (int i = 0; i < kBigFiles; ++i) add("big_" + std::to_string(1000 + i) + ".bin", 700000000);
  ASSERT_TRUE(host.Start(scenario));
  ASSERT_TRUE(host.WaitForLog("window library created"));

  // Selects `rows`, sends format `format` and waits for the clipboard to hold
  // `expected`; while the module still looks for the library pane the command is
  // repeated.
  auto expectLinks = [&](const std::string& rows, int format, const std::string& expected) {
    PutClipboardText("sentinel");
    ASSERT_TRUE(host.Send("select-library " + rows));
    std::string last;
    EXPECT_TRUE(WaitUntil(
        [&] {
          if (ProgressWindows(host).empty() && ClipboardText() == "sentinel")
            host.Send("command " + std::to_string(11450 + format));
          return (last = ClipboardText()) == expected;
        },
        20000, 100))
        << "format " << format << ", clipboard: " << last;
    EXPECT_TRUE(WaitUntil([&] { return ProgressWindows(host).empty(); }, 5000));
  };
  const std::string song = "song.mp3|Length:5000000 Bytes,4882KB|UUHash:" + std::string(kSong) + "|";
  const std::string anchor = "<A HREF=\"sig2dat:///|File:" + song + "\">song.mp3</A>";
  const std::string url = "[URL=\"sig2dat:///|File:" + song + "\"]song.mp3[/URL]";
  const std::string lines = "Length: 5000000 Bytes, 4882KB\r\nUUHash: " + std::string(kSong) + "\r\n\r\n";
  expectLinks("1", 1, anchor + "\r\n");
  expectLinks("1", 2, url + "\r\n");
  expectLinks("1", 4, "File: " + anchor + "\r\n" + lines);
  expectLinks("1", 5, "File: " + url + "\r\n" + lines);
  // Two files in the simple format: two blocks, each followed by an empty line;
  // the folder row selected with them is not a file and is skipped.
  expectLinks("0,1,2", 3, Block("song.mp3", "5000000", "4882", kSong) + Block("small.txt", "1023", "0", kSmall));
  HANDLE lock = CreateFileA(host.Join("locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  expectLinks("2,3,4", 3,
              Block("small.txt", "1023", "0", kSmall) + Block("locked.bin", "2000", "1", "(file not readable)") +
                  Block("gone.bin", "?", "?", "(file not readable)"));
  CloseHandle(lock);

  // The tools, by the commands of their menu items, and Shell open.
  const std::string work = "cwd=" + host.Join("work") + "|first|" + host.folder();
  ASSERT_TRUE(host.Send("command 10000") && log.WaitForLines(1));
  EXPECT_EQ(log.Lines()[0], work);
  ASSERT_TRUE(host.Send("select 0") && host.Send("command 10500") && log.WaitForLines(2));
  EXPECT_EQ(log.Lines()[1], work + "|C:\\Downloads\\Incomplete\\T-song.mp3") << "no finished file: the working one";
  ASSERT_TRUE(host.Send("select-library 5") && host.Send("command 11005") && log.WaitForLines(3));
  EXPECT_EQ(log.Lines()[2], "cwd=" + host.folder() + "|" + host.Join("clip.vatest"));
  ASSERT_TRUE(host.Send("command 10001"));
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = HostTopWindow(host, "#32770")) && GetDlgItem(box, 0xFFFF); }, 10000));
  EXPECT_EQ(WindowTextOf(GetDlgItem(box, 0xFFFF)), "Can't open : '" + host.Join("nothing.exe") + "'");
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));

  // The long run.
  std::string rows;
  for (int i = 0; i < kBigFiles; ++i) rows += (i ? "," : "") + std::to_string(6 + i);
  PutClipboardText("sentinel");
  ASSERT_TRUE(host.Send("select-library " + rows) && host.Send("command 11453"));
  HWND progress = nullptr;
  ASSERT_TRUE(WaitUntil(
      [&] {
        const auto windows = ProgressWindows(host);
        progress = windows.empty() ? nullptr : windows[0];
        return progress && WindowTextOf(GetDlgItem(progress, kProgressLineId)) >= "big_1003.bin";
      },
      20000));
  ASSERT_TRUE(host.Send("command 11451") && host.Sync());
  EXPECT_EQ(ProgressWindows(host).size(), 1u) << "a second request started a second run";
  PostMessageA(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), LPARAM(GetDlgItem(progress, IDCANCEL)));
  ASSERT_TRUE(WaitUntil([&] { return ProgressWindows(host).empty(); }, 20000));
  const std::string links = ClipboardText();
  int count = 0;
  for (size_t at = 0; at < links.size(); ++count) {
    const std::string expected = Block("big_" + std::to_string(1000 + count) + ".bin", "700000000", "683593", kBig);
    ASSERT_EQ(links.compare(at, expected.size(), expected), 0) << "link " << count << " of: " << links.substr(at, 200);
    at += expected.size();
  }
  EXPECT_GE(count, 4);
  EXPECT_LT(count, kBigFiles);
  EXPECT_EQ(log.Lines().size(), 3u) << "a command started a program twice";
}

}  // namespace
}  // namespace va
