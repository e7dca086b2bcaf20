// accelerator_links: the host windows and resources the accelerator reads from the
// module's attach state, and where it keeps "was on" for the next start.
#include "common/extension_options.h"
#include "extension/accelerator/accelerator_win.h"
#include "extension/core/module_state.h"

namespace va {

HWND AcceleratorTrafficWindow() { return TrafficWindow; }
HWND AcceleratorHostMainWindow() { return HostMainWindow; }
HMODULE AcceleratorHostResources() { return HostResourceModule ? HostResourceModule : GetModuleHandleA(nullptr); }
bool AcceleratorWasOnLastTime() { return CurrentLastState.Accelerator == 1; }
void RememberAcceleratorOn(bool on) { CurrentLastState.Accelerator = on ? 1 : 0; }

}  // namespace va
