// Fuzzes the readers of binary files on any bytes: the dialog template reader, the
// library image reader and the wizard's trailer and registry-script readers refuse or stop cleanly, never
// read outside the bytes (ASan) and never report more items, text, profiles or
// record bytes than the bytes could hold.
#include "extension/core/library_image.h"
#include "extension/windows/dialog_template.h"
#include "fuzz_input.h"
#include "wizard/metadata.h"

void Fuzz(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so the sanitizer sees any read past the end.
  const std::vector<uint8_t> bytes(data, data + size);
  va::DialogTemplate t;
  if (va::ReadDialogTemplate(bytes.data(), bytes.size(), t)) {
    constexpr size_t kSmallestItem = 22;  // a plain item record: 18 bytes and three words
    Require(t.items.size() * kSmallestItem <= size);
    Require(t.title.size() * 2 <= size && t.faceName.size() * 2 <= size);
  }
  const std::span<const uint8_t> file(bytes);
  va::MetadataTrailer trailer;
  if (va::ParseMetadataTrailer(file, trailer) == va::TrailerStatus::Ok) {
    Require(trailer.profiles.size() * 65 <= size);
    Require(trailer.scriptOffset <= trailer.scriptEnd && trailer.scriptEnd <= size);
  }
  size_t recordBytes = 0;
  for (const va::ScriptRecord& record : va::ParseRegistryScript(file))
    recordBytes += record.data.size() + record.name.size() + record.path.size();
  Require(recordBytes <= size);
  // Every name has its 4-byte entry in the file's name table (names may be shared).
  const va::LibraryImage image = va::ReadLibraryImage({reinterpret_cast<const char*>(bytes.data()), size});
  Require(image.exports.size() * 4 <= size && (image.valid || image.exports.empty()));
  for (const std::string& name : image.exports) Require(name.size() < 512);
}
