// dll_main: the library entry point. Loading starts nothing; it only records the
// module's instance.
#include <windows.h>

#include "extension/core/module_state.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  va::ModuleInstance = instance;
  (void)reason;
  return TRUE;
}
