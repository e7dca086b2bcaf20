// Fuzzes the routines that read stored command lines and edit texts, checking
// their promises: the program and arguments come from the input, the numeric
// filter keeps only digits (and one point), the clamp stays inside its bounds.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/number_text.h"
#include "common/text_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);

  std::string program, arguments;
  va::SplitCommandLine(text, program, arguments);
  if (program.size() + arguments.size() > size) std::abort();
  if (!arguments.empty() && (arguments.front() == ' ' || arguments.back() == ' ')) std::abort();

  std::string filtered;
  va::FilterNumericText(text, true, filtered);
  int points = 0;
  for (char c : filtered) {
    if (c == '.') ++points;
    else if (c < '0' || c > '9') std::abort();
  }
  if (points > 1) std::abort();

  std::string clamped;
  if (va::ClampNumberText(text, -5, 500, clamped)) {
    int32_t value = va::ParseLeadingInteger(clamped);
    if (value != -5 && value != 500) std::abort();
  }

  if (va::UpperCaseText(text).size() != size) std::abort();
  return 0;
}
