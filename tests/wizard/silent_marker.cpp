// silent_marker: stands in for the client distribution's silent setup command in
// the wizard's end-to-end tests: records its command line in the registry.
#include <windows.h>

int main() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\VATests\\SilentSetup", 0, nullptr, 0, KEY_WRITE, nullptr, &key,
                      nullptr) == ERROR_SUCCESS) {
    const char* line = GetCommandLineA();
    RegSetValueExA(key, "Ran", 0, REG_SZ, reinterpret_cast<const BYTE*>(line), lstrlenA(line) + 1);
    RegCloseKey(key);
  }
  return 0;
}
