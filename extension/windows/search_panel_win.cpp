// search_panel_win: SearchFormHook, SearchStatusHook and the "Search Options"
// panel (dialog 111): its white background, flat frames, collapse and expand,
// and the controls that edit the Auto Search More settings of the last state.
#include "extension/windows/search_panel_win.h"

#include <commctrl.h>

#include <string>

#include "common/dialog_utils.h"
#include "common/extension_options.h"
#include "common/number_text.h"
#include "extension/core/attach.h"
#include "extension/core/host_ids.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/resources/resource.h"
#include "extension/windows/auto_search.h"

namespace va {

HWND SearchPanel = nullptr;

namespace {

// Panel sizes in dialog units: expanded the whole group box shows, collapsed only
// its title line; the bottom edge stays where it is.
constexpr int kPanelWidthUnits = 163;
constexpr int kExpandedHeightUnits = 35;
constexpr int kCollapsedHeightUnits = 6;
constexpr size_t kTitleBaseMax = 127;
constexpr char kTitleSeparator[] = " - ";
constexpr int kTextCapacity = 256;
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr UINT kBitmapLoadFlags = LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT | LR_DEFAULTSIZE;

struct PanelRecord {
  HWND panel = nullptr;
  HWND group = nullptr;  // the group box whose title follows the search status
  HBITMAP expandedBitmap = nullptr;
  HBITMAP collapsedBitmap = nullptr;
  HBRUSH whiteBrush = nullptr;
  std::string titleBase;
  bool collapsed = false;
  WNDPROC numberProc = nullptr;
  WNDPROC unitProc = nullptr;
};
PanelRecord Panel;

// The host's search status text that carries SearchStatusHook, and its own procedure.
HWND HookedStatus = nullptr;
WNDPROC PreviousStatusProc = nullptr;
HWND StatusGroup = nullptr;

HWND Item(int id) { return GetDlgItem(Panel.panel, id); }

std::string ModuleString(int id) {
  char text[kTextCapacity] = "";
  LoadStringA(ModuleInstance, static_cast<UINT>(id), text, kTextCapacity);
  return text;
}

// ---- flat frames of the number edit and the unit combo box ----

// A one-pixel frame in the shadow colour over the control's own 3-D border,
// drawn after the control painted itself.
void DrawFlatFrame(HWND control) {
  HDC dc = GetWindowDC(control);
  if (!dc) return;
  RECT r;
  GetWindowRect(control, &r);
  OffsetRect(&r, -r.left, -r.top);
  HBRUSH shadow = GetSysColorBrush(COLOR_BTNSHADOW);
  FrameRect(dc, &r, shadow);
  InflateRect(&r, -1, -1);
  FrameRect(dc, &r, Panel.whiteBrush ? Panel.whiteBrush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  ReleaseDC(control, dc);
}

LRESULT FramedControlProc(WNDPROC previous, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(previous, window, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
    case WM_NCPAINT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ENABLE: DrawFlatFrame(window); break;
  }
  return result;
}

LRESULT CALLBACK NumberEditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return FramedControlProc(Panel.numberProc, window, message, wParam, lParam);
}

LRESULT CALLBACK UnitComboProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return FramedControlProc(Panel.unitProc, window, message, wParam, lParam);
}

WNDPROC Subclass(HWND control, WNDPROC proc) {
  if (!control) return nullptr;
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)));
}

// ---- collapse and expand ----

// Resizes the panel to its collapsed or expanded height, keeping its bottom edge.
void PlacePanel(bool collapsed) {
  HWND parent = GetParent(Panel.panel);
  RECT now;
  GetWindowRect(Panel.panel, &now);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&now), 2);
  RECT size = {0, 0, kPanelWidthUnits, collapsed ? kCollapsedHeightUnits : kExpandedHeightUnits};
  MapDialogRect(Panel.panel, &size);
  SetWindowPos(Panel.panel, nullptr, now.left, now.bottom - size.bottom, size.right, size.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
  Panel.collapsed = collapsed;
}

void ShowToggleBitmap() {
  HBITMAP bitmap = Panel.collapsed ? Panel.collapsedBitmap : Panel.expandedBitmap;
  SendMessageA(Item(IDC_PANEL_TOGGLE), BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

void OnToggleClicked() {
  if (Panel.collapsed) {
    CurrentLastState.SearchOptShow = 1;
    PlacePanel(false);
    ShowToggleBitmap();
    SetFocus(Item(IDC_AUTO_SEARCH_MORE));
  } else {
    CurrentLastState.SearchOptShow = 0;
    PlacePanel(true);
    ShowToggleBitmap();
    HWND searchText = GetDlgItem(GetParent(Panel.panel), host::kSearchTextId);
    if (searchText) SetFocus(searchText);
  }
  HWND toggle = Item(IDC_PANEL_TOGGLE);
  SendMessageA(toggle, BM_SETSTATE, FALSE, 0);
  InvalidateRect(toggle, nullptr, TRUE);
}

// ---- the settings controls ----

void OnUnitChosen() {
  LRESULT index = SendMessageA(Item(IDC_AUTO_SEARCH_UNIT), CB_GETCURSEL, 0, 0);
  if (index < 0 || index >= static_cast<LRESULT>(kUnitCount)) index = kUnitNoLimit;
  CurrentLastState.AutoSearchMoreUnit = static_cast<uint32_t>(index);
  EnableWindow(Item(IDC_AUTO_SEARCH_NUMBER), index != kUnitNoLimit);
}

void OnAutoSearchClicked() {
  if (IsDlgButtonChecked(Panel.panel, IDC_AUTO_SEARCH_MORE) == BST_CHECKED) {
    CurrentLastState.AutoSearchMore = 1;
    EnableWindow(Item(IDC_AUTO_SEARCH_UNIT), TRUE);
    OnUnitChosen();
  } else {
    CurrentLastState.AutoSearchMore = 0;
    EnableWindow(Item(IDC_AUTO_SEARCH_UNIT), FALSE);
    EnableWindow(Item(IDC_AUTO_SEARCH_NUMBER), FALSE);
  }
}

void OnNumberChanged() {
  HWND edit = Item(IDC_AUTO_SEARCH_NUMBER);
  FilterNumericEdit(edit, false);
  char text[kTextCapacity] = "";
  GetWindowTextA(edit, text, kTextCapacity);
  // Digits only by now; a number beyond the 32-bit range is held at its top.
  const int32_t number = ParseLeadingInteger(text);
  CurrentLastState.AutoSearchMoreNum = number > 0 ? static_cast<uint32_t>(number) : 0;
}

void FillUnits() {
  HWND combo = Item(IDC_AUTO_SEARCH_UNIT);
  const int texts[kUnitCount] = {IDS_UNIT_NO_LIMIT, IDS_UNIT_MINUTES, IDS_UNIT_TIMES, IDS_UNIT_RESULTS};
  for (int id : texts) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ModuleString(id).c_str()));
  // A stored unit outside the list reads as "No limit".
  if (CurrentLastState.AutoSearchMoreUnit >= kUnitCount) CurrentLastState.AutoSearchMoreUnit = kUnitNoLimit;
  SendMessageA(combo, CB_SETCURSEL, CurrentLastState.AutoSearchMoreUnit, 0);
}

// ---- panel dialog procedure ----

BOOL OnInitPanel(HWND panel) {
  Panel.panel = panel;
  Panel.group = GetDlgItem(panel, IDC_PANEL_GROUP);
  char title[kTextCapacity] = "";
  GetWindowTextA(Panel.group, title, kTextCapacity);
  Panel.titleBase = std::string(title) + kTitleSeparator;
  if (Panel.titleBase.size() > kTitleBaseMax) Panel.titleBase.resize(kTitleBaseMax);
  Panel.collapsedBitmap = static_cast<HBITMAP>(
      LoadImageA(ModuleInstance, MAKEINTRESOURCEA(IDB_REORDER_UP), IMAGE_BITMAP, 0, 0, kBitmapLoadFlags));
  Panel.expandedBitmap = static_cast<HBITMAP>(
      LoadImageA(ModuleInstance, MAKEINTRESOURCEA(IDB_REORDER_DOWN), IMAGE_BITMAP, 0, 0, kBitmapLoadFlags));
  Panel.whiteBrush = CreateSolidBrush(kWhite);
  Panel.numberProc = Subclass(Item(IDC_AUTO_SEARCH_NUMBER), NumberEditProc);
  Panel.unitProc = Subclass(Item(IDC_AUTO_SEARCH_UNIT), UnitComboProc);
  FillUnits();
  if (CurrentLastState.SearchOptShow == 0) PlacePanel(true);
  else Panel.collapsed = false;
  ShowToggleBitmap();
  CheckDlgButton(panel, IDC_AUTO_SEARCH_MORE, CurrentLastState.AutoSearchMore == 1 ? BST_CHECKED : BST_UNCHECKED);
  SetDlgItemTextA(panel, IDC_AUTO_SEARCH_NUMBER, std::to_string(CurrentLastState.AutoSearchMoreNum).c_str());
  OnAutoSearchClicked();
  return TRUE;
}

void OnPanelCommand(WPARAM wParam) {
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  switch (id) {
    case IDC_PANEL_TOGGLE:
      if (code == BN_CLICKED) OnToggleClicked();
      break;
    case IDC_AUTO_SEARCH_MORE:
      if (code == BN_CLICKED) OnAutoSearchClicked();
      break;
    case IDC_AUTO_SEARCH_NUMBER:
      if (code == EN_CHANGE) OnNumberChanged();
      break;
    case IDC_AUTO_SEARCH_UNIT:
      if (code == CBN_SELCHANGE) OnUnitChosen();
      break;
  }
}

INT_PTR OnPanelColor(HDC dc) {
  SetBkColor(dc, kWhite);
  return reinterpret_cast<INT_PTR>(Panel.whiteBrush);
}

void OnPanelDestroy() {
  // The children are destroyed after the panel: they get their own procedures back first.
  if (Panel.numberProc) Subclass(Item(IDC_AUTO_SEARCH_NUMBER), Panel.numberProc);
  if (Panel.unitProc) Subclass(Item(IDC_AUTO_SEARCH_UNIT), Panel.unitProc);
  if (Panel.expandedBitmap) DeleteObject(Panel.expandedBitmap);
  if (Panel.collapsedBitmap) DeleteObject(Panel.collapsedBitmap);
  if (Panel.whiteBrush) DeleteObject(Panel.whiteBrush);
  Panel = PanelRecord{};
  SearchPanel = nullptr;
  StatusGroup = nullptr;
}

INT_PTR CALLBACK SearchPanelProc(HWND panel, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: return OnInitPanel(panel);
    case WM_COMMAND: OnPanelCommand(wParam); return TRUE;
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN: return OnPanelColor(reinterpret_cast<HDC>(wParam));
    case WM_DESTROY: OnPanelDestroy(); return FALSE;
  }
  return FALSE;
}

// ---- the search form's hook ----

void OnSearchFormInit(HWND form) {
  if (GetDlgItem(form, kSearchPanelId)) return;  // one panel per search form
  HWND panel = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_SEARCH_PANEL), form, SearchPanelProc, 0);
  if (!panel) return;
  SetWindowLongPtrA(panel, GWLP_ID, kSearchPanelId);
  ShowWindow(panel, SW_SHOW);
  SearchPanel = panel;
  HWND status = GetDlgItem(form, host::kSearchStatusId);
  if (status && status != HookedStatus) {
    HookedStatus = status;
    PreviousStatusProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(status, GWLP_WNDPROC));
    auto old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(status, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchStatusHook)));
    if (old) PreviousStatusProc = old;
    SendMessageA(status, InitMessage, 0, 0);
  }
}

// True when the command is consumed.
bool OnSearchFormCommand(HWND form, WPARAM wParam) {
  switch (LOWORD(wParam)) {
    case host::kSearchButtonId:
    case host::kSearchMoreButtonId: StartAutoSearchMoreIfAllowed(form); return false;
    case host::kSearchStopId:
      // With Shift held the user stops only the automatic pressing, not the search.
      return StopAutoSearchMore() && (GetKeyState(VK_SHIFT) & 0x8000) != 0;
  }
  return false;
}

// Asks the search form's hook, on the host's UI thread, for a status bar pane:
// wParam the pane, lParam the std::string that receives it.
UINT ReadStatusPaneMessage() {
  static const UINT message = RegisterWindowMessageA("VAExtensions.ReadStatusPane");
  return message;
}

// Called on the status bar's own thread: nothing changes the text between the
// two requests. SB_GETTEXT takes no size, so the buffer has room for the length
// just read and its end is forced to NUL.
std::string ReadStatusPaneOnUiThread(int pane) {
  HWND bar = GetDlgItem(HostMainWindow, host::kStatusBarId);
  if (!bar) return "";
  const size_t length = LOWORD(SendMessageA(bar, SB_GETTEXTLENGTHA, static_cast<WPARAM>(pane), 0));
  std::string text(length + 1, '\0');
  SendMessageA(bar, SB_GETTEXTA, static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(text.data()));
  text.back() = '\0';
  text.resize(std::char_traits<char>::length(text.c_str()));
  return text;
}

LRESULT OnReadStatusPane(WPARAM pane, LPARAM target) {
  if (target) *reinterpret_cast<std::string*>(target) = ReadStatusPaneOnUiThread(static_cast<int>(pane));
  return 1;
}

}  // namespace

std::string HostStatusPaneText(HWND form, int pane) {
  HWND bar = HostMainWindow ? GetDlgItem(HostMainWindow, host::kStatusBarId) : nullptr;
  if (!bar) return "";
  if (GetWindowThreadProcessId(bar, nullptr) == GetCurrentThreadId()) return ReadStatusPaneOnUiThread(pane);
  // From another thread only the UI thread may read it; without the hooked form
  // there is no safe way, and no text.
  if (!form || ReadStatusPaneMessage() == 0) return "";
  std::string text;
  SendMessageA(form, ReadStatusPaneMessage(), static_cast<WPARAM>(pane), reinterpret_cast<LPARAM>(&text));
  return text;
}

LRESULT CALLBACK SearchFormHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= 0xC000 && message == ReadStatusPaneMessage()) return OnReadStatusPane(wParam, lParam);
  switch (message) {
    case InitMessage: OnSearchFormInit(window); break;
    case WM_DESTROY: HostWindowLost(HostView::Search); break;  // a form made again is hooked anew
    case WM_COMMAND:
      if (OnSearchFormCommand(window, wParam)) return 0;
      break;
  }
  return CallWindowProcA(PreviousSearchProc, window, message, wParam, lParam);
}

LRESULT CALLBACK SearchStatusHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case InitMessage: StatusGroup = Panel.group; break;
    case WM_SETTEXT:
      if (lParam && StatusGroup) {
        const std::string title = Panel.titleBase + reinterpret_cast<const char*>(lParam);
        SetWindowTextA(StatusGroup, title.c_str());
      }
      break;
  }
  return CallWindowProcA(PreviousStatusProc, window, message, wParam, lParam);
}

void SetSearchPanelRunning(bool running) {
  HWND panel = SearchPanel;
  if (!panel) return;
  HWND box = GetDlgItem(panel, IDC_AUTO_SEARCH_MORE);
  if (running) {
    EnableWindow(box, FALSE);
    EnableWindow(GetDlgItem(panel, IDC_AUTO_SEARCH_NUMBER), FALSE);
    EnableWindow(GetDlgItem(panel, IDC_AUTO_SEARCH_UNIT), FALSE);
    return;
  }
  EnableWindow(box, TRUE);
  SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_AUTO_SEARCH_MORE, BN_CLICKED), reinterpret_cast<LPARAM>(box));
}

bool AutoSearchBoxEnabled() {
  HWND panel = SearchPanel;
  return !panel || IsWindowEnabled(GetDlgItem(panel, IDC_AUTO_SEARCH_MORE));
}

}  // namespace va
