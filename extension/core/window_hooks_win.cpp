// window_hooks_win: pass-through stand-ins for the hooks declared in window_hooks.h
// (MainWindowProc lives in extension/hostui, LibraryPaneProc in extension/menus),
// so the module can hook the host's windows before their features exist. Each
// stand-in is replaced here when its feature brings the real procedure:
// SearchFormHook with the search options panel, TrafficWindowHook with the
// download context menus (which keeps the accelerator's start below).
#include "extension/accelerator/accelerator_win.h"
#include "extension/core/attach.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"

namespace va {

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

}  // namespace va
