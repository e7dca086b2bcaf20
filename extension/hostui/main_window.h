// main_window: state of the main frame's procedure (MainWindowProc, declared in
// window_hooks.h) readable by tests, and the host window's live updates.
#pragma once
#include <windows.h>

#include "extension/core/window_hooks.h"  // declares MainWindowProc

namespace va {
// TrayClickPending and MenuGateClosed, readable for tests.
bool TrayClickIsPending();
bool MenuGateIsClosed();
// Fills the settings' live updates that belong to the host window (frame redraw,
// tray icon, ad banner, Tools placement, toolbar bitmap) and the accelerator's
// tray redraw.
void RegisterHostUiLiveUpdates();
}  // namespace va
