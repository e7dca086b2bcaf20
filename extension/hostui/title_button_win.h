// title_button_win: the minimize-to-tray button in the host's title bar: its state,
// geometry from the window, drawing (themed or classic) and hit test.
#pragma once
#include <windows.h>

#include "extension/hostui/title_button.h"

namespace va {

struct TitleButtonState {
  TitleButtonBox rect;  // TitleButtonRect, window coordinates
  LONG buttonUp = 1;    // ButtonUp: 1 raised, 0 pushed
  LONG captured = 0;    // ButtonCaptured
  LONG frameActive = 0; // FrameActive: the last WM_NCACTIVATE wParam
  LONG hot = 0;         // ButtonHot
};
extern TitleButtonState TitleButton;

// The 200 ms timer that polls the cursor for hot-tracking.
inline constexpr UINT_PTR kHoverTimer = 1986099815;
inline constexpr UINT kHoverTimerMs = 200;
// Hit-test code answered over the button: outside the system's codes, so the
// system does nothing on its own.
inline constexpr LRESULT kHitTitleButton = 65;
// The private system command that minimizes the host into the tray.
inline constexpr WPARAM kMinimizeToTray = 0xE000;
// The minimize-button part of the "Window" theme class.
inline constexpr int kThemePartMinButton = 15;

void InitTitleButton(HWND window);
void ComputeTitleButtonRect(HWND window);
void DrawTitleButton(HWND window);
// 1 when the screen point lies on the button, else 0.
int HitTitleButton(HWND window, POINT screen);

}  // namespace va
