// options_interface_page_win: the options dialog's "Interface" page (dialog 201):
// the menu, title-bar and start-up switches of the main options.
#include <windows.h>

#include "common/dialog_utils.h"
#include "common/extension_options.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_page_controls_win.h"
#include "extension/windows/options_pages_win.h"

namespace va {
namespace {

constexpr int kIniTabStrings[] = {IDS_INI_TAB_WEB, IDS_INI_TAB_SEARCH, IDS_INI_TAB_TRAFFIC};

// The title-bar switch forces the VA tray menu: while it is checked the tray box
// is checked and cannot be changed; unchecking it leaves the tray box's check.
void FollowSystemButton(HWND page, bool forceTrayMenu) {
  if (forceTrayMenu) CheckItem(page, IDC_OPT_CHANGE_TRAY_MENU, true);
  EnableItem(page, IDC_OPT_CHANGE_TRAY_MENU, !forceTrayMenu);
}

void FollowFileManagerMenu(HWND page) {
  const bool on = IsItemChecked(page, IDC_OPT_CHANGE_FILE_MENU);
  EnableItem(page, IDC_OPT_ACTION_SHELL_OPEN, on);
  EnableItem(page, IDC_OPT_ACTION_THEATER, on);
}

void FollowForceCreation(HWND page) { EnableItem(page, IDC_OPT_INI_TAB, IsItemChecked(page, IDC_OPT_FORCE_CREATION)); }

void OnInitPage(HWND page) {
  const ExtensionOptions& options = CurrentOptions;
  CheckItem(page, IDC_OPT_CHANGE_TRAY_MENU, options.ChangeTrayMenu);
  CheckItem(page, IDC_OPT_CHANGE_DOWNLOAD_MENU, options.ChangeDownloadMenu);
  CheckItem(page, IDC_OPT_CHANGE_FILE_MENU, options.ChangeFileManagerMenu);
  CheckItem(page, options.DefaultFileManagerAction == 1 ? IDC_OPT_ACTION_THEATER : IDC_OPT_ACTION_SHELL_OPEN, true);
  CheckItem(page, IDC_OPT_CHANGE_SYSTEM_BTN, options.ChangeSystemBtn);
  CheckItem(page, IDC_OPT_CHANGE_TOOLBAR, options.ChangeToolbarBehave);
  CheckItem(page, IDC_OPT_ASK_EXIT, options.AskExit);
  CheckItem(page, IDC_OPT_START_IN_TRAY, options.StartVAInTray);
  CheckItem(page, IDC_OPT_FORCE_CREATION, options.ForceCreation);
  HWND tabs = GetDlgItem(page, IDC_OPT_INI_TAB);
  for (int id : kIniTabStrings)
    SendMessageA(tabs, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ModuleText(id).c_str()));
  // A stored value outside the list selects nothing, and Apply then keeps it.
  SendMessageA(tabs, CB_SETCURSEL, static_cast<WPARAM>(options.IniTab), 0);
  FollowSystemButton(page, options.ChangeSystemBtn);
  FollowFileManagerMenu(page);
  FollowForceCreation(page);
  AttachPageTooltips(page, IDC_OPT_CHANGE_TRAY_MENU, IDC_OPT_CHANGE_FILE_MENU);
}

void OnCommand(HWND page, WPARAM wParam) {
  if (HIWORD(wParam) != BN_CLICKED) return;
  switch (LOWORD(wParam)) {
    case IDC_OPT_CHANGE_SYSTEM_BTN: FollowSystemButton(page, IsItemChecked(page, IDC_OPT_CHANGE_SYSTEM_BTN)); break;
    case IDC_OPT_CHANGE_FILE_MENU: FollowFileManagerMenu(page); break;
    case IDC_OPT_FORCE_CREATION: FollowForceCreation(page); break;
  }
}

void OnApply(HWND page) {
  ExtensionOptions next = CurrentOptions;
  next.ChangeTrayMenu = IsItemChecked(page, IDC_OPT_CHANGE_TRAY_MENU);
  next.ChangeDownloadMenu = IsItemChecked(page, IDC_OPT_CHANGE_DOWNLOAD_MENU);
  next.ChangeFileManagerMenu = IsItemChecked(page, IDC_OPT_CHANGE_FILE_MENU);
  next.DefaultFileManagerAction = IsItemChecked(page, IDC_OPT_ACTION_THEATER) ? 1 : 0;
  next.ChangeSystemBtn = IsItemChecked(page, IDC_OPT_CHANGE_SYSTEM_BTN);
  next.ChangeToolbarBehave = IsItemChecked(page, IDC_OPT_CHANGE_TOOLBAR);
  next.AskExit = IsItemChecked(page, IDC_OPT_ASK_EXIT);
  next.StartVAInTray = IsItemChecked(page, IDC_OPT_START_IN_TRAY);
  next.ForceCreation = IsItemChecked(page, IDC_OPT_FORCE_CREATION);
  LRESULT tab = SendDlgItemMessageA(page, IDC_OPT_INI_TAB, CB_GETCURSEL, 0, 0);
  if (tab >= 0) next.IniTab = static_cast<uint32_t>(tab);
  SaveExtensionOptions(next);
}

}  // namespace

INT_PTR CALLBACK InterfacePageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInitPage(page); return TRUE;
    case WM_COMMAND: OnCommand(page, wParam); return TRUE;
    case kOptionsApplyMessage: OnApply(page); return TRUE;
  }
  return FALSE;
}

}  // namespace va
