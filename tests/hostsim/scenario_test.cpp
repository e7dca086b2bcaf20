// The stand-in host's scenario files: every kind of line lands in its field with
// its parts trimmed, and a malformed line is listed with its number and leaves
// the field as an earlier line set it.
#include "hostsim/scenario.h"

#include <gtest/gtest.h>

namespace va::hostsim {
namespace {

TEST(Scenario, ReadsEveryKindOfLineAndListsMalformedOnes) {
  const Scenario s = ParseScenario(
      "# comment\n"
      "download = Song A | Paused | 1 KB/s | a.mp3\r\n"
      "download =  B|Queued||b.mp3\n"
      "library = a.mp3 | C:\\Shared\n"
      "window.search = never\nwindow.traffic = command\nwindow.library = later 1500\n"
      "status = Not connected\nsearch = running\ncolumns = 4,0,7,8\nmodule = no\nservice_show = no\n"
      "second_panel_ms = -1\nexit_after_ms = 2000\nunload = exit\ncommand_pump_ms = 250\n"
      "download = only | three\nwindow.library = command\nwindow.search = later\ncolumns = 1,x\nexit_after_ms = -4\n"
      "no equals sign\nunknown = 1\nsecond_panel_ms = 99999999999\ncommand_pump_ms = 10001\ncommand_pump_ms = x\n");
  ASSERT_EQ(s.errors.size(), 10u);
  EXPECT_EQ(s.errors[0] + " / " + s.errors[9], "line 17: download = only | three / line 26: command_pump_ms = x");
  std::string rows = s.statusText + ";";
  for (const auto& d : s.downloads) rows += d.title + "|" + d.status + "|" + d.speed + "|" + d.fileName + ";";
  for (const auto& l : s.library) rows += l.name + "|" + l.folder + ";";
  EXPECT_EQ(rows, "Not connected;Song A|Paused|1 KB/s|a.mp3;B|Queued||b.mp3;a.mp3|C:\\Shared;");
  EXPECT_TRUE(s.search.appear == Appear::Never && s.traffic.appear == Appear::OnCommand &&
              s.library_window.appear == Appear::Later && s.library_window.delayMs == 1500);
  EXPECT_EQ(s.columnTypes, (std::vector<int>{4, 0, 7, 8}));
  EXPECT_TRUE(s.searchRunning && !s.loadModule && !s.serviceShow && s.unload == Unload::ByExit);
  EXPECT_EQ(std::vector<int>({s.secondPanelMs, s.exitAfterMs, s.commandPumpMs}), std::vector<int>({-1, 2000, 250}));
}

}  // namespace
}  // namespace va::hostsim
