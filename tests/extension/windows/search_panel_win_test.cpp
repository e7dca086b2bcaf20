// The search options panel in-process, on a search form of the test's own that
// records the commands reaching it: panel creation, colours, the status title,
// the start conditions of Auto Search More, a whole run of the real thread and
// the stop command with and without Shift.
#include "extension/windows/search_panel_win.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/resources/resource.h"
#include "extension/windows/auto_search.h"

namespace va {
namespace {

std::vector<int> FormCommands;

LRESULT CALLBACK RecordingFormProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    FormCommands.push_back(LOWORD(wParam));
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

// Pumps this thread's messages (the Auto Search More thread sends to the panel
// and the form) until `done` or the deadline.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (done()) return true;
    if (GetTickCount() - start > static_cast<DWORD>(timeoutMs)) return false;
    Sleep(10);
  }
}

std::string Text(HWND window) {
  char text[256] = "";
  GetWindowTextA(window, text, sizeof(text));
  return text;
}

class SearchPanelTest : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    WNDCLASSA cls = {};
    cls.lpfnWndProc = RecordingFormProc;
    cls.hInstance = ModuleInstance;
    cls.lpszClassName = "TestSearchForm";
    RegisterClassA(&cls);
    form_ = CreateWindowExA(0, "TestSearchForm", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 640, 200, nullptr,
                            nullptr, ModuleInstance, nullptr);
    Child("Edit", 1172);
    Child("Static", 1174);
    Child("Button", 1238);
    Child("Button", 1245);
    Child("Button", 1157);
    Child("Button", 1519, BS_AUTOCHECKBOX);
    CurrentLastState = LastStateRecord{};
    CurrentLastState.SearchOptShow = 1;
    FormCommands.clear();
    AutoSearchState = kAutoSearchIdle;
    SearchWindow = form_;
    PreviousSearchProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(form_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchFormHook)));
  }
  void TearDown() override {
    DestroyWindow(form_);
    EXPECT_EQ(SearchPanel, nullptr);
    SearchWindow = nullptr;
    AutoSearchState = kAutoSearchIdle;
  }
  void Child(const char* cls, int id, DWORD style = 0) {
    CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 60, 20, form_,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), ModuleInstance, nullptr);
  }
  void Init() {
    SendMessageA(form_, InitMessage, 0, 0);
    panel_ = GetDlgItem(form_, kSearchPanelId);
    ASSERT_NE(panel_, nullptr);
  }
  // A click of a form control as the control itself reports it.
  void Command(int id) {
    SendMessageA(form_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(form_, id)));
  }
  HWND Item(int id) { return GetDlgItem(panel_, id); }

  HWND form_ = nullptr;
  HWND panel_ = nullptr;
};

TEST_F(SearchPanelTest, PanelIsCreatedOnceWhiteAndShowsTheRememberedSettings) {
  CurrentLastState.AutoSearchMore = 1;
  CurrentLastState.AutoSearchMoreNum = 25;
  CurrentLastState.AutoSearchMoreUnit = 3;
  ASSERT_NO_FATAL_FAILURE(Init());
  EXPECT_EQ(SearchPanel, panel_);
  EXPECT_TRUE(IsWindowVisible(panel_));
  SendMessageA(form_, InitMessage, 0, 0);
  int panels = 0;
  for (HWND c = GetWindow(form_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) panels += GetDlgCtrlID(c) == kSearchPanelId;
  EXPECT_EQ(panels, 1) << "a second InitMessage made a second panel";

  HDC dc = GetDC(panel_);
  for (UINT message : {WM_CTLCOLORDLG, WM_CTLCOLORSTATIC, WM_CTLCOLOREDIT, WM_CTLCOLORBTN}) {
    auto brush = reinterpret_cast<HBRUSH>(SendMessageA(panel_, message, reinterpret_cast<WPARAM>(dc), 0));
    LOGBRUSH info = {};
    ASSERT_TRUE(brush && GetObjectA(brush, sizeof(info), &info)) << message;
    EXPECT_EQ(info.lbColor, RGB(255, 255, 255)) << message;
  }
  ReleaseDC(panel_, dc);

  EXPECT_EQ(IsDlgButtonChecked(panel_, IDC_AUTO_SEARCH_MORE), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(Text(Item(IDC_AUTO_SEARCH_NUMBER)), "25");
  EXPECT_EQ(SendMessageA(Item(IDC_AUTO_SEARCH_UNIT), CB_GETCURSEL, 0, 0), 3);
  char unit[32] = "";
  SendMessageA(Item(IDC_AUTO_SEARCH_UNIT), CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(unit));
  EXPECT_STREQ(unit, "No limit");
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_AUTO_SEARCH_NUMBER)));
}

TEST_F(SearchPanelTest, UnitNoLimitDisablesTheNumberAndAStoredUnitOutOfRangeReadsAsNoLimit) {
  CurrentLastState.AutoSearchMore = 1;
  CurrentLastState.AutoSearchMoreUnit = 9;
  ASSERT_NO_FATAL_FAILURE(Init());
  EXPECT_EQ(SendMessageA(Item(IDC_AUTO_SEARCH_UNIT), CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(CurrentLastState.AutoSearchMoreUnit, 0u);
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_AUTO_SEARCH_NUMBER)));
  SendMessageA(Item(IDC_AUTO_SEARCH_UNIT), CB_SETCURSEL, 2, 0);
  SendMessageA(panel_, WM_COMMAND, MAKEWPARAM(IDC_AUTO_SEARCH_UNIT, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(Item(IDC_AUTO_SEARCH_UNIT)));
  EXPECT_EQ(CurrentLastState.AutoSearchMoreUnit, 2u);
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_AUTO_SEARCH_NUMBER)));
  // A number beyond the 32-bit range is held, not wrapped.
  SetWindowTextA(Item(IDC_AUTO_SEARCH_NUMBER), "99999999999");
  EXPECT_EQ(CurrentLastState.AutoSearchMoreNum, 2147483647u);
  SetWindowTextA(Item(IDC_AUTO_SEARCH_NUMBER), "");
  EXPECT_EQ(CurrentLastState.AutoSearchMoreNum, 0u);
}

TEST_F(SearchPanelTest, TheFrameTitleRepeatsTheSearchStatusAndTheHostStillGetsItsText) {
  ASSERT_NO_FATAL_FAILURE(Init());
  HWND status = GetDlgItem(form_, 1174);
  SetWindowTextA(status, "Searching for more...");
  EXPECT_EQ(Text(Item(IDC_PANEL_GROUP)), "Search Options - Searching for more...");
  EXPECT_EQ(Text(status), "Searching for more...");
  SetWindowTextA(status, "");
  EXPECT_EQ(Text(Item(IDC_PANEL_GROUP)), "Search Options - ");
}

TEST_F(SearchPanelTest, ASearchStartsARunOnlyWithTheOptionOnAndTheHostBoxChecked) {
  ASSERT_NO_FATAL_FAILURE(Init());
  CheckDlgButton(form_, 1519, BST_CHECKED);
  Command(1238);
  EXPECT_EQ(AutoSearchState.load(), kAutoSearchIdle) << "the option is off";
  CurrentLastState.AutoSearchMore = 1;
  CheckDlgButton(form_, 1519, BST_UNCHECKED);
  Command(1245);
  EXPECT_EQ(AutoSearchState.load(), kAutoSearchIdle) << "the host's check box is not checked";
  EXPECT_EQ(FormCommands, (std::vector<int>{1238, 1245})) << "the host must see its commands";
}

TEST_F(SearchPanelTest, ARunPressesSearchMoreUntilTheSearchButtonComesBack) {
  CurrentLastState.AutoSearchMore = 1;
  ASSERT_NO_FATAL_FAILURE(Init());
  CheckDlgButton(form_, 1519, BST_CHECKED);
  ShowWindow(GetDlgItem(form_, 1238), SW_HIDE);  // the host's search runs
  Command(1238);
  EXPECT_EQ(AutoSearchState.load(), kAutoSearchRunning);
  ASSERT_TRUE(PumpUntil([] { return FormCommands.size() >= 2; }, 6000)) << "search-more was not pressed";
  EXPECT_EQ(FormCommands[1], 1245);
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_AUTO_SEARCH_MORE)));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_AUTO_SEARCH_UNIT)));
  // A second start while running starts nothing more.
  EXPECT_FALSE(StartAutoSearchMoreIfAllowed(form_));

  ShowWindow(GetDlgItem(form_, 1238), SW_SHOW);  // the host's search ended
  ASSERT_TRUE(PumpUntil([] { return AutoSearchState.load() == kAutoSearchIdle; }, 6000));
  PumpUntil([] { return false; }, 50);
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_AUTO_SEARCH_MORE)));
  EXPECT_TRUE(IsWindowEnabled(Item(IDC_AUTO_SEARCH_UNIT)));
  EXPECT_FALSE(IsWindowEnabled(Item(IDC_AUTO_SEARCH_NUMBER))) << "No limit leaves the number disabled";
}

TEST_F(SearchPanelTest, StopWithShiftIsConsumedOnlyWhileARunIsGoingOn) {
  ASSERT_NO_FATAL_FAILURE(Init());
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE shifted[256];
  CopyMemory(shifted, keys, sizeof keys);
  shifted[VK_SHIFT] = 0x80;
  SetKeyboardState(shifted);
  Command(1157);  // no run: the host gets its command, Shift or not
  EXPECT_EQ(FormCommands, (std::vector<int>{1157}));
  AutoSearchState = kAutoSearchRunning;
  Command(1157);
  EXPECT_EQ(AutoSearchState.load(), kAutoSearchStopRequested);
  EXPECT_EQ(FormCommands, (std::vector<int>{1157})) << "with Shift the stop must not reach the host";
  SetKeyboardState(keys);
  AutoSearchState = kAutoSearchRunning;
  Command(1157);
  EXPECT_EQ(AutoSearchState.load(), kAutoSearchStopRequested);
  EXPECT_EQ(FormCommands, (std::vector<int>{1157, 1157}));
}

}  // namespace
}  // namespace va
