// filter_rules: the organizer's filter record and the portable rules of its stored
// form (value numbers, relative Move destinations, the unchanged-list test).
// Portable core; the registry side is filters_win.cpp.
#pragma once
#include "common/text_rules.h"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace va {

// What a filter does with a matching file.
enum FilterAction : int32_t { Copy = 1, Move = 2 };

struct FilterRecord {
  std::string Title;
  std::string Filter;  // patterns separated by ";"
  int32_t Action = 0;  // FilterAction; a stored value other than 1 loads as a Move destination
  std::string Dest;    // in memory always absolute
  std::string Wav;     // sound played after the file action; blank = none
  std::string Cmd;     // command run after the file action; blank = none

  bool operator==(const FilterRecord&) const = default;
};

// The list holds at most this many filters (indexes 0 to 63).
inline constexpr int kMaxFilters = 64;

std::string_view TrimSpaces(std::string_view text);

// The number N of a value named "Title<N>": its leading digits, 0 when there are
// none; huge numbers saturate instead of overflowing.
int32_t FilterNumberOf(std::string_view suffixAfterTitle);

// The absolute destination of a Move filter from its stored relative form: the
// shared folder (ending in "\") followed by the stored path without any "..", "."
// or empty steps, so the result never leaves the shared folder.
std::string MoveDestinationInside(std::string_view sharedFolderWithSlash, std::string_view stored);

// The stored form of a Move destination: every occurrence of the shared folder
// (without trailing "\", letter case ignored) removed, then one leading "\".
std::string StoredMoveDestination(std::string_view absolute, std::string_view sharedFolder);

// True when the two lists hold the same records in the same order (exact texts).
bool SameFilterList(const std::vector<FilterRecord>& a, const std::vector<FilterRecord>& b);

}  // namespace va
