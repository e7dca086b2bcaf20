// uuhash: the sampled content signature of a shared file (UUHash) and its text
// form. Portable core: files are read through FileReader.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "extension/quicklinks/file_reader.h"

namespace va {

// Bytes 0..15: MD5 of the first block; bytes 16..19: the SmallHash, least
// significant byte first.
using UUHashValue = std::array<uint8_t, 20>;

// Every sampled block, the first and the tail are this long.
constexpr uint32_t kUUHashBlockSize = 307200;
// The first sample after the first block lies here; each next one twice as far.
constexpr uint64_t kUUHashFirstSampleOffset = 1048576;

// The running CRC-32-table update of the SmallHash (no final inversion).
uint32_t SmallHashUpdate(const uint8_t* data, size_t length, uint32_t running);
// Entry `index` of the reflected CRC-32 table of polynomial 0xEDB88320.
uint32_t SmallHashTableEntry(uint8_t index);

// Standard base64 (RFC 4648 alphabet, "=" padding).
std::string Base64Encode(const uint8_t* bytes, size_t length);

// "=" followed by the base64 of the 20 bytes: 29 characters, ending in "=".
std::string UUHashText(const UUHashValue& value);

// One read of the UUHash: `length` bytes at `position`.
struct UUHashRead {
  uint64_t position;
  uint32_t length;
};

// The reads for a file of `size` bytes, in order: the first block (absent for an
// empty file), then the SmallHash blocks: one per doubling of the sample offset
// while two more blocks fit before the end, and the tail up to the end. Every read
// lies inside the file; there are at most 46 of them for any size.
std::vector<UUHashRead> PlanUUHashReads(uint64_t size);

// Computes the UUHash over `file`: the first block, one block per doubling of the
// sample offset and the tail, each read in one request. Sizes of 4 GiB and more
// are sampled over the whole file; the SmallHash then takes the size's low 32 bits.
UUHashValue ComputeUUHash(FileReader& file);

// Opens `path` and computes its UUHash; false (and `value` untouched) when the
// file cannot be opened.
bool ComputeUUHash(const std::string& path, UUHashValue& value);

}  // namespace va
