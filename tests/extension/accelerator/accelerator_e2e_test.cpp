// The accelerator end to end: hostsim.exe with the real ch_plug.dll. The host's
// command log shows what the real thread sent for each row, the status window's
// Accelerator page and the tray icon's square show its state.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/tray_view.h"

namespace va {
namespace {

using test::HostSim;
using test::WaitUntil;

constexpr int kStatusPage = 302;
constexpr int kSlowMs = 30000;  // deadlines for a loaded machine; waits end as soon as things happen
const char kColumnOrderKey[] = "Software\\Vexlo\\Vexlo Aero V++\\Download Order";
const COLORREF kGreen = RGB(50, 230, 50), kRed = RGB(230, 50, 50);

// The host keeps the status in its first column and the title in its fifth, as its
// "Download Order" key says.
const char kScenario[] =
    "second_panel_ms = -1\n"
    "columns = 4,1,2,3,0,5,6,7,8\n"
    "download = p1|Paused|0 KB/s|p1.mp3\n"
    "download = done|Completed|0 KB/s|done.mp3\n"
    "download = gone|Cancelled|0 KB/s|gone.mp3\n"
    "download = bad|Failed|0 KB/s|bad.mp3\n";

std::string Page(const HostSim& host, int control) { return test::StatusPageText(host, kStatusPage, control); }
bool SquareBecomes(COLORREF colour) {
  return WaitUntil([&] { return test::SimilarColour(test::TrayIconPixel(13, 2), colour); }, kSlowMs);
}

// "id title" of each download command the host got, from its log.
std::vector<std::string> DownloadCommands(const HostSim& host) {
  std::vector<std::string> out;
  for (const auto& line : host.LogStartingWith("command ")) {
    const std::string id = line.text.substr(8, line.text.find(' ', 8) - 8);
    if (id == "61242" || id == "61244" || id == "32986") out.push_back(id + " " + line.text.substr(line.text.find("title=") + 6));
  }
  return out;
}

class AcceleratorE2E : public testing::Test {
 protected:
  void SetUp() override {
    test::ClearExtensionSettings();
    test::PutDword(HKEY_CURRENT_USER, test::kAcceleratorKey, "CyclesDelay", 30);
    test::PutDword(HKEY_CURRENT_USER, test::kAcceleratorKey, "ItemDelay", 1);
    test::PutDword(HKEY_CURRENT_USER, test::kExtKey, "ShowAccelSttInTray", 1);
    test::PutDword(HKEY_CURRENT_USER, test::kExtKey, "ChangeDownloadMenu", 0);
    test::PutRawValue(HKEY_CURRENT_USER, test::kLastStateKey, "StatusWnd", REG_SZ, std::string("40,40,1,0", 10));
    test::PutDword(HKEY_CURRENT_USER, test::kLastStateKey, "StatusDlg", kStatusPage);
    test::PutDword(HKEY_CURRENT_USER, kColumnOrderKey, "0", 4);
    test::PutDword(HKEY_CURRENT_USER, kColumnOrderKey, "4", 0);
  }
  void TearDown() override {
    test::ClearExtensionSettings();
    test::DeleteTree(HKEY_CURRENT_USER, kColumnOrderKey);
  }
  static void StartHooked(HostSim& host) {
    ASSERT_TRUE(host.Start(kScenario));
    ASSERT_TRUE(WaitUntil([&] { return Page(host, 1068) == "Found"; }, kSlowMs)) << "Traffic window not found";
  }
};

// A user with the host's own download menu moves the speed column to the front and
// turns the accelerator on: one cycle resumes and accelerates the Paused row only,
// the square is green while it runs. The user quits with it on; at the next start it
// runs by itself, the host clears the finished rows under the running walk, and the
// user's stop shows within a second, the square red again.
TEST_F(AcceleratorE2E, OnACycleOverRealRowsBackAfterARestartRowsRemovedAndAStopWithinASecond) {
  {
    HostSim host;
    StartHooked(host);
    EXPECT_EQ(Page(host, 1050), "Inactive");
    EXPECT_TRUE(SquareBecomes(kRed));
    HWND list = test::HostControl(host, 373, 1381);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 6));
    PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(20, 6));
    ASSERT_TRUE(WaitUntil([&] { return host.Send("popup"); }, 5000, 50));
    const auto items = test::LastMenuDump(host, "popup", "automation popup", "popup-end");
    ASSERT_EQ(items.size(), 14u) << "not the host's own menu";
    EXPECT_EQ(items[0].id, 61241u);

    ASSERT_TRUE(host.Send("order 7,0,1,2,3,4,5,6,8"));
    ASSERT_TRUE(host.Send("command 11401"));
    EXPECT_TRUE(SquareBecomes(kGreen));
    // The walk reaches the last row (its title from the moved columns) with the real text.
    ASSERT_TRUE(WaitUntil([&] { return Page(host, 1051) + "/" + Page(host, 1052) == "bad/Skipped, status was 'Failed'"; },
                          kSlowMs)) << Page(host, 1051) << "/" << Page(host, 1052);
    EXPECT_EQ(DownloadCommands(host), (std::vector<std::string>{"61244 p1", "32986 p1"}));
    EXPECT_TRUE(test::HostExitsWithZero(host));
  }
  EXPECT_EQ(test::ReadStoredValue(HKEY_CURRENT_USER, test::kLastStateKey, "Accelerator").bytes, test::Dword(1));

  HostSim host;
  StartHooked(host);
  ASSERT_TRUE(WaitUntil([&] { return DownloadCommands(host).size() == 2; }, kSlowMs)) << "not on by itself";
  EXPECT_EQ(host.CountLog("command 11401"), 0);
  ASSERT_TRUE(host.Send("command 32880"));
  ASSERT_TRUE(WaitUntil([&] { return Page(host, 1050).find(" second(s)") != std::string::npos; }, kSlowMs))
      << "the cycle did not end";
  ASSERT_TRUE(host.Send("ping"));
  ASSERT_TRUE(host.WaitForLog("pong", 5000)) << "the host no longer answers";

  ASSERT_TRUE(host.Send("command 11401"));
  const DWORD asked = GetTickCount();
  ASSERT_TRUE(WaitUntil([&] { return Page(host, 1050) == "Inactive"; }, 5000));
  EXPECT_LE(GetTickCount() - asked, 1600u) << "the stop was noticed late";
  EXPECT_EQ(Page(host, 1051) + Page(host, 1052), " -  - ");
  EXPECT_TRUE(SquareBecomes(kRed));
  EXPECT_TRUE(test::HostExitsWithZero(host));
  EXPECT_EQ(test::ReadStoredValue(HKEY_CURRENT_USER, test::kLastStateKey, "Accelerator").bytes, test::Dword(0));
}

}  // namespace
}  // namespace va
