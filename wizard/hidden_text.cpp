// hidden_text: the wizard binds the shared decoder to its own table.
#include "wizard/hidden_text.h"

#include "common/stored_texts.h"

namespace va {
bool DecodeHiddenText(int number, char* buffer, size_t length) {
  return DecodeStoredText(WizardStoredTexts(), number, buffer, length);
}
}  // namespace va
