// options_dialog_win: the "More Options" dialog (dialog 200): the page list, the
// six page windows in one page area, the remembered page, Apply, Cancel and the
// context help. The pages themselves live in their own files.
#include <windows.h>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/hostui/help_popup_win.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_pages_win.h"
#include "extension/windows/options_rules.h"

namespace va {
namespace {

struct PageEntry {
  int id;
  DLGPROC procedure;
};

constexpr PageEntry kPages[] = {
    {kOptionsInterfacePage, InterfacePageProc}, {kOptionsAppearancePage, AppearancePageProc},
    {kOptionsAccelPage, AccelPageProc},         {kOptionsToolsPage, ToolsPageProc},
    {kOptionsOrganizerPage, OrganizerPageProc}, {kOptionsAddOnPage, AddOnPageProc},
};
constexpr int kHelpTextSize = 1024;

HWND OpenOptionsWindow = nullptr;  // the dialog while it is open (one at a time)

HWND PageWindow(HWND dialog, int pageId) {
  HWND page = GetDlgItem(dialog, pageId);
  return page && GetParent(page) == dialog ? page : nullptr;
}

void ShowPage(HWND dialog, int pageId) {
  for (const PageEntry& entry : kPages)
    if (HWND page = PageWindow(dialog, entry.id)) ShowWindow(page, entry.id == pageId ? SW_SHOW : SW_HIDE);
  CurrentLastState.ConfigDlg = static_cast<uint32_t>(pageId);
}

void FillPageList(HWND list) {
  char text[128];
  for (const PageEntry& entry : kPages) {
    text[0] = 0;
    LoadStringA(ModuleInstance, static_cast<UINT>(entry.id), text, sizeof text);
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), entry.id);
  }
}

// Creates every page whose resource and procedure exist as a hidden child in the
// page area, with its page id as control id. A page that cannot be created is
// left out; the others still work.
void CreatePages(HWND dialog) {
  RECT area = {};
  if (HWND placeholder = GetDlgItem(dialog, IDC_OPTIONS_PAGE_AREA)) {
    GetWindowRect(placeholder, &area);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&area), 2);
  }
  for (const PageEntry& entry : kPages) {
    HWND page = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(entry.id), dialog, entry.procedure, 0);
    if (!page) continue;
    SetWindowLongPtrA(page, GWLP_ID, entry.id);
    SetWindowPos(page, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOACTIVATE | SWP_HIDEWINDOW);
  }
}

void SelectListItem(HWND list, int pageId) {
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    if (SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(i), 0) == pageId) {
      SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(i), 0);
      return;
    }
  }
}

BOOL OnInitDialog(HWND dialog, LPARAM firstPage) {
  OpenOptionsWindow = dialog;
  LoadOptionsIcons();
  HWND list = GetDlgItem(dialog, IDC_OPTIONS_PAGE_LIST);
  FillPageList(list);
  CreatePages(dialog);
  int requested = static_cast<int>(firstPage);
  if (requested == 0) requested = static_cast<int>(CurrentLastState.ConfigDlg);
  const int shown = ChooseOptionsPage(requested);
  SelectListItem(list, shown);
  ShowPage(dialog, shown);
  return TRUE;
}

void OnPageSelected(HWND dialog) {
  HWND list = GetDlgItem(dialog, IDC_OPTIONS_PAGE_LIST);
  LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (index < 0) return;
  const int pageId = static_cast<int>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  if (IsOptionsPage(pageId)) ShowPage(dialog, pageId);
}

void OnApply(HWND dialog) {
  for (int pageId = kOptionsFirstPage; pageId <= kOptionsLastPage; ++pageId)
    if (HWND page = PageWindow(dialog, pageId)) SendMessageA(page, kOptionsApplyMessage, 0, 0);
  EndDialog(dialog, 1);
}

BOOL OnCommand(HWND dialog, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case IDOK: OnApply(dialog); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_OPTIONS_PAGE_LIST:
      if (HIWORD(wParam) == LBN_SELCHANGE) OnPageSelected(dialog);
      return TRUE;
  }
  return FALSE;
}

// The help text of a control is the string whose id is the control id. The page
// windows carry their page ids, which are also the list texts: no help for them.
BOOL OnHelp(HWND dialog, const HELPINFO* info) {
  if (!info || info->iContextType != HELPINFO_WINDOW) return TRUE;
  if (IsOptionsPage(info->iCtrlId) && PageWindow(dialog, info->iCtrlId) == info->hItemHandle) return TRUE;
  if (info->iCtrlId <= 0) return TRUE;
  char text[kHelpTextSize] = "";
  if (LoadStringA(ModuleInstance, static_cast<UINT>(info->iCtrlId), text, sizeof text) > 0 && text[0])
    ShowHelpPopup(dialog, text);
  return TRUE;
}

INT_PTR CALLBACK OptionsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, lParam);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_HELP: return OnHelp(dialog, reinterpret_cast<const HELPINFO*>(lParam));
    case WM_NCDESTROY:
      // The pages are gone by now; their static controls no longer show the icons.
      ReleaseOptionsIcons();
      OpenOptionsWindow = nullptr;
      return FALSE;
  }
  return FALSE;
}

}  // namespace

INT_PTR OpenOptionsDialog(HWND owner, int firstPage) {
  // A second request (e.g. from the tray menu) while the dialog is open brings
  // it to the front, showing the page it asks for.
  if (OpenOptionsWindow) {
    if (firstPage != 0 && IsOptionsPage(firstPage) && PageWindow(OpenOptionsWindow, firstPage)) {
      SelectListItem(GetDlgItem(OpenOptionsWindow, IDC_OPTIONS_PAGE_LIST), firstPage);
      ShowPage(OpenOptionsWindow, firstPage);
    }
    SetForegroundWindow(OpenOptionsWindow);
    return 0;
  }
  INT_PTR result = DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(kOptionsDialogId), owner, OptionsDialogProc,
                                   static_cast<LPARAM>(firstPage));
  return result == 1 ? 1 : 0;
}

}  // namespace va
