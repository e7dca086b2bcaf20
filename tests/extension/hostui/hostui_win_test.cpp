// The host window integration in-process, where the platform matters: the
// title-bar button's capture, the tray icon's clicks, and the composed status
// icons' pixels and GDI objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/hostui/icon_images_win.h"
#include "extension/hostui/main_window.h"
#include "extension/hostui/title_button_win.h"
#include "extension/hostui/tray_icon_win.h"

namespace va {
namespace {

std::string passed;  // what reached the host's procedure, as "message:wParam "

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  passed += std::to_string(message) + ":" + std::to_string(wParam) + " ";
  return DefWindowProcA(window, message, wParam, lParam);
}

// A frame of the test's own plays the host's main window, subclassed as the module
// does it. Over the title-bar button the hit test answers 65; a press captures the
// mouse, a release off it does nothing, a release over it hides the window into the
// tray, and no button-up reaches the host. In the tray a plain click is the host's,
// a double-click restores on the following button-up.
TEST(MainWindow, TitleButtonHidesIntoTheTrayAndTheTrayClicks) {
  HWND window = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 400, nullptr,
                                nullptr, nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  ModuleInstance = GetModuleHandleA(nullptr);
  HostMainWindow = window;
  PreviousMainProc = RecordingProc;
  SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainWindowProc));
  CurrentOptions.ChangeSystemBtn = 1;
  InitTitleButton(window);
  RECT frame;
  GetWindowRect(window, &frame);
  const POINT centre = {frame.left + TitleButton.rect.x + TitleButton.rect.width / 2,
                        frame.top + TitleButton.rect.y + TitleButton.rect.height / 2};
  auto call = [&](UINT message, POINT at, bool client) {  // a point in screen or client coordinates
    if (client) ScreenToClient(window, &at);
    return MainWindowProc(window, message, message == WM_NCLBUTTONDOWN ? 65 : 0, MAKELPARAM(at.x, at.y));
  };
  passed.clear();
  EXPECT_EQ(call(WM_NCHITTEST, centre, false), 65);
  EXPECT_EQ(call(WM_NCLBUTTONDOWN, centre, false), 0);
  EXPECT_EQ(GetCapture(), window);
  call(WM_LBUTTONUP, {centre.x - 150, centre.y + 120}, true);
  EXPECT_TRUE(IsWindowVisible(window));
  call(WM_NCLBUTTONDOWN, centre, false);
  call(WM_LBUTTONUP, centre, true);
  EXPECT_FALSE(IsWindowVisible(window));
  EXPECT_EQ((" " + passed).find(" 514:"), std::string::npos) << "a button-up while captured reached the host: " << passed;

  const std::string tray = std::to_string(kTrayCallbackMessage) + ":216 ";
  passed.clear();
  MainWindowProc(window, kTrayCallbackMessage, kTrayIconId, WM_LBUTTONUP);
  EXPECT_EQ(passed, tray) << "a plain click in the tray is the host's";
  MainWindowProc(window, kTrayCallbackMessage, kTrayIconId, WM_LBUTTONDBLCLK);
  EXPECT_FALSE(IsWindowVisible(window)) << "restored before the button-up that follows the double-click";
  MainWindowProc(window, kTrayCallbackMessage, kTrayIconId, WM_LBUTTONUP);
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_EQ(passed.find(tray, 1), std::string::npos) << "the double-click or its button-up reached the host";

  // The icon belongs to this thread: asked from another, it changes when this
  // thread handles its messages, not before. (It went when the window came back.)
  const int removed = TrayIconShownState();
  HANDLE worker = CreateThread(nullptr, 0, [](LPVOID) WINAPI -> DWORD { return UpdateTrayIcon(kTrayAdd), 0; }, nullptr, 0, nullptr);
  WaitForSingleObject(worker, 5000);
  CloseHandle(worker);
  const int untouched = TrayIconShownState();
  for (MSG message; PeekMessageA(&message, window, 0, 0, PM_REMOVE);) DispatchMessageA(&message);
  EXPECT_EQ(std::vector<int>({removed, untouched, TrayIconShownState()}), std::vector<int>({0, 0, 1}));
  UpdateTrayIcon(kTrayExit);
  DestroyWindow(window);  // and its hover timer
  HostMainWindow = nullptr;
  PreviousMainProc = nullptr;
  CurrentOptions = ExtensionOptions();
}

// An icon of the system's small size, blue on the right, transparent on the left.
HICON MakeTestIcon(bool withAlpha) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON), stride = (cx + 15) / 16 * 2;
  std::vector<uint32_t> colour(cx * cy);
  std::vector<uint8_t> mask(stride * cy, 0);
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) {
      if (x < cx / 2) mask[y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
      else colour[y * cx + x] = withAlpha ? 0xC00000FFu : 0x000000FFu;
    }
  return CreateIcon(nullptr, cx, cy, 1, 32, mask.data(), reinterpret_cast<const BYTE*>(colour.data()));
}

// GDI objects in use by this process. Where the system does not count them
// (GetGuiResources answers 0 under Wine), the free places of the handle table are
// counted instead by filling it with brushes and freeing them again.
long GdiObjectsInUse() {
  if (DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(counted);
  std::vector<HBRUSH> brushes;
  for (HBRUSH brush; brushes.size() < 200000 && (brush = CreateSolidBrush(RGB(1, 2, 3)));) brushes.push_back(brush);
  for (HBRUSH brush : brushes) DeleteObject(brush);
  return 200000 - static_cast<long>(brushes.size());
}

// The top-right 5 x 5 pixels: the state colour inside a black frame, opaque; the
// rest keeps the icon's own transparency (mask, or alpha when it has one).
TEST(StatusIcon, ComposedSquareWithAndWithoutAlphaAndNoGdiLeak) {
  for (bool withAlpha : {false, true}) {
    SCOPED_TRACE(withAlpha ? "alpha icon" : "masked icon");
    HICON base = MakeTestIcon(withAlpha), composed = ComposeStatusIcon(base, RGB(50, 230, 50));
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(composed, &info) && info.hbmColor);
    const int w = GetSystemMetrics(SM_CXSMICON), h = GetSystemMetrics(SM_CYSMICON);
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader, bi.bmiHeader.biWidth = w, bi.bmiHeader.biHeight = -h;
    bi.bmiHeader.biPlanes = 1, bi.bmiHeader.biBitCount = 32;
    std::vector<uint32_t> colour(w * h), mask(w * h);  // top-down 0xAARRGGBB; mask 0 opaque
    HDC dc = GetDC(nullptr);
    ASSERT_EQ(GetDIBits(dc, info.hbmMask, 0, h, mask.data(), &bi, DIB_RGB_COLORS), h);
    ASSERT_EQ(GetDIBits(dc, info.hbmColor, 0, h, colour.data(), &bi, DIB_RGB_COLORS), h);
    ReleaseDC(nullptr, dc);
    for (int y = 0; y < 5; ++y)
      for (int x = w - 5; x < w; ++x) {
        const bool edge = y == 0 || y == 4 || x == w - 5 || x == w - 1;
        EXPECT_EQ(colour[y * w + x], edge ? 0xFF000000u : 0xFF32E632u) << x << "," << y;
        EXPECT_EQ(mask[y * w + x] & 0xFFFFFF, 0u) << x << "," << y;
      }
    const int left = h / 2 * w + 1, right = h / 2 * w + w - 2;
    const std::vector<uint32_t> got = {mask[left] & 0xFFFFFF, mask[right] & 0xFFFFFF, colour[left] >> 24,
                                       withAlpha ? colour[right] >> 24 : colour[right]};
    // The alpha channel decides where there is one.
    EXPECT_EQ(got, withAlpha ? std::vector<uint32_t>({0xFFFFFF, 0xFFFFFF, 0, 0xC0}) : std::vector<uint32_t>({0xFFFFFF, 0, 0, 0xFF0000FF}));
    for (HGDIOBJ object : {info.hbmColor, info.hbmMask}) DeleteObject(object);
    DestroyIcon(composed);
    DestroyIcon(base);
  }
  HICON base = MakeTestIcon(false);  // and composing again and again leaks no GDI object
  DestroyIcon(ComposeStatusIcon(base, RGB(230, 50, 50)));  // warm up caches
  const long before = GdiObjectsInUse();
  for (int round = 0; round < 300; ++round) DestroyIcon(ComposeStatusIcon(base, RGB(230, 50, 50)));
  EXPECT_LE(GdiObjectsInUse(), before + 2) << "one leaked object per round would show as 300";
  DestroyIcon(base);
}

}  // namespace
}  // namespace va
