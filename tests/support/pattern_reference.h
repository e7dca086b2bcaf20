// pattern_reference: the organizer's pattern language checked against the
// standard library's regular expressions, for tests: the pattern is rewritten
// into an ECMAScript expression (every literal as a hex escape, "." any character,
// a repeated piece grouped, a "*" with nothing before it a literal) and matched
// whole. Small inputs only; the fast matcher must agree with it.
#pragma once
#include <optional>
#include <regex>
#include <string>
#include <string_view>
#include <vector>

namespace va::test {

class ReferencePattern {
 public:
  explicit ReferencePattern(std::string_view pattern) {
    std::string out;
    std::vector<size_t> groups;  // where each open group starts in `out`
    size_t piece = std::string::npos;  // where the piece a "*" would repeat starts
    for (size_t i = 0; i < pattern.size(); ++i) {
      const char c = pattern[i];
      if (c == '*' && piece != std::string::npos) {
        if (out.back() != '*') out.insert(piece, "(?:"), out += ")*";  // "a**" is "a*"
        continue;
      }
      piece = out.size();
      if (c == '(') {
        if (groups.size() == 200) return;
        groups.push_back(out.size()), out += "(?:", piece = std::string::npos;
      } else if (c == ')') {
        if (groups.empty()) return;
        piece = groups.back(), groups.pop_back(), out += c;
      } else if (c == '|' || c == '^' || c == '$' || c == '.') {
        out += c == '.' ? "[\\s\\S]" : std::string(1, c);
        if (c == '|') piece = std::string::npos;
      } else {
        if (c == '\\' && ++i == pattern.size()) return;
        const unsigned char literal = static_cast<unsigned char>(pattern[i]);
        out += std::string("\\x") + "0123456789abcdef"[literal >> 4] + "0123456789abcdef"[literal & 15];
      }
    }
    if (groups.empty()) expression_.emplace(out, std::regex::ECMAScript);
  }
  bool valid() const { return expression_.has_value(); }
  bool MatchesWhole(std::string_view name) const { return expression_ && std::regex_match(name.begin(), name.end(), *expression_); }

 private:
  std::optional<std::regex> expression_;
};

}  // namespace va::test
