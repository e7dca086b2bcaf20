// registry_store: typed, stateless registry operations shared by both deliverables.
// Each call opens its key, does one thing and closes the key again; 1 is success,
// 0 failure, and a missing key or value reads as empty text, 0 or the default.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace va {

// The deliverables read texts through buffers of different sizes: the extension
// module reads a text value of any length whole; the wizard reads through a fixed
// 2048-byte buffer, so 2048 characters and more read as missing.
enum class RegistryReader { Extension, Wizard };

int WriteRegText(HKEY root, const char* subkey, const char* name, const char* text);
int WriteRegDword(HKEY root, const char* subkey, const char* name, uint32_t value);
int WriteRegBinary(HKEY root, const char* subkey, const char* name, const void* bytes, DWORD count);
int WriteRegNumberText(HKEY root, const char* subkey, const char* name, int32_t value);
int WriteRegYesNo(HKEY root, const char* subkey, const char* name, int flag);

std::string ReadRegText(HKEY root, const char* subkey, const char* name,
                        RegistryReader reader = RegistryReader::Extension);
uint32_t ReadRegDword(HKEY root, const char* subkey, const char* name);
int ReadRegBinary(HKEY root, const char* subkey, const char* name, void* buffer, DWORD* count);
int32_t ReadRegNumberText(HKEY root, const char* subkey, const char* name, int32_t defaultValue,
                          RegistryReader reader = RegistryReader::Extension);
int ReadRegYesNo(HKEY root, const char* subkey, const char* name, int defaultValue);

int DeleteRegValue(HKEY root, const char* subkey, const char* name);
int DeleteRegKey(HKEY root, const char* subkey);

// The client distribution keeps a few shared values under SOFTWARE\V++ of either
// root, chosen by the DWORD UseHKEY_CURRENT_USER under HKLM\SOFTWARE\V++. The two
// deliverables read that switch differently and both behaviours are relied on:
// the wizard writes to HKCU only when the switch is exactly 1, the extension
// module reads from HKCU whenever it is non-zero.
enum class SharedRootUse { WizardWrites, ExtensionReads };
HKEY SharedSettingsRoot(SharedRootUse use);

inline constexpr const char* kClientDistributionKey = "SOFTWARE\\V++";

}  // namespace va
