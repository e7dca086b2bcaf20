// The status window: creation and toggling, pages and their list, texts written
// from outside, closing, docking, the ad banner switch, the About page.
#include "extension/windows/status_window_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

std::string ItemText(HWND dialog, int id) {
  char text[256] = "";
  GetDlgItemTextA(dialog, id, text, sizeof(text));
  return text;
}

class StatusWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    owner_ = CreateWindowExA(0, "Static", "host", WS_OVERLAPPEDWINDOW, 50, 50, 600, 400, nullptr, nullptr,
                             ModuleInstance, nullptr);
    StatusPlace() = StatusWindowPlace{};
    StatusPage() = 0;
    CurrentOptions = ExtensionOptions{};
  }
  void TearDown() override {
    if (StatusWindow) DestroyWindow(StatusWindow);
    EXPECT_EQ(StatusWindow, nullptr);
    DestroyWindow(owner_);
  }
  HWND Page(int id) { return GetDlgItem(StatusWindow, id); }
  HWND owner_ = nullptr;
};

TEST_F(StatusWindowTest, TextsSentBeforeTheWindowExistsAreDropped) {
  SetStatusText(IDD_STATUS_ACCELERATOR, IDC_ACTION_TAKEN, "Accelerated");
  EXPECT_EQ(SendStatusItemMessage(IDD_STATUS_SEARCH, IDC_AUTO_SEARCH_PROGRESS, PBM_GETPOS, 0, 0), 0);
  EXPECT_EQ(StatusWindow, nullptr);
}

TEST_F(StatusWindowTest, ToggleCreatesShowsAndHides) {
  ToggleStatusWindow(owner_);
  ASSERT_NE(StatusWindow, nullptr);
  EXPECT_TRUE(IsWindowVisible(StatusWindow));
  EXPECT_EQ(StatusPlace().shown, 1);
  EXPECT_TRUE(GetWindowLongA(StatusWindow, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindow(StatusWindow, GW_OWNER), owner_);
  HWND first = StatusWindow;
  ToggleStatusWindow(owner_);
  EXPECT_EQ(StatusWindow, first);  // created once, then only hidden and shown
  EXPECT_FALSE(IsWindowVisible(StatusWindow));
  EXPECT_EQ(StatusPlace().shown, 0);
}

TEST_F(StatusWindowTest, PageListAndARememberedPageOfZeroShowsSearch) {
  ToggleStatusWindow(owner_);
  HWND list = GetDlgItem(StatusWindow, IDC_STATUS_PAGE_LIST);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
  const char* names[] = {"Search", "Accelerator", "About"};
  const int ids[] = {IDD_STATUS_SEARCH, IDD_STATUS_ACCELERATOR, IDD_STATUS_ABOUT};
  for (int i = 0; i < 3; ++i) {
    char text[64] = "";
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, names[i]);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0), ids[i]);
    ASSERT_NE(Page(ids[i]), nullptr);
  }
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(IsWindowVisible(Page(IDD_STATUS_SEARCH)));
  EXPECT_FALSE(IsWindowVisible(Page(IDD_STATUS_ACCELERATOR)));
  EXPECT_FALSE(IsWindowVisible(Page(IDD_STATUS_ABOUT)));
}

TEST_F(StatusWindowTest, RememberedPageIsShownAndAListChoiceIsRemembered) {
  StatusPage() = IDD_STATUS_ACCELERATOR;
  ToggleStatusWindow(owner_);
  EXPECT_TRUE(IsWindowVisible(Page(IDD_STATUS_ACCELERATOR)));
  EXPECT_EQ(SendDlgItemMessageA(StatusWindow, IDC_STATUS_PAGE_LIST, LB_GETCURSEL, 0, 0), 1);
  SendDlgItemMessageA(StatusWindow, IDC_STATUS_PAGE_LIST, LB_SETCURSEL, 2, 0);
  SendMessageA(StatusWindow, WM_COMMAND, MAKEWPARAM(IDC_STATUS_PAGE_LIST, LBN_SELCHANGE),
               reinterpret_cast<LPARAM>(GetDlgItem(StatusWindow, IDC_STATUS_PAGE_LIST)));
  EXPECT_EQ(StatusPage(), static_cast<uint32_t>(IDD_STATUS_ABOUT));
  EXPECT_TRUE(IsWindowVisible(Page(IDD_STATUS_ABOUT)));
  EXPECT_FALSE(IsWindowVisible(Page(IDD_STATUS_ACCELERATOR)));
}

TEST_F(StatusWindowTest, PagesStartWithTheirStateTextsAndTakeTextsFromOutside) {
  ToggleStatusWindow(owner_);
  HWND accel = Page(IDD_STATUS_ACCELERATOR);
  EXPECT_EQ(ItemText(accel, IDC_TRAFFIC_WINDOW_STATE), "Not found");
  EXPECT_EQ(ItemText(accel, IDC_NEXT_CYCLE), "Inactive");
  EXPECT_EQ(ItemText(accel, IDC_LAST_ITEM), " - ");
  EXPECT_EQ(ItemText(accel, IDC_ACTION_TAKEN), " - ");
  HWND search = Page(IDD_STATUS_SEARCH);
  EXPECT_EQ(ItemText(search, IDC_SEARCH_WINDOW_STATE), "Not found");
  EXPECT_EQ(ItemText(search, IDC_AUTO_SEARCH_STATE), " - ");
  PBRANGE range = {};
  SendDlgItemMessageA(search, IDC_AUTO_SEARCH_PROGRESS, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iHigh, 10000);

  SetStatusText(IDD_STATUS_ACCELERATOR, IDC_ACTION_TAKEN, "Accelerated");
  EXPECT_EQ(ItemText(accel, IDC_ACTION_TAKEN), "Accelerated");
  SendStatusItemMessage(IDD_STATUS_SEARCH, IDC_AUTO_SEARCH_PROGRESS, PBM_SETPOS, 2500, 0);
  EXPECT_EQ(SendDlgItemMessageA(search, IDC_AUTO_SEARCH_PROGRESS, PBM_GETPOS, 0, 0), 2500);
}

// Stands for the finder thread finding both host windows while the status
// window's pages are being made: after the Search page's start, before the frame
// is published.
HHOOK FinderHook = nullptr;
HWND FoundHostWindow = nullptr;
LRESULT CALLBACK FindWhileThePagesAreMade(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call->message == WM_INITDIALOG && !SearchWindow && GetDlgItem(call->hwnd, IDC_ACTION_TAKEN)) {
    SearchWindow = TrafficWindow = FoundHostWindow;
    SetStatusText(IDD_STATUS_SEARCH, IDC_SEARCH_WINDOW_STATE, "Found");  // dropped: nothing is published yet
  }
  return CallNextHookEx(FinderHook, code, wParam, lParam);
}

TEST_F(StatusWindowTest, WindowsFoundWhileThePagesAreMadeShowAsFound) {
  FoundHostWindow = owner_;
  FinderHook = SetWindowsHookExA(WH_CALLWNDPROC, FindWhileThePagesAreMade, nullptr, GetCurrentThreadId());
  ASSERT_NE(FinderHook, nullptr);
  ToggleStatusWindow(owner_);
  UnhookWindowsHookEx(FinderHook);
  const bool found = SearchWindow != nullptr;
  SearchWindow = TrafficWindow = nullptr;
  ASSERT_TRUE(found) << "the pages were made without the hook seeing them";
  EXPECT_EQ(ItemText(Page(IDD_STATUS_SEARCH), IDC_SEARCH_WINDOW_STATE), "Found");
  EXPECT_EQ(ItemText(Page(IDD_STATUS_SEARCH), IDC_AUTO_SEARCH_STATE), "Inactive");
  EXPECT_EQ(ItemText(Page(IDD_STATUS_ACCELERATOR), IDC_TRAFFIC_WINDOW_STATE), "Found");
}

TEST_F(StatusWindowTest, CloseBoxHidesAndTheWindowComesBackWhereItWas) {
  StatusPlace().left = 300;
  StatusPlace().top = 250;
  ToggleStatusWindow(owner_);
  RECT before;
  GetWindowRect(StatusWindow, &before);
  EXPECT_EQ(before.left, 300 - GetSystemMetrics(SM_CXDLGFRAME));
  EXPECT_EQ(before.top, 250 - GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYSMCAPTION));
  SendMessageA(StatusWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_NE(StatusWindow, nullptr);  // hidden, not destroyed
  EXPECT_FALSE(IsWindowVisible(StatusWindow));
  EXPECT_EQ(StatusPlace().shown, 0);
  ToggleStatusWindow(owner_);
  RECT after;
  GetWindowRect(StatusWindow, &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  EXPECT_EQ(StatusPlace().shown, 1);
}

TEST_F(StatusWindowTest, PositionOffTheScreenEdgeIsCorrectedToZero) {
  StatusPlace().left = -400;
  StatusPlace().top = -5;
  ToggleStatusWindow(owner_);
  RECT r;
  GetWindowRect(StatusWindow, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
}

TEST_F(StatusWindowTest, DockButtonSwitchesBetweenCaptionAndNoCaption) {
  ToggleStatusWindow(owner_);
  RECT client;
  GetClientRect(StatusWindow, &client);
  HWND dock = GetDlgItem(StatusWindow, IDC_STATUS_DOCK);
  SendMessageA(StatusWindow, WM_COMMAND, MAKEWPARAM(IDC_STATUS_DOCK, BN_CLICKED), reinterpret_cast<LPARAM>(dock));
  EXPECT_EQ(StatusPlace().docked, 1);
  EXPECT_FALSE(GetWindowLongA(StatusWindow, GWL_STYLE) & WS_CAPTION);
  EXPECT_EQ(IsDlgButtonChecked(StatusWindow, IDC_STATUS_DOCK), BST_CHECKED);
  RECT docked;
  GetClientRect(StatusWindow, &docked);
  EXPECT_EQ(docked.right, client.right);  // the client size is kept
  EXPECT_EQ(docked.bottom, client.bottom);
  SendMessageA(StatusWindow, WM_COMMAND, MAKEWPARAM(IDC_STATUS_DOCK, BN_CLICKED), reinterpret_cast<LPARAM>(dock));
  EXPECT_EQ(StatusPlace().docked, 0);
  EXPECT_EQ(GetWindowLongA(StatusWindow, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_EQ(IsDlgButtonChecked(StatusWindow, IDC_STATUS_DOCK), BST_UNCHECKED);
}

TEST_F(StatusWindowTest, HidingTheAdBannerUndocksAndDisablesTheDockButton) {
  StatusPlace().docked = 1;
  ToggleStatusWindow(owner_);
  EXPECT_FALSE(GetWindowLongA(StatusWindow, GWL_STYLE) & WS_CAPTION);
  StatusWindowHideAdBannerChanged(true);
  EXPECT_EQ(StatusPlace().docked, 0);
  EXPECT_EQ(GetWindowLongA(StatusWindow, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(StatusWindow, IDC_STATUS_DOCK)));
  StatusWindowHideAdBannerChanged(false);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(StatusWindow, IDC_STATUS_DOCK)));
}

TEST_F(StatusWindowTest, TheOptionsSaveOfHideAdBannerReachesTheWindow) {
  const char kOptionsKey[] = "SOFTWARE\\VAExtensions";
  CurrentOptions = ExtensionOptions{};
  CurrentOptions.HideAdBanner = 1;
  ToggleStatusWindow(owner_);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(StatusWindow, IDC_STATUS_DOCK)));  // disabled from the start
  ExtensionOptions next = CurrentOptions;
  next.HideAdBanner = 0;
  SaveExtensionOptions(next);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(StatusWindow, IDC_STATUS_DOCK)));
  HWND dock = GetDlgItem(StatusWindow, IDC_STATUS_DOCK);
  SendMessageA(StatusWindow, WM_COMMAND, MAKEWPARAM(IDC_STATUS_DOCK, BN_CLICKED), reinterpret_cast<LPARAM>(dock));
  ASSERT_EQ(StatusPlace().docked, 1);
  next.HideAdBanner = 1;
  SaveExtensionOptions(next);
  EXPECT_EQ(StatusPlace().docked, 0);
  EXPECT_FALSE(IsWindowEnabled(dock));
  CurrentOptions = ExtensionOptions{};
  test::DeleteTree(HKEY_CURRENT_USER, kOptionsKey);
}

TEST_F(StatusWindowTest, FollowsTheMainWindowsShowAndActivation) {
  ToggleStatusWindow(owner_);
  StatusWindowFollowMainShow(false);
  EXPECT_FALSE(IsWindowVisible(StatusWindow));
  EXPECT_EQ(StatusPlace().shown, 1);  // still meant to be shown
  StatusWindowFollowMainShow(true);
  EXPECT_TRUE(IsWindowVisible(StatusWindow));
  EXPECT_TRUE(StatusWindowOnMainActivate(owner_, WA_INACTIVE, reinterpret_cast<LPARAM>(StatusWindow)));
  EXPECT_FALSE(StatusWindowOnMainActivate(owner_, WA_INACTIVE, 0));
  EXPECT_FALSE(StatusWindowOnMainActivate(owner_, WA_ACTIVE, 0));
  ToggleStatusWindow(owner_);  // hidden by the user: the main window does not bring it back
  StatusWindowFollowMainShow(true);
  EXPECT_FALSE(IsWindowVisible(StatusWindow));
}

BOOL CALLBACK CollectText(HWND child, LPARAM collected) {
  char text[256] = "";
  GetWindowTextA(child, text, sizeof(text));
  *reinterpret_cast<std::string*>(collected) += std::string(text) + "|";
  return TRUE;
}

TEST_F(StatusWindowTest, AboutPageShowsCaptionAndVersion) {
  ToggleStatusWindow(owner_);
  std::string texts;
  EnumChildWindows(Page(IDD_STATUS_ABOUT), CollectText, reinterpret_cast<LPARAM>(&texts));
  EXPECT_NE(texts.find("VA Extensions v0.56a|"), std::string::npos) << texts;
  EXPECT_NE(texts.find("for Vexlo Aero V++|"), std::string::npos) << texts;
}

}  // namespace
}  // namespace va
