// hidden_text: the extension module binds the shared decoder to its own table.
#include "extension/core/hidden_text.h"

#include "common/stored_texts.h"

namespace va {
bool DecodeHiddenText(int number, char* buffer, size_t length) {
  return DecodeStoredText(ExtensionStoredTexts(), number, buffer, length);
}
}  // namespace va
