// pattern_reference: a deliberately simple matcher of the organizer's pattern
// language for tests: it parses on its own and computes, for every piece of the
// pattern, the set of name positions where that piece can end. Slow (small inputs
// only) but easy to check by eye; the fast matcher must agree with it.
#pragma once
#include <memory>
#include <set>
#include <string_view>
#include <vector>

namespace va::test {

class ReferencePattern {
 public:
  explicit ReferencePattern(std::string_view pattern) : text_(pattern) {
    root_ = Alternatives();
    if (pos_ != text_.size()) ok_ = false;
  }
  bool valid() const { return ok_; }

  bool MatchesWhole(std::string_view name) const {
    if (!ok_) return false;
    name_ = name;
    return Ends(*root_, 0).count(static_cast<int>(name.size())) > 0;
  }

 private:
  struct Piece {
    char kind;  // 'c' character, '.', '^', '$', 's' sequence, '|' choice, '*' repeat
    unsigned char ch = 0;
    std::vector<std::unique_ptr<Piece>> parts;
  };
  using PiecePtr = std::unique_ptr<Piece>;

  static PiecePtr Make(char kind, unsigned char ch = 0) {
    auto p = std::make_unique<Piece>();
    p->kind = kind;
    p->ch = ch;
    return p;
  }

  PiecePtr Alternatives() {
    auto choice = Make('|');
    choice->parts.push_back(Sequence());
    while (ok_ && pos_ < text_.size() && text_[pos_] == '|') {
      ++pos_;
      choice->parts.push_back(Sequence());
    }
    return choice;
  }

  PiecePtr Sequence() {
    auto seq = Make('s');
    while (ok_ && pos_ < text_.size() && text_[pos_] != '|' && text_[pos_] != ')') {
      char c = text_[pos_++];
      if (c == '*' && !seq->parts.empty()) {
        auto rep = Make('*');
        rep->parts.push_back(std::move(seq->parts.back()));
        seq->parts.back() = std::move(rep);
      } else if (c == '(') {
        if (++depth_ > 200) { ok_ = false; break; }
        seq->parts.push_back(Alternatives());
        --depth_;
        if (pos_ >= text_.size() || text_[pos_] != ')') { ok_ = false; break; }
        ++pos_;
      } else if (c == '\\') {
        if (pos_ >= text_.size()) { ok_ = false; break; }
        seq->parts.push_back(Make('c', static_cast<unsigned char>(text_[pos_++])));
      } else if (c == '.' || c == '^' || c == '$') {
        seq->parts.push_back(Make(c));
      } else {
        seq->parts.push_back(Make('c', static_cast<unsigned char>(c)));
      }
    }
    return seq;
  }

  std::set<int> Ends(const Piece& piece, int from) const {
    int size = static_cast<int>(name_.size());
    switch (piece.kind) {
      case 'c':
        if (from < size && static_cast<unsigned char>(name_[from]) == piece.ch) return {from + 1};
        return {};
      case '.': return from < size ? std::set<int>{from + 1} : std::set<int>{};
      case '^': return from == 0 ? std::set<int>{from} : std::set<int>{};
      case '$': return from == size ? std::set<int>{from} : std::set<int>{};
      case 's': {
        std::set<int> at{from};
        for (const auto& part : piece.parts) {
          std::set<int> next;
          for (int p : at) {
            auto e = Ends(*part, p);
            next.insert(e.begin(), e.end());
          }
          at = std::move(next);
        }
        return at;
      }
      case '|': {
        std::set<int> all;
        for (const auto& part : piece.parts) {
          auto e = Ends(*part, from);
          all.insert(e.begin(), e.end());
        }
        return all;
      }
      default: {  // '*': every position reachable by zero or more repetitions
        std::set<int> reached{from};
        std::vector<int> todo{from};
        while (!todo.empty()) {
          int p = todo.back();
          todo.pop_back();
          for (int e : Ends(*piece.parts[0], p)) {
            if (reached.insert(e).second) todo.push_back(e);
          }
        }
        return reached;
      }
    }
  }

  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
  bool ok_ = true;
  PiecePtr root_;
  mutable std::string_view name_;
};

}  // namespace va::test
