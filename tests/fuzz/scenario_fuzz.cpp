// Fuzzes the stand-in host's scenario parser and the StatusWnd reader: neither may
// crash, and what they return stays within what the input can give.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/extension_options.h"
#include "hostsim/scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  va::hostsim::Scenario s = va::hostsim::ParseScenario(text);
  if (s.downloads.size() + s.library.size() + s.errors.size() > size) std::abort();
  if (s.columnTypes.empty() || s.columnTypes.size() > 16) std::abort();
  va::StatusWindowPlace place = va::ParseStatusWnd(text);
  if (place.shown > 255) std::abort();
  va::StatusWindowPlace back = va::ParseStatusWnd(va::FormatStatusWnd(place));
  if (back.left != place.left || back.top != place.top || back.shown != place.shown || back.docked != place.docked)
    std::abort();
  return 0;
}
