// Win32 tests of the main window's procedure in-process: a frame window of the
// test's own stands for the host's, its own procedure records what is passed on.
// Covers the title-bar button's mouse handling, the close box, JumpSuperNode,
// the Tools placement in the menu bar and the popup updates.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/hostui/host_menus_win.h"
#include "extension/hostui/main_window.h"
#include "extension/hostui/title_button_win.h"
#include "extension/hostui/tray_menu_win.h"

namespace va {
namespace {

struct Passed {
  UINT message;
  WPARAM wParam;
  DWORD tick;
};
std::vector<Passed> passed;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  passed.push_back({message, wParam, GetTickCount()});
  return DefWindowProcA(window, message, wParam, lParam);
}

int PassedCount(UINT message, WPARAM wParam) {
  int n = 0;
  for (const Passed& p : passed) n += p.message == message && p.wParam == wParam;
  return n;
}

// A menu bar shaped like the host's: six menus, Options at 3, View at 1.
HMENU MakeHostMenuBar() {
  HMENU bar = CreateMenu();
  const char* names[] = {"&File", "&View", "&Player", "&Options", "&Window", "&Help"};
  for (int i = 0; i < 6; ++i) {
    HMENU sub = CreatePopupMenu();
    for (int j = 0; j < 6; ++j) AppendMenuA(sub, MF_STRING, 100 * (i + 1) + j, "item");
    AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), names[i]);
  }
  return bar;
}

std::string ItemText(HMENU menu, int position) {
  char text[128] = "";
  GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
  return text;
}

int CountTools(HMENU bar) {
  int n = 0;
  for (int i = 0; i < GetMenuItemCount(bar); ++i) n += ItemText(bar, i) == "Tools";
  HMENU options = GetSubMenu(bar, 3);
  for (int i = 0; i < GetMenuItemCount(options); ++i) n += ItemText(options, i) == "Tools";
  return n;
}

class MainWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = RecordingProc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "VaTestFrame";
    RegisterClassA(&cls);
    window_ = CreateWindowExA(0, "VaTestFrame", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 400, nullptr,
                              MakeHostMenuBar(), cls.hInstance, nullptr);
    ASSERT_NE(window_, nullptr);
    ModuleInstance = GetModuleHandleA(nullptr);
    HostMainWindow = window_;
    PreviousMainProc = RecordingProc;
    // Subclassed as the module does it, so what the procedure sends to the window
    // comes back through it.
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainWindowProc));
    CurrentOptions = ExtensionOptions();
    CurrentLastState = LastStateRecord();
    CurrentOptions.ChangeSystemBtn = 1;
    InitTitleButton(window_);
    passed.clear();
  }
  void TearDown() override {
    KillTimer(window_, kHoverTimer);
    DestroyWindow(window_);
    HostMainWindow = nullptr;
    PreviousMainProc = nullptr;
    CurrentOptions = ExtensionOptions();
  }
  LRESULT Call(UINT message, WPARAM wParam, LPARAM lParam) { return MainWindowProc(window_, message, wParam, lParam); }
  POINT ButtonCentre() {
    RECT frame;
    GetWindowRect(window_, &frame);
    return {frame.left + TitleButton.rect.x + TitleButton.rect.width / 2,
            frame.top + TitleButton.rect.y + TitleButton.rect.height / 2};
  }
  static LPARAM Pack(POINT p) { return MAKELPARAM(p.x, p.y); }
  LPARAM ClientPack(POINT screen) {
    ScreenToClient(window_, &screen);
    return MAKELPARAM(screen.x, screen.y);
  }
  HWND window_ = nullptr;
};

TEST_F(MainWindowTest, HitTestAnswersOverTheButtonOnlyAndOnlyWithChangeSystemBtn) {
  POINT centre = ButtonCentre();
  EXPECT_EQ(Call(WM_NCHITTEST, 0, Pack(centre)), 65);
  EXPECT_EQ(TitleButton.hot, 1);
  EXPECT_EQ(PassedCount(WM_NCHITTEST, 0), 0);
  POINT away = {centre.x - 200, centre.y + 100};
  Call(WM_NCHITTEST, 0, Pack(away));
  EXPECT_EQ(TitleButton.hot, 0);
  EXPECT_EQ(PassedCount(WM_NCHITTEST, 0), 1);
  CurrentOptions.ChangeSystemBtn = 0;
  EXPECT_NE(Call(WM_NCHITTEST, 0, Pack(centre)), 65);
  EXPECT_EQ(PassedCount(WM_NCHITTEST, 0), 2);
  // No system menu on a right click over the button.
  CurrentOptions.ChangeSystemBtn = 1;
  EXPECT_EQ(Call(WM_NCRBUTTONDOWN, 65, Pack(centre)), 0);
  EXPECT_EQ(PassedCount(WM_NCRBUTTONDOWN, 65), 0);
}

TEST_F(MainWindowTest, PressDragOffAndReleaseDoesNothingAndLeavesTheButtonRaised) {
  POINT centre = ButtonCentre();
  EXPECT_EQ(Call(WM_NCLBUTTONDOWN, 65, Pack(centre)), 0);
  EXPECT_EQ(TitleButton.captured, 1);
  EXPECT_EQ(TitleButton.buttonUp, 0);
  EXPECT_EQ(GetCapture(), window_);
  POINT off = {centre.x - 150, centre.y + 120};
  Call(WM_MOUSEMOVE, 0, ClientPack(off));
  EXPECT_EQ(TitleButton.buttonUp, 1) << "drawn raised while the cursor is off the button";
  Call(WM_MOUSEMOVE, 0, ClientPack(centre));
  EXPECT_EQ(TitleButton.buttonUp, 0);
  Call(WM_MOUSEMOVE, 0, ClientPack(off));
  Call(WM_LBUTTONUP, 0, ClientPack(off));
  EXPECT_EQ(TitleButton.captured, 0);
  EXPECT_EQ(TitleButton.buttonUp, 1);
  EXPECT_NE(GetCapture(), window_);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(PassedCount(WM_LBUTTONUP, 0), 0) << "consumed while captured";
}

TEST_F(MainWindowTest, ReleaseOverTheButtonHidesTheWindowIntoTheTray) {
  POINT centre = ButtonCentre();
  Call(WM_NCLBUTTONDOWN, 65, Pack(centre));
  Call(WM_LBUTTONUP, 0, ClientPack(centre));
  EXPECT_FALSE(IsWindowVisible(window_));
  EXPECT_EQ(TitleButton.captured, 0);
  // Without a capture the button-up is the host's.
  Call(WM_LBUTTONUP, 0, 0);
  EXPECT_EQ(PassedCount(WM_LBUTTONUP, 0), 1);
}

TEST_F(MainWindowTest, CloseGoesThroughTheExitCommandWithChangeSystemBtnElseHides) {
  Call(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(PassedCount(WM_COMMAND, 32870), 1) << "AskExit off: the exit reaches the host";
  EXPECT_EQ(PassedCount(WM_SYSCOMMAND, SC_CLOSE), 0);
  EXPECT_TRUE(IsWindowVisible(window_));
  CurrentOptions.ChangeSystemBtn = 0;
  Call(WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindowVisible(window_));
  EXPECT_EQ(PassedCount(WM_COMMAND, 32870), 1);
  Call(WM_SYSCOMMAND, SC_MAXIMIZE, 0);
  EXPECT_EQ(PassedCount(WM_SYSCOMMAND, SC_MAXIMIZE), 1) << "other system commands are the host's";
}

TEST_F(MainWindowTest, JumpSuperNodeSendsTheHostPairInOrderHalfASecondApart) {
  Call(WM_COMMAND, 11002, 0);
  ASSERT_EQ(PassedCount(WM_COMMAND, 32891), 1);
  ASSERT_EQ(PassedCount(WM_COMMAND, 32890), 1);
  DWORD first = 0, second = 0;
  size_t firstAt = 0, secondAt = 0;
  for (size_t i = 0; i < passed.size(); ++i) {
    if (passed[i].message == WM_COMMAND && passed[i].wParam == 32891) first = passed[i].tick, firstAt = i;
    if (passed[i].message == WM_COMMAND && passed[i].wParam == 32890) second = passed[i].tick, secondAt = i;
  }
  EXPECT_LT(firstAt, secondAt);
  EXPECT_GE(second - first, 450u);  // the tick counter moves in steps of up to ~16 ms
  EXPECT_EQ(PassedCount(WM_COMMAND, 11002), 0) << "consumed";
}

TEST_F(MainWindowTest, AlwaysOnTopTogglesTheLastStateAndIsPassedOn) {
  Call(WM_COMMAND, 11006, 0);
  EXPECT_EQ(CurrentLastState.AlwaysOnTop, 1);
  EXPECT_TRUE(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  Call(WM_COMMAND, 11006, 0);
  EXPECT_EQ(CurrentLastState.AlwaysOnTop, 0);
  EXPECT_FALSE(GetWindowLongPtrA(window_, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(PassedCount(WM_COMMAND, 11006), 2);
}

TEST_F(MainWindowTest, SwitchingAddToMainMenuBackAndForthLeavesOneToolsInTheRightPlace) {
  CurrentOptions.AddToMainMenu = 1;
  // A fresh bar: frame paints since SetUp may already have installed the first one.
  // Setting a menu bar repaints the frame at once, which installs it.
  HMENU old = GetMenu(window_);
  HMENU bar = MakeHostMenuBar();
  InstalledMenus.clear();
  SetMenu(window_, bar);
  DestroyMenu(old);
  InstallMenus(window_, 0);
  EXPECT_EQ(InstallMenus(window_, 0), 0) << "a menu bar is installed once";
  ASSERT_EQ(InstalledMenus.size(), 1u);
  EXPECT_EQ(ItemText(bar, 5), "Tools");
  EXPECT_EQ(CountTools(bar), 1);
  // A second menu bar, installed while the placement is still 1.
  HMENU second = MakeHostMenuBar();
  SetMenu(window_, second);
  InstallMenus(window_, 0);
  ASSERT_EQ(InstalledMenus.size(), 2u);
  EXPECT_EQ(CountTools(second), 1);

  for (int round = 0; round < 2; ++round) {
    SCOPED_TRACE(round);
    CurrentOptions.AddToMainMenu = 0;
    InstallMenus(window_, 1);
    for (HMENU b : {bar, second}) {
      EXPECT_EQ(CountTools(b), 1);
      EXPECT_EQ(GetMenuItemCount(b), 6);
      HMENU options = GetSubMenu(b, 3);
      int n = GetMenuItemCount(options);
      EXPECT_EQ(ItemText(options, n - 1), "Tools");
      EXPECT_EQ(GetMenuState(options, n - 2, MF_BYPOSITION) & MF_SEPARATOR, static_cast<UINT>(MF_SEPARATOR));
      EXPECT_EQ(ItemText(options, n - 3), "VA Extensions Options...");
    }
    CurrentOptions.AddToMainMenu = 1;
    InstallMenus(window_, 1);
    InstallMenus(window_, 1);  // unchanged placement: nothing moves
    for (HMENU b : {bar, second}) {
      EXPECT_EQ(CountTools(b), 1);
      EXPECT_EQ(ItemText(b, 5), "Tools");
      EXPECT_EQ(ItemText(GetSubMenu(b, 3), GetMenuItemCount(GetSubMenu(b, 3)) - 1), "VA Extensions Options...");
    }
  }
  SetMenu(window_, bar);
  DestroyMenu(second);
  InstalledMenus.clear();
}

TEST_F(MainWindowTest, PopupUpdatesGrayJumpAndExitWhileTheHostIsDisabled) {
  HMENU tray = BuildTrayMenu();
  ASSERT_NE(tray, nullptr);
  UpdatePopupItems(tray);
  EXPECT_EQ(GetMenuState(tray, 11103, MF_BYCOMMAND) & MF_GRAYED, 0u);
  char text[64] = "";
  GetMenuStringA(tray, 11101, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Hide Vexlo Aero V++");
  EXPECT_EQ(GetMenuDefaultItem(tray, FALSE, 0), 11101u) << "the text change keeps the default item";
  EnableWindow(window_, FALSE);
  UpdatePopupItems(tray);
  EXPECT_NE(GetMenuState(tray, 11103, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_NE(GetMenuState(tray, 11102, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EnableWindow(window_, TRUE);
  ShowWindow(window_, SW_HIDE);
  UpdatePopupItems(tray);
  EXPECT_EQ(GetMenuState(tray, 11103, MF_BYCOMMAND) & MF_GRAYED, 0u) << "enabled again when the next popup opens";
  GetMenuStringA(tray, 11101, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Show Vexlo Aero V++");
}

}  // namespace
}  // namespace va
