// hidden_text: the extension module's stored short texts (caption, product line,
// the About page's credit lines).
#pragma once
#include <cstddef>

namespace va {
inline constexpr int kCaptionTextNumber = 2;
inline constexpr int kProductLineNumber = 1;
// Decodes the module's stored text `number` (1 to 4) into `buffer`.
bool DecodeHiddenText(int number, char* buffer, size_t length);
}  // namespace va
