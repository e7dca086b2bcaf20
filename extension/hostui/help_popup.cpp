// help_popup: the help balloon's sizing and shadow rules (portable, see help_popup.h).
#include "extension/hostui/help_popup.h"

namespace va {

bool HelpTextNeedsWrap(int32_t singleLineWidth, int32_t areaWidth) {
  // measured > 1.2 * area, kept in integers.
  return static_cast<int64_t>(singleLineWidth) * 5 > static_cast<int64_t>(areaWidth) * 6;
}

std::vector<ShadowPixel> HelpShadowPixels(int32_t right, int32_t bottom) {
  std::vector<ShadowPixel> pixels;
  for (int32_t y = bottom - 7; y <= bottom; ++y)
    for (int32_t x = (y % 2 == 0) ? 7 : 6; x <= right; x += 2) pixels.push_back({x, y});
  for (int32_t y = 6; y <= bottom - 8; ++y)
    for (int32_t x = (y % 2 == 0) ? right - 6 : right - 7; x <= right; x += 2) pixels.push_back({x, y});
  return pixels;
}

}  // namespace va
