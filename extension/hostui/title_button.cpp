// title_button: geometry of the title-bar button (portable, see title_button.h).
#include "extension/hostui/title_button.h"

namespace va {
namespace {
constexpr int32_t kMinimumCaption = 8;
constexpr int32_t kButtonInset = 4;      // the button is this much lower than the caption
constexpr int32_t kThemedExtraWidth = 2;
constexpr int32_t kButtonGap = 2;
constexpr int32_t kButtonTop = 2;
}  // namespace

int32_t DivideRoundHalfEven(int32_t n, int32_t d) {
  int32_t q = n / d;
  int32_t r = n % d;
  if (r < 0) {  // floor division
    r += d;
    --q;
  }
  if (2 * r > d || (2 * r == d && (q & 1))) ++q;
  return q;
}

TitleButtonBox ComputeTitleButtonBox(const TitleFrameInfo& frame) {
  int32_t cap = frame.captionHeight - 1;
  if (cap < kMinimumCaption) cap = kMinimumCaption;
  TitleButtonBox box;
  box.height = cap - kButtonInset;
  box.width = box.height + (frame.themed ? kThemedExtraWidth : 0);
  box.x = frame.windowWidth - 2 * (box.width + kButtonGap) - frame.frameX;
  box.y = kButtonTop + frame.frameY;
  if (!frame.toolWindow && frame.hasMinOrMaxBox)
    box.x -= frame.themed ? 2 * box.width + kButtonGap : 2 * (box.width + kButtonGap);
  return box;
}

bool TitleButtonContains(const TitleButtonBox& box, int32_t x, int32_t y) {
  return x >= box.x && x <= box.x + box.width && y >= box.y - 1 && y <= box.y + box.height + 1;
}

int TitleButtonThemeState(bool hot, bool captured, bool frameActive) {
  if (hot && captured) return kThemeStatePushed;
  if (hot) return kThemeStateHot;
  if (!frameActive) return kThemeStateInactive;
  return kThemeStateNormal;
}

int32_t ThemedButtonTop(const TitleButtonBox& box) { return box.y + DivideRoundHalfEven(box.height, 8); }

PixelRect ClassicGlyphBar(const TitleButtonBox& box, bool pushed) {
  PixelRect inner{box.x + 1, box.y + 1, box.x + box.width - 1, box.y + box.height - 1};
  const int32_t s = box.height + 4;
  int32_t thickness = s < 14 ? 1 : s < 20 ? 2 : DivideRoundHalfEven(s - 20, 8) + 2;
  int32_t margin = s < 12 ? 0 : DivideRoundHalfEven(s - 12, 8) + 1;
  int32_t barWidth = (3 * thickness + 1) >> 1;
  int32_t inset = (3 * margin + 1) >> 1;
  PixelRect bar;
  bar.right = inner.right - inset;
  bar.bottom = inner.bottom - margin;
  bar.left = bar.right - barWidth;
  bar.top = bar.bottom - thickness;
  if (pushed) {
    ++bar.left;
    ++bar.right;
    ++bar.top;
    ++bar.bottom;
  }
  return bar;
}

}  // namespace va
