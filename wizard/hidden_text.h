// hidden_text: the wizard program's stored short texts (the welcome page's labels).
#pragma once
#include <cstddef>

namespace va {
// Decodes the wizard's stored text `number` (1 or 2) into `buffer`.
bool DecodeHiddenText(int number, char* buffer, size_t length);
}  // namespace va
