// Win32 tests of the toolbar background bitmap on a rebar of the test's own,
// standing at the host's rebar id under a frame that plays the host's main window.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/hostui/host_layout_win.h"
#include "support/temp_folder.h"

namespace va {
namespace {

constexpr int kRebarId = 0xE804;

// A 4 x 4, 24-bit bitmap file.
std::string BitmapFile() {
  const int width = 4, height = 4, stride = 12;
  BITMAPFILEHEADER file = {};
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 24;
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + stride * height;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes.append(stride * height, '\x7f');
  return bytes;
}

HBITMAP BandBackground(HWND rebar, int band) {
  REBARBANDINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = RBBIM_BACKGROUND;
  SendMessageA(rebar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info));
  return info.hbmBack;
}

TEST(ToolbarBitmap, BandsGetTheFileAsBackgroundAndAnEmptySettingRemovesIt) {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&controls);
  HWND frame = CreateWindowExA(0, "STATIC", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 500, 300, nullptr, nullptr, nullptr,
                               nullptr);
  ASSERT_NE(frame, nullptr);
  HWND rebar = CreateWindowExA(0, REBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 500, 40, frame,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRebarId)), nullptr, nullptr);
  ASSERT_NE(rebar, nullptr);
  for (int band = 0; band < 2; ++band) {
    HWND child = CreateWindowExA(0, "STATIC", "band", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, rebar, nullptr, nullptr,
                                 nullptr);
    REBARBANDINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE;
    info.hwndChild = child;
    info.cyMinChild = 20;
    info.cx = 200;
    SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&info));
  }
  HostMainWindow = frame;
  test::TempFolder folder;
  const std::string path = folder.Join("bar.bmp");
  test::WriteFileBytes(path, BitmapFile());

  CurrentOptions.ToolBarBitmap = path;
  ApplyToolbarBitmap();
  ASSERT_NE(ToolbarBitmap, nullptr);
  EXPECT_EQ(BandBackground(rebar, 0), ToolbarBitmap);
  EXPECT_EQ(BandBackground(rebar, 1), ToolbarBitmap);
  HBITMAP first = ToolbarBitmap;

  CurrentOptions.ToolBarBitmap = folder.Join("missing.bmp");  // cannot be loaded: no background
  ApplyToolbarBitmap();
  EXPECT_EQ(ToolbarBitmap, nullptr);
  EXPECT_EQ(BandBackground(rebar, 0), nullptr);
  EXPECT_EQ(GetObjectType(first), 0u) << "the previous bitmap is deleted";

  CurrentOptions.ToolBarBitmap = path;
  ApplyToolbarBitmap();
  CurrentOptions.ToolBarBitmap.clear();
  ApplyToolbarBitmap();
  EXPECT_EQ(BandBackground(rebar, 1), nullptr);

  HostMainWindow = nullptr;
  CurrentOptions = ExtensionOptions();
  DestroyWindow(frame);
}

}  // namespace
}  // namespace va
