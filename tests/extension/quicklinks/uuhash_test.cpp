// UUHash: the SmallHash table and update, base64, which blocks are read for which
// sizes, and known values (the expected texts were produced by an independent
// reference implementation over the same pattern files).
#include "extension/quicklinks/uuhash.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <limits>
#include <string>
#include <unistd.h>

#include "extension/quicklinks/fake_file_reader.h"

namespace va {
namespace {

using test::PatternFileReader;
using test::ReadRecord;
constexpr uint32_t B = kUUHashBlockSize;

std::string Base64Of(const std::string& text) {
  return Base64Encode(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}

TEST(SmallHash, TableIsTheReflectedCrc32Table) {
  EXPECT_EQ(SmallHashTableEntry(0), 0u);
  EXPECT_EQ(SmallHashTableEntry(1), 0x77073096u);
  EXPECT_EQ(SmallHashTableEntry(128), 0xEDB88320u);
  EXPECT_EQ(SmallHashTableEntry(255), 0x2D02EF8Du);
}

TEST(SmallHash, UpdateCarriesTheRunningValueWithoutInversion) {
  const std::string check = "123456789";
  const auto* bytes = reinterpret_cast<const uint8_t*>(check.data());
  // With the usual start and final inversion the update is the IEEE CRC-32.
  EXPECT_EQ(SmallHashUpdate(bytes, check.size(), 0xFFFFFFFFu) ^ 0xFFFFFFFFu, 0xCBF43926u);
  // Carried across pieces it equals one update over the whole.
  uint32_t piecewise = SmallHashUpdate(bytes, 4, 0xFFFFFFFFu);
  piecewise = SmallHashUpdate(bytes + 4, 5, piecewise);
  EXPECT_EQ(piecewise, SmallHashUpdate(bytes, 9, 0xFFFFFFFFu));
  EXPECT_EQ(SmallHashUpdate(bytes, 0, 0x12345678u), 0x12345678u);
}

TEST(Base64, Rfc4648Vectors) {
  EXPECT_EQ(Base64Of(""), "");
  EXPECT_EQ(Base64Of("f"), "Zg==");
  EXPECT_EQ(Base64Of("fo"), "Zm8=");
  EXPECT_EQ(Base64Of("foo"), "Zm9v");
  EXPECT_EQ(Base64Of("foob"), "Zm9vYg==");
  EXPECT_EQ(Base64Of("fooba"), "Zm9vYmE=");
  EXPECT_EQ(Base64Of("foobar"), "Zm9vYmFy");
  EXPECT_EQ(Base64Of("\xFB\xFF\xBF"), "+/+/");
}

TEST(UUHashText, TwentyZeroBytes) {
  UUHashValue zero{};
  const std::string text = UUHashText(zero);
  EXPECT_EQ(text, "=" + std::string(27, 'A') + "=");
  EXPECT_EQ(text.size(), 29u);
}

struct SizeCase {
  uint64_t size;
  std::vector<ReadRecord> reads;
  const char* text;
};

TEST(ComputeUUHash, ReadsTheFirstBlockTheDoublingSamplesAndTheTail) {
  const SizeCase cases[] = {
      {0, {}, "=1B2M2Y8AsgTpgAmY7PhCfv////8="},
      {1, {{0, 1}}, "=k7iFrf4NoInN9jSQT9Wfcf7///8="},
      {307200, {{0, B}}, "=amg39nBwSen94Nbt/ngYj/9P+/8="},
      {307201, {{0, B}, {307200, 1}}, "=amg39nBwSen94Nbt/ngYj5a9+h4="},
      {1000000, {{0, B}, {1000000 - B, B}}, "=amg39nBwSen94Nbt/ngYj6rxrbQ="},
      {1662977, {{0, B}, {1048576, B}, {1662977 - B, B}}, "=amg39nBwSen94Nbt/ngYj8jdvG8="},
      {3000000, {{0, B}, {1048576, B}, {2097152, B}, {3000000 - B, B}}, "=amg39nBwSen94Nbt/ngYj7GtxPo="},
  };
  for (const SizeCase& c : cases) {
    SCOPED_TRACE(c.size);
    PatternFileReader file(c.size);
    EXPECT_EQ(UUHashText(ComputeUUHash(file)), c.text);
    EXPECT_EQ(file.reads, c.reads);
    EXPECT_FALSE(file.outOfRange);
  }
}

TEST(ComputeUUHash, SmallFilesCarryTheInvertedSize) {
  PatternFileReader exact(307200);
  UUHashValue value = ComputeUUHash(exact);
  uint32_t smallHash = value[16] | (value[17] << 8) | (value[18] << 16) | (uint32_t(value[19]) << 24);
  EXPECT_EQ(smallHash, 0xFFFFFFFFu ^ 307200u);
}

TEST(ComputeUUHash, SevenHundredMillionBytesCostTwelveBlocks) {
  PatternFileReader file(700000000);
  EXPECT_EQ(UUHashText(ComputeUUHash(file)), "=amg39nBwSen94Nbt/ngYjxcltvs=");
  ASSERT_EQ(file.reads.size(), 12u);
  uint64_t total = 0;
  for (const ReadRecord& read : file.reads) total += read.length;
  EXPECT_EQ(total, 3686400u);
  EXPECT_EQ(file.reads[1].position, 1048576u);
  EXPECT_EQ(file.reads[10].position, 536870912u);
  EXPECT_EQ(file.reads[11].position, 700000000u - B);
}

TEST(ComputeUUHash, HugeSizesEndInFiniteTimeAndStayInRange) {
  const uint64_t sizes[] = {0x7FFFFFFFull,          0x80000000ull, 0xFFFFFFFFull, 0x100000000ull,
                            0x100000000ull + 12345, 5000000000ull, 1ull << 62,    1ull << 63,
                            std::numeric_limits<uint64_t>::max()};
  for (uint64_t size : sizes) {
    SCOPED_TRACE(size);
    PatternFileReader file(size);
    ComputeUUHash(file);
    EXPECT_FALSE(file.outOfRange);
    EXPECT_LE(file.reads.size(), 66u);
    ASSERT_GE(file.reads.size(), 2u);
    EXPECT_EQ(file.reads.back().position + file.reads.back().length, size);  // the tail ends the file
    for (size_t i = 2; i + 1 < file.reads.size(); ++i) EXPECT_EQ(file.reads[i].position, 2 * file.reads[i - 1].position);
  }
  PatternFileReader fourGiB(0xFFFFFFFFull);
  ComputeUUHash(fourGiB);
  EXPECT_EQ(fourGiB.reads.size(), 14u);  // first, 1 MiB .. 2 GiB, tail
}

TEST(ComputeUUHash, FilesOfFourGiBAndMoreSampleTheWholeFile) {
  PatternFileReader file(5000000000ull);
  EXPECT_EQ(UUHashText(ComputeUUHash(file)), "=amg39nBwSen94Nbt/ngYj3Z1XoY=");
  EXPECT_EQ(file.reads.size(), 15u);
}

TEST(ComputeUUHash, ShortReadsNeverLeaveTheBuffer) {
  PatternFileReader file(3000000);
  file.shortReadBy = 1000;
  const std::string text = UUHashText(ComputeUUHash(file));
  EXPECT_EQ(text.size(), 29u);
  EXPECT_NE(text, "=amg39nBwSen94Nbt/ngYj7GtxPo=");
}

TEST(ComputeUUHash, RealFilesThroughThePlatformReader) {
  char folder[] = "/tmp/uuhash_test_XXXXXX";
  ASSERT_NE(mkdtemp(folder), nullptr);
  const std::string path = std::string(folder) + "/pattern.bin";
  {
    std::ofstream out(path, std::ios::binary);
    for (uint64_t i = 0; i < 1662977; ++i) out.put(char(test::PatternByte(i)));
  }
  UUHashValue value{};
  ASSERT_TRUE(ComputeUUHash(path, value));
  EXPECT_EQ(UUHashText(value), "=amg39nBwSen94Nbt/ngYj8jdvG8=");

  UUHashValue untouched{};
  untouched[0] = 0x5A;
  EXPECT_FALSE(ComputeUUHash(std::string(folder) + "/missing.bin", untouched));
  EXPECT_EQ(untouched[0], 0x5A);
  std::remove(path.c_str());
  rmdir(folder);
}

}  // namespace
}  // namespace va
