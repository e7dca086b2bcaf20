// tray_view_win: the standalone tray's icon windows and their pixels.
#include "support/tray_view.h"

#include <shellapi.h>

#include <cstdlib>

namespace va::test {

namespace {
const char kTrayClass[] = "__winex11_standalone_tray";
const char kIconClass[] = "__winex11_tray_icon";

// The icon windows of the tray, up to two (enough to tell "exactly one").
int FindIconWindows(HWND* first) {
  *first = nullptr;
  HWND tray = FindWindowA(kTrayClass, nullptr);
  if (!tray || !IsWindowVisible(tray)) return 0;
  int count = 0;
  for (HWND icon = FindWindowExA(tray, nullptr, kIconClass, nullptr); icon;
       icon = FindWindowExA(tray, icon, kIconClass, nullptr)) {
    if (!IsWindowVisible(icon)) continue;
    if (count++ == 0) *first = icon;
  }
  return count;
}
}  // namespace

int TrayIconCount() {
  HWND first;
  return FindIconWindows(&first);
}

bool TrayHasIcon(HWND owner, UINT id) {
  // Changing nothing of an icon succeeds only for an icon the tray holds.
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE, data.hWnd = owner, data.uID = id;
  return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

COLORREF TrayIconPixel(int x, int y) {
  HWND icon;
  if (FindIconWindows(&icon) != 1) return CLR_INVALID;
  RECT rect;
  GetWindowRect(icon, &rect);
  // The tray centres the small icon in its slot.
  const int left = rect.left + (rect.right - rect.left - GetSystemMetrics(SM_CXSMICON)) / 2;
  const int top = rect.top + (rect.bottom - rect.top - GetSystemMetrics(SM_CYSMICON)) / 2;
  HDC screen = GetDC(nullptr);
  const COLORREF colour = GetPixel(screen, left + x, top + y);
  ReleaseDC(nullptr, screen);
  return colour;
}

bool SimilarColour(COLORREF a, COLORREF b, int tolerance) {
  if (a == CLR_INVALID || b == CLR_INVALID) return false;
  return std::abs(int(GetRValue(a)) - int(GetRValue(b))) <= tolerance &&
         std::abs(int(GetGValue(a)) - int(GetGValue(b))) <= tolerance &&
         std::abs(int(GetBValue(a)) - int(GetBValue(b))) <= tolerance;
}

}  // namespace va::test
