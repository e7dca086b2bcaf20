// options_interface_page_win: the options dialog's "Interface" page (dialog 201).
#include "extension/windows/options_pages_win.h"

namespace va {

INT_PTR CALLBACK InterfacePageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace va
