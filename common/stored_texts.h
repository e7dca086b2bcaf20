// stored_texts: the short display texts each deliverable keeps scrambled in its
// image (caption, product line, credit lines), and their decoder.
// Portable core: no Windows headers.
#pragma once
#include <array>
#include <cstddef>
#include <span>
#include <string_view>

namespace va {

// Every stored byte is the display byte XOR this value; the text ends with the
// byte that decodes to 0.
inline constexpr unsigned char kStoredTextKey = 0xA5;

template <size_t N>
struct ScrambledText {
  std::array<unsigned char, N> bytes{};
  // Scrambles a literal at compile time, so only the scrambled bytes reach the image.
  consteval ScrambledText(const char (&plain)[N]) {
    for (size_t i = 0; i < N; ++i) bytes[i] = static_cast<unsigned char>(plain[i]) ^ kStoredTextKey;
  }
};

// One deliverable's texts, numbered from 1.
using StoredTextTable = std::span<const std::span<const unsigned char>>;

// Decodes text `number` into `buffer` of `length` bytes. A number outside the table
// leaves the buffer untouched and fails; a buffer that fills before the end mark
// fails and holds the decoded bytes without an end mark.
bool DecodeStoredText(StoredTextTable table, int number, char* buffer, size_t length);

// The two deliverables' tables.
StoredTextTable ExtensionStoredTexts();  // 1 product line, 2 caption, 3 and 4 credit lines
StoredTextTable WizardStoredTexts();     // 1 and 2: the welcome page's small labels

}  // namespace va
