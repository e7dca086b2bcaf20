// options_accel_page_win: the options dialog's "Accelerator" page.
#include "extension/windows/options_pages_win.h"

namespace va {

INT_PTR CALLBACK AccelPageProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace va
