// title_button: the geometry of the minimize-to-tray button in the host's title
// bar, its hit test, theme state and classic glyph. Pure arithmetic; the drawing
// and the window messages are in title_button_win.cpp.
#pragma once
#include <cstdint>

namespace va {

// A rectangle as the title-bar button keeps it: window coordinates.
struct TitleButtonBox {
  int32_t x = 0;
  int32_t y = 0;
  int32_t width = 0;
  int32_t height = 0;
};

// What the geometry depends on, read from the window and the system metrics.
struct TitleFrameInfo {
  int32_t windowWidth = 0;    // window rectangle right - left
  int32_t captionHeight = 0;  // SM_CYSMCAPTION for a tool window, else SM_CYCAPTION
  int32_t frameX = 0;         // SM_CXSIZEFRAME with a sizing frame, else SM_CXFIXEDFRAME
  int32_t frameY = 0;         // SM_CYSIZEFRAME or SM_CYFIXEDFRAME
  bool toolWindow = false;
  bool hasMinOrMaxBox = false;
  bool themed = false;
};

// The button sits left of the close button, and left of the minimize/maximize pair
// when the window has one.
TitleButtonBox ComputeTitleButtonBox(const TitleFrameInfo& frame);

// A point in window coordinates hits when it lies in [x, x + width] and
// [y - 1, y + height + 1], bounds included.
bool TitleButtonContains(const TitleButtonBox& box, int32_t x, int32_t y);

// Theme states of the minimize-button part.
inline constexpr int kThemeStateNormal = 1;
inline constexpr int kThemeStateHot = 2;
inline constexpr int kThemeStatePushed = 3;
inline constexpr int kThemeStateInactive = 5;
int TitleButtonThemeState(bool hot, bool captured, bool frameActive);

// Top of the themed drawing rectangle: y + height / 8, rounded half to even.
int32_t ThemedButtonTop(const TitleButtonBox& box);

struct PixelRect {
  int32_t left = 0;
  int32_t top = 0;
  int32_t right = 0;
  int32_t bottom = 0;
};

// The classic glyph: a small horizontal bar at the lower right of the button,
// sized by the button height; moved one pixel right and down when pushed.
PixelRect ClassicGlyphBar(const TitleButtonBox& box, bool pushed);

// n / d rounded to the nearest integer, halves to the even one (d > 0).
int32_t DivideRoundHalfEven(int32_t n, int32_t d);

}  // namespace va
