// The accelerator engine driven over a fake download list and a fake clock:
// decision rules, Searching memory, keep range, speed rule, timing and stop.
#include "extension/accelerator/accelerator_engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "extension/resources/resource.h"

namespace va {
namespace {

// Rows are "title" 0xB6 "status" 0xB6 "speed"; item n is row n-1, its item data n*16.
struct Row {
  std::string title, status, speed = "0 KB/s";
  bool removed = false;  // the host dropped it: its text can no longer be read
};

struct Event {
  int64_t time;
  std::string what;  // "select Title", "cmd 61244", "1052 Accelerated", "status 1"
};

class FakeHost : public DownloadListPort, public AcceleratorHostPort {
 public:
  std::vector<Row> rows;
  std::vector<Event> events;
  std::multimap<int64_t, std::function<void()>> schedule;
  int64_t now = 0;
  int titleCell = 1, statusCell = 2, speedCell = 3;
  AcceleratorWords words;
  int gateWaits = 0;
  bool reacts = true;  // pause and resume change the selected row's status

  // The host's reaction to its commands on the selected row.
  void Act(uint16_t id) {
    if (!reacts || selected == 0 || selected > rows.size()) return;
    Row& r = rows[selected - 1];
    if (id == kHostPauseDownload) r.status = "Paused";
    if (id == kHostResumeDownload && (r.status == "Paused" || r.status == "Queued")) r.status = "Downloading";
  }

  uintptr_t First() override { return rows.empty() ? 0 : 1; }
  uintptr_t Next(uintptr_t item) override { return item < rows.size() ? item + 1 : 0; }
  uintptr_t Data(uintptr_t item) override { return item >= 1 && item <= rows.size() ? item * 16 : 0; }
  bool RowText(uintptr_t data, std::string& text) override {
    const Row& r = rows.at(data / 16 - 1);
    if (r.removed) return false;
    text = r.title + "\xB6" + r.status + "\xB6" + r.speed;
    return true;
  }
  int CellNumber(DownloadColumn column) override {
    switch (column) {
      case DownloadColumn::Title: return titleCell;
      case DownloadColumn::Status: return statusCell;
      case DownloadColumn::Speed: return speedCell;
      default: return 9;
    }
  }
  void Select(uintptr_t item) override {
    selected = item;
    Log("select " + rows.at(item - 1).title);
  }
  void Command(uint16_t id) override {
    Log("cmd " + std::to_string(id));
    Act(id);
  }
  std::string StateName(DownloadState state) override {
    static const char* const names[] = {"Queued",    "Paused",    "Connecting", "Downloading", "More sources needed",
                                        "Searching", "Completed", "Cancelled",  "Failed",      "Remotely queued"};
    return names[static_cast<int>(state)];
  }

  void Sleep(uint32_t ms) override {
    if (ms != 1000 && ms != 500) ADD_FAILURE() << "unexpected sleep of " << ms << " ms";
    now += ms;
    while (!schedule.empty() && schedule.begin()->first <= now) {
      auto action = schedule.begin()->second;
      schedule.erase(schedule.begin());
      action();
    }
    if (now > kLimit) words.control = kAcceleratorStopRequested;  // never loops forever
  }
  void WaitGate() override { ++gateWaits; }
  void ShowText(int control, const std::string& text) override { Log(std::to_string(control) + " " + text); }
  void StatusChanged() override { Log("status " + std::to_string(words.status.load())); }
  std::string Text(int id) override {
    static const std::map<int, std::string> texts = {
        {IDS_NEXT_CYCLE_SECONDS, "%S% second(s)"},
        {IDS_ACCELERATOR_RUNNING, "Running..."},
        {IDS_SKIPPED_PAUSED, "Skipped, status was 'Paused'"},
        {IDS_SKIPPED_QUEUED, "Skipped, status was 'Queued'"},
        {IDS_SKIPPED_SPEED, "Skipped, speed was above %SPD%"},
        {IDS_ACCELERATED, "Accelerated"},
        {IDS_SKIPPED_CANCELLED, "Skipped, status was 'Cancelled'"},
        {IDS_SKIPPED_FAILED, "Skipped, status was 'Failed'"},
        {IDS_SKIPPED_COMPLETED, "Skipped, status was 'Completed'"},
        {IDS_RESUMED_SEARCHING, "Resumed, status was 'Searching' for %NUM% times"},
        {IDS_PAUSED_ABOVE_MAXIMUM, "Paused, number of active downloads was above %NUM%"},
        {IDS_RESUMED_BELOW_MINIMUM, "Resumed, number of active downloads was below %NUM%"},
        {IDS_SKIPPED_IN_RANGE, "Skipped, number of active downloads was in the range"},
        {IDS_INACTIVE, "Inactive"},
        {IDS_NO_VALUE, " - "}};
    return texts.at(id);
  }

  void StopAt(int64_t time) {
    schedule.emplace(time, [this] { words.control = kAcceleratorStopRequested; });
  }
  void Run(const AcceleratorSettings& settings) {
    AcceleratorEngine engine(*this, *this, settings, words);
    engine.Run();
  }

  // Events of one kind ("cmd", "select", "1052", ...), in order, without times.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const Event& e : events) {
      if (e.what.rfind(prefix + " ", 0) == 0) out.push_back(e.what.substr(prefix.size() + 1));
    }
    return out;
  }
  // Times at which a cycle started (status Running).
  std::vector<int64_t> CycleStarts() const {
    std::vector<int64_t> out;
    for (const Event& e : events) {
      if (e.what == "status 1") out.push_back(e.time);
    }
    return out;
  }

  static constexpr int64_t kLimit = 100'000'000;

 private:
  void Log(const std::string& what) { events.push_back({now, what}); }
  uintptr_t selected = 0;
};

AcceleratorSettings Plain() {
  AcceleratorSettings s;
  s.CyclesDelay = 45;
  s.ItemDelay = 2;
  s.TimesInSearchState = 4;
  s.NumDownloadsMin = 2;
  s.NumDownloadsMax = 4;
  return s;
}

// The first cycle starts 4 s after the thread (the start wait).
constexpr int64_t kFirstCycle = 4000;

TEST(AcceleratorRules, PausedRowIsResumedAndAcceleratedFinishedRowsAreLeftAlone) {
  FakeHost host;
  host.rows = {{"done", "Completed"}, {"p", "Paused"}, {"c", "Cancelled"}, {"f", "Failed"}};
  host.StopAt(kFirstCycle + 4500);  // rows at 0, 1, 3 and 4 s
  host.Run(Plain());
  EXPECT_EQ(host.Only("cmd"), (std::vector<std::string>{"61244", "32986"}));
  EXPECT_EQ(host.Only("select"), (std::vector<std::string>{"p"}));
  EXPECT_EQ(host.Only("1052"),
            (std::vector<std::string>{"Skipped, status was 'Completed'", "Accelerated", "Skipped, status was 'Cancelled'",
                                      "Skipped, status was 'Failed'", " - "}));
}

TEST(AcceleratorRules, SkipPausedAndSkipQueuedSkipWithTheirTexts) {
  FakeHost host;
  host.rows = {{"p", "Paused"}, {"q", "Queued"}, {"d", "Downloading"}};
  AcceleratorSettings s = Plain();
  s.SkipPaused = 1;
  s.SkipQueued = 1;
  host.StopAt(kFirstCycle + 2500);
  host.Run(s);
  EXPECT_EQ(host.Only("select"), (std::vector<std::string>{"d"}));
  const auto texts = host.Only("1052");
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0], "Skipped, status was 'Paused'");
  EXPECT_EQ(texts[1], "Skipped, status was 'Queued'");
  EXPECT_EQ(texts[2], "Accelerated");
}

// Commands sent to row `title` in each cycle (cycle number from 1).
std::vector<std::vector<std::string>> CommandsPerCycle(const FakeHost& host, const std::string& title) {
  std::vector<std::vector<std::string>> cycles;
  bool mine = false;
  for (const Event& e : host.events) {
    if (e.what == "status 1") cycles.emplace_back(), mine = false;
    if (e.what.rfind("select ", 0) == 0) mine = e.what == "select " + title;
    if (mine && e.what.rfind("cmd ", 0) == 0 && !cycles.empty()) cycles.back().push_back(e.what.substr(4));
  }
  return cycles;
}

TEST(AcceleratorRules, SearchingRowIsPausedAndResumedInItsFourthCycleThenCountsAgain) {
  FakeHost host;
  host.rows = {{"s", "Searching"}};
  host.reacts = false;  // the download keeps searching whatever is sent
  AcceleratorSettings s = Plain();
  s.SearchResume = 1;
  s.TimesInSearchState = 4;
  s.CyclesDelay = 30;
  // a cycle with one action lasts ItemDelay, then 30 s pass until the next
  host.StopAt(kFirstCycle + 8 * 32'600);
  host.Run(s);
  const auto cycles = CommandsPerCycle(host, "s");
  ASSERT_GE(cycles.size(), 8u);
  const std::vector<std::string> accelerated{"61244", "32986"};
  const std::vector<std::string> researched{"61242", "61244", "32986"};
  for (int c : {0, 1, 2, 4, 5, 6}) EXPECT_EQ(cycles[c], accelerated) << "cycle " << c + 1;
  EXPECT_EQ(cycles[3], researched);
  EXPECT_EQ(cycles[7], researched);
  const auto texts = host.Only("1052");
  EXPECT_EQ(std::count(texts.begin(), texts.end(), "Resumed, status was 'Searching' for 4 times"), 2);
  // the pause and the resume are 500 ms apart
  for (size_t i = 0; i + 1 < host.events.size(); ++i) {
    if (host.events[i].what == "cmd 61242") EXPECT_EQ(host.events[i + 1].time - host.events[i].time, 500);
  }
}

TEST(AcceleratorRules, SearchingCountIsOfConsecutiveCycles) {
  FakeHost host;
  host.rows = {{"s", "Searching"}};
  AcceleratorSettings s = Plain();
  s.SearchResume = 1;
  s.TimesInSearchState = 2;
  s.CyclesDelay = 30;
  // Searching in cycle 1, Downloading in cycle 2, Searching again from cycle 3.
  host.schedule.emplace(kFirstCycle + 20'000, [&] { host.rows[0].status = "Downloading"; });
  host.schedule.emplace(kFirstCycle + 50'000, [&] { host.rows[0].status = "Searching"; });
  host.StopAt(kFirstCycle + 4 * 31'000 + 100);
  host.Run(s);
  const auto cycles = CommandsPerCycle(host, "s");
  ASSERT_GE(cycles.size(), 4u);
  const std::vector<std::string> accelerated{"61244", "32986"};
  EXPECT_EQ(cycles[0], accelerated);  // count 1
  EXPECT_EQ(cycles[1], accelerated);  // Downloading: forgotten at the cycle's end
  EXPECT_EQ(cycles[2], accelerated);  // count 1 again, not 2
  EXPECT_EQ(cycles[3], (std::vector<std::string>{"61242", "61244", "32986"}));  // count 2
}

TEST(AcceleratorRules, NumScanItemsHandlesExactlyThatManyRowsSkippedOnesIncluded) {
  FakeHost host;
  host.rows = {{"r1", "Completed"}, {"r2", "Paused"}, {"r3", "Failed"}, {"r4", "Paused"}, {"r5", "Paused"}};
  AcceleratorSettings s = Plain();
  s.NumScanItems = 3;
  host.StopAt(kFirstCycle + 20'000);
  host.Run(s);
  EXPECT_EQ(host.Only("1051"), (std::vector<std::string>{"r1", "r2", "r3", " - "}));
  EXPECT_EQ(host.Only("select"), (std::vector<std::string>{"r2"}));
}

TEST(AcceleratorRules, KeepRangePausesWhileTheCountIsAboveTheMaximum) {
  FakeHost host;
  for (int i = 1; i <= 5; ++i) host.rows.push_back({"d" + std::to_string(i), "Downloading"});
  AcceleratorSettings s = Plain();
  s.KeepDownloads = 1;
  s.NumDownloadsMax = 4;
  host.StopAt(kFirstCycle + 20'000);
  host.Run(s);
  EXPECT_EQ(host.Only("cmd"), (std::vector<std::string>{"61242", "32986", "32986", "32986", "32986"}));
  const auto texts = host.Only("1052");
  EXPECT_EQ(texts.front(), "Paused, number of active downloads was above 4");
  EXPECT_EQ(texts[1], "Accelerated");
}

TEST(AcceleratorRules, KeepRangeResumesBelowTheMinimumAndSkipsInsideTheRange) {
  FakeHost host;
  host.rows = {{"p1", "Paused"}, {"p2", "Paused"}, {"p3", "Queued"}};
  AcceleratorSettings s = Plain();
  s.KeepDownloads = 1;
  s.NumDownloadsMin = 2;
  host.StopAt(kFirstCycle + 20'000);
  host.Run(s);
  EXPECT_EQ(host.Only("select"), (std::vector<std::string>{"p1", "p2"}));
  const auto texts = host.Only("1052");
  ASSERT_GE(texts.size(), 3u);
  EXPECT_EQ(texts[0], "Resumed, number of active downloads was below 2");
  EXPECT_EQ(texts[1], "Resumed, number of active downloads was below 2");
  EXPECT_EQ(texts[2], "Skipped, number of active downloads was in the range");
}

TEST(AcceleratorRules, NoSearchingConnectingLeavesSearchingRowsOutOfTheCountOnly) {
  for (uint8_t noSearching : {0, 1}) {
    SCOPED_TRACE(noSearching);
    FakeHost host;
    host.rows = {{"s", "Searching"}, {"c", "Connecting"}, {"d1", "Downloading"}, {"d2", "Downloading"}};
    AcceleratorSettings s = Plain();
    s.KeepDownloads = 1;
    s.NumDownloadsMax = 2;
    s.NoSearchingConnecting = noSearching;
    host.StopAt(kFirstCycle + 500);  // the first row only
    host.Run(s);
    // counting all four rows exceeds 2; counting only the Downloading rows does not
    EXPECT_EQ(host.Only("cmd"), noSearching ? std::vector<std::string>{"32986"} : std::vector<std::string>{"61242"});
  }
  // With three Downloading rows the Searching row is paused even when it does not count.
  FakeHost host;
  host.rows = {{"s", "Searching"}, {"d1", "Downloading"}, {"d2", "Downloading"}, {"d3", "Downloading"}};
  AcceleratorSettings s = Plain();
  s.KeepDownloads = 1;
  s.NumDownloadsMax = 2;
  s.NoSearchingConnecting = 1;
  host.StopAt(kFirstCycle + 500);
  host.Run(s);
  EXPECT_EQ(host.Only("cmd"), (std::vector<std::string>{"61242"}));
}

TEST(AcceleratorRules, SpeedRuleComparesHundredthsAndEqualIsNotAbove) {
  for (uint32_t minSpeed : {1250u, 1249u}) {
    FakeHost host;
    host.rows = {{"fast", "Downloading", " 12.5 KB/s"}};
    AcceleratorSettings s = Plain();
    s.SkipBySpeed = 1;
    s.MinSpeed = minSpeed;
    host.StopAt(kFirstCycle + 500);
    host.Run(s);
    const auto texts = host.Only("1052");
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0], minSpeed == 1250 ? "Accelerated" : "Skipped, speed was above 12.49");
  }
}

TEST(AcceleratorTexts, SpeedAndPlaceholders) {
  EXPECT_EQ(FormatSpeedHundredths(1250), "12.50");
  EXPECT_EQ(FormatSpeedHundredths(5), "0.05");
  EXPECT_EQ(FormatSpeedHundredths(0), "0.00");
  EXPECT_EQ(FormatSpeedHundredths(4294967295u), "42949672.95");
  EXPECT_FALSE(SpeedAbove("12.5", 1250));
  EXPECT_TRUE(SpeedAbove("12.501", 1250));
  EXPECT_TRUE(SpeedAbove("0.07", 6));
  EXPECT_FALSE(SpeedAbove("0.07", 7));  // exact: 0.07 * 100 is 7, not a little more
  EXPECT_FALSE(SpeedAbove("KB/s", 0));  // no number reads as 0
  EXPECT_FALSE(SpeedAbove("-3", 0));
  EXPECT_TRUE(SpeedAbove("99999999999999999999999", 4294967295u));
  EXPECT_EQ(ReplacePlaceholder("%S% second(s), %S%", "%S%", "7"), "7 second(s), 7");
}

TEST(AcceleratorTiming, SkipsWaitOneSecondActionsWaitItemDelay) {
  FakeHost host;
  host.rows = {{"a", "Completed"}, {"b", "Paused"}, {"c", "Completed"}, {"d", "Completed"}};
  AcceleratorSettings s = Plain();
  s.ItemDelay = 5;
  host.StopAt(kFirstCycle + 20'000);
  host.Run(s);
  std::vector<int64_t> handled;
  for (const Event& e : host.events) {
    if (e.what.rfind("1051 ", 0) == 0 && e.what != "1051  - ") handled.push_back(e.time - kFirstCycle);
  }
  EXPECT_EQ(handled, (std::vector<int64_t>{0, 1000, 6000, 7000}));
}

TEST(AcceleratorTiming, PlainActionWaitsOneSecondEvenWithoutItemDelay) {
  FakeHost host;
  host.rows = {{"a", "Paused"}, {"b", "Paused"}};
  AcceleratorSettings s = Plain();
  s.ItemDelay = 0;  // possible when no settings were ever stored
  host.StopAt(kFirstCycle + 5000);
  host.Run(s);
  std::vector<int64_t> selects;
  for (const Event& e : host.events) {
    if (e.what.rfind("select ", 0) == 0) selects.push_back(e.time - kFirstCycle);
  }
  ASSERT_GE(selects.size(), 2u);
  EXPECT_EQ(selects[1] - selects[0], 1000);
}

TEST(AcceleratorTiming, CountdownShowsCyclesDelayMinusOneDownToZero) {
  FakeHost host;
  host.rows = {{"a", "Completed"}};
  AcceleratorSettings s = Plain();
  s.CyclesDelay = 30;
  host.StopAt(kFirstCycle + 2 * 31'000 + 100);
  host.Run(s);
  const auto starts = host.CycleStarts();
  ASSERT_GE(starts.size(), 3u);
  EXPECT_EQ(starts[0], kFirstCycle);
  // one row skipped (1 s) then the cycle ends; 30 s later the next begins
  EXPECT_EQ(starts[1] - starts[0], 31'000);
  EXPECT_EQ(starts[2] - starts[1], 31'000);
  std::vector<std::string> between;
  for (const Event& e : host.events) {
    if (e.time > starts[0] && e.time <= starts[1] && e.what.rfind("1050 ", 0) == 0) between.push_back(e.what.substr(5));
  }
  ASSERT_EQ(between.size(), 31u);
  EXPECT_EQ(between.front(), "29 second(s)");
  EXPECT_EQ(between[1], "28 second(s)");
  EXPECT_EQ(between[29], "0 second(s)");
  EXPECT_EQ(between.back(), "Running...");
}

TEST(AcceleratorLifecycle, StatusWordsFollowTheThreadAndTheTrayHearsEachChange) {
  FakeHost host;
  host.rows = {{"a", "Completed"}};
  AcceleratorSettings s = Plain();
  s.CyclesDelay = 30;
  host.schedule.emplace(1000, [&] {
    EXPECT_EQ(host.words.control.load(), kAcceleratorActive);
    EXPECT_EQ(host.words.wasOn.load(), 1);
    EXPECT_EQ(host.words.status.load(), kAcceleratorIdle);
  });
  host.schedule.emplace(kFirstCycle + 500, [&] { EXPECT_EQ(host.words.status.load(), kAcceleratorRunning); });
  host.StopAt(kFirstCycle + 10'000);
  host.Run(s);
  EXPECT_EQ(host.Only("status"), (std::vector<std::string>{"3", "1", "3", "2"}));
  EXPECT_EQ(host.words.control.load(), kAcceleratorStopped);
  EXPECT_EQ(host.words.wasOn.load(), 0);
  EXPECT_EQ(host.words.status.load(), kAcceleratorDisabled);
  const auto last = host.Only("1050");
  EXPECT_EQ(last.front(), "Running...");
  EXPECT_EQ(last.back(), "Inactive");
}

TEST(AcceleratorLifecycle, StopDuringTheCountdownIsNoticedWithinASecond) {
  FakeHost host;
  host.rows = {{"a", "Completed"}};
  host.StopAt(kFirstCycle + 12'345);
  host.Run(Plain());
  EXPECT_LE(host.now - (kFirstCycle + 12'345), 1000);
  EXPECT_EQ(host.Only("status").back(), "2");
}

TEST(AcceleratorLifecycle, StopDuringACycleStillSendsTheClearCommands) {
  FakeHost host;
  host.rows = {{"a", "Paused"}, {"b", "Paused"}, {"c", "Paused"}};
  AcceleratorSettings s = Plain();
  s.ClearUploads = 1;
  s.ClearDownloads = 1;
  host.StopAt(kFirstCycle + 500);  // while the second row's wait runs
  host.Run(s);
  EXPECT_EQ(host.Only("select"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(host.Only("cmd"), (std::vector<std::string>{"61244", "32986", "32917", "32880"}));
  EXPECT_EQ(host.Only("status"), (std::vector<std::string>{"3", "1", "3", "2"}));
}

TEST(AcceleratorLifecycle, StopAskedBeforeTheThreadStartsIsKept) {
  FakeHost host;
  host.words.control = kAcceleratorStopRequested;
  host.Run(Plain());
  EXPECT_LE(host.now, 1000);
  EXPECT_EQ(host.words.control.load(), kAcceleratorStopped);
  EXPECT_TRUE(host.Only("cmd").empty());
}

TEST(AcceleratorWalk, ARemovedOrDatalessRowEndsTheCycleAndTheNextCycleGoesOn) {
  FakeHost host;
  host.rows = {{"a", "Paused"}, {"b", "Paused"}, {"c", "Paused"}};
  AcceleratorSettings s = Plain();
  s.CyclesDelay = 30;
  host.schedule.emplace(kFirstCycle + 1000, [&] { host.rows[1].removed = true; });
  host.schedule.emplace(kFirstCycle + 20'000, [&] { host.rows[1].removed = false; });
  host.StopAt(kFirstCycle + 31'000 + 10'000);
  host.Run(s);
  EXPECT_EQ(host.Only("select"), (std::vector<std::string>{"a", "a", "b", "c"}));
  EXPECT_EQ(host.CycleStarts().size(), 2u);
}

TEST(AcceleratorWalk, EmptyListEndsEachCycleAtOnceAndKeepsCycling) {
  FakeHost host;
  AcceleratorSettings s = Plain();
  s.CyclesDelay = 30;
  host.StopAt(kFirstCycle + 3 * 31'000 + 100);
  host.Run(s);
  EXPECT_EQ(host.CycleStarts().size(), 4u);
  EXPECT_TRUE(host.Only("cmd").empty());
}

TEST(AcceleratorWalk, ColumnsAreLocatedAnewForEveryRow) {
  FakeHost host;
  // The user drags the status column in front of the title after the first row.
  host.rows = {{"a", "Completed"}, {"b", "Paused"}};
  host.schedule.emplace(kFirstCycle + 500, [&] {
    host.rows[1] = {"Paused", "b", "0"};  // the host now writes the status first
    host.titleCell = 2;
    host.statusCell = 1;
  });
  host.StopAt(kFirstCycle + 3000);
  host.Run(Plain());
  EXPECT_EQ(host.Only("select"), (std::vector<std::string>{"Paused"}));  // row b's text cells swapped
  EXPECT_EQ(host.Only("1051").at(1), "b");
}

TEST(AcceleratorWalk, GateIsAskedOncePerRowLoopPass) {
  FakeHost host;
  host.rows = {{"a", "Completed"}, {"b", "Completed"}};
  host.StopAt(kFirstCycle + 5000);
  host.Run(Plain());
  // a, 1 s wait, b, 1 s wait, end of list: five passes in the first cycle
  EXPECT_EQ(host.gateWaits, 5);
}

TEST(SearchingMemory, CountsForgetsAndEndsCycles) {
  SearchingMemory m;
  EXPECT_EQ(m.Count(7), 1u);
  EXPECT_EQ(m.Count(7), 2u);
  EXPECT_EQ(m.Count(9), 1u);
  m.EndCycle();
  EXPECT_EQ(m.size(), 2u);
  EXPECT_EQ(m.Count(9), 2u);
  m.EndCycle();  // 7 was not seen in this cycle
  EXPECT_EQ(m.size(), 1u);
  m.Forget(9);
  EXPECT_EQ(m.size(), 0u);
  m.Forget(9);  // absent: nothing happens
  EXPECT_EQ(m.Count(7), 1u);
}

}  // namespace
}  // namespace va
