// QuickLink runs in-process: the worker thread, the progress window (dialog 123)
// and the clipboard, with the module's real resources. Expected hashes come from
// an independent reference implementation.
#include "extension/quicklinks/quicklinks_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extension/core/module_state.h"
#include "extension/quicklinks/quicklinks.h"
#include "extension/resources/resource.h"
#include "support/clipboard_view.h"
#include "support/temp_folder.h"

namespace va {
namespace {

using test::ClipboardText;

using test::TempFolder;
using test::WriteFileBytes;

const char kHash5000000[] = "=kK7e2ZIs+JRup4WGNUk3JMVCaoA=";  // 5 000 000 zero bytes
const char kHash1023[] = "=7kMlyZjWEEme+XSYNzE1gQD8//8=";     // 1023 zero bytes
const char kHash2000[] = "=z0Ch3j+TtKAlQJte+lqiEC/4//8=";     // 2000 zero bytes

// Runs this thread's messages until `done` holds; false after `seconds`.
template <typename Predicate>
bool PumpUntil(Predicate done, DWORD seconds = 10) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > seconds * 1000) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return true;
}

void PutClipboardText(const char* text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, strlen(text) + 1);
  memcpy(GlobalLock(block), text, strlen(text) + 1);
  GlobalUnlock(block);
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  SetClipboardData(CF_TEXT, block);
  CloseClipboard();
}

BOOL CALLBACK CollectDialog(HWND window, LPARAM list) {
  char className[32] = "";
  GetClassNameA(window, className, sizeof className);
  if (std::string(className) == "#32770") reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> DialogsOfThisThread() {
  std::vector<HWND> found;
  EnumThreadWindows(GetCurrentThreadId(), CollectDialog, reinterpret_cast<LPARAM>(&found));
  return found;
}

std::string LoadModuleString(UINT id) {
  char text[600] = "";
  LoadStringA(ModuleInstance, id, text, sizeof text);
  return text;
}

class QuickLinkRun : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
    PutClipboardText("before");
  }
  void TearDown() override {
    PumpUntil([] { return QuickLinkState == kQuickLinkIdle && DialogsOfThisThread().empty(); });
    DestroyWindow(owner_);
  }

  // Starts a run over `paths` and waits until it has ended and its window is gone.
  void RunToTheEnd(int format, const std::vector<std::string>& paths) {
    StartQuickLinksFor(format, owner_, [&] { return paths; });
    EXPECT_TRUE(PumpUntil([] { return QuickLinkState == kQuickLinkIdle && DialogsOfThisThread().empty(); }));
  }

  HWND owner_ = nullptr;
  TempFolder temp_;
};

TEST(QuickLinkResources, TemplatesMenuAndTextsAreTheModulesOwn) {
  ModuleInstance = GetModuleHandleA(nullptr);
  for (int format = 1; format <= kQuickLinkFormatCount; ++format) {
    SCOPED_TRACE(format);
    EXPECT_EQ(LoadModuleString(kQuickLinkTemplateStringBase + format), QuickLinkTemplate(format));
  }
  EXPECT_EQ(LoadModuleString(IDS_QUICKLINK_CANCELING), "Canceling...");

  HMENU menu = LoadMenuA(ModuleInstance, MAKEINTRESOURCEA(IDM_QUICKLINK));
  ASSERT_NE(menu, nullptr);
  char text[64] = "";
  GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Copy QuickLink as..");
  HMENU popup = GetSubMenu(menu, 0);
  ASSERT_NE(popup, nullptr);
  const UINT ids[] = {11451, 11452, 0, 11453, 0, 11454, 11455};
  ASSERT_EQ(GetMenuItemCount(popup), 7);
  for (int i = 0; i < 7; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetMenuItemID(popup, i), ids[i]);
    EXPECT_EQ((GetMenuState(popup, i, MF_BYPOSITION) & MF_SEPARATOR) != 0, ids[i] == 0);
  }
  GetMenuStringA(popup, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "HyperLink: <A></A>");
  GetMenuStringA(popup, 6, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Hybrid HyperLink: [URL][/URL]");
  DestroyMenu(menu);
}

TEST_F(QuickLinkRun, AnchorFormatForSongMp3ReachesTheClipboard) {
  WriteFileBytes(temp_.Join("song.mp3"), std::string(5000000, '\0'));
  RunToTheEnd(1, {temp_.Join("song.mp3")});
  EXPECT_EQ(ClipboardText(), std::string("<A HREF=\"sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:") +
                                 kHash5000000 + "|\">song.mp3</A>\r\n");
}

TEST_F(QuickLinkRun, SimpleFormatForTwoFilesGivesTwoBlocksEachFollowedByAnEmptyLine) {
  WriteFileBytes(temp_.Join("song.mp3"), std::string(5000000, '\0'));
  WriteFileBytes(temp_.Join("small.txt"), std::string(1023, '\0'));
  RunToTheEnd(3, {temp_.Join("song.mp3"), temp_.Join("small.txt")});
  EXPECT_EQ(ClipboardText(), std::string("File: song.mp3\r\nLength: 5000000 Bytes, 4882KB\r\nUUHash: ") + kHash5000000 +
                                 "\r\n\r\nFile: small.txt\r\nLength: 1023 Bytes, 0KB\r\nUUHash: " + kHash1023 +
                                 "\r\n\r\n");
}

TEST_F(QuickLinkRun, LockedAndMissingFilesGetNoHashAndNeverTheirNeighbours) {
  WriteFileBytes(temp_.Join("a.bin"), std::string(1023, '\0'));
  WriteFileBytes(temp_.Join("locked.bin"), std::string(2000, '\0'));
  WriteFileBytes(temp_.Join("c.bin"), std::string(2000, '\0'));
  HANDLE lock = CreateFileA(temp_.Join("locked.bin").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  RunToTheEnd(2, {temp_.Join("a.bin"), temp_.Join("locked.bin"), temp_.Join("gone.bin"), temp_.Join("c.bin")});
  CloseHandle(lock);
  EXPECT_EQ(ClipboardText(),
            std::string("[URL=\"sig2dat:///|File:a.bin|Length:1023 Bytes,0KB|UUHash:") + kHash1023 +
                "|\"]a.bin[/URL]\r\n" +
                "[URL=\"sig2dat:///|File:locked.bin|Length:2000 Bytes,1KB|UUHash:(file not readable)|\"]locked.bin[/URL]\r\n" +
                "[URL=\"sig2dat:///|File:gone.bin|Length:? Bytes,?KB|UUHash:(file not readable)|\"]gone.bin[/URL]\r\n" +
                "[URL=\"sig2dat:///|File:c.bin|Length:2000 Bytes,1KB|UUHash:" + kHash2000 + "|\"]c.bin[/URL]\r\n");
}

// Records the texts shown on the progress line and presses Cancel once the
// worker shows `cancelAt` (it then hashes that file before it looks again).
struct LineSpy {
  static inline WNDPROC previous = nullptr;
  static inline std::vector<std::string> texts;
  static inline std::string cancelAt;
  static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
    if (message == WM_SETTEXT) {
      texts.push_back(reinterpret_cast<const char*>(lParam));
      if (texts.back() == cancelAt) {
        SendMessageA(GetParent(window), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(GetParent(window), IDCANCEL)));
      }
    }
    return result;
  }
};

TEST_F(QuickLinkRun, CancelKeepsTheFileBeingHashedAndStartsNoFurtherFile) {
  for (const char* name : {"a.bin", "b.bin", "c.bin"}) WriteFileBytes(temp_.Join(name), std::string(1023, '\0'));
  const std::vector<std::string> paths = {temp_.Join("a.bin"), temp_.Join("b.bin"), temp_.Join("c.bin")};
  StartQuickLinksFor(3, owner_, [&] { return paths; });
  // The worker waits on this thread for its first line text, so the spy is in
  // place before any file is looked at.
  std::vector<HWND> dialogs = DialogsOfThisThread();
  ASSERT_EQ(dialogs.size(), 1u);
  HWND line = GetDlgItem(dialogs[0], IDC_QUICKLINK_FILE);
  ASSERT_NE(line, nullptr);
  LineSpy::texts.clear();
  LineSpy::cancelAt = "b.bin";
  LineSpy::previous = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(line, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&LineSpy::Proc)));
  ASSERT_TRUE(PumpUntil([] { return QuickLinkState == kQuickLinkIdle && DialogsOfThisThread().empty(); }));

  EXPECT_EQ(LineSpy::texts, (std::vector<std::string>{"a.bin", "b.bin", "Canceling..."}));
  const std::string block = std::string(" Bytes, 0KB\r\nUUHash: ") + kHash1023 + "\r\n\r\n";
  EXPECT_EQ(ClipboardText(), "File: a.bin\r\nLength: 1023" + block + "File: b.bin\r\nLength: 1023" + block);
}

TEST_F(QuickLinkRun, ASecondRequestWhileOneRunsIsIgnored) {
  WriteFileBytes(temp_.Join("first.bin"), std::string(2000, '\0'));
  const std::vector<std::string> first = {temp_.Join("first.bin")};
  StartQuickLinksFor(1, owner_, [&] { return first; });
  EXPECT_NE(QuickLinkState, kQuickLinkIdle);
  bool secondAsked = false;
  StartQuickLinksFor(3, owner_, [&] {
    secondAsked = true;
    return first;
  });
  EXPECT_FALSE(secondAsked);
  EXPECT_EQ(DialogsOfThisThread().size(), 1u);
  ASSERT_TRUE(PumpUntil([] { return QuickLinkState == kQuickLinkIdle && DialogsOfThisThread().empty(); }));
  EXPECT_EQ(ClipboardText(), std::string("<A HREF=\"sig2dat:///|File:first.bin|Length:2000 Bytes,1KB|UUHash:") +
                                 kHash2000 + "|\">first.bin</A>\r\n");
  // Once idle again a request is taken.
  RunToTheEnd(3, first);
  EXPECT_EQ(ClipboardText().substr(0, 17), "File: first.bin\r\n");
}

TEST_F(QuickLinkRun, NoFilesShowsNothingAndLeavesTheClipboard) {
  StartQuickLinksFor(1, owner_, [] { return std::vector<std::string>(); });
  EXPECT_EQ(QuickLinkState, kQuickLinkIdle);
  EXPECT_TRUE(DialogsOfThisThread().empty());
  StartQuickLinksFor(7, owner_, [] { return std::vector<std::string>{"C:\\x"}; });
  EXPECT_TRUE(DialogsOfThisThread().empty());
  EXPECT_EQ(ClipboardText(), "before");
}

}  // namespace
}  // namespace va
