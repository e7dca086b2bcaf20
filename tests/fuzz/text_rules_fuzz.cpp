// Fuzzes the readers of stored command lines and edit texts: program and
// arguments come from the input, the numeric filter keeps only digits and one
// point, an out-of-range number is replaced by one of the bounds, upper-casing
// keeps the length.
#include <algorithm>

#include "common/number_text.h"
#include "common/text_rules.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string program, arguments, filtered, clamped;
  va::SplitCommandLine(text, program, arguments);
  Require(program.size() + arguments.size() <= size);
  Require(arguments.empty() || (arguments.front() != ' ' && arguments.back() != ' '));
  va::FilterNumericText(text, true, filtered);
  Require(filtered.find_first_not_of("0123456789.") == std::string::npos);
  Require(std::count(filtered.begin(), filtered.end(), '.') <= 1);
  if (va::ClampNumberText(text, -5, 500, clamped)) {
    const int32_t value = va::ParseLeadingInteger(clamped);
    Require(value == -5 || value == 500);
  }
  Require(va::UpperCaseText(text).size() == size);
  return 0;
}
