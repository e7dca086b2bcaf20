// download_menu_win: the Traffic window's hook (TrafficWindowHook, declared in
// window_hooks.h) and the download list's hook: the module's download popup made
// from the host's menu 219, shown on right click and the context-menu key while
// ChangeDownloadMenu is on; the bulk pause and resume commands and "Find more
// from the same" with its search-fill thread.
#pragma once
#include <windows.h>

#include <string>

namespace va {

// The download popup and its Accelerator submenu; 0 until the Traffic window's
// InitMessage and again after the Traffic window is destroyed.
extern HMENU DownloadPopup;
extern HMENU DownloadAcceleratorPopup;
// The cell text the last "Find more from the same" searches for.
extern std::string FindMoreText;

LRESULT CALLBACK DownloadListHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Commands 11201-11206 and 11301-11305: `action` kBulkActionResume or
// kBulkActionPause, `selector` one of the kSelect... values (download_commands.h).
// The accelerator gate is closed while the command walks the list.
void BulkDownloadCommand(int action, int selector);

// Commands 11251 (which 1, the title cell) and 11252 (which 2, the file-name cell).
void FindMoreFromSame(int which);

}  // namespace va
