// Fuzzes the stand-in host's scenario reader and the StatusWnd reader: neither
// may crash, the scenario holds no more rows than the input has bytes, and what
// the StatusWnd reader gives is written and read back unchanged.
#include "common/extension_options.h"
#include "fuzz_input.h"
#include "hostsim/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  const va::hostsim::Scenario s = va::hostsim::ParseScenario(text);
  Require(s.downloads.size() + s.library.size() + s.errors.size() <= size);
  Require(!s.columnTypes.empty() && s.columnTypes.size() <= 16);
  const va::StatusWindowPlace place = va::ParseStatusWnd(text);
  const va::StatusWindowPlace back = va::ParseStatusWnd(va::FormatStatusWnd(place));
  Require(back.left == place.left && back.top == place.top && back.shown == place.shown && back.docked == place.docked);
  return 0;
}
