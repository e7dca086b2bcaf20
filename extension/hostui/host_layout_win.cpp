// host_layout_win: the toolbar bitmap and the layout without the ad banner.
#include "extension/hostui/host_layout_win.h"

#include <commctrl.h>

#include "common/extension_options.h"
#include "common/registry_store.h"
#include "extension/core/addon_host.h"
#include "extension/core/attach.h"
#include "extension/core/host_ids.h"
#include "extension/core/module_state.h"

namespace va {

HBITMAP ToolbarBitmap = nullptr;

namespace {
constexpr int kBandCount = 2;
constexpr UINT kBandInfoSize = 80;  // the layout the host's rebar knows
const char kStatusBarClass[] = "msctls_statusbar32";
const char kSkinsKey[] = "SOFTWARE\\Vexlo\\Skins";

UINT BandInfoSize() {
#if defined(_WIN64)
  return sizeof(REBARBANDINFOA);  // the same fields with wider handles
#else
  static_assert(sizeof(REBARBANDINFOA) >= kBandInfoSize, "REBARBANDINFOA holds the 80-byte layout");
  return kBandInfoSize;
#endif
}

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) {
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Moves and sizes `child` without activation or Z-order change; what is already
// in place is left alone, so a repeated call changes nothing.
void PlaceChild(HWND child, int x, int y, int width, int height, bool show) {
  RECT now = ChildRect(child);
  UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
  if (now.left == x && now.top == y) flags |= SWP_NOMOVE;
  if (now.right - now.left == width && now.bottom - now.top == height) flags |= SWP_NOSIZE;
  if (show && !IsWindowVisible(child)) flags |= SWP_SHOWWINDOW;
  if ((flags & (SWP_NOMOVE | SWP_NOSIZE)) == (SWP_NOMOVE | SWP_NOSIZE) && !(flags & SWP_SHOWWINDOW)) return;
  SetWindowPos(child, nullptr, x, y, width, height, flags);
}

void HideWindow(HWND window) {
  if (window && IsWindowVisible(window)) ShowWindow(window, SW_HIDE);
}

// The n-th (0-based) child of `parent` of class `cls`.
HWND NthChild(HWND parent, const char* cls, int n) {
  HWND child = nullptr;
  for (int i = 0; i <= n; ++i) {
    child = FindWindowExA(parent, child, cls, nullptr);
    if (!child) return nullptr;
  }
  return child;
}

void ForgetSecondPanel() {
  if (!HostSecondPanelWindow) return;
  ShowWindow(HostSecondPanelWindow, SW_HIDE);
  DestroyWindow(HostSecondPanelWindow);
  HostSecondPanelWindow = nullptr;
}

void LayoutPlain(HWND bar2, HWND bar3, HWND player, const RECT& client) {
  const int clientWidth = client.right - client.left;
  if (bar3 && player) {
    RECT p = ChildRect(player);
    PlaceChild(player, 0, p.top, kPlayerWidth, p.bottom - p.top, true);
    if (HWND button = GetDlgItem(player, host::kPlayerChildId)) ShowWindow(button, SW_SHOW);
  }
  RECT b2 = bar2 ? ChildRect(bar2) : RECT{};
  if (bar3 && bar2) {
    RECT b3 = ChildRect(bar3);
    PlaceChild(bar3, b3.left, b2.top, kPlayerWidth, b3.bottom - b3.top, false);
  }
  if (bar2) {
    HWND first = NthChild(bar2, "Static", 0);
    HWND second = NthChild(bar2, "Static", 1);
    int secondWidth = 0;
    if (second) {
      RECT s = ChildRect(second);
      secondWidth = s.right - s.left;
      PlaceChild(second, 0, s.top, secondWidth, s.bottom - s.top, true);
    }
    if (first) {
      RECT f = ChildRect(first);
      PlaceChild(first, secondWidth, f.top, clientWidth - kPlayerWidth - secondWidth, f.bottom - f.top, false);
    }
    PlaceChild(bar2, kPlayerWidth, b2.top, clientWidth - kPlayerWidth, b2.bottom - b2.top, false);
  }
  if (MDIClientWindow && bar2) {
    RECT m = ChildRect(MDIClientWindow);
    PlaceChild(MDIClientWindow, m.left, m.top, clientWidth, b2.top - m.top, false);
  }
}

void LayoutSkinned(HWND bar2, HWND bar3, const RECT& client) {
  HideWindow(bar3);
  HideWindow(bar2);
  if (MDIClientWindow) {
    RECT m = ChildRect(MDIClientWindow);
    PlaceChild(MDIClientWindow, m.left, m.top, client.right - client.left, client.bottom - client.top, false);
  }
}
}  // namespace

void ApplyToolbarBitmap() {
  HBITMAP previous = ToolbarBitmap;
  ToolbarBitmap = nullptr;
  if (!CurrentOptions.ToolBarBitmap.empty())
    ToolbarBitmap = static_cast<HBITMAP>(
        LoadImageA(nullptr, CurrentOptions.ToolBarBitmap.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  HWND rebar = HostMainWindow ? GetDlgItem(HostMainWindow, host::kRebarId) : nullptr;
  if (rebar) {
    for (int band = 0; band < kBandCount; ++band) {
      REBARBANDINFOA info = {};
      info.cbSize = BandInfoSize();
      info.fMask = RBBIM_BACKGROUND;
      info.hbmBack = ToolbarBitmap;
      SendMessageA(rebar, RB_SETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
    }
    for (int band = 0; band < kBandCount; ++band) {
      REBARBANDINFOA info = {};
      info.cbSize = BandInfoSize();
      info.fMask = RBBIM_CHILD;
      if (SendMessageA(rebar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info)) && info.hwndChild) {
        InvalidateRect(info.hwndChild, nullptr, TRUE);
        UpdateWindow(info.hwndChild);
      }
    }
    InvalidateRect(rebar, nullptr, TRUE);
    UpdateWindow(rebar);
  }
  if (previous) DeleteObject(previous);
}

void LayoutWithoutAdBanner() {
  if (!HostMainWindow) return;
  HWND bar1 = GetDlgItem(HostMainWindow, host::kStatusBarId);
  HWND bar2 = bar1 ? FindWindowExA(HostMainWindow, bar1, kStatusBarClass, nullptr) : nullptr;
  HWND bar3 = bar2 ? FindWindowExA(HostMainWindow, bar2, kStatusBarClass, nullptr) : nullptr;
  HideWindow(HostPanelWindow);
  ForgetSecondPanel();
  const bool skinned = !ReadRegText(HKEY_CURRENT_USER, kSkinsKey, "CurrentSkin").empty();
  RECT client;
  GetClientRect(HostMainWindow, &client);
  HWND player = bar3 ? FindWindowExA(bar3, nullptr, TOOLBARCLASSNAMEA, nullptr) : nullptr;
  if (skinned) LayoutSkinned(bar2, bar3, client);
  else LayoutPlain(bar2, bar3, player, client);
}

LRESULT CALLBACK MDIClientProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = CallWindowProcA(PreviousMDIClientProc, window, message, wParam, lParam);
  if (message == WM_SIZE && CurrentOptions.HideAdBanner) LayoutWithoutAdBanner();
  // A window made or brought up may be a library window made again.
  if (message == WM_MDICREATE || message == WM_MDIACTIVATE || message == WM_PARENTNOTIFY) LookForLostHostWindows();
  return result;
}

void SubclassMDIClient(HWND mdiClient) {
  if (!mdiClient || PreviousMDIClientProc) return;
  PreviousMDIClientProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(mdiClient, GWLP_WNDPROC));
  SetWindowLongPtrA(mdiClient, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MDIClientProc));
}

}  // namespace va
