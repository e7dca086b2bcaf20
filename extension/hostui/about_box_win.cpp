// about_box_win: the host's About box (its dialog 100) with the module's line.
#include <string>

#include "extension/core/hidden_text.h"
#include "extension/core/host_ids.h"
#include "extension/core/module_state.h"
#include "extension/hostui/about_line.h"
#include "extension/hostui/host_menus_win.h"

namespace va {
namespace {
// Where the line goes, in the dialog's units, and its font.
constexpr RECT kAboutLineUnits = {15, 237, 15 + 143, 237 + 9};
constexpr int kAboutFontPoints = 8;
constexpr size_t kProductLineSize = 128;
HFONT AboutFont = nullptr;

void OnInitDialog(HWND dialog) {
  char product[kProductLineSize] = "";
  DecodeHiddenText(kProductLineNumber, product, sizeof product);
  product[kProductLineSize - 1] = '\0';
  const std::string line = ComposeAboutLine(CaptionText, product);
  RECT place = kAboutLineUnits;
  MapDialogRect(dialog, &place);
  HWND label = CreateWindowExA(0, "STATIC", line.c_str(), WS_CHILD | WS_VISIBLE, place.left, place.top,
                               place.right - place.left, place.bottom - place.top, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kAboutLineId)), ModuleInstance, nullptr);
  HDC dc = GetDC(dialog);
  const int height = -MulDiv(kAboutFontPoints, GetDeviceCaps(dc, LOGPIXELSY), 72);
  ReleaseDC(dialog, dc);
  if (AboutFont) DeleteObject(AboutFont);
  AboutFont = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                          CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "MS Sans Serif");
  if (label && AboutFont) SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(AboutFont), FALSE);
  if (HWND hidden = GetDlgItem(dialog, host::kAboutHiddenControlId)) ShowWindow(hidden, SW_SHOW);
}
}  // namespace

INT_PTR CALLBACK AboutBoxProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(dialog);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, 1);
      return TRUE;
    case WM_DESTROY:
      if (AboutFont) DeleteObject(AboutFont);
      AboutFont = nullptr;
      return FALSE;
  }
  return FALSE;
}

void ShowAboutBox(HWND owner) {
  DialogBoxParamA(HostResourceModule, MAKEINTRESOURCEA(host::kAboutDialogId), owner, AboutBoxProc, 0);
}

}  // namespace va
