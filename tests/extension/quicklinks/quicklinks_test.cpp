// QuickLinks: template filling for each format, unreadable and unknown files, and
// the worker's loop (order, cancel between files, fresh hash per file).
#include "extension/quicklinks/quicklinks.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

namespace va {
namespace {

const char* const kHash = "=kK7e2ZIs+JRup4WGNUk3JMVCaoA=";

TEST(QuickLinkTemplate, FormatsOneToFiveOnly) {
  EXPECT_EQ(QuickLinkTemplate(0), nullptr);
  EXPECT_EQ(QuickLinkTemplate(6), nullptr);
  EXPECT_EQ(QuickLinkTemplate(-1), nullptr);
  for (int format = 1; format <= kQuickLinkFormatCount; ++format) {
    SCOPED_TRACE(format);
    ASSERT_NE(QuickLinkTemplate(format), nullptr);
    EXPECT_LE(std::string(QuickLinkTemplate(format)).size(), 511u);  // what the worker loads
  }
}

TEST(FillQuickLinkTemplate, EachFormatForSongMp3) {
  auto fill = [](int format) { return FillQuickLinkTemplate(QuickLinkTemplate(format), "song.mp3", 5000000, kHash); };
  EXPECT_EQ(fill(1),
            "<A HREF=\"sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:=kK7e2ZIs+JRup4WGNUk3JMVCaoA=|\">"
            "song.mp3</A>");
  EXPECT_EQ(fill(2),
            "[URL=\"sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:=kK7e2ZIs+JRup4WGNUk3JMVCaoA=|\"]"
            "song.mp3[/URL]");
  EXPECT_EQ(fill(3), "File: song.mp3\r\nLength: 5000000 Bytes, 4882KB\r\nUUHash: =kK7e2ZIs+JRup4WGNUk3JMVCaoA=\r\n");
  EXPECT_EQ(fill(4),
            "File: <A HREF=\"sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:=kK7e2ZIs+JRup4WGNUk3JMVCaoA=|\">"
            "song.mp3</A>\r\nLength: 5000000 Bytes, 4882KB\r\nUUHash: =kK7e2ZIs+JRup4WGNUk3JMVCaoA=\r\n");
  EXPECT_EQ(fill(5),
            "File: [URL=\"sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:=kK7e2ZIs+JRup4WGNUk3JMVCaoA=|\"]"
            "song.mp3[/URL]\r\nLength: 5000000 Bytes, 4882KB\r\nUUHash: =kK7e2ZIs+JRup4WGNUk3JMVCaoA=\r\n");
}

TEST(FillQuickLinkTemplate, KilobytesDropTheFraction) {
  EXPECT_EQ(FillQuickLinkTemplate("%LB%/%LKB%", "x", 1023, kHash), "1023/0");
  EXPECT_EQ(FillQuickLinkTemplate("%LB%/%LKB%", "x", 1024, kHash), "1024/1");
  EXPECT_EQ(FillQuickLinkTemplate("%LB%/%LKB%", "x", 5000000000ll, kHash), "5000000000/4882812");
}

TEST(FillQuickLinkTemplate, InsertedTextIsNotScannedAgain) {
  EXPECT_EQ(FillQuickLinkTemplate("%FN%|%HASH%", "a%HASH%b%LB%.mp3", 7, kHash),
            std::string("a%HASH%b%LB%.mp3|") + kHash);
  EXPECT_EQ(FillQuickLinkTemplate("50% %FN% %% %L", "n", 1, kHash), "50% n %% %L");
}

TEST(FillQuickLinkTemplate, UnreadableAndMissingFilesGetNoHashLikeText) {
  const std::string link = FillQuickLinkTemplate(QuickLinkTemplate(1), "gone.mp3", -1, "");
  EXPECT_EQ(link, "<A HREF=\"sig2dat:///|File:gone.mp3|Length:? Bytes,?KB|UUHash:(file not readable)|\">gone.mp3</A>");
  // A locked file keeps its true size.
  EXPECT_EQ(FillQuickLinkTemplate("%LB% %LKB% %HASH%", "x", 2048, ""), "2048 2 (file not readable)");
}

TEST(QuickLinkFileName, TextAfterTheLastSeparator) {
  EXPECT_EQ(QuickLinkFileName("C:\\Shared\\Music\\song.mp3"), "song.mp3");
  EXPECT_EQ(QuickLinkFileName("Z:/tmp/a b.txt"), "a b.txt");
  EXPECT_EQ(QuickLinkFileName("plain"), "plain");
  EXPECT_EQ(QuickLinkFileName("C:\\dir\\"), "");
}

// Files by path: size and hash; a missing entry is a file that is not found.
class FakeFiles : public QuickLinkFiles {
 public:
  struct Entry {
    int64_t size;
    bool readable;
    uint8_t firstByte;
  };
  int64_t SizeOf(const std::string& path) override {
    auto it = entries.find(path);
    return it == entries.end() ? -1 : it->second.size;
  }
  bool HashOf(const std::string& path, UUHashValue& value) override {
    hashed.push_back(path);
    if (onHash) onHash(path);
    auto it = entries.find(path);
    if (it == entries.end() || !it->second.readable) return false;
    value.fill(0);
    value[0] = it->second.firstByte;
    return true;
  }
  std::map<std::string, Entry> entries;
  std::vector<std::string> hashed;
  std::function<void(const std::string&)> onHash;
};

class RecordingProgress : public QuickLinkProgress {
 public:
  void ShowFileName(const std::string& name) override { names.push_back(name); }
  std::vector<std::string> names;
};

std::string HashWithFirstByte(uint8_t b) {
  UUHashValue value{};
  value[0] = b;
  return UUHashText(value);
}

TEST(BuildQuickLinks, SimpleFormatForTwoFilesGivesTwoBlocksEachWithAnEmptyLine) {
  FakeFiles files;
  files.entries["C:\\s\\a.mp3"] = {5000000, true, 1};
  files.entries["C:\\s\\b.ogg"] = {1023, true, 2};
  RecordingProgress progress;
  std::atomic<int32_t> state{kQuickLinkWorking};
  const std::string out =
      BuildQuickLinks(QuickLinkTemplate(3), {"C:\\s\\a.mp3", "C:\\s\\b.ogg"}, files, progress, state);
  EXPECT_EQ(out, "File: a.mp3\r\nLength: 5000000 Bytes, 4882KB\r\nUUHash: " + HashWithFirstByte(1) + "\r\n\r\n" +
                     "File: b.ogg\r\nLength: 1023 Bytes, 0KB\r\nUUHash: " + HashWithFirstByte(2) + "\r\n\r\n");
  EXPECT_EQ(progress.names, (std::vector<std::string>{"a.mp3", "b.ogg"}));
}

TEST(BuildQuickLinks, AnchorFormatForTwoFilesGivesTwoLines) {
  FakeFiles files;
  files.entries["a"] = {1, true, 1};
  files.entries["b"] = {2, true, 2};
  RecordingProgress progress;
  std::atomic<int32_t> state{kQuickLinkWorking};
  const std::string out = BuildQuickLinks(QuickLinkTemplate(1), {"a", "b"}, files, progress, state);
  EXPECT_EQ(out, FillQuickLinkTemplate(QuickLinkTemplate(1), "a", 1, HashWithFirstByte(1)) + "\r\n" +
                     FillQuickLinkTemplate(QuickLinkTemplate(1), "b", 2, HashWithFirstByte(2)) + "\r\n");
  size_t lineBreaks = 0;
  for (size_t at = out.find("\r\n"); at != std::string::npos; at = out.find("\r\n", at + 2)) ++lineBreaks;
  EXPECT_EQ(lineBreaks, 2u);
}

TEST(BuildQuickLinks, AnUnreadableFileBetweenTwoNeverTakesItsNeighboursHash) {
  FakeFiles files;
  files.entries["one"] = {10, true, 7};
  files.entries["locked"] = {20, false, 0};
  files.entries["three"] = {30, true, 9};
  RecordingProgress progress;
  std::atomic<int32_t> state{kQuickLinkWorking};
  const std::string out =
      BuildQuickLinks("%FN% %LB% %HASH%", {"one", "locked", "missing", "three"}, files, progress, state);
  EXPECT_EQ(out, "one 10 " + HashWithFirstByte(7) + "\r\nlocked 20 (file not readable)\r\n" +
                     "missing ? (file not readable)\r\nthree 30 " + HashWithFirstByte(9) + "\r\n");
}

TEST(BuildQuickLinks, CancelDuringAHashKeepsThatLinkAndStartsNoFurtherFile) {
  FakeFiles files;
  files.entries["first"] = {1, true, 1};
  files.entries["second"] = {2, true, 2};
  files.entries["third"] = {3, true, 3};
  std::atomic<int32_t> state{kQuickLinkWorking};
  files.onHash = [&](const std::string& path) {
    if (path == "second") state = kQuickLinkCancelRequested;  // Cancel pressed while hashing
  };
  RecordingProgress progress;
  const std::string out = BuildQuickLinks("%FN%", {"first", "second", "third"}, files, progress, state);
  EXPECT_EQ(out, "first\r\nsecond\r\n");
  EXPECT_EQ(files.hashed, (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(progress.names, (std::vector<std::string>{"first", "second"}));
}

TEST(BuildQuickLinks, CancelBeforeTheFirstFileGivesNothing) {
  FakeFiles files;
  RecordingProgress progress;
  std::atomic<int32_t> state{kQuickLinkCancelRequested};
  EXPECT_EQ(BuildQuickLinks("%FN%", {"a"}, files, progress, state), "");
  EXPECT_TRUE(files.hashed.empty());
}

}  // namespace
}  // namespace va
