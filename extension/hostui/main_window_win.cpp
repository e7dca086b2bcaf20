// main_window_win: MainWindowProc, the switchboard on the host's UI thread: the
// title-bar button, the close box, the tray icon's mouse messages, the menus'
// upkeep and the commands of every item the module adds. Whatever it does not
// consume goes to the host's previous procedure with unchanged arguments.
#include "extension/hostui/main_window.h"

#include <windowsx.h>

#include "common/extension_options.h"
#include "extension/accelerator/download_requests_win.h"
#include "extension/core/addon_host.h"
#include "extension/core/attach.h"
#include "extension/core/host_ids.h"
#include "extension/core/shutdown.h"
#include "extension/core/module_state.h"
#include "extension/hostui/feature_links_win.h"
#include "extension/hostui/host_actions_win.h"
#include "extension/hostui/host_layout_win.h"
#include "extension/hostui/host_menus_win.h"
#include "extension/hostui/theme_win.h"
#include "extension/hostui/title_button_win.h"
#include "extension/hostui/tray_icon_win.h"
#include "extension/hostui/tray_menu_win.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

// The host's last two toolbar buttons, changed by ChangeToolbarBehave.
constexpr int kCmdToolbarSharedFolder = 32991;
constexpr int kCmdToolbarTools = 32973;

bool trayClickPending = false;  // TrayClickPending
bool menuGateClosed = false;    // MenuGateClosed

// Command ranges and bases.
constexpr int kToolFirst = 10000, kToolLast = 10031;
constexpr int kPreviewFirst = 10500, kPreviewLast = 10531;
constexpr int kResumeFirst = 11301, kResumeLast = 11305;
constexpr int kPauseFirst = 11201, kPauseLast = 11206;
constexpr int kQuickLinkBase = 11450, kQuickLinkFirst = 11451, kQuickLinkLast = 11455;
constexpr int kFindMoreTitle = 11251, kFindMoreFileName = 11252;
// Download selectors of the bulk commands, in menu order.
constexpr int kResumeSelectors[] = {1, 2, 3, 4, 5};
constexpr int kPauseSelectors[] = {1, 6, 7, 2, 4, 5};

bool ChangeSystemButton() { return CurrentOptions.ChangeSystemBtn != 0; }

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(PreviousMainProc, window, message, wParam, lParam);
}

POINT ClientToScreenPoint(HWND window, LPARAM lParam) {
  POINT p = {GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  ClientToScreen(window, &p);
  return p;
}

POINT ScreenPoint(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

void DrawButtonUp(HWND window, LONG up) {
  TitleButton.buttonUp = up;
  DrawTitleButton(window);
}

void ShowMessageText(HWND owner, UINT id, UINT flags, int* answer) {
  char text[256] = "";
  LoadStringA(ModuleInstance, id, text, sizeof text);
  *answer = MessageBoxA(owner, text, CaptionText, flags);
}

// ---- title bar and frame ----

LRESULT OnPaint(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  InstallMenus(window, 0);
  if (!ChangeSystemButton()) return PassOn(window, message, wParam, lParam);
  LRESULT result = PassOn(window, message, wParam, lParam);
  ComputeTitleButtonRect(window);
  DrawTitleButton(window);
  return result;
}

LRESULT OnNcActivate(HWND window, WPARAM wParam, LPARAM lParam) {
  ComputeTitleButtonRect(window);
  LRESULT result = PassOn(window, WM_NCACTIVATE, wParam, lParam);
  TitleButton.frameActive = static_cast<LONG>(wParam);
  DrawTitleButton(window);
  return result;
}

LRESULT OnNcHitTest(HWND window, WPARAM wParam, LPARAM lParam) {
  LONG hot = HitTitleButton(window, ScreenPoint(lParam));
  bool changed = hot != TitleButton.hot;
  TitleButton.hot = hot;
  if (changed && IsThemeActive()) DrawTitleButton(window);
  if (hot) return kHitTitleButton;
  return PassOn(window, WM_NCHITTEST, wParam, lParam);
}

LRESULT OnNcLButtonDown(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!HitTitleButton(window, ScreenPoint(lParam))) return PassOn(window, WM_NCLBUTTONDOWN, wParam, lParam);
  SetCapture(window);
  TitleButton.captured = 1;
  DrawButtonUp(window, 0);
  return 0;
}

LRESULT OnMouseMove(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!TitleButton.captured) return PassOn(window, WM_MOUSEMOVE, wParam, lParam);
  TitleButton.hot = HitTitleButton(window, ClientToScreenPoint(window, lParam));
  if (TitleButton.hot && TitleButton.buttonUp) DrawButtonUp(window, 0);
  else if (!TitleButton.hot && !TitleButton.buttonUp) DrawButtonUp(window, 1);
  return 0;
}

LRESULT OnLButtonUp(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!TitleButton.captured) return PassOn(window, WM_LBUTTONUP, wParam, lParam);
  ReleaseCapture();
  TitleButton.captured = 0;
  DrawButtonUp(window, 1);
  POINT at = ClientToScreenPoint(window, lParam);
  if (HitTitleButton(window, at)) SendMessageA(window, WM_SYSCOMMAND, kMinimizeToTray, MAKELPARAM(at.x, at.y));
  return 0;
}

void OnHoverTimer(HWND window) {
  POINT cursor;
  GetCursorPos(&cursor);
  LONG hot = HitTitleButton(window, cursor);
  if (hot != TitleButton.hot) {
    TitleButton.hot = hot;
    DrawTitleButton(window);
  }
}

LRESULT OnSysCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  const WPARAM command = wParam & 0xFFF0;
  if (command == kMinimizeToTray) {
    HideHostIntoTray(window);
    return 0;
  }
  if (command == SC_CLOSE) {
    // The close box goes through the host's exit (and its confirmation) with the
    // changed title bar; otherwise it only hides the host into the tray.
    if (ChangeSystemButton()) SendMessageA(window, WM_COMMAND, MAKEWPARAM(host::kCmdExit, 0), 0);
    else HideHostIntoTray(window);
    return 0;
  }
  return PassOn(window, WM_SYSCOMMAND, wParam, lParam);
}

LRESULT OnShowWindow(HWND window, WPARAM wParam, LPARAM lParam) {
  LinkStatusFollowMainShow(wParam != 0);
  if (!ChangeSystemButton()) return PassOn(window, WM_SHOWWINDOW, wParam, lParam);
  LRESULT result = PassOn(window, WM_SHOWWINDOW, wParam, lParam);
  UpdateTrayIcon(wParam ? kTrayRemove : kTrayAdd);
  return result;
}

// The system ends the process after this message without unloading the module:
// what the exit would store is stored now.
LRESULT OnEndSession(HWND window, WPARAM wParam, LPARAM lParam) {
  if (wParam) StoreStateForExit();
  return PassOn(window, WM_ENDSESSION, wParam, lParam);
}

LRESULT OnSize(HWND window, WPARAM wParam, LPARAM lParam) {
  LRESULT result = PassOn(window, WM_SIZE, wParam, lParam);
  LinkStatusFollowPanel();
  if (CurrentOptions.HideAdBanner) {
    LayoutWithoutAdBanner();
  } else if (HostSecondPanelWindow) {
    ShowWindow(HostSecondPanelWindow, SW_HIDE);
    DestroyWindow(HostSecondPanelWindow);
    HostSecondPanelWindow = nullptr;
  }
  return result;
}

LRESULT OnMove(HWND window, WPARAM wParam, LPARAM lParam) {
  LRESULT result = PassOn(window, WM_MOVE, wParam, lParam);
  LinkStatusFollowPanel();
  return result;
}

// ---- menus ----

LRESULT OnMenuItem(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MEASUREITEM) {
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    MeasureMenuHeading(measure);
    LinkMeasureToolItem(measure);
  } else {
    auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    DrawMenuHeading(draw);
    LinkDrawToolItem(draw);
  }
  return PassOn(window, message, wParam, lParam);
}

LRESULT OnInitMenu(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITMENU) InstallMenus(window, 0);
  LRESULT result = PassOn(window, message, wParam, lParam);
  HMENU menu = reinterpret_cast<HMENU>(wParam);
  UpdatePopupItems(menu);
  HMENU acceleratorPopup = LinkAcceleratorPopup();
  if (acceleratorPopup && menu == acceleratorPopup) {
    menuGateClosed = true;
    LinkHoldAccelerator(true);
  }
  return result;
}

LRESULT OnExitMenuLoop(HWND window, WPARAM wParam, LPARAM lParam) {
  if (menuGateClosed) {
    menuGateClosed = false;
    LinkHoldAccelerator(false);
  }
  return PassOn(window, WM_EXITMENULOOP, wParam, lParam);
}

void TrackMenuAtCursor(HWND window, HMENU menu) {
  if (!menu) return;
  POINT cursor;
  GetCursorPos(&cursor);
  TrackPopupMenu(menu, 0, cursor.x, cursor.y, 0, window, nullptr);
  PostMessageA(window, WM_NULL, 0, 0);
}

// ---- the tray icon ----

LRESULT OnTrayCallback(HWND window, WPARAM wParam, LPARAM lParam) {
  if (!ChangeSystemButton() && !CurrentOptions.ChangeTrayMenu) return PassOn(window, kTrayCallbackMessage, wParam, lParam);
  switch (LOWORD(lParam)) {
    case WM_RBUTTONUP:
    case WM_CONTEXTMENU:
      SetForegroundWindow(window);
      TrackMenuAtCursor(window, TrayMenu);
      return 0;
    case WM_LBUTTONDBLCLK:
      trayClickPending = true;
      return 0;
    case WM_LBUTTONUP:
      // A plain click (no double click before it) is the host's to answer.
      if (!trayClickPending) break;
      trayClickPending = false;
      RestoreHostWindow(window);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
      return 0;
  }
  return PassOn(window, kTrayCallbackMessage, wParam, lParam);
}

// ---- commands ----

// Exit: confirmed when AskExit; then the tray icon goes and the host exits.
bool ConfirmExit(HWND window) {
  if (CurrentOptions.AskExit) {
    int answer = IDYES;
    ShowMessageText(window, IDS_ASK_EXIT, MB_YESNO | MB_ICONQUESTION, &answer);
    if (answer == IDNO) return false;
  }
  UpdateTrayIcon(kTrayExit);
  if (CurrentOptions.ChangeTrayMenu) ReleaseTrayMenuResources();
  return true;
}

void ToggleAlwaysOnTop(HWND window) {
  const bool topmost = CurrentLastState.AlwaysOnTop != 0;
  SetWindowPos(window, topmost ? HWND_NOTOPMOST : HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  CurrentLastState.AlwaysOnTop = topmost ? 0 : 1;
}

void ToggleHostWindow(HWND window) {
  if (IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
  else RestoreHostWindow(window);
}

// Returns true when the command is consumed.
bool OnModuleCommand(HWND window, int id) {
  if (id >= kToolFirst && id <= kToolLast) return LinkRunTool(window, id - kToolFirst), true;
  if (id >= kPreviewFirst && id <= kPreviewLast) return LinkPreviewWithTool(id - kPreviewFirst), true;
  if (id >= kResumeFirst && id <= kResumeLast)
    return LinkBulkDownloadCommand(kBulkResume, kResumeSelectors[id - kResumeFirst]), true;
  if (id >= kPauseFirst && id <= kPauseLast)
    return LinkBulkDownloadCommand(kBulkPause, kPauseSelectors[id - kPauseFirst]), true;
  if (id >= kQuickLinkFirst && id <= kQuickLinkLast) return LinkStartQuickLinks(id - kQuickLinkBase), false;
  switch (id) {
    case IDM_HOST_OPTIONS: LinkOpenOptionsDialog(window, 0); return true;
    case IDM_ACCEL_OPTIONS: LinkOpenOptionsDialog(window, kOptionsAcceleratorPage); return true;
    case IDM_HOST_STATUS_WINDOW: LinkToggleStatusWindow(window); return true;
    case IDM_HOST_ALWAYS_ON_TOP: ToggleAlwaysOnTop(window); return false;
    case IDM_HOST_JUMP_SUPERNODE:
    case IDM_TRAY_JUMP_SUPERNODE: JumpSuperNode(window); return true;
    case IDM_TRAY_WINDOW: ToggleHostWindow(window); return true;
    case IDM_TRAY_EXIT: SendMessageA(window, WM_COMMAND, MAKEWPARAM(host::kCmdExit, 0), 0); return true;
    case IDM_TRAY_SHARED_FOLDER: OpenSharedFolder(window); return true;
    case IDM_ACCEL_TOGGLE: LinkToggleAccelerator(); return false;
    case IDM_HOST_REORDER: LinkReorderDownloads(window); return false;
    case kFindMoreTitle: LinkFindMoreFromSame(1); return false;
    case kFindMoreFileName: LinkFindMoreFromSame(2); return false;
    case IDM_SHELL_OPEN: LinkShellOpenSelected(); return false;
  }
  return false;
}

// Host commands the module changes. Returns true when consumed.
bool OnHostCommand(HWND window, int id) {
  switch (id) {
    case kCmdToolbarSharedFolder:
      if (!CurrentOptions.ChangeToolbarBehave) return false;
      OpenSharedFolder(window);
      return true;
    case kCmdToolbarTools:
      if (!CurrentOptions.ChangeToolbarBehave) return false;
      TrackMenuAtCursor(window, LinkMainToolsMenu());
      return true;
    case host::kCmdExit: return !ConfirmExit(window);
    case host::kCmdAbout: ShowAboutBox(window); return true;
    case host::kCmdNewSearch: LinkStopAutoSearch(); return false;
  }
  return false;
}

LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  const int id = LOWORD(wParam);
  if (OnHostCommand(window, id) || OnModuleCommand(window, id)) return 0;
  return PassOn(window, WM_COMMAND, wParam, lParam);
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message >= 0xC000 && message == TrayUpdateMessage()) {
    UpdateTrayIcon(static_cast<int>(wParam));
    return 0;
  }
  if (message >= 0xC000 && message == DownloadRequestMessage()) return AnswerDownloadRequest(lParam);
  if (message == TaskbarCreatedMessage && TaskbarCreatedMessage != 0) {
    UpdateTrayIcon(kTrayRecreate);
    return PassOn(window, message, wParam, lParam);
  }
  switch (message) {
    case InitMessage:
      InitAfterAttach(window);
      break;
    case WM_NCPAINT:
    case WM_PAINT:
      return OnPaint(window, message, wParam, lParam);
    case WM_NCACTIVATE:
      if (ChangeSystemButton()) return OnNcActivate(window, wParam, lParam);
      break;
    case WM_NCHITTEST:
      if (ChangeSystemButton()) return OnNcHitTest(window, wParam, lParam);
      break;
    case WM_NCLBUTTONDOWN:
      if (ChangeSystemButton()) return OnNcLButtonDown(window, wParam, lParam);
      break;
    case WM_NCRBUTTONDOWN:
      if (ChangeSystemButton() && HitTitleButton(window, ScreenPoint(lParam))) return 0;
      break;
    case WM_MOUSEMOVE:
      if (ChangeSystemButton()) return OnMouseMove(window, wParam, lParam);
      break;
    case WM_LBUTTONUP:
      if (ChangeSystemButton()) return OnLButtonUp(window, wParam, lParam);
      break;
    case WM_TIMER:
      if (ChangeSystemButton() && wParam == kHoverTimer && IsThemeActive()) OnHoverTimer(window);
      break;
    case WM_SYSCOMMAND:
      return OnSysCommand(window, wParam, lParam);
    case WM_SHOWWINDOW:
      return OnShowWindow(window, wParam, lParam);
    case WM_ENDSESSION:
      return OnEndSession(window, wParam, lParam);
    case WM_DESTROY:
      StoreStateForExit();  // the host is exiting
      break;
    case WM_ACTIVATE:
      if (LinkStatusOnMainActivate(window, wParam, lParam)) return 0;
      break;
    case WM_MOVE:
      return OnMove(window, wParam, lParam);
    case WM_SIZE:
      return OnSize(window, wParam, lParam);
    case WM_MEASUREITEM:
    case WM_DRAWITEM:
      return OnMenuItem(window, message, wParam, lParam);
    case WM_INITMENU:
    case WM_INITMENUPOPUP:
      return OnInitMenu(window, message, wParam, lParam);
    case WM_EXITMENULOOP:
      return OnExitMenuLoop(window, wParam, lParam);
    case kTrayCallbackMessage:
      return OnTrayCallback(window, wParam, lParam);
    case WM_COMMAND:
      return OnCommand(window, wParam, lParam);
  }
  return PassOn(window, message, wParam, lParam);
}

bool TrayClickIsPending() { return trayClickPending; }
bool MenuGateIsClosed() { return menuGateClosed; }

}  // namespace va
