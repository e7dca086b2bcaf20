// extension_keys: where the suite keeps its settings, as the tests write and read
// them directly, and the clean-up that gives every such test an empty start.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "support/scratch_registry.h"

namespace va::test {

inline constexpr char kExtKey[] = "SOFTWARE\\VAExtensions";
inline constexpr char kLastStateKey[] = "SOFTWARE\\VAExtensions\\LastState";
inline constexpr char kAcceleratorKey[] = "SOFTWARE\\VAExtensions\\Accelerator";
inline constexpr char kToolsKey[] = "SOFTWARE\\VAExtensions\\Tools";
inline constexpr char kFiltersKey[] = "SOFTWARE\\VAExtensions\\Filters";
inline constexpr char kAddOnKey[] = "SOFTWARE\\VAExtensions\\ch_plugs";
// The host's skin choice, which turns several of the module's features off.
inline constexpr char kSkinsKey[] = "SOFTWARE\\Vexlo\\Skins";

// The four bytes of a REG_DWORD as PutRawValue takes them.
inline std::string Dword(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

// The bytes of a REG_SZ: the text and its terminating zero.
inline std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

inline void PutDword(HKEY root, const std::string& subkey, const char* name, uint32_t value) {
  PutRawValue(root, subkey, name, REG_DWORD, Dword(value));
}

// Removes the suite's settings under both roots.
inline void ClearExtensionSettings() {
  DeleteTree(HKEY_CURRENT_USER, kExtKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kExtKey);
}

}  // namespace va::test
