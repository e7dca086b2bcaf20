// accelerator_settings (Win32): loading and saving the accelerator's settings
// under SOFTWARE\VAExtensions\Accelerator.
#pragma once
#include <windows.h>

#include "extension/accelerator/accelerator_settings.h"

namespace va {

inline constexpr char kAcceleratorKey[] = "SOFTWARE\\VAExtensions\\Accelerator";

// Each value from HKEY_CURRENT_USER, else from HKEY_LOCAL_MACHINE, forced into its
// range. 1 when at least one of the two keys opened (else the record is untouched).
int LoadAcceleratorSettings();
// Writes to HKEY_CURRENT_USER the fields of `updated` that differ from the record
// in memory; a field changes in memory only when its write succeeded.
void SaveAcceleratorSettings(const AcceleratorSettings& updated);

// The same over any key and record (the two above use kAcceleratorKey and Accelerator).
int LoadAcceleratorSettingsFrom(const char* subkey, AcceleratorSettings& settings);
void SaveAcceleratorSettingsTo(const char* subkey, const AcceleratorSettings& updated, AcceleratorSettings& current);

}  // namespace va
