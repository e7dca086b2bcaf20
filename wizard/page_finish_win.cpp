// page_finish_win: page 4, the finish page: the summary of the choices, the
// "Run Vexlo Aero" check box, and the finish steps.
#include <windows.h>

#include <commctrl.h>
#include <shlwapi.h>

#include "wizard/resources/resource.h"
#include "wizard/wizard_app_win.h"
#include "wizard/wizard_pages_win.h"
#include "wizard/wizard_state.h"

namespace va {
namespace {

// The shared folder path, shortened with an ellipsis to fit the label.
void ShowCompactedPath(HWND page, const std::string& path) {
  HWND label = GetDlgItem(page, IDC_FINISH_FOLDER);
  if (!label) return;
  RECT area;
  GetClientRect(label, &area);
  std::vector<char> text(path.begin(), path.end());
  text.resize(std::max<size_t>(text.size() + 1, MAX_PATH), '\0');
  HDC dc = GetDC(label);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(label, WM_GETFONT, 0, 0)));
  PathCompactPathA(dc, text.data(), static_cast<UINT>(area.right - area.left));
  SelectObject(dc, old);
  ReleaseDC(label, dc);
  SetWindowTextA(label, text.data());
}

INT_PTR OnInitDialog(HWND page) {
  const WizardState& state = Wizard();
  SetControlFont(page, IDC_TITLE, state.fonts.title);
  for (int id : {IDC_FINISH_USER_LABEL, IDC_FINISH_FOLDER_LABEL, IDC_FINISH_CONNECTION_LABEL}) {
    SetControlFont(page, id, state.fonts.bold);
  }
  CheckDlgButton(page, IDC_RUN_CLIENT, BST_CHECKED);
  return TRUE;
}

void OnSetActive(HWND page) {
  const WizardState& state = Wizard();
  SetDlgItemTextA(page, IDC_FINISH_USER, state.userAtNetwork.c_str());
  ShowCompactedPath(page, state.sharedFolder);
  const bool valid = state.profileIndex >= 0 && static_cast<size_t>(state.profileIndex) < state.profiles.size();
  SetDlgItemTextA(page, IDC_FINISH_CONNECTION, valid ? state.profiles[state.profileIndex].name.c_str() : "");
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  INT_PTR result = FALSE;
  if (header->code == PSN_SETACTIVE) OnSetActive(page);
  if (HandleCommonNotify(page, header, PSWIZB_BACK | PSWIZB_FINISH, result)) return result;
  if (header->code == PSN_WIZFINISH) {
    FinishWizard(IsDlgButtonChecked(page, IDC_RUN_CLIENT) == BST_CHECKED);
    return SetPageResult(page, FALSE);  // the sheet closes
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
  }
  return FALSE;
}

}  // namespace va
