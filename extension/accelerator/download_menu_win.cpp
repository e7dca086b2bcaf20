// download_menu_win: the Traffic window and download list hooks, the download
// popup, the bulk commands and "Find more from the same".
#include "extension/accelerator/download_menu_win.h"

#include <commctrl.h>

#include "common/extension_options.h"
#include "extension/accelerator/accelerator_win.h"
#include "extension/accelerator/download_commands.h"
#include "extension/accelerator/download_list_win.h"
#include "extension/accelerator/download_requests_win.h"
#include "extension/accelerator/row_cell.h"
#include "extension/core/attach.h"
#include "extension/core/host_ids.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/menus/module_message_win.h"
#include "extension/menus/tools_menu_win.h"
#include "extension/resources/resource.h"

namespace va {

HMENU DownloadPopup = nullptr;
HMENU DownloadAcceleratorPopup = nullptr;
std::string FindMoreText;

namespace {

// Where the host's menu 219 is changed: its own items at these positions go
// first, then the module's popups are inserted at the positions below.
constexpr int kHostItemToDropFirst = 11;
constexpr int kHostItemToDropSecond = 10;
constexpr int kHostPreviewCommand = 61241;
constexpr int kHeadingPosition = 0;
constexpr int kPreviewWithPosition = 1;
constexpr int kResumePosition = 3;
constexpr int kPausePosition = 4;
constexpr int kAcceleratorSeparatorPosition = 7;
constexpr int kAcceleratorPosition = 8;
constexpr int kFindMorePosition = 13;
constexpr int kPopupTitleCapacity = 64;
// The search options panel that every search form gets; the form is ready once
// it is there.
constexpr int kSearchPanelId = 4096;

// Hook state of the current Traffic window.
struct TrafficHookState {
  HMENU loadedHostMenu = nullptr;  // menu 219 as loaded; owns DownloadPopup
  WNDPROC previousListProc = nullptr;
};
TrafficHookState hook;

bool MenuInUse() { return CurrentOptions.ChangeDownloadMenu == 1; }

HWND DownloadListWindow() { return TrafficWindow ? GetDlgItem(TrafficWindow, kDownloadListId) : nullptr; }

void HoldAcceleratorGate(bool hold) {
  if (!AcceleratorGate) return;
  if (hold) ResetEvent(AcceleratorGate);
  else SetEvent(AcceleratorGate);
}

// Moves the popup of the module's menu `menuId` into `menu` at `position`, titled
// with the popup's own text; returns the popup (0 when the menu cannot be loaded).
HMENU InsertOwnPopup(HMENU menu, int position, int menuId) {
  HMENU own = LoadMenuA(ModuleInstance, MAKEINTRESOURCEA(menuId));
  if (!own) return nullptr;
  char title[kPopupTitleCapacity] = "";
  GetMenuStringA(own, 0, title, sizeof title, MF_BYPOSITION);
  HMENU popup = GetSubMenu(own, 0);
  // The popup moves over to the download popup, which then owns it alone.
  RemoveMenu(own, 0, MF_BYPOSITION);
  DestroyMenu(own);
  if (!popup) return nullptr;
  InsertMenuA(menu, position, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), title);
  return popup;
}

void BuildDownloadPopup() {
  if (hook.loadedHostMenu) return;
  hook.loadedHostMenu = LoadMenuA(HostResourceModule, MAKEINTRESOURCEA(host::kDownloadMenuId));
  HMENU menu = hook.loadedHostMenu ? GetSubMenu(hook.loadedHostMenu, 0) : nullptr;
  if (!menu) return;
  DeleteMenu(menu, kHostItemToDropFirst, MF_BYPOSITION);
  DeleteMenu(menu, kHostItemToDropSecond, MF_BYPOSITION);
  DeleteMenu(menu, host::kCmdResume, MF_BYCOMMAND);
  DeleteMenu(menu, host::kCmdPause, MF_BYCOMMAND);
  DeleteMenu(menu, kHostPreviewCommand, MF_BYCOMMAND);
  InsertMenuA(menu, kHeadingPosition, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED, 0, nullptr);
  if (!PreviewToolsMenu) BuildToolsMenus();
  if (PreviewToolsMenu)
    InsertMenuA(menu, kPreviewWithPosition, MF_BYPOSITION | MF_POPUP | MF_STRING,
                reinterpret_cast<UINT_PTR>(PreviewToolsMenu), LoadModuleText(IDS_PREVIEW_WITH).c_str());
  InsertOwnPopup(menu, kResumePosition, IDM_DOWNLOAD_RESUME);
  InsertOwnPopup(menu, kPausePosition, IDM_DOWNLOAD_PAUSE);
  InsertMenuA(menu, kAcceleratorSeparatorPosition, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  DownloadAcceleratorPopup = InsertOwnPopup(menu, kAcceleratorPosition, IDM_DOWNLOAD_ACCELERATOR);
  InsertOwnPopup(menu, kFindMorePosition, IDM_DOWNLOAD_FIND_MORE);
  AppendMenuA(menu, MF_STRING, IDM_HOST_REORDER, LoadModuleText(IDS_REORDER_DOWNLOADS).c_str());
  DownloadPopup = menu;
}

// The "Preview with" popup belongs to the Tools menu and outlives this popup:
// it is taken out before the host menu is destroyed.
void DestroyDownloadPopup() {
  if (DownloadPopup && PreviewToolsMenu) {
    for (int i = GetMenuItemCount(DownloadPopup) - 1; i >= 0; --i)
      if (GetSubMenu(DownloadPopup, i) == PreviewToolsMenu) RemoveMenu(DownloadPopup, i, MF_BYPOSITION);
  }
  if (hook.loadedHostMenu) DestroyMenu(hook.loadedHostMenu);
  hook.loadedHostMenu = nullptr;
  DownloadPopup = nullptr;
  DownloadAcceleratorPopup = nullptr;
}

// The row a popup is for: the one under the cursor at a right click, otherwise
// (the menu key) the selected one.
HTREEITEM PopupRow(HWND list, bool atCursor) {
  TVHITTESTINFO hit = {};
  GetCursorPos(&hit.pt);
  ScreenToClient(list, &hit.pt);
  if (atCursor && SendMessageA(list, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)) && (hit.flags & TVHT_ONITEM))
    return hit.hItem;
  return reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// While the popup is open the accelerator waits; the chosen command acts on the
// row the popup was opened for, whatever was selected meanwhile.
void ShowDownloadPopup(bool atCursor) {
  HWND list = DownloadListWindow();
  if (!list) return;
  HoldAcceleratorGate(true);
  const HTREEITEM item = PopupRow(list, atCursor);
  const DownloadRequest row = NameRow(item);
  POINT at = {};
  GetCursorPos(&at);
  const int command = static_cast<int>(
      TrackPopupMenu(DownloadPopup, TPM_RETURNCMD, at.x, at.y, 0, HostMainWindow, nullptr));
  // A row the host removed meanwhile is not selected; the command then acts as
  // the host's own would, on what is selected.
  if (command != 0) {
    if (item) SelectNamedRow(row);
    SendMessageA(HostMainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  }
  HoldAcceleratorGate(false);
}

void InstallDownloadListHook(HWND traffic) {
  HWND list = GetDlgItem(traffic, kDownloadListId);
  if (!list || hook.previousListProc) return;
  hook.previousListProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_WNDPROC));
  SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DownloadListHook));
}

void OnTrafficInit(HWND traffic) {
  BuildDownloadPopup();
  InstallDownloadListHook(traffic);
  // The accelerator's gate comes with the Traffic window; an accelerator that
  // was on when the host last ended starts again now.
  CreateAcceleratorGate();
  StartAcceleratorIfWasOn();
}

// True when the notification is answered here; `result` is the answer.
bool OnTrafficNotify(const NMHDR* header, LRESULT* result) {
  if (header && header->idFrom == UINT_PTR(kDownloadListId) &&
      (header->code == UINT(TVN_DELETEITEMA) || header->code == UINT(TVN_DELETEITEMW)))
    NoteDownloadRemoved(reinterpret_cast<const NMTREEVIEWA*>(header)->itemOld.hItem);
  if (!MenuInUse() || !DownloadPopup || !header || header->idFrom != UINT_PTR(kDownloadListId)) return false;
  if (header->code == UINT(NM_RCLICK)) {
    ShowDownloadPopup(true);
    // Answered as handled: a tree view that gets 0 here follows with its own
    // WM_CONTEXTMENU, which would open the popup a second time.
    *result = 1;
    return true;
  }
  if (header->code == UINT(TVN_KEYDOWN) && reinterpret_cast<const NMTVKEYDOWN*>(header)->wVKey == VK_APPS) {
    *result = 0;  // the list's WM_CONTEXTMENU shows the popup
    return true;
  }
  return false;
}

// The list hears of its end after the Traffic window: it gets its own procedure
// back first. The accelerator's gate stays: its thread may be waiting on it, and
// it serves a Traffic window made again.
void OnTrafficDestroy(HWND traffic) {
  HWND list = GetDlgItem(traffic, kDownloadListId);
  if (list && hook.previousListProc &&
      GetWindowLongPtrA(list, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(DownloadListHook)) {
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook.previousListProc));
    hook.previousListProc = nullptr;
  }
  DestroyDownloadPopup();
  ForgetDownloadPasses();
  HostWindowLost(HostView::Traffic);
}

// ---- search-fill thread ----

class RealSearchFill : public SearchFillPort {
 public:
  bool FormReady() override {
    HWND form = SearchWindow;
    return form && IsWindow(form) && GetDlgItem(form, kSearchPanelId) != nullptr;
  }
  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
  void Fill(const std::string& text) override {
    HWND form = SearchWindow;
    SetDlgItemTextA(form, host::kSearchTextId, text.c_str());
    // As a click on the search button sends it.
    SendMessageA(form, WM_COMMAND, MAKEWPARAM(host::kSearchButtonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(form, host::kSearchButtonId)));
  }
};

DWORD WINAPI SearchFillThread(LPVOID parameter) {
  // Each thread has its own copy: a later command replaces FindMoreText while
  // this one may still wait.
  std::string* text = static_cast<std::string*>(parameter);
  RealSearchFill port;
  RunSearchFill(port, *text);
  delete text;
  return 0;
}

void StartSearchFill(const std::string& text) {
  auto* copy = new std::string(text);
  HANDLE thread = CreateThread(nullptr, 0, SearchFillThread, copy, 0, nullptr);
  if (!thread) {
    delete copy;
    return;
  }
  CloseHandle(thread);
}

HMODULE HostResources() { return HostResourceModule ? HostResourceModule : GetModuleHandleA(nullptr); }

}  // namespace

LRESULT CALLBACK TrafficWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case InitMessage:
      OnTrafficInit(window);
      break;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (OnTrafficNotify(reinterpret_cast<const NMHDR*>(lParam), &result)) return result;
      break;
    }
    case WM_DESTROY:
      OnTrafficDestroy(window);
      break;
  }
  return CallWindowProcA(PreviousTrafficProc, window, message, wParam, lParam);
}

LRESULT CALLBACK DownloadListHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU && MenuInUse() && DownloadPopup) {
    ShowDownloadPopup(false);
    return 0;
  }
  return CallWindowProcA(hook.previousListProc, window, message, wParam, lParam);
}

void BulkDownloadCommand(int action, int selector) {
  HoldAcceleratorGate(true);
  const uint16_t command = BulkActionCommand(action);
  DownloadState state = DownloadState::Queued;
  const bool allRows = selector == kSelectAll;
  const bool known = allRows || SelectorState(selector, state);
  if (command != 0 && known && TrafficWindow) {
    const std::string stateName = allRows ? std::string() : LoadStatusName(HostResources(), state, kBulkStateCapacity);
    TreeDownloadList list(HostMainWindow, HostResources());
    RunBulkCommand(list, command, allRows, stateName);
  }
  HoldAcceleratorGate(false);
}

void FindMoreFromSame(int which) {
  HWND list = DownloadListWindow();
  if (!list) return;
  HoldAcceleratorGate(true);
  auto selected = reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_CARET, 0));
  HoldAcceleratorGate(false);
  DownloadColumn column = DownloadColumn::Title;
  if (!selected || !FindMoreColumn(which, column)) return;
  const LPARAM data = DownloadData(list, selected);
  if (data == 0) return;
  SendHostCommand(host::kCmdNewSearch);
  CellNumbers cells{};
  ReadCellNumbers(TrafficWindow, cells);
  std::string text;
  if (!ReadRowText(data, text)) return;
  FindMoreText = std::string(RowCell(text, cells[static_cast<int>(column)]));
  StartSearchFill(FindMoreText);
}

}  // namespace va
