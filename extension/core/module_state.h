// module_state: process-wide values of the extension module.
#pragma once
#include <windows.h>

namespace va {
// The module's own instance: own menus, dialogs, strings and icons load from it.
extern HINSTANCE ModuleInstance;
}  // namespace va
