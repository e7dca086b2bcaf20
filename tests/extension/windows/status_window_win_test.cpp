// The status window in-process: its pages and their texts, showing and hiding
// with its place remembered, docking and the ad banner switch, a host window
// found while the pages are being made; and the fixed dialog engine that lays
// out its templates against the system's dialog manager.
#include "extension/windows/status_window_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "extension/core/addon_host.h"
#include "extension/core/module_state.h"
#include "extension/hostui/main_window.h"
#include "extension/resources/resource.h"
#include "extension/windows/fixed_dialog_win.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

std::string ItemText(HWND dialog, int id) {
  char text[256] = "";
  return GetDlgItemTextA(dialog, id, text, sizeof(text)) ? text : "";
}

class StatusWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    InitCommonControls();
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
  // The docked flag, whether the window has a caption, and whether the dock button is enabled.
  std::string Dock() {
    return std::to_string(StatusPlace().docked) + ((GetWindowLongA(StatusWindow, GWL_STYLE) & WS_CAPTION) == WS_CAPTION ? " caption" : " none") +
           (IsWindowEnabled(Page(IDC_STATUS_DOCK)) ? " enabled" : " disabled");
  }
  HWND owner_ = nullptr;
};

// The user opens the window for the first time (a place off the screen's edge is
// corrected), closes it with the close box and shows it again: the same window in
// the same place. The Search page, the state texts, texts written by the background
// work, the About page chosen from the list; then docks it and hides the ad banner;
// hidden by the user, the main window's showing does not bring it back.
TEST_F(StatusWindowTest, ShowingPagesTextsListChoiceDockingAndTheAdBannerOption) {
  SetStatusText(IDD_STATUS_ACCELERATOR, IDC_ACTION_TAKEN, "Early");  // before the window: dropped
  StatusPlace().left = -400;
  StatusPlace().top = 250;
  ToggleStatusWindow(owner_);
  ASSERT_NE(StatusWindow, nullptr);
  HWND first = StatusWindow;
  EXPECT_TRUE(IsWindowVisible(StatusWindow) && StatusPlace().shown == 1 && GetWindow(StatusWindow, GW_OWNER) == owner_);
  RECT before, after;
  POINT client = {};  // the remembered place is the client area's; the frame stays on the screen
  GetWindowRect(StatusWindow, &before);
  ClientToScreen(StatusWindow, &client);
  EXPECT_EQ(std::make_pair(before.left, client.y), std::make_pair(0L, 250L));
  SendMessageA(StatusWindow, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_FALSE(IsWindowVisible(StatusWindow) || StatusPlace().shown);
  ToggleStatusWindow(owner_);
  EXPECT_EQ(StatusWindow, first) << "made once, then only hidden and shown";
  EXPECT_TRUE(GetWindowRect(StatusWindow, &after) && EqualRect(&after, &before));
  HWND list = GetDlgItem(StatusWindow, IDC_STATUS_PAGE_LIST);
  std::string pages;  // each row's text, item data and whether its page shows
  for (int i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
    const int id = int(SendMessageA(list, LB_GETITEMDATA, WPARAM(i), 0));
    char text[64] = "";
    SendMessageA(list, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
    pages += std::string(text) + "=" + std::to_string(id) + (IsWindowVisible(Page(id)) ? "* " : " ");
  }
  EXPECT_EQ(pages, "Search=301* Accelerator=302 About=399 ") << "a remembered page of 0 shows Search";
  HWND search = Page(IDD_STATUS_SEARCH), accel = Page(IDD_STATUS_ACCELERATOR);
  EXPECT_EQ(ItemText(accel, IDC_TRAFFIC_WINDOW_STATE) + "|" + ItemText(accel, IDC_NEXT_CYCLE) + "|" +
                ItemText(accel, IDC_ACTION_TAKEN),
            "Not found|Inactive| - ");
  SetStatusText(IDD_STATUS_ACCELERATOR, IDC_ACTION_TAKEN, "Accelerated");
  EXPECT_EQ(ItemText(accel, IDC_ACTION_TAKEN), "Accelerated");
  SendStatusItemMessage(IDD_STATUS_SEARCH, IDC_AUTO_SEARCH_PROGRESS, PBM_SETPOS, 2500, 0);
  EXPECT_EQ(SendDlgItemMessageA(search, IDC_AUTO_SEARCH_PROGRESS, PBM_GETPOS, 0, 0), 2500);

  SendMessageA(list, LB_SETCURSEL, 2, 0);
  SendMessageA(StatusWindow, WM_COMMAND, MAKEWPARAM(IDC_STATUS_PAGE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  EXPECT_EQ(StatusPage(), static_cast<uint32_t>(IDD_STATUS_ABOUT));
  EXPECT_TRUE(IsWindowVisible(Page(IDD_STATUS_ABOUT)) && !IsWindowVisible(search));
  std::string about;
  EnumChildWindows(Page(IDD_STATUS_ABOUT), [](HWND child, LPARAM out) CALLBACK -> BOOL {
    char text[256] = "";
    GetWindowTextA(child, text, sizeof(text));
    *reinterpret_cast<std::string*>(out) += std::string(text) + "|";
    return TRUE;
  }, reinterpret_cast<LPARAM>(&about));
  EXPECT_NE(about.find("|VA Extensions v0.56a|for Vexlo Aero V++|"), std::string::npos) << about;

  // Docking takes the caption away and keeps the client size (the ad banner option's
  // undocking and the dock button are seen in the host, by the options scenario).
  RECT floating, docked;
  GetClientRect(StatusWindow, &floating);
  SendMessageA(StatusWindow, WM_COMMAND, MAKEWPARAM(IDC_STATUS_DOCK, BN_CLICKED), LPARAM(Page(IDC_STATUS_DOCK)));
  EXPECT_EQ(Dock(), "1 none enabled");
  EXPECT_EQ(IsDlgButtonChecked(StatusWindow, IDC_STATUS_DOCK), static_cast<UINT>(BST_CHECKED));
  GetClientRect(StatusWindow, &docked);
  EXPECT_EQ(std::make_pair(docked.right, docked.bottom), std::make_pair(floating.right, floating.bottom));

  ToggleStatusWindow(owner_);
  StatusWindowFollowMainShow(true);
  EXPECT_FALSE(IsWindowVisible(StatusWindow));
}

// The banner hidden while no window exists: the remembered place stops docking,
// and a window made while the banner is hidden floats, with docking disabled. The
// finder thread finds both host windows while its pages are being made, before the
// window is published: the pages must still say "Found".
TEST_F(StatusWindowTest, AWindowMadeWithoutTheBannerFloatsAndShowsWindowsFoundMeanwhile) {
  StatusPlace().docked = 1;
  ExtensionOptions next = CurrentOptions;
  next.HideAdBanner = 1;
  SaveExtensionOptions(next);
  EXPECT_EQ(StatusPlace().docked, 0) << "the saved option reaches the place with no window";
  StatusPlace().docked = 1;  // as read from the last state with the banner already hidden
  HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, [](int code, WPARAM w, LPARAM l) CALLBACK -> LRESULT {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(l);
    if (call->message == WM_INITDIALOG && !SearchWindow && GetDlgItem(call->hwnd, IDC_ACTION_TAKEN)) {
      SearchWindow = TrafficWindow = GetParent(call->hwnd);  // any live window stands for the host's
      SetStatusText(IDD_STATUS_SEARCH, IDC_SEARCH_WINDOW_STATE, "Found");  // dropped: nothing is published yet
    }
    return CallNextHookEx(nullptr, code, w, l);
  }, nullptr, GetCurrentThreadId());
  ToggleStatusWindow(owner_);
  UnhookWindowsHookEx(hook);
  const bool seen = SearchWindow != nullptr;
  SearchWindow = TrafficWindow = nullptr;
  ASSERT_TRUE(seen) << "the pages were made without the hook seeing them";
  EXPECT_EQ(ItemText(Page(IDD_STATUS_SEARCH), IDC_SEARCH_WINDOW_STATE) + "|" +
                ItemText(Page(IDD_STATUS_SEARCH), IDC_AUTO_SEARCH_STATE) + "|" +
                ItemText(Page(IDD_STATUS_ACCELERATOR), IDC_TRAFFIC_WINDOW_STATE),
            "Found|Inactive|Found");
  EXPECT_EQ(Dock(), "0 caption disabled");
}

INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// The window's own place (its frame allowance) and size, then every child's, in
// its client area's coordinates; then the client size.
std::string Layout(HWND dialog) {
  std::string out;
  RECT r;
  for (HWND c = dialog; c; c = c == dialog ? GetWindow(dialog, GW_CHILD) : GetWindow(c, GW_HWNDNEXT)) {
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    for (LONG v : {r.left, r.top, r.right - r.left, r.bottom - r.top}) out += std::to_string(v) + ",";
    out += " ";
  }
  GetClientRect(dialog, &r);
  return out + std::to_string(r.right) + "," + std::to_string(r.bottom);
}

// At 96 dpi the engine lays the templates out as the system's dialog manager does;
// at another system text size (the prefix's LogPixels, see fixed_layout_at_dpi.sh)
// the system's layout changes and the engine's controls and client area stay as
// seen at 96 dpi, kept in the file VA_FIXED_LAYOUT_FILE names.
using FixedDialogLayout = StatusWindowTest;
TEST_F(FixedDialogLayout, TemplatesKeepTheSystemDialogManagersLayoutAt96DpiAtAnyTextSize) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const char* file = getenv("VA_FIXED_LAYOUT_FILE");
  std::string layouts;
  for (int id : {IDD_STATUS_FRAME, IDD_STATUS_SEARCH, IDD_STATUS_ACCELERATOR, IDD_STATUS_ABOUT}) {
    auto* bytes = static_cast<const DLGTEMPLATE*>(
        LockResource(LoadResource(ModuleInstance, FindResourceA(ModuleInstance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG)))));
    HWND mine = CreateFixedDialog(ModuleInstance, id, owner_, QuietProc, 96, 0);
    HWND system = CreateDialogIndirectParamA(ModuleInstance, bytes, owner_, QuietProc, 0);
    ASSERT_TRUE(mine && system) << id;
    layouts += Layout(mine).substr(Layout(mine).find(' ')) + "\n";  // the frame is the system's
    EXPECT_EQ(Layout(mine) == Layout(system), dpi == 96) << "template " << id << " at " << dpi << " dpi: " << Layout(mine);
    DestroyWindow(mine);
    DestroyWindow(system);
  }
  if (dpi == 96 && file) std::ofstream(file, std::ios::binary) << layouts;
  if (dpi == 96) return;
  std::ifstream seen(file ? file : "", std::ios::binary);
  ASSERT_TRUE(seen) << dpi << " dpi, and no layout seen at 96 dpi to compare with";
  EXPECT_EQ(layouts, std::string(std::istreambuf_iterator<char>(seen), {}));
}

}  // namespace
}  // namespace va
