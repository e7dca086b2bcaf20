// The host window integration in-process, where the platform matters: the
// title-bar button's capture, moving the Tools popup between menu bars, the popup
// updates, and the composed status icons' pixels and GDI objects.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/hostui/host_menus_win.h"
#include "extension/hostui/icon_images_win.h"
#include "extension/hostui/main_window.h"
#include "extension/hostui/title_button_win.h"

namespace va {
namespace {

std::vector<std::pair<UINT, WPARAM>> passed;  // what reached the host's procedure

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  passed.push_back({message, wParam});
  return DefWindowProcA(window, message, wParam, lParam);
}

int PassedCount(UINT message, WPARAM wParam) {
  int n = 0;
  for (const auto& p : passed) n += p.first == message && p.second == wParam;
  return n;
}

// A menu bar shaped like the host's: six menus, Options at 3.
HMENU MakeHostMenuBar() {
  HMENU bar = CreateMenu();
  for (const char* name : {"&File", "&View", "&Player", "&Options", "&Window", "&Help"}) {
    HMENU sub = CreatePopupMenu();
    for (int j = 0; j < 6; ++j) AppendMenuA(sub, MF_STRING, 100 + j, "item");
    AppendMenuA(bar, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), name);
  }
  return bar;
}

// The bar's texts, then those of its Options menu ("-" for a separator).
std::string BarText(HMENU bar) {
  std::string out;
  for (HMENU menu : {bar, GetSubMenu(bar, 3)}) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
      char text[128] = "-";
      GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
      out += std::string(*text ? text : "-") + ",";
    }
    out += menu == bar ? " | " : "";
  }
  return out;
}

// A frame of the test's own plays the host's main window, subclassed as the module does it.
class MainWindow : public testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 600, 400, nullptr,
                              nullptr, nullptr, nullptr);
    ASSERT_NE(window_, nullptr);
    ModuleInstance = GetModuleHandleA(nullptr);
    HostMainWindow = window_;
    PreviousMainProc = RecordingProc;
    SetWindowLongPtrA(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainWindowProc));
    CurrentOptions = ExtensionOptions();
    CurrentOptions.ChangeSystemBtn = 1;
    InitTitleButton(window_);
    passed.clear();
  }
  void TearDown() override {
    KillTimer(window_, kHoverTimer);
    DestroyWindow(window_);
    HostMainWindow = nullptr;
    PreviousMainProc = nullptr;
    CurrentOptions = ExtensionOptions();
  }
  LRESULT Call(UINT message, WPARAM wParam, POINT screen, bool client = false) {
    if (client) ScreenToClient(window_, &screen);
    return MainWindowProc(window_, message, wParam, MAKELPARAM(screen.x, screen.y));
  }
  HWND window_ = nullptr;
};

// Over the button the hit test answers 65 (only with ChangeSystemBtn); a press
// captures the mouse, dragging off raises the button, a release off it does
// nothing, a release over it hides the window into the tray.
TEST_F(MainWindow, TitleButtonCapturesTheMouseAndActsOnlyOnAReleaseOverIt) {
  RECT frame;
  GetWindowRect(window_, &frame);
  const POINT centre = {frame.left + TitleButton.rect.x + TitleButton.rect.width / 2,
                        frame.top + TitleButton.rect.y + TitleButton.rect.height / 2};
  const POINT off = {centre.x - 150, centre.y + 120};
  EXPECT_EQ(Call(WM_NCHITTEST, 0, centre), 65);
  EXPECT_EQ(Call(WM_NCRBUTTONDOWN, 65, centre), 0);  // no system menu over the button
  Call(WM_NCHITTEST, 0, off);
  EXPECT_EQ(PassedCount(WM_NCHITTEST, 0), 1) << "only the hit test off the button reaches the host";
  EXPECT_EQ(PassedCount(WM_NCRBUTTONDOWN, 65), 0);
  CurrentOptions.ChangeSystemBtn = 0;
  EXPECT_NE(Call(WM_NCHITTEST, 0, centre), 65);
  CurrentOptions.ChangeSystemBtn = 1;

  EXPECT_EQ(Call(WM_NCLBUTTONDOWN, 65, centre), 0);
  EXPECT_EQ(GetCapture(), window_);
  Call(WM_MOUSEMOVE, 0, off, true);
  EXPECT_EQ(TitleButton.buttonUp, 1) << "drawn raised while the cursor is off the button";
  Call(WM_MOUSEMOVE, 0, centre, true);
  EXPECT_EQ(TitleButton.buttonUp, 0);
  Call(WM_MOUSEMOVE, 0, off, true);
  Call(WM_LBUTTONUP, 0, off, true);
  EXPECT_NE(GetCapture(), window_);
  EXPECT_EQ(TitleButton.buttonUp, 1);
  EXPECT_TRUE(IsWindowVisible(window_));
  EXPECT_EQ(PassedCount(WM_LBUTTONUP, 0), 0) << "consumed while captured";

  Call(WM_NCLBUTTONDOWN, 65, centre);
  Call(WM_LBUTTONUP, 0, centre, true);
  EXPECT_FALSE(IsWindowVisible(window_));
  Call(WM_LBUTTONUP, 0, centre, true);
  EXPECT_EQ(PassedCount(WM_LBUTTONUP, 0), 1) << "without a capture the button-up is the host's";
}

// Switching AddToMainMenu back and forth moves Tools between the bar (position 5)
// and the end of Options (after a separator) in every installed bar, never twice.
TEST_F(MainWindow, SwitchingAddToMainMenuMovesToolsInEveryBar) {
  const std::string items = "item,item,item,item,item,item,VA Extensions Options...,";
  const std::string inBar = "&File,&View,&Player,&Options,&Window,Tools,&Help, | " + items;
  const std::string underOptions = "&File,&View,&Player,&Options,&Window,&Help, | " + items + "-,Tools,";
  InstalledMenus.clear();
  CurrentOptions.AddToMainMenu = 1;
  HMENU bars[2] = {MakeHostMenuBar(), MakeHostMenuBar()};
  for (HMENU bar : bars) {
    SetMenu(window_, bar);
    InstallMenus(window_, 0);
    EXPECT_EQ(InstallMenus(window_, 0), 0) << "a menu bar is installed once";
    EXPECT_EQ(BarText(bar), inBar);
  }
  for (int round = 0; round < 2; ++round) {
    CurrentOptions.AddToMainMenu = 0;
    InstallMenus(window_, 1);
    for (HMENU bar : bars) EXPECT_EQ(BarText(bar), underOptions) << "round " << round;
    CurrentOptions.AddToMainMenu = 1;
    InstallMenus(window_, 1);
    InstallMenus(window_, 1);  // unchanged placement: nothing moves
    for (HMENU bar : bars) EXPECT_EQ(BarText(bar), inBar) << "round " << round;
  }
  SetMenu(window_, nullptr);  // the bars share the module's Tools popup: both stay alive
  InstalledMenus.clear();
}

struct IconBits {
  int width = 0, height = 0;
  std::vector<uint32_t> colour, mask;  // top-down 0xAARRGGBB; mask 0 opaque
};

IconBits ReadIcon(HICON icon) {
  IconBits out;
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return out;
  BITMAP bm = {};
  GetObjectA(info.hbmMask, sizeof bm, &bm);
  out.width = bm.bmWidth;
  out.height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  BITMAPINFO bi = {};
  bi.bmiHeader = {static_cast<DWORD>(sizeof bi.bmiHeader), out.width, -out.height, 1, 32};
  HDC dc = GetDC(nullptr);
  out.mask.resize(out.width * out.height);
  GetDIBits(dc, info.hbmMask, 0, out.height, out.mask.data(), &bi, DIB_RGB_COLORS);
  if (info.hbmColor) {
    out.colour.resize(out.width * out.height);
    GetDIBits(dc, info.hbmColor, 0, out.height, out.colour.data(), &bi, DIB_RGB_COLORS);
    DeleteObject(info.hbmColor);
  }
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmMask);
  return out;
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

// The top-right 5 x 5 pixels: the state colour inside a black frame, opaque; the
// rest keeps the icon's own transparency (mask, or alpha when it has one).
TEST(StatusIcon, ComposedSquareWithAndWithoutAlpha) {
  for (bool withAlpha : {false, true}) {
    SCOPED_TRACE(withAlpha ? "alpha icon" : "masked icon");
    HICON base = MakeTestIcon(withAlpha);
    ASSERT_NE(base, nullptr);
    HICON composed = ComposeStatusIcon(base, RGB(50, 230, 50));
    ASSERT_NE(composed, nullptr);
    const IconBits bits = ReadIcon(composed);
    ASSERT_EQ(bits.width, GetSystemMetrics(SM_CXSMICON));
    for (int y = 0; y < 5; ++y)
      for (int x = bits.width - 5; x < bits.width; ++x) {
        const bool frame = y == 0 || y == 4 || x == bits.width - 5 || x == bits.width - 1;
        EXPECT_EQ(bits.colour[y * bits.width + x], frame ? 0xFF000000u : 0xFF32E632u) << x << "," << y;
        EXPECT_EQ(bits.mask[y * bits.width + x] & 0xFFFFFF, 0u) << x << "," << y;
      }
    const int mid = bits.height / 2, left = mid * bits.width + 1, right = mid * bits.width + bits.width - 2;
    if (withAlpha) {
      EXPECT_EQ(bits.mask[right] & 0xFFFFFF, 0xFFFFFFu) << "the alpha channel decides";
      EXPECT_EQ(bits.colour[left] >> 24, 0u);
      EXPECT_EQ(bits.colour[right] >> 24, 0xC0u);
    } else {
      EXPECT_EQ(bits.mask[left] & 0xFFFFFF, 0xFFFFFFu);
      EXPECT_EQ(bits.mask[right] & 0xFFFFFF, 0u);
      EXPECT_EQ(bits.colour[right], 0xFF0000FFu);
    }
    DestroyIcon(composed);
    DestroyIcon(base);
  }
}

// GDI objects in use by this process. Where the system does not count them
// (GetGuiResources answers 0 under Wine), the free places of the handle table are
// counted instead by filling it with brushes and freeing them again.
long GdiObjectsInUse() {
  if (DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)) return static_cast<long>(counted);
  constexpr long kProbeLimit = 200000;
  std::vector<HBRUSH> brushes;
  while (static_cast<long>(brushes.size()) < kProbeLimit) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    if (!brush) break;
    brushes.push_back(brush);
  }
  for (HBRUSH brush : brushes) DeleteObject(brush);
  return kProbeLimit - static_cast<long>(brushes.size());
}

TEST(StatusIcon, RepeatedComposingLeaksNoGdiObjects) {
  HICON base = MakeTestIcon(false);
  ASSERT_NE(base, nullptr);
  DestroyIcon(ComposeStatusIcon(base, RGB(230, 50, 50)));  // warm up caches
  const long before = GdiObjectsInUse();
  for (int round = 0; round < 300; ++round) DestroyIcon(ComposeStatusIcon(base, RGB(230, 50, 50)));
  EXPECT_LE(GdiObjectsInUse(), before + 2) << "one leaked object per round would show as 300";
  DestroyIcon(base);
}

}  // namespace
}  // namespace va
