// accelerator_settings: the accelerator's fifteen settings, their defaults and the
// range rules applied when they are loaded. Portable core: the registry side is
// accelerator_settings_win.cpp.
#pragma once
#include <cstdint>

namespace va {

struct AcceleratorSettings {
  uint32_t CyclesDelay = 0;         // seconds from the end of one cycle to the next
  uint32_t ItemDelay = 0;           // seconds between two downloads acted on
  uint8_t SkipPaused = 0;
  uint8_t SkipQueued = 0;
  uint8_t SearchResume = 0;
  uint32_t TimesInSearchState = 0;  // cycles in Searching state before pause and resume
  uint8_t KeepDownloads = 0;
  uint32_t NumDownloadsMin = 0;
  uint32_t NumDownloadsMax = 0;
  uint8_t NoSearchingConnecting = 0;
  uint8_t SkipBySpeed = 0;
  uint32_t MinSpeed = 0;            // hundredths of KB/s
  uint8_t ClearUploads = 0;
  uint8_t ClearDownloads = 0;
  uint32_t NumScanItems = 0;        // 0: every row
};

// The process-wide record, read live by the accelerator thread.
extern AcceleratorSettings Accelerator;

// The fields in the order the load reads them (NumDownloadsMax before
// NumDownloadsMin) and the save writes them.
enum class AcceleratorField {
  CyclesDelay, ItemDelay, SkipPaused, SkipQueued, SearchResume, TimesInSearchState,
  KeepDownloads, NumDownloadsMax, NumDownloadsMin, NoSearchingConnecting, SkipBySpeed,
  MinSpeed, ClearUploads, ClearDownloads, NumScanItems
};
inline constexpr int kAcceleratorFieldCount = 15;

// The registry value name of a field (the field's own name).
const char* AcceleratorFieldName(AcceleratorField field);

// One step of the load: `found` tells whether the value was read (from either
// hive); `value` is the stored DWORD. Applies the range rule of the field (as
// unsigned numbers: a stored negative number becomes the upper bound), the default
// of a missing number, and the rule that KeepDownloads on clears both skips.
void ApplyLoadedAcceleratorValue(AcceleratorSettings& settings, AcceleratorField field, bool found,
                                 uint32_t value);

// The field's value widened to a DWORD, as the save compares and writes it.
uint32_t AcceleratorFieldValue(const AcceleratorSettings& settings, AcceleratorField field);
void SetAcceleratorFieldValue(AcceleratorSettings& settings, AcceleratorField field, uint32_t value);

}  // namespace va
