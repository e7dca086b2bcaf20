// shutdown_win: ShutdownModule and its steps.
//
// It runs inside the library's unload notification, with the loader lock held.
// Calling ExitProcess there would start the process shutdown again from inside
// the notification: the loader would notify the libraries anew (re-entering this
// code) or wait for its own lock. TerminateProcess ends the process at once with
// the exit code given, sends no further notifications and takes no loader lock,
// which is what "the host's own shutdown code after this point does not run"
// asks for. A run-once word guards against any re-entry all the same.
#include "extension/core/shutdown.h"

#include <string>

#include "common/extension_options.h"
#include "common/registry_store.h"
#include "extension/core/addon_host.h"
#include "extension/core/module_state.h"

namespace va {
namespace {

const char kSearchHistoryKey[] = "SOFTWARE\\Vexlo\\Search";
const char kHostUserKey[] = "SOFTWARE\\Vexlo\\v-aero";
const char kLocalContentKey[] = "SOFTWARE\\Vexlo\\LocalContent";
const char kDatabaseDirValue[] = "DatabaseDir";
const char kPurgeValue[] = "PurgeSearchesOnExit";
constexpr DWORD kPurgeNameCapacity = 261;
constexpr DWORD kPurgeDataCapacity = 1024;
constexpr int kCommonAppData = 0x23;
constexpr DWORD kFolderCapacity = 512;

void TerminateNow(UINT exitCode) { TerminateProcess(GetCurrentProcess(), exitCode); }

ProcessEnder processEnder = TerminateNow;
volatile LONG shutdownStarted = 0;
volatile LONG stateStored = 0;

void RestoreProcedure(HWND window, WNDPROC* previous) {
  if (*previous && window && IsWindow(window)) SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(*previous));
  *previous = nullptr;
}

}  // namespace

void SetProcessEnder(ProcessEnder ender) {
  processEnder = ender ? ender : TerminateNow;
  shutdownStarted = 0;
  stateStored = 0;
}

void PurgeSearchHistory() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSearchHistoryKey, 0, KEY_READ | KEY_WRITE, &key) != ERROR_SUCCESS) return;
  while (true) {
    char name[kPurgeNameCapacity];
    BYTE data[kPurgeDataCapacity];
    DWORD nameLength = kPurgeNameCapacity, dataLength = kPurgeDataCapacity, type = 0;
    if (RegEnumValueA(key, 0, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    // A value that cannot be deleted would come back at index 0 forever.
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS) break;
  }
  RegCloseKey(key);
}

void RecordDatabaseFolder() {
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kHostUserKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  RegCloseKey(key);
  HMODULE shell = GetModuleHandleA("shell32.dll");
  if (!shell) return;
  using SpecialFolderFn = BOOL(WINAPI*)(HWND, LPSTR, int, BOOL);
  auto specialFolder = reinterpret_cast<SpecialFolderFn>(GetProcAddress(shell, "SHGetSpecialFolderPathA"));
  if (!specialFolder) return;
  char path[kFolderCapacity] = {};
  if (!specialFolder(nullptr, path, kCommonAppData, TRUE)) path[0] = '\0';
  std::string folder = path;
  if (!folder.empty()) {
    if (folder.back() != '\\') folder += '\\';
    folder += "Vexlo\\db";
  } else {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    folder = exe;
    folder = folder.substr(0, folder.find_last_of('\\') + 1) + "db";
  }
  WriteRegText(HKEY_LOCAL_MACHINE, kLocalContentKey, kDatabaseDirValue, folder.c_str());
}

void StoreStateForExit() {
  if (InterlockedExchange(&stateStored, 1) != 0) return;
  // A host that never attached the module has not read the remembered state:
  // read it first, so that saving it does not overwrite it with defaults.
  if (!LastStateLoaded()) LoadLastState();
  SaveLastState();
  HKEY root = SharedSettingsRoot(SharedRootUse::ExtensionReads);
  if (ReadRegDword(root, kClientDistributionKey, kPurgeValue) != 0) PurgeSearchHistory();
  RecordDatabaseFolder();
}

void ShutdownModule() {
  if (InterlockedExchange(&shutdownStarted, 1) != 0) return;
  RestoreProcedure(HostMainWindow, &PreviousMainProc);
  RestoreProcedure(SearchWindow, &PreviousSearchProc);
  if (MenuFont) {
    DeleteObject(MenuFont);
    MenuFont = nullptr;
  }
  UnloadAddOns();
  StoreStateForExit();
  processEnder(0);
}

}  // namespace va
