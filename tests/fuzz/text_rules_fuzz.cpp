// Fuzzes the readers of texts that come from outside: stored command lines and
// edit texts (program and arguments come from the input, the numeric filter keeps
// only digits and one point, an out-of-range number is replaced by one of the
// bounds, upper-casing keeps the length), the StatusWnd value (what it gives is
// written and read back unchanged) and the stand-in host's scenario files (no
// more rows than the input has bytes).
#include "common/extension_options.h"
#include "common/number_text.h"
#include "common/text_rules.h"
#include "fuzz_input.h"
#include "hostsim/scenario.h"

void Fuzz(const uint8_t* data, size_t size) {
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
  const va::StatusWindowPlace place = va::ParseStatusWnd(text);
  const va::StatusWindowPlace back = va::ParseStatusWnd(va::FormatStatusWnd(place));
  Require(back.left == place.left && back.top == place.top && back.shown == place.shown && back.docked == place.docked);
  const va::hostsim::Scenario s = va::hostsim::ParseScenario(text);
  Require(s.downloads.size() + s.library.size() + s.errors.size() <= size);
  Require(!s.columnTypes.empty() && s.columnTypes.size() <= 16);
}
