// Fuzzes the placeholder scan with name sets whose values come from the input
// (so values may name themselves, each other, or nothing), checking that the
// scan ends, stays within its length limit and never touches the text before
// the first percent sign.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "common/placeholder_scan.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Segments separated by 0x01: the text, three known values, then environment values.
  std::vector<std::string> segments(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == 0x01) segments.emplace_back();
    else segments.back() += static_cast<char>(data[i]);
  }
  while (segments.size() < 6) segments.emplace_back();
  const std::string input = segments[0];

  va::PlaceholderRules rules;
  rules.known.push_back({"A", va::ScanResume::Restart, [&] { return segments[1]; }});
  rules.known.push_back({"B", va::ScanResume::Restart, [&] { return segments[2]; }});
  rules.known.push_back({"C", va::ScanResume::AfterOldEnd, [&] { return segments[3]; }});
  const size_t environmentCount = segments.size() - 4;
  rules.environment = [&](const std::string& name) { return segments[4 + name.size() % environmentCount]; };

  std::string text = input;
  va::ExpandPlaceholders(text, rules);

  if (text.size() > va::kMaxExpandedLength && text.size() > input.size()) std::abort();
  const size_t firstPercent = input.find('%');
  const size_t untouched = firstPercent == std::string::npos ? input.size() : firstPercent;
  if (text.compare(0, untouched, input, 0, untouched) != 0) std::abort();
  if (firstPercent == std::string::npos && text != input) std::abort();
  return 0;
}
