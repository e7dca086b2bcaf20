// scratch_registry_win: see scratch_registry.h.
#include "support/scratch_registry.h"

#include <shlwapi.h>

#include <algorithm>
#include <cstdint>
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

std::string ValueText(const StoredValue& value) {
  if (!value.exists) return "-";
  if (value.type == REG_DWORD && value.bytes.size() == 4) return "#" + std::to_string(*reinterpret_cast<const uint32_t*>(value.bytes.data()));
  const size_t zero = value.bytes.find('\0');
  if (value.type == REG_SZ && (zero == std::string::npos || zero == value.bytes.size() - 1)) return "=" + value.bytes.substr(0, zero);
  return "?" + std::to_string(value.bytes.size());
}

std::string ValuesText(HKEY root, const std::string& subkey, std::initializer_list<const char*> names) {
  std::vector<std::string> listed(names.begin(), names.end());
  HKEY key = nullptr;
  if (listed.empty() && RegOpenKeyExA(root, subkey.c_str(), 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
    char name[512];
    for (DWORD i = 0, size = sizeof name; RegEnumValueA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
         ++i, size = sizeof name)
      listed.push_back(name);
    RegCloseKey(key);
    std::sort(listed.begin(), listed.end());
  }
  std::string out;
  for (const std::string& name : listed) out += name + ValueText(ReadStoredValue(root, subkey, name.c_str())) + ";";
  return out;
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
