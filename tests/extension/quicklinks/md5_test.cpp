// MD5 against the test suite of RFC 1321 and incremental feeding.
#include "extension/quicklinks/md5.h"

#include <gtest/gtest.h>

#include <string>

namespace va {
namespace {

std::string Hex(const Md5Digest& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text;
  for (uint8_t b : digest) {
    text += kDigits[b >> 4];
    text += kDigits[b & 15];
  }
  return text;
}

std::string Md5Hex(const std::string& text) {
  return Hex(ComputeMd5(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
}

TEST(Md5, Rfc1321TestSuite) {
  EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
  EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
  EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
  EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
  EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
            "d174ab98d277d9f5a5611c2c9f419d9f");
  EXPECT_EQ(Md5Hex("12345678901234567890123456789012345678901234567890123456789012345678901234567890"),
            "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, PaddingBoundariesAroundOneBlock) {
  // Lengths 55, 56 and 64 decide whether the length fits into the last block.
  EXPECT_EQ(Md5Hex(std::string(55, 'a')), "ef1772b6dff9a122358552954ad0df65");
  EXPECT_EQ(Md5Hex(std::string(56, 'a')), "3b0c8ac703f828b04c6c197006d17218");
  EXPECT_EQ(Md5Hex(std::string(64, 'a')), "014842d480b571495a4a0363793f7367");
  EXPECT_EQ(Md5Hex(std::string(1000000, 'a')), "7707d6ae4e027c70eea2a935c2296f21");
}

TEST(Md5, PiecewiseFeedingGivesTheSameDigestAtEverySplit) {
  std::string message;
  for (int i = 0; i < 200; ++i) message += char(i * 37 + 11);
  const auto* bytes = reinterpret_cast<const uint8_t*>(message.data());
  const Md5Digest whole = ComputeMd5(bytes, message.size());
  for (size_t split = 0; split <= message.size(); ++split) {
    SCOPED_TRACE(split);
    Md5 md5;
    md5.Update(bytes, split);
    md5.Update(bytes + split, message.size() - split);
    EXPECT_EQ(md5.Finish(), whole);
  }
  Md5 bytewise;
  for (uint8_t b : message) bytewise.Update(&b, 1);
  EXPECT_EQ(bytewise.Finish(), whole);
}

TEST(Md5, FinishStartsANewMessage) {
  Md5 md5;
  md5.Update(reinterpret_cast<const uint8_t*>("abc"), 3);
  md5.Finish();
  md5.Update(reinterpret_cast<const uint8_t*>("a"), 1);
  EXPECT_EQ(Hex(md5.Finish()), "0cc175b9c0f1b6a831c399e269772661");
}

}  // namespace
}  // namespace va
