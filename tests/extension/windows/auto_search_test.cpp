// Auto Search More's loop driven over a fake host and a fake clock: the four
// units, the 'Not Connected' prevention, skins, stop requests and the end texts.
#include "extension/windows/auto_search.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "extension/resources/resource.h"

namespace va {
namespace {

const char kNotConnected[] = "Not connected to the network";
const char kConnecting[] = "Connecting...";

class FakeSearchHost : public AutoSearchPort {
 public:
  std::atomic<uint32_t> state{kAutoSearchRunning};
  int64_t now = 0;
  std::multimap<int64_t, std::function<void()>> schedule;
  std::vector<std::string> events;  // "1044 3 time(s) left", "progress 3333", "press", "beep", "panel 1"
  std::vector<int64_t> pressTimes;
  bool skin = false;
  bool searchActive = false;  // the host's search button visible and enabled
  bool moreEnabled = true;
  std::string connection = "Connected";
  uint32_t results = 0;
  uint32_t resultsPerPress = 0;
  int statusBarReads = 0;
  int64_t limitMs = 4 * 3600 * 1000;  // a run that never ends is stopped here and fails

  void Sleep(uint32_t ms) override {
    EXPECT_EQ(ms, kAutoSearchStepMs);
    now += ms;
    while (!schedule.empty() && schedule.begin()->first <= now) {
      auto action = schedule.begin()->second;
      schedule.erase(schedule.begin());
      action();
    }
    if (now > limitMs) {
      ADD_FAILURE() << "the run did not end";
      state = kAutoSearchStopRequested;
    }
  }
  bool SkinActive() override { return skin; }
  bool hostStrings = true;  // false: the host's string table lacks them
  std::string HostText(int id) override {
    if (!hostStrings) return "";
    if (id == kHostStringNotConnected) return kNotConnected;
    if (id == kHostStringConnecting) return kConnecting;
    ADD_FAILURE() << "unexpected host string " << id;
    return "";
  }
  std::string Text(int id) override {
    static const std::map<int, std::string> texts = {
        {IDS_TIMES_LEFT, "%TIM% time(s) left"},
        {IDS_MINUTES_LEFT, "less than %MIN% minute(s)"},
        {IDS_PREVENTION_DISABLED, "Disabled, disable skin to enable"},
        {IDS_PREVENTION_ENABLED, "Enabled"},
        {IDS_NO_LIMIT, "No limit"},
        {IDS_RESULTS_FOUND, "%SRCH% results"},
        {IDS_ACTIVE, "Active"},
        {IDS_INACTIVE, "Inactive"},
        {IDS_NO_VALUE, " - "}};
    return texts.at(id);
  }
  bool SearchButtonActive() override { return searchActive; }
  bool SearchMoreEnabled() override { return moreEnabled; }
  void PressSearchMore() override {
    events.push_back("press");
    pressTimes.push_back(now);
    results += resultsPerPress;
  }
  std::string ConnectionText() override {
    ++statusBarReads;
    return connection;
  }
  uint32_t ResultCount() override { return results; }
  void ShowText(int control, const std::string& text) override {
    events.push_back(std::to_string(control) + " " + text);
  }
  void ShowProgress(uint32_t value) override { events.push_back("progress " + std::to_string(value)); }
  void Beep() override { events.push_back("beep"); }
  void PanelRunning(bool running) override { events.push_back(running ? "panel busy" : "panel free"); }

  AutoSearchEnd Run(uint32_t number, uint32_t unit) {
    AutoSearchEngine engine(*this, AutoSearchLimit{number, unit}, state);
    return engine.Run();
  }
  void At(int64_t ms, std::function<void()> action) { schedule.emplace(ms, std::move(action)); }

  // The events whose text starts with `prefix`, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind(prefix, 0) == 0) out.push_back(e);
    return out;
  }
  int Count(const std::string& prefix) const { return static_cast<int>(Only(prefix).size()); }
};

const std::vector<std::string> kEndTexts = {"panel free", "1043 Inactive", "1044  - ", "1045  - ", "progress 0"};

void ExpectEndedCleanly(const FakeSearchHost& host) {
  ASSERT_GE(host.events.size(), kEndTexts.size());
  EXPECT_EQ(std::vector<std::string>(host.events.end() - kEndTexts.size(), host.events.end()), kEndTexts);
  EXPECT_EQ(host.state.load(), kAutoSearchIdle);
}

TEST(AutoSearchEngine, TimesPressesUpToTheLimitCountingDownThenBeepsAndEnds) {
  FakeSearchHost host;
  EXPECT_EQ(host.Run(3, kUnitTimes), AutoSearchEnd::LimitReached);
  EXPECT_EQ(host.Count("press"), 3);
  EXPECT_EQ(host.pressTimes, (std::vector<int64_t>{1500, 3000, 4500}));
  EXPECT_EQ(host.Only("1044"), (std::vector<std::string>{"1044 3 time(s) left", "1044 2 time(s) left",
                                                         "1044 1 time(s) left", "1044 0 time(s) left", "1044  - "}));
  EXPECT_EQ(host.Only("progress"),
            (std::vector<std::string>{"progress 3333", "progress 6666", "progress 10000", "progress 0"}));
  // The start texts come before anything is pressed.
  EXPECT_EQ(std::vector<std::string>(host.events.begin(), host.events.begin() + 4),
            (std::vector<std::string>{"1045 Enabled", "1044 3 time(s) left", "1043 Active", "panel busy"}));
  EXPECT_EQ(host.Count("beep"), 1);
  ExpectEndedCleanly(host);
}

TEST(AutoSearchEngine, MinutesCountFortyStepsAMinuteWithProgressEveryStep) {
  FakeSearchHost host;
  EXPECT_EQ(host.Run(2, kUnitMinutes), AutoSearchEnd::LimitReached);
  // Two minutes are 80 steps of 1.5 s; the button is pressed in each but the last.
  EXPECT_EQ(host.now, 120000);
  EXPECT_EQ(host.Count("press"), 79);
  EXPECT_EQ(host.Only("1044"), (std::vector<std::string>{"1044 less than 2 minute(s)", "1044 less than 1 minute(s)",
                                                         "1044 less than 0 minute(s)", "1044  - "}));
  const auto progress = host.Only("progress");
  ASSERT_EQ(progress.size(), 81u);
  EXPECT_EQ(progress[0], "progress 125");    // 10000 * 1 / 80
  EXPECT_EQ(progress[39], "progress 5000");  // 40 of 80 steps
  EXPECT_EQ(progress[79], "progress 10000");
  EXPECT_EQ(host.Count("beep"), 1);
  ExpectEndedCleanly(host);
}

TEST(AutoSearchEngine, ResultsFollowTheListCountAndEndWhenItReachesTheLimit) {
  FakeSearchHost host;
  host.results = 5;  // what the user's own search found
  host.resultsPerPress = 7;
  EXPECT_EQ(host.Run(20, kUnitResults), AutoSearchEnd::LimitReached);
  EXPECT_EQ(host.Only("1044"), (std::vector<std::string>{"1044 0 results", "1044 5 results", "1044 12 results",
                                                         "1044 19 results", "1044 26 results", "1044  - "}));
  EXPECT_EQ(host.Only("progress"), (std::vector<std::string>{"progress 2500", "progress 6000", "progress 9500",
                                                             "progress 10000", "progress 0"}));
  EXPECT_EQ(host.Count("press"), 3);
  EXPECT_EQ(host.Count("beep"), 1);
  ExpectEndedCleanly(host);
}

TEST(AutoSearchEngine, ResultsUnchangedAreNotShownAgain) {
  FakeSearchHost host;
  host.At(6000, [&] { host.results = 4; });
  host.At(9000, [&] { host.state = kAutoSearchStopRequested; });
  EXPECT_EQ(host.Run(10, kUnitResults), AutoSearchEnd::StopRequested);
  EXPECT_EQ(host.Only("1044"), (std::vector<std::string>{"1044 0 results", "1044 4 results", "1044  - "}));
  EXPECT_EQ(host.Count("beep"), 0);
}

TEST(AutoSearchEngine, NoLimitPressesUntilTheSearchButtonComesBack) {
  FakeSearchHost host;
  host.At(7500, [&] { host.searchActive = true; });
  EXPECT_EQ(host.Run(0, kUnitNoLimit), AutoSearchEnd::SearchEnded);
  EXPECT_EQ(host.Count("press"), 4);
  EXPECT_EQ(host.Only("1044"), (std::vector<std::string>{"1044 No limit", "1044  - "}));
  EXPECT_EQ(host.Count("beep"), 0);
  ExpectEndedCleanly(host);
}

TEST(AutoSearchEngine, ALimitOfZeroEndsAtTheFirstCheckWithoutProgress) {
  for (uint32_t unit : {kUnitMinutes, kUnitTimes, kUnitResults}) {
    SCOPED_TRACE(unit);
    FakeSearchHost host;
    EXPECT_EQ(host.Run(0, unit), AutoSearchEnd::LimitReached);
    EXPECT_EQ(host.Count("press"), 0);
    EXPECT_EQ(host.Only("progress"), (std::vector<std::string>{"progress 0"}));
    EXPECT_EQ(host.Count("beep"), 1);
    EXPECT_EQ(host.now, 1500);
  }
}

TEST(AutoSearchEngine, ConnectingWithTrailingPeriodsHoldsThePressingUntilTheTextChanges) {
  FakeSearchHost host;
  host.connection = "Connecting.....";  // more periods than the host string: all are dropped
  host.At(6000, [&] { host.connection = "Connecting"; });
  host.At(9000, [&] { host.connection = "Connected to 3 hosts"; });
  EXPECT_EQ(host.Run(2, kUnitTimes), AutoSearchEnd::LimitReached);
  EXPECT_EQ(host.pressTimes, (std::vector<int64_t>{9000, 10500}));
}

TEST(AutoSearchEngine, TheNotConnectedTextEndsTheRunWithoutPressing) {
  FakeSearchHost host;
  host.At(3000, [&] { host.connection = kNotConnected; });
  EXPECT_EQ(host.Run(0, kUnitNoLimit), AutoSearchEnd::NotConnected);
  EXPECT_EQ(host.pressTimes, (std::vector<int64_t>{1500}));
  EXPECT_EQ(host.Count("beep"), 0);
  ExpectEndedCleanly(host);
}

TEST(AutoSearchEngine, ASkinSwitchesThePreventionOffAndTheStatusBarIsNeverRead) {
  FakeSearchHost host;
  host.skin = true;
  host.connection = kNotConnected;
  EXPECT_EQ(host.Run(2, kUnitTimes), AutoSearchEnd::LimitReached);
  EXPECT_EQ(host.Only("1045"), (std::vector<std::string>{"1045 Disabled, disable skin to enable", "1045  - "}));
  EXPECT_EQ(host.Count("press"), 2);
  EXPECT_EQ(host.statusBarReads, 0);
}

TEST(AutoSearchEngine, MissingHostStringsMatchNoStatusText) {
  FakeSearchHost host;
  host.hostStrings = false;
  host.connection = "";  // an empty status bar pane is neither text
  EXPECT_EQ(host.Run(2, kUnitTimes), AutoSearchEnd::LimitReached);
  EXPECT_EQ(host.pressTimes, (std::vector<int64_t>{1500, 3000}));
}

TEST(AutoSearchEngine, ADisabledSearchMoreButtonIsWaitedFor) {
  FakeSearchHost host;
  host.moreEnabled = false;
  host.At(4500, [&] { host.moreEnabled = true; });
  EXPECT_EQ(host.Run(1, kUnitTimes), AutoSearchEnd::LimitReached);
  EXPECT_EQ(host.pressTimes, (std::vector<int64_t>{4500}));
  EXPECT_EQ(host.statusBarReads, 1);  // only when there is something to press
}

TEST(AutoSearchEngine, AStopRequestEndsTheRunAtTheNextStepWithoutABeep) {
  FakeSearchHost host;
  host.At(2000, [&] { EXPECT_TRUE(RequestAutoSearchStop(host.state)); });
  EXPECT_EQ(host.Run(5, kUnitTimes), AutoSearchEnd::StopRequested);
  EXPECT_EQ(host.pressTimes, (std::vector<int64_t>{1500}));
  EXPECT_EQ(host.Count("beep"), 0);
  ExpectEndedCleanly(host);
}

TEST(AutoSearchState, ClaimAndStopFollowTheStateRules) {
  std::atomic<uint32_t> state{kAutoSearchIdle};
  EXPECT_FALSE(RequestAutoSearchStop(state)) << "an idle run has nothing to stop";
  EXPECT_EQ(state.load(), kAutoSearchIdle);
  EXPECT_TRUE(ClaimAutoSearch(state));
  EXPECT_FALSE(ClaimAutoSearch(state)) << "only one run at a time";
  EXPECT_TRUE(RequestAutoSearchStop(state));
  EXPECT_EQ(state.load(), kAutoSearchStopRequested);
  EXPECT_FALSE(ClaimAutoSearch(state)) << "a stopping run has not ended yet";
  EXPECT_FALSE(RequestAutoSearchStop(state));
}

TEST(AutoSearchText, TrailingPeriodsAndProgress) {
  EXPECT_EQ(WithoutTrailingPeriods("Connecting..."), "Connecting");
  EXPECT_EQ(WithoutTrailingPeriods("A.b."), "A.b");
  EXPECT_EQ(WithoutTrailingPeriods("..."), "");
  EXPECT_EQ(ProgressValue(1, 3), 3333u);
  EXPECT_EQ(ProgressValue(5, 0), 0u);
  EXPECT_EQ(ProgressValue(30, 20), 10000u);
  // Large limits do not overflow: 40 steps times the largest limit.
  EXPECT_EQ(ProgressValue(40, 40ull * 0xFFFFFFFFull), 0u);
  EXPECT_EQ(ProgressValue(40ull * 0xFFFFFFFFull, 40ull * 0xFFFFFFFFull), 10000u);
}

}  // namespace
}  // namespace va
