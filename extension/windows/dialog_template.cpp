// dialog_template: bounds-checked reader of DLGTEMPLATE and DLGTEMPLATEEX.
#include "extension/windows/dialog_template.h"

namespace va {

namespace {

constexpr uint16_t kExtendedVersion = 1;
constexpr uint16_t kExtendedSignature = 0xFFFF;
constexpr uint16_t kOrdinalMark = 0xFFFF;

// A cursor over the resource bytes; every read checks what is left first.
class Reader {
 public:
  Reader(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

  bool Word(uint16_t& v) {
    if (size_ - pos_ < 2) return false;
    v = static_cast<uint16_t>(bytes_[pos_] | (bytes_[pos_ + 1] << 8));
    pos_ += 2;
    return true;
  }
  bool Short(int16_t& v) {
    uint16_t w;
    if (!Word(w)) return false;
    v = static_cast<int16_t>(w);
    return true;
  }
  bool Dword(uint32_t& v) {
    uint16_t low, high;
    if (!Word(low) || !Word(high)) return false;
    v = low | (static_cast<uint32_t>(high) << 16);
    return true;
  }
  bool Byte(uint8_t& v) {
    if (size_ - pos_ < 1) return false;
    v = bytes_[pos_++];
    return true;
  }
  bool Text(std::u16string& text) {
    text.clear();
    for (;;) {
      uint16_t c;
      if (!Word(c)) return false;
      if (c == 0) return true;
      text.push_back(static_cast<char16_t>(c));
    }
  }
  bool Name(TemplateName& name) {
    uint16_t first;
    if (!Word(first)) return false;
    if (first == 0) {
      name.kind = TemplateName::Kind::None;
      return true;
    }
    if (first == kOrdinalMark) {
      name.kind = TemplateName::Kind::Ordinal;
      return Word(name.ordinal);
    }
    name.kind = TemplateName::Kind::Text;
    name.text.assign(1, static_cast<char16_t>(first));
    std::u16string rest;
    if (!Text(rest)) return false;
    name.text += rest;
    return true;
  }
  bool Skip(size_t count) {
    if (size_ - pos_ < count) return false;
    pos_ += count;
    return true;
  }
  // Item records start on a 4-byte boundary of the resource.
  bool AlignToDword() { return Skip((4 - pos_ % 4) % 4); }

 private:
  const uint8_t* bytes_;
  size_t size_;
  size_t pos_ = 0;
};

bool ReadItem(Reader& r, bool extended, DialogItemTemplate& item) {
  if (extended) {
    uint32_t helpId;
    if (!r.Dword(helpId) || !r.Dword(item.exStyle) || !r.Dword(item.style)) return false;
  } else {
    if (!r.Dword(item.style) || !r.Dword(item.exStyle)) return false;
  }
  if (!r.Short(item.x) || !r.Short(item.y) || !r.Short(item.cx) || !r.Short(item.cy)) return false;
  if (extended) {
    if (!r.Dword(item.id)) return false;
  } else {
    uint16_t id;
    if (!r.Word(id)) return false;
    item.id = id;
  }
  if (!r.Name(item.windowClass) || !r.Name(item.text)) return false;
  if (!r.Word(item.creationDataLength)) return false;
  return r.Skip(item.creationDataLength);
}

}  // namespace

bool ReadDialogTemplate(const void* bytes, size_t size, DialogTemplate& out) {
  out = DialogTemplate{};
  if (bytes == nullptr) return false;
  Reader r(static_cast<const uint8_t*>(bytes), size);
  uint16_t first = 0, second = 0;
  {
    Reader peek(static_cast<const uint8_t*>(bytes), size);
    if (!peek.Word(first) || !peek.Word(second)) return false;
  }
  out.extended = first == kExtendedVersion && second == kExtendedSignature;
  uint16_t itemCount = 0;
  if (out.extended) {
    uint32_t versionAndSignature, helpId;
    if (!r.Dword(versionAndSignature) || !r.Dword(helpId) || !r.Dword(out.exStyle) || !r.Dword(out.style))
      return false;
  } else {
    if (!r.Dword(out.style) || !r.Dword(out.exStyle)) return false;
  }
  if (!r.Word(itemCount)) return false;
  if (!r.Short(out.x) || !r.Short(out.y) || !r.Short(out.cx) || !r.Short(out.cy)) return false;
  if (!r.Name(out.menu) || !r.Name(out.windowClass) || !r.Text(out.title)) return false;
  out.hasFont = (out.style & kDialogSetFont) != 0;
  if (out.hasFont) {
    if (!r.Word(out.pointSize)) return false;
    if (out.extended && (!r.Word(out.weight) || !r.Byte(out.italic) || !r.Byte(out.charset))) return false;
    if (!r.Text(out.faceName)) return false;
  }
  for (uint16_t i = 0; i < itemCount; ++i) {
    if (!r.AlignToDword()) return false;
    DialogItemTemplate item;
    if (!ReadItem(r, out.extended, item)) return false;
    out.items.push_back(std::move(item));
  }
  return true;
}

}  // namespace va
