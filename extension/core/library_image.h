// library_image: what a Windows library file says of itself, read from its bytes
// (32- and 64-bit images): whether it is a library, for which machine, and the
// names it exports; and which add-on paths may be loaded at all. A library is
// checked this way without being loaded, so none of its code runs. Portable core.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace va {

inline constexpr uint16_t kMachineI386 = 0x14C;
inline constexpr uint16_t kMachineAmd64 = 0x8664;

struct LibraryImage {
  bool valid = false;    // a well-formed image that says it is a library
  uint16_t machine = 0;  // kMachineI386, kMachineAmd64, ...
  std::vector<std::string> exports;  // exported names, in the file's order
};

// Reads `image` (the whole file); `valid` stays false for anything malformed.
LibraryImage ReadLibraryImage(std::string_view image);

// A path that names one file wherever the process runs: "X:\..." or "\\server\...".
// A bare or relative name would be looked for in the current folder and along PATH.
bool IsFullWindowsPath(std::string_view path);

}  // namespace va
