// The portable rules of the accelerator and the download list: the engine's real
// cycle and row loops over a fake list and a fake clock (minutes of cycles in
// microseconds, compared in order with what the host saw), the bulk walk over the
// same list, the settings' ranges, state and speed matches, the column map and the
// reorder record.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <tuple>

#include "extension/accelerator/accelerator_settings.h"
#include "extension/accelerator/download_commands.h"
#include "extension/accelerator/download_order.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

struct Row {
  std::string title, status, speed = "0";
  bool gone = false;  // removed by the host: its text can no longer be read
};

// A title starting with "!" is a row the list refuses to select (gone meanwhile).
// Records the events of the kinds a scenario watches, "what" or "what@ms": sel:<title>,
// cmd (the number), act / next (the texts), last:<title>, st<status word>, cyc ("|"
// when a cycle starts), was<0|1>.
struct FakeHost : DownloadListPort, AcceleratorHostPort {
  std::vector<Row> rows;
  std::multimap<int64_t, std::function<void(FakeHost&)>> schedule;
  std::string kinds, trace;
  bool timed = false, reacts = true, swapped = false;  // swapped: status cell before title
  int64_t now = 0, gateMs = 0;
  AcceleratorWords words;
  uintptr_t selected = 0;

  size_t messages = 0;  // calls that are messages to the host's UI thread

  void ReadRows(std::vector<ListedRow>& out, CellNumbers& cells) override {
    out.clear(), ++messages;
    for (uintptr_t item = 1; item <= rows.size(); ++item) out.push_back({item, item * 16});
    cells = {1 + swapped, 2 - swapped, 3, 9};
  }
  bool ReadRow(const ListedRow& row, std::string& text, CellNumbers& cells) override {
    cells = {1 + swapped, 2 - swapped, 3, 9}, ++messages;
    return PeekText(row.data, text);
  }
  bool PeekText(uintptr_t data, std::string& text) override {
    const Row& r = rows.at(data / 16 - 1);
    text = (swapped ? r.status + "\xB6" + r.title : r.title + "\xB6" + r.status) + "\xB6" + r.speed;
    return !r.gone;
  }
  bool Act(const ListedRow& row, std::initializer_list<uint16_t> ids, bool, const std::function<void()>& before) override {
    Log("sel", "sel:" + rows.at(row.item - 1).title);
    if (++messages, rows.at(row.item - 1).title[0] == '!') return false;
    selected = row.item;
    if (before) before();
    for (uint16_t id : ids) Command(id), --messages;
    return true;
  }
  void Command(uint16_t id) override {  // pause and resume change the selected row as the host does
    Log("cmd", std::to_string(id)), ++messages;
    if (selected == 0) return;
    std::string& status = rows.at(selected - 1).status;
    if (reacts && id == kHostPauseDownload) status = "Paused";
    if (reacts && id == kHostResumeDownload && (status == "Paused" || status == "Queued")) status = "Downloading";
  }
  std::string StateName(DownloadState s) override {
    static const char* const names[] = {"Queued",    "Paused",    "Connecting", "Downloading", "More sources needed",
                                        "Searching", "Completed", "Cancelled",  "Failed",      "Remotely queued"};
    return names[static_cast<int>(s)];
  }
  void Sleep(uint32_t ms) override {
    if (Pass(ms), now > 1'000'000 || (ms != 1000 && ms != 500)) words.control = kAcceleratorStopRequested;
  }
  void WaitGate() override { Pass(gateMs); }  // a bulk command may hold the gate a while
  void Pass(int64_t ms) {  // time passes; the host's scheduled changes happen
    now += ms;
    for (auto due = schedule.begin(); due != schedule.end() && due->first <= now; due = schedule.begin()) {
      auto action = due->second;
      schedule.erase(due), action(*this);
    }
  }
  void ShowText(int control, const std::string& text) override {
    ++messages;  // a status text set from the accelerator's thread
    Log(control == IDC_ACTION_TAKEN ? "act" : control == IDC_LAST_ITEM ? "last" : "next",
        control == IDC_LAST_ITEM ? "last:" + text : text);
  }
  void StatusChanged() override {
    if (words.status == kAcceleratorRunning) Log("cyc", "|");
    Log("st", "st" + std::to_string(words.status.load()));
  }
  void RememberRunning(bool on) override { Log("was", on ? "was1" : "was0"); }
  std::string Text(int id) override {  // short stand-ins with the real placeholders
    static const std::map<int, std::string> texts = {{IDS_NEXT_CYCLE_SECONDS, "next%S%"}, {IDS_ACCELERATOR_RUNNING, "run"},
        {IDS_SKIPPED_PAUSED, "skipPaused"}, {IDS_SKIPPED_QUEUED, "skipQueued"}, {IDS_SKIPPED_SPEED, "faster%SPD%"},
        {IDS_ACCELERATED, "accel"}, {IDS_SKIPPED_CANCELLED, "skipCancelled"}, {IDS_SKIPPED_FAILED, "skipFailed"},
        {IDS_SKIPPED_COMPLETED, "skipCompleted"}, {IDS_RESUMED_SEARCHING, "research%NUM%"}, {IDS_INACTIVE, "inactive"},
        {IDS_PAUSED_ABOVE_MAXIMUM, "above%NUM%"}, {IDS_RESUMED_BELOW_MINIMUM, "below%NUM%"},
        {IDS_SKIPPED_IN_RANGE, "inRange"}, {IDS_NO_VALUE, "-"}};
    return texts.at(id);
  }
  void Log(const std::string& kind, const std::string& what) {
    if ((" " + kinds + " ").find(" " + kind + " ") == std::string::npos) return;
    trace += (trace.empty() ? "" : " ") + what + (timed ? "@" + std::to_string(now) : "");
  }
};

using Tweak = std::function<void(AcceleratorSettings&, FakeHost&)>;
struct Scenario {
  const char* name;
  std::vector<Row> rows;
  Tweak tweak;     // settings and scheduled host changes, on top of the plain settings
  int64_t stopAt;  // ms after the thread's start (the first cycle starts at 4000); -1: before it starts
  const char* kinds;  // the kinds of events traced; "@" among them: with their times
  const char* expected;
};

const Row kDone{"done", "Completed"}, kP{"p", "Paused"}, kQ{"q", "Queued"}, kD{"d", "Downloading"},
    kS{"s", "Searching"}, kC{"c", "Connecting"};
#define SET(...) [](AcceleratorSettings& s, FakeHost& h) { (void)s, (void)h; __VA_ARGS__; }
void At(FakeHost& h, int64_t ms, std::function<void(FakeHost&)> change) { h.schedule.emplace(ms, change); }

const Scenario kScenarios[] = {
    {"paused row resumed and accelerated, finished rows left; skips wait 1 s, actions ItemDelay",
     {kDone, kP, {"c", "Cancelled"}, {"f", "Failed"}}, SET(), 8500, "@ sel cmd act",
     "skipCompleted@4000 sel:p@5000 accel@5000 61244@5000 32986@5000 skipCancelled@7000 skipFailed@8000 -@10000"},
    {"SkipPaused and SkipQueued", {kP, kQ, kD}, SET(s.SkipPaused = s.SkipQueued = 1), 6500, "sel act",
     "skipPaused skipQueued sel:d accel -"},
    {"Searching paused and resumed in cycle 2, then counted anew", {kS}, SET(s.SearchResume = 1, h.reacts = false,
     s.TimesInSearchState = 2), 21000, "cyc cmd act",
     "| accel 61244 32986 | research2 61242 61244 32986 | accel 61244 32986 | research2 61242 61244 32986 -"},
    {"Searching pause lasts half a second", {kS}, SET(s.SearchResume = s.TimesInSearchState = 1, h.reacts = false),
     4700, "@ cmd act", "research1@4000 61242@4000 61244@4500 32986@4500 -@6500"},
    {"Searching, Downloading, Searching counts 1 again", {kS}, SET(s.SearchResume = 1, s.TimesInSearchState = 2;
     At(h, 7500, [](FakeHost& h) { h.rows[0].status = "Downloading"; });
     At(h, 12500, [](FakeHost& h) { h.rows[0].status = "Searching"; })),
     20000, "cyc cmd", "| 61244 32986 | 61244 32986 | 61244 32986 | 61242 61244 32986"},
    {"NumScanItems 3: three rows, skipped ones too", {{"r1", "Completed"}, {"r2", "Paused"}, {"r3", "Failed"}, kP},
     SET(s.NumScanItems = 3), 9500, "last sel", "last:r1 last:r2 sel:r2 last:r3 last:-"},
    {"keep range pauses while the count is above the maximum", {kD, kD, kD, kD, kD}, SET(s.KeepDownloads = 1), 12500,
     "cmd act", "61242 above4 32986 accel 32986 accel 32986 accel 32986 accel -"},
    {"keep range resumes below the minimum and skips inside the range", {kP, kP, kQ}, SET(s.KeepDownloads = 1), 8500,
     "cmd act", "61244 32986 below2 61244 32986 below2 inRange -"},
    {"Searching, Connecting count", {kS, kC, kD, kD}, SET(s.KeepDownloads = 1, s.NumDownloadsMax = 2), 4500, "cmd", "61242"},
    {"NoSearchingConnecting leaves them out of the count", {kS, kC, kD, kD},
     SET(s.KeepDownloads = s.NoSearchingConnecting = 1, s.NumDownloadsMax = 2), 4500, "cmd", "32986"},
    {"NoSearchingConnecting still pauses a Searching row above the maximum", {kS, kD, kD, kD},
     SET(s.KeepDownloads = s.NoSearchingConnecting = 1, s.NumDownloadsMax = 2), 4500, "cmd", "61242"},
    {"speed above the minimum skips (its text)", {{"f", "Downloading", " 12.5 KB/s"}, {"g", "Downloading", "12.05"}},
     SET(s.SkipBySpeed = 1, s.MinSpeed = 1205), 5500, "act", "faster12.05 accel -"},
    {"countdown shows CyclesDelay - 1 down to 0; a stop in a cycle ends it", {kDone}, SET(), 8500, "@ next",
     "run@0 next0@4000 run@4000 next2@6000 next1@7000 next0@8000 run@8000 inactive@10000"},
    {"status words for the tray; a stop in the countdown is noticed within a second", {kDone},
     SET(s.CyclesDelay = 45), 12345, "@ st was", "st3@0 was1@0 st1@4000 st3@5000 was0@13000 st2@13000"},
    {"a stop during a cycle still sends the clear commands", {kP, kQ}, SET(s.ClearUploads = s.ClearDownloads = 1),
     4500, "sel cmd", "sel:p 61244 32986 32917 32880"},
    {"a stop asked before the thread starts is kept", {kP}, SET(), -1, "@ st cmd", "st3@0 st2@0"},
    {"an unreadable row ends the walk; the next cycle goes on", {{"a", "Paused"}, {"b", "Paused"}, {"c", "Paused"}},
     SET(At(h, 4500, [](FakeHost& h) { h.rows[1].gone = true; }); At(h, 8500, [](FakeHost& h) { h.rows[1].gone = false; })),
     13500, "cyc sel", "| sel:a | sel:a sel:b sel:c"},
    {"cells are located anew for every row", {kDone, kP}, SET(At(h, 4500, [](FakeHost& h) { h.swapped = true; })),
     6500, "last sel", "last:done last:p sel:p last:-"},
    {"a stop while a bulk command holds the gate ends the walk at once", {kP}, SET(h.gateMs = 300), 4100, "sel", ""},
    {"without SearchResume Searching is accelerated", {kS}, SET(s.TimesInSearchState = 1), 4500, "cmd", "61244 32986"},
    {"without ItemDelay an action still waits a second", {kP, kQ}, SET(s.ItemDelay = 0), 5500, "@ sel",
     "sel:p@4000 sel:q@5000"},
    // A row the list will not select gets no text and no command, and ends the walk.
    {"refused select: accelerate, then re-search", {{"!s", "Searching"}, kQ}, SET(s.SearchResume = 1,
     s.TimesInSearchState = 2), 8500, "cyc sel cmd act", "| sel:!s | sel:!s -"},
    {"refused select: above the maximum, then below the minimum", {{"!d", "Downloading"}, kD}, SET(s.KeepDownloads = 1,
     s.NumDownloadsMax = 1; At(h, 6000, [](FakeHost& h) { h.rows[0].status = h.rows[1].status = "Paused"; })), 8500,
     "cyc sel cmd act", "| sel:!d | sel:!d -"},
};
#undef SET

TEST(AcceleratorEngine, ScenariosOverAFakeListAndClock) {
  for (const Scenario& row : kScenarios) {
    FakeHost host;
    host.rows = row.rows, host.kinds = row.kinds, host.timed = host.kinds.find('@') != std::string::npos;
    AcceleratorSettings s;  // plain settings; the engine runs what it is given, so a short 3 s cycle delay
    s.CyclesDelay = 3, s.ItemDelay = 2, s.TimesInSearchState = 4, s.NumDownloadsMin = 2, s.NumDownloadsMax = 4;
    row.tweak(s, host);
    if (row.stopAt < 0) host.words.control = kAcceleratorStopRequested;
    else host.schedule.emplace(row.stopAt, [](FakeHost& h) { h.words.control = kAcceleratorStopRequested; });
    AcceleratorEngine(host, host, s, host.words).Run();
    EXPECT_EQ(host.trace, row.expected) << row.name;
    EXPECT_EQ(std::vector<uint32_t>({host.words.control, host.words.wasOn, host.words.status}),
              std::vector<uint32_t>({kAcceleratorStopped, 0, kAcceleratorDisabled})) << row.name;
  }
}

// However long the list, with the keep range on or off, a cycle costs at most four
// messages to the host per row and a few more: a walk of the list for each row (to
// find it, or to count the active downloads) would cost hundreds per row at 1000.
TEST(AcceleratorEngine, MessagesToTheHostGrowLinearlyWithTheList) {
  for (const size_t n : {10, 100, 1000}) {
    for (const uint32_t keep : {0, 1}) {
      FakeHost host;
      host.kinds = "cyc";
      for (size_t i = 0; i < n; ++i) host.rows.push_back(std::vector<Row>{kD, kP, kS, kQ, kC, kDone}[i % 6]);
      AcceleratorSettings s;
      s.KeepDownloads = keep, s.SearchResume = 1, s.TimesInSearchState = 1, s.ItemDelay = 0;
      host.schedule.emplace(5000 + 2000 * n, [](FakeHost& h) { h.words.control = kAcceleratorStopRequested; });
      AcceleratorEngine(host, host, s, host.words).Run();
      const size_t cycles = std::count(host.trace.begin(), host.trace.end(), '|');
      EXPECT_GE(cycles, 1u);
      EXPECT_LE(host.messages, cycles * (4 * n + 8) + 2 * s.CyclesDelay) << n << " rows, keep range " << keep;
    }
  }
}

// Bulk commands act on the rows in the state named (all rows when asked), in order;
// a row the list refuses to select ends the walk without a command.
TEST(DownloadBulkCommand, MatchingRowsInOrderAndARefusedSelectEndsTheWalk) {
  const std::tuple<std::vector<Row>, bool, int, std::string> cases[] = {
      {{kP, kQ, {"r", "Paused"}}, false, 2, "sel:p 61244 sel:r 61244"}, {{kP, kQ}, true, 2, "sel:p 61244 sel:q 61244"},
      {{kQ, kP, {"!x", "Paused"}, {"y", "Paused"}}, false, 1, "sel:p 61244 sel:!x"}, {{{"!q", "Queued"}, kP}, true, 0, "sel:!q"}};
  for (const auto& [rows, all, acted, expected] : cases) {
    FakeHost host;
    host.rows = rows, host.kinds = "sel cmd";
    EXPECT_EQ(RunBulkCommand(host, kHostResumeDownload, all, "Paused"), acted) << expected;
    EXPECT_EQ(host.trace, expected);
  }
}

using F = AcceleratorField;

// Loads a record from the stored values (every other one missing; SkipPaused and
// MinSpeed were set before) and gives "Name=value" of the fields `expected` names.
TEST(AcceleratorSettingsLoad, RangesDefaultsAndFlagRules) {
  const std::pair<std::map<F, uint32_t>, std::string> rows[] = {
      {{}, "CyclesDelay=45 ItemDelay=2 SkipPaused=1 TimesInSearchState=4 NumDownloadsMax=4 NumDownloadsMin=2 MinSpeed=777"},
      {{{F::CyclesDelay, 0x80000000}, {F::ItemDelay, 0xFFFFFFFF}, {F::TimesInSearchState, 9}, {F::NumDownloadsMax, 0}},
       "CyclesDelay=600 ItemDelay=600 TimesInSearchState=8 NumDownloadsMax=1 NumDownloadsMin=1"},
      {{{F::CyclesDelay, 5}, {F::NumDownloadsMax, 3}, {F::NumDownloadsMin, 0xFFFFFFFE}}, "CyclesDelay=30 NumDownloadsMin=3"},
      {{{F::SkipQueued, 0x101}, {F::KeepDownloads, 0x200}, {F::MinSpeed, 0xFFFFFFFF}, {F::NumScanItems, 12345}},
       "SkipPaused=1 SkipQueued=1 KeepDownloads=0 MinSpeed=4294967295 NumScanItems=12345"},
      {{{F::SkipQueued, 1}, {F::KeepDownloads, 1}}, "SkipPaused=0 SkipQueued=0 KeepDownloads=1"},
  };
  for (const auto& [stored, expected] : rows) {
    AcceleratorSettings s;
    s.SkipPaused = 1, s.MinSpeed = 777;
    for (int i = 0; i < kAcceleratorFieldCount; ++i) {  // in the store's order
      const auto found = stored.find(static_cast<F>(i));
      ApplyLoadedAcceleratorValue(s, static_cast<F>(i), found != stored.end(), found != stored.end() ? found->second : 0);
    }
    std::string out;
    for (int i = 0; i < kAcceleratorFieldCount; ++i) {
      const std::string name = AcceleratorFieldName(static_cast<F>(i)) + std::string("=");
      if (expected.find(name) != std::string::npos) out += name + std::to_string(AcceleratorFieldValue(s, F(i))) + " ";
    }
    EXPECT_EQ(out, expected + " ");
  }
}

TEST(DownloadRows, StatesSpeedsAndColumnOrder) {
  // The match is exact; a state name the host could not give matches no row.
  // Speed cells against a minimum in hundredths: exact decimals; no number or a
  // negative one is never above; a huge one always is.
  EXPECT_EQ(std::vector<bool>({IsState("Paused", "Paused"), IsState("paused", "Paused"), IsState("Paused ", "Paused"),
                               IsState("", ""), SpeedAbove("12.501", 1250), SpeedAbove("0.07", 7), SpeedAbove("KB/s", 0),
                               SpeedAbove("-3", 0), SpeedAbove("99999999999999999999999", 4294967295u)}),
            std::vector<bool>({true, false, false, false, true, false, false, false, true}));

  // The value's name is the column (leading digits, absurd ones capped so that the
  // cell number cannot overflow), its data the type; unknown types are ignored.
  DownloadColumnMap map;
  for (const auto& [name, type] : std::vector<std::pair<const char*, uint32_t>>{
           {"2", 0}, {"12abc", 7}, {"4294967296", 8}, {"99999999999", 4}, {"5", 99}})
    ApplyDownloadOrderValue(map, name, type);
  EXPECT_EQ(std::vector<int>({map.titleColumn, map.statusColumn, map.speedColumn, map.fileNameColumn}),
            std::vector<int>({2, 0xFFFF, 12, 0xFFFF}));
}

// The fourth of four dragged onto the second (the first onto the third is the host
// scenario's drag), buttons (the ends stay), and the host's sort taking the record's
// order, with a row the record does not know last.
TEST(DownloadOrder, DragsButtonsAndTheHostSort) {
  DownloadOrder order;
  for (uintptr_t n = 1; n <= 4; ++n) AddToOrder(order, n, std::to_string(n));
  EXPECT_TRUE(MoveByDrag(order, 3, 1));
  EXPECT_FALSE(MoveByDrag(order, 4, 0));
  std::string titles;  // each with its item data: they travel together
  EXPECT_EQ(std::vector<size_t>({MoveByButton(order, 0, -1), MoveByButton(order, 3, +1), MoveByButton(order, 1, +1)}),
            std::vector<size_t>({0, 3, 2}));
  for (size_t i = 0; i < 4; ++i) titles += order.titles[i] + std::to_string(order.rowData[i]) + ",";
  EXPECT_EQ(titles, "11,22,44,33,");
  std::vector<uintptr_t> hostRows = {4, 3, 9, 2, 1};
  std::sort(hostRows.begin(), hostRows.end(), [&](auto a, auto b) { return CompareOrderPositions(order, a, b) < 0; });
  EXPECT_EQ(hostRows, (std::vector<uintptr_t>{1, 2, 4, 3, 9}));
}

}  // namespace
}  // namespace va
