// auto_search: Auto Search More's counting and ending rules, written over small
// ports (clock, host buttons, status bar, result count, status page, panel) so a
// test drives minutes of pressing with a fake clock. Portable core: the thread
// that binds the real host and windows is auto_search_win.cpp.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>

namespace va {

// AutoSearchState values.
inline constexpr uint32_t kAutoSearchIdle = 0;
inline constexpr uint32_t kAutoSearchRunning = 1;
inline constexpr uint32_t kAutoSearchStopRequested = 3;

// Units of the limit (AutoSearchMoreUnit), in the order of the unit combo box.
inline constexpr uint32_t kUnitNoLimit = 0;
inline constexpr uint32_t kUnitMinutes = 1;
inline constexpr uint32_t kUnitTimes = 2;
inline constexpr uint32_t kUnitResults = 3;
inline constexpr uint32_t kUnitCount = 4;

// One pass of the loop waits this long; 40 passes make a minute.
inline constexpr uint32_t kAutoSearchStepMs = 1500;
inline constexpr uint32_t kStepsPerMinute = 40;
// The status page's progress bar runs from 0 to this.
inline constexpr uint32_t kAutoSearchProgressRange = 10000;

// Status page controls the thread writes (page 301).
inline constexpr int kAutoSearchStateControl = 1043;
inline constexpr int kAutoSearchTextControl = 1044;
inline constexpr int kPreventionStateControl = 1045;

// Host strings: the status-bar texts for "not connected" and "connecting".
inline constexpr int kHostStringNotConnected = 36083;
inline constexpr int kHostStringConnecting = 36007;

// The process-wide AutoSearchState: written 0 and 1 by the thread (and by its
// starter), 3 by the search form and the main window on the UI thread.
extern std::atomic<uint32_t> AutoSearchState;

// Moves `state` from idle to running; false when a run is already going on.
bool ClaimAutoSearch(std::atomic<uint32_t>& state);
// A running Auto Search More is asked to stop (1 becomes 3; other values stay).
// True when a run was asked.
bool RequestAutoSearchStop(std::atomic<uint32_t>& state);

// Everything the thread reads or changes.
class AutoSearchPort {
 public:
  virtual ~AutoSearchPort() = default;
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual bool SkinActive() = 0;                   // CurrentSkin is not empty
  virtual std::string HostText(int stringId) = 0;  // the host's string table
  virtual std::string Text(int stringId) = 0;      // the module's string table
  virtual bool SearchButtonActive() = 0;           // 1238 visible and enabled
  virtual bool SearchMoreEnabled() = 0;            // 1245 enabled
  virtual void PressSearchMore() = 0;              // WM_COMMAND 1245 to the Search window
  virtual std::string ConnectionText() = 0;        // pane 2 of the host's status bar
  virtual uint32_t ResultCount() = 0;              // items of the results list
  virtual void ShowText(int control, const std::string& text) = 0;
  virtual void ShowProgress(uint32_t value) = 0;
  virtual void Beep() = 0;
  // Start: the panel's check box, number and unit are disabled. End: the check
  // box is enabled again and acts as if clicked, which restores the other two.
  virtual void PanelRunning(bool running) = 0;
};

// The limit and its unit, taken when the run starts.
struct AutoSearchLimit {
  uint32_t number = 0;
  uint32_t unit = kUnitNoLimit;
};

// Why a run ended (for tests and the record; the user sees only the texts).
enum class AutoSearchEnd { LimitReached, StopRequested, SearchEnded, NotConnected };

// Drops the periods at the end of a text ("Connecting..." reads "Connecting").
std::string_view WithoutTrailingPeriods(std::string_view text);

// 10000 times part divided by whole, truncated, at most 10000; 0 for a whole of 0.
uint32_t ProgressValue(uint64_t part, uint64_t whole);

class AutoSearchEngine {
 public:
  AutoSearchEngine(AutoSearchPort& port, AutoSearchLimit limit, std::atomic<uint32_t>& state);

  // The thread body, from the start texts to the end texts. The caller has
  // already moved the state to running (ClaimAutoSearch).
  AutoSearchEnd Run();

  uint32_t presses() const { return presses_; }

 private:
  void Start();
  // The counting rule of the unit; true when the limit is reached.
  bool CountAndCheckLimit();
  // The pressing rule; false when the run ends (not connected).
  bool MaybePress();
  void ShowUnitText(int stringId, std::string_view placeholder, uint64_t value);
  void Finish();

  AutoSearchPort& port_;
  const AutoSearchLimit limit_;
  std::atomic<uint32_t>& state_;
  bool prevention_ = true;
  std::string notConnected_, connecting_;
  uint64_t ticks_ = 0;
  uint32_t presses_ = 0, shownPresses_ = 0;
  uint32_t shownResults_ = 0;
};

}  // namespace va
