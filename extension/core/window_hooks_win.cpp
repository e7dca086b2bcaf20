// window_hooks_win: pass-through stand-ins for the procedures declared in
// window_hooks.h, so the module can attach and hook the host's windows before
// their features exist. Each stand-in is deleted here when its feature brings the
// real procedure: MainWindowProc with the main window subclass (which must still
// call InitAfterAttach on InitMessage), SearchFormHook with the search options
// panel, TrafficWindowHook with the download context menus, LibraryPaneProc with
// the file manager context menu.
#include "extension/accelerator/accelerator_win.h"
#include "extension/core/attach.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/resources/resource.h"
#include "extension/windows/status_window_win.h"

namespace va {

namespace {

LRESULT PassOn(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(PreviousMainProc, window, message, wParam, lParam);
}

// The commands of the status window and the accelerator; the rest of the main
// window's command dispatch comes with the main window subclass.
LRESULT OnMainCommand(HWND window, WPARAM wParam, LPARAM lParam) {
  switch (LOWORD(wParam)) {
    case IDM_STATUS_WINDOW: ToggleStatusWindow(window); return 0;
    case IDM_ACCELERATOR_TOGGLE: ToggleAccelerator(); break;
  }
  return PassOn(window, WM_COMMAND, wParam, lParam);
}

LRESULT OnMainActivate(HWND window, WPARAM wParam, LPARAM lParam) {
  if (StatusWindowOnMainActivate(window, wParam, lParam)) return 0;
  return PassOn(window, WM_ACTIVATE, wParam, lParam);
}

LRESULT OnMainShowWindow(HWND window, WPARAM wParam, LPARAM lParam) {
  StatusWindowFollowMainShow(wParam != 0);
  return PassOn(window, WM_SHOWWINDOW, wParam, lParam);
}

LRESULT OnMainMoveOrSize(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const LRESULT result = PassOn(window, message, wParam, lParam);
  StatusWindowFollowPanel();
  return result;
}

}  // namespace

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) {
    InitAfterAttach(window);
    return 0;
  }
  switch (message) {
    case WM_COMMAND: return OnMainCommand(window, wParam, lParam);
    case WM_ACTIVATE: return OnMainActivate(window, wParam, lParam);
    case WM_SHOWWINDOW: return OnMainShowWindow(window, wParam, lParam);
    case WM_MOVE:
    case WM_SIZE: return OnMainMoveOrSize(window, message, wParam, lParam);
  }
  return PassOn(window, message, wParam, lParam);
}

LRESULT CALLBACK SearchFormHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) return 0;
  return CallWindowProcA(PreviousSearchProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TrafficWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) {
    // The accelerator's gate comes with the Traffic window; an accelerator that
    // was on when the host last ended starts again now.
    CreateAcceleratorGate();
    StartAcceleratorIfWasOn();
    return 0;
  }
  return CallWindowProcA(PreviousTrafficProc, window, message, wParam, lParam);
}

LRESULT CALLBACK LibraryPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) return 0;
  return CallWindowProcA(PreviousLibraryProc, window, message, wParam, lParam);
}

}  // namespace va
