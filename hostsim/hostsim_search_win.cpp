// hostsim_search_win: automation for the search form tests: clicking the form's
// controls as the user does (optionally with Shift held), and a log of the texts
// that child windows on the host's thread receive (an add-on's status texts may
// stand for only a moment, too short to be read from outside).
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "hostsim/hostsim_state.h"

namespace va::hostsim {
namespace {

// Clicks a control of the search form (BM_CLICK: the button sends its parent the
// same WM_COMMAND as a mouse click). With `shift` the thread's keyboard state
// says Shift is down during the click, as GetKeyState reads it.
bool ClickSearchControl(int id, bool shift) {
  HWND control = g.searchForm ? GetDlgItem(g.searchForm, id) : nullptr;
  if (!control) return false;
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  BYTE saved[256];
  CopyMemory(saved, keys, sizeof keys);
  if (shift) {
    keys[VK_SHIFT] = keys[VK_LSHIFT] = 0x80;
    SetKeyboardState(keys);
  }
  SendMessageA(control, BM_CLICK, 0, 0);
  if (shift) SetKeyboardState(saved);
  return true;
}

HHOOK TextHook = nullptr;

LRESULT CALLBACK TextHookProc(int code, WPARAM wParam, LPARAM lParam) {
  const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && call && call->message == WM_SETTEXT && call->lParam &&
      (GetWindowLongPtrA(call->hwnd, GWL_STYLE) & WS_CHILD) != 0) {
    Log("text %d %s", GetDlgCtrlID(call->hwnd), reinterpret_cast<const char*>(call->lParam));
  }
  return CallNextHookEx(TextHook, code, wParam, lParam);
}

bool StartTextLog() {
  if (!TextHook) TextHook = SetWindowsHookExA(WH_CALLWNDPROC, TextHookProc, nullptr, GetCurrentThreadId());
  return TextHook != nullptr;
}

}  // namespace

bool ExecuteSearchCommand(const std::vector<std::string>& words, bool* understood) {
  if (words.size() == 1 && words[0] == "log-texts") {
    *understood = StartTextLog();
    return true;
  }
  if (words.empty() || words[0] != "search-click") return false;
  *understood = false;
  if (words.size() < 2 || words.size() > 3) return true;
  char* end = nullptr;
  const long id = std::strtol(words[1].c_str(), &end, 0);
  if (!end || *end != '\0') return true;
  const bool shift = words.size() == 3;
  if (shift && words[2] != "shift") return true;
  *understood = ClickSearchControl(static_cast<int>(id), shift);
  return true;
}

}  // namespace va::hostsim
