// Fuzzes the filter matcher: any filter string becomes a valid pattern, and on
// small inputs the fast matcher agrees with the simple reference matcher on raw
// patterns, malformed or not.
#include "extension/organizer/filter_pattern.h"
#include "fuzz_input.h"
#include "support/pattern_reference.h"

void Fuzz(const uint8_t* data, size_t size) {
  // The pattern or filter text, a zero byte, the name to match.
  const std::vector<std::string> parts = InputParts(data, size, '\0', 2);
  const std::string &pattern = parts[0], &name = parts[1];
  va::FilterPattern converted(va::FilterStringToPattern(pattern));
  Require(converted.valid());
  converted.MatchesWhole(name);
  if (pattern.size() <= 16 && name.size() <= 10) {
    const va::FilterPattern fast(pattern);
    const va::test::ReferencePattern reference(pattern);
    Require(fast.valid() == reference.valid() && fast.MatchesWhole(name) == reference.MatchesWhole(name));
  }
}
