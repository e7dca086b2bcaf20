// page_connection_win: page 3, the connection type: the profile list and the
// summary of the selected profile's limits.
#include <windows.h>

#include <commctrl.h>

#include "wizard/resources/resource.h"
#include "wizard/wizard_messages_win.h"
#include "wizard/wizard_pages_win.h"
#include "wizard/wizard_rules.h"
#include "wizard/wizard_state.h"

namespace va {
namespace {

constexpr int kTemplateBuffer = 1024;

// The summary template, read from the label once when the page is created.
std::string& SummaryTemplate() {
  static std::string summary;
  return summary;
}

void ShowSummary(HWND page) {
  const WizardState& state = Wizard();
  const LRESULT index = SendDlgItemMessageA(page, IDC_CONNECTION_LIST, CB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= state.profiles.size()) return;
  const std::string summary = BuildConnectionSummary(SummaryTemplate(), state.profiles[index],
                                                     LoadWizardString(IDS_DASH), LoadWizardString(IDS_UNLIMITED));
  SetDlgItemTextA(page, IDC_CONNECTION_SUMMARY, summary.c_str());
}

INT_PTR OnInitDialog(HWND page) {
  SetControlFont(page, IDC_OPTIMAL_SETTINGS, Wizard().fonts.link);
  char summary[kTemplateBuffer] = {};
  GetDlgItemTextA(page, IDC_CONNECTION_SUMMARY, summary, sizeof summary);
  SummaryTemplate() = summary;
  for (const ConnectionProfile& profile : Wizard().profiles) {
    SendDlgItemMessageA(page, IDC_CONNECTION_LIST, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(profile.name.c_str()));
  }
  SendDlgItemMessageA(page, IDC_CONNECTION_LIST, CB_SETCURSEL, 0, 0);
  ShowSummary(page);
  return TRUE;
}

INT_PTR OnCommand(HWND page, int id, int code) {
  if (id == IDC_CONNECTION_LIST && code == CBN_SELCHANGE) ShowSummary(page);
  return FALSE;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  INT_PTR result = FALSE;
  if (HandleCommonNotify(page, header, PSWIZB_BACK | PSWIZB_NEXT, result)) return result;
  if (header->code == PSN_WIZNEXT) {
    Wizard().profileIndex = static_cast<int>(SendDlgItemMessageA(page, IDC_CONNECTION_LIST, CB_GETCURSEL, 0, 0));
    return SetPageResult(page, 0);
  }
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK ConnectionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
  }
  return FALSE;
}

}  // namespace va
