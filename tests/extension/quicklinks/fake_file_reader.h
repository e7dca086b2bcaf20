// fake_file_reader: FileReaders for tests: a file of any reported size whose bytes
// follow a fixed pattern, recording every read and flagging reads out of range.
#pragma once
#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "extension/quicklinks/file_reader.h"

namespace va::test {

// The byte at `position` of a pattern file (a multiplicative hash of the position,
// so blocks at different offsets differ).
inline uint8_t PatternByte(uint64_t position) { return uint8_t((position * 2654435761ull) >> 13); }

struct ReadRecord {
  uint64_t position;
  size_t length;
  bool operator==(const ReadRecord&) const = default;
};

class PatternFileReader : public FileReader {
 public:
  explicit PatternFileReader(uint64_t size) : size_(size) {}

  uint64_t Size() override { return size_; }

  size_t ReadAt(uint64_t position, uint8_t* buffer, size_t length) override {
    reads.push_back({position, length});
    if (position > size_ || length > size_ - position) outOfRange = true;
    size_t available = position >= size_ ? 0 : size_t(std::min<uint64_t>(length, size_ - position));
    if (shortReadBy > 0) available = available > shortReadBy ? available - shortReadBy : 0;
    for (size_t i = 0; i < available; ++i) buffer[i] = PatternByte(position + i);
    return available;
  }

  std::vector<ReadRecord> reads;
  bool outOfRange = false;
  size_t shortReadBy = 0;  // every read delivers this many bytes less

 private:
  uint64_t size_;
};

// A file held in memory.
class MemoryFileReader : public FileReader {
 public:
  explicit MemoryFileReader(std::string bytes) : bytes_(std::move(bytes)) {}
  uint64_t Size() override { return bytes_.size(); }
  size_t ReadAt(uint64_t position, uint8_t* buffer, size_t length) override {
    if (position >= bytes_.size()) return 0;
    size_t n = std::min<uint64_t>(length, bytes_.size() - position);
    std::copy_n(bytes_.data() + position, n, buffer);
    return n;
  }

 private:
  std::string bytes_;
};

}  // namespace va::test
