// The host window finder's passes over a scripted port: which commands are posted
// in which pass, when the start view is asked for, and when the finder ends.
#include "extension/core/window_finder.h"

#include <gtest/gtest.h>

#include <string>

namespace va {
namespace {

// Each window appears in a given pass (-1: never); posted commands are written
// down as "<pass>:<command>".
class ScriptedPort : public FinderPort {
 public:
  int appearAt[kHostViewCount] = {0, 0, 0};
  bool force = true;
  uint32_t iniTab = 3;
  int maxPasses = 100;
  int pass = 0;
  int trafficLooks = 0;
  std::string posted;

  bool FindAndHook(HostView view) override {
    trafficLooks += view == HostView::Traffic;
    int at = appearAt[static_cast<int>(view)];
    return at >= 0 && pass >= at;
  }
  void PostHostCommand(int command) override { posted += std::to_string(pass) + ":" + std::to_string(command) + " "; }
  bool ForceCreation() override { return force; }
  uint32_t IniTab() override { return iniTab; }
  bool WaitForNextPass() override { return ++pass < maxPasses; }
};

TEST(WindowFinder, PassesPostForcedRequestsAndTheStartView) {
  struct Row {
    const char* name;
    int search, traffic, library;
    bool force;
    uint32_t iniTab;
    int maxPasses;
    const char* posted;
    int passes, trafficLooks;
  } rows[] = {
      {"all present, no start view", 0, 0, 0, true, 3, 100, "", 1, 1},
      {"start view Web", 0, 0, 0, true, 0, 100, "0:109 ", 1, 1},
      {"start view Search", 0, 0, 0, true, 1, 100, "0:113 ", 1, 1},
      {"start view Traffic", 0, 0, 0, true, 2, 100, "0:32788 ", 1, 1},
      {"missing Search asked for every ninth pass", -1, 0, 0, true, 3, 30, "0:113 9:113 18:113 27:113 ", 30, 1},
      {"own counter per window, start view after all three", 12, 3, 15, true, 2, 100,
       "0:113 0:32788 9:113 15:32788 ", 16, 4},
      {"nothing asked for without ForceCreation", 20, 0, 0, false, 1, 100, "", 21, 1},
      {"a missing library is never asked for", 0, 0, -1, true, 3, 50, "", 50, 1},
  };
  for (const Row& row : rows) {
    ScriptedPort port;
    port.appearAt[0] = row.search;
    port.appearAt[1] = row.traffic;
    port.appearAt[2] = row.library;
    port.force = row.force;
    port.iniTab = row.iniTab;
    port.maxPasses = row.maxPasses;
    FinderState state;
    RunWindowFinder(port, state);
    EXPECT_EQ(port.posted, row.posted) << row.name;
    EXPECT_EQ(state.passes, row.passes) << row.name;
    EXPECT_EQ(port.trafficLooks, row.trafficLooks) << row.name << ": a found window is not looked for again";
  }
}

}  // namespace
}  // namespace va
