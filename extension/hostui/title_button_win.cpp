// title_button_win: the title-bar button's drawing and hit test over the window
// (geometry rules in title_button.cpp).
#include "extension/hostui/title_button_win.h"

#include "extension/hostui/theme_win.h"

namespace va {

TitleButtonState TitleButton;

void InitTitleButton(HWND window) {
  TitleButton = TitleButtonState();
  ComputeTitleButtonRect(window);
  SetTimer(window, kHoverTimer, kHoverTimerMs, nullptr);
}

void ComputeTitleButtonRect(HWND window) {
  RECT bounds;
  if (!GetWindowRect(window, &bounds)) return;
  const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
  const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
  TitleFrameInfo frame;
  frame.windowWidth = bounds.right - bounds.left;
  frame.toolWindow = (exStyle & WS_EX_TOOLWINDOW) != 0;
  frame.captionHeight = GetSystemMetrics(frame.toolWindow ? SM_CYSMCAPTION : SM_CYCAPTION);
  const bool sizing = (style & WS_THICKFRAME) != 0;
  frame.frameX = GetSystemMetrics(sizing ? SM_CXSIZEFRAME : SM_CXFIXEDFRAME);
  frame.frameY = GetSystemMetrics(sizing ? SM_CYSIZEFRAME : SM_CYFIXEDFRAME);
  frame.hasMinOrMaxBox = (style & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) != 0;
  frame.themed = IsThemeActive() != 0;
  TitleButton.rect = ComputeTitleButtonBox(frame);
}

namespace {
void DrawThemed(HWND window, HDC dc, const TitleButtonBox& box) {
  ThemeHandle theme = OpenThemeData(window, "Window");
  if (!theme) return;
  RECT target = {box.x, ThemedButtonTop(box), box.x + box.width, box.y + box.height};
  int state = TitleButtonThemeState(TitleButton.hot != 0, TitleButton.captured != 0, TitleButton.frameActive != 0);
  DrawThemeBackground(theme, dc, kThemePartMinButton, state, &target, nullptr);
  CloseThemeData(theme);
}

void DrawClassic(HDC dc, const TitleButtonBox& box) {
  const bool pushed = TitleButton.buttonUp == 0;
  RECT face = {box.x, box.y, box.x + box.width, box.y + box.height};
  DrawFrameControl(dc, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pushed ? DFCS_PUSHED : 0));
  PixelRect bar = ClassicGlyphBar(box, pushed);
  RECT glyph = {bar.left, bar.top, bar.right, bar.bottom};
  FillRect(dc, &glyph, GetSysColorBrush(COLOR_BTNTEXT));
}
}  // namespace

void DrawTitleButton(HWND window) {
  HDC dc = GetWindowDC(window);
  if (!dc) return;
  if (IsThemeActive()) DrawThemed(window, dc, TitleButton.rect);
  else DrawClassic(dc, TitleButton.rect);
  ReleaseDC(window, dc);
}

int HitTitleButton(HWND window, POINT screen) {
  RECT bounds;
  if (!GetWindowRect(window, &bounds)) return 0;
  return TitleButtonContains(TitleButton.rect, screen.x - bounds.left, screen.y - bounds.top) ? 1 : 0;
}

}  // namespace va
