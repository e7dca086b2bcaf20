// filter_pattern: the organizer's file-name patterns. A filter string ("*.mp3; *.ogg")
// becomes a small regular expression, and a matcher decides whether a whole file
// name matches it. Portable core; the matcher never backtracks, so its time grows
// linearly with the name's length whatever the pattern.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace va {

// Converts a filter string (parts separated by ";") into the pattern language:
// each part trimmed, upper-cased, stripped of \/:"<>|, with .()[]^- escaped,
// "*" -> ".*", "?" -> ".", anchored with "^" (and "$" when it had a dot), wrapped
// in parentheses and joined by "|".
std::string FilterStringToPattern(std::string_view filterString);

// A compiled pattern. The language: "." any one character, "*" repeats the item
// before it, "\" makes the next character literal, "^" and "$" anchor at the start
// and end, "(" ")" group, "|" separates alternatives; every other character
// (including "+", "{", "}") is literal. A "*" with nothing before it is literal.
// A malformed pattern (unbalanced parentheses, a trailing "\") matches nothing.
class FilterPattern {
 public:
  explicit FilterPattern(std::string_view pattern);

  bool valid() const { return valid_; }
  // True when the pattern matches the whole name (from its first character to its
  // last). Time: O(name length x pattern length), no backtracking.
  bool MatchesWhole(std::string_view name) const;

 private:
  enum class Op : uint8_t { Char, Any, LineStart, LineEnd, Split, Jump, Match };
  struct Instr {
    Op op;
    unsigned char ch;
    int x, y;  // Split: both targets; Jump: x
  };
  friend class PatternCompiler;

  void AddThread(std::vector<int>& list, std::vector<uint32_t>& mark, uint32_t generation, int pc,
                 bool atStart, bool atEnd, std::vector<int>& stack) const;

  std::vector<Instr> program_;
  bool valid_ = false;
};

// True when the (already upper-cased) file name matches the filter string.
bool FilterMatches(std::string_view fileName, std::string_view filterString);

}  // namespace va
