// tray_view: what the notification area shows, read from outside the host. Under
// Wine without a taskbar every tray icon is a child window of the standalone tray;
// its pixels are read back from the screen.
#pragma once
#include <windows.h>

namespace va::test {

// The number of icons the tray shows now, whoever added them.
int TrayIconCount();
// Whether the tray holds the icon `id` of window `owner` (other programs' icons do not count).
bool TrayHasIcon(HWND owner, UINT id);

// The colour (0x00BBGGRR) of pixel (x, y) of the icon image when the tray shows
// exactly one icon; CLR_INVALID otherwise.
COLORREF TrayIconPixel(int x, int y);

// True when two colours differ by at most `tolerance` in each channel.
bool SimilarColour(COLORREF a, COLORREF b, int tolerance = 8);

}  // namespace va::test
