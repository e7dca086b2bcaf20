// library_image: see library_image.h. Every offset read is checked against the
// image: the file comes from outside.
#include "extension/core/library_image.h"

namespace va {
namespace {

constexpr uint16_t kOptional32 = 0x10B, kOptional64 = 0x20B;
constexpr uint16_t kLibraryFlag = 0x2000;  // IMAGE_FILE_DLL
constexpr uint32_t kMaxNames = 65536, kMaxNameLength = 512;

class Reader {
 public:
  explicit Reader(std::string_view image) : image_(image) {}
  bool Has(uint64_t offset, uint64_t size) const { return offset <= image_.size() && size <= image_.size() - offset; }
  uint32_t Read(uint64_t offset, int bytes) const {
    uint32_t value = 0;
    if (!Has(offset, uint64_t(bytes))) return (ok_ = false), 0;
    for (int i = bytes - 1; i >= 0; --i) value = value << 8 | uint8_t(image_[size_t(offset) + size_t(i)]);
    return value;
  }
  bool ok() const { return ok_; }

  // The file offset of a relative virtual address, through the section table.
  bool Locate(uint32_t rva, uint64_t& offset) const {
    for (uint32_t i = 0; i < sections_; ++i) {
      const uint64_t at = sectionTable_ + 40ull * i;
      const uint32_t virtualSize = Read(at + 8, 4), address = Read(at + 12, 4), rawSize = Read(at + 16, 4),
                     rawOffset = Read(at + 20, 4);
      const uint32_t size = virtualSize > rawSize ? virtualSize : rawSize;
      if (rva >= address && rva - address < size) {
        if (rva - address >= rawSize) return false;  // not in the file
        offset = uint64_t(rawOffset) + (rva - address);
        return Has(offset, 1);
      }
    }
    return false;
  }
  bool Text(uint32_t rva, std::string& text) const {
    uint64_t offset = 0;
    if (!Locate(rva, offset)) return false;
    text.clear();
    for (; Has(offset, 1) && text.size() < kMaxNameLength; ++offset) {
      if (image_[size_t(offset)] == '\0') return true;
      text += image_[size_t(offset)];
    }
    return false;
  }
  void SetSections(uint64_t table, uint32_t count) { sectionTable_ = table, sections_ = count; }

 private:
  std::string_view image_;
  mutable bool ok_ = true;
  uint64_t sectionTable_ = 0;
  uint32_t sections_ = 0;
};

}  // namespace

LibraryImage ReadLibraryImage(std::string_view image) {
  LibraryImage result;
  Reader r(image);
  if (r.Read(0, 2) != 0x5A4D) return result;  // "MZ"
  const uint64_t pe = r.Read(0x3C, 4);
  if (r.Read(pe, 4) != 0x4550) return result;  // "PE\0\0"
  const uint64_t coff = pe + 4, optional = coff + 20;
  const uint32_t sections = r.Read(coff + 2, 2), optionalSize = r.Read(coff + 16, 2), flags = r.Read(coff + 18, 2);
  const uint32_t magic = r.Read(optional, 2);
  if (!r.ok() || (magic != kOptional32 && magic != kOptional64) || !(flags & kLibraryFlag)) return result;
  const uint64_t directories = optional + (magic == kOptional32 ? 96 : 112);
  const uint32_t directoryCount = r.Read(directories - 4, 4);
  r.SetSections(optional + optionalSize, sections);
  if (!r.ok() || directories - optional > optionalSize || !r.Has(optional + optionalSize, 40ull * sections)) return result;
  result.machine = uint16_t(r.Read(coff, 2));
  result.valid = true;
  if (directoryCount == 0 || directories + 8 - optional > optionalSize) return result;  // exports nothing
  const uint32_t exportRva = r.Read(directories, 4);
  uint64_t table = 0;
  if (exportRva == 0) return result;
  if (!r.Locate(exportRva, table) || !r.Has(table, 40)) return result.valid = false, result;
  const uint32_t names = r.Read(table + 24, 4), nameTable = r.Read(table + 32, 4);
  uint64_t nameOffsets = 0;
  if (names > kMaxNames || (names > 0 && (!r.Locate(nameTable, nameOffsets) || !r.Has(nameOffsets, 4ull * names))))
    return result.valid = false, result;
  for (uint32_t i = 0; i < names; ++i) {
    std::string name;
    if (!r.Text(r.Read(nameOffsets + 4ull * i, 4), name)) return result.valid = false, result.exports.clear(), result;
    result.exports.push_back(name);
  }
  return result;
}

bool IsFullWindowsPath(std::string_view path) {
  const auto slash = [](char c) { return c == '\\' || c == '/'; };
  if (path.size() >= 3 && ((path[0] | 0x20) >= 'a' && (path[0] | 0x20) <= 'z') && path[1] == ':' && slash(path[2]))
    return true;
  return path.size() >= 3 && slash(path[0]) && slash(path[1]) && !slash(path[2]);
}

}  // namespace va
