// The trailer and script parser on built byte images: the default layout, the
// signature test, and broken trailers that must be refused without reading
// outside the bytes.
#include "wizard/metadata.h"

#include <gtest/gtest.h>

#include <cstring>

namespace va {
namespace {

// Builds trailer bytes the way the trailer builder lays them out.
struct Builder {
  std::vector<uint8_t> bytes;
  Builder& Text(const std::string& text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
    bytes.push_back(0);
    return *this;
  }
  Builder& U32(uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(value >> (8 * i)));
    return *this;
  }
  Builder& Raw(const std::string& raw) {
    bytes.insert(bytes.end(), raw.begin(), raw.end());
    return *this;
  }
  Builder& Texts() {
    for (const char* text : {"%WINROOT%\\My Shared Folder", "Vexlo.vpp", "%VAPATH%\\Skins", "start", "user", "VeXlO"})
      Text(text);
    return *this;
  }
  Builder& Profile(const std::string& name, uint32_t first) {
    Text(name);
    for (uint32_t i = 0; i < 16; ++i) U32(first + i);
    return *this;
  }
  // Prepends a program image and appends the size field (of the content plus
  // the tail, unless given) and the signature.
  std::vector<uint8_t> File(const char* signature = "Zyndo", int64_t sizeField = -1, size_t programBytes = 100) {
    std::vector<uint8_t> file(programBytes, 0xCC);
    file.insert(file.end(), bytes.begin(), bytes.end());
    uint32_t size = sizeField < 0 ? static_cast<uint32_t>(bytes.size() + 10) : static_cast<uint32_t>(sizeField);
    for (int i = 0; i < 4; ++i) file.push_back(static_cast<uint8_t>(size >> (8 * i)));
    char sig[6] = {};
    std::memcpy(sig, signature, std::min<size_t>(std::strlen(signature), 6));
    file.insert(file.end(), sig, sig + 6);
    return file;
  }
};

std::span<const uint8_t> ScriptOf(const std::vector<uint8_t>& file, const MetadataTrailer& trailer) {
  return std::span<const uint8_t>(file).subspan(trailer.scriptOffset, trailer.scriptEnd - trailer.scriptOffset);
}

TEST(MetadataTrailer, ReadsTextsProfilesAndScriptPosition) {
  Builder b;
  b.Texts().U32(2).Profile("N/A", 0).Profile("56K Modem", 300).Raw(std::string("\0\0\0\0\0", 5));
  std::vector<uint8_t> file = b.File();
  MetadataTrailer trailer;
  ASSERT_EQ(ParseMetadataTrailer(file, trailer), TrailerStatus::Ok);
  EXPECT_EQ(trailer.texts[0], "%WINROOT%\\My Shared Folder");
  EXPECT_EQ(trailer.texts[5], "VeXlO");
  ASSERT_EQ(trailer.profiles.size(), 2u);
  EXPECT_EQ(trailer.profiles[1].name, "56K Modem");
  EXPECT_EQ(trailer.profiles[1].values[0], 300u);
  EXPECT_EQ(trailer.profiles[1].values[15], 315u);
  EXPECT_EQ(trailer.scriptEnd - trailer.scriptOffset, 5u);
  EXPECT_TRUE(ParseRegistryScript(ScriptOf(file, trailer)).empty());
}

TEST(MetadataTrailer, PaddingAfterTheScriptIsIgnored) {
  Builder b;
  b.Texts().U32(0).Raw(std::string(5, '\0')).Raw(std::string(200, '\0'));
  std::vector<uint8_t> file = b.File();
  MetadataTrailer trailer;
  ASSERT_EQ(ParseMetadataTrailer(file, trailer), TrailerStatus::Ok);
  EXPECT_TRUE(trailer.profiles.empty());  // a count of 0 gives an empty list
}

TEST(MetadataTrailer, SignatureMustMatchExactly) {
  Builder b;
  b.Texts().U32(0).Raw(std::string(5, '\0'));
  MetadataTrailer trailer;
  EXPECT_EQ(ParseMetadataTrailer(b.File("zyndo"), trailer), TrailerStatus::NoSignature);
  EXPECT_EQ(ParseMetadataTrailer(b.File("ZYNDO"), trailer), TrailerStatus::NoSignature);
  EXPECT_EQ(ParseMetadataTrailer(b.File("Zynd"), trailer), TrailerStatus::NoSignature);
  EXPECT_EQ(ParseMetadataTrailer(b.File("Zyndox"), trailer), TrailerStatus::NoSignature);
  std::vector<uint8_t> program(5000, 0x90);
  EXPECT_EQ(ParseMetadataTrailer(program, trailer), TrailerStatus::NoSignature);
  EXPECT_EQ(ParseMetadataTrailer(std::span<const uint8_t>(), trailer), TrailerStatus::NoSignature);
}

TEST(MetadataTrailer, BlockSizeOutsideTheFileIsRefused) {
  Builder b;
  b.Texts().U32(0).Raw(std::string(5, '\0'));
  MetadataTrailer trailer;
  EXPECT_EQ(ParseMetadataTrailer(b.File("Zyndo", 0x7FFFFFFF), trailer), TrailerStatus::Broken);
  EXPECT_EQ(ParseMetadataTrailer(b.File("Zyndo", 9), trailer), TrailerStatus::Broken);
  EXPECT_EQ(ParseMetadataTrailer(b.File("Zyndo", 10), trailer), TrailerStatus::Broken);  // no texts at all
}

TEST(MetadataTrailer, TextWithoutTerminatorIsRefused) {
  Builder b;
  b.Text("a").Text("b").Raw("no end of text here");
  MetadataTrailer trailer;
  // The signature's own NUL must not end the text: the content stops before the tail.
  EXPECT_EQ(ParseMetadataTrailer(b.File("Zyndo", -1, 0), trailer), TrailerStatus::Broken);
}

TEST(MetadataTrailer, ProfileCountLargerThanTheBytesIsRefused) {
  Builder b;
  b.Texts().U32(0xFFFFFFFF).Profile("only one", 1);
  MetadataTrailer trailer;
  EXPECT_EQ(ParseMetadataTrailer(b.File(), trailer), TrailerStatus::Broken);
  Builder c;
  c.Texts().U32(2).Profile("one", 1).Text("second").U32(7);  // second profile cut short
  EXPECT_EQ(ParseMetadataTrailer(c.File(), trailer), TrailerStatus::Broken);
}

TEST(MetadataTrailer, BlockSizeMayReachIntoTheProgram) {
  // A size that starts the trailer inside the program is a broken build; the
  // parser still reads only bytes of the file.
  Builder b;
  b.Texts().U32(0).Raw(std::string(5, '\0'));
  std::vector<uint8_t> file = b.File("Zyndo", 30 + b.bytes.size() + 10, 30);
  for (size_t i = 0; i < 30; ++i) file[i] = 'x';
  MetadataTrailer trailer;
  EXPECT_EQ(ParseMetadataTrailer(file, trailer), TrailerStatus::Ok);
  EXPECT_EQ(trailer.texts[0], std::string(30, 'x') + "%WINROOT%\\My Shared Folder");
}

std::vector<uint8_t> Bytes(const std::string& text) { return std::vector<uint8_t>(text.begin(), text.end()); }

TEST(RegistryScript, ReadsKeyAndValueRecordsUpToRootZero) {
  Builder b;
  b.Raw(std::string(1, '\0')).U32(0x80000001).Text("Software\\Test");
  b.Text("Name").U32(1).U32(4).Raw(std::string("abc\0", 4));
  b.Text("Count").U32(4).U32(4).U32(42);
  b.Raw(std::string(1, '\0')).U32(0);
  b.Text("AfterEnd").U32(1).U32(1).Raw(std::string(1, '\0'));
  std::vector<ScriptRecord> records = ParseRegistryScript(b.bytes);
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].kind, ScriptRecord::Kind::Key);
  EXPECT_EQ(records[0].root, 0x80000001u);
  EXPECT_EQ(records[0].path, "Software\\Test");
  EXPECT_EQ(records[1].name, "Name");
  EXPECT_EQ(records[1].type, 1u);
  EXPECT_EQ(records[1].data, std::string("abc\0", 4));
  EXPECT_EQ(records[2].data, std::string("\x2a\0\0\0", 4));
}

TEST(RegistryScript, ScriptWithoutEndStopsAtTheLastWholeRecord) {
  Builder b;
  b.Raw(std::string(1, '\0')).U32(0x80000001).Text("Key");
  b.Text("Value").U32(1).U32(1000).Raw("short");  // data runs past the end
  std::vector<ScriptRecord> records = ParseRegistryScript(b.bytes);
  ASSERT_EQ(records.size(), 1u);
  EXPECT_EQ(records[0].path, "Key");
  EXPECT_EQ(ParseRegistryScript(Bytes("Name")).size(), 0u);             // name without NUL
  EXPECT_EQ(ParseRegistryScript(Bytes(std::string("\0\1\0", 3))).size(), 0u);  // root cut short
  EXPECT_EQ(ParseRegistryScript(Bytes(std::string("\0\1\0\0\x80Key", 8))).size(), 0u);  // path without NUL
}

}  // namespace
}  // namespace va
