// module_state: definitions of the process-wide values.
#include "extension/core/module_state.h"

namespace va {
HINSTANCE ModuleInstance = nullptr;
HMODULE HostResourceModule = nullptr;
char CaptionText[kCaptionTextSize] = {};
HWND HostMainWindow = nullptr;
WNDPROC PreviousMainProc = nullptr;
HWND MDIClientWindow = nullptr;
WNDPROC PreviousMDIClientProc = nullptr;
HWND SearchWindow = nullptr;
WNDPROC PreviousSearchProc = nullptr;
HWND TrafficWindow = nullptr;
WNDPROC PreviousTrafficProc = nullptr;
HWND LibraryPane = nullptr;
WNDPROC PreviousLibraryProc = nullptr;
HFONT MenuFont = nullptr;
UINT TaskbarCreatedMessage = 0;
}  // namespace va
