// The accelerator end to end: hostsim.exe with the real ch_plug.dll; command 11401
// starts and stops the real thread, the host's command log shows what it sent, the
// status window's Accelerator page shows its texts, and "was on" survives a restart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/tray_view.h"

namespace va {
namespace {

using test::Dword;
using test::HostSim;
using test::kAcceleratorKey;
using test::kExtKey;
using test::kLastStateKey;
using test::PutRawValue;
using test::ReadStoredValue;
using test::WaitUntil;

constexpr int kStatusPage = 302;
// The thread waits 4 s before its first cycle; rows follow 1 s apart. The
// deadlines leave room for a slow machine; the tests end as soon as things happen.
constexpr int kFirstActionsMs = 30000;
constexpr int kWindowsFoundMs = 30000;

const char kScenario[] =
    "second_panel_ms = -1\n"
    "download = p1|Paused|0 KB/s|p1.mp3\n"
    "download = done|Completed|0 KB/s|done.mp3\n"
    "download = gone|Cancelled|0 KB/s|gone.mp3\n"
    "download = bad|Failed|0 KB/s|bad.mp3\n"
    "download = p2|Paused|0 KB/s|p2.mp3\n";

// The commands a download can receive, as the host logged them: "id title".
std::vector<std::string> DownloadCommands(const HostSim& host) {
  std::vector<std::string> out;
  for (const auto& line : host.LogStartingWith("command ")) {
    const std::string& t = line.text;
    for (const char* id : {"61242", "61244", "32986", "32917", "32880"}) {
      if (t.rfind(std::string("command ") + id + " ", 0) != 0) continue;
      const size_t title = t.find("title=");
      out.push_back(std::string(id) + " " + (title == std::string::npos ? "" : t.substr(title + 6)));
    }
  }
  return out;
}

class AcceleratorE2E : public testing::Test {
 protected:
  void SetUp() override {
    Clean();
    // Short delays; the status window shown on its Accelerator page.
    PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "CyclesDelay", REG_DWORD, Dword(30));
    PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "ItemDelay", REG_DWORD, Dword(1));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, std::string("40,40,1,0", 10));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusDlg", REG_DWORD, Dword(kStatusPage));
  }
  void TearDown() override { Clean(); }
  static void Clean() { test::ClearExtensionSettings(); }
  static std::string PageText(const HostSim& host, int control) {
    return test::StatusPageText(host, kStatusPage, control);
  }
};

TEST_F(AcceleratorE2E, ThreadResumesAndAcceleratesPausedRowsShowsItsTextsAndStopsWithinASecond) {
  HostSim host;
  ASSERT_TRUE(host.Start(kScenario));
  ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1068) == "Found"; }, kWindowsFoundMs)) << "Traffic window not found";
  EXPECT_EQ(PageText(host, 1050), "Inactive");
  ASSERT_TRUE(host.Send("command 11401"));
  ASSERT_TRUE(WaitUntil([&] { return DownloadCommands(host).size() >= 4; }, kFirstActionsMs));
  // Completed, Cancelled and Failed rows get nothing; each Paused row is selected,
  // then resumed and accelerated.
  EXPECT_EQ(DownloadCommands(host), (std::vector<std::string>{"61244 p1", "32986 p1", "61244 p2", "32986 p2"}));
  EXPECT_EQ(PageText(host, 1051), "p2");
  EXPECT_EQ(PageText(host, 1052), "Accelerated");
  ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1050).find(" second(s)") != std::string::npos; }, 5000))
      << PageText(host, 1050);

  ASSERT_TRUE(host.Send("command 11401"));
  const DWORD asked = GetTickCount();
  ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1050) == "Inactive"; }, 5000));
  EXPECT_LE(GetTickCount() - asked, 1600u) << "the stop was noticed late";
  EXPECT_EQ(PageText(host, 1051), " - ");
  EXPECT_EQ(PageText(host, 1052), " - ");
  EXPECT_TRUE(test::HostExitsWithZero(host));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "Accelerator").bytes, Dword(0));
}

// The centre of the status square in the icon's top-right corner (5 x 5 pixels,
// a black frame around the state colour).
COLORREF StatusSquareCentre() { return test::TrayIconPixel(13, 2); }
const COLORREF kRunningGreen = RGB(50, 230, 50);
const COLORREF kStoppedRed = RGB(230, 50, 50);

TEST_F(AcceleratorE2E, TraySquareIsGreenWhileACycleRunsAndRedAfterTheStop) {
  PutRawValue(HKEY_CURRENT_USER, kExtKey, "ShowAccelSttInTray", REG_DWORD, Dword(1));
  HostSim host;
  ASSERT_TRUE(host.Start(kScenario));
  ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1068) == "Found"; }, kWindowsFoundMs));
  ASSERT_TRUE(WaitUntil([&] { return test::SimilarColour(StatusSquareCentre(), kStoppedRed); }, 5000))
      << std::hex << StatusSquareCentre();
  EXPECT_TRUE(test::SimilarColour(test::TrayIconPixel(15, 0), RGB(0, 0, 0))) << "no black frame";

  ASSERT_TRUE(host.Send("command 11401"));
  EXPECT_TRUE(WaitUntil([&] { return test::SimilarColour(StatusSquareCentre(), kRunningGreen); }, kFirstActionsMs))
      << std::hex << StatusSquareCentre();
  ASSERT_TRUE(WaitUntil([&] { return !DownloadCommands(host).empty(); }, kFirstActionsMs));

  ASSERT_TRUE(host.Send("command 11401"));
  EXPECT_TRUE(WaitUntil([&] { return test::SimilarColour(StatusSquareCentre(), kStoppedRed); }, 5000))
      << std::hex << StatusSquareCentre();
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(AcceleratorE2E, AnAcceleratorOnWhenTheHostEndsStartsAgainNextTime) {
  {
    HostSim host;
    ASSERT_TRUE(host.Start(kScenario));
    ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1068) == "Found"; }, kWindowsFoundMs));
    ASSERT_TRUE(host.Send("command 11401"));
    ASSERT_TRUE(WaitUntil([&] { return !DownloadCommands(host).empty(); }, kFirstActionsMs));
    EXPECT_TRUE(test::HostExitsWithZero(host));
  }
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "Accelerator").bytes, Dword(1));
  HostSim again;
  ASSERT_TRUE(again.Start(kScenario));
  ASSERT_TRUE(WaitUntil([&] { return DownloadCommands(again).size() >= 2; }, kFirstActionsMs))
      << "the accelerator did not start by itself";
  EXPECT_EQ(again.CountLog("command 11401"), 0);
  EXPECT_EQ(DownloadCommands(again)[0], "61244 p1");
  EXPECT_TRUE(test::HostExitsWithZero(again));
}

// The ms stamp of the first host log line starting with the prefix, 0 if none.
unsigned long FirstLogMs(const HostSim& host, const std::string& prefix) {
  const std::vector<test::LogLine> lines = host.LogStartingWith(prefix);
  return lines.empty() ? 0 : lines.front().ms;
}

TEST_F(AcceleratorE2E, RowsRemovedByTheHostDuringACycleEndTheWalkWithoutACrash) {
  // A long pause after each action, so the removal surely falls into it even on a
  // loaded machine.
  constexpr unsigned long kItemDelayMs = 10000;
  PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "ItemDelay", REG_DWORD, Dword(kItemDelayMs / 1000));
  HostSim host;
  ASSERT_TRUE(host.Start(kScenario));
  ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1068) == "Found"; }, kWindowsFoundMs));
  ASSERT_TRUE(host.Send("command 11401"));
  ASSERT_TRUE(WaitUntil([&] { return DownloadCommands(host).size() >= 2; }, kFirstActionsMs));
  // Right after its action on p1 the thread reads which row comes next ("done"),
  // then waits. Once it has surely read it, the host drops the finished rows, among
  // them that one. (A removal before that read would rightly lead the walk on to p2.)
  Sleep(2000);
  ASSERT_TRUE(host.Send("command 32880"));
  ASSERT_TRUE(host.WaitForLog("command 32880 ", 5000));
  const unsigned long sinceAction =
      FirstLogMs(host, "command 32880 ") - host.LogStartingWith("command 32986 ").front().ms;
  ASSERT_LT(sinceAction, kItemDelayMs - 2000) << "the host removed the rows too late for this test to say anything";
  ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1050).find(" second(s)") != std::string::npos; },
                        static_cast<int>(kItemDelayMs) + 8000))
      << "the cycle did not end";
  ASSERT_TRUE(host.Send("ping"));
  ASSERT_TRUE(host.WaitForLog("pong", 3000)) << "the host no longer answers";
  EXPECT_TRUE(host.Running());
  for (const std::string& c : DownloadCommands(host)) EXPECT_EQ(c.find(" p2"), std::string::npos) << c;
  ASSERT_TRUE(host.Send("command 11401"));
  ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1050) == "Inactive"; }, 5000));
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

}  // namespace
}  // namespace va
