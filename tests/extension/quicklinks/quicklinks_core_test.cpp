// The QuickLink core: MD5, base64 and the UUHash with every read counted, the
// link text's fields, and the worker's loop over files. Expected hashes
// come from an independent reference implementation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "extension/quicklinks/md5.h"
#include "extension/quicklinks/quicklinks.h"
#include "extension/quicklinks/uuhash.h"

namespace va {
namespace {

constexpr uint32_t B = kUUHashBlockSize;
using Reads = std::vector<std::pair<uint64_t, size_t>>;  // position, length

// A file of any size whose byte at p is a multiplicative hash of p (blocks at
// different offsets differ); records every read and flags reads out of range.
struct PatternFileReader : FileReader {
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
  uint64_t size_;
};

const uint8_t* Bytes(const std::string& text) { return reinterpret_cast<const uint8_t*>(text.data()); }

std::string Md5Hex(const std::string& text) {
  std::string hex;
  for (uint8_t b : ComputeMd5(Bytes(text), text.size())) hex += {"0123456789abcdef"[b >> 4], "0123456789abcdef"[b & 15]};
  return hex;
}

// MD5 where the length decides whether it still fits into the last block, and fed
// in two pieces (the UUHash rows below check MD5, base64 and the small hash whole).
TEST(QuickLinkHashes, Md5AtTheBlockBoundariesAndInPieces) {
  const std::pair<std::string, const char*> md5[] = {{std::string(55, 'a'), "ef1772b6dff9a122358552954ad0df65"},
                                                     {std::string(56, 'a'), "3b0c8ac703f828b04c6c197006d17218"},
                                                     {std::string(64, 'a'), "014842d480b571495a4a0363793f7367"}};
  for (const auto& [text, hex] : md5) EXPECT_EQ(Md5Hex(text), hex) << "length " << text.size();
  std::string message;
  for (int i = 0; i < 200; ++i) message += char(i * 37 + 11);
  Md5 piecewise;  // one object: Finish must also start anew
  for (size_t split = 0; split <= message.size(); ++split) {
    piecewise.Update(Bytes(message), split);
    piecewise.Update(Bytes(message) + split, message.size() - split);
    EXPECT_EQ(piecewise.Finish(), ComputeMd5(Bytes(message), message.size())) << "split at " << split;
  }
}

// The reads of a file of `size`: the first block, the samples at 1 MiB, 2 MiB, ..
// `lastSample`, and the tail.
Reads Sampled(uint64_t size, uint64_t lastSample) {
  Reads reads = {{0, B}};
  for (uint64_t at = 1048576; at && at <= lastSample; at *= 2) reads.push_back({at, B});
  reads.push_back({size - B, B});
  return reads;
}

TEST(QuickLinkHashes, UUHashReadsExactlyTheSampledBlocksAndStaysInRange) {
  const struct { uint64_t size; Reads reads; const char* text; } rows[] = {
      {0, {}, "=1B2M2Y8AsgTpgAmY7PhCfv////8="},
      {1, {{0, 1}}, "=k7iFrf4NoInN9jSQT9Wfcf7///8="},
      {307200, {{0, B}}, "=amg39nBwSen94Nbt/ngYj/9P+/8="},  // SmallHash: the inverted size
      {307201, {{0, B}, {307200, 1}}, "=amg39nBwSen94Nbt/ngYj5a9+h4="},
      {1000000, Sampled(1000000, 0), "=amg39nBwSen94Nbt/ngYj6rxrbQ="},
      {1662976, Sampled(1662976, 0), nullptr},  // a sample needs two more blocks before the end
      {1662977, Sampled(1662977, 1048576), "=amg39nBwSen94Nbt/ngYj8jdvG8="},
      {700000000, Sampled(700000000, 536870912), "=amg39nBwSen94Nbt/ngYjxcltvs="},
      {5000000000ull, Sampled(5000000000ull, 4294967296ull), "=amg39nBwSen94Nbt/ngYj3Z1XoY="},
      // Sizes past 2 and 4 GiB and the largest.
      {0x80000000, Sampled(0x80000000, 1u << 30), nullptr},
      {0x100003039, Sampled(0x100003039, 1u << 31), nullptr},
      {uint64_t(1) << 63, Sampled(uint64_t(1) << 63, uint64_t(1) << 62), nullptr},
      {~uint64_t(0), Sampled(~uint64_t(0), uint64_t(1) << 63), nullptr}};
  for (const auto& row : rows) {
    PatternFileReader file(row.size);
    const std::string text = UUHashText(ComputeUUHash(file));
    if (row.text) EXPECT_EQ(text, row.text) << row.size << " bytes";
    EXPECT_EQ(file.reads, row.reads) << row.size << " bytes";
    EXPECT_FALSE(file.outOfRange) << row.size << " bytes";
  }
}

// The five formats filled whole, and every field at its edges.
TEST(QuickLinkText, EveryFormatAndField) {
  const std::string h = "=kK7e2ZIs+JRup4WGNUk3JMVCaoA=", link = "sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:" + h,
                    lines = "\r\nLength: 5000000 Bytes, 4882KB\r\nUUHash: " + h + "\r\n";
  const std::string formats[] = {"none", "<A HREF=\"" + link + "|\">song.mp3</A>", "[URL=\"" + link + "|\"]song.mp3[/URL]",
                                 "File: song.mp3" + lines, "File: <A HREF=\"" + link + "|\">song.mp3</A>" + lines,
                                 "File: [URL=\"" + link + "|\"]song.mp3[/URL]" + lines, "none"};
  for (int n = 0; n <= 6; ++n)  // formats 1 to 5 only
    EXPECT_EQ(QuickLinkTemplate(n) ? FillQuickLinkTemplate(QuickLinkTemplate(n), "song.mp3", 5000000, h) : "none", formats[n]) << n;
  const std::tuple<const char*, const char*, int64_t, std::string, std::string> rows[] = {
      {"%LB%/%LKB%", "x", 1023, h, "1023/0"}, {"%LB%/%LKB%", "x", 2047, h, "2047/1"}, {"%LKB%", "x", 0, h, "0"},
      {"%LB%/%LKB%", "x", 5000000000ll, h, "5000000000/4882812"},
      {"%FN%|%HASH%", "a%HASH%b%LB%.mp3", 7, h, "a%HASH%b%LB%.mp3|" + h},  // inserted text is not scanned again
      {"50% %FN% %% %L %fn% %FN", "n", 1, h, "50% n %% %L %fn% %FN"}, {"%FN%%FN%", "", 1, h, ""},
      {"%FN% %LB% %LKB%KB %HASH%", "gone", -1, "", "gone ? ?KB (file not readable)"}};
  for (const auto& [linkTemplate, name, size, hash, expected] : rows)
    EXPECT_EQ(FillQuickLinkTemplate(linkTemplate, name, size, hash), expected) << linkTemplate << " " << size;
}

// Files by path, absent when not found: size and first hash byte (0: unreadable).
class FakeFiles : public QuickLinkFiles, public QuickLinkProgress {
 public:
  std::map<std::string, std::pair<int64_t, uint8_t>> entries;
  std::string seen;  // "name;" shown, "#path;" hashed
  std::function<void(const std::string&)> onHash;
  int64_t SizeOf(const std::string& path) override { return entries.count(path) ? entries[path].first : -1; }
  bool HashOf(const std::string& path, UUHashValue& value) override {
    seen += "#" + path + ";";
    if (onHash) onHash(path);
    const bool readable = entries.count(path) && entries[path].second != 0;
    return readable && (value = {entries[path].second}, true);
  }
  void ShowFileName(const std::string& name) override { seen += name + ";"; }
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
  EXPECT_EQ(files.seen, "one;#C:\\s\\one;locked;#Z:/d/locked;missing;#missing;three;#three;");
  // Cancel pressed while "locked" is hashed: its link is kept, no further file is looked at.
  FakeFiles cancelled;
  cancelled.entries = files.entries;
  cancelled.onHash = [&](const std::string& path) { state = path == paths[1] ? kQuickLinkCancelRequested : state.load(); };
  EXPECT_EQ(BuildQuickLinks("%FN%", paths, cancelled, cancelled, state), "one\r\nlocked\r\n");
  EXPECT_EQ(cancelled.seen, "one;#C:\\s\\one;locked;#Z:/d/locked;");
  EXPECT_EQ(BuildQuickLinks("%FN%", paths, cancelled, cancelled, state), "") << "cancelled before the first file";
}

}  // namespace
}  // namespace va
