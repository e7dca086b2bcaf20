// registry_store_win: the Win32 side of the registry value store (registry_store.h).
#include "common/registry_store.h"

#include <vector>

#include "common/number_text.h"
#include "common/text_rules.h"

namespace va {
namespace {

constexpr DWORD kWizardTextBuffer = 2048;
constexpr DWORD kExtensionNumberBuffer = 64;
constexpr DWORD kYesNoBuffer = 2048;

int WriteValue(HKEY root, const char* subkey, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(root, subkey, 0, const_cast<char*>(""), 0, KEY_WRITE, nullptr, &key, nullptr) !=
      ERROR_SUCCESS) {
    return 0;
  }
  LONG result = RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 1 : 0;
}

HKEY OpenForQuery(HKEY root, const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return nullptr;
  return key;
}

// The text of `bytes`, cut at the first NUL (a stored text need not carry one).
std::string TextUpToNul(const char* bytes, DWORD size) {
  DWORD length = 0;
  while (length < size && bytes[length] != '\0') ++length;
  return std::string(bytes, length);
}

// Reads a value through a fixed buffer of `bufferSize` bytes; a larger value (or
// any failure) reads as missing.
bool QueryTextFixed(HKEY root, const char* subkey, const char* name, DWORD bufferSize, std::string& text) {
  HKEY key = OpenForQuery(root, subkey);
  if (!key) return false;
  std::vector<char> buffer(bufferSize);
  DWORD size = bufferSize;
  LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &size);
  RegCloseKey(key);
  if (result != ERROR_SUCCESS) return false;
  text = TextUpToNul(buffer.data(), size);
  return true;
}

// Reads a value of any length: asks its size first, then reads exactly that much.
// A value that grows in between is asked for again.
bool QueryTextWhole(HKEY root, const char* subkey, const char* name, std::string& text) {
  HKEY key = OpenForQuery(root, subkey);
  if (!key) return false;
  bool ok = false;
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    if (RegQueryValueExA(key, name, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) break;
    std::vector<char> buffer(size + 1);
    DWORD got = size;
    LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer.data()), &got);
    if (result == ERROR_MORE_DATA) continue;
    if (result == ERROR_SUCCESS) {
      text = TextUpToNul(buffer.data(), got);
      ok = true;
    }
    break;
  }
  RegCloseKey(key);
  return ok;
}

}  // namespace

int WriteRegText(HKEY root, const char* subkey, const char* name, const char* text) {
  return WriteValue(root, subkey, name, REG_SZ, text, static_cast<DWORD>(lstrlenA(text) + 1));
}

int WriteRegDword(HKEY root, const char* subkey, const char* name, uint32_t value) {
  DWORD data = value;
  return WriteValue(root, subkey, name, REG_DWORD, &data, sizeof data);
}

int WriteRegBinary(HKEY root, const char* subkey, const char* name, const void* bytes, DWORD count) {
  return WriteValue(root, subkey, name, REG_BINARY, bytes, count);
}

int WriteRegNumberText(HKEY root, const char* subkey, const char* name, int32_t value) {
  return WriteRegText(root, subkey, name, std::to_string(value).c_str());
}

int WriteRegYesNo(HKEY root, const char* subkey, const char* name, int flag) {
  return WriteRegText(root, subkey, name, flag == 1 ? "Yes" : "No");
}

std::string ReadRegText(HKEY root, const char* subkey, const char* name, RegistryReader reader) {
  std::string text;
  bool ok = reader == RegistryReader::Wizard ? QueryTextFixed(root, subkey, name, kWizardTextBuffer, text)
                                             : QueryTextWhole(root, subkey, name, text);
  return ok ? text : std::string();
}

uint32_t ReadRegDword(HKEY root, const char* subkey, const char* name) {
  HKEY key = OpenForQuery(root, subkey);
  if (!key) return 0;
  DWORD value = 0;
  DWORD size = sizeof value;
  LONG result = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? value : 0;
}

int ReadRegBinary(HKEY root, const char* subkey, const char* name, void* buffer, DWORD* count) {
  if (!count) return 0;
  HKEY key = OpenForQuery(root, subkey);
  if (!key) return 0;
  LONG result = RegQueryValueExA(key, name, nullptr, nullptr, static_cast<BYTE*>(buffer), count);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 1 : 0;
}

int32_t ReadRegNumberText(HKEY root, const char* subkey, const char* name, int32_t defaultValue,
                          RegistryReader reader) {
  DWORD bufferSize = reader == RegistryReader::Wizard ? kWizardTextBuffer : kExtensionNumberBuffer;
  std::string text;
  if (!QueryTextFixed(root, subkey, name, bufferSize, text) || text.empty()) return defaultValue;
  return ParseLeadingInteger(text);
}

int ReadRegYesNo(HKEY root, const char* subkey, const char* name, int defaultValue) {
  std::string text;
  if (!QueryTextFixed(root, subkey, name, kYesNoBuffer, text) || text.empty()) return defaultValue;
  return UpperCaseText(text) == "YES" ? 1 : 0;
}

int DeleteRegValue(HKEY root, const char* subkey, const char* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 0;
  LONG result = RegDeleteValueA(key, name);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 1 : 0;
}

int DeleteRegKey(HKEY root, const char* subkey) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, subkey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return 0;
  LONG result = RegDeleteKeyA(root, subkey);
  RegCloseKey(key);
  return result == ERROR_SUCCESS ? 1 : 0;
}

HKEY SharedSettingsRoot(SharedRootUse use) {
  uint32_t useCurrentUser = ReadRegDword(HKEY_LOCAL_MACHINE, kClientDistributionKey, "UseHKEY_CURRENT_USER");
  bool currentUser = use == SharedRootUse::WizardWrites ? useCurrentUser == 1 : useCurrentUser != 0;
  return currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

}  // namespace va
