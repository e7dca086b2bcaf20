// status_window: the frame (dialog 300), its three pages (301, 302, 399), docking,
// and the entry points other parts use to write into it.
#include "extension/windows/status_window_win.h"

#include <commctrl.h>

#include <string>

#include "extension/core/hidden_text.h"
#include "extension/core/module_state.h"
#include "extension/hostui/icon_images_win.h"
#include "extension/resources/resource.h"
#include "extension/windows/dialog_units.h"
#include "extension/windows/fixed_dialog_win.h"

namespace va {

HWND StatusWindow = nullptr;

namespace {

constexpr int kDotsPerInch = 96;
constexpr int kStoredTextSize = 128;
constexpr int kProgressRange = 10000;
constexpr int kPageIds[] = {IDD_STATUS_SEARCH, IDD_STATUS_ACCELERATOR, IDD_STATUS_ABOUT};
constexpr char kAboutFace[] = "Verdana";
constexpr int kAboutTitlePoints = 9;
constexpr int kAboutSmallPoints = 7;

HWND StatusOwner = nullptr;  // the host main window

std::string ModuleString(int id) {
  char buffer[256] = "";
  LoadStringA(ModuleInstance, static_cast<UINT>(id), buffer, sizeof(buffer));
  return buffer;
}

void SetItemString(HWND dialog, int controlId, int stringId) {
  SetDlgItemTextA(dialog, controlId, ModuleString(stringId).c_str());
}

// ---- page 301 "Search" ----

void OnInitSearchPage(HWND page) {
  const bool known = StatusSearchWindowKnown();
  SetItemString(page, IDC_SEARCH_WINDOW_STATE, known ? IDS_FOUND : IDS_NOT_FOUND);
  if (known) {
    SetItemString(page, IDC_AUTO_SEARCH_STATE, StatusAutoSearchBoxEnabled() ? IDS_INACTIVE : IDS_ACTIVE);
  } else {
    SetItemString(page, IDC_AUTO_SEARCH_STATE, IDS_NO_VALUE);
  }
  SetItemString(page, IDC_AUTO_SEARCH_TEXT, IDS_NO_VALUE);
  SetItemString(page, IDC_NOT_CONNECTED_STATE, IDS_NO_VALUE);
  SendDlgItemMessageA(page, IDC_AUTO_SEARCH_PROGRESS, PBM_SETRANGE32, 0, kProgressRange);
}

INT_PTR CALLBACK SearchPageProc(HWND page, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInitSearchPage(page); return TRUE;
  }
  return FALSE;
}

// ---- page 302 "Accelerator" ----

void OnInitAcceleratorPage(HWND page) {
  SetItemString(page, IDC_TRAFFIC_WINDOW_STATE, StatusTrafficWindowKnown() ? IDS_FOUND : IDS_NOT_FOUND);
  if (StatusAcceleratorStopped()) {
    SetItemString(page, IDC_NEXT_CYCLE, IDS_INACTIVE);
    SetItemString(page, IDC_LAST_ITEM, IDS_NO_VALUE);
    SetItemString(page, IDC_ACTION_TAKEN, IDS_NO_VALUE);
  }
}

INT_PTR CALLBACK AcceleratorPageProc(HWND page, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInitAcceleratorPage(page); return TRUE;
  }
  return FALSE;
}

// ---- page 399 "About": built at run time ----

struct AboutResources {
  HFONT titleFont = nullptr;
  HFONT smallFont = nullptr;
  HICON icon = nullptr;
};
AboutResources About;

HFONT CreatePointFont(const char* face, int points) {
  LOGFONTA font = {};
  font.lfHeight = FontHeightForPoints(points, kDotsPerInch);
  lstrcpynA(font.lfFaceName, face, LF_FACESIZE);
  return CreateFontIndirectA(&font);
}

HWND AddStatic(HWND page, DWORD style, const char* text, RECT units, HFONT font) {
  MapFixedDialogRect(page, &units);
  HWND control = CreateWindowExA(0, "Static", text, WS_CHILD | WS_VISIBLE | style, units.left, units.top,
                                 units.right - units.left, units.bottom - units.top, page, nullptr, ModuleInstance,
                                 nullptr);
  if (control && font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  return control;
}

std::string StoredText(int number) {
  char buffer[kStoredTextSize] = "";
  if (!DecodeHiddenText(number, buffer, sizeof(buffer))) buffer[0] = '\0';
  return buffer;
}

void OnInitAboutPage(HWND page) {
  About.titleFont = CreatePointFont(kAboutFace, kAboutTitlePoints);
  About.smallFont = CreatePointFont(kAboutFace, kAboutSmallPoints);
  About.icon = LoadStatusIcon();
  HWND icon = AddStatic(page, SS_ICON, "", RECT{2, 2, 24, 22}, nullptr);
  if (icon && About.icon) SendMessageA(icon, STM_SETICON, reinterpret_cast<WPARAM>(About.icon), 0);
  const std::string title = StoredText(kCaptionTextNumber) + " v" + "0" + "." + "56" + "a";
  AddStatic(page, SS_LEFT, title.c_str(), RECT{30, 2, 198, 13}, About.titleFont);
  AddStatic(page, SS_LEFT, StoredText(kProductLineNumber).c_str(), RECT{30, 14, 198, 23},
            reinterpret_cast<HFONT>(SendMessageA(page, WM_GETFONT, 0, 0)));
  AddStatic(page, SS_LEFT, StoredText(3).c_str(), RECT{2, 40, 198, 48}, About.smallFont);
  AddStatic(page, SS_LEFT, StoredText(4).c_str(), RECT{2, 50, 198, 58}, About.smallFont);
}

void OnDestroyAboutPage() {
  if (About.titleFont) DeleteObject(About.titleFont);
  if (About.smallFont) DeleteObject(About.smallFont);
  if (About.icon) DestroyIcon(About.icon);
  About = AboutResources{};
}

INT_PTR CALLBACK AboutPageProc(HWND page, UINT message, WPARAM, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInitAboutPage(page); return TRUE;
    case WM_DESTROY: OnDestroyAboutPage(); return FALSE;
  }
  return FALSE;
}

// ---- the frame ----

POINT FloatingOuterPosition() {
  POINT p;
  p.x = StatusPlace().left - GetSystemMetrics(SM_CXDLGFRAME);
  p.y = StatusPlace().top - GetSystemMetrics(SM_CYDLGFRAME) - GetSystemMetrics(SM_CYSMCAPTION);
  if (p.x < 0) p.x = 0;
  if (p.y < 0) p.y = 0;
  return p;
}

bool IsPageId(uint32_t id) {
  for (int page : kPageIds) {
    if (static_cast<uint32_t>(page) == id) return true;
  }
  return false;
}

void ShowPage(HWND frame, uint32_t pageId) {
  for (int page : kPageIds) {
    ShowWindow(GetDlgItem(frame, page), static_cast<uint32_t>(page) == pageId ? SW_SHOW : SW_HIDE);
  }
}

void OnPageListChange(HWND frame) {
  HWND list = GetDlgItem(frame, IDC_STATUS_PAGE_LIST);
  const LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return;
  const auto pageId = static_cast<uint32_t>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  ShowPage(frame, pageId);
  StatusPage() = pageId;
}

void OnDockClicked(HWND frame) {
  StatusPlace().docked = StatusPlace().docked ? 0 : 1;
  ApplyDockMode();
  SetFocus(GetDlgItem(frame, IDC_STATUS_PAGE_LIST));
}

INT_PTR OnFrameCommand(HWND frame, WPARAM wParam) {
  const int id = LOWORD(wParam), code = HIWORD(wParam);
  if (id == IDC_STATUS_PAGE_LIST && code == LBN_SELCHANGE) OnPageListChange(frame);
  if (id == IDC_STATUS_DOCK && code == BN_CLICKED) OnDockClicked(frame);
  return TRUE;
}

INT_PTR OnFrameMove(LPARAM lParam) {
  if (StatusPlace().docked == 0) {
    StatusPlace().left = static_cast<short>(LOWORD(lParam));
    StatusPlace().top = static_cast<short>(HIWORD(lParam));
  }
  return FALSE;
}

INT_PTR OnFrameSysCommand(HWND frame, WPARAM wParam) {
  if ((wParam & 0xFFF0) != SC_CLOSE) return FALSE;
  ShowWindow(frame, SW_HIDE);
  StatusPlace().shown = 0;
  SetWindowLongPtrA(frame, DWLP_MSGRESULT, 0);
  return TRUE;
}

INT_PTR OnFrameActivate(WPARAM wParam, LPARAM lParam) {
  if (StatusOwner && reinterpret_cast<HWND>(lParam) != StatusOwner) {
    SendMessageA(StatusOwner, WM_ACTIVATE, wParam, lParam);
  }
  return FALSE;
}

INT_PTR CALLBACK StatusFrameProc(HWND frame, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return TRUE;
    case WM_COMMAND: return OnFrameCommand(frame, wParam);
    case WM_MOVE: return OnFrameMove(lParam);
    case WM_SYSCOMMAND: return OnFrameSysCommand(frame, wParam);
    case WM_ACTIVATE: return OnFrameActivate(wParam, lParam);
    case WM_DESTROY: StatusWindow = nullptr; return FALSE;
  }
  return FALSE;
}

void FillPageList(HWND frame) {
  HWND list = GetDlgItem(frame, IDC_STATUS_PAGE_LIST);
  const int texts[] = {IDS_PAGE_SEARCH, IDS_PAGE_ACCELERATOR, IDS_PAGE_ABOUT};
  for (int i = 0; i < 3; ++i) {
    const LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ModuleString(texts[i]).c_str()));
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(index), kPageIds[i]);
  }
}

void CreatePages(HWND frame) {
  RECT area = {};
  GetWindowRect(GetDlgItem(frame, IDC_STATUS_PAGE_AREA), &area);
  MapWindowPoints(nullptr, frame, reinterpret_cast<POINT*>(&area), 2);
  const DLGPROC procs[] = {SearchPageProc, AcceleratorPageProc, AboutPageProc};
  for (int i = 0; i < 3; ++i) {
    HWND page = CreateFixedDialog(ModuleInstance, kPageIds[i], frame, procs[i], kDotsPerInch, 0);
    if (!page) continue;
    SetWindowLongPtrA(page, GWLP_ID, kPageIds[i]);
    SetWindowPos(page, nullptr, area.left, area.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void SelectRememberedPage(HWND frame) {
  int index = 0;
  for (int i = 0; i < 3; ++i) {
    if (static_cast<uint32_t>(kPageIds[i]) == StatusPage()) index = i;
  }
  if (!IsPageId(StatusPage())) StatusPage() = kPageIds[0];
  ShowPage(frame, StatusPage());
  SendDlgItemMessageA(frame, IDC_STATUS_PAGE_LIST, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

std::string ItemText(HWND dialog, int controlId) {
  char text[256] = "";
  GetDlgItemTextA(dialog, controlId, text, sizeof(text));
  return text;
}

// The finder may find a host window while the pages are being made: its texts
// are dropped then, because the window is not published yet. Once it is, a page
// that started before the find takes the found state now.
void CatchUpWithTheFinder(HWND frame) {
  const std::string found = ModuleString(IDS_FOUND);
  HWND search = GetDlgItem(frame, IDD_STATUS_SEARCH);
  if (search && StatusSearchWindowKnown() && ItemText(search, IDC_SEARCH_WINDOW_STATE) != found)
    OnInitSearchPage(search);
  HWND accelerator = GetDlgItem(frame, IDD_STATUS_ACCELERATOR);
  if (accelerator && StatusTrafficWindowKnown()) SetItemString(accelerator, IDC_TRAFFIC_WINDOW_STATE, IDS_FOUND);
}

HWND CreateStatusWindow(HWND owner) {
  HWND frame = CreateFixedDialog(ModuleInstance, IDD_STATUS_FRAME, owner, StatusFrameProc, kDotsPerInch, 0);
  if (!frame) return nullptr;
  StatusOwner = owner;
  FillPageList(frame);
  if (StatusHideAdBanner()) {
    // Docking takes the banner's place: without a banner the window floats.
    StatusPlace().docked = 0;
    EnableWindow(GetDlgItem(frame, IDC_STATUS_DOCK), FALSE);
  }
  CreatePages(frame);
  SelectRememberedPage(frame);
  StatusWindow = frame;
  CatchUpWithTheFinder(frame);
  if (StatusPlace().docked == 1) {
    ApplyDockMode();
  } else {
    const POINT p = FloatingOuterPosition();
    SetWindowPos(frame, nullptr, p.x, p.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return frame;
}

}  // namespace

void ToggleStatusWindow(HWND owner) {
  if (!StatusWindow && !CreateStatusWindow(owner)) return;
  if (IsWindowVisible(StatusWindow)) {
    ShowWindow(StatusWindow, SW_HIDE);
    StatusPlace().shown = 0;
  } else {
    ShowWindow(StatusWindow, SW_SHOWNOACTIVATE);
    StatusPlace().shown = 1;
  }
}

void SetStatusText(int pageId, int controlId, const char* text) {
  HWND frame = StatusWindow;
  if (!frame) return;
  HWND page = GetDlgItem(frame, pageId);
  if (page) SetDlgItemTextA(page, controlId, text);
}

LRESULT SendStatusItemMessage(int pageId, int controlId, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND frame = StatusWindow;
  if (!frame) return 0;
  HWND page = GetDlgItem(frame, pageId);
  return page ? SendDlgItemMessageA(page, controlId, message, wParam, lParam) : 0;
}

void ApplyDockMode() {
  HWND frame = StatusWindow;
  if (!frame) return;
  const LONG style = GetWindowLongA(frame, GWL_STYLE);
  constexpr UINT kFrameChange = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
  if (StatusPlace().docked == 0) {
    if ((style & WS_CAPTION) != WS_CAPTION) {
      SetWindowLongA(frame, GWL_STYLE, style | WS_CAPTION | WS_SYSMENU);
      RECT outer = {};
      GetWindowRect(frame, &outer);
      const int width = outer.right - outer.left + 2 * GetSystemMetrics(SM_CXDLGFRAME);
      const int height = outer.bottom - outer.top + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYSMCAPTION);
      const POINT p = FloatingOuterPosition();
      SetWindowPos(frame, nullptr, p.x, p.y, width, height, kFrameChange);
    }
    CheckDlgButton(frame, IDC_STATUS_DOCK, BST_UNCHECKED);
    return;
  }
  if (style & WS_CAPTION) {
    RECT client = {};
    GetClientRect(frame, &client);
    SetWindowLongA(frame, GWL_STYLE, style & ~(WS_CAPTION | WS_SYSMENU));
    RECT panel = {};
    HWND panelWindow = StatusPanelWindow();
    if (panelWindow && GetWindowRect(panelWindow, &panel)) {
      SetWindowPos(frame, nullptr, panel.left, panel.top, client.right, client.bottom, kFrameChange);
    } else {
      SetWindowPos(frame, nullptr, 0, 0, client.right, client.bottom, kFrameChange | SWP_NOMOVE);
    }
  }
  CheckDlgButton(frame, IDC_STATUS_DOCK, BST_CHECKED);
}

void StatusWindowFollowMainShow(bool shown) {
  if (StatusWindow && StatusPlace().shown) ShowWindow(StatusWindow, shown ? SW_SHOWNOACTIVATE : SW_HIDE);
}

bool StatusWindowOnMainActivate(HWND mainWindow, WPARAM wParam, LPARAM lParam) {
  HWND frame = StatusWindow;
  if (!frame) return false;
  if (LOWORD(wParam) == WA_INACTIVE && reinterpret_cast<HWND>(lParam) == frame) return true;
  if (LOWORD(wParam) == WA_ACTIVE) {
    HWND above = GetWindow(mainWindow, GW_HWNDPREV);
    if (above != frame) SetWindowPos(frame, above, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE);
  }
  return false;
}

void StatusWindowFollowPanel() {
  HWND frame = StatusWindow;
  HWND panelWindow = StatusPanelWindow();
  if (!frame || !panelWindow || StatusPlace().docked != 1) return;
  RECT panel = {}, client = {};
  GetWindowRect(panelWindow, &panel);
  GetClientRect(frame, &client);
  MoveWindow(frame, panel.left, panel.top, client.right, client.bottom, TRUE);
}

void StatusWindowHideAdBannerChanged(bool hidden) {
  HWND frame = StatusWindow;
  // The remembered place follows even while no window exists, so that a window
  // made later does not dock into a banner that is gone.
  if (hidden && StatusPlace().docked == 1) {
    StatusPlace().docked = 0;
    if (frame) ApplyDockMode();
  }
  if (frame) EnableWindow(GetDlgItem(frame, IDC_STATUS_DOCK), hidden ? FALSE : TRUE);
}

}  // namespace va
