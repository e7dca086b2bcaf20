// Fuzzes the wizard's trailer and registry-script readers on whole program files:
// they refuse or stop cleanly, never read outside the bytes (ASan) and never
// report more profiles or record bytes than the bytes could hold.
#include "fuzz_input.h"
#include "wizard/metadata.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::span<const uint8_t> file(data, size);
  va::MetadataTrailer trailer;
  if (va::ParseMetadataTrailer(file, trailer) == va::TrailerStatus::Ok) {
    Require(trailer.profiles.size() * 65 <= size);
    Require(trailer.scriptOffset <= trailer.scriptEnd && trailer.scriptEnd <= size);
  }
  size_t recordBytes = 0;
  for (const va::ScriptRecord& record : va::ParseRegistryScript(file))
    recordBytes += record.data.size() + record.name.size() + record.path.size();
  Require(recordBytes <= size);
  return 0;
}
