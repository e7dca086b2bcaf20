// accelerator_engine: the accelerator's cycle and row loops and decision rules,
// written over small ports (download list, clock and gate, status page, tray) so
// that a test drives many cycles with a fake clock. Portable core: the thread
// that binds the real host is accelerator_win.cpp.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "extension/accelerator/accelerator_settings.h"
#include "extension/accelerator/download_states.h"
#include "extension/hostui/tray_rules.h"

namespace va {

// AcceleratorControl values.
inline constexpr uint32_t kAcceleratorStopped = 0;
inline constexpr uint32_t kAcceleratorActive = 1;
inline constexpr uint32_t kAcceleratorStopRequested = 3;
// AcceleratorStatus values (kAcceleratorRunning, kAcceleratorDisabled,
// kAcceleratorIdle; 0 before the first start reads like Disabled) are the tray's.

// The process-wide words shared by the accelerator thread and the UI thread.
struct AcceleratorWords {
  std::atomic<uint32_t> control{kAcceleratorStopped};
  std::atomic<uint32_t> status{0};
  std::atomic<uint8_t> wasOn{0};
};
extern AcceleratorWords AcceleratorShared;

// Host commands the accelerator sends for the selected download or the lists.
inline constexpr uint16_t kHostPauseDownload = 61242;
inline constexpr uint16_t kHostResumeDownload = 61244;
inline constexpr uint16_t kHostAccelerateDownload = 32986;
inline constexpr uint16_t kHostClearUploads = 32917;
inline constexpr uint16_t kHostClearDownloads = 32880;

// One row of the download list as a pass over it found it. Items and item data
// are opaque machine words; 0 means none.
struct ListedRow {
  uintptr_t item = 0;
  uintptr_t data = 0;
};
// The cell number of each DownloadColumn in a row text, in the enum's order.
using CellNumbers = std::array<int, kDownloadColumnCount>;

// The host's download list as the engine reads it. Every call but PeekText and
// StateName is one message to the host's UI thread, so a cycle costs a constant
// number of calls per row: one pass, then one read and at most two actions a row.
class DownloadListPort {
 public:
  virtual ~DownloadListPort() = default;
  virtual void Attach() {}  // takes the list control at thread start
  // The top-level rows in order, up to the first without item data, and the
  // cell numbers of the columns at that moment.
  virtual void ReadRows(std::vector<ListedRow>& rows, CellNumbers& cells) = 0;
  // The row's text and the cell numbers of its columns as they are now (the user
  // may move columns at any time), in one step with the check that the row is
  // still listed with its data; false when it is not or its text cannot be read
  // (the host removed the row meanwhile), which ends the walk.
  virtual bool ReadRow(const ListedRow& row, std::string& text, CellNumbers& cells) = 0;
  // The row text behind item data, read without asking the host (for counting).
  virtual bool PeekText(uintptr_t data, std::string& text) = 0;
  // Selects the row, runs `beforeCommands` (when given) and sends the host's
  // commands, all in one step on the host's UI thread, so that no click of the
  // user comes between; false, and no command, when the row is no longer listed
  // with its data. With `restoreSelection` the row the user had selected (or
  // none) is selected again afterwards, so the user's own commands keep theirs.
  virtual bool Act(const ListedRow& row, std::initializer_list<uint16_t> commands, bool restoreSelection,
                   const std::function<void()>& beforeCommands = nullptr) = 0;
  virtual void Command(uint16_t id) = 0;  // a command for the whole list
  virtual std::string StateName(DownloadState state) = 0;
};

// Everything else the thread touches: time, the gate, the status page, the tray.
class AcceleratorHostPort {
 public:
  virtual ~AcceleratorHostPort() = default;
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual void WaitGate() = 0;
  virtual void ShowText(int control, const std::string& text) = 0;
  virtual void StatusChanged() = 0;  // the tray icon redraws its square
  virtual void RememberRunning(bool) {}  // AcceleratorWasOn for the next start of the host
  virtual std::string Text(int stringId) = 0;  // the module's string table
};

// Downloads seen in Searching state in consecutive cycles.
class SearchingMemory {
 public:
  // Finds or appends the item, counts this cycle and marks it seen; returns the count.
  uint32_t Count(uintptr_t item);
  void Forget(uintptr_t item);
  // End of a cycle: forget what was not seen, clear the seen marks of the rest.
  void EndCycle();
  size_t size() const { return entries_.size(); }

 private:
  struct Entry {
    uintptr_t item;
    uint32_t count;
    uint8_t seen;
  };
  std::vector<Entry> entries_;
};

// Replaces every `name` (e.g. "%NUM%") in `text` by `value`.
std::string ReplacePlaceholder(std::string_view text, std::string_view name, std::string_view value);

// A speed in hundredths of KB/s as "h div 100" "." "h mod 100" in two digits.
std::string FormatSpeedHundredths(uint32_t hundredths);

// The speed rule: the number at the start of the speed cell (leading blanks
// skipped, none reads as 0), times 100, compared exactly with `minSpeed`.
bool SpeedAbove(std::string_view speedCell, uint32_t minSpeed);

class AcceleratorEngine {
 public:
  AcceleratorEngine(DownloadListPort& list, AcceleratorHostPort& host, const AcceleratorSettings& settings,
                    AcceleratorWords& words);

  // The thread body: start, cycles until a stop is requested, exit.
  void Run();

  // Loads the state names from the list port (done by Run at thread start).
  void LoadStateNames();
  const SearchingMemory& searching() const { return searching_; }

 private:
  enum class Outcome { Skip, Action, ActionAtLeastOneSecond, EndOfList };

  bool StopRequested() const;
  bool SleepSteps(uint32_t seconds);  // false when a stop came during the wait
  void SetStatus(uint32_t status);
  void ShowAction(int stringId, uint32_t number = 0, bool withNumber = false);
  void RunCycle();
  void EndCycle();
  Outcome HandleRow(size_t index);
  Outcome KeepRange(size_t index, std::string_view status);
  bool Is(std::string_view cell, DownloadState state) const;
  // The keep range's count of active downloads: taken from the cycle's pass and
  // kept current with every row the cycle reads or changes.
  bool CountsAsActive(std::string_view status) const;
  void CountActiveInPass();
  void NoteRowStatus(size_t index, std::string_view status);
  void NoteRowAfterCommands(size_t index);
  void Exit();

  DownloadListPort& list_;
  AcceleratorHostPort& host_;
  const AcceleratorSettings& settings_;
  AcceleratorWords& words_;
  std::array<std::string, kDownloadStateCount> names_;
  SearchingMemory searching_;
  int64_t countdown_ = 0;
  std::vector<ListedRow> rows_;   // the cycle's pass
  CellNumbers cells_{};           // as read with the current row
  std::vector<uint8_t> active_;   // per row of the pass: counted as active
  uint32_t activeCount_ = 0;
};

}  // namespace va
