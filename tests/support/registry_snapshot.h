// registry_snapshot: a key with all its values and subkeys as text (name, type,
// bytes in hex), for checks that something wrote nothing at all.
#pragma once
#include <windows.h>

#include <string>

namespace va::test {

inline std::string RegistrySnapshot(HKEY root, const std::string& path) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "[" + path + "] missing\n";
  std::string out = "[" + path + "]\n";
  char name[512], hex[4];
  BYTE data[8192];
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name, type = 0, dataSize = sizeof data;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
    out += std::string(name) + " type=" + std::to_string(type) + " ";
    for (DWORD b = 0; b < dataSize; ++b) out += (wsprintfA(hex, "%02x", data[b]), hex);
    out += "\n";
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    out += RegistrySnapshot(root, path + "\\" + name);
  }
  RegCloseKey(key);
  return out;
}

}  // namespace va::test
