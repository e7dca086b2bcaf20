// The wizard's portable core: the trailer and registry-script parser on built
// byte images (every field compared; broken ones refused without reading outside
// the bytes), and the page rules and finish writes as tables.
#include <gtest/gtest.h>

#include <cstring>

#include "wizard/metadata.h"
#include "wizard/wizard_rules.h"

namespace va {
namespace {

using Bytes = std::vector<uint8_t>;
constexpr uint32_t U = kUnsetProfileValue;

constexpr char kSixTexts[] = "%WINROOT%\\My Shared Folder\0Vexlo.vpp\0%VAPATH%\\Skins\0start\0user\0VeXlO";

// Appends texts (with their NUL), 32-bit numbers and raw bytes as the trailer builder lays them out.
struct Builder {
  Bytes bytes;
  Builder& Raw(const std::string& raw) { return bytes.insert(bytes.end(), raw.begin(), raw.end()), *this; }
  Builder& Text(const std::string& text) { return Raw(text + '\0'); }
  Builder& U32(uint32_t value) { return Raw(std::string(reinterpret_cast<const char*>(&value), 4)); }  // little-endian
  Builder& Texts() { return Raw(std::string(std::begin(kSixTexts), std::end(kSixTexts))); }  // each with its NUL
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

std::string Hex(const std::string& bytes) {
  std::string hex;
  for (unsigned char c : bytes) hex += "0123456789abcdef"[c >> 4], hex += "0123456789abcdef"[c & 15];
  return hex;
}

// Everything a parse yields: the texts, each profile's name and values, and the script's bytes.
std::string Parsed(const Bytes& file) {
  MetadataTrailer t;
  const TrailerStatus status = ParseMetadataTrailer(file, t);
  if (status != TrailerStatus::Ok) return status == TrailerStatus::Broken ? "broken" : "unsigned";
  std::string out;
  for (const std::string& text : t.texts) out += text + "|";
  for (const ConnectionProfile& p : t.profiles)
    for (size_t i = 0; i < p.values.size(); ++i) out += (i ? "" : p.name + ":") + std::to_string(p.values[i]) + ",";
  return out + " script " + Hex(std::string(file.begin() + t.scriptOffset, file.begin() + t.scriptEnd));
}

// A good trailer and a size that starts it inside the program are read whole;
// whatever does not fit the file is refused.
TEST(MetadataTrailer, ReadsEveryFieldAndOnlyWhatFitsTheFile) {
  Builder good, cutText, hugeCount, cutProfile, twoProfiles, noProfile;
  good.Texts().U32(1).Profile("", 7).Raw(std::string(5, '\0')).Raw("unread");
  twoProfiles.Texts().U32(2).Profile("N/A", 0).Profile("56K Modem", 300).Raw(std::string(5, '\0'));
  noProfile.Raw(std::string(6, '\0')).U32(0).Raw(std::string(5, '\0'));
  cutText.Text("a").Text("b").Raw("no end of text here");
  hugeCount.Texts().U32(0xFFFFFFFF).Profile("only one", 1);
  cutProfile.Texts().U32(2).Profile("one", 1).Text("second").U32(7);
  const std::string texts = "%WINROOT%\\My Shared Folder|Vexlo.vpp|%VAPATH%\\Skins|start|user|VeXlO|";
  struct Row { const char* name; Bytes file; std::string parsed; } rows[] = {
      {"two profiles", twoProfiles.File(), texts + "N/A:0,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,56K Modem:300,301,302,303,304,"
                                           "305,306,307,308,309,310,311,312,313,314,315, script 0000000000"},
      {"unread bytes after the script", good.File(), texts + ":7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22, script 0000000000" +
                                                     Hex("unread")},
      {"empty texts, no profile", noProfile.File(), "|||||| script 0000000000"},
      {"block starting inside the program", noProfile.File("Zyndo", noProfile.bytes.size() + 12, 30),
       std::string(2, '\xCC') + "|||||| script 0000000000"},
      {"upper case", good.File("ZYNDO"), "unsigned"}, {"short signature", good.File("Zynd"), "unsigned"},
      {"long signature", good.File("Zyndox"), "unsigned"}, {"empty file", Bytes(), "unsigned"},
      {"block larger than the file", good.File("Zyndo", 0x7FFFFFFF), "broken"},
      {"block of the tail only", good.File("Zyndo", 10), "broken"},
      {"text without its end", cutText.File("Zyndo", -1, 0), "broken"},  // the tail's NUL does not count
      {"profile count past the bytes", hugeCount.File(), "broken"}, {"second profile cut short", cutProfile.File(), "broken"},
  };
  for (const Row& row : rows) EXPECT_EQ(Parsed(row.file), row.parsed) << row.name;
}

// Records up to the one with root 0, each with every field; a record cut short ends the script there.
TEST(RegistryScript, ReadsRecordsUpToRootZeroAndStopsAtACutRecord) {
  Builder b, cut;
  b.Text("Orphan").U32(4).U32(4).U32(1).Raw(std::string(1, '\0')).U32(0x80000001).Text("Software\\Test").Text("Count").U32(4)
      .U32(4).U32(42).Text("Name").U32(1).U32(6).Text("a b c").Raw(std::string(1, '\0')).U32(0x80000002).Text("").Text("E")
      .U32(3).U32(0).Raw(std::string(1, '\0')).U32(0).Text("AfterEnd").U32(1).U32(1).Raw(std::string(1, '\0'));
  cut.Raw(std::string(1, '\0')).U32(0x80000001).Text("Key").Text("Value").U32(1).U32(1000).Raw("short");
  const struct { std::string script, records; } rows[] = {
      {std::string(b.bytes.begin(), b.bytes.end()), "Orphan=4:01000000;[01000080 Software\\Test]Count=4:2a000000;"
                                                    "Name=1:612062206300;[02000080 ]E=3:;"},
      {std::string(cut.bytes.begin(), cut.bytes.end()), "[01000080 Key]"}, {std::string(5, '\0'), ""}, {"Name", ""},
      {std::string("\0\1\0", 3), ""}, {std::string("\0\1\0\0\x80Key", 8), ""}, {std::string("V\0\1\0\0\0\2\0\0\0x", 11), ""}};
  for (const auto& row : rows) {
    std::string records;
    for (const ScriptRecord& r : ParseRegistryScript(Bytes(row.script.begin(), row.script.end())))  // roots as stored
      records += r.kind == ScriptRecord::Kind::Key ? "[" + Hex(std::string(reinterpret_cast<const char*>(&r.root), 4)) + " " + r.path + "]"
                                                    : r.name + "=" + std::to_string(r.type) + ":" + Hex(r.data) + ";";
    EXPECT_EQ(records, row.records) << Hex(row.script);
  }
}

TEST(WizardRules, NameFilterAndFolderForm) {
  struct Name { const char *in, *out; bool dropped, changed; } names[] = {
      {"two words", "two_words", false, true}, {"me@home", "mehome", true, true}, {"  ", "__", false, true},
      {"a\tb\x7F" "c\xE9\x80\xFF", "abc", true, true}, {"!plain~", "!plain~", false, false}, {"@@@", "", true, true},
      {"", "", false, false}, {"\"Q\" 'x'", "\"Q\"_'x'", false, true}};
  for (const Name& row : names) {
    NameFilterResult r = FilterNameText(row.in);
    EXPECT_TRUE(r.text == row.out && r.dropped == row.dropped && r.changed == row.changed) << row.in << ": " << r.text;
  }
  std::string accepted;  // no folder name holds a wildcard, quote, < > or |
  for (const char* path : {"C:\\", "D:\\My Shared Folder", "\\\\server\\share", "c:\\a\\", "\\\\", "C:", "C:folder", "folder\\sub",
                           "\\folder", "", " C:\\a", "C:/a", "CD:\\", "C:\\Win*", "C:\\a?", "\\\\s\\a\"b", "C:\\<a", "C:\\a>", "C:\\a|b"})
    accepted += IsDriveOrNetworkPath(path) ? std::string(path) + ";" : "";
  EXPECT_EQ(accepted, "C:\\;D:\\My Shared Folder;\\\\server\\share;c:\\a\\;\\\\;");
}

TEST(WizardRules, SizesSpeedsAndSummaries) {
  struct Size { uint64_t bytes; const char* text; } sizes[] = {{0, "0.00 Bytes"}, {512, "512.00 Bytes"},
      {513, "0.50 KB"}, {1000, "0.98 KB"}, {1023, "1.00 KB"}, {524800, "512.50 KB"}, {525312, "0.50 MB"}, {1048575, "1.00 MB"},
      {1610612736, "1.50 GB"}, {5000000000, "4.66 GB"}, {uint64_t{1} << 50, "1024.00 TB"}, {~uint64_t{0}, "16777216.00 TB"}};
  for (const Size& row : sizes) EXPECT_EQ(FormatByteSize(row.bytes), row.text) << row.bytes;
  for (auto [hundredths, stored] : {std::pair{0xFFFFFFFFu, 0u}, {0u, 0u}, {6u, 0u}, {7u, 1u}, {1106u, 88u}, {1107u, 89u}, {0xFFFFFFFEu, 343597384u}})
    EXPECT_EQ(UploadBandwidthValue(hundredths), stored) << hundredths;
  struct Summary { std::array<uint32_t, 16> values; const char* text; } summaries[] = {
      {{0, 16, 12, 0, U, 20, 60}, "12|Unlimited|16|20"}, {{300, 2, 2, 0, 1, 4, 60}, "2|3.00 KB/s|2|4"},
      {{0xFFFFFFFF, 1, 2, 0, 0, 3}, "2|Unlimited|1|3"}, {{1234567}, "0|12345.67 KB/s|0|0"}, {{5, U, U}, "-|0.05 KB/s|-|0"},
      {{U, U, U, U, U, U}, "-|-|-|-"}};
  for (const Summary& row : summaries) {
    ConnectionProfile profile;
    profile.values = row.values;
    EXPECT_EQ(BuildConnectionSummary("Uploads\t%ul%|%us%|%dl%|%sd%\n", profile, "-", "Unlimited"),
              "Uploads\t" + std::string(row.text) + "\n");
  }
}

// The finish step's writes for the profiles the wizard ships, in order, unset values left out; "switch" is
// the root the client's switch selects.
TEST(WizardRules, FinishWritesEveryProfileValueWhereItBelongs) {
  const struct { const char *name, *userAtNetwork, *user, *network; std::array<uint32_t, 16> values; std::string writes; } rows[] = {
      {"N/A", "joe@net@x", "joe", "net@x", {0, 4, 4, 0, 1, 12, 60, 600, 40, 1, 1, 1, 500, 0, 3, 5},
       "UploadBandwidth=0 ConcurrentDownloads=4 ConcurrentUploads=4; HKCU SOFTWARE\\Vexlo\\LocalContent: DisableSharing=0; "
       "HKCU SOFTWARE\\Vexlo\\Advanced: SuperNode=1; switch SOFTWARE\\V++: MaxFileSources=12 FindMoreSourcesTimeLimit=60; "
       "HKCU SOFTWARE\\VAExtensions\\Accelerator: CyclesDelay=600 ItemDelay=40 SkipPaused=1 SkipQueued=1 SkipBySpeed=1 "
       "MinSpeed=500 KeepDownloads=0 NumDownloadsMin=3 NumDownloadsMax=5"},
      {"56K Modem", "alone", "alone", "", {300, 2, 2, 0, 1, 4, 60, U, U, U, U, U, U, U, U, U},
       "UploadBandwidth=24 ConcurrentDownloads=2 ConcurrentUploads=2; HKCU SOFTWARE\\Vexlo\\LocalContent: DisableSharing=0; "
       "HKCU SOFTWARE\\Vexlo\\Advanced: SuperNode=1; switch SOFTWARE\\V++: MaxFileSources=4 FindMoreSourcesTimeLimit=60"},
      {"ADSL 1024/512", "u@n", "u", "n", {4600, 8, 6, 0, U, 16, 60, U, U, U, U, U, U, U, U, U},
       "UploadBandwidth=368 ConcurrentDownloads=8 ConcurrentUploads=6; HKCU SOFTWARE\\Vexlo\\LocalContent: DisableSharing=0; "
       "switch SOFTWARE\\V++: MaxFileSources=16 FindMoreSourcesTimeLimit=60"}};
  for (const auto& row : rows) {
    std::string writes, key;  // writes under one key in a row are listed after it
    for (const PlannedWrite& w : PlanWizardSettings(row.userAtNetwork, "D:\\My Shared", ConnectionProfile{row.name, row.values})) {
      const std::string next = (w.root == WriteRoot::CurrentUser ? "HKCU " : w.root == WriteRoot::LocalMachine ? "HKLM " : "switch ") +
                               std::string(w.key);
      writes += (next == key ? " " : (key.empty() ? "" : "; ") + next + ": ") + w.name + "=" +
                (w.isText ? "\"" + w.text + "\"" : std::to_string(w.number));
      key = next;
    }
    EXPECT_EQ(writes, "HKCU SOFTWARE\\Vexlo\\UserDetails: UserName=\"" + std::string(row.user) + "\"; switch SOFTWARE\\V++: "
              "NetworkName=\"" + row.network + "\"; HKCU SOFTWARE\\Vexlo\\LocalContent: DownloadDir=\"D:\\My Shared\"; "
              "HKCU SOFTWARE\\Vexlo\\Transfer: " + row.writes) << row.name;
  }
}

}  // namespace
}  // namespace va
