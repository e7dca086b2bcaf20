// Fuzzes the organizer's filter strings (typed by users, stored in the registry):
// every filter string converts to a well-formed pattern, and on small inputs the
// fast matcher agrees with the simple reference matcher on raw patterns.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "extension/organizer/filter_pattern.h"
#include "support/pattern_reference.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t cut = input.find('\0');
  std::string_view first = input.substr(0, cut);
  std::string_view name = cut == std::string_view::npos ? std::string_view() : input.substr(cut + 1);

  // A filter string always becomes a valid pattern with one group per part.
  va::FilterPattern converted(va::FilterStringToPattern(first));
  if (!converted.valid()) std::abort();
  converted.MatchesWhole(name);

  // The raw text as a pattern: malformed or not, both matchers must agree.
  if (first.size() <= 16 && name.size() <= 10) {
    va::FilterPattern fast(first);
    va::test::ReferencePattern reference(first);
    if (fast.valid() != reference.valid()) std::abort();
    if (fast.MatchesWhole(name) != reference.MatchesWhole(name)) std::abort();
  }
  return 0;
}
