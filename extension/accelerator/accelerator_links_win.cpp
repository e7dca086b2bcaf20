// accelerator_links: the host windows and resources the accelerator reads from the
// module's attach state, gathered here so the accelerator depends on no other part.
#include "extension/accelerator/accelerator_win.h"

namespace va {

HWND AcceleratorTrafficWindow() { return nullptr; }
HWND AcceleratorHostMainWindow() { return nullptr; }
HMODULE AcceleratorHostResources() { return GetModuleHandleA(nullptr); }

}  // namespace va
