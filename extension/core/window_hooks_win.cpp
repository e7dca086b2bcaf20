// window_hooks_win: pass-through stand-ins for the procedures declared in
// window_hooks.h, so the module can attach and hook the host's windows before
// their features exist. Each stand-in is deleted here when its feature brings the
// real procedure: MainWindowProc with the main window subclass (which must still
// call InitAfterAttach on InitMessage), SearchFormHook with the search options
// panel, TrafficWindowHook with the download context menus. (LibraryPaneProc is the
// file manager menu's, in extension/menus.)
#include "extension/core/attach.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/menus/menu_commands_win.h"

namespace va {

LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) {
    InitAfterAttach(window);
    return 0;
  }
  LRESULT result = 0;
  if (HandleToolAndFileMessage(window, message, wParam, lParam, result)) return result;
  return CallWindowProcA(PreviousMainProc, window, message, wParam, lParam);
}

LRESULT CALLBACK SearchFormHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) return 0;
  return CallWindowProcA(PreviousSearchProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TrafficWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) return 0;
  return CallWindowProcA(PreviousTrafficProc, window, message, wParam, lParam);
}

}  // namespace va
