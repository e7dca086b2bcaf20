// host_menus_win: the module's items in the host's menu bar (installed once per
// menu-bar handle, the Tools popup in one of two places), the item texts and
// marks kept current when popups open, and the About box on the host's dialog 100.
#pragma once
#include <windows.h>

#include <vector>

namespace va {

// InstalledMenus and ToolsPlacement (1 in the menu bar, 0 under Options).
extern std::vector<HMENU> InstalledMenus;
extern int ToolsPlacement;

// move = 0: install into the window's current menu bar unless done before; returns
// 1 when it installed. move != 0: move the Tools popup of every installed bar to
// where AddToMainMenu now asks for.
int InstallMenus(HWND window, int move);
void UpdatePopupItems(HMENU popup);

// The About box: the host's dialog 100 with the module's line added.
INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void ShowAboutBox(HWND owner);
inline constexpr int kAboutLineId = 101;

}  // namespace va
