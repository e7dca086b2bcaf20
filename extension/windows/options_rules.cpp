// options_rules: see options_rules.h.
#include "extension/windows/options_rules.h"

#include <cmath>
#include <cstdio>

#include "common/number_text.h"

namespace va {

namespace {
constexpr double kLargestStored = 4294967295.0;
constexpr int kHundred = 100;
}  // namespace

bool IsOptionsPage(int pageId) { return pageId >= kOptionsPageFirst && pageId <= kOptionsPageLast; }

int ChooseOptionsPage(int requested) { return IsOptionsPage(requested) ? requested : kOptionsPageFirst; }

std::string FormatSpeedText(uint32_t hundredths) {
  char text[32];
  std::snprintf(text, sizeof text, "%lu.%02lu", static_cast<unsigned long>(hundredths / kHundred),
                static_cast<unsigned long>(hundredths % kHundred));
  return text;
}

uint32_t ParseSpeedText(std::string_view text) {
  double scaled = std::floor(ParseLeadingNumber(text) * kHundred + 0.5);
  if (!(scaled > 0)) return 0;
  if (scaled >= kLargestStored) return static_cast<uint32_t>(kLargestStored);
  return static_cast<uint32_t>(scaled);
}

int32_t ClampToRange(int64_t value, NumberRange range) {
  if (value < range.minimum) return range.minimum;
  if (value > range.maximum) return range.maximum;
  return static_cast<int32_t>(value);
}

NumberRange DownloadsMinRange(int32_t currentMax) {
  return {kDownloadsRange.minimum, ClampToRange(currentMax, kDownloadsRange)};
}

NumberRange DownloadsMaxRange(int32_t currentMin) {
  return {ClampToRange(currentMin, kDownloadsRange), kDownloadsRange.maximum};
}

void NormaliseDownloadBounds(int32_t* minimum, int32_t* maximum) {
  *maximum = ClampToRange(*maximum, kDownloadsRange);
  *minimum = ClampToRange(*minimum, DownloadsMinRange(*maximum));
}

SkipBoxes KeepDownloadsSwitch::Check(SkipBoxes shown) {
  remembered = shown;
  return SkipBoxes{};
}

}  // namespace va
