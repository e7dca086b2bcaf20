// filter_pattern: see filter_pattern.h. The pattern is parsed into a small tree,
// compiled to a Thompson program and run as a set of parallel threads, one step
// per character of the name: no backtracking, no blow-up on "*a*a*a*a*b".
#include "extension/organizer/filter_pattern.h"

#include "common/text_rules.h"

#include <algorithm>

namespace va {
namespace {

// Deepest parenthesis nesting accepted; deeper patterns are malformed.
constexpr int kMaxNesting = 200;
// Filter strings whose patterns a FilterMatcher keeps (the list's limit).
constexpr size_t kRecentPatterns = 64;

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
  size_t at = 0;
  while ((at = text.find(from, at)) != std::string::npos) {
    text.replace(at, from.size(), to);
    at += to.size();
  }
}

std::string ConvertPart(std::string_view part) {
  std::string text = UpperCaseText(TrimSpaces(part));
  std::string kept;
  for (char c : text) {
    if (std::string_view("\\/:\"<>|").find(c) == std::string_view::npos) kept += c;
  }
  for (const char* special : {".", "(", ")", "[", "]", "^", "-"}) {
    ReplaceAll(kept, special, std::string("\\") + special);
  }
  ReplaceAll(kept, "*", ".*");
  ReplaceAll(kept, "?", ".");
  std::string pattern = "^" + kept;
  if (pattern.find("\\.") != std::string::npos) pattern += "$";
  return pattern;
}

}  // namespace

std::string FilterStringToPattern(std::string_view filterString) {
  std::string pattern;
  size_t start = 0;
  while (true) {
    size_t semicolon = filterString.find(';', start);
    std::string_view part = filterString.substr(start, semicolon == std::string_view::npos
                                                           ? std::string_view::npos
                                                           : semicolon - start);
    if (!pattern.empty()) pattern += "|";
    pattern += "(" + ConvertPart(part) + ")";
    if (semicolon == std::string_view::npos) break;
    start = semicolon + 1;
  }
  return pattern;
}

// Parses a pattern into a tree and emits the program of a FilterPattern.
class PatternCompiler {
 public:
  using Op = FilterPattern::Op;
  explicit PatternCompiler(std::string_view pattern) : text_(pattern) {}

  bool Compile(std::vector<FilterPattern::Instr>& program) {
    int root = ParseAlternatives();
    if (!ok_ || pos_ != text_.size()) return false;
    Emit(root, program);
    program.push_back({Op::Match, 0, 0, 0});
    return true;
  }

 private:
  enum class Kind { Literal, Any, Start, End, Sequence, Alternatives, Repeat };
  struct Node {
    Kind kind;
    unsigned char ch = 0;
    std::vector<int> children;
  };

  int Add(Kind kind, unsigned char ch = 0, std::vector<int> children = {}) {
    nodes_.push_back({kind, ch, std::move(children)});
    return static_cast<int>(nodes_.size()) - 1;
  }

  int ParseAlternatives() {
    std::vector<int> choices{ParseSequence()};
    while (ok_ && pos_ < text_.size() && text_[pos_] == '|') {
      ++pos_;
      choices.push_back(ParseSequence());
    }
    return choices.size() == 1 ? choices[0] : Add(Kind::Alternatives, 0, std::move(choices));
  }

  int ParseSequence() {
    std::vector<int> items;
    while (ok_ && pos_ < text_.size() && text_[pos_] != '|' && text_[pos_] != ')') {
      if (text_[pos_] == '*' && !items.empty()) {
        ++pos_;
        items.back() = Add(Kind::Repeat, 0, {items.back()});
        continue;
      }
      items.push_back(ParseAtom());
    }
    return Add(Kind::Sequence, 0, std::move(items));
  }

  int ParseAtom() {
    unsigned char c = static_cast<unsigned char>(text_[pos_++]);
    switch (c) {
      case '(': {
        if (++depth_ > kMaxNesting) {
          ok_ = false;
          return -1;
        }
        int inner = ParseAlternatives();
        --depth_;
        if (pos_ >= text_.size() || text_[pos_] != ')') {
          ok_ = false;
          return -1;
        }
        ++pos_;
        return inner;
      }
      case '\\':
        if (pos_ >= text_.size()) {
          ok_ = false;
          return -1;
        }
        return Add(Kind::Literal, static_cast<unsigned char>(text_[pos_++]));
      case '.': return Add(Kind::Any);
      case '^': return Add(Kind::Start);
      case '$': return Add(Kind::End);
      default: return Add(Kind::Literal, c);
    }
  }

  static int Here(const std::vector<FilterPattern::Instr>& program) {
    return static_cast<int>(program.size());
  }

  void Emit(int index, std::vector<FilterPattern::Instr>& program) {
    const Node& node = nodes_[index];
    switch (node.kind) {
      case Kind::Literal: program.push_back({Op::Char, node.ch, 0, 0}); break;
      case Kind::Any: program.push_back({Op::Any, 0, 0, 0}); break;
      case Kind::Start: program.push_back({Op::LineStart, 0, 0, 0}); break;
      case Kind::End: program.push_back({Op::LineEnd, 0, 0, 0}); break;
      case Kind::Sequence:
        for (int child : node.children) Emit(child, program);
        break;
      case Kind::Alternatives: {
        // split(first, next split) ... each choice jumps to the common end.
        std::vector<int> jumps;
        for (size_t i = 0; i < node.children.size(); ++i) {
          int split = -1;
          if (i + 1 < node.children.size()) {
            split = Here(program);
            program.push_back({Op::Split, 0, split + 1, 0});
          }
          Emit(node.children[i], program);
          if (i + 1 < node.children.size()) {
            jumps.push_back(Here(program));
            program.push_back({Op::Jump, 0, 0, 0});
            program[split].y = Here(program);
          }
        }
        for (int jump : jumps) program[jump].x = Here(program);
        break;
      }
      case Kind::Repeat: {
        int loop = Here(program);
        program.push_back({Op::Split, 0, loop + 1, 0});
        Emit(node.children[0], program);
        program.push_back({Op::Jump, 0, loop, 0});
        program[loop].y = Here(program);
        break;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
  bool ok_ = true;
  std::vector<Node> nodes_;
};

FilterPattern::FilterPattern(std::string_view pattern) {
  valid_ = PatternCompiler(pattern).Compile(program_);
  if (!valid_) program_.clear();
}

// Follows the jumps, splits and anchors from `pc` and collects the instructions
// that wait for a character, Match, and end anchors (which only hold at the end
// of the name and are settled there). `mark` keeps the walk finite even for
// loops that can match nothing, such as "(^)*".
void FilterPattern::Closure(int pc, bool atStart, std::vector<int>& out, std::vector<char>& mark) const {
  std::vector<int> stack{pc};
  while (!stack.empty()) {
    int at = stack.back();
    stack.pop_back();
    if (mark[at]) continue;
    mark[at] = 1;
    const Instr& instr = program_[at];
    switch (instr.op) {
      case Op::Jump: stack.push_back(instr.x); break;
      case Op::Split:
        stack.push_back(instr.y);
        stack.push_back(instr.x);
        break;
      case Op::LineStart:
        if (atStart) stack.push_back(at + 1);
        break;
      case Op::LineEnd:
      case Op::Char:
      case Op::Any:
      case Op::Match: out.push_back(at); break;
    }
  }
}

// True when the set, reached at the end of the name, holds Match directly or
// behind end anchors.
bool FilterPattern::AcceptsAtEnd(const std::vector<int>& set, bool atStart) const {
  std::vector<char> mark(program_.size(), 0);
  std::vector<int> reached;
  std::vector<int> todo(set);
  while (!todo.empty()) {
    int pc = todo.back();
    todo.pop_back();
    if (program_[pc].op == Op::Match) return true;
    if (program_[pc].op != Op::LineEnd) continue;
    reached.clear();
    Closure(pc + 1, atStart, reached, mark);
    todo.insert(todo.end(), reached.begin(), reached.end());
  }
  return false;
}

int FilterPattern::Intern(std::vector<int> set) const {
  std::sort(set.begin(), set.end());
  auto found = stateIndex_.find(set);
  if (found != stateIndex_.end()) return found->second;
  int id = static_cast<int>(states_.size());
  states_.push_back(set);
  stateIndex_.emplace(std::move(set), id);
  next_.emplace_back();
  next_.back().fill(kUnknown);
  accepts_.push_back(-1);
  return id;
}

void FilterPattern::ResetCache() const {
  states_.clear();
  stateIndex_.clear();
  next_.clear();
  accepts_.clear();
  std::vector<char> mark(program_.size(), 0);
  std::vector<int> start;
  Closure(0, true, start, mark);
  Intern(std::move(start));  // state 0: before the first character
}

int FilterPattern::Step(int state, unsigned char c) const {
  std::vector<char> mark(program_.size(), 0);
  std::vector<int> target;
  for (int pc : states_[state]) {
    const Instr& instr = program_[pc];
    if (instr.op == Op::Any || (instr.op == Op::Char && instr.ch == c)) Closure(pc + 1, false, target, mark);
  }
  if (states_.size() >= kMaxCachedStates) {
    // Bounded memory: start the cache afresh; matching stays linear.
    ResetCache();
    return Intern(std::move(target));
  }
  int id = Intern(std::move(target));
  next_[state][c] = id;
  return id;
}

bool FilterPattern::MatchesWhole(std::string_view name) const {
  if (!valid_) return false;
  if (states_.empty()) ResetCache();
  if (name.empty()) return AcceptsAtEnd(states_[0], true);
  int state = 0;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    int known = next_[state][c];
    state = known != kUnknown ? known : Step(state, c);
    if (states_[state].empty()) return false;
  }
  if (accepts_[state] < 0) accepts_[state] = AcceptsAtEnd(states_[state], false) ? 1 : 0;
  return accepts_[state] == 1;
}

// The cache is the caller's, not a thread_local one: a thread_local with a
// destructor makes the runtime pin this library for the thread's lifetime, and a
// pinned library is not unloaded (nor shut down) when the host releases it.
bool FilterMatcher::Matches(std::string_view fileName, std::string_view filterString) {
  auto found = recent_.find(filterString);
  if (found == recent_.end()) {
    if (recent_.size() >= kRecentPatterns) recent_.clear();
    found = recent_.emplace(std::string(filterString), FilterPattern(FilterStringToPattern(filterString))).first;
  }
  return found->second.MatchesWhole(fileName);
}

bool FilterMatches(std::string_view fileName, std::string_view filterString) {
  return FilterPattern(FilterStringToPattern(filterString)).MatchesWhole(fileName);
}

}  // namespace va
