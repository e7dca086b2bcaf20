// The wizard's window-free rules: the name filter, the path form, byte sizes,
// the connection summary and the registry writes of each profile.
#include "wizard/wizard_rules.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TEST(FilterNameText, TurnsBlanksAndDropsAtSignsAndControlCharacters) {
  NameFilterResult blank = FilterNameText("two words");
  EXPECT_EQ(blank.text, "two_words");
  EXPECT_TRUE(blank.changed);
  EXPECT_FALSE(blank.dropped);  // a turned blank does not beep

  NameFilterResult at = FilterNameText("me@home");
  EXPECT_EQ(at.text, "mehome");
  EXPECT_TRUE(at.dropped);

  NameFilterResult other = FilterNameText("a\tb\x7F" "c\xE9");
  EXPECT_EQ(other.text, "abc");
  EXPECT_TRUE(other.dropped);

  NameFilterResult clean = FilterNameText("!plain~");
  EXPECT_EQ(clean.text, "!plain~");
  EXPECT_FALSE(clean.changed);

  EXPECT_EQ(FilterNameText("@@@").text, "");  // nothing left: Next must refuse it
  EXPECT_FALSE(FilterNameText("").changed);
}

TEST(IsDriveOrNetworkPath, AcceptsDriveRootsAndNetworkPathsOnly) {
  EXPECT_TRUE(IsDriveOrNetworkPath("C:\\"));
  EXPECT_TRUE(IsDriveOrNetworkPath("D:\\My Shared Folder"));
  EXPECT_TRUE(IsDriveOrNetworkPath("\\\\server\\share"));
  EXPECT_FALSE(IsDriveOrNetworkPath("C:"));
  EXPECT_FALSE(IsDriveOrNetworkPath("C:folder"));
  EXPECT_FALSE(IsDriveOrNetworkPath("folder\\sub"));
  EXPECT_FALSE(IsDriveOrNetworkPath("\\folder"));
  EXPECT_FALSE(IsDriveOrNetworkPath(""));
}

TEST(FormatByteSize, UsesTwoDecimalsAndTheUnitTheLoopStopsAt) {
  EXPECT_EQ(FormatByteSize(0), "0.00 Bytes");
  EXPECT_EQ(FormatByteSize(512), "512.00 Bytes");
  EXPECT_EQ(FormatByteSize(513), "0.50 KB");
  EXPECT_EQ(FormatByteSize(524800), "512.50 KB");
  EXPECT_EQ(FormatByteSize(1610612736), "1.50 GB");
  EXPECT_EQ(FormatByteSize(1536), "1.50 KB");
  EXPECT_EQ(FormatByteSize(uint64_t{3} << 40), "3.00 TB");
}

TEST(FormatByteSize, HugeCountsStayInTerabytes) {
  EXPECT_EQ(FormatByteSize(uint64_t{1} << 50), "1024.00 TB");
  EXPECT_EQ(FormatByteSize(UINT64_MAX), "16777216.00 TB");
}

ConnectionProfile Profile(std::array<uint32_t, 16> values) {
  ConnectionProfile profile;
  profile.values = values;
  return profile;
}

constexpr uint32_t U = kUnsetProfileValue;
const char kTemplate[] = "Maximum uploads:\t%ul%\nMaximum upload speed:\t%us%\nMaximum downloads:\t%dl%\nSources:\t%sd%";

TEST(ConnectionSummary, FillsTheTemplate) {
  ConnectionProfile modem = Profile({300, 2, 2, 0, 1, 4, 60, U, U, U, U, U, U, U, U, U});
  EXPECT_EQ(BuildConnectionSummary(kTemplate, modem, "-", "Unlimited"),
            "Maximum uploads:\t2\nMaximum upload speed:\t3.00 KB/s\nMaximum downloads:\t2\nSources:\t4");
  ConnectionProfile broadband = Profile({0, 16, 12, 0, U, 20, 60, U, U, U, U, U, U, U, U, U});
  EXPECT_EQ(BuildConnectionSummary(kTemplate, broadband, "-", "Unlimited"),
            "Maximum uploads:\t12\nMaximum upload speed:\tUnlimited\nMaximum downloads:\t16\nSources:\t20");
}

TEST(ConnectionSummary, UnsetAndUnlimitedValues) {
  ConnectionProfile unset = Profile({U, U, U, U, U, U, U, U, U, U, U, U, U, U, U, U});
  EXPECT_EQ(BuildConnectionSummary("%ul%|%us%|%dl%|%sd%", unset, "-", "Unlimited"), "-|-|-|-");
  ConnectionProfile unlimited = Profile({0xFFFFFFFF, 1, 2, 0, 0, 3});
  EXPECT_EQ(BuildConnectionSummary("%us%", unlimited, "-", "Unlimited"), "Unlimited");
  ConnectionProfile odd = Profile({1234567});
  EXPECT_EQ(BuildConnectionSummary("%us%", odd, "-", "Unlimited"), "12345.67 KB/s");
}

TEST(UploadBandwidthValue, IsKilobytesTimesEightRounded) {
  EXPECT_EQ(UploadBandwidthValue(300), 24u);
  EXPECT_EQ(UploadBandwidthValue(4600), 368u);
  EXPECT_EQ(UploadBandwidthValue(0), 0u);
  EXPECT_EQ(UploadBandwidthValue(0xFFFFFFFF), 0u);
  EXPECT_EQ(UploadBandwidthValue(1106), 88u);   // 88.48
  EXPECT_EQ(UploadBandwidthValue(1107), 89u);   // 88.56
  EXPECT_EQ(UploadBandwidthValue(0xFFFFFFFE), 343597384u);  // 343597383.52: no 32-bit overflow in the product
}

std::string Describe(const PlannedWrite& write) {
  const char* root = write.root == WriteRoot::CurrentUser ? "HKCU" : write.root == WriteRoot::SharedSwitch ? "SW" : "HKLM";
  return std::string(root) + " " + write.key + " " + write.name + "=" +
         (write.isText ? write.text : std::to_string(write.number));
}

std::vector<std::string> Plan(const ConnectionProfile& profile) {
  std::vector<std::string> lines;
  for (const PlannedWrite& write : PlanWizardSettings("joe@VeXlO", "C:\\Shared", profile)) lines.push_back(Describe(write));
  return lines;
}

TEST(PlanWizardSettings, ModemWritesItsTransferValuesAndNoAcceleratorValue) {
  std::vector<std::string> expected = {
      "HKCU SOFTWARE\\Vexlo\\UserDetails UserName=joe",
      "SW SOFTWARE\\V++ NetworkName=VeXlO",
      "HKCU SOFTWARE\\Vexlo\\LocalContent DownloadDir=C:\\Shared",
      "HKCU SOFTWARE\\Vexlo\\Transfer UploadBandwidth=24",
      "HKCU SOFTWARE\\Vexlo\\Transfer ConcurrentDownloads=2",
      "HKCU SOFTWARE\\Vexlo\\Transfer ConcurrentUploads=2",
      "HKCU SOFTWARE\\Vexlo\\LocalContent DisableSharing=0",
      "HKCU SOFTWARE\\Vexlo\\Advanced SuperNode=1",
      "SW SOFTWARE\\V++ MaxFileSources=4",
      "SW SOFTWARE\\V++ FindMoreSourcesTimeLimit=60",
  };
  EXPECT_EQ(Plan(Profile({300, 2, 2, 0, 1, 4, 60, U, U, U, U, U, U, U, U, U})), expected);
}

TEST(PlanWizardSettings, UnsetSuperNodeIsSkippedAndAcceleratorValuesFollowInOrder) {
  std::vector<std::string> adsl = Plan(Profile({4600, 8, 6, 0, U, 16, 60, U, U, U, U, U, U, U, U, U}));
  EXPECT_EQ(adsl.size(), 9u);
  EXPECT_EQ(adsl[3], "HKCU SOFTWARE\\Vexlo\\Transfer UploadBandwidth=368");
  for (const std::string& line : adsl) EXPECT_EQ(line.find("SuperNode"), std::string::npos);

  std::vector<std::string> na = Plan(Profile({0, 4, 4, 0, 1, 12, 60, 600, 40, 1, 1, 1, 500, 0, 3, 5}));
  ASSERT_EQ(na.size(), 19u);
  EXPECT_EQ(na[3], "HKCU SOFTWARE\\Vexlo\\Transfer UploadBandwidth=0");
  EXPECT_EQ(na[10], "HKCU SOFTWARE\\VAExtensions\\Accelerator CyclesDelay=600");
  EXPECT_EQ(na[18], "HKCU SOFTWARE\\VAExtensions\\Accelerator NumDownloadsMax=5");
}

TEST(PlanWizardSettings, NetworkNameIsTheTextAfterTheFirstAtSign) {
  std::vector<PlannedWrite> writes = PlanWizardSettings("a@b@c", "", Profile({U, U, U, U, U, U, U, U, U, U, U, U, U, U, U, U}));
  ASSERT_EQ(writes.size(), 3u);
  EXPECT_EQ(writes[0].text, "a");
  EXPECT_EQ(writes[1].text, "b@c");
}

}  // namespace
}  // namespace va
