// text_rules: see text_rules.h.
#include "common/text_rules.h"

#include <array>

#include "common/number_text.h"

namespace va {
namespace {

constexpr std::array<unsigned char, 256> MakeUpperTable() {
  std::array<unsigned char, 256> table{};
  for (int c = 0; c < 256; ++c) table[c] = static_cast<unsigned char>(c);
  for (int c = 'a'; c <= 'z'; ++c) table[c] = static_cast<unsigned char>(c - 'a' + 'A');
  table[0x9A] = 0x8A;  // š -> Š
  table[0x9C] = 0x8C;  // œ -> Œ
  table[0xFF] = 0x9F;  // ÿ -> Ÿ
  for (int c = 0xE0; c <= 0xFE; ++c) {
    if (c != 0xF7) table[c] = static_cast<unsigned char>(c - 0x20);  // à..þ, not ÷
  }
  return table;
}

constexpr auto kUpperTable = MakeUpperTable();

bool IsBlankOrNul(char c) { return c == ' ' || c == '\0'; }

std::string_view TrimOnlyBlanks(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

}  // namespace

char UpperCaseChar(char c) {
  return static_cast<char>(kUpperTable[static_cast<unsigned char>(c)]);
}

std::string UpperCaseText(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = UpperCaseChar(c);
  return out;
}

bool IsBlankText(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlankOrNul(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrNul(text.back())) text.remove_suffix(1);
  return text;
}

void SplitCommandLine(std::string_view commandLine, std::string& program, std::string& arguments) {
  std::string_view line = TrimBlanks(commandLine);
  program.clear();
  arguments.clear();
  if (!line.empty() && line.front() == '"') {
    size_t close = line.find('"', 1);
    if (close != std::string_view::npos) {
      program = line.substr(1, close - 1);
      arguments = TrimOnlyBlanks(line.substr(close + 1));
    } else {
      std::string_view whole = line;
      while (!whole.empty() && whole.front() == '"') whole.remove_prefix(1);
      while (!whole.empty() && whole.back() == '"') whole.remove_suffix(1);
      program = whole;
    }
    return;
  }
  size_t blank = line.find(' ');
  if (blank == std::string_view::npos) {
    program = line;
    return;
  }
  program = TrimOnlyBlanks(line.substr(0, blank));
  arguments = TrimOnlyBlanks(line.substr(blank + 1));
}

bool FilterNumericText(std::string_view text, bool allowDecimals, std::string& filtered) {
  filtered.clear();
  bool dropped = false;
  bool pointSeen = false;
  for (char c : text) {
    if (c >= '0' && c <= '9') {
      filtered += c;
    } else if (c == '.' && allowDecimals && !pointSeen) {
      pointSeen = true;
      filtered += c;
    } else {
      dropped = true;
    }
  }
  return dropped;
}

bool ClampNumberText(std::string_view text, int32_t minimum, int32_t maximum, std::string& replacement) {
  if (maximum < minimum) return false;
  double value = ParseLeadingNumber(text);
  if (value < minimum) {
    replacement = std::to_string(minimum);
    return true;
  }
  if (value > maximum) {
    replacement = std::to_string(maximum);
    return true;
  }
  return false;
}

}  // namespace va
