// page_welcome_win: page 0, the welcome page: the wizard's icon and position,
// the two small labels in the button row, and the jump to the "client is
// running" page while the client runs.
#include <windows.h>

#include <commctrl.h>

#include "wizard/hidden_text.h"
#include "wizard/resources/resource.h"
#include "wizard/wizard_pages_win.h"
#include "wizard/wizard_state.h"

namespace va {
namespace {

constexpr size_t kLabelBuffer = 64;
struct LabelPlace {
  int number;  // stored text
  RECT dialogUnits;  // left, top, right, bottom
};
const LabelPlace kLabels[] = {{1, {5, 205, 5 + 50, 205 + 10}}, {2, {60, 205, 60 + 60, 205 + 10}}};

void SetSheetIcons(HWND sheet) {
  HINSTANCE instance = Wizard().instance;
  HANDLE big = LoadImageA(instance, MAKEINTRESOURCEA(IDI_WIZARD), IMAGE_ICON, 32, 32, LR_SHARED);
  HANDLE small = LoadImageA(instance, MAKEINTRESOURCEA(IDI_WIZARD), IMAGE_ICON, 16, 16, LR_SHARED);
  SendMessageA(sheet, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
  SendMessageA(sheet, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void CentreOnScreen(HWND sheet) {
  RECT frame;
  GetWindowRect(sheet, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - (height + GetSystemMetrics(SM_CYCAPTION))) / 2;
  SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void AddButtonRowLabels(HWND sheet) {
  for (const LabelPlace& place : kLabels) {
    char text[kLabelBuffer] = {};
    if (!DecodeHiddenText(place.number, text, sizeof text)) text[0] = '\0';
    RECT area = place.dialogUnits;
    MapDialogRect(sheet, &area);
    HWND label = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | WS_DISABLED, area.left, area.top,
                                 area.right - area.left, area.bottom - area.top, sheet,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_WIZARD_LABEL)), Wizard().instance,
                                 nullptr);
    if (label) SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(Wizard().fonts.bold), TRUE);
  }
}

INT_PTR OnInitDialog(HWND page) {
  HWND sheet = GetParent(page);
  SetSheetIcons(sheet);
  CentreOnScreen(sheet);
  SetControlFont(page, IDC_TITLE, Wizard().fonts.title);
  SetControlFont(page, IDC_WELCOME_LIST, Wizard().fonts.bold);
  AddButtonRowLabels(sheet);
  return TRUE;
}

INT_PTR OnNotify(HWND page, const NMHDR* header) {
  INT_PTR result = FALSE;
  if (HandleCommonNotify(page, header, PSWIZB_NEXT, result)) return result;
  if (header->code == PSN_WIZNEXT) return SetPageResult(page, FindHostWindow() ? IDD_RUNNING : 0);
  return FALSE;
}

}  // namespace

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(page);
    case WM_NOTIFY: return OnNotify(page, reinterpret_cast<const NMHDR*>(lParam));
  }
  return FALSE;
}

}  // namespace va
