// page_running_win: page 5, shown while the host client runs: asks the client
// to exit, and lets the user on only once it is gone.
#include <windows.h>

#include <commctrl.h>

#include "wizard/resources/resource.h"
#include "wizard/wizard_pages_win.h"

namespace va {
namespace {

INT_PTR OnCommand(HWND page, int id, int code) {
  if (id == IDC_CLOSE_CLIENT && code == BN_CLICKED) {
    if (HWND host = FindHostWindow()) SendMessageA(host, WM_COMMAND, IDM_HOST_EXIT, 0);
  }
  return FALSE;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  INT_PTR result = FALSE;
  if (HandleCommonNotify(page, header, PSWIZB_BACK | PSWIZB_NEXT, result)) return result;
  switch (header->code) {
    case PSN_WIZNEXT:
      if (FindHostWindow()) {
        MessageBeep(MB_OK);
        return SetPageResult(page, kStayOnPage);
      }
      return SetPageResult(page, IDD_WELCOME);
    case PSN_WIZBACK:
      return SetPageResult(page, IDD_WELCOME);
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK RunningPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
  }
  return FALSE;
}

}  // namespace va
