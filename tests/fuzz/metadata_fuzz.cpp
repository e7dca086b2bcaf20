// Fuzzes the wizard's trailer and registry-script parser on whole program files:
// it must refuse or stop cleanly, never read outside the bytes (ASan) and never
// report more profiles or script records than the bytes could hold.
#include <cstdint>
#include <cstdlib>

#include "wizard/metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::span<const uint8_t> file(data, size);
  va::MetadataTrailer trailer;
  if (va::ParseMetadataTrailer(file, trailer) == va::TrailerStatus::Ok) {
    if (trailer.profiles.size() * 65 > size) std::abort();
    if (trailer.scriptOffset > trailer.scriptEnd || trailer.scriptEnd > size) std::abort();
    std::span<const uint8_t> script = file.subspan(trailer.scriptOffset, trailer.scriptEnd - trailer.scriptOffset);
    if (va::ParseRegistryScript(script).size() > script.size()) std::abort();
  }
  // The script reader alone, on any bytes.
  for (const va::ScriptRecord& record : va::ParseRegistryScript(file)) {
    if (record.data.size() > size || record.name.size() > size || record.path.size() > size) std::abort();
  }
  return 0;
}
