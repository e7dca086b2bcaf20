// The host window finder's passes over a scripted port: which commands are posted
// in which pass, when the start view is asked for, and when the finder ends.
#include "extension/core/window_finder.h"

#include <gtest/gtest.h>

#include <string>

namespace va {
namespace {

// Each window appears in a given pass (-1: never); posted commands are written
// down as "<pass>:<command>".
struct ScriptedPort : FinderPort {
  int appearAt[kHostViewCount] = {};
  bool force = true;
  uint32_t iniTab = 3;
  int maxPasses = 100, pass = 0, trafficLooks = 0;
  std::string posted;
  bool FindAndHook(HostView view) override {
    trafficLooks += view == HostView::Traffic;
    return appearAt[static_cast<int>(view)] >= 0 && pass >= appearAt[static_cast<int>(view)];
  }
  void PostHostCommand(int command) override { posted += std::to_string(pass) + ":" + std::to_string(command) + " "; }
  bool ForceCreation() override { return force; }
  uint32_t IniTab() override { return iniTab; }
  bool WaitForNextPass() override { return ++pass < maxPasses; }
};

TEST(WindowFinder, PassesPostForcedRequestsAndTheStartView) {
  struct Row {  // appearAt: search, traffic, library
    const char* name; int appearAt[3], iniTab, maxPasses; bool force, startView; const char* posted; int passes, trafficLooks;
  } rows[] = {
      {"all present, no start view", {0, 0, 0}, 3, 100, true, true, "", 1, 1},
      {"start view Web", {0, 0, 0}, 0, 100, true, true, "0:109 ", 1, 1},
      {"start view Search", {0, 0, 0}, 1, 100, true, true, "0:113 ", 1, 1},
      {"a re-find shows no start view", {0, 0, 0}, 1, 100, true, false, "", 1, 1},
      {"missing Search asked for every ninth pass", {-1, 0, 0}, 3, 30, true, true, "0:113 9:113 18:113 27:113 ", 30, 1},
      {"own counter per window, start view after all three", {12, 3, 15}, 2, 100, true, true,
       "0:113 0:32788 9:113 15:32788 ", 16, 4},
      {"nothing asked for without ForceCreation", {20, 0, 0}, 1, 100, false, true, "", 21, 1},
      {"a missing library is never asked for", {0, 0, -1}, 3, 50, true, true, "", 50, 1},
  };
  for (const Row& row : rows) {
    ScriptedPort port;
    for (int view = 0; view < 3; ++view) port.appearAt[view] = row.appearAt[view];
    port.force = row.force, port.iniTab = row.iniTab, port.maxPasses = row.maxPasses;
    FinderState state;
    state.showStartView = row.startView;
    RunWindowFinder(port, state);
    EXPECT_EQ(port.posted + std::to_string(state.passes) + " " + std::to_string(port.trafficLooks),
              std::string(row.posted) + std::to_string(row.passes) + " " + std::to_string(row.trafficLooks))
        << row.name << " (posted, passes, looks for Traffic: a found window is not looked for again)";
  }
}

}  // namespace
}  // namespace va
