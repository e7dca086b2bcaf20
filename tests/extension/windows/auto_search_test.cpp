// Auto Search More's loop over a fake host and a fake clock: one table of runs,
// each with its unit, what the host does meanwhile, and what the user must see.
// Connecting and not-connected holds are lived through in the search scenario.
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

class FakeSearchHost : public AutoSearchPort {
 public:
  std::atomic<uint32_t> state{kAutoSearchRunning};
  int64_t now = 0;
  std::multimap<int64_t, std::function<void()>> schedule;
  std::vector<std::string> events;  // "1044 3 time(s) left", "progress 3333", "press", "beep", ...
  std::vector<int64_t> pressTimes;
  bool skin = false, searchActive = false, moreEnabled = true;
  std::string connection = "Connected";
  uint32_t results = 0, resultsPerPress = 0;
  int statusBarReads = 0;

  void Sleep(uint32_t ms) override {
    EXPECT_EQ(ms, kAutoSearchStepMs);
    for (now += ms; !schedule.empty() && schedule.begin()->first <= now;) {
      auto action = schedule.begin()->second;  // a copy: the entry goes before the action runs
      schedule.erase(schedule.begin()), action();
    }
  }
  bool SkinActive() override { return skin; }
  std::string HostText(int id) override {
    return id == kHostStringNotConnected ? kNotConnected : id == kHostStringConnecting ? "Connecting..." : "?";
  }
  std::string Text(int id) override {
    static const std::map<int, std::string> texts = {
        {IDS_TIMES_LEFT, "%TIM% time(s) left"}, {IDS_MINUTES_LEFT, "less than %MIN% minute(s)"}, {IDS_NO_LIMIT, "No limit"},
        {IDS_PREVENTION_DISABLED, "Disabled, disable skin to enable"}, {IDS_PREVENTION_ENABLED, "Enabled"},
        {IDS_RESULTS_FOUND, "%SRCH% results"}, {IDS_ACTIVE, "Active"}, {IDS_INACTIVE, "Inactive"}, {IDS_NO_VALUE, " - "}};
    return texts.at(id);
  }
  bool SearchButtonActive() override { return searchActive; }
  bool SearchMoreEnabled() override { return moreEnabled; }
  void PressSearchMore() override { events.push_back("press"), pressTimes.push_back(now), results += resultsPerPress; }
  std::string ConnectionText() override { return ++statusBarReads, connection; }
  uint32_t ResultCount() override { return results; }
  void ShowText(int control, const std::string& text) override { events.push_back(std::to_string(control) + " " + text); }
  void ShowProgress(uint32_t value) override { events.push_back("progress " + std::to_string(value)); }
  void Beep() override { events.push_back("beep"); }
  void PanelRunning(bool running) override { events.push_back(running ? "panel busy" : "panel free"); }
  void At(int64_t ms, std::function<void()> action) { schedule.emplace(ms, std::move(action)); }
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind(prefix, 0) == 0) out.push_back(e.substr(e.find(' ') + 1));
    return out;
  }
};

std::vector<int64_t> Steps(int first, int last) {
  std::vector<int64_t> times;
  for (int i = first; i <= last; ++i) times.push_back(i * int64_t{kAutoSearchStepMs});
  return times;
}

using Strings = std::vector<std::string>;
struct SearchRun {  // what a run is given, and what it must end with, press at and show in control 1044
  const char* name;
  uint32_t number, unit;
  std::function<void(FakeSearchHost&)> arrange;
  AutoSearchEnd end;
  std::vector<int64_t> presses;
  Strings limitTexts;
  int beeps;
  std::function<void(const FakeSearchHost&)> also;
};

TEST(AutoSearchEngine, RunsCountPressAndEndByTheirRules) {
  const auto none = [](FakeSearchHost&) {};
  const SearchRun runs[] = {
      {"times: three presses counting down after a disabled search-more button, then a beep", 3, kUnitTimes,
       [](FakeSearchHost& h) {
         h.moreEnabled = false;
         h.At(4500, [&h] { h.moreEnabled = true; });
       },
       AutoSearchEnd::LimitReached, Steps(3, 5), {"3 time(s) left", "2 time(s) left", "1 time(s) left", "0 time(s) left", " - "},
       1,
       [](const FakeSearchHost& h) {
         EXPECT_EQ(h.Only("progress"), (Strings{"3333", "6666", "10000", "0"}));
         EXPECT_EQ(Strings(h.events.begin(), h.events.begin() + 4),
                   (Strings{"1045 Enabled", "1044 3 time(s) left", "1043 Active", "panel busy"}));
         EXPECT_EQ(h.statusBarReads, 3);
       }},
      {"minutes: forty steps a minute, pressing in all but the last", 2, kUnitMinutes, none,
       AutoSearchEnd::LimitReached, Steps(1, 79),
       {"less than 2 minute(s)", "less than 1 minute(s)", "less than 0 minute(s)", " - "}, 1,
       [](const FakeSearchHost& h) {
         const Strings p = h.Only("progress");
         EXPECT_EQ((p.size() == 81 ? Strings{p[0], p[39], p[79]} : p), (Strings{"125", "5000", "10000"}));
       }},
      {"results: the list count against the limit", 20, kUnitResults,
       [](FakeSearchHost& h) { h.results = 5, h.resultsPerPress = 7; }, AutoSearchEnd::LimitReached, Steps(1, 3),
       {"0 results", "5 results", "12 results", "19 results", "26 results", " - "}, 1,
       [](const FakeSearchHost& h) { EXPECT_EQ(h.Only("progress"), (Strings{"2500", "6000", "9500", "10000", "0"})); }},
      {"results: an unchanged count is not shown again; a stop ends without a beep", 10, kUnitResults,
       [](FakeSearchHost& h) {
         h.At(6000, [&h] { h.results = 4; });
         h.At(9000, [&h] { EXPECT_TRUE(RequestAutoSearchStop(h.state)); });
       },
       AutoSearchEnd::StopRequested, Steps(1, 5), {"0 results", "4 results", " - "}, 0, nullptr},
      {"no limit: presses until the search button comes back", 0, kUnitNoLimit,
       [](FakeSearchHost& h) { h.At(7500, [&h] { h.searchActive = true; }); }, AutoSearchEnd::SearchEnded, Steps(1, 4),
       {"No limit", " - "}, 0, nullptr},
      {"a skin turns the prevention off: the status bar is never read", 2, kUnitTimes,
       [](FakeSearchHost& h) { h.skin = true, h.connection = kNotConnected; }, AutoSearchEnd::LimitReached, Steps(1, 2),
       {"2 time(s) left", "1 time(s) left", "0 time(s) left", " - "}, 1,
       [](const FakeSearchHost& h) {
         EXPECT_EQ(h.Only("1045"), (Strings{"Disabled, disable skin to enable", " - "}));
         EXPECT_EQ(h.statusBarReads, 0);
       }},
  };
  for (const SearchRun& run : runs) {
    SCOPED_TRACE(run.name);
    FakeSearchHost host;
    run.arrange(host);
    AutoSearchEngine engine(host, AutoSearchLimit{run.number, run.unit}, host.state);
    EXPECT_EQ(engine.Run(), run.end);
    EXPECT_EQ(host.pressTimes, run.presses);
    EXPECT_EQ(host.Only("1044"), run.limitTexts);
    EXPECT_EQ(static_cast<int>(host.Only("beep").size()), run.beeps);
    // Every run ends with the same texts, the panel free again, and the state idle.
    ASSERT_GE(host.events.size(), 5u);
    EXPECT_EQ(Strings(host.events.end() - 5, host.events.end()),
              (Strings{"panel free", "1043 Inactive", "1044  - ", "1045  - ", "progress 0"}));
    EXPECT_EQ(host.state.load(), kAutoSearchIdle);
    if (run.also) run.also(host);
  }
}

}  // namespace
}  // namespace va
