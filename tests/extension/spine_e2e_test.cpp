// The extension spine end to end: hostsim.exe loads the real ch_plug.dll; the
// tests read the host's log, its windows, the registry and the exit code.
#include <gtest/gtest.h>

#include <string>

#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

using test::HostSim;
using test::PutRawValue;
using test::ReadStoredValue;

const char kExtKey[] = "SOFTWARE\\VAExtensions";
const char kLastStateKey[] = "SOFTWARE\\VAExtensions\\LastState";
const char kAddOnKey[] = "SOFTWARE\\VAExtensions\\ch_plugs";
const char kDistributionKey[] = "SOFTWARE\\V++";
const char kSearchKey[] = "SOFTWARE\\Vexlo\\Search";
const char kHostUserKey[] = "SOFTWARE\\Vexlo\\v-aero";
const char kLocalContentKey[] = "SOFTWARE\\Vexlo\\LocalContent";
constexpr int kExitDeadlineMs = 10000;

std::string Dword(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }
std::string Sz(const std::string& text) { return text + std::string(1, '\0'); }

// Every key the module reads or writes starts out missing and is removed again.
class Spine : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    test::DeleteTree(HKEY_CURRENT_USER, kExtKey);
    test::DeleteTree(HKEY_LOCAL_MACHINE, kExtKey);
    test::DeleteTree(HKEY_CURRENT_USER, kDistributionKey);
    test::DeleteTree(HKEY_LOCAL_MACHINE, kDistributionKey);
    test::DeleteTree(HKEY_CURRENT_USER, kSearchKey);
    test::DeleteTree(HKEY_CURRENT_USER, kHostUserKey);
    test::DeleteTree(HKEY_LOCAL_MACHINE, kLocalContentKey);
  }
  static void SetUserOption(const char* name, uint32_t value) {
    PutRawValue(HKEY_CURRENT_USER, kExtKey, name, REG_DWORD, Dword(value));
  }
  static void SetMachineOption(const char* name, uint32_t value) {
    PutRawValue(HKEY_LOCAL_MACHINE, kExtKey, name, REG_DWORD, Dword(value));
  }
  // Ends the host with its own exit command and checks the module ended it.
  static void ExitAndExpectZero(HostSim& host) {
    ASSERT_TRUE(host.Send("exit"));
    DWORD code = 99;
    ASSERT_TRUE(host.WaitForExit(kExitDeadlineMs, &code)) << "the host did not end";
    EXPECT_EQ(code, 0u) << "the module's shutdown did not end the process (the host itself returns 3)";
    EXPECT_EQ(host.CountLog("unload"), 1);
    EXPECT_EQ(host.CountLog("host-cleanup"), 0) << "the host's own code ran after the module was released";
  }
};

TEST_F(Spine, LoadingAloneChangesNothingAndTheHostStillEndsThroughTheModule) {
  SetUserOption("StartVAInTray", 1);
  HostSim host;
  ASSERT_TRUE(host.Start("service_show = no\n"));
  ASSERT_TRUE(host.WaitForLog("module loaded"));
  ASSERT_TRUE(host.Sync());
  EXPECT_TRUE(IsWindowVisible(host.MainWindow())) << "loading alone must not attach";
  ExitAndExpectZero(host);
  // Even without any ServiceShow the remembered state is stored.
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").bytes, Sz("0,0,0,0"));
}

TEST_F(Spine, FirstServiceShowAttachesAndASecondNeverAttachesAgain) {
  SetUserOption("StartVAInTray", 1);
  HostSim host;
  ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindowVisible(host.MainWindow()); }, 5000))
      << "the first ServiceShow must attach (InitMessage hides the frame with StartVAInTray)";
  ASSERT_TRUE(host.Send("show-main"));
  ASSERT_TRUE(host.Send("call ServiceShow 1 0 0 panel 0 0 0 0 0 0 0"));
  ASSERT_TRUE(host.Send("call ServiceShow 1 0 1 panel2 0 0 0 0 0 0 0"));
  ASSERT_TRUE(host.Sync());
  EXPECT_TRUE(IsWindowVisible(host.MainWindow())) << "a later ServiceShow attached again";
  EXPECT_EQ(host.CountLog("result ServiceShow 1"), 3);
  ExitAndExpectZero(host);
}

}  // namespace
}  // namespace va
