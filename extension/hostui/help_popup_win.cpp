// help_popup_win: the help balloon window (sizing rules in help_popup.cpp).
#include "extension/hostui/help_popup_win.h"

#include "extension/core/module_state.h"
#include "extension/hostui/help_popup.h"

namespace va {
namespace {
constexpr short kPopupWidthUnits = 150;
constexpr short kPopupHeightUnits = 28;
constexpr int kBelowCursorUnits = 12;  // the balloon ends this far below the cursor
// Text inside the body: margins left/top of the body and the body's inner room.
constexpr int kTextLeft = 4;
constexpr int kTextTop = 6;
// Posted to itself at creation: the capture is taken again once the dialog
// manager has shown the popup, since showing it cancels modes (and captures).
constexpr UINT kTakeCapture = WM_APP + 1;

// An in-memory template: a borderless popup without controls.
struct PopupTemplate {
  DLGTEMPLATE header;
  WORD menu, windowClass, title;
};

void MeasureText(HWND popup, const char* text, int* width, int* height) {
  RECT client;
  GetClientRect(popup, &client);
  const int areaWidth = (client.right - client.left) - kHelpAreaLeftTop - kHelpAreaRightBottom;
  HDC dc = GetDC(popup);
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
  RECT measure = {0, 0, 0, 0};
  DrawTextA(dc, text, -1, &measure, DT_CALCRECT | DT_EXTERNALLEADING);
  if (HelpTextNeedsWrap(measure.right - measure.left, areaWidth)) {
    measure = {0, 0, areaWidth, 0};
    DrawTextA(dc, text, -1, &measure, DT_WORDBREAK | DT_CALCRECT | DT_EXTERNALLEADING);
  }
  SelectObject(dc, oldFont);
  ReleaseDC(popup, dc);
  *width = measure.right - measure.left;
  *height = measure.bottom - measure.top;
}

void OnInitDialog(HWND popup, const char* text) {
  SetWindowTextA(popup, text ? text : "");
  int textWidth = 0, textHeight = 0;
  MeasureText(popup, text ? text : "", &textWidth, &textHeight);
  const int width = textWidth + kHelpExtraWidth;
  const int height = textHeight + kHelpExtraHeight;
  RECT below = {0, 0, 0, kBelowCursorUnits};
  MapDialogRect(popup, &below);
  POINT cursor;
  GetCursorPos(&cursor);
  const int left = cursor.x - (width + 1) / 2;
  const int top = cursor.y - height + below.bottom;
  // Shown here rather than by the dialog manager, so the capture is taken by a
  // visible window and every click, also outside the balloon, reaches it.
  SetWindowPos(popup, HWND_TOP, left, top, width, height, SWP_SHOWWINDOW);
  SetCapture(popup);
  PostMessageA(popup, kTakeCapture, 0, 0);
}

void OnPaint(HWND popup) {
  PAINTSTRUCT paint;
  HDC dc = BeginPaint(popup, &paint);
  RECT client;
  GetClientRect(popup, &client);
  const COLORREF shadow = GetSysColor(COLOR_3DDKSHADOW);
  for (const ShadowPixel& p : HelpShadowPixels(client.right, client.bottom)) SetPixel(dc, p.x, p.y, shadow);
  HBRUSH fill = CreateSolidBrush(GetSysColor(COLOR_INFOBK));
  HPEN pen = CreatePen(PS_SOLID, 1, GetSysColor(COLOR_INFOTEXT));
  HGDIOBJ oldBrush = SelectObject(dc, fill);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  const int bodyRight = client.right - kHelpShadowWidth;
  const int bodyBottom = client.bottom - kHelpShadowWidth;
  Rectangle(dc, 0, 0, bodyRight, bodyBottom);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(fill);
  char text[1024];
  GetWindowTextA(popup, text, sizeof text);
  RECT area = {kTextLeft, kTextTop, bodyRight - kTextLeft, bodyBottom - kTextLeft};
  HGDIOBJ oldFont = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
  DrawTextA(dc, text, -1, &area, DT_WORDBREAK | DT_EDITCONTROL);
  SelectObject(dc, oldFont);
  EndPaint(popup, &paint);
}

void Close(HWND popup) {
  // Ending the dialog deactivates it, which would ask to close it again.
  if (GetWindowLongPtrA(popup, DWLP_USER)) return;
  SetWindowLongPtrA(popup, DWLP_USER, 1);
  if (GetCapture() == popup) ReleaseCapture();
  EndDialog(popup, 0);
}

INT_PTR CALLBACK HelpPopupProc(HWND popup, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(popup, reinterpret_cast<const char*>(lParam));
      return TRUE;
    case WM_PAINT:
      OnPaint(popup);
      return TRUE;
    case kTakeCapture:
      if (!GetWindowLongPtrA(popup, DWLP_USER)) SetCapture(popup);
      return TRUE;
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
    case WM_HOTKEY:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_KILLFOCUS:
      Close(popup);
      return TRUE;
    case WM_ACTIVATE:
      if (LOWORD(wParam) == WA_INACTIVE) Close(popup);
      return FALSE;
    case WM_COMMAND:  // the dialog manager turns Enter and Escape into commands
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) Close(popup);
      return TRUE;
  }
  return FALSE;
}
}  // namespace

void ShowHelpPopup(HWND owner, const char* text) {
  PopupTemplate popup = {};
  popup.header.style = WS_POPUP;
  popup.header.cx = kPopupWidthUnits;
  popup.header.cy = kPopupHeightUnits;
  DialogBoxIndirectParamA(ModuleInstance, &popup.header, owner, HelpPopupProc, reinterpret_cast<LPARAM>(text));
}

}  // namespace va
