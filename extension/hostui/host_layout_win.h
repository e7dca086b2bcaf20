// host_layout_win: the host's toolbar background bitmap and the layout of its
// bottom bars without the ad banner, kept after every resize of the main window
// and of its MDI client.
#pragma once
#include <windows.h>

namespace va {

// Width given to the host's player controls and player bar without the banner.
inline constexpr int kPlayerWidth = 355;

extern HBITMAP ToolbarBitmap;

void ApplyToolbarBitmap();
// Idempotent: a second call in a row changes nothing.
void LayoutWithoutAdBanner();
LRESULT CALLBACK MDIClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// Subclasses the host's MDI client with MDIClientProc (once).
void SubclassMDIClient(HWND mdiClient);

}  // namespace va
