// menu_heading_win: the owner-drawn heading (the item with id 0) that every menu
// owned by the host's main window shows at its top: the tray menu, the Tools menu,
// the download list menu and the file manager menu. The main window calls both
// for every WM_MEASUREITEM and WM_DRAWITEM; they ignore anything but id-0 menu items.
#pragma once
#include <windows.h>

namespace va {

inline constexpr UINT kMenuHeadingId = 0;

void MeasureMenuHeading(MEASUREITEMSTRUCT* measure);
void DrawMenuHeading(const DRAWITEMSTRUCT* draw);

}  // namespace va
