// attach: how the module joins the host: AttachToHost on the first ServiceShow,
// InitAfterAttach when InitMessage reaches the main frame, and the thread that
// waits for the host's Search, Traffic and library windows.
#pragma once
#include <windows.h>

#include "extension/core/window_finder.h"

namespace va {

// Called by ServiceShow while the module is not attached; `window` is the host's
// panel, whose parent is the main frame. A window without a parent attaches
// nothing, so a later ServiceShow can still attach.
void AttachToHost(HWND window);
// The main frame's one-time set-up, on the host's UI thread.
void InitAfterAttach(HWND mainWindow);
DWORD WINAPI WindowFinderThread(LPVOID);
// A hooked host window was destroyed (HostWindowLost, on the UI thread); when
// the host then makes a new window (LookForLostHostWindows, from the MDI client),
// one in its place is found and hooked like the first. No thread runs while
// nothing is made, so a host that closes its windows as it exits starts none.
void HostWindowLost(HostView view);
void LookForLostHostWindows();
// Tells the status window that a host window was found.
void ReportHostWindowFound(HostView view);

}  // namespace va
