// page_user_win: page 1, the user and network name: filled from the registry or
// the metadata, filtered while typed, required before going on.
#include <windows.h>

#include <commctrl.h>

#include "common/registry_store.h"
#include "wizard/resources/resource.h"
#include "wizard/wizard_pages_win.h"
#include "wizard/wizard_rules.h"
#include "wizard/wizard_state.h"

namespace va {
namespace {

constexpr size_t kMaxUserName = 32;
constexpr size_t kMaxNetworkName = 16;
constexpr int kTextBuffer = 256;

std::string ControlText(HWND page, int id) {
  char text[kTextBuffer] = {};
  GetDlgItemTextA(page, id, text, sizeof text);
  return text;
}

// A stored name longer than its box allows is cut to the limit, so that what is
// shown, accepted and written back keeps the name rules.
std::string Prefill(std::string stored, const std::string& fallback, size_t limit) {
  if (stored.empty()) stored = fallback;
  if (stored.size() > limit) stored.resize(limit);
  return stored;
}

// Filters the edit's text as it is about to be shown.
void FilterEdit(HWND page, int id) {
  const NameFilterResult filtered = FilterNameText(ControlText(page, id));
  if (!filtered.changed) return;
  if (filtered.dropped) MessageBeep(MB_OK);
  HWND edit = GetDlgItem(page, id);
  SetWindowTextA(edit, filtered.text.c_str());
  const WPARAM end = filtered.text.size();
  SendMessageA(edit, EM_SETSEL, end, static_cast<LPARAM>(end));
}

INT_PTR OnInitDialog(HWND page) {
  const WizardState& state = Wizard();
  SetControlFont(page, IDC_AT_SIGN, state.fonts.bold);
  SendDlgItemMessageA(page, IDC_USER_NAME, EM_LIMITTEXT, kMaxUserName, 0);
  SendDlgItemMessageA(page, IDC_NETWORK_NAME, EM_LIMITTEXT, kMaxNetworkName, 0);
  const std::string user =
      Prefill(ReadRegText(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\UserDetails", "UserName", RegistryReader::Wizard),
              state.texts[4], kMaxUserName);
  const std::string network = Prefill(ReadRegText(SharedSettingsRoot(SharedRootUse::WizardWrites), "SOFTWARE\\V++",
                                                  "LastName", RegistryReader::Wizard),
                                      state.texts[5], kMaxNetworkName);
  SetDlgItemTextA(page, IDC_USER_NAME, user.c_str());
  SetDlgItemTextA(page, IDC_NETWORK_NAME, network.c_str());
  return TRUE;
}

INT_PTR OnCommand(HWND page, int id, int code) {
  if (code == EN_UPDATE && (id == IDC_USER_NAME || id == IDC_NETWORK_NAME)) FilterEdit(page, id);
  return FALSE;
}

INT_PTR OnNext(HWND page) {
  const std::string user = ControlText(page, IDC_USER_NAME);
  const std::string network = ControlText(page, IDC_NETWORK_NAME);
  for (const auto& [text, id] : {std::pair{&user, IDC_USER_NAME}, std::pair{&network, IDC_NETWORK_NAME}}) {
    if (text->empty()) {
      MessageBeep(MB_OK);
      SetFocus(GetDlgItem(page, id));
      return SetPageResult(page, kStayOnPage);
    }
  }
  Wizard().userAtNetwork = user + "@" + network;
  return SetPageResult(page, 0);
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  INT_PTR result = FALSE;
  if (HandleCommonNotify(page, header, PSWIZB_BACK | PSWIZB_NEXT, result)) return result;
  if (header->code == PSN_WIZNEXT) return OnNext(page);
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK UserPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_COMMAND: return OnCommand(page, LOWORD(wParam), HIWORD(wParam));
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
  }
  return FALSE;
}

}  // namespace va
