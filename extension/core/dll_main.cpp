// dll_main: the library entry point. Loading starts nothing; it only records the
// module's instance. Unloading (process end or release) runs the shutdown, which
// ends the process.
#include <windows.h>

#include "extension/core/module_state.h"
#include "extension/core/shutdown.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  va::ModuleInstance = instance;
  if (reason == DLL_PROCESS_DETACH) va::ShutdownModule();
  return TRUE;
}
