// help_popup: the sizing and shadow rules of the help balloon (portable); the
// window itself is in help_popup_win.cpp.
#pragma once
#include <cstdint>
#include <vector>

namespace va {

// Text area of the balloon's initial client rectangle: shrunk by these margins.
inline constexpr int32_t kHelpAreaLeftTop = 5;
inline constexpr int32_t kHelpAreaRightBottom = 12;
// The balloon's size: the measured text plus these.
inline constexpr int32_t kHelpExtraWidth = 14;
inline constexpr int32_t kHelpExtraHeight = 18;
// The body leaves this much room at the right and bottom for the shadow.
inline constexpr int32_t kHelpShadowWidth = 6;

// A text measured on one line is wrapped at the area's width only when it is
// more than 1.2 times that width.
bool HelpTextNeedsWrap(int32_t singleLineWidth, int32_t areaWidth);

struct ShadowPixel {
  int32_t x;
  int32_t y;
};
// The dithered drop shadow for a client area of `right` x `bottom` pixels: a
// band along the bottom and one along the right, every second pixel.
std::vector<ShadowPixel> HelpShadowPixels(int32_t right, int32_t bottom);

}  // namespace va
