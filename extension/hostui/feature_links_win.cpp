// feature_links_win: the forwarding functions of feature_links_win.h. A feature
// that is not part of the module yet leaves its function empty: its command then
// does nothing beyond being consumed or passed on by the main window.
#include "extension/hostui/feature_links_win.h"

namespace va {
namespace {
// Until the Tools menu fills them, the Tools popups are empty ones of our own, so
// the menus that hold them keep their shape.
HMENU fallbackMainTools = nullptr;
HMENU fallbackTrayTools = nullptr;
}  // namespace

void LinkOpenOptionsDialog(HWND, int) {}

void LinkToggleStatusWindow(HWND) {}
bool LinkStatusWindowVisible() { return false; }
void LinkStatusFollowMainShow(bool) {}
bool LinkStatusOnMainActivate(HWND, WPARAM, LPARAM) { return false; }
void LinkStatusFollowPanel() {}
void LinkStatusHideAdBannerChanged(bool) {}

void LinkToggleAccelerator() {}
uint32_t LinkAcceleratorStatus() { return 0; }
bool LinkAcceleratorRunning() { return false; }
void LinkHoldAccelerator(bool) {}
HMENU LinkAcceleratorPopup() { return nullptr; }
void LinkSetAcceleratorTrayRedraw(void (*)()) {}

void LinkReorderDownloads(HWND) {}
void LinkFindMoreFromSame(int) {}
void LinkBulkDownloadCommand(int, int) {}

void LinkBuildToolsMenus() {
  if (!fallbackMainTools) fallbackMainTools = CreatePopupMenu();
  if (!fallbackTrayTools) fallbackTrayTools = CreatePopupMenu();
}
HMENU LinkMainToolsMenu() { return fallbackMainTools; }
HMENU LinkTrayToolsMenu() { return fallbackTrayTools; }
void LinkMeasureToolItem(MEASUREITEMSTRUCT*) {}
void LinkDrawToolItem(const DRAWITEMSTRUCT*) {}
void LinkRunTool(HWND, int) {}
void LinkPreviewWithTool(int) {}

void LinkShellOpenSelected() {}
void LinkStartQuickLinks(int) {}

void LinkStopAutoSearch() {}

}  // namespace va
