// uuhash: the UUHash of a file (MD5 of the first block plus a CRC-32-table hash of
// sampled blocks) and its base64 text form.
#include "extension/quicklinks/uuhash.h"

#include <limits>
#include <vector>

#include "extension/quicklinks/md5.h"

namespace va {
namespace {

struct SmallHashTable {
  uint32_t entry[256];
  constexpr SmallHashTable() : entry() {
    for (uint32_t i = 0; i < 256; ++i) {
      uint32_t value = i;
      for (int bit = 0; bit < 8; ++bit) value = (value & 1) ? (value >> 1) ^ 0xEDB88320u : value >> 1;
      entry[i] = value;
    }
  }
};

constexpr SmallHashTable kTable;

constexpr char kBase64Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

}  // namespace

uint32_t SmallHashTableEntry(uint8_t index) { return kTable.entry[index]; }

uint32_t SmallHashUpdate(const uint8_t* data, size_t length, uint32_t running) {
  for (size_t i = 0; i < length; ++i) running = (running >> 8) ^ kTable.entry[(running ^ data[i]) & 0xFF];
  return running;
}

std::string Base64Encode(const uint8_t* bytes, size_t length) {
  std::string text;
  text.reserve((length + 2) / 3 * 4);
  size_t i = 0;
  for (; i + 3 <= length; i += 3) {
    uint32_t group = (uint32_t(bytes[i]) << 16) | (uint32_t(bytes[i + 1]) << 8) | bytes[i + 2];
    text += kBase64Alphabet[(group >> 18) & 63];
    text += kBase64Alphabet[(group >> 12) & 63];
    text += kBase64Alphabet[(group >> 6) & 63];
    text += kBase64Alphabet[group & 63];
  }
  size_t rest = length - i;
  if (rest > 0) {
    uint32_t group = uint32_t(bytes[i]) << 16;
    if (rest == 2) group |= uint32_t(bytes[i + 1]) << 8;
    text += kBase64Alphabet[(group >> 18) & 63];
    text += kBase64Alphabet[(group >> 12) & 63];
    text += rest == 2 ? kBase64Alphabet[(group >> 6) & 63] : '=';
    text += '=';
  }
  return text;
}

std::string UUHashText(const UUHashValue& value) {
  std::string text = "=";
  text += Base64Encode(value.data(), value.size());
  return text;
}

std::vector<UUHashRead> PlanUUHashReads(uint64_t size) {
  std::vector<UUHashRead> reads;
  if (size == 0) return reads;
  reads.push_back({0, size < kUUHashBlockSize ? uint32_t(size) : kUUHashBlockSize});
  if (size <= kUUHashBlockSize) return reads;
  // Positions are 64-bit so that the doubling ends on any size: a 32-bit offset
  // would wrap to 0 past 2 GiB and sample the same blocks for ever.
  uint64_t offset = kUUHashFirstSampleOffset;
  uint64_t covered = kUUHashBlockSize;
  while (offset < size && size - offset > 2 * uint64_t(kUUHashBlockSize)) {
    reads.push_back({offset, kUUHashBlockSize});
    covered = offset + kUUHashBlockSize;
    if (offset > std::numeric_limits<uint64_t>::max() / 2) break;
    offset *= 2;
  }
  const uint64_t remaining = size - covered;
  const uint32_t tail = remaining < kUUHashBlockSize ? uint32_t(remaining) : kUUHashBlockSize;
  reads.push_back({size - tail, tail});
  return reads;
}

UUHashValue ComputeUUHash(FileReader& file) {
  const uint64_t size = file.Size();
  const std::vector<UUHashRead> plan = PlanUUHashReads(size);
  // One buffer of the block's size; each read fills it in one request.
  std::vector<uint8_t> block(kUUHashBlockSize);
  Md5Digest digest = ComputeMd5(nullptr, 0);
  uint32_t smallHash = 0xFFFFFFFFu;
  for (size_t i = 0; i < plan.size(); ++i) {
    size_t got = file.ReadAt(plan[i].position, block.data(), plan[i].length);
    if (got > plan[i].length) got = plan[i].length;  // a read error reports less, never more
    if (i == 0) digest = ComputeMd5(block.data(), got);
    else smallHash = SmallHashUpdate(block.data(), got, smallHash);
  }
  // The host's network counts sizes in 32 bits: larger files contribute the low word.
  smallHash ^= uint32_t(size);

  UUHashValue value;
  for (size_t i = 0; i < digest.size(); ++i) value[i] = digest[i];
  for (int i = 0; i < 4; ++i) value[16 + i] = uint8_t(smallHash >> (8 * i));
  return value;
}

}  // namespace va
