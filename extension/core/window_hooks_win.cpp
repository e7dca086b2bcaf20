// window_hooks_win: pass-through stand-ins for the hooks declared in window_hooks.h
// (MainWindowProc lives in extension/hostui, LibraryPaneProc in extension/menus),
// so the module can hook the host's windows before their features exist. Each
// stand-in is replaced here when its feature brings the real procedure:
// SearchFormHook with the search options panel. TrafficWindowHook is in
// extension/accelerator/download_menu_win.cpp.
#include "extension/accelerator/accelerator_win.h"
#include "extension/core/attach.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"

namespace va {

LRESULT CALLBACK SearchFormHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == InitMessage) return 0;
  return CallWindowProcA(PreviousSearchProc, window, message, wParam, lParam);
}

}  // namespace va
