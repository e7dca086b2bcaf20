// The stand-in host's scenario files.
#include "hostsim/scenario.h"

#include <gtest/gtest.h>

namespace va::hostsim {
namespace {

TEST(Scenario, ReadsRowsFilesWindowsAndSwitches) {
  Scenario s = ParseScenario(
      "# comment\n"
      "download = Song A | Paused | 1 KB/s | a.mp3\r\n"
      "download =  B|Queued||b.mp3\n"
      "library = a.mp3 | C:\\Shared\n"
      "window.search = never\n"
      "window.traffic = command\n"
      "window.library = later 1500\n"
      "status = Not connected\n"
      "search = running\n"
      "columns = 4,0,7,8\n"
      "module = no\n"
      "service_show = no\n"
      "second_panel_ms = -1\n"
      "exit_after_ms = 2000\n"
      "unload = exit\n");
  EXPECT_TRUE(s.errors.empty()) << s.errors[0];
  ASSERT_EQ(s.downloads.size(), 2u);
  EXPECT_EQ(s.downloads[0].title, "Song A");
  EXPECT_EQ(s.downloads[0].status, "Paused");
  EXPECT_EQ(s.downloads[1].speed, "");
  EXPECT_EQ(s.downloads[1].fileName, "b.mp3");
  ASSERT_EQ(s.library.size(), 1u);
  EXPECT_EQ(s.library[0].folder, "C:\\Shared");
  EXPECT_EQ(s.search.appear, Appear::Never);
  EXPECT_EQ(s.traffic.appear, Appear::OnCommand);
  EXPECT_EQ(s.library_window.appear, Appear::Later);
  EXPECT_EQ(s.library_window.delayMs, 1500);
  EXPECT_EQ(s.statusText, "Not connected");
  EXPECT_TRUE(s.searchRunning);
  EXPECT_EQ(s.columnTypes, (std::vector<int>{4, 0, 7, 8}));
  EXPECT_FALSE(s.loadModule);
  EXPECT_FALSE(s.serviceShow);
  EXPECT_EQ(s.secondPanelMs, -1);
  EXPECT_EQ(s.exitAfterMs, 2000);
  EXPECT_EQ(s.unload, Unload::ByExit);
}

TEST(Scenario, DefaultsOpenEverythingAndReleaseTheModule) {
  Scenario s = ParseScenario("");
  EXPECT_EQ(s.search.appear, Appear::AtStart);
  EXPECT_EQ(s.columnTypes.size(), 9u);
  EXPECT_TRUE(s.loadModule);
  EXPECT_EQ(s.unload, Unload::FreeFirst);
  EXPECT_EQ(s.exitAfterMs, 0);
}

TEST(Scenario, BadLinesAreListedAndIgnored) {
  Scenario s = ParseScenario(
      "download = only | three | fields\n"
      "window.library = command\n"
      "window.search = later\n"
      "columns = 1,x\n"
      "exit_after_ms = -4\n"
      "no equals sign\n"
      "unknown = 1\n"
      "second_panel_ms = 99999999999\n");
  EXPECT_EQ(s.errors.size(), 8u);
  EXPECT_EQ(s.errors[0], "line 1: download = only | three | fields");
  EXPECT_TRUE(s.downloads.empty());
  EXPECT_EQ(s.library_window.appear, Appear::AtStart);
  EXPECT_EQ(s.columnTypes.size(), 9u);
}

}  // namespace
}  // namespace va::hostsim

namespace va::hostsim {
namespace {

TEST(Scenario, CommandPumpIsBoundedAndOffByDefault) {
  EXPECT_EQ(ParseScenario("").commandPumpMs, 0);
  EXPECT_EQ(ParseScenario("command_pump_ms = 250\n").commandPumpMs, 250);
  Scenario bad = ParseScenario("command_pump_ms = -1\ncommand_pump_ms = 10001\ncommand_pump_ms = x\n");
  EXPECT_EQ(bad.errors.size(), 3u);
  EXPECT_EQ(bad.commandPumpMs, 0);
}

}  // namespace
}  // namespace va::hostsim
