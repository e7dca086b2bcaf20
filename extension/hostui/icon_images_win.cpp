// icon_images_win: handles from the embedded images and the composed status icon.
#include "extension/hostui/icon_images_win.h"

#include <vector>

#include "extension/hostui/icon_images.h"

namespace va {

HCURSOR DragCursor = nullptr;

namespace {
constexpr DWORD kIconFormatVersion = 0x30000;
constexpr int kEmbeddedImageSize = 32;

// A 32-bit top-down DIB section and the memory DC it is selected into.
struct PixelCanvas {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ previous = nullptr;
  uint32_t* pixels = nullptr;

  bool Create(HDC screen, int cx, int cy, COLORREF fill) {
    dc = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = cx;
    info.bmiHeader.biHeight = -cy;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!dc || !bitmap || !bits) return false;
    pixels = static_cast<uint32_t*>(bits);
    previous = SelectObject(dc, bitmap);
    RECT all = {0, 0, cx, cy};
    HBRUSH brush = CreateSolidBrush(fill);
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    GdiFlush();
    return true;
  }
  ~PixelCanvas() {
    if (dc && previous) SelectObject(dc, previous);
    if (bitmap) DeleteObject(bitmap);
    if (dc) DeleteDC(dc);
  }
};

void DrawSquare(HDC dc, int cx, COLORREF fill) {
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
  HBRUSH brush = CreateSolidBrush(fill);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, cx - kStatusSquareSize, 0, cx, kStatusSquareSize);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}
}  // namespace

HICON LoadStatusIcon() {
  std::span<const uint8_t> file = StatusIconFile();
  IconFileImage image;
  if (!ReadFirstIconImage(file, &image)) return nullptr;
  // CreateIconFromResourceEx does not write to the bits; its prototype is merely old.
  auto* bits = const_cast<PBYTE>(file.data() + image.offset);
  return CreateIconFromResourceEx(bits, static_cast<DWORD>(image.size), TRUE, kIconFormatVersion,
                                  kEmbeddedImageSize, kEmbeddedImageSize, LR_DEFAULTCOLOR);
}

HCURSOR LoadDragCursor() {
  if (DragCursor) return DragCursor;
  std::span<const uint8_t> file = DragCursorFile();
  IconFileImage image;
  if (!ReadFirstIconImage(file, &image)) return nullptr;
  // A cursor resource is the image preceded by its hot spot.
  std::vector<uint8_t> resource(4 + image.size);
  resource[0] = static_cast<uint8_t>(image.hotspotX);
  resource[1] = static_cast<uint8_t>(image.hotspotX >> 8);
  resource[2] = static_cast<uint8_t>(image.hotspotY);
  resource[3] = static_cast<uint8_t>(image.hotspotY >> 8);
  std::copy(file.begin() + image.offset, file.begin() + image.offset + image.size, resource.begin() + 4);
  DragCursor = reinterpret_cast<HCURSOR>(CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()),
                                                                  FALSE, kIconFormatVersion, kEmbeddedImageSize,
                                                                  kEmbeddedImageSize, LR_MONOCHROME));
  return DragCursor;
}

HICON ComposeStatusIcon(HICON icon, COLORREF colour) {
  const int cx = GetSystemMetrics(SM_CXSMICON);
  const int cy = GetSystemMetrics(SM_CYSMICON);
  if (!icon || cx <= 0 || cy <= 0) return nullptr;
  HDC screen = GetDC(nullptr);
  HICON result = nullptr;
  {
    PixelCanvas image, mask;
    if (image.Create(screen, cx, cy, RGB(0, 0, 0)) && mask.Create(screen, cx, cy, RGB(255, 255, 255))) {
      const size_t count = static_cast<size_t>(cx) * cy;
      std::span<uint32_t> imagePixels(image.pixels, count);
      DrawIconEx(image.dc, 0, 0, icon, cx, cy, 0, nullptr, DI_NORMAL);
      GdiFlush();
      // Without an alpha channel the icon's own mask decides its transparency.
      if (!PixelsHaveAlpha(imagePixels)) DrawIconEx(mask.dc, 0, 0, icon, cx, cy, 0, nullptr, DI_MASK);
      DrawSquare(image.dc, cx, colour);
      DrawSquare(mask.dc, cx, RGB(0, 0, 0));
      GdiFlush();
      HBITMAP monochrome = CreateBitmap(cx, cy, 1, 1, nullptr);
      HDC monoDc = CreateCompatibleDC(mask.dc);
      if (monochrome && monoDc) {
        HGDIOBJ old = SelectObject(monoDc, monochrome);
        BitBlt(monoDc, 0, 0, cx, cy, mask.dc, 0, 0, SRCCOPY);
        SelectObject(monoDc, old);
      }
      if (monoDc) DeleteDC(monoDc);
      MakeMaskedPixelsOpaque(imagePixels, std::span<const uint32_t>(mask.pixels, count));
      // The colour bitmap must not stay selected while the icon is made from it.
      SelectObject(image.dc, image.previous);
      image.previous = nullptr;
      if (monochrome) {
        ICONINFO info = {};
        info.fIcon = TRUE;
        info.hbmMask = monochrome;
        info.hbmColor = image.bitmap;
        result = CreateIconIndirect(&info);
        DeleteObject(monochrome);
      }
    }
  }
  ReleaseDC(nullptr, screen);
  return result;
}

}  // namespace va
