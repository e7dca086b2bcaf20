// addon_host_win: the add-on list in the registry, checking and loading the listed
// libraries, and releasing them at shutdown.
#include "extension/core/addon_host.h"

#include <cstring>

#include "extension/core/library_image.h"
#include "extension/core/module_state.h"

namespace va {

std::vector<std::string> AddOnPaths;
int AddOnLastIndex = -1;
std::vector<LoadedAddOn> LoadedAddOns;
HWND HostPanelWindow = nullptr;
HWND HostSecondPanelWindow = nullptr;

namespace {

constexpr DWORD kNameCapacity = 261;
constexpr DWORD kOwnNameCapacity = 1024;
// Read, set and create rights, as the list editor needs them.
constexpr REGSAM kListRights = STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
const char kValuePrefix[] = "Dll";
const char* const kExportNames[] = {"ChannelWrite", "ChannelRead", "ServiceShow", "ServiceClose", "DescWrite"};

std::string StripQuotes(const char* path) {
  std::string text = path ? path : "";
  size_t begin = text.find_first_not_of('"');
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of('"');
  return text.substr(begin, end - begin + 1);
}

// A library that cannot be opened must not make the system show a dialog; the
// libraries it needs are looked for beside it first, not in the current folder.
HMODULE LoadQuietly(const std::string& path) {
  UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  SetErrorMode(previous);
  return module;
}

#if defined(_WIN64)
constexpr uint16_t kOwnMachine = kMachineAmd64;
#else
constexpr uint16_t kOwnMachine = kMachineI386;
#endif
constexpr DWORD kMaxLibraryBytes = 256u << 20;

// Read as data: a library for this process's machine that exports all five
// calls. None of its code runs.
bool ExportsTheFiveCalls(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size = {};
  std::string bytes;
  DWORD got = 0;
  const bool read = GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= kMaxLibraryBytes &&
                    (bytes.resize(size_t(size.QuadPart)), ReadFile(file, bytes.data(), DWORD(bytes.size()), &got, nullptr)) &&
                    got == bytes.size();
  CloseHandle(file);
  if (!read) return false;
  const LibraryImage image = ReadLibraryImage(bytes);
  if (!image.valid || image.machine != kOwnMachine) return false;
  for (const char* name : kExportNames) {
    bool found = false;
    for (const std::string& exported : image.exports) found = found || exported == name;
    if (!found) return false;
  }
  return true;
}

bool SameList(const std::vector<std::string>& paths, int lastIndex) {
  if (lastIndex != AddOnLastIndex) return false;
  for (int i = 0; i <= lastIndex; ++i)
    if (static_cast<size_t>(i) >= paths.size() || static_cast<size_t>(i) >= AddOnPaths.size() || paths[i] != AddOnPaths[i])
      return false;
  return true;
}

void DeleteAllValues(HKEY key) {
  while (true) {
    char name[kNameCapacity];
    DWORD nameLength = kNameCapacity;
    if (RegEnumValueA(key, 0, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) return;
    // A value that cannot be deleted would be enumerated again forever.
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS) return;
  }
}

// A text of the file's version resource in its first translation; "" without one.
// Read as data: no code of the file runs.
std::string VersionText(const char* file, const char* name) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
  if (size == 0) return "";
  std::string block(size, '\0');
  if (!GetFileVersionInfoA(file, 0, size, block.data())) return "";
  struct Translation {
    WORD language, codePage;
  }* translations = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &length) ||
      length < sizeof(Translation))
    return "";
  char query[64];
  wsprintfA(query, "\\StringFileInfo\\%04x%04x\\%s", translations->language, translations->codePage, name);
  char* value = nullptr;
  if (!VerQueryValueA(block.data(), query, reinterpret_cast<void**>(&value), &length) || !value) return "";
  return std::string(value, strnlen(value, length));
}

std::string OwnFileName() {
  char own[kOwnNameCapacity] = {};
  GetModuleFileNameA(ModuleInstance, own, kOwnNameCapacity);
  return own;
}

}  // namespace

bool IsThisModule(const char* path) {
  const std::string file = StripQuotes(path);
  if (file.empty()) return false;
  const std::string own = OwnFileName();
  if (lstrcmpiA(file.c_str(), own.c_str()) == 0) return true;
  // A renamed or older copy keeps the names of its version resource.
  const std::string product = VersionText(own.c_str(), "ProductName");
  const std::string company = VersionText(own.c_str(), "CompanyName");
  return !product.empty() && !company.empty() && VersionText(file.c_str(), "ProductName") == product &&
         VersionText(file.c_str(), "CompanyName") == company;
}

int LoadAddOnList() {
  AddOnLastIndex = -1;
  AddOnPaths.clear();
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAddOnListKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return -1;
  for (DWORD index = 0;; ++index) {
    char name[kNameCapacity];
    DWORD nameLength = kNameCapacity, type = 0, size = 0;
    if (RegEnumValueA(key, index, name, &nameLength, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) break;
    if (type != REG_SZ || std::strncmp(name, kValuePrefix, 3) != 0) continue;
    if (AddOnPaths.size() >= static_cast<size_t>(kMaxAddOns)) break;
    std::string text(size, '\0');
    DWORD got = size;
    if (size > 0 && RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &got) != ERROR_SUCCESS)
      got = 0;
    text.resize(got);
    text = text.substr(0, text.find('\0'));  // stored with or without its terminator
    AddOnPaths.push_back(text);
  }
  RegCloseKey(key);
  AddOnLastIndex = static_cast<int>(AddOnPaths.size()) - 1;
  return AddOnLastIndex;
}

int SaveAddOnList(const std::vector<std::string>& paths, int lastIndex) {
  // The list never holds more entries than it is given or than the limit.
  if (lastIndex > static_cast<int>(paths.size()) - 1) lastIndex = static_cast<int>(paths.size()) - 1;
  if (lastIndex > kMaxAddOns - 1) lastIndex = kMaxAddOns - 1;
  if (lastIndex < -1) lastIndex = -1;
  HKEY key;
  if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kAddOnListKey, 0, nullptr, 0, kListRights, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return 0;
  if (SameList(paths, lastIndex)) {
    RegCloseKey(key);
    return 0;
  }
  DeleteAllValues(key);
  AddOnPaths.assign(paths.begin(), paths.begin() + (lastIndex + 1));
  AddOnLastIndex = lastIndex;
  int result = lastIndex >= 0 ? 1 : 0;
  for (int i = 0; i <= lastIndex; ++i) {
    std::string name = kValuePrefix + std::to_string(i + 1);
    const std::string& text = AddOnPaths[i];
    if (RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.data()),
                       static_cast<DWORD>(text.size())) != ERROR_SUCCESS)
      result = 0;
  }
  RegCloseKey(key);
  return result;
}

UINT_PTR CheckAddOnFile(const char* path, int mode) {
  std::string file = StripQuotes(path);
  if (!IsFullWindowsPath(file) || IsThisModule(file.c_str()) || !ExportsTheFiveCalls(file)) return 0;
  if (mode != 1) return 1;
  HMODULE module = LoadQuietly(file);
  if (!module) return 0;
  // The same file under another spelling of its path is still this module.
  if (module == ModuleInstance) {
    FreeLibrary(module);
    return 0;
  }
  for (const char* name : kExportNames) {
    if (!GetProcAddress(module, name)) {
      FreeLibrary(module);
      return 0;
    }
  }
  return reinterpret_cast<UINT_PTR>(module);
}

// A library listed twice (under any spelling of its path) is loaded once: the
// host's calls reach each add-on once.
bool AlreadyLoaded(HMODULE module) {
  for (const LoadedAddOn& addOn : LoadedAddOns)
    if (addOn.module == module) return true;
  return false;
}

void LoadAddOns() {
  LoadedAddOns.clear();
  for (const std::string& path : AddOnPaths) {
    auto module = reinterpret_cast<HMODULE>(CheckAddOnFile(path.c_str(), 1));
    if (!module) continue;
    if (AlreadyLoaded(module)) {
      FreeLibrary(module);
      continue;
    }
    LoadedAddOn addOn;
    addOn.module = module;
    addOn.channelWrite = reinterpret_cast<ChannelWriteFn>(GetProcAddress(module, "ChannelWrite"));
    addOn.channelRead = reinterpret_cast<ChannelReadFn>(GetProcAddress(module, "ChannelRead"));
    addOn.serviceShow = reinterpret_cast<ServiceShowFn>(GetProcAddress(module, "ServiceShow"));
    addOn.serviceClose = reinterpret_cast<ServiceCloseFn>(GetProcAddress(module, "ServiceClose"));
    addOn.descWrite = reinterpret_cast<DescWriteFn>(GetProcAddress(module, "DescWrite"));
    LoadedAddOns.push_back(addOn);
  }
}

void UnloadAddOns() {
  for (const LoadedAddOn& addOn : LoadedAddOns) FreeLibrary(addOn.module);
  LoadedAddOns.clear();
}

}  // namespace va
