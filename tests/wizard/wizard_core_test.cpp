// The wizard's portable core: the trailer and registry-script parser on built
// byte images (broken ones refused without reading outside the bytes), and the
// page rules as tables.
#include <gtest/gtest.h>

#include <cstring>

#include "wizard/metadata.h"
#include "wizard/wizard_rules.h"

namespace va {
namespace {

using Bytes = std::vector<uint8_t>;

// Appends texts (with their NUL), 32-bit numbers and raw bytes as the trailer builder lays them out.
struct Builder {
  Bytes bytes;
  Builder& Raw(const std::string& raw) { return bytes.insert(bytes.end(), raw.begin(), raw.end()), *this; }
  Builder& Text(const std::string& text) { return Raw(text + '\0'); }
  Builder& U32(uint32_t value) { return Raw(std::string(reinterpret_cast<const char*>(&value), 4)); }  // little-endian
  Builder& Texts() {
    static const char texts[] = "%WINROOT%\\My Shared Folder\0Vexlo.vpp\0%VAPATH%\\Skins\0start\0user\0VeXlO";
    return Raw(std::string(texts, sizeof texts));  // six texts, each with its NUL
  }
  Builder& Profile(const std::string& name, uint32_t first) {
    Text(name);
    for (uint32_t i = 0; i < 16; ++i) U32(first + i);
    return *this;
  }
  // A program image, these bytes, the size field (of the content and tail unless given) and the signature.
  Bytes File(const char* signature = "Zyndo", int64_t sizeField = -1, size_t programBytes = 100) const {
    Builder file{Bytes(programBytes, 0xCC)};
    file.Raw(std::string(bytes.begin(), bytes.end())).U32(static_cast<uint32_t>(sizeField < 0 ? bytes.size() + 10 : sizeField));
    return file.Raw((std::string(signature) + std::string(6, '\0')).substr(0, 6)).bytes;
  }
};

// A good trailer and a size that starts it inside the program are read; whatever
// does not fit the file is refused.
TEST(MetadataTrailer, ReadsOnlyWhatFitsTheFile) {
  Builder good, cutText, hugeCount, cutProfile, twoProfiles;
  good.Texts().U32(0).Raw(std::string(5, '\0'));
  twoProfiles.Texts().U32(2).Profile("N/A", 0).Profile("56K Modem", 300).Raw(std::string(5, '\0'));
  cutText.Text("a").Text("b").Raw("no end of text here");
  hugeCount.Texts().U32(0xFFFFFFFF).Profile("only one", 1);
  cutProfile.Texts().U32(2).Profile("one", 1).Text("second").U32(7);
  struct Row { const char* name; Bytes file; TrailerStatus status; } rows[] = {
      {"two profiles", twoProfiles.File(), TrailerStatus::Ok},
      {"block starting inside the program", good.File("Zyndo", good.bytes.size() + 40, 30), TrailerStatus::Ok},
      {"upper case", good.File("ZYNDO"), TrailerStatus::NoSignature},
      {"short signature", good.File("Zynd"), TrailerStatus::NoSignature},
      {"long signature", good.File("Zyndox"), TrailerStatus::NoSignature}, {"empty file", Bytes(), TrailerStatus::NoSignature},
      {"block larger than the file", good.File("Zyndo", 0x7FFFFFFF), TrailerStatus::Broken},
      {"block of the tail only", good.File("Zyndo", 10), TrailerStatus::Broken},
      {"text without its end", cutText.File("Zyndo", -1, 0), TrailerStatus::Broken},  // the tail's NUL does not count
      {"profile count past the bytes", hugeCount.File(), TrailerStatus::Broken},
      {"second profile cut short", cutProfile.File(), TrailerStatus::Broken},
  };
  for (const Row& row : rows) {
    MetadataTrailer trailer;
    EXPECT_EQ(ParseMetadataTrailer(row.file, trailer), row.status) << row.name;
  }
}

// Records up to the one with root 0; a record cut short ends the script there.
TEST(RegistryScript, ReadsRecordsUpToRootZeroAndStopsAtACutRecord) {
  Builder b;
  b.Raw(std::string(1, '\0')).U32(0x80000001).Text("Software\\Test").Text("Count").U32(4).U32(4).U32(42);
  b.Raw(std::string(1, '\0')).U32(0).Text("AfterEnd").U32(1).U32(1).Raw(std::string(1, '\0'));
  std::vector<ScriptRecord> records = ParseRegistryScript(b.bytes);
  ASSERT_EQ(records.size(), 2u);
  EXPECT_TRUE(records[0].kind == ScriptRecord::Kind::Key && records[0].root == 0x80000001u &&
              records[0].path == "Software\\Test" && records[1].name == "Count" && records[1].data == std::string("*\0\0\0", 4));
  Builder cut;
  cut.Raw(std::string(1, '\0')).U32(0x80000001).Text("Key").Text("Value").U32(1).U32(1000).Raw("short");
  EXPECT_EQ(ParseRegistryScript(cut.bytes).size(), 1u);
  for (std::string broken : {std::string("Name"), std::string("\0\1\0", 3), std::string("\0\1\0\0\x80Key", 8)})
    EXPECT_TRUE(ParseRegistryScript(Bytes(broken.begin(), broken.end())).empty()) << broken.size();
}

TEST(WizardRules, NameFilterAndFolderForm) {
  struct Name { const char *in, *out; bool dropped, changed; } names[] = {
      {"two words", "two_words", false, true}, {"me@home", "mehome", true, true},
      {"a\tb\x7F" "c\xE9", "abc", true, true}, {"!plain~", "!plain~", false, false}, {"@@@", "", true, true},
      {"", "", false, false}};
  for (const Name& row : names) {
    NameFilterResult r = FilterNameText(row.in);
    EXPECT_TRUE(r.text == row.out && r.dropped == row.dropped && r.changed == row.changed) << row.in << ": " << r.text;
  }
  for (const char* path : {"C:\\", "D:\\My Shared Folder", "\\\\server\\share"}) EXPECT_TRUE(IsDriveOrNetworkPath(path)) << path;
  for (const char* path : {"C:", "C:folder", "folder\\sub", "\\folder", "", "C:\\Win*", "C:\\a?", "\\\\s\\a\"b",
                           "C:\\<a", "C:\\a>", "C:\\a|b"})  // no folder name holds a wildcard, quote, < > or |
    EXPECT_FALSE(IsDriveOrNetworkPath(path)) << path;
}

TEST(WizardRules, SizesSpeedsAndSummaries) {
  struct Size { uint64_t bytes; const char* text; } sizes[] = {{0, "0.00 Bytes"}, {512, "512.00 Bytes"},
      {513, "0.50 KB"}, {524800, "512.50 KB"}, {1610612736, "1.50 GB"}, {uint64_t{1} << 50, "1024.00 TB"}};
  for (const Size& row : sizes) EXPECT_EQ(FormatByteSize(row.bytes), row.text) << row.bytes;
  struct Speed { uint32_t hundredths, stored; } speeds[] = {{0xFFFFFFFF, 0}, {1106, 88}, {1107, 89}, {0xFFFFFFFE, 343597384}};
  for (const Speed& row : speeds) EXPECT_EQ(UploadBandwidthValue(row.hundredths), row.stored) << row.hundredths;
  constexpr uint32_t U = kUnsetProfileValue;  // the modem's summary is checked on the real page
  struct Summary { std::array<uint32_t, 16> values; const char* text; } summaries[] = {
      {{0xFFFFFFFF, 1, 2, 0, 0, 3}, "2|Unlimited|1|3"}, {{1234567}, "0|12345.67 KB/s|0|0"}, {{U, U, U, U, U, U}, "-|-|-|-"}};
  for (const Summary& row : summaries) {
    ConnectionProfile profile;
    profile.values = row.values;
    EXPECT_EQ(BuildConnectionSummary("%ul%|%us%|%dl%|%sd%", profile, "-", "Unlimited"), row.text) << row.text;
  }
}

}  // namespace
}  // namespace va
