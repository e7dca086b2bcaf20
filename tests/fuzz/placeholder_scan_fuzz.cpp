// Fuzzes the placeholder scan with values taken from the input (so values may
// name themselves, each other or nothing): the scan ends, stays within its length
// limit and never touches the text before the first percent sign.
#include "common/placeholder_scan.h"
#include "fuzz_input.h"

void Fuzz(const uint8_t* data, size_t size) {
  // Parts cut at 0x01: the text, three known values, then environment values.
  const std::vector<std::string> parts = InputParts(data, size, '\x01', 6);
  const std::string& input = parts[0];
  va::PlaceholderRules rules;
  rules.known.push_back({"A", va::ScanResume::Restart, [&] { return parts[1]; }});
  rules.known.push_back({"B", va::ScanResume::Restart, [&] { return parts[2]; }});
  rules.known.push_back({"C", va::ScanResume::AfterOldEnd, [&] { return parts[3]; }});
  rules.environment = [&](const std::string& name) { return parts[4 + name.size() % (parts.size() - 4)]; };
  std::string text = input;
  va::ExpandPlaceholders(text, rules);
  Require(text.size() <= va::kMaxExpandedLength || text.size() <= input.size());
  const size_t untouched = std::min(input.find('%'), input.size());
  Require(text.compare(0, untouched, input, 0, untouched) == 0);
  Require(untouched < input.size() || text == input);
}
