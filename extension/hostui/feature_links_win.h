// feature_links_win: what the main window's procedure, the tray and the menus call
// in the module's other features (options dialog, status window, accelerator,
// download menus, reordering, Tools menu, file manager menu, QuickLinks, search
// panel). One small function per command or query; each forwards to its feature.
#pragma once
#include <windows.h>

#include <cstdint>

namespace va {

// Options dialog: `page` 0 opens the page shown last, 203 the Accelerator page.
inline constexpr int kOptionsAcceleratorPage = 203;
void LinkOpenOptionsDialog(HWND owner, int page);

// Status window.
void LinkToggleStatusWindow(HWND owner);
bool LinkStatusWindowVisible();
void LinkStatusFollowMainShow(bool shown);
bool LinkStatusOnMainActivate(HWND mainWindow, WPARAM wParam, LPARAM lParam);  // true: consumed
void LinkStatusFollowPanel();                                                 // docked only
void LinkStatusHideAdBannerChanged(bool hidden);

// Accelerator.
void LinkToggleAccelerator();
uint32_t LinkAcceleratorStatus();  // 1 running, 2 disabled, 3 idle, 0 never started
bool LinkAcceleratorRunning();
void LinkHoldAccelerator(bool hold);  // closes (true) or opens the accelerator gate
HMENU LinkAcceleratorPopup();         // the download list menu's accelerator popup, or 0
// The tray icon's redraw that the accelerator calls when its state changes.
void LinkSetAcceleratorTrayRedraw(void (*redraw)());

// Download commands.
void LinkReorderDownloads(HWND owner);
void LinkFindMoreFromSame(int kind);               // 1 title, 2 file name
void LinkBulkDownloadCommand(int action, int selector);
inline constexpr int kBulkResume = 1;
inline constexpr int kBulkPause = 2;

// Tools menu. The popups always exist after LinkBuildToolsMenus.
void LinkBuildToolsMenus();
HMENU LinkMainToolsMenu();
HMENU LinkTrayToolsMenu();
void LinkMeasureToolItem(MEASUREITEMSTRUCT* measure);
void LinkDrawToolItem(const DRAWITEMSTRUCT* draw);
void LinkRunTool(HWND owner, int index);
void LinkPreviewWithTool(int index);

// File manager menu and QuickLinks.
void LinkShellOpenSelected();
void LinkStartQuickLinks(int format);

// Search panel: host command 32892 stops a running Auto Search More.
void LinkStopAutoSearch();

}  // namespace va
