// The host window finder's passes over a scripted port: which commands are posted
// in which pass, when the start view is asked for, and when the finder ends.
#include "extension/core/window_finder.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "extension/core/host_ids.h"

namespace va {
namespace {

// Each window appears in a given pass (-1: never); commands are recorded with
// the pass in which they were posted.
class ScriptedPort : public FinderPort {
 public:
  int appearAt[kHostViewCount] = {0, 0, 0};
  bool force = true;
  uint32_t iniTab = 3;
  int maxPasses = 100;
  int pass = 0;
  std::vector<std::pair<int, int>> posted;  // (pass, command)
  std::vector<std::pair<int, HostView>> looked;

  bool FindAndHook(HostView view) override {
    looked.push_back({pass, view});
    int at = appearAt[static_cast<int>(view)];
    return at >= 0 && pass >= at;
  }
  void PostHostCommand(int command) override { posted.push_back({pass, command}); }
  bool ForceCreation() override { return force; }
  uint32_t IniTab() override { return iniTab; }
  bool WaitForNextPass() override { return ++pass < maxPasses; }

  std::vector<int> PassesOf(int command) const {
    std::vector<int> passes;
    for (auto& p : posted)
      if (p.second == command) passes.push_back(p.first);
    return passes;
  }
};

TEST(WindowFinder, AllWindowsPresentEndsInTheFirstPass) {
  ScriptedPort port;
  FinderState state;
  RunWindowFinder(port, state);
  EXPECT_EQ(state.passes, 1);
  EXPECT_TRUE(port.posted.empty());  // IniTab 3 posts nothing
  ASSERT_EQ(port.looked.size(), 3u);
  EXPECT_EQ(port.looked[0].second, HostView::Search);
  EXPECT_EQ(port.looked[1].second, HostView::Traffic);
  EXPECT_EQ(port.looked[2].second, HostView::Library);
}

TEST(WindowFinder, MissingSearchIsForcedInPassesZeroNineEighteen) {
  ScriptedPort port;
  port.appearAt[0] = -1;
  port.maxPasses = 30;
  FinderState state;
  RunWindowFinder(port, state);
  EXPECT_EQ(port.PassesOf(host::kCmdShowSearch), (std::vector<int>{0, 9, 18, 27}));
  EXPECT_TRUE(port.PassesOf(host::kCmdShowTraffic).empty());
  EXPECT_EQ(state.passes, 30);
}

TEST(WindowFinder, EachWindowHasItsOwnCounterAndLibraryIsNeverForced) {
  ScriptedPort port;
  port.appearAt[0] = 12;
  port.appearAt[1] = 3;
  port.appearAt[2] = 15;
  port.iniTab = 2;
  FinderState state;
  RunWindowFinder(port, state);
  EXPECT_EQ(port.PassesOf(host::kCmdShowSearch), (std::vector<int>{0, 9}));
  // Traffic: forced in pass 0, found in pass 3; the start view comes after all three.
  EXPECT_EQ(port.PassesOf(host::kCmdShowTraffic), (std::vector<int>{0, 15}));
  EXPECT_EQ(port.posted.size(), 4u);
  EXPECT_EQ(state.passes, 16);
  // A found window is not looked for again.
  int trafficLooks = 0;
  for (auto& l : port.looked)
    if (l.second == HostView::Traffic) ++trafficLooks;
  EXPECT_EQ(trafficLooks, 4);
}

TEST(WindowFinder, StartViewFollowsIniTabOnlyWithForceCreation) {
  const int expected[] = {host::kCmdShowWeb, host::kCmdShowSearch, host::kCmdShowTraffic};
  for (uint32_t tab = 0; tab < 3; ++tab) {
    ScriptedPort port;
    port.iniTab = tab;
    FinderState state;
    RunWindowFinder(port, state);
    ASSERT_EQ(port.posted.size(), 1u) << tab;
    EXPECT_EQ(port.posted[0].second, expected[tab]);
  }
  ScriptedPort off;
  off.force = false;
  off.iniTab = 1;
  off.appearAt[0] = 20;
  FinderState state;
  RunWindowFinder(off, state);
  EXPECT_TRUE(off.posted.empty());
  EXPECT_EQ(state.passes, 21);
  EXPECT_EQ(StartViewCommand(7), 0);
}

TEST(WindowFinder, NeverAppearingLibraryKeepsPollingUntilStopped) {
  ScriptedPort port;
  port.appearAt[2] = -1;
  port.maxPasses = 50;
  FinderState state;
  RunWindowFinder(port, state);
  EXPECT_EQ(state.passes, 50);
  EXPECT_FALSE(state.found[2]);
  EXPECT_TRUE(port.posted.empty());
}

}  // namespace
}  // namespace va
