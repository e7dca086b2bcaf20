// placeholder_scan: the scanning algorithm behind both %NAME% expansion routines.
// Portable core: the names a routine knows and where their values come from are
// handed in as small lookups, so the scan itself needs no registry or shell.
#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace va {

// Where the scan goes on after a placeholder was replaced.
enum class ScanResume {
  Restart,      // from the beginning of the text
  AfterOldEnd,  // after the position the closing "%" had before the replacement
};

// A name of a routine's own set: replaced even when its value is empty.
struct KnownPlaceholder {
  const char* name;  // upper case, without percent signs
  ScanResume resume;
  std::function<std::string()> value;  // read afresh for every replacement
};

struct PlaceholderRules {
  std::vector<KnownPlaceholder> known;
  // The value of an environment variable (empty when unset); used for every name
  // outside `known`, which is then replaced only by a non-empty value and the scan
  // restarts. May be empty: no fallback.
  std::function<std::string(const std::string& name)> environment;
};

// A replacement that would make the text longer than this is not made: values
// that name other placeholders could otherwise grow the text without bound.
inline constexpr size_t kMaxExpandedLength = 32767;
// And no call makes more replacements than this, whatever the lookups answer.
inline constexpr size_t kMaxReplacements = 1000;

// Replaces placeholders in `text` in place. Names are matched without regard to
// letter case; every occurrence of the placeholder exactly as spelled is replaced.
// Each spelling is replaced at most once per call, so a value that contains its
// own placeholder (or two values that name each other) cannot make the scan loop:
// a placeholder brought back by inserted text stays as it is.
void ExpandPlaceholders(std::string& text, const PlaceholderRules& rules);

}  // namespace va
