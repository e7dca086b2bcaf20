// page_common_win: what every wizard page shares (see wizard_pages_win.h).
#include <windows.h>

#include <commctrl.h>

#include "wizard/wizard_app_win.h"
#include "wizard/wizard_pages_win.h"
#include "wizard/wizard_state.h"

namespace va {

INT_PTR SetPageResult(HWND page, LONG_PTR result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

bool HandleCommonNotify(HWND page, const NMHDR* header, DWORD buttons, INT_PTR& result) {
  switch (header->code) {
    case PSN_SETACTIVE:
      PropSheet_SetWizButtons(GetParent(page), buttons);
      result = SetPageResult(page, 0);
      return true;
    case PSN_QUERYCANCEL:
      // TRUE refuses the quit and keeps the page.
      result = SetPageResult(page, ConfirmQuit(page) ? FALSE : TRUE);
      return true;
  }
  return false;
}

void SetControlFont(HWND page, int controlId, HFONT font) {
  if (HWND control = GetDlgItem(page, controlId)) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

HWND FindHostWindow() { return FindWindowA(kHostWindowClass, nullptr); }

}  // namespace va
