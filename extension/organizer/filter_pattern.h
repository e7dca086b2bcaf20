// filter_pattern: the organizer's file-name patterns. A filter string ("*.mp3; *.ogg")
// becomes a small regular expression, and a matcher decides whether a whole file
// name matches it. Portable core; the matcher never backtracks, so its time grows
// linearly with the name's length whatever the pattern.
#pragma once
#include <array>
#include <cstdint>
#include <map>
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
  // last). Time: linear in the name's length, no backtracking. The states met are
  // remembered (a lazily built automaton), so one pattern is not for use from two
  // threads at once.
  bool MatchesWhole(std::string_view name) const;

 private:
  enum class Op : uint8_t { Char, Any, LineStart, LineEnd, Split, Jump, Match };
  struct Instr {
    Op op;
    unsigned char ch;
    int x, y;  // Split: both targets; Jump: x
  };
  friend class PatternCompiler;

  static constexpr int kUnknown = -1;
  static constexpr size_t kMaxCachedStates = 128;

  void Closure(int pc, bool atStart, std::vector<int>& out, std::vector<char>& mark) const;
  bool AcceptsAtEnd(const std::vector<int>& set, bool atStart) const;
  int Intern(std::vector<int> set) const;
  void ResetCache() const;
  int Step(int state, unsigned char c) const;

  std::vector<Instr> program_;
  bool valid_ = false;
  // The automaton built so far: each state is a sorted set of program positions.
  mutable std::vector<std::vector<int>> states_;
  mutable std::map<std::vector<int>, int> stateIndex_;
  mutable std::vector<std::array<int, 256>> next_;
  mutable std::vector<signed char> accepts_;  // -1 not yet known
};

// Decides (already upper-cased) file names against filter strings, keeping the
// compiled patterns of the filter strings it met, with the automaton states they
// built. Not for two threads at once: each user owns one (the watcher one per run).
class FilterMatcher {
 public:
  bool Matches(std::string_view fileName, std::string_view filterString);

 private:
  std::map<std::string, FilterPattern, std::less<>> recent_;
};

// True when the (already upper-cased) file name matches the filter string; one
// check, with the filter compiled for it alone.
bool FilterMatches(std::string_view fileName, std::string_view filterString);

}  // namespace va
