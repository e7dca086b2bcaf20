// QuickLinks end to end: hostsim.exe with the real ch_plug.dll; files are selected
// in the host's library list, the format commands reach the main frame as the
// menu sends them, and the clipboard is read from this process. Expected hashes
// come from an independent reference implementation.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/clipboard_view.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::ClipboardText;

using test::HostSim;
using test::WaitUntil;

const char kHash5000000[] = "=kK7e2ZIs+JRup4WGNUk3JMVCaoA=";  // 5 000 000 zero bytes
const char kHash1023[] = "=7kMlyZjWEEme+XSYNzE1gQD8//8=";     // 1023 zero bytes
constexpr int kFormatCommandBase = 11450;
constexpr int kProgressLineId = 1131;

void PutClipboardText(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  if (!OpenClipboard(nullptr)) return;
  EmptyClipboard();
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

void WriteZeros(const std::string& path, int64_t size) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = size;
  SetFilePointerEx(file, end, nullptr, FILE_BEGIN);
  SetEndOfFile(file);  // sparse where the file system allows: zeros cost nothing
  CloseHandle(file);
}

struct ProgressSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchProgressWindow(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<ProgressSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid && GetDlgItem(window, kProgressLineId) && GetDlgItem(window, IDCANCEL)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The QuickLink progress window of process `pid`, or 0.
HWND FindProgressWindow(DWORD pid) {
  ProgressSearch search = {pid, nullptr};
  EnumWindows(MatchProgressWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class QuickLinksInHost : public testing::Test {
 protected:
  // Starts the host with `files` (name and size) in its library, rows 1.. in order.
  void StartWith(const std::vector<std::pair<std::string, int64_t>>& files) {
    std::string scenario = "window.search = never\nwindow.traffic = never\n";
    for (const auto& [name, size] : files) {
      WriteZeros(host_.Join(name), size);
      scenario += "library = " + name + " | " + host_.folder() + "\n";
    }
    ASSERT_TRUE(host_.Start(scenario));
    ASSERT_TRUE(host_.WaitForLog("window library created"));
  }

  // Selects `rows`, sends the format's command and waits for the clipboard to
  // hold `expected`; the library pane may still be being found, so the command
  // is repeated until the links arrive.
  void ExpectLinks(const std::string& rows, int format, const std::string& expected) {
    PutClipboardText("sentinel");
    ASSERT_TRUE(host_.Send("select-library " + rows));
    std::string last;
    bool arrived = WaitUntil(
        [&] {
          if (!FindProgressWindow(host_.ProcessId()) && ClipboardText() == "sentinel")
            host_.Send("command " + std::to_string(kFormatCommandBase + format));
          last = ClipboardText();
          return last == expected;
        },
        20000, 250);
    EXPECT_TRUE(arrived) << "clipboard: " << last;
    EXPECT_TRUE(WaitUntil([&] { return !FindProgressWindow(host_.ProcessId()); }, 5000));
  }

  HostSim host_;
};

std::string Anchor(const std::string& name, const std::string& bytes, const std::string& kb, const std::string& hash) {
  return "<A HREF=\"sig2dat:///|File:" + name + "|Length:" + bytes + " Bytes," + kb + "KB|UUHash:" + hash + "|\">" +
         name + "</A>";
}
std::string Url(const std::string& name, const std::string& bytes, const std::string& kb, const std::string& hash) {
  return "[URL=\"sig2dat:///|File:" + name + "|Length:" + bytes + " Bytes," + kb + "KB|UUHash:" + hash + "|\"]" +
         name + "[/URL]";
}
std::string Lines(const std::string& bytes, const std::string& kb, const std::string& hash) {
  return "Length: " + bytes + " Bytes, " + kb + "KB\r\nUUHash: " + hash + "\r\n";
}

TEST_F(QuickLinksInHost, EachOfTheFiveFormatsReachesTheClipboard) {
  StartWith({{"song.mp3", 5000000}, {"small.txt", 1023}});
  const std::string song[] = {"song.mp3", "5000000", "4882"};
  ExpectLinks("1", 1, Anchor(song[0], song[1], song[2], kHash5000000) + "\r\n");
  ExpectLinks("1", 2, Url(song[0], song[1], song[2], kHash5000000) + "\r\n");
  ExpectLinks("1", 3, "File: song.mp3\r\n" + Lines(song[1], song[2], kHash5000000) + "\r\n");
  ExpectLinks("1", 4,
              "File: " + Anchor(song[0], song[1], song[2], kHash5000000) + "\r\n" + Lines(song[1], song[2], kHash5000000) +
                  "\r\n");
  ExpectLinks("1", 5,
              "File: " + Url(song[0], song[1], song[2], kHash5000000) + "\r\n" + Lines(song[1], song[2], kHash5000000) +
                  "\r\n");
  // Two files in the simple format: two blocks, each followed by an empty line;
  // the folder row selected with them is not a file and is skipped.
  ExpectLinks("0,1,2", 3,
              "File: song.mp3\r\n" + Lines(song[1], song[2], kHash5000000) + "\r\n" + "File: small.txt\r\n" +
                  Lines("1023", "0", kHash1023) + "\r\n");
}

TEST_F(QuickLinksInHost, CancelKeepsTheFinishedLinksAndASecondRequestIsIgnored) {
  constexpr int kFiles = 400;
  const char kHash700000000[] = "=kK7e2ZIs+JRup4WGNUk3JPsOHFE=";  // 700 000 000 zero bytes
  std::vector<std::pair<std::string, int64_t>> files;
  std::string rows;
  auto nameOf = [](int i) {
    char name[32];
    snprintf(name, sizeof name, "big_%03d.bin", i);
    return std::string(name);
  };
  for (int i = 0; i < kFiles; ++i) {
    files.emplace_back(nameOf(i), 700000000);
    rows += (i ? "," : "") + std::to_string(i + 1);
  }
  StartWith(files);
  const std::string block = "Length: 700000000 Bytes, 683593KB\r\nUUHash: " + std::string(kHash700000000) + "\r\n\r\n";
  // A short run first, so the library pane is known before the long one.
  ExpectLinks("1", 3, "File: big_000.bin\r\n" + block);

  PutClipboardText("sentinel");
  ASSERT_TRUE(host_.Send("select-library " + rows));
  ASSERT_TRUE(host_.Send("command 11453"));
  HWND progress = nullptr;
  char line[64] = "";
  ASSERT_TRUE(WaitUntil(
      [&] {
        progress = FindProgressWindow(host_.ProcessId());
        if (!progress) return false;
        GetDlgItemTextA(progress, kProgressLineId, line, sizeof line);
        return std::string(line) >= "big_003.bin";
      },
      20000));
  ASSERT_TRUE(host_.Send("command 11451"));  // a second request while one runs
  PostMessageA(progress, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(progress, IDCANCEL)));
  ASSERT_TRUE(WaitUntil([&] { return !FindProgressWindow(host_.ProcessId()); }, 20000));

  // The links made before the cancel, each whole and in order, in the first
  // request's format; the run stopped well before the end.
  const std::string links = ClipboardText();
  int count = 0;
  size_t at = 0;
  while (at < links.size()) {
    const std::string expected = "File: " + nameOf(count) + "\r\n" + block;
    ASSERT_EQ(links.compare(at, expected.size(), expected), 0) << "link " << count << " of: " << links.substr(at, 200);
    at += expected.size();
    ++count;
  }
  EXPECT_GE(count, 4);
  EXPECT_LT(count, kFiles);
  // Idle again: the next request is taken.
  ExpectLinks("2", 1, Anchor("big_001.bin", "700000000", "683593", kHash700000000) + "\r\n");
}

}  // namespace
}  // namespace va
