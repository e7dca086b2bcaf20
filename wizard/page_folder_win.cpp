// page_folder_win: page 2, the shared folder: the path with its free space, the
// owner-drawn list of fixed drives, the folder browser, and the checks (and the
// offer to create the folder) before going on.
#include <windows.h>

#include <commctrl.h>

#include "common/registry_store.h"
#include "common/shared_utils.h"
#include "wizard/drives_win.h"
#include "wizard/resources/resource.h"
#include "wizard/wizard_messages_win.h"
#include "wizard/wizard_pages_win.h"
#include "wizard/wizard_rules.h"
#include "wizard/wizard_state.h"

namespace va {
namespace {

constexpr int kDriveRowHeight = 18;
constexpr int kDriveTextLeft = 22;
constexpr int kDriveIconSize = 16;
constexpr int kDriveIconLeft = 2;
constexpr size_t kMaxStoredFolder = 515;
constexpr int kPathBuffer = 1024;

std::string FolderText(HWND page) {
  char text[kPathBuffer] = {};
  GetDlgItemTextA(page, IDC_FOLDER_PATH, text, sizeof text);
  return text;
}

void ShowFreeSpace(HWND page) {
  unsigned long long freeBytes = 0;
  const std::string text =
      QueryFreeBytes(FolderText(page), freeBytes) ? FormatByteSize(freeBytes) : LoadWizardString(IDS_DASH);
  SetDlgItemTextA(page, IDC_FOLDER_FREE, text.c_str());
}

INT_PTR OnInitDialog(HWND page) {
  const WizardState& state = Wizard();
  SetControlFont(page, IDC_SYSTEM_INFO, state.fonts.link);
  SetControlFont(page, IDC_DRIVE_LIST, state.fonts.small);
  HWND list = GetDlgItem(page, IDC_DRIVE_LIST);
  SendMessageA(list, LB_SETITEMHEIGHT, 0, kDriveRowHeight);
  ListLocalDrives(list);
  std::string folder = ReadRegText(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir",
                                   RegistryReader::Wizard);
  if (folder.size() > kMaxStoredFolder) folder.resize(kMaxStoredFolder);
  if (folder.empty()) folder = state.texts[0];
  SetDlgItemTextA(page, IDC_FOLDER_PATH, folder.c_str());  // EN_CHANGE shows its free space
  ShowFreeSpace(page);
  return TRUE;
}

INT_PTR OnCommand(HWND page, int id, int code) {
  if (id == IDC_FOLDER_PATH && code == EN_CHANGE) ShowFreeSpace(page);
  if (id == IDC_FOLDER_BROWSE && code == BN_CLICKED) BrowseForFolderInto(page, IDC_FOLDER_PATH, FolderText(page));
  return FALSE;
}

INT_PTR OnDrawItem(const DRAWITEMSTRUCT* item) {
  if (item->CtlID != IDC_DRIVE_LIST || item->itemID == static_cast<UINT>(-1)) return FALSE;
  const bool selected = (item->itemState & ODS_SELECTED) != 0;
  HDC dc = item->hDC;
  RECT row = item->rcItem;
  FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  HICON icon = reinterpret_cast<HICON>(item->itemData);
  if (icon) {
    DrawIconEx(dc, row.left + kDriveIconLeft, row.top + (row.bottom - row.top - kDriveIconSize) / 2, icon,
               kDriveIconSize, kDriveIconSize, 0, nullptr, DI_NORMAL);
  }
  char text[kPathBuffer] = {};
  const LRESULT length = SendMessageA(item->hwndItem, LB_GETTEXTLEN, item->itemID, 0);
  if (length >= 0 && length < kPathBuffer) SendMessageA(item->hwndItem, LB_GETTEXT, item->itemID, reinterpret_cast<LPARAM>(text));
  const std::string rowText(text);
  const size_t tab = rowText.find('\t');
  const std::string name = rowText.substr(0, tab);
  const std::string size = tab == std::string::npos ? std::string() : rowText.substr(tab + 1);
  RECT area = row;
  area.left += kDriveTextLeft;
  area.right -= kDriveIconLeft;
  DrawTextA(dc, name.c_str(), -1, &area, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  DrawTextA(dc, size.c_str(), -1, &area, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  return TRUE;
}

INT_PTR OnNext(HWND page) {
  const std::string folder = FolderText(page);
  if (folder.empty()) {
    MessageBeep(MB_OK);
    SetFocus(GetDlgItem(page, IDC_FOLDER_PATH));
    return SetPageResult(page, kStayOnPage);
  }
  if (!IsDriveOrNetworkPath(folder)) {
    ShowWizardMessage(page, IDS_INVALID_LOCATION, MB_OK);
    return SetPageResult(page, kStayOnPage);
  }
  if (!FolderExists(folder)) {
    if (ShowWizardMessage(page, IDS_CREATE_FOLDER_QUESTION, MB_YESNO | MB_ICONQUESTION, folder.c_str()) != IDYES) {
      return SetPageResult(page, kStayOnPage);
    }
    if (!CreateFolderPath(folder) && !FolderExists(folder)) {
      ShowWizardMessage(page, IDS_INVALID_LOCATION, MB_OK);
      return SetPageResult(page, kStayOnPage);
    }
  }
  Wizard().sharedFolder = folder;
  return SetPageResult(page, 0);
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  INT_PTR result = FALSE;
  if (HandleCommonNotify(page, header, PSWIZB_BACK | PSWIZB_NEXT, result)) return result;
  if (header->code == PSN_WIZNEXT) return OnNext(page);
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_DRAWITEM: return OnDrawItem(reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
    case WM_DESTROY: DestroyDriveIcons(GetDlgItem(page, IDC_DRIVE_LIST)); return FALSE;
  }
  return FALSE;
}

}  // namespace va
