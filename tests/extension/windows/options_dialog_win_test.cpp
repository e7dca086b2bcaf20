// The options dialog's frame in-process: the page list, the page a dialog opens
// on, page switching and the remembered page, Apply and Cancel, the icons. A
// script thread drives the modal dialog by window messages.
#include "extension/windows/options_pages_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
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

}  // namespace
}  // namespace va
