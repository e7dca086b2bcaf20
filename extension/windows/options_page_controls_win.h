// options_page_controls_win: small control helpers the options pages share (check
// boxes, enabling, showing, module strings).
#pragma once
#include <windows.h>

#include <string>

#include "extension/core/module_state.h"

namespace va {

inline bool IsItemChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
inline void CheckItem(HWND page, int id, bool checked) {
  CheckDlgButton(page, id, checked ? BST_CHECKED : BST_UNCHECKED);
}
inline void EnableItem(HWND page, int id, bool enabled) {
  if (HWND control = GetDlgItem(page, id)) EnableWindow(control, enabled ? TRUE : FALSE);
}
inline void ShowItem(HWND page, int id, bool shown) {
  if (HWND control = GetDlgItem(page, id)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}
inline std::string ModuleText(int id) {
  char text[1024] = "";
  LoadStringA(ModuleInstance, static_cast<UINT>(id), text, sizeof text);
  return text;
}
inline std::string ItemText(HWND page, int id) {
  char text[MAX_PATH + 64] = "";
  GetDlgItemTextA(page, id, text, sizeof text);
  return text;
}

}  // namespace va
