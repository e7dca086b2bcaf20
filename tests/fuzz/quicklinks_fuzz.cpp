// Fuzzes QuickLink filling with outside file names and paths: a name is inserted
// exactly as it is (never rescanned for placeholders), and the name part of a
// path is a separator-free suffix of it.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "extension/quicklinks/quicklinks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);

  const std::string name = va::QuickLinkFileName(input);
  if (name.find_first_of("\\/") != std::string::npos) std::abort();
  if (input.compare(input.size() - name.size(), name.size(), name) != 0) std::abort();

  if (va::FillQuickLinkTemplate("%FN%", input, 5, "=h=") != input) std::abort();
  const std::string link = va::FillQuickLinkTemplate(va::QuickLinkTemplate(3), name, int64_t(size) - 1, "");
  const std::string expected = "File: " + name + "\r\nLength: " + (size == 0 ? "?" : std::to_string(size - 1)) +
                               " Bytes, " + (size == 0 ? "?" : std::to_string((size - 1) / 1024)) +
                               "KB\r\nUUHash: (file not readable)\r\n";
  if (link != expected) std::abort();

  // The input as a template: whatever it holds, filling ends and never shrinks
  // text that has no placeholder.
  const std::string filled = va::FillQuickLinkTemplate(input, "n", 1, "=h=");
  if (input.find('%') == std::string::npos && filled != input) std::abort();
  return 0;
}
