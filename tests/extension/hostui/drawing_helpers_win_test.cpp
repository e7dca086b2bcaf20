// Win32 tests of the drawing helpers: the uxtheme binding, the embedded icon and
// cursor, the composed status icon and the help balloon, in-process under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "extension/hostui/help_popup_win.h"
#include "extension/hostui/icon_images_win.h"
#include "extension/hostui/theme_win.h"

namespace va {
namespace {

std::string LowerCase(std::string text) {
  CharLowerBuffA(text.data(), static_cast<DWORD>(text.size()));
  return text;
}

TEST(ThemeBinding, LibraryComesFromTheSystemFolderAndMissingEntriesGiveZero) {
  ASSERT_NE(ThemeEntry("IsThemeActive"), nullptr);
  ASSERT_NE(ThemeLibrary, nullptr);
  char path[MAX_PATH], folder[MAX_PATH];
  GetModuleFileNameA(ThemeLibrary, path, sizeof path);
  GetSystemDirectoryA(folder, sizeof folder);
  EXPECT_EQ(LowerCase(path).rfind(LowerCase(folder), 0), 0u) << path;
  EXPECT_EQ(ThemeEntry("NoSuchThemeEntryPoint"), nullptr);
  // An unknown class opens no theme, and closing "none" does not crash.
  EXPECT_EQ(OpenThemeData(nullptr, nullptr), nullptr);
  CloseThemeData(nullptr);
}

struct IconBits {
  int width = 0, height = 0;
  std::vector<uint32_t> colour;  // top-down 0xAARRGGBB
  std::vector<uint32_t> mask;    // 0 opaque, 0x00FFFFFF transparent
  POINT hotspot{};
};

IconBits ReadIcon(HICON icon) {
  IconBits out;
  ICONINFO info = {};
  if (!GetIconInfo(icon, &info)) return out;
  out.hotspot = {static_cast<LONG>(info.xHotspot), static_cast<LONG>(info.yHotspot)};
  BITMAP bm = {};
  GetObjectA(info.hbmMask, sizeof bm, &bm);
  out.width = bm.bmWidth;
  out.height = info.hbmColor ? bm.bmHeight : bm.bmHeight / 2;
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = out.width;
  bi.bmiHeader.biHeight = -out.height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  HDC dc = GetDC(nullptr);
  out.mask.resize(out.width * out.height);
  GetDIBits(dc, info.hbmMask, 0, out.height, out.mask.data(), &bi, DIB_RGB_COLORS);
  if (info.hbmColor) {
    out.colour.resize(out.width * out.height);
    GetDIBits(dc, info.hbmColor, 0, out.height, out.colour.data(), &bi, DIB_RGB_COLORS);
  }
  ReleaseDC(nullptr, dc);
  DeleteObject(info.hbmMask);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  return out;
}

TEST(EmbeddedImagesWin, StatusIconAndDragCursorLoad) {
  HICON icon = LoadStatusIcon();
  ASSERT_NE(icon, nullptr);
  IconBits bits = ReadIcon(icon);
  EXPECT_EQ(bits.width, 32);
  EXPECT_EQ(bits.height, 32);
  EXPECT_EQ(bits.mask[0] & 0xFFFFFF, 0xFFFFFFu);              // corner transparent
  EXPECT_EQ(bits.mask[16 * 32 + 16] & 0xFFFFFF, 0u);          // centre opaque
  DestroyIcon(icon);

  HCURSOR cursor = LoadDragCursor();
  ASSERT_NE(cursor, nullptr);
  EXPECT_EQ(LoadDragCursor(), cursor);  // made once
  IconBits cur = ReadIcon(reinterpret_cast<HICON>(cursor));
  EXPECT_EQ(cur.hotspot.x, 15);
  EXPECT_EQ(cur.hotspot.y, 15);
  EXPECT_EQ(cur.width, 32);
}

// A small icon of the system's small size: a blue disc-free square with a
// transparent left half; with or without an alpha channel.
HICON MakeTestIcon(bool withAlpha) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  std::vector<uint32_t> colour(cx * cy);
  std::vector<uint8_t> maskBits(((cx + 15) / 16) * 2 * cy, 0);
  const int stride = ((cx + 15) / 16) * 2;
  for (int y = 0; y < cy; ++y)
    for (int x = 0; x < cx; ++x) {
      bool transparent = x < cx / 2;
      if (withAlpha) colour[y * cx + x] = transparent ? 0x00000000u : 0xC00000FFu;
      else colour[y * cx + x] = transparent ? 0 : 0x000000FFu;
      if (transparent) maskBits[y * stride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  BITMAPINFO bi = {};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = cx;
  bi.bmiHeader.biHeight = -cy;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP colourBitmap = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  std::memcpy(bits, colour.data(), colour.size() * 4);
  HBITMAP mask = CreateBitmap(cx, cy, 1, 1, maskBits.data());
  ICONINFO info = {TRUE, 0, 0, mask, colourBitmap};
  HICON icon = CreateIconIndirect(&info);
  DeleteObject(mask);
  DeleteObject(colourBitmap);
  return icon;
}

void ExpectStatusSquare(const IconBits& bits, COLORREF colour) {
  const uint32_t want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  for (int y = 0; y < 5; ++y)
    for (int x = bits.width - 5; x < bits.width; ++x) {
      SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
      bool frame = y == 0 || y == 4 || x == bits.width - 5 || x == bits.width - 1;
      uint32_t pixel = bits.colour[y * bits.width + x];
      EXPECT_EQ(pixel & 0xFFFFFF, frame ? 0u : want);
      EXPECT_EQ(pixel >> 24, 0xFFu);
      EXPECT_EQ(bits.mask[y * bits.width + x] & 0xFFFFFF, 0u);
    }
}

TEST(ComposeStatusIcon, IconWithoutAlphaKeepsItsMaskAndGetsTheSquare) {
  HICON base = MakeTestIcon(false);
  ASSERT_NE(base, nullptr);
  HICON composed = ComposeStatusIcon(base, RGB(50, 230, 50));
  ASSERT_NE(composed, nullptr);
  IconBits bits = ReadIcon(composed);
  ASSERT_EQ(bits.width, GetSystemMetrics(SM_CXSMICON));
  ExpectStatusSquare(bits, RGB(50, 230, 50));
  const int mid = bits.height / 2;
  EXPECT_EQ(bits.mask[mid * bits.width + 1] & 0xFFFFFF, 0xFFFFFFu);              // left half transparent
  EXPECT_EQ(bits.mask[mid * bits.width + bits.width - 2] & 0xFFFFFF, 0u);        // right half opaque
  EXPECT_EQ(bits.colour[mid * bits.width + bits.width - 2], 0xFF0000FFu);
  DestroyIcon(composed);
  DestroyIcon(base);
}

TEST(ComposeStatusIcon, IconWithAlphaKeepsItsTransparencyAndTheSquareIsOpaque) {
  HICON base = MakeTestIcon(true);
  ASSERT_NE(base, nullptr);
  HICON composed = ComposeStatusIcon(base, RGB(230, 230, 0));
  ASSERT_NE(composed, nullptr);
  IconBits bits = ReadIcon(composed);
  ExpectStatusSquare(bits, RGB(230, 230, 0));
  const int mid = bits.height / 2;
  // The mask stays all white outside the square: the alpha channel decides.
  EXPECT_EQ(bits.mask[mid * bits.width + bits.width - 2] & 0xFFFFFF, 0xFFFFFFu);
  EXPECT_EQ(bits.colour[mid * bits.width + 1] >> 24, 0u);
  EXPECT_EQ(bits.colour[mid * bits.width + bits.width - 2] >> 24, 0xC0u);
  DestroyIcon(composed);
  DestroyIcon(base);
}

// GDI objects in use by this process. Where the system does not count them
// (GetGuiResources answers 0 under Wine), the free places of the handle table are
// counted instead by filling it with brushes and freeing them again.
long GdiObjectsInUse() {
  DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted) return static_cast<long>(counted);
  constexpr long kProbeLimit = 200000;
  std::vector<HBRUSH> brushes;
  brushes.reserve(70000);
  while (static_cast<long>(brushes.size()) < kProbeLimit) {
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    if (!brush) break;
    brushes.push_back(brush);
  }
  long free = static_cast<long>(brushes.size());
  for (HBRUSH brush : brushes) DeleteObject(brush);
  return kProbeLimit - free;
}

TEST(ComposeStatusIcon, RepeatedComposingLeaksNoGdiObjects) {
  HICON base = MakeTestIcon(false);
  ASSERT_NE(base, nullptr);
  DestroyIcon(ComposeStatusIcon(base, RGB(230, 50, 50)));  // warm up caches
  const long before = GdiObjectsInUse();
  for (int round = 0; round < 300; ++round) {
    HICON composed = ComposeStatusIcon(base, RGB(230, 50, 50));
    ASSERT_NE(composed, nullptr) << "round " << round;
    DestroyIcon(composed);
  }
  const long after = GdiObjectsInUse();
  // One leaked object per round would show as 300.
  EXPECT_LE(after, before + 2) << "before " << before << " after " << after;
  DestroyIcon(base);
}
}  // namespace
}  // namespace va
