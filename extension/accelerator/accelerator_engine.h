// accelerator_engine: the accelerator's cycle and row loops and decision rules,
// written over small ports (download list, clock and gate, status page, tray) so
// that a test drives many cycles with a fake clock. Portable core: the thread
// that binds the real host is accelerator_win.cpp.
#pragma once
#include <array>
#include <atomic>
#include <cstdint>
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

// The host's download list as the engine reads it. Items and item data are
// opaque machine words; 0 means none.
class DownloadListPort {
 public:
  virtual ~DownloadListPort() = default;
  virtual void Attach() {}  // takes the list control at thread start
  virtual uintptr_t First() = 0;
  virtual uintptr_t Next(uintptr_t item) = 0;
  virtual uintptr_t Data(uintptr_t item) = 0;
  // Copies the row text that `data` points to; false when it cannot be read (the
  // host removed the row meanwhile), which ends the walk like item data 0.
  virtual bool RowText(uintptr_t data, std::string& text) = 0;
  // The cell number of the column in the row text, asked anew for every row.
  virtual int CellNumber(DownloadColumn column) = 0;
  // Selects the row; false when it is no longer listed. The host applies its
  // commands to the selected row, so no command follows a failed select.
  virtual bool Select(uintptr_t item) = 0;
  virtual void Command(uint16_t id) = 0;
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
  // Active downloads in the whole list (counted afresh for every use).
  uint32_t CountActiveDownloads();

  const SearchingMemory& searching() const { return searching_; }

 private:
  enum class Outcome { Skip, Action, ActionAtLeastOneSecond, EndOfList };

  bool StopRequested() const;
  bool SleepSteps(uint32_t seconds);  // false when a stop came during the wait
  void SetStatus(uint32_t status);
  void ShowAction(int stringId, uint32_t number = 0, bool withNumber = false);
  void RunCycle();
  void EndCycle();
  Outcome HandleRow(uintptr_t item, uintptr_t data);
  Outcome KeepRange(uintptr_t item, std::string_view status);
  bool Is(std::string_view cell, DownloadState state) const;
  void Exit();

  DownloadListPort& list_;
  AcceleratorHostPort& host_;
  const AcceleratorSettings& settings_;
  AcceleratorWords& words_;
  std::array<std::string, kDownloadStateCount> names_;
  SearchingMemory searching_;
  int64_t countdown_ = 0;
};

}  // namespace va
