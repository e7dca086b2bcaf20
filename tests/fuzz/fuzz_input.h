// fuzz_input: what the fuzz targets share: the check that stops the run when a
// promise is broken, and the input cut into parts.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

inline void Require(bool promise) {
  if (!promise) std::abort();
}

// The input cut at every `separator` byte, padded with empty parts to `least`.
inline std::vector<std::string> InputParts(const uint8_t* data, size_t size, char separator, size_t least) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < size; ++i) {
    if (static_cast<char>(data[i]) == separator) parts.emplace_back();
    else parts.back() += static_cast<char>(data[i]);
  }
  if (parts.size() < least) parts.resize(least);
  return parts;
}
