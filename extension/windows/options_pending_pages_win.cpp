// options_pending_pages_win: placeholders for the Tools, File Organizer and Add-on
// pages until their own files exist; the dialog shows no window for a page whose
// dialog resource is missing. Delete this file together with adding those pages.
#include "extension/windows/options_pages_win.h"

namespace va {

INT_PTR CALLBACK ToolsPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK OrganizerPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
INT_PTR CALLBACK AddOnPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace va
