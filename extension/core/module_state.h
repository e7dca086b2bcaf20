// module_state: process-wide values of the extension module. Window handles are
// written once (0 means not found yet); the finder thread writes the three host
// window handles, the UI thread reads them.
#pragma once
#include <windows.h>

namespace va {

// The module's own instance: own menus, dialogs, strings and icons load from it.
extern HINSTANCE ModuleInstance;
// The host's resources (strings, tray icon, menus 219 and 222, dialog 100).
extern HMODULE HostResourceModule;
inline constexpr size_t kCaptionTextSize = 128;
// Caption of every message box of the module.
extern char CaptionText[kCaptionTextSize];

extern HWND HostMainWindow;
// Non-zero once the main frame is subclassed: the module is attached.
extern WNDPROC PreviousMainProc;
extern HWND MDIClientWindow;
extern WNDPROC PreviousMDIClientProc;
extern HWND SearchWindow;
extern WNDPROC PreviousSearchProc;
extern HWND TrafficWindow;
extern WNDPROC PreviousTrafficProc;
extern HWND LibraryPane;
extern WNDPROC PreviousLibraryProc;
extern HFONT MenuFont;
extern UINT TaskbarCreatedMessage;

// Posted (both parameters 0) to each host window right after it is subclassed.
inline constexpr UINT InitMessage = WM_USER + 1000;

}  // namespace va
