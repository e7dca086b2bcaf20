// icon_images: reading icon/cursor files and the status icon's pixel rules
// (portable, see icon_images.h).
#include "extension/hostui/icon_images.h"

namespace va {
namespace {
constexpr size_t kDirectoryHeaderSize = 6;
constexpr size_t kDirectoryEntrySize = 16;
constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;

uint16_t Word(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}
uint32_t Dword(std::span<const uint8_t> bytes, size_t at) {
  return static_cast<uint32_t>(Word(bytes, at)) | (static_cast<uint32_t>(Word(bytes, at + 2)) << 16);
}
}  // namespace

bool ReadFirstIconImage(std::span<const uint8_t> file, IconFileImage* image) {
  if (file.size() < kDirectoryHeaderSize + kDirectoryEntrySize) return false;
  uint16_t type = Word(file, 2);
  if (Word(file, 0) != 0 || (type != kIconType && type != kCursorType) || Word(file, 4) == 0) return false;
  const size_t entry = kDirectoryHeaderSize;
  uint32_t size = Dword(file, entry + 8);
  uint32_t offset = Dword(file, entry + 12);
  if (size == 0 || offset > file.size() || size > file.size() - offset) return false;
  image->width = file[entry] ? file[entry] : 256;
  image->height = file[entry + 1] ? file[entry + 1] : 256;
  image->hotspotX = type == kCursorType ? Word(file, entry + 4) : 0;
  image->hotspotY = type == kCursorType ? Word(file, entry + 6) : 0;
  image->offset = offset;
  image->size = size;
  return true;
}

bool PixelsHaveAlpha(std::span<const uint32_t> pixels) {
  for (uint32_t pixel : pixels)
    if (pixel & 0xFF000000u) return true;
  return false;
}

void MakeMaskedPixelsOpaque(std::span<uint32_t> colour, std::span<const uint32_t> mask) {
  size_t count = colour.size() < mask.size() ? colour.size() : mask.size();
  for (size_t i = 0; i < count; ++i)
    if ((mask[i] & 0x00FFFFFFu) == 0) colour[i] |= 0xFF000000u;
}

}  // namespace va
