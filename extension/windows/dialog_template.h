// dialog_template: reads a dialog resource (DLGTEMPLATE or DLGTEMPLATEEX with its
// item records) into a plain record. Portable core: every read stays inside the
// given bytes, whatever they hold; the window building is fixed_dialog_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace va {

inline constexpr uint32_t kDialogSetFont = 0x40;     // DS_SETFONT
inline constexpr uint32_t kDialogModalFrame = 0x80;  // DS_MODALFRAME

// A menu, class or item text: absent, an ordinal (0xFFFF then a 16-bit number) or
// a UTF-16 text.
struct TemplateName {
  enum class Kind { None, Ordinal, Text } kind = Kind::None;
  uint16_t ordinal = 0;
  std::u16string text;
};

struct DialogItemTemplate {
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  uint32_t id = 0;  // 16 bits in the plain format
  TemplateName windowClass;
  TemplateName text;
  uint16_t creationDataLength = 0;
};

struct DialogTemplate {
  bool extended = false;
  uint32_t style = 0;
  uint32_t exStyle = 0;
  int16_t x = 0, y = 0, cx = 0, cy = 0;
  TemplateName menu;
  TemplateName windowClass;
  std::u16string title;
  bool hasFont = false;  // DS_SETFONT
  uint16_t pointSize = 0;
  uint16_t weight = 0;   // extended format only
  uint8_t italic = 0;    // extended format only
  uint8_t charset = 0;   // extended format only
  std::u16string faceName;
  std::vector<DialogItemTemplate> items;
};

// Reads `size` bytes of a dialog resource. Returns false, leaving `out` unspecified,
// when the bytes end before the template does (a truncated record, an item count
// larger than the items present, a text without its terminating 0).
bool ReadDialogTemplate(const void* bytes, size_t size, DialogTemplate& out);

}  // namespace va
