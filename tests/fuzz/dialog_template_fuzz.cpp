// Fuzzes the dialog template reader: any bytes are read without reading outside
// them, and a successful read never holds more items or text than the bytes carry.
#include "extension/windows/dialog_template.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // A copy of exactly `size` bytes, so the sanitizer sees any read past the end.
  const std::vector<uint8_t> bytes(data, data + size);
  va::DialogTemplate t;
  if (va::ReadDialogTemplate(bytes.data(), bytes.size(), t)) {
    constexpr size_t kSmallestItem = 22;  // a plain item record: 18 bytes and three words
    Require(t.items.size() * kSmallestItem <= size);
    Require(t.title.size() * 2 <= size && t.faceName.size() * 2 <= size);
  }
  return 0;
}
