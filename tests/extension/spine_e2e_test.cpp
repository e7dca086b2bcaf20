// The extension spine end to end: hostsim.exe loads the real ch_plug.dll; the
// tests read the host's log, its windows, the registry and the exit code.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::Dword;
using test::HostSim;
using test::kAddOnKey;
using test::kExtKey;
using test::kLastStateKey;
using test::PutRawValue;
using test::ReadStoredValue;
using test::Sz;

const char kDistributionKey[] = "SOFTWARE\\V++";
const char kSearchKey[] = "SOFTWARE\\Vexlo\\Search";
const char kHostUserKey[] = "SOFTWARE\\Vexlo\\v-aero";
const char kLocalContentKey[] = "SOFTWARE\\Vexlo\\LocalContent";
constexpr int kExitDeadlineMs = 10000;

// Every key the module reads or writes starts out missing and is removed again.
class Spine : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    test::ClearExtensionSettings();
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
    // The host's own exit path returns 3: 0 means the module's shutdown ended the process.
    EXPECT_TRUE(test::HostExitsWithZero(host));
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

TEST_F(Spine, ASecondPanelHandedOverBeforeInitialisationIsDestroyed) {
  HostSim host;
  ASSERT_TRUE(host.Start("second_panel_ms = 0\n"));
  ASSERT_TRUE(host.WaitForLog("result ServiceShow", 5000, 2));
  std::string line = host.LogStartingWith("export ServiceShow 0x1 0x0 0x1 ")[0].text;
  auto panel2 = reinterpret_cast<HWND>(static_cast<UINT_PTR>(
      std::strtoull(line.substr(std::string("export ServiceShow 0x1 0x0 0x1 ").size()).c_str(), nullptr, 16)));
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(IsWindow(panel2)) << "InitAfterAttach must destroy the second panel";
  ExitAndExpectZero(host);
}

// ---- The window finder ----

TEST_F(Spine, ForceCreationAsksForAMissingWindowInPassesZeroAndNine) {
  SetUserOption("ForceCreation", 1);
  SetUserOption("IniTab", 2);
  HostSim host;
  ASSERT_TRUE(host.Start("window.search = never\nwindow.traffic = command\n"));
  // Pass 0 asks for both; the Traffic window appears and is not asked for again.
  ASSERT_TRUE(host.WaitForLog("command 113", 5000));
  ASSERT_TRUE(host.WaitForLog("window traffic created", 5000));
  ASSERT_TRUE(host.WaitForLog("command 113", 15000, 2)) << "no second request in pass 9";
  std::vector<test::LogLine> requests = host.LogStartingWith("command 113");
  long gap = static_cast<long>(requests[1].ms) - static_cast<long>(requests[0].ms);
  EXPECT_GE(gap, 8500) << "the second request came before pass 9";
  EXPECT_LE(gap, 12000);
  EXPECT_EQ(host.CountLog("command 113"), 2);
  // No start view while the Search window is missing.
  EXPECT_EQ(host.CountLog("command 32788"), 1);
  ExitAndExpectZero(host);
}

TEST_F(Spine, LateWindowsAreFoundAndTheStartViewIsAskedForOnce) {
  SetUserOption("ForceCreation", 1);
  SetUserOption("IniTab", 2);
  HostSim host;
  ASSERT_TRUE(host.Start("window.search = command\nwindow.traffic = command\nwindow.library = later 1500\n"));
  ASSERT_TRUE(host.WaitForLog("window library created", 5000));
  ASSERT_TRUE(host.WaitForLog("command 32788", 5000, 2)) << "no start view after the library appeared";
  std::vector<test::LogLine> log = host.Log();
  unsigned long libraryAt = host.LogStartingWith("window library created")[0].ms;
  EXPECT_GE(host.LogStartingWith("command 32788")[1].ms, libraryAt);
  EXPECT_EQ(host.CountLog("command 113"), 1);
  // The finder has ended: nothing more comes.
  EXPECT_FALSE(host.WaitForLog("command 32788", 2500, 3));
  EXPECT_EQ(host.CountLog("command 113"), 1);
  ExitAndExpectZero(host);
}

TEST_F(Spine, WithoutForceCreationNothingIsAskedFor) {
  SetUserOption("IniTab", 1);
  HostSim host;
  ASSERT_TRUE(host.Start("window.search = command\nwindow.traffic = later 800\n"));
  ASSERT_TRUE(host.WaitForLog("window traffic created", 5000));
  EXPECT_FALSE(host.WaitForLog("command ", 2000));
  ExitAndExpectZero(host);
}

// ---- Shutdown ----

class SpineExit : public Spine {
 protected:
  static void SearchValue(const char* name, size_t bytes) {
    PutRawValue(HKEY_CURRENT_USER, kSearchKey, name, REG_BINARY, std::string(bytes, 's'));
  }
  static void ExpectLastStateEncoded(const std::string& place) {
    for (const char* name : {"SearchOptShow", "AutoSearchMore", "AutoSearchMoreNum", "AutoSearchMoreUnit", "ConfigDlg",
                             "StatusDlg", "Accelerator", "AlwaysOnTop"}) {
      test::StoredValue value = ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, name);
      EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << name;
      EXPECT_EQ(value.bytes.size(), 4u) << name;
    }
    test::StoredValue stored = ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd");
    EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(stored.bytes, Sz(place));
  }
};

TEST_F(SpineExit, StoresStatePurgesSearchesFromTheMachineSwitchAndRecordsTheDatabase) {
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("10,20"));
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", REG_DWORD, Dword(3));
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", REG_DWORD, Dword(0));
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", REG_DWORD, Dword(1));
  SearchValue("a1", 100);
  SearchValue("b2", 2000);  // over 1024 bytes: the purge stops here
  SearchValue("c3", 100);
  PutRawValue(HKEY_CURRENT_USER, kHostUserKey, "Version", REG_DWORD, Dword(1));
  HostSim host;
  ASSERT_TRUE(host.Start(""));
  ASSERT_TRUE(host.WaitForLog("result ServiceShow"));
  ExitAndExpectZero(host);
  ExpectLastStateEncoded("10,20,0,0");
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg").bytes, Dword(3));
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "a1").exists);
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "b2").exists);
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "c3").exists);
  test::StoredValue database = ReadStoredValue(HKEY_LOCAL_MACHINE, kLocalContentKey, "DatabaseDir");
  ASSERT_TRUE(database.exists);
  std::string folder = database.bytes.substr(0, database.bytes.find('\0'));
  EXPECT_EQ(folder.substr(folder.size() - 9), "\\Vexlo\\db") << folder;
}

TEST_F(SpineExit, UserSwitchReadsThePurgeSettingFromTheUserAndEmptiesTheKey) {
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", REG_DWORD, Dword(1));
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", REG_DWORD, Dword(0));
  PutRawValue(HKEY_CURRENT_USER, kDistributionKey, "PurgeSearchesOnExit", REG_DWORD, Dword(1));
  SearchValue("a1", 10);
  SearchValue("b2", 1024);
  SearchValue("c3", 0);
  HostSim host;
  ASSERT_TRUE(host.Start(""));
  ASSERT_TRUE(host.WaitForLog("result ServiceShow"));
  ExitAndExpectZero(host);
  EXPECT_TRUE(test::KeyExists(HKEY_CURRENT_USER, kSearchKey));
  for (const char* name : {"a1", "b2", "c3"}) EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, name).exists);
  // The host's own key is missing: no database folder is recorded.
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kLocalContentKey, "DatabaseDir").exists);
}

TEST_F(SpineExit, AHostThatNeverCalledServiceShowStillSavesAndPurgesWhenItEnds) {
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("5,6,1,1"));
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", REG_DWORD, Dword(1));
  SearchValue("a1", 10);
  PutRawValue(HKEY_CURRENT_USER, kHostUserKey, "Version", REG_DWORD, Dword(1));
  HostSim host;
  // The module stays loaded until the process itself ends.
  ASSERT_TRUE(host.Start("service_show = no\nunload = exit\nexit_after_ms = 300\n"));
  DWORD code = 99;
  ASSERT_TRUE(host.WaitForExit(kExitDeadlineMs, &code)) << "the process did not end";
  EXPECT_EQ(host.CountLog("export ServiceShow"), 0);
  ExpectLastStateEncoded("5,6,1,1");  // read before it was stored: nothing lost
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "a1").exists);
  EXPECT_TRUE(ReadStoredValue(HKEY_LOCAL_MACHINE, kLocalContentKey, "DatabaseDir").exists);
}

// ---- Add-ons ----

class SpineAddOns : public Spine {
 protected:
  void SetUp() override {
    Spine::SetUp();
    test::DeleteTree(HKEY_LOCAL_MACHINE, kAddOnKey);
  }
  void TearDown() override {
    test::DeleteTree(HKEY_LOCAL_MACHINE, kAddOnKey);
    Spine::TearDown();
  }
  static void List(const char* name, const std::string& path, DWORD type = REG_SZ) {
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, name, type, Sz(path));
  }
  // The lines every listed add-on gets for one call, in list order.
  static void ExpectCall(const std::vector<std::string>& log, size_t* at, const std::vector<std::string>& order,
                         const std::string& call) {
    for (const std::string& name : order) {
      ASSERT_LT(*at, log.size()) << "missing: " << name << " " << call;
      EXPECT_EQ(log[*at], name + " " + call);
      ++*at;
    }
  }
};

TEST_F(SpineAddOns, CallsAreForwardedInListOrderWithTheSameArguments) {
  HostSim host;
  std::string a = host.CopyIn(test::TestAddOnLibrary(), "addon_a.dll");
  std::string b = host.CopyIn(test::TestAddOnLibrary(), "addon_b.dll");
  std::string c = host.CopyIn(test::TestAddOnLibrary(), "addon_c.dll");
  std::string partial = host.CopyIn(test::NoExportsLibrary(), "partial.dll");
  List("Dll1", a);
  List("Dll2", "\"" + b + "\"");         // quotes are ignored
  List("Dll3", a);                        // listed twice: called twice
  List("Dll4", host.Join("missing.dll")); // does not exist
  List("Dll5", partial);                  // lacks an export
  List("Dll6", host.Join("ch_plug.dll")); // the module itself
  List("Dll8", c, REG_EXPAND_SZ);         // wrong type
  List("dll9", c);                        // wrong case
  ASSERT_TRUE(host.Start("second_panel_ms = 100\n"));
  ASSERT_TRUE(host.WaitForLog("result ServiceShow", 5000, 2));
  ASSERT_TRUE(host.Send("call ChannelWrite 0xffffffff 0x80000000 0 0x7fffffff"));
  ASSERT_TRUE(host.Send("call ChannelRead 1 0xdeadbeef 3 0xfffffffe"));
  ASSERT_TRUE(host.Send("call DescWrite 5 4 3 2 0xabcdef01"));
  ASSERT_TRUE(host.Send("call ServiceShow 11 10 9 8 7 6 5 4 3 2 0xffffffff"));
  ASSERT_TRUE(host.Send("call ServiceClose 0x10 0x20 0x30"));
  // The module's own results: 1 for the two services, 0 for the procedures.
  EXPECT_EQ(host.CountLog("result ChannelWrite 0"), 1);
  EXPECT_EQ(host.CountLog("result ChannelRead 0"), 1);
  EXPECT_EQ(host.CountLog("result DescWrite 0"), 2);
  EXPECT_EQ(host.CountLog("result ServiceShow 1"), 3);
  EXPECT_EQ(host.CountLog("result ServiceClose 1"), 1);
  ExitAndExpectZero(host);

  std::vector<std::string> log = host.AddOnLog();
  std::string panel = host.LogStartingWith("export ServiceShow 0x1 0x0 0x0 ")[0].text.substr(std::string("export ServiceShow 0x1 0x0 0x0 ").size());
  std::string panel2 = host.LogStartingWith("export ServiceShow 0x1 0x0 0x1 ")[0].text.substr(std::string("export ServiceShow 0x1 0x0 0x1 ").size());
  const std::vector<std::string> order = {"addon_a.dll", "addon_b.dll", "addon_a.dll"};
  size_t at = 0;
  ExpectCall(log, &at, order, "ServiceShow 0x1 0x0 0x0 " + panel);
  ExpectCall(log, &at, order, "DescWrite 0x1 0x0 0x0 0x0 0x0");
  ExpectCall(log, &at, order, "ServiceShow 0x1 0x0 0x1 " + panel2);
  ExpectCall(log, &at, order, "ChannelWrite 0xffffffff 0x80000000 0x0 0x7fffffff");
  ExpectCall(log, &at, order, "ChannelRead 0x1 0xdeadbeef 0x3 0xfffffffe");
  ExpectCall(log, &at, order, "DescWrite 0x5 0x4 0x3 0x2 0xabcdef01");
  ExpectCall(log, &at, order, "ServiceShow 0xb 0xa 0x9 0x8 0x7 0x6 0x5 0x4 0x3 0x2 0xffffffff");
  ExpectCall(log, &at, order, "ServiceClose 0x10 0x20 0x30");
  ExpectCall(log, &at, order, "ServiceClose 0x1 0x0 0x0");  // the host's own, at exit
  EXPECT_EQ(at, log.size()) << "unexpected extra calls";
}

TEST_F(SpineAddOns, AtMostEightAreLoaded) {
  HostSim host;
  for (int i = 1; i <= 9; ++i) {
    std::string name = "addon_" + std::to_string(i) + ".dll";
    List(("Dll" + std::to_string(i)).c_str(), host.CopyIn(test::TestAddOnLibrary(), name));
  }
  ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
  ASSERT_TRUE(host.WaitForLog("result ServiceShow"));
  ExitAndExpectZero(host);
  std::vector<std::string> log = host.AddOnLog();
  std::vector<std::string> shows;
  for (const std::string& line : log)
    if (line.find(" ServiceShow ") != std::string::npos) shows.push_back(line.substr(0, line.find(' ')));
  ASSERT_EQ(shows.size(), 8u);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(shows[i], "addon_" + std::to_string(i + 1) + ".dll");
}

// ---- Bad input ----

TEST_F(SpineAddOns, BadRegistryDataNeitherCrashesNorHangsTheHost) {
  PutRawValue(HKEY_CURRENT_USER, kExtKey, "ForceCreation", REG_SZ, Sz("1"));
  PutRawValue(HKEY_CURRENT_USER, kExtKey, "IniTab", REG_BINARY, std::string(12, '\xff'));
  PutRawValue(HKEY_CURRENT_USER, kExtKey, "TrayIcon", REG_DWORD, Dword(5));
  PutRawValue(HKEY_CURRENT_USER, kExtKey, "ToolBarBitmap", REG_SZ, std::string(100000, 'b'));
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_DWORD, Dword(7));
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", REG_SZ, Sz("x"));
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", REG_SZ, Sz("1"));
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", REG_BINARY, std::string(2, '\x01'));
  PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll1", REG_BINARY, std::string(600, '\x01'));
  PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll2", REG_SZ, std::string(5000, 'p'));
  PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll3", REG_SZ, "");
  PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll4", REG_SZ, Sz("Z:\\no\\such\\folder\\addon.dll"));
  PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll5", REG_SZ, Sz("\"\"\""));
  HostSim host;
  ASSERT_TRUE(host.Start(""));
  ASSERT_TRUE(host.WaitForLog("result ServiceShow", 5000, 2));
  ASSERT_TRUE(host.Send("call ChannelWrite 1 2 3 4"));
  ASSERT_TRUE(host.Sync());
  EXPECT_EQ(host.CountLog("command "), 0) << "ForceCreation given as text must not count";
  ExitAndExpectZero(host);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").bytes, Sz("0,0,0,0"));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg").bytes, Dword(0));
}

// ---- The stand-in host's item data, read from inside its process ----

TEST_F(SpineAddOns, HostItemDataReadsAsTheModuleExpects) {
  HostSim host;
  List("Dll1", host.CopyIn(test::TestAddOnLibrary(), "reader.dll"));
  ASSERT_TRUE(host.Start(
      "download = Song A | Paused | 3 KB/s | a.mp3\n"
      "download = Film B | Downloading | 9 KB/s | b.avi\n"
      "library = a.mp3 | C:\\Shared\n"
      "library = notes.txt | C:\\Shared\\Docs\n"
      "second_panel_ms = -1\n"));
  ASSERT_TRUE(host.WaitForLog("result ServiceShow"));
  ASSERT_TRUE(host.Send("order 8,4,0,1,2,3,5,6,7"));
  ASSERT_TRUE(host.Send("select 1"));
  ASSERT_TRUE(host.Send("command 61242"));  // the host pauses the selected row
  ASSERT_TRUE(host.Sync());
  ASSERT_TRUE(host.Send("call ChannelWrite 0x5EED0001 0 0 0"));
  ExitAndExpectZero(host);
  std::vector<std::string> probe;
  for (const std::string& line : host.AddOnLog())
    if (line.rfind("probe", 0) == 0) probe.push_back(line);
  const char sep = '|';
  auto row = [&](const char* file, const char* status, const char* title, const char* speed) {
    return std::string("probe row ") + file + sep + status + sep + title + sep + "1,024 KB" + sep + "40%" + sep + "1" +
           sep + sep + "peer" + sep + speed;
  };
  ASSERT_EQ(probe.size(), 6u);
  EXPECT_EQ(probe[0], row("a.mp3", "Paused", "Song A", "3 KB/s") +
                          " finished=C:\\Downloads\\a.mp3 working=C:\\Downloads\\Incomplete\\T-a.mp3");
  EXPECT_EQ(probe[1], row("b.avi", "Paused", "Film B", "9 KB/s") +
                          " finished=C:\\Downloads\\b.avi working=C:\\Downloads\\Incomplete\\T-b.avi");
  EXPECT_EQ(probe[2], "probe other");
  EXPECT_EQ(probe[3], "probe file C:\\Shared\\a.mp3");
  EXPECT_EQ(probe[4], "probe file C:\\Shared\\Docs\\notes.txt");
  EXPECT_EQ(probe[5], "probe end");
  EXPECT_EQ(host.CountLog("command 61242 row=1 title=Film B"), 1);
}

}  // namespace
}  // namespace va
