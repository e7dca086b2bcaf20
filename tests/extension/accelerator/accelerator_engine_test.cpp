// The accelerator engine's real cycle and row loops over a fake download list and a
// fake clock: each scenario runs minutes of cycles in microseconds and compares, in
// order, what the host saw.
#include "extension/accelerator/accelerator_engine.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "extension/resources/resource.h"

namespace va {
namespace {

struct Row {
  std::string title, status, speed = "0";
  bool gone = false;  // removed by the host: its text can no longer be read
};

// Records the events of the kinds a scenario watches, "what" or "what@ms": sel:<title>,
// cmd (the number), act / next (the texts), last:<title>, st<status word>, cyc ("|"
// when a cycle starts), was<0|1>.
class FakeHost : public DownloadListPort, public AcceleratorHostPort {
 public:
  std::vector<Row> rows;
  std::multimap<int64_t, std::function<void(FakeHost&)>> schedule;
  std::string kinds, trace;
  bool timed = false, reacts = true, swapped = false;  // swapped: status cell before title
  int64_t now = 0, gateMs = 0;
  AcceleratorWords words;

  uintptr_t First() override { return rows.empty() ? 0 : 1; }
  uintptr_t Next(uintptr_t item) override { return item < rows.size() ? item + 1 : 0; }
  uintptr_t Data(uintptr_t item) override { return item * 16; }
  bool RowText(uintptr_t data, std::string& text) override {
    const Row& r = rows.at(data / 16 - 1);
    text = (swapped ? r.status + "\xB6" + r.title : r.title + "\xB6" + r.status) + "\xB6" + r.speed;
    return !r.gone;
  }
  int CellNumber(DownloadColumn c) override {
    if (c == DownloadColumn::Title) return swapped ? 2 : 1;
    if (c == DownloadColumn::Status) return swapped ? 1 : 2;
    return c == DownloadColumn::Speed ? 3 : 9;
  }
  bool Select(uintptr_t item) override {
    selected_ = item, Log("sel", "sel:" + rows.at(item - 1).title);
    return true;
  }
  void Command(uint16_t id) override {  // pause and resume change the selected row as the host does
    Log("cmd", std::to_string(id));
    if (selected_ == 0) return;
    std::string& status = rows.at(selected_ - 1).status;
    if (reacts && id == kHostPauseDownload) status = "Paused";
    if (reacts && id == kHostResumeDownload && (status == "Paused" || status == "Queued")) status = "Downloading";
  }
  std::string StateName(DownloadState s) override {
    static const char* const names[] = {"Queued",    "Paused",    "Connecting", "Downloading", "More sources needed",
                                        "Searching", "Completed", "Cancelled",  "Failed",      "Remotely queued"};
    return names[static_cast<int>(s)];
  }
  void Sleep(uint32_t ms) override {
    EXPECT_TRUE(ms == 1000 || ms == 500) << ms;
    Pass(ms);
    if (now > 1'000'000) words.control = kAcceleratorStopRequested;  // never loops forever
  }
  void WaitGate() override { Pass(gateMs); }  // a bulk command may hold the gate a while
  void Pass(int64_t ms) {  // time passes; the host's scheduled changes happen
    now += ms;
    while (!schedule.empty() && schedule.begin()->first <= now) {
      auto action = schedule.begin()->second;
      schedule.erase(schedule.begin());
      action(*this);
    }
  }
  void ShowText(int control, const std::string& text) override {
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

 private:
  void Log(const std::string& kind, const std::string& what) {
    if ((" " + kinds + " ").find(" " + kind + " ") == std::string::npos) return;
    trace += (trace.empty() ? "" : " ") + what + (timed ? "@" + std::to_string(now) : "");
  }
  uintptr_t selected_ = 0;
};

using Tweak = std::function<void(AcceleratorSettings&, FakeHost&)>;
struct Scenario {
  const char* name;
  std::vector<Row> rows;
  Tweak tweak;     // settings and scheduled host changes, on top of the plain settings
  int64_t stopAt;  // ms after the thread's start (the first cycle starts at 4000); -1: before it starts
  const char* kinds;
  bool timed;
  const char* expected;
};

const Row kDone{"done", "Completed"}, kP{"p", "Paused"}, kQ{"q", "Queued"}, kD{"d", "Downloading"}, kS{"s", "Searching"};
const Tweak kPlain = [](AcceleratorSettings&, FakeHost&) {};
#define SET(...) [](AcceleratorSettings& s, FakeHost& h) { (void)s, (void)h; __VA_ARGS__; }
void At(FakeHost& h, int64_t ms, std::function<void(FakeHost&)> change) { h.schedule.emplace(ms, change); }

const Scenario kScenarios[] = {
    {"paused row resumed and accelerated, finished rows left; skips wait 1 s, actions ItemDelay",
     {kDone, kP, {"c", "Cancelled"}, {"f", "Failed"}}, kPlain, 8500, "sel cmd act", true,
     "skipCompleted@4000 sel:p@5000 accel@5000 61244@5000 32986@5000 skipCancelled@7000 skipFailed@8000 -@10000"},
    {"SkipPaused and SkipQueued", {kP, kQ, kD}, SET(s.SkipPaused = s.SkipQueued = 1), 6500, "sel act", false,
     "skipPaused skipQueued sel:d accel -"},
    {"Searching paused and resumed in cycle 4, then counted anew", {kS}, SET(s.SearchResume = 1, h.reacts = false),
     41000, "cyc cmd act", false, "| accel 61244 32986 | accel 61244 32986 | accel 61244 32986 | research4 61242 "
     "61244 32986 | accel 61244 32986 | accel 61244 32986 | accel 61244 32986 | research4 61242 61244 32986 -"},
    {"Searching pause lasts half a second", {kS}, SET(s.SearchResume = s.TimesInSearchState = 1, h.reacts = false),
     4700, "cmd act", true, "research1@4000 61242@4000 61244@4500 32986@4500 -@6500"},
    {"Searching, Downloading, Searching counts 1 again", {kS}, SET(s.SearchResume = 1, s.TimesInSearchState = 2;
     At(h, 7500, [](FakeHost& h) { h.rows[0].status = "Downloading"; });
     At(h, 12500, [](FakeHost& h) { h.rows[0].status = "Searching"; })),
     20000, "cyc cmd", false, "| 61244 32986 | 61244 32986 | 61244 32986 | 61242 61244 32986"},
    {"NumScanItems 3 handles three rows, skipped ones included", {{"r1", "Completed"}, {"r2", "Paused"},
     {"r3", "Failed"}, {"r4", "Paused"}}, SET(s.NumScanItems = 3), 9500, "last sel", false,
     "last:r1 last:r2 sel:r2 last:r3 last:-"},
    {"keep range pauses while the count is above the maximum", {kD, kD, kD, kD, kD}, SET(s.KeepDownloads = 1), 12500,
     "cmd act", false, "61242 above4 32986 accel 32986 accel 32986 accel 32986 accel -"},
    {"keep range resumes below the minimum and skips inside the range", {kP, kP, kQ}, SET(s.KeepDownloads = 1), 8500,
     "cmd act", false, "61244 32986 below2 61244 32986 below2 inRange -"},
    {"Searching and Connecting rows count", {kS, {"c", "Connecting"}, kD, kD},
     SET(s.KeepDownloads = 1, s.NumDownloadsMax = 2), 4500, "cmd", false, "61242"},
    {"NoSearchingConnecting leaves them out of the count", {kS, {"c", "Connecting"}, kD, kD},
     SET(s.KeepDownloads = s.NoSearchingConnecting = 1, s.NumDownloadsMax = 2), 4500, "cmd", false, "32986"},
    {"NoSearchingConnecting still pauses a Searching row above the maximum", {kS, kD, kD, kD},
     SET(s.KeepDownloads = s.NoSearchingConnecting = 1, s.NumDownloadsMax = 2), 4500, "cmd", false, "61242"},
    {"speed equal to the minimum is not above it", {{"f", "Downloading", " 12.5 KB/s"}},
     SET(s.SkipBySpeed = 1, s.MinSpeed = 1250), 4500, "act", false, "accel -"},
    {"speed above the minimum skips with its text", {{"f", "Downloading", " 12.5 KB/s"}},
     SET(s.SkipBySpeed = 1, s.MinSpeed = 1249), 4500, "act", false, "faster12.49 -"},
    {"speed text keeps two digits", {{"f", "Downloading", "0.07 KB/s"}}, SET(s.SkipBySpeed = 1, s.MinSpeed = 5),
     4500, "act", false, "faster0.05 -"},
    {"countdown shows CyclesDelay - 1 down to 0; a stop in a cycle ends it", {kDone}, kPlain, 8500, "next", true,
     "run@0 next0@4000 run@4000 next2@6000 next1@7000 next0@8000 run@8000 inactive@10000"},
    {"status words for the tray; a stop in the countdown is noticed within a second", {kDone},
     SET(s.CyclesDelay = 45), 12345, "st was", true, "st3@0 was1@0 st1@4000 st3@5000 was0@13000 st2@13000"},
    {"a stop during a cycle still sends the clear commands", {kP, kQ}, SET(s.ClearUploads = s.ClearDownloads = 1),
     4500, "sel cmd", false, "sel:p 61244 32986 32917 32880"},
    {"a stop asked before the thread starts is kept", {kP}, kPlain, -1, "st cmd", true, "st3@0 st2@0"},
    {"an unreadable row ends the walk; the next cycle goes on", {{"a", "Paused"}, {"b", "Paused"}, {"c", "Paused"}},
     SET(At(h, 4500, [](FakeHost& h) { h.rows[1].gone = true; }); At(h, 8500, [](FakeHost& h) { h.rows[1].gone = false; })),
     13500, "cyc sel", false, "| sel:a | sel:a sel:b sel:c"},
    {"cells are located anew for every row", {kDone, kP}, SET(At(h, 4500, [](FakeHost& h) { h.swapped = true; })),
     6500, "last sel", false, "last:done last:p sel:p last:-"},
    {"a stop while a bulk command holds the gate ends the walk at once", {kP}, SET(h.gateMs = 300), 4100, "sel cmd",
     false, ""},
    {"without SearchResume a Searching row is only accelerated", {kS}, SET(s.TimesInSearchState = 1), 4500, "cmd",
     false, "61244 32986"},
    {"without ItemDelay an action still waits a second", {kP, kQ}, SET(s.ItemDelay = 0), 5500, "sel", true,
     "sel:p@4000 sel:q@5000"},
};
#undef SET

TEST(AcceleratorEngine, ScenariosOverAFakeListAndClock) {
  for (const Scenario& row : kScenarios) {
    FakeHost host;
    host.rows = row.rows;
    host.kinds = row.kinds;
    host.timed = row.timed;
    AcceleratorSettings s;  // plain settings; the engine runs what it is given, so a short 3 s cycle delay
    s.CyclesDelay = 3, s.ItemDelay = 2, s.TimesInSearchState = 4, s.NumDownloadsMin = 2, s.NumDownloadsMax = 4;
    row.tweak(s, host);
    if (row.stopAt < 0) host.words.control = kAcceleratorStopRequested;
    else host.schedule.emplace(row.stopAt, [](FakeHost& h) { h.words.control = kAcceleratorStopRequested; });
    AcceleratorEngine(host, host, s, host.words).Run();
    EXPECT_EQ(host.trace, row.expected) << row.name;
    EXPECT_EQ(host.words.control.load(), kAcceleratorStopped) << row.name;
    EXPECT_EQ(host.words.wasOn.load(), 0) << row.name;
    EXPECT_EQ(host.words.status.load(), kAcceleratorDisabled) << row.name;
  }
}

}  // namespace
}  // namespace va
