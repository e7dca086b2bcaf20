// filter_rules: see filter_rules.h.
#include "extension/organizer/filter_rules.h"

#include <limits>

#include "common/text_rules.h"

namespace va {

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

int32_t FilterNumberOf(std::string_view suffix) {
  int64_t number = 0;
  for (char c : suffix) {
    if (c < '0' || c > '9') break;
    number = number * 10 + (c - '0');
    if (number > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  }
  return static_cast<int32_t>(number);
}

namespace {

// A step that Windows would treat as "here" or "up": "", ".", "..", and any
// step made only of dots and spaces (trailing dots and spaces are dropped there).
bool IsClimbingStep(std::string_view step) {
  for (char c : step) {
    if (c != '.' && c != ' ') return false;
  }
  return true;
}

}  // namespace

std::string MoveDestinationInside(std::string_view sharedFolderWithSlash, std::string_view stored) {
  std::string result(sharedFolderWithSlash);
  std::string joined;
  size_t start = 0;
  while (start <= stored.size()) {
    size_t end = stored.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = stored.size();
    std::string_view step = stored.substr(start, end - start);
    if (!IsClimbingStep(step)) {
      if (!joined.empty()) joined += '\\';
      joined += step;
    }
    start = end + 1;
  }
  result += joined;
  if (!joined.empty() && (stored.back() == '\\' || stored.back() == '/')) result += '\\';
  return result;
}

std::string StoredMoveDestination(std::string_view absolute, std::string_view sharedFolder) {
  std::string result(absolute);
  if (!sharedFolder.empty()) {
    std::string upperShared = UpperCaseText(sharedFolder);
    size_t at;
    while ((at = UpperCaseText(result).find(upperShared)) != std::string::npos) {
      result.erase(at, sharedFolder.size());
    }
  }
  if (!result.empty() && result.front() == '\\') result.erase(0, 1);
  return result;
}

bool SameFilterList(const std::vector<FilterRecord>& a, const std::vector<FilterRecord>& b) {
  return a == b;
}

}  // namespace va
