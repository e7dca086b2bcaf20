// accelerator_settings (Win32): the registry side of the accelerator settings.
#include "extension/accelerator/accelerator_settings_win.h"

namespace va {

namespace {

bool QueryDword(HKEY key, const char* name, uint32_t& value) {
  if (!key) return false;
  DWORD data = 0, size = sizeof(data);
  if (RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &size) != ERROR_SUCCESS)
    return false;
  value = size >= sizeof(data) ? data : data & ((1u << (8 * size)) - 1);
  return true;
}

}  // namespace

int LoadAcceleratorSettingsFrom(const char* subkey, AcceleratorSettings& settings) {
  HKEY user = nullptr, machine = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, subkey, 0, KEY_QUERY_VALUE, &user) != ERROR_SUCCESS) user = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE, &machine) != ERROR_SUCCESS) machine = nullptr;
  // Without either key every value counts as missing, so the numbers get their
  // defaults: a record never loaded would otherwise run the accelerator with no
  // pause between cycles and items.
  const int opened = user || machine ? 1 : 0;
  for (int i = 0; i < kAcceleratorFieldCount; ++i) {
    const auto field = static_cast<AcceleratorField>(i);
    uint32_t value = 0;
    const char* name = AcceleratorFieldName(field);
    const bool found = QueryDword(user, name, value) || QueryDword(machine, name, value);
    ApplyLoadedAcceleratorValue(settings, field, found, value);
  }
  if (user) RegCloseKey(user);
  if (machine) RegCloseKey(machine);
  return opened;
}

void SaveAcceleratorSettingsTo(const char* subkey, const AcceleratorSettings& updated, AcceleratorSettings& current) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, subkey, 0, const_cast<char*>(""), REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return;
  for (int i = 0; i < kAcceleratorFieldCount; ++i) {
    const auto field = static_cast<AcceleratorField>(i);
    const DWORD value = AcceleratorFieldValue(updated, field);
    if (value == AcceleratorFieldValue(current, field)) continue;
    if (RegSetValueExA(key, AcceleratorFieldName(field), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                       sizeof(value)) == ERROR_SUCCESS) {
      SetAcceleratorFieldValue(current, field, value);
    }
  }
  RegCloseKey(key);
}

int LoadAcceleratorSettings() { return LoadAcceleratorSettingsFrom(kAcceleratorKey, Accelerator); }

void SaveAcceleratorSettings(const AcceleratorSettings& updated) {
  SaveAcceleratorSettingsTo(kAcceleratorKey, updated, Accelerator);
}

}  // namespace va
