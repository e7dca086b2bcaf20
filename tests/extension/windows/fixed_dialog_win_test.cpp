// The fixed dialog engine against the system's dialog manager: the status
// window's templates laid out alike, the 96-dpi font, and the font's release.
#include "extension/windows/fixed_dialog_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "extension/core/module_state.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// Every child's place and size in its dialog's client area, then the window's
// own size (the frame allowance included) and client size.
std::vector<RECT> Layout(HWND dialog) {
  std::vector<RECT> rects;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    rects.push_back({r.left, r.top, r.right - r.left, r.bottom - r.top});
  }
  RECT window, client;
  GetWindowRect(dialog, &window);
  GetClientRect(dialog, &client);
  rects.push_back({0, 0, window.right - window.left, window.bottom - window.top});
  rects.push_back(client);
  return rects;
}

class FixedDialog : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    parent_ = CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                              ModuleInstance, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }
  HWND parent_ = nullptr;
};

TEST_F(FixedDialog, StatusTemplatesAreLaidOutAsTheSystemDialogManagerDoes) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi != 96) GTEST_SKIP() << "the system dialog manager uses " << dpi << " dpi here";
  for (int id : {IDD_STATUS_FRAME, IDD_STATUS_SEARCH, IDD_STATUS_ACCELERATOR, IDD_STATUS_ABOUT}) {
    SCOPED_TRACE(id);
    HRSRC res = FindResourceA(ModuleInstance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    ASSERT_NE(res, nullptr);
    auto* bytes = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(ModuleInstance, res)));
    HWND mine = CreateFixedDialog(ModuleInstance, id, parent_, QuietProc, 96, 0);
    HWND system = CreateDialogIndirectParamA(ModuleInstance, bytes, parent_, QuietProc, 0);
    ASSERT_NE(mine, nullptr);
    ASSERT_NE(system, nullptr);
    const auto a = Layout(mine), b = Layout(system);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].left, b[i].left) << "rect " << i;
      EXPECT_EQ(a[i].top, b[i].top) << "rect " << i;
      EXPECT_EQ(a[i].right, b[i].right) << "rect " << i;
      EXPECT_EQ(a[i].bottom, b[i].bottom) << "rect " << i;
    }
    DestroyWindow(mine);
    DestroyWindow(system);
  }
}

TEST_F(FixedDialog, TahomaEightIsElevenPixelsAtNinetySixDpiAndGoesWithTheWindow) {
  HWND page = CreateFixedDialog(ModuleInstance, IDD_STATUS_SEARCH, parent_, QuietProc, 96, 0);
  HWND large = CreateFixedDialog(ModuleInstance, IDD_STATUS_SEARCH, parent_, QuietProc, 120, 0);
  ASSERT_TRUE(page && large);
  const auto font = [](HWND dialog) {
    return reinterpret_cast<HFONT>(SendDlgItemMessageA(dialog, IDC_SEARCH_WINDOW_STATE, WM_GETFONT, 0, 0));
  };
  HFONT small = font(page), big = font(large);
  LOGFONTA lf = {};
  ASSERT_TRUE(GetObjectA(small, sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  ASSERT_TRUE(GetObjectA(big, sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, -13) << "-MulDiv(8, 120, 72)";
  DestroyWindow(large);
  DestroyWindow(page);
  EXPECT_EQ(GetObjectType(small), 0u);
  EXPECT_EQ(GetObjectType(big), 0u);
  EXPECT_EQ(CreateFixedDialog(ModuleInstance, 9999, parent_, QuietProc, 96, 0), nullptr) << "no such template";
}

}  // namespace
}  // namespace va
