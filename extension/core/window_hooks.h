// window_hooks: the window procedures that replace the host's own: on the main
// frame (installed by AttachToHost) and on the Search window, Traffic window and
// library pane (installed by the finder). Each passes what it does not handle to
// the previous procedure kept in module_state and does its own set-up when
// InitMessage reaches it; the main frame's set-up is InitAfterAttach.
#pragma once
#include <windows.h>

namespace va {
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK SearchFormHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK TrafficWindowHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK LibraryPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
}  // namespace va
