// options_addon_page_win: the options dialog's "Add-on files" page (206): a working
// copy of the add-on list shown in a list view with rows supplied on demand, an
// edit mode that checks each new path, and the list stored on Apply.
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/dialog_utils.h"
#include "extension/core/addon_host.h"
#include "extension/menus/module_message_win.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_pages_win.h"

namespace va {

namespace {

constexpr int kPathCapacity = MAX_PATH * 4;
constexpr int kValidateOnly = 0;  // CheckAddOnFile mode: check and release again

struct AddOnPage {
  std::vector<std::string> paths;  // the working copy
  bool editing = false;
  int target = -1;  // the row the edited path replaces; paths.size(): appended
};

AddOnPage* PageOf(HWND page) { return reinterpret_cast<AddOnPage*>(GetWindowLongPtrA(page, DWLP_USER)); }

HWND ListOf(HWND page) { return GetDlgItem(page, IDC_ADDON_PAGE_LIST); }

int SelectedRow(HWND page) {
  return int(SendMessageA(ListOf(page), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
}

void SelectRow(HWND page, int row) {
  LVITEMA item = {};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = 0;
  SendMessageA(ListOf(page), LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(&item));
  if (row < 0) return;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(ListOf(page), LVM_SETITEMSTATE, WPARAM(row), reinterpret_cast<LPARAM>(&item));
  SendMessageA(ListOf(page), LVM_ENSUREVISIBLE, WPARAM(row), FALSE);
}

void Refresh(HWND page, int selected) {
  SendMessageA(ListOf(page), LVM_SETITEMCOUNT, PageOf(page)->paths.size(), 0);
  SelectRow(page, selected);
  InvalidateRect(ListOf(page), nullptr, TRUE);
}

// The location group works only in edit mode, the list buttons only outside it.
void ShowMode(HWND page) {
  const bool editing = PageOf(page)->editing;
  for (int id : {IDC_ADDON_PAGE_GROUP, IDC_ADDON_PAGE_PATH_LABEL, IDC_ADDON_PAGE_PATH, IDC_ADDON_PAGE_BROWSE,
                 IDC_ADDON_PAGE_SAVE, IDC_ADDON_PAGE_CANCEL})
    EnableWindow(GetDlgItem(page, id), editing);
  for (int id : {IDC_ADDON_PAGE_ADD, IDC_ADDON_PAGE_MODIFY, IDC_ADDON_PAGE_DELETE})
    EnableWindow(GetDlgItem(page, id), !editing);
}

void StartEditing(HWND page, const std::string& path, int target) {
  AddOnPage* state = PageOf(page);
  state->editing = true;
  state->target = target;
  SetDlgItemTextA(page, IDC_ADDON_PAGE_PATH, path.c_str());
  ShowMode(page);
  SetFocus(GetDlgItem(page, IDC_ADDON_PAGE_PATH));
}

void StopEditing(HWND page) {
  AddOnPage* state = PageOf(page);
  state->editing = false;
  state->target = -1;
  SetDlgItemTextA(page, IDC_ADDON_PAGE_PATH, "");
  ShowMode(page);
}

void OnInit(HWND page) {
  auto* state = new AddOnPage;
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  if (AddOnLastIndex >= 0)
    state->paths.assign(AddOnPaths.begin(),
                        AddOnPaths.begin() + std::min<size_t>(size_t(AddOnLastIndex) + 1, AddOnPaths.size()));
  HWND list = ListOf(page);
  SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
  RECT area = {};
  GetClientRect(list, &area);
  LVCOLUMNA column = {};
  column.mask = LVCF_WIDTH;
  column.cx = area.right - area.left - GetSystemMetrics(SM_CXVSCROLL);
  SendMessageA(list, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
  SendDlgItemMessageA(page, IDC_ADDON_PAGE_PATH, EM_LIMITTEXT, kPathCapacity - 1, 0);
  AttachPageTooltips(page, IDC_ADDON_PAGE_LIST, IDC_ADDON_PAGE_CANCEL);
  StopEditing(page);
  Refresh(page, -1);
}

void OnDestroy(HWND page) {
  AddOnPage* state = PageOf(page);
  SetWindowLongPtrA(page, DWLP_USER, 0);
  delete state;
}

// Forward: a path still being edited is saved (checked, or refused with a
// message) before the list is stored, never dropped without a word.
bool OnSave(HWND page);

void OnApply(HWND page) {
  AddOnPage* state = PageOf(page);
  if (state->editing && GetWindowTextLengthA(GetDlgItem(page, IDC_ADDON_PAGE_PATH)) > 0) OnSave(page);
  SaveAddOnList(state->paths, int(state->paths.size()) - 1);
}

void OnAdd(HWND page) {
  AddOnPage* state = PageOf(page);
  if (state->paths.size() >= size_t(kMaxAddOnFiles)) {
    ShowListLimitMessage(page);
    return;
  }
  StartEditing(page, std::string(), int(state->paths.size()));
}

void OnModify(HWND page) {
  AddOnPage* state = PageOf(page);
  const int selected = SelectedRow(page);
  if (selected < 0 || size_t(selected) >= state->paths.size()) return;
  StartEditing(page, state->paths[size_t(selected)], selected);
}

void OnDelete(HWND page) {
  AddOnPage* state = PageOf(page);
  const int selected = SelectedRow(page);
  if (selected < 0 || size_t(selected) >= state->paths.size()) return;
  state->paths.erase(state->paths.begin() + selected);
  Refresh(page, std::min(selected, int(state->paths.size()) - 1));
}

void OnBrowse(HWND page) {
  std::string filter = LoadModuleText(IDS_ADDON_FILES);
  filter += '\0';
  filter += "*.DLL";
  filter += '\0';
  filter += LoadModuleText(IDS_ALL_FILES);
  filter += '\0';
  filter += "*.*";
  filter += '\0';
  const std::string file = PickOpenFile(page, std::string(), filter);
  if (!file.empty()) SetDlgItemTextA(page, IDC_ADDON_PAGE_PATH, file.c_str());
}

bool IsListedElsewhere(const AddOnPage& state, const std::string& path) {
  for (size_t row = 0; row < state.paths.size(); ++row)
    if (int(row) != state.target && lstrcmpiA(state.paths[row].c_str(), path.c_str()) == 0) return true;
  return false;
}

void Refuse(HWND page, UINT text) { ShowModuleMessage(page, text, "", std::string(), MB_OK | MB_ICONWARNING); }

bool OnSave(HWND page) {
  AddOnPage* state = PageOf(page);
  if (!state->editing) return false;
  char text[kPathCapacity] = "";
  GetDlgItemTextA(page, IDC_ADDON_PAGE_PATH, text, kPathCapacity);
  const std::string path = text;
  if (path.empty()) {
    MessageBeep(MB_OK);
    return false;
  }
  if (IsListedElsewhere(*state, path)) {
    Refuse(page, IDS_ADDON_DUPLICATE);
    return false;
  }
  if (IsThisModule(path.c_str())) {
    Refuse(page, IDS_ADDON_IS_THIS_MODULE);
    return false;
  }
  if (!CheckAddOnFile(path.c_str(), kValidateOnly)) {
    Refuse(page, IDS_ADDON_INVALID);
    return false;
  }
  int row = state->target;
  if (row >= 0 && size_t(row) < state->paths.size()) {
    state->paths[size_t(row)] = path;
  } else {
    // Appended; the limit was checked when editing began and nothing is added meanwhile.
    if (state->paths.size() >= size_t(kMaxAddOnFiles)) {
      ShowListLimitMessage(page);
      return false;
    }
    state->paths.push_back(path);
    row = int(state->paths.size()) - 1;
  }
  StopEditing(page);
  Refresh(page, row);
  return true;
}

void OnCommand(HWND page, int id) {
  switch (id) {
    case IDC_ADDON_PAGE_ADD: OnAdd(page); break;
    case IDC_ADDON_PAGE_MODIFY: OnModify(page); break;
    case IDC_ADDON_PAGE_DELETE: OnDelete(page); break;
    case IDC_ADDON_PAGE_BROWSE: OnBrowse(page); break;
    case IDC_ADDON_PAGE_SAVE: OnSave(page); break;
    case IDC_ADDON_PAGE_CANCEL: StopEditing(page); break;
  }
}

// Rows on demand: the text of a row is its path.
void OnGetRowTextA(HWND page, NMLVDISPINFOA* info) {
  const AddOnPage* state = PageOf(page);
  LVITEMA& item = info->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
  if (item.iItem < 0 || size_t(item.iItem) >= state->paths.size()) {
    item.pszText[0] = '\0';
    return;
  }
  lstrcpynA(item.pszText, state->paths[size_t(item.iItem)].c_str(), item.cchTextMax);
}

void OnGetRowTextW(HWND page, NMLVDISPINFOW* info) {
  const AddOnPage* state = PageOf(page);
  LVITEMW& item = info->item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
  item.pszText[0] = L'\0';
  if (item.iItem < 0 || size_t(item.iItem) >= state->paths.size()) return;
  const std::string& path = state->paths[size_t(item.iItem)];
  // A path longer than the list's buffer is shown cut, not blank: the whole
  // conversion first (a short buffer makes the conversion fail), then the part
  // that fits.
  const int length = MultiByteToWideChar(CP_ACP, 0, path.c_str(), int(path.size()), nullptr, 0);
  if (length <= 0) return;
  std::wstring wide(size_t(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), int(path.size()), wide.data(), length);
  const size_t shown = std::min(wide.size(), size_t(item.cchTextMax - 1));
  wide.copy(item.pszText, shown);
  item.pszText[shown] = L'\0';
}

bool OnNotify(HWND page, NMHDR* header) {
  if (header->idFrom != IDC_ADDON_PAGE_LIST) return false;
  if (header->code == LVN_GETDISPINFOA) {
    OnGetRowTextA(page, reinterpret_cast<NMLVDISPINFOA*>(header));
    return true;
  }
  if (header->code == LVN_GETDISPINFOW) {
    OnGetRowTextW(page, reinterpret_cast<NMLVDISPINFOW*>(header));
    return true;
  }
  return false;
}

}  // namespace

INT_PTR CALLBACK AddOnPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit(page);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(page);
      return FALSE;
    case WM_COMMAND:
      if (PageOf(page)) OnCommand(page, LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY:
      return PageOf(page) && OnNotify(page, reinterpret_cast<NMHDR*>(lParam));
    case kOptionsApplyMessage:
      if (PageOf(page)) OnApply(page);
      return TRUE;
  }
  return FALSE;
}

}  // namespace va
