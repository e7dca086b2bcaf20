// feature_links_win: the forwarding functions of feature_links_win.h, so that the
// host window integration depends on the other features only through this file.
#include "extension/hostui/feature_links_win.h"

#include "common/extension_options.h"
#include "extension/accelerator/accelerator_win.h"
#include "extension/accelerator/download_commands.h"
#include "extension/accelerator/download_menu_win.h"
#include "extension/accelerator/reorder_dialog_win.h"
#include "extension/menus/file_manager_menu_win.h"
#include "extension/menus/tools_menu_win.h"
#include "extension/quicklinks/quicklinks_win.h"
#include "extension/windows/options_pages_win.h"
#include "extension/windows/search_panel_win.h"
#include "extension/windows/status_window_win.h"

namespace va {

// A page id makes that page the remembered one (the Accelerator page from the
// accelerator menus); 0 opens the remembered page.
void LinkOpenOptionsDialog(HWND owner, int page) {
  if (page != 0) CurrentLastState.ConfigDlg = static_cast<uint32_t>(page);
  OpenOptionsDialog(owner, page);
}

void LinkToggleStatusWindow(HWND owner) { ToggleStatusWindow(owner); }
bool LinkStatusWindowVisible() { return StatusWindow && IsWindowVisible(StatusWindow); }
void LinkStatusFollowMainShow(bool shown) { StatusWindowFollowMainShow(shown); }
bool LinkStatusOnMainActivate(HWND mainWindow, WPARAM wParam, LPARAM lParam) {
  return StatusWindowOnMainActivate(mainWindow, wParam, lParam);
}
void LinkStatusFollowPanel() { StatusWindowFollowPanel(); }
void LinkStatusHideAdBannerChanged(bool hidden) { StatusWindowHideAdBannerChanged(hidden); }

void LinkToggleAccelerator() { ToggleAccelerator(); }
uint32_t LinkAcceleratorStatus() { return AcceleratorStatus(); }
bool LinkAcceleratorRunning() { return AcceleratorShared.control.load() != kAcceleratorStopped; }
void LinkHoldAccelerator(bool hold) {
  if (!AcceleratorGate) return;
  if (hold) ResetEvent(AcceleratorGate);
  else SetEvent(AcceleratorGate);
}
HMENU LinkAcceleratorPopup() { return DownloadAcceleratorPopup; }
void LinkSetAcceleratorTrayRedraw(void (*redraw)()) { AcceleratorTrayRedraw = redraw; }

void LinkReorderDownloads(HWND owner) { ReorderDownloads(owner); }
void LinkFindMoreFromSame(int kind) { FindMoreFromSame(kind); }
void LinkBulkDownloadCommand(int action, int selector) {
  BulkDownloadCommand(action == kBulkPause ? kBulkActionPause : kBulkActionResume, selector);
}

// The Tools popups exist once BuildToolsMenus ran; it is not run again while they do.
void LinkBuildToolsMenus() {
  if (!MainToolsMenu || !TrayToolsMenu) BuildToolsMenus();
}
HMENU LinkMainToolsMenu() { return MainToolsMenu; }
HMENU LinkTrayToolsMenu() { return TrayToolsMenu; }
void LinkMeasureToolItem(MEASUREITEMSTRUCT* measure) { MeasureToolItem(measure); }
void LinkDrawToolItem(const DRAWITEMSTRUCT* draw) { DrawToolItem(draw); }
void LinkRunTool(HWND owner, int index) { RunTool(owner, index); }
void LinkPreviewWithTool(int index) { PreviewWithTool(index); }

void LinkShellOpenSelected() { ShellOpenSelected(); }
void LinkStartQuickLinks(int format) { StartQuickLinks(format); }

void LinkStopAutoSearch() { StopAutoSearchMore(); }

}  // namespace va
