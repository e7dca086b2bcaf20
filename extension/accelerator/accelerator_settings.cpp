// accelerator_settings: the range rules and field table of the accelerator settings.
#include "extension/accelerator/accelerator_settings.h"

namespace va {

AcceleratorSettings Accelerator;

namespace {

uint32_t Clamp(uint32_t value, uint32_t low, uint32_t high) {
  if (value > high) value = high;
  if (value < low) value = low;
  return value;
}

uint8_t* FlagOf(AcceleratorSettings& s, AcceleratorField field) {
  switch (field) {
    case AcceleratorField::SkipPaused: return &s.SkipPaused;
    case AcceleratorField::SkipQueued: return &s.SkipQueued;
    case AcceleratorField::SearchResume: return &s.SearchResume;
    case AcceleratorField::KeepDownloads: return &s.KeepDownloads;
    case AcceleratorField::NoSearchingConnecting: return &s.NoSearchingConnecting;
    case AcceleratorField::SkipBySpeed: return &s.SkipBySpeed;
    case AcceleratorField::ClearUploads: return &s.ClearUploads;
    case AcceleratorField::ClearDownloads: return &s.ClearDownloads;
    default: return nullptr;
  }
}

uint32_t* NumberOf(AcceleratorSettings& s, AcceleratorField field) {
  switch (field) {
    case AcceleratorField::CyclesDelay: return &s.CyclesDelay;
    case AcceleratorField::ItemDelay: return &s.ItemDelay;
    case AcceleratorField::TimesInSearchState: return &s.TimesInSearchState;
    case AcceleratorField::NumDownloadsMax: return &s.NumDownloadsMax;
    case AcceleratorField::NumDownloadsMin: return &s.NumDownloadsMin;
    case AcceleratorField::MinSpeed: return &s.MinSpeed;
    case AcceleratorField::NumScanItems: return &s.NumScanItems;
    default: return nullptr;
  }
}

}  // namespace

const char* AcceleratorFieldName(AcceleratorField field) {
  static const char* const names[kAcceleratorFieldCount] = {
      "CyclesDelay",   "ItemDelay",       "SkipPaused",      "SkipQueued",
      "SearchResume",  "TimesInSearchState", "KeepDownloads", "NumDownloadsMax",
      "NumDownloadsMin", "NoSearchingConnecting", "SkipBySpeed", "MinSpeed",
      "ClearUploads",  "ClearDownloads",  "NumScanItems"};
  return names[static_cast<int>(field)];
}

uint32_t AcceleratorFieldValue(const AcceleratorSettings& settings, AcceleratorField field) {
  AcceleratorSettings& s = const_cast<AcceleratorSettings&>(settings);
  if (uint8_t* flag = FlagOf(s, field)) return *flag;
  return *NumberOf(s, field);
}

void SetAcceleratorFieldValue(AcceleratorSettings& settings, AcceleratorField field, uint32_t value) {
  if (uint8_t* flag = FlagOf(settings, field)) {
    *flag = static_cast<uint8_t>(value & 0xFF);
    return;
  }
  *NumberOf(settings, field) = value;
}

void ApplyLoadedAcceleratorValue(AcceleratorSettings& s, AcceleratorField field, bool found, uint32_t value) {
  switch (field) {
    case AcceleratorField::CyclesDelay: s.CyclesDelay = found ? Clamp(value, 30, 600) : 45; break;
    case AcceleratorField::ItemDelay: s.ItemDelay = found ? Clamp(value, 1, 600) : 2; break;
    case AcceleratorField::TimesInSearchState: s.TimesInSearchState = found ? Clamp(value, 1, 8) : 4; break;
    case AcceleratorField::NumDownloadsMax: s.NumDownloadsMax = found ? Clamp(value, 1, 10) : 4; break;
    case AcceleratorField::NumDownloadsMin:
      // The default 2 is held under the maximum too: a minimum above the maximum
      // would pause and resume the same downloads cycle after cycle.
      s.NumDownloadsMin = Clamp(found ? value : 2, 1, s.NumDownloadsMax < 1 ? 1 : s.NumDownloadsMax);
      break;
    case AcceleratorField::MinSpeed:
    case AcceleratorField::NumScanItems:
      if (found) SetAcceleratorFieldValue(s, field, value);
      break;
    default:  // flags: the low byte, or unchanged when missing
      if (found) SetAcceleratorFieldValue(s, field, value);
      break;
  }
  if (field == AcceleratorField::KeepDownloads && s.KeepDownloads == 1) {
    s.SkipPaused = 0;  // the two skips and the keep range exclude each other
    s.SkipQueued = 0;
  }
}

}  // namespace va
