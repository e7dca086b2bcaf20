// The QuickLink core: MD5, base64 and the UUHash with every read counted, the
// link text of each format, and the worker's loop over files. Expected hashes
// come from an independent reference implementation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <limits>
#include <map>
#include <string>

#include "extension/quicklinks/md5.h"
#include "extension/quicklinks/quicklinks.h"
#include "extension/quicklinks/uuhash.h"

namespace va {
namespace {

constexpr uint32_t B = kUUHashBlockSize;
using Reads = std::vector<std::pair<uint64_t, size_t>>;  // position, length

// A file of any size whose byte at p is a multiplicative hash of p (blocks at
// different offsets differ); records every read and flags reads out of range.
class PatternFileReader : public FileReader {
 public:
  explicit PatternFileReader(uint64_t size) : size_(size) {}
  uint64_t Size() override { return size_; }
  size_t ReadAt(uint64_t position, uint8_t* buffer, size_t length) override {
    reads.push_back({position, length});
    outOfRange |= position > size_ || length > size_ - position;
    const size_t available = position >= size_ ? 0 : size_t(std::min<uint64_t>(length, size_ - position));
    for (size_t i = 0; i < available; ++i) buffer[i] = uint8_t(((position + i) * 2654435761ull) >> 13);
    return available;
  }
  Reads reads;
  bool outOfRange = false;

 private:
  uint64_t size_;
};

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

std::string Md5Hex(const std::string& text) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (uint8_t b : ComputeMd5(Bytes(text), text.size())) hex += {kDigits[b >> 4], kDigits[b & 15]};
  return hex;
}

TEST(QuickLinkHashes, Md5Base64AndSmallHashVectors) {
  const std::pair<std::string, const char*> md5[] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"}, {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"}, {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
      // 55, 56 and 64 bytes decide whether the length still fits into the last block.
      {std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"}, {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
      {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"}, {std::string(1000000, 'a'), "7707d6ae4e027c70eea2a935c2296f21"}};
  for (const auto& [text, hex] : md5) EXPECT_EQ(Md5Hex(text), hex) << "length " << text.size();
  // Fed in two pieces at every split (one object, so Finish must also start anew).
  std::string message;
  for (int i = 0; i < 200; ++i) message += char(i * 37 + 11);
  const Md5Digest whole = ComputeMd5(Bytes(message), message.size());
  Md5 piecewise;
  for (size_t split = 0; split <= message.size(); ++split) {
    piecewise.Update(Bytes(message), split);
    piecewise.Update(Bytes(message) + split, message.size() - split);
    EXPECT_EQ(piecewise.Finish(), whole) << "split at " << split;
  }
  const std::pair<std::string, const char*> base64[] = {
      {"", ""},           {"f", "Zg=="},         {"fo", "Zm8="},         {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="}, {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"\xFB\xFF\xBF", "+/+/"}};
  for (const auto& [in, out] : base64) EXPECT_EQ(Base64Encode(Bytes(in), in.size()), out) << in;
  // With the usual start and final inversion the update is the IEEE CRC-32, and
  // the running value carries across pieces.
  const std::string check = "123456789";
  EXPECT_EQ(SmallHashUpdate(Bytes(check), 9, 0xFFFFFFFFu) ^ 0xFFFFFFFFu, 0xCBF43926u);
  EXPECT_EQ(SmallHashUpdate(Bytes(check) + 4, 5, SmallHashUpdate(Bytes(check), 4, 0xFFFFFFFFu)), 0x340BC6D9u);
  EXPECT_EQ(UUHashText(UUHashValue{}), "=" + std::string(27, 'A') + "=");
}

// The reads of a file of `size`: the first block, the samples at 1 MiB, 2 MiB, ..
// `lastSample`, and the tail.
Reads Sampled(uint64_t size, uint64_t lastSample) {
  Reads reads = {{0, B}};
  for (uint64_t at = 1048576; at <= lastSample; at *= 2) reads.push_back({at, B});
  reads.push_back({size - B, B});
  return reads;
}

TEST(QuickLinkHashes, UUHashReadsExactlyTheSampledBlocksAndStaysInRange) {
  const struct {
    uint64_t size;
    Reads reads;
    const char* text;
  } rows[] = {
      {0, {}, "=1B2M2Y8AsgTpgAmY7PhCfv////8="},
      {1, {{0, 1}}, "=k7iFrf4NoInN9jSQT9Wfcf7///8="},
      {307200, {{0, B}}, "=amg39nBwSen94Nbt/ngYj/9P+/8="},  // SmallHash: the inverted size
      {307201, {{0, B}, {307200, 1}}, "=amg39nBwSen94Nbt/ngYj5a9+h4="},
      {1000000, Sampled(1000000, 0), "=amg39nBwSen94Nbt/ngYj6rxrbQ="},
      {1662976, Sampled(1662976, 0), nullptr},  // a sample needs two more blocks before the end
      {1662977, Sampled(1662977, 1048576), "=amg39nBwSen94Nbt/ngYj8jdvG8="},
      {3000000, Sampled(3000000, 2097152), "=amg39nBwSen94Nbt/ngYj7GtxPo="},
      {700000000, Sampled(700000000, 536870912), "=amg39nBwSen94Nbt/ngYjxcltvs="},
      {5000000000ull, Sampled(5000000000ull, 4294967296ull), "=amg39nBwSen94Nbt/ngYj3Z1XoY="}};
  for (const auto& row : rows) {
    PatternFileReader file(row.size);
    const std::string text = UUHashText(ComputeUUHash(file));
    if (row.text) {
      EXPECT_EQ(text, row.text) << row.size << " bytes";
    }
    EXPECT_EQ(file.reads, row.reads) << row.size << " bytes";
    EXPECT_FALSE(file.outOfRange) << row.size << " bytes";
    if (row.size == 700000000) {
      EXPECT_EQ(file.reads.size(), 12u);
    }
  }
  // Sizes near and past 2 and 4 GiB and the largest end in finite time, in range.
  for (uint64_t size : std::vector<uint64_t>{0x7FFFFFFF, 0x80000000, 0xFFFFFFFF, 0x100003039, uint64_t(1) << 63,
                                             std::numeric_limits<uint64_t>::max()}) {
    PatternFileReader file(size);
    ComputeUUHash(file);
    EXPECT_FALSE(file.outOfRange) << size;
    ASSERT_GE(file.reads.size(), 3u) << size;
    EXPECT_LE(file.reads.size(), 46u) << size;
    EXPECT_EQ(file.reads.back().first + file.reads.back().second, size) << "the tail ends the file";
    for (size_t i = 2; i + 1 < file.reads.size(); ++i) EXPECT_EQ(file.reads[i].first, 2 * file.reads[i - 1].first);
  }
}

TEST(QuickLinkText, EveryFormatAndEveryField) {
  const std::string h = "=kK7e2ZIs+JRup4WGNUk3JMVCaoA=", link = "sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:";
  const std::string anchor = "<A HREF=\"" + link + h + "|\">song.mp3</A>", url = "[URL=\"" + link + h + "|\"]song.mp3[/URL]";
  const std::string lines = "Length: 5000000 Bytes, 4882KB\r\nUUHash: " + h + "\r\n";
  const struct {
    const char* linkTemplate;
    const char* name;
    int64_t size;
    std::string hash, expected;
  } rows[] = {
      {QuickLinkTemplate(1), "song.mp3", 5000000, h, anchor},
      {QuickLinkTemplate(2), "song.mp3", 5000000, h, url},
      {QuickLinkTemplate(3), "song.mp3", 5000000, h, "File: song.mp3\r\n" + lines},
      {QuickLinkTemplate(4), "song.mp3", 5000000, h, "File: " + anchor + "\r\n" + lines},
      {QuickLinkTemplate(5), "song.mp3", 5000000, h, "File: " + url + "\r\n" + lines},
      {"%LB%/%LKB%", "x", 1023, h, "1023/0"},
      {"%LB%/%LKB%", "x", 1024, h, "1024/1"},
      {"%LB%/%LKB%", "x", 5000000000ll, h, "5000000000/4882812"},
      {"%FN%|%HASH%", "a%HASH%b%LB%.mp3", 7, h, "a%HASH%b%LB%.mp3|" + h},  // inserted text is not scanned again
      {"50% %FN% %% %L", "n", 1, h, "50% n %% %L"},
      {"%LB% %LKB% %HASH%", "locked", 2048, "", "2048 2 (file not readable)"},
      {"%FN% %LB% %LKB%KB %HASH%", "gone", -1, "", "gone ? ?KB (file not readable)"}};
  for (const auto& row : rows)
    EXPECT_EQ(FillQuickLinkTemplate(row.linkTemplate, row.name, row.size, row.hash), row.expected) << row.linkTemplate;
  EXPECT_EQ(QuickLinkTemplate(0), nullptr);
  EXPECT_EQ(QuickLinkTemplate(6), nullptr);
}

// Files by path, absent when not found: size and first hash byte (0: unreadable).
class FakeFiles : public QuickLinkFiles, public QuickLinkProgress {
 public:
  std::map<std::string, std::pair<int64_t, uint8_t>> entries;
  std::vector<std::string> shown, hashed;
  std::function<void(const std::string&)> onHash;
  int64_t SizeOf(const std::string& path) override { return entries.count(path) ? entries[path].first : -1; }
  bool HashOf(const std::string& path, UUHashValue& value) override {
    hashed.push_back(path);
    if (onHash) onHash(path);
    if (!entries.count(path) || entries[path].second == 0) return false;
    value = {entries[path].second};
    return true;
  }
  void ShowFileName(const std::string& name) override { shown.push_back(name); }
};

TEST(QuickLinkText, WorkerLoopKeepsOrderNeverLendsAHashAndStopsOnCancel) {
  auto hash = [](uint8_t first) { return UUHashText(UUHashValue{first}); };
  FakeFiles files;
  files.entries = {{"C:\\s\\one", {10, 7}}, {"Z:/d/locked", {20, 0}}, {"three", {30, 9}}};
  const std::vector<std::string> paths = {"C:\\s\\one", "Z:/d/locked", "missing", "three"};
  std::atomic<int32_t> state{kQuickLinkWorking};
  EXPECT_EQ(BuildQuickLinks("%FN% %LB% %HASH%", paths, files, files, state),
            "one 10 " + hash(7) + "\r\nlocked 20 (file not readable)\r\nmissing ? (file not readable)\r\nthree 30 " +
                hash(9) + "\r\n");
  EXPECT_EQ(files.shown, (std::vector<std::string>{"one", "locked", "missing", "three"}));
  // Cancel pressed while "locked" is hashed: its link is kept, no further file is looked at.
  FakeFiles cancelled;
  cancelled.entries = files.entries;
  cancelled.onHash = [&](const std::string& path) {
    if (path == paths[1]) state = kQuickLinkCancelRequested;
  };
  EXPECT_EQ(BuildQuickLinks("%FN%", paths, cancelled, cancelled, state), "one\r\nlocked\r\n");
  EXPECT_EQ(cancelled.hashed, (std::vector<std::string>{paths[0], paths[1]}));
  EXPECT_EQ(BuildQuickLinks("%FN%", paths, cancelled, cancelled, state), "") << "cancelled before the first file";
}

}  // namespace
}  // namespace va
