// md5: the MD5 message digest of RFC 1321, used for the first block of a UUHash.
// Portable core: no Windows headers.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>

namespace va {

using Md5Digest = std::array<uint8_t, 16>;

// Incremental MD5: Update may be called any number of times with any lengths;
// Finish pads, returns the digest and leaves the object ready for a new message.
class Md5 {
 public:
  Md5() { Reset(); }
  void Reset();
  void Update(const uint8_t* data, size_t length);
  Md5Digest Finish();

 private:
  void Transform(const uint8_t* block);

  uint32_t state_[4];
  uint64_t length_;      // bytes taken so far
  uint8_t buffer_[64];   // a block not yet complete
};

// The digest of one piece of memory.
Md5Digest ComputeMd5(const uint8_t* data, size_t length);

}  // namespace va
