// tray_menu_win: the module's tray menu (submenu 0 of menu 101 with a heading, the
// Tools popup and a separator inserted) and the resources of the headings.
#pragma once
#include <windows.h>

#include "extension/hostui/menu_heading_win.h"

namespace va {

extern HMENU TrayMenu;

// Builds the tray menu once and returns it (later calls return the same menu).
HMENU BuildTrayMenu();
// Deletes the heading font and unloads msimg32.dll (host exit).
void ReleaseTrayMenuResources();

}  // namespace va
