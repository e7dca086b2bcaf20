// fuzz_input: what the fuzz targets share: the entry point that hands the input to
// the target's Fuzz, the check that stops the run when a promise is broken, and
// the input cut into parts.
#pragma once
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

void Fuzz(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { return Fuzz(data, size), 0; }

inline void Require(bool promise) { if (!promise) std::abort(); }

// The input cut at every `separator` byte, padded with empty parts to `least`.
inline std::vector<std::string> InputParts(const uint8_t* data, size_t size, char separator, size_t least) {
  std::vector<std::string> parts(1);
  for (size_t i = 0; i < size; ++i)
    if (data[i] == uint8_t(separator)) parts.emplace_back(); else parts.back() += char(data[i]);
  parts.resize(std::max(parts.size(), least));
  return parts;
}
