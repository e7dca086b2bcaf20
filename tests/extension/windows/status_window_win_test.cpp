// The status window in-process: its pages and their texts, showing and hiding
// with its place remembered, docking and the ad banner switch, and a host window
// found while the pages are being made.
#include "extension/windows/status_window_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "extension/core/module_state.h"
#include "extension/hostui/main_window.h"
#include "extension/resources/resource.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

std::string ItemText(HWND dialog, int id) {
  char text[256] = "";
  GetDlgItemTextA(dialog, id, text, sizeof(text));
  return text;
}

BOOL CALLBACK CollectText(HWND child, LPARAM collected) {
  char text[256] = "";
  GetWindowTextA(child, text, sizeof(text));
  *reinterpret_cast<std::string*>(collected) += std::string(text) + "|";
  return TRUE;
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
    RegisterHostUiLiveUpdates();  // the module's owners of the options' live updates
  }
  void TearDown() override {
    if (StatusWindow) DestroyWindow(StatusWindow);
    EXPECT_EQ(StatusWindow, nullptr);
    DestroyWindow(owner_);
    CurrentOptions = ExtensionOptions{};
    test::DeleteTree(HKEY_CURRENT_USER, "SOFTWARE\\VAExtensions");
  }
  HWND Page(int id) { return GetDlgItem(StatusWindow, id); }
  void Click(int id) {
    SendMessageA(StatusWindow, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(Page(id)));
  }
  HWND owner_ = nullptr;
};

// The user opens the window for the first time: the Search page, the state texts,
// texts written by the background work, the About page chosen from the list; then
// docks it and hides the ad banner.
TEST_F(StatusWindowTest, PagesTextsListChoiceDockingAndTheAdBannerOption) {
  SetStatusText(IDD_STATUS_ACCELERATOR, IDC_ACTION_TAKEN, "Early");  // before the window: dropped
  ToggleStatusWindow(owner_);
  ASSERT_NE(StatusWindow, nullptr);
  HWND list = GetDlgItem(StatusWindow, IDC_STATUS_PAGE_LIST);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 3);
  const char* names[] = {"Search", "Accelerator", "About"};
  const int ids[] = {IDD_STATUS_SEARCH, IDD_STATUS_ACCELERATOR, IDD_STATUS_ABOUT};
  for (int i = 0; i < 3; ++i) {
    char text[64] = "";
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ(text, names[i]);
    EXPECT_EQ(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0), ids[i]);
    EXPECT_EQ(IsWindowVisible(Page(ids[i])) != FALSE, i == 0) << "a remembered page of 0 shows Search";
  }
  HWND search = Page(IDD_STATUS_SEARCH), accel = Page(IDD_STATUS_ACCELERATOR);
  EXPECT_EQ(ItemText(search, IDC_SEARCH_WINDOW_STATE), "Not found");
  EXPECT_EQ(ItemText(search, IDC_AUTO_SEARCH_STATE), " - ");
  EXPECT_EQ(ItemText(accel, IDC_TRAFFIC_WINDOW_STATE), "Not found");
  EXPECT_EQ(ItemText(accel, IDC_NEXT_CYCLE), "Inactive");
  EXPECT_EQ(ItemText(accel, IDC_ACTION_TAKEN), " - ");
  SetStatusText(IDD_STATUS_ACCELERATOR, IDC_ACTION_TAKEN, "Accelerated");
  EXPECT_EQ(ItemText(accel, IDC_ACTION_TAKEN), "Accelerated");
  PBRANGE range = {};
  SendDlgItemMessageA(search, IDC_AUTO_SEARCH_PROGRESS, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  EXPECT_EQ(range.iHigh, 10000);
  SendStatusItemMessage(IDD_STATUS_SEARCH, IDC_AUTO_SEARCH_PROGRESS, PBM_SETPOS, 2500, 0);
  EXPECT_EQ(SendDlgItemMessageA(search, IDC_AUTO_SEARCH_PROGRESS, PBM_GETPOS, 0, 0), 2500);

  SendMessageA(list, LB_SETCURSEL, 2, 0);
  SendMessageA(StatusWindow, WM_COMMAND, MAKEWPARAM(IDC_STATUS_PAGE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(StatusPage(), static_cast<uint32_t>(IDD_STATUS_ABOUT));
  EXPECT_TRUE(IsWindowVisible(Page(IDD_STATUS_ABOUT)));
  EXPECT_FALSE(IsWindowVisible(search));
  std::string about;
  EnumChildWindows(Page(IDD_STATUS_ABOUT), CollectText, reinterpret_cast<LPARAM>(&about));
  EXPECT_NE(about.find("|VA Extensions v0.56a|for Vexlo Aero V++|"), std::string::npos) << about;

  // Docking takes the caption away and keeps the client size; hiding the ad banner
  // through the options' save (the host layout's own update of the option, which
  // also serves the status window) undocks the window and disables docking at once.
  RECT floating, docked;
  GetClientRect(StatusWindow, &floating);
  Click(IDC_STATUS_DOCK);
  EXPECT_EQ(StatusPlace().docked, 1);
  EXPECT_FALSE(GetWindowLongA(StatusWindow, GWL_STYLE) & WS_CAPTION);
  EXPECT_EQ(IsDlgButtonChecked(StatusWindow, IDC_STATUS_DOCK), static_cast<UINT>(BST_CHECKED));
  GetClientRect(StatusWindow, &docked);
  EXPECT_EQ(docked.right, floating.right);
  EXPECT_EQ(docked.bottom, floating.bottom);

  ExtensionOptions next = CurrentOptions;
  next.HideAdBanner = 1;
  SaveExtensionOptions(next);
  EXPECT_EQ(StatusPlace().docked, 0);
  EXPECT_EQ(GetWindowLongA(StatusWindow, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_FALSE(IsWindowEnabled(Page(IDC_STATUS_DOCK)));
  next.HideAdBanner = 0;
  SaveExtensionOptions(next);
  EXPECT_TRUE(IsWindowEnabled(Page(IDC_STATUS_DOCK)));
}

// Shown, hidden by the toggle and by the close box, hidden and shown with the main
// window, and always back where it was; a place off the screen's edge is corrected.
TEST_F(StatusWindowTest, ShowingAndHidingKeepTheWindowAndItsPlace) {
  StatusPlace().left = -400;
  StatusPlace().top = 250;
  ToggleStatusWindow(owner_);
  ASSERT_NE(StatusWindow, nullptr);
  HWND first = StatusWindow;
  EXPECT_TRUE(IsWindowVisible(StatusWindow));
  EXPECT_EQ(StatusPlace().shown, 1);
  EXPECT_TRUE(GetWindowLongA(StatusWindow, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_EQ(GetWindow(StatusWindow, GW_OWNER), owner_);
  RECT before;
  GetWindowRect(StatusWindow, &before);
  EXPECT_EQ(before.left, 0);
  EXPECT_EQ(before.top, 250 - GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYSMCAPTION));
  SendMessageA(StatusWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindowVisible(StatusWindow));
  EXPECT_EQ(StatusPlace().shown, 0);
  ToggleStatusWindow(owner_);
  EXPECT_EQ(StatusWindow, first) << "made once, then only hidden and shown";
  RECT after;
  GetWindowRect(StatusWindow, &after);
  EXPECT_EQ(after.left, before.left);
  EXPECT_EQ(after.top, before.top);
  ToggleStatusWindow(owner_);  // hidden by the user: the main window does not bring it back
  StatusWindowFollowMainShow(true);
  EXPECT_FALSE(IsWindowVisible(StatusWindow));
}

// Stands for the finder thread finding both host windows while the status
// window's pages are being made, before the window is published.
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

}  // namespace
}  // namespace va
