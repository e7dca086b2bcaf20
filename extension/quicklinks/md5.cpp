// md5: RFC 1321 message digest, written from the published algorithm.
#include "extension/quicklinks/md5.h"

#include <cstring>

namespace va {
namespace {

// The sine-derived constants of the 64 steps.
constexpr uint32_t kSine[64] = {
    0xd76aa478, 0xe8c7b756, 0x242070db, 0xc1bdceee, 0xf57c0faf, 0x4787c62a, 0xa8304613, 0xfd469501,
    0x698098d8, 0x8b44f7af, 0xffff5bb1, 0x895cd7be, 0x6b901122, 0xfd987193, 0xa679438e, 0x49b40821,
    0xf61e2562, 0xc040b340, 0x265e5a51, 0xe9b6c7aa, 0xd62f105d, 0x02441453, 0xd8a1e681, 0xe7d3fbc8,
    0x21e1cde6, 0xc33707d6, 0xf4d50d87, 0x455a14ed, 0xa9e3e905, 0xfcefa3f8, 0x676f02d9, 0x8d2a4c8a,
    0xfffa3942, 0x8771f681, 0x6d9d6122, 0xfde5380c, 0xa4beea44, 0x4bdecfa9, 0xf6bb4b60, 0xbebfbc70,
    0x289b7ec6, 0xeaa127fa, 0xd4ef3085, 0x04881d05, 0xd9d4d039, 0xe6db99e5, 0x1fa27cf8, 0xc4ac5665,
    0xf4292244, 0x432aff97, 0xab9423a7, 0xfc93a039, 0x655b59c3, 0x8f0ccc92, 0xffeff47d, 0x85845dd1,
    0x6fa87e4f, 0xfe2ce6e0, 0xa3014314, 0x4e0811a1, 0xf7537e82, 0xbd3af235, 0x2ad7d2bb, 0xeb86d391};

inline uint32_t RoundF(uint32_t b, uint32_t c, uint32_t d) { return d ^ (b & (c ^ d)); }
inline uint32_t RoundG(uint32_t b, uint32_t c, uint32_t d) { return c ^ (d & (b ^ c)); }
inline uint32_t RoundH(uint32_t b, uint32_t c, uint32_t d) { return b ^ c ^ d; }
inline uint32_t RoundI(uint32_t b, uint32_t c, uint32_t d) { return c ^ (b | ~d); }

inline uint32_t RotateLeft(uint32_t value, unsigned bits) { return (value << bits) | (value >> (32 - bits)); }

inline uint32_t LoadLittle32(const uint8_t* p) {
  return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

inline void StoreLittle32(uint8_t* p, uint32_t value) {
  p[0] = uint8_t(value);
  p[1] = uint8_t(value >> 8);
  p[2] = uint8_t(value >> 16);
  p[3] = uint8_t(value >> 24);
}

}  // namespace

void Md5::Reset() {
  state_[0] = 0x67452301;
  state_[1] = 0xefcdab89;
  state_[2] = 0x98badcfe;
  state_[3] = 0x10325476;
  length_ = 0;
}

// One step of a round: a = b + ((a + f(b, c, d) + x + t) <<< s).
#define VA_MD5_STEP(f, a, b, c, d, x, t, s) \
  a += f(b, c, d) + (x) + (t);            \
  a = RotateLeft(a, s) + b;

void Md5::Transform(const uint8_t* block) {
  uint32_t x[16];
  for (int i = 0; i < 16; ++i) x[i] = LoadLittle32(block + 4 * i);
  uint32_t a = state_[0], b = state_[1], c = state_[2], d = state_[3];
  // The rounds written out step by step, as RFC 1321 gives them: the compiler
  // keeps everything in registers.
  for (int i = 0; i < 16; i += 4) {
    VA_MD5_STEP(RoundF, a, b, c, d, x[i], kSine[i], 7)
    VA_MD5_STEP(RoundF, d, a, b, c, x[i + 1], kSine[i + 1], 12)
    VA_MD5_STEP(RoundF, c, d, a, b, x[i + 2], kSine[i + 2], 17)
    VA_MD5_STEP(RoundF, b, c, d, a, x[i + 3], kSine[i + 3], 22)
  }
  for (int i = 16; i < 32; i += 4) {
    VA_MD5_STEP(RoundG, a, b, c, d, x[(5 * i + 1) & 15], kSine[i], 5)
    VA_MD5_STEP(RoundG, d, a, b, c, x[(5 * i + 6) & 15], kSine[i + 1], 9)
    VA_MD5_STEP(RoundG, c, d, a, b, x[(5 * i + 11) & 15], kSine[i + 2], 14)
    VA_MD5_STEP(RoundG, b, c, d, a, x[(5 * i + 16) & 15], kSine[i + 3], 20)
  }
  for (int i = 32; i < 48; i += 4) {
    VA_MD5_STEP(RoundH, a, b, c, d, x[(3 * i + 5) & 15], kSine[i], 4)
    VA_MD5_STEP(RoundH, d, a, b, c, x[(3 * i + 8) & 15], kSine[i + 1], 11)
    VA_MD5_STEP(RoundH, c, d, a, b, x[(3 * i + 11) & 15], kSine[i + 2], 16)
    VA_MD5_STEP(RoundH, b, c, d, a, x[(3 * i + 14) & 15], kSine[i + 3], 23)
  }
  for (int i = 48; i < 64; i += 4) {
    VA_MD5_STEP(RoundI, a, b, c, d, x[(7 * i) & 15], kSine[i], 6)
    VA_MD5_STEP(RoundI, d, a, b, c, x[(7 * i + 7) & 15], kSine[i + 1], 10)
    VA_MD5_STEP(RoundI, c, d, a, b, x[(7 * i + 14) & 15], kSine[i + 2], 15)
    VA_MD5_STEP(RoundI, b, c, d, a, x[(7 * i + 21) & 15], kSine[i + 3], 21)
  }
  state_[0] += a;
  state_[1] += b;
  state_[2] += c;
  state_[3] += d;
}

#undef VA_MD5_STEP

void Md5::Update(const uint8_t* data, size_t length) {
  if (length == 0) return;
  size_t filled = size_t(length_ % 64);
  length_ += length;
  if (filled > 0) {
    size_t take = 64 - filled < length ? 64 - filled : length;
    std::memcpy(buffer_ + filled, data, take);
    data += take;
    length -= take;
    if (filled + take < 64) return;
    Transform(buffer_);
  }
  for (; length >= 64; data += 64, length -= 64) Transform(data);
  if (length > 0) std::memcpy(buffer_, data, length);
}

Md5Digest Md5::Finish() {
  uint64_t bits = length_ * 8;
  uint8_t padding[72] = {0x80};
  size_t filled = size_t(length_ % 64);
  // Pad to 56 bytes past a block boundary, then append the bit count.
  size_t padLength = filled < 56 ? 56 - filled : 120 - filled;
  uint8_t count[8];
  for (int i = 0; i < 8; ++i) count[i] = uint8_t(bits >> (8 * i));
  Update(padding, padLength);
  Update(count, 8);
  Md5Digest digest;
  for (int i = 0; i < 4; ++i) StoreLittle32(digest.data() + 4 * i, state_[i]);
  Reset();
  return digest;
}

Md5Digest ComputeMd5(const uint8_t* data, size_t length) {
  Md5 md5;
  md5.Update(data, length);
  return md5.Finish();
}

}  // namespace va
