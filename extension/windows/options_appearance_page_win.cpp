// options_appearance_page_win: the options dialog's "Appearance" page.
#include "extension/windows/options_pages_win.h"

namespace va {

INT_PTR CALLBACK AppearancePageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace va
