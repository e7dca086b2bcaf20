// The options dialog's frame in-process: the page list, the page a dialog opens
// on, page switching and the remembered page, Apply and Cancel, the icons, the
// context help. A script thread drives the modal dialog by window messages.
#include "extension/windows/options_pages_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "support/window_driver.h"

namespace va {
namespace {

using test::DialogScript;
using test::WaitForWindow;

constexpr char kCaption[] = "VA Extensions - More Options";
constexpr double kWaitSeconds = 10;

HWND WaitForOptions() { return WaitForWindow("#32770", kCaption, kWaitSeconds); }

int SelectedPage(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_OPTIONS_PAGE_LIST);
  LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : static_cast<int>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
}

// The pages that exist and are visible.
std::vector<int> VisiblePages(HWND dialog) {
  std::vector<int> shown;
  for (int id = kOptionsFirstPage; id <= kOptionsLastPage; ++id)
    if (HWND page = GetDlgItem(dialog, id); page && IsWindowVisible(page)) shown.push_back(id);
  return shown;
}

void SelectPageByList(HWND dialog, int index) {
  HWND list = GetDlgItem(dialog, IDC_OPTIONS_PAGE_LIST);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDC_OPTIONS_PAGE_LIST, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

// Records the Apply messages the pages receive, in order, by subclassing them.
std::vector<int> applied;
WNDPROC pageProcedures[kOptionsLastPage + 1] = {};
LRESULT CALLBACK RecordingPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  const int id = GetDlgCtrlID(page);
  if (message == kOptionsApplyMessage) applied.push_back(id);
  return CallWindowProcA(pageProcedures[id], page, message, wParam, lParam);
}
void RecordApply(HWND dialog) {
  for (int id = kOptionsFirstPage; id <= kOptionsLastPage; ++id)
    if (HWND page = GetDlgItem(dialog, id))
      pageProcedures[id] = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(RecordingPageProc)));
}

class OptionsFrameTest : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    owner_ = CreateWindowExA(0, "Static", "host", WS_OVERLAPPEDWINDOW, 50, 50, 600, 400, nullptr, nullptr,
                             ModuleInstance, nullptr);
    CurrentLastState = LastStateRecord{};
    applied.clear();
  }
  void TearDown() override { DestroyWindow(owner_); }
  HWND owner_ = nullptr;
};

TEST_F(OptionsFrameTest, ListsTheSixPagesAndARememberedPageOutsideTheRangeOpensTheFirst) {
  CurrentLastState.ConfigDlg = 7;
  std::vector<std::string> texts;
  std::vector<LRESULT> data;
  int selected = 0;
  std::vector<int> shown;
  bool iconsLoaded = false;
  INT_PTR result;
  {
    DialogScript script([&] {
      HWND dialog = WaitForOptions();
      if (!dialog) return;
      HWND list = GetDlgItem(dialog, IDC_OPTIONS_PAGE_LIST);
      for (LRESULT i = 0; i < SendMessageA(list, LB_GETCOUNT, 0, 0); ++i) {
        char text[64] = "";
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
        data.push_back(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0));
      }
      selected = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
      shown = VisiblePages(dialog);
      iconsLoaded = OptionsNoteIcon && OptionsInfoIcon;
      test::ClickButton(dialog, IDCANCEL);
    });
    result = OpenOptionsDialog(owner_, 0);
  }
  EXPECT_EQ(result, 0);
  EXPECT_EQ(texts, (std::vector<std::string>{"Interface", "Appearance", "Accelerator", "Tools Menu", "File Organizer",
                                             "Add-on files"}));
  EXPECT_EQ(data, (std::vector<LRESULT>{201, 202, 203, 204, 205, 206}));
  EXPECT_EQ(selected, 0);
  EXPECT_EQ(shown, std::vector<int>{201});
  EXPECT_TRUE(iconsLoaded);
  EXPECT_EQ(OptionsNoteIcon, nullptr) << "the icons are released with the dialog";
  EXPECT_EQ(OptionsInfoIcon, nullptr);
  EXPECT_EQ(CurrentLastState.ConfigDlg, 201u);
}

TEST_F(OptionsFrameTest, ASelectedPageIsShownAloneAndOpensAgainNextTime) {
  CurrentLastState.ConfigDlg = 201;
  std::vector<int> shownAfterSwitch, shownOnReopen;
  int selectedOnReopen = 0;
  {
    DialogScript script([&] {
      HWND dialog = WaitForOptions();
      if (!dialog) return;
      SelectPageByList(dialog, 2);
      shownAfterSwitch = VisiblePages(dialog);
      test::ClickButton(dialog, IDCANCEL);
    });
    OpenOptionsDialog(owner_, 0);
  }
  EXPECT_EQ(shownAfterSwitch, std::vector<int>{203});
  EXPECT_EQ(CurrentLastState.ConfigDlg, 203u) << "even Cancel keeps the page that was shown";
  {
    DialogScript script([&] {
      HWND dialog = WaitForOptions();
      if (!dialog) return;
      shownOnReopen = VisiblePages(dialog);
      selectedOnReopen = SelectedPage(dialog);
      test::ClickButton(dialog, IDCANCEL);
    });
    OpenOptionsDialog(owner_, 0);
  }
  EXPECT_EQ(shownOnReopen, std::vector<int>{203});
  EXPECT_EQ(selectedOnReopen, 203);
}

TEST_F(OptionsFrameTest, AnExplicitFirstPageWinsOverTheRememberedOne) {
  CurrentLastState.ConfigDlg = 202;
  int selected = 0;
  {
    DialogScript script([&] {
      HWND dialog = WaitForOptions();
      if (!dialog) return;
      selected = SelectedPage(dialog);
      test::ClickButton(dialog, IDCANCEL);
    });
    OpenOptionsDialog(owner_, kOptionsAccelPage);
  }
  EXPECT_EQ(selected, kOptionsAccelPage);
  EXPECT_EQ(CurrentLastState.ConfigDlg, 203u);
}

TEST_F(OptionsFrameTest, ApplyReachesEveryPageInPageOrderAndCancelReachesNone) {
  std::vector<int> pages;
  INT_PTR result;
  {
    DialogScript script([&] {
      HWND dialog = WaitForOptions();
      if (!dialog) return;
      for (int id = kOptionsFirstPage; id <= kOptionsLastPage; ++id)
        if (GetDlgItem(dialog, id)) pages.push_back(id);
      RecordApply(dialog);
      test::ClickButton(dialog, IDCANCEL);
    });
    result = OpenOptionsDialog(owner_, 0);
  }
  EXPECT_EQ(result, 0);
  EXPECT_TRUE(applied.empty());
  {
    DialogScript script([&] {
      HWND dialog = WaitForOptions();
      if (!dialog) return;
      RecordApply(dialog);
      test::ClickButton(dialog, IDOK);
    });
    result = OpenOptionsDialog(owner_, 0);
  }
  EXPECT_EQ(result, 1);
  ASSERT_GE(pages.size(), 3u) << "the Interface, Appearance and Accelerator pages exist";
  EXPECT_EQ(applied, pages);
}

TEST_F(OptionsFrameTest, ASecondRequestWhileOpenOnlyBringsTheDialogForward) {
  INT_PTR second = -1;
  HWND otherDialog = reinterpret_cast<HWND>(1);
  {
    DialogScript script([&] {
      HWND dialog = WaitForOptions();
      if (!dialog) return;
      second = OpenOptionsDialog(owner_, 0);
      otherDialog = FindWindowExA(nullptr, dialog, "#32770", kCaption);
      test::ClickButton(dialog, IDCANCEL);
    });
    OpenOptionsDialog(owner_, 0);
  }
  EXPECT_EQ(second, 0);
  EXPECT_EQ(otherDialog, nullptr);
}

// The help popup is modal on the dialog's thread: the script finds it as a
// dialog window owned by the options dialog and closes it with Escape.
struct PopupSearch {
  HWND dialog;
  HWND popup;
};
BOOL CALLBACK FindHelpPopup(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<PopupSearch*>(lParam);
  char cls[64] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (GetWindow(window, GW_OWNER) == search->dialog && lstrcmpA(cls, "#32770") == 0) {
    search->popup = window;
    return FALSE;
  }
  return TRUE;
}

HWND WaitForHelpPopup(HWND dialog, int timeoutMs) {
  DWORD deadline = GetTickCount() + static_cast<DWORD>(timeoutMs);
  PopupSearch search = {dialog, nullptr};
  DWORD thread = GetWindowThreadProcessId(dialog, nullptr);
  while (static_cast<LONG>(GetTickCount() - deadline) < 0) {
    EnumThreadWindows(thread, FindHelpPopup, reinterpret_cast<LPARAM>(&search));
    if (search.popup) return search.popup;
    Sleep(2);
  }
  return nullptr;
}

TEST_F(OptionsFrameTest, ContextHelpShowsTheStringOfTheControlIdAndNothingWithoutOne) {
  HELPINFO withText = {}, withoutText = {};
  std::string popupText;
  HWND popupWithout = reinterpret_cast<HWND>(1);
  {
    DialogScript script([&] {
      HWND dialog = WaitForOptions();
      if (!dialog) return;
      HWND page = GetDlgItem(dialog, kOptionsInterfacePage);
      withoutText = {sizeof(HELPINFO), HELPINFO_WINDOW, IDC_OPTIONS_PAGE_LIST,
                     GetDlgItem(dialog, IDC_OPTIONS_PAGE_LIST), 0, {}};
      std::thread sender([&] { SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&withoutText)); });
      popupWithout = WaitForHelpPopup(dialog, 500);
      if (popupWithout) PostMessageA(popupWithout, WM_KEYDOWN, VK_ESCAPE, 0);
      withText = {sizeof(HELPINFO), HELPINFO_WINDOW, IDC_OPT_CHANGE_TRAY_MENU,
                  page ? GetDlgItem(page, IDC_OPT_CHANGE_TRAY_MENU) : nullptr, 0, {}};
      sender.join();
      std::thread helper([&] { SendMessageA(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&withText)); });
      if (HWND popup = WaitForHelpPopup(dialog, 5000)) {
        char text[512] = "";
        GetWindowTextA(popup, text, sizeof text);
        popupText = text;
        PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
      }
      helper.join();
      test::ClickButton(dialog, IDCANCEL);
    });
    OpenOptionsDialog(owner_, 0);
  }
  EXPECT_EQ(popupWithout, nullptr);
  EXPECT_EQ(popupText,
            "This option replaces the system tray menu with a VA Extensions style system tray menu with more functions.");
}

}  // namespace
}  // namespace va
