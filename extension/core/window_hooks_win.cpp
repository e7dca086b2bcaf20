// window_hooks_win: pass-through stand-ins for the hooks declared in window_hooks.h
// (MainWindowProc lives in extension/hostui, LibraryPaneProc in extension/menus),
// so the module can hook the host's windows before their features exist. Each
// stand-in is deleted here when its feature brings the real procedure:
// SearchFormHook with the search options panel, TrafficWindowHook with the
// download context menus.
#include "extension/core/attach.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"

namespace va {

LRESULT CALLBACK SearchFormHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) return 0;
  return CallWindowProcA(PreviousSearchProc, window, message, wParam, lParam);
}

LRESULT CALLBACK TrafficWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) return 0;
  return CallWindowProcA(PreviousTrafficProc, window, message, wParam, lParam);
}

}  // namespace va
