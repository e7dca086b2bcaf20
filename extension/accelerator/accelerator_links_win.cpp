// accelerator_links: the host windows and resources the accelerator reads from the
// module's attach state, gathered here so the accelerator depends on no other part.
#include "extension/accelerator/accelerator_win.h"
#include "extension/core/module_state.h"

namespace va {

HWND AcceleratorTrafficWindow() { return TrafficWindow; }
HWND AcceleratorHostMainWindow() { return HostMainWindow; }
HMODULE AcceleratorHostResources() { return HostResourceModule ? HostResourceModule : GetModuleHandleA(nullptr); }

}  // namespace va
