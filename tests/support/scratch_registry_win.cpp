// scratch_registry_win: see scratch_registry.h.
#include "support/scratch_registry.h"

#include <shlwapi.h>

#include <vector>

namespace va::test {

void DeleteTree(HKEY root, const std::string& subkey) { SHDeleteKeyA(root, subkey.c_str()); }

ScratchKey::ScratchKey(HKEY root, const std::string& name) : root_(root), path_("SOFTWARE\\VATests\\" + name) {
  DeleteTree(root_, path_);
}

ScratchKey::~ScratchKey() { DeleteTree(root_, path_); }

StoredValue ReadStoredValue(HKEY root, const std::string& subkey, const char* name) {
  StoredValue value;
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    std::vector<char> data(size + 1);
    if (RegQueryValueExA(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(data.data()), &size) ==
        ERROR_SUCCESS) {
      value.exists = true;
      value.bytes.assign(data.data(), size);
    }
  }
  RegCloseKey(key);
  return value;
}

void PutRawValue(HKEY root, const std::string& subkey, const char* name, DWORD type, const std::string& bytes) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, subkey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return;
  }
  RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
  RegCloseKey(key);
}

bool KeyExists(HKEY root, const std::string& subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace va::test
