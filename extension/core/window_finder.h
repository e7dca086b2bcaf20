// window_finder: the passes that wait for the host's Search, Traffic and library
// windows, over a small port so tests drive them without a thread or a clock.
// The thread and the real port are in window_finder_win.cpp. Portable.
#pragma once
#include <cstdint>

namespace va {

enum class HostView { Search = 0, Traffic = 1, Library = 2 };
inline constexpr int kHostViewCount = 3;
// A missing Search or Traffic window is asked for in the first pass and then in
// every ninth pass.
inline constexpr int kForcePassCycle = 9;

class FinderPort {
 public:
  virtual ~FinderPort() = default;
  // Looks for the window and, when it is there, hooks it; true when found.
  virtual bool FindAndHook(HostView view) = 0;
  virtual void PostHostCommand(int command) = 0;
  // Settings are read anew in every pass.
  virtual bool ForceCreation() = 0;
  virtual uint32_t IniTab() = 0;
  // Waits one second before the next pass; false stops the finder.
  virtual bool WaitForNextPass() = 0;
};

struct FinderState {
  bool found[kHostViewCount] = {false, false, false};
  int passCounter[2] = {0, 0};  // Search, Traffic
  int passes = 0;
  bool showStartView = true;  // false when only a re-created window is looked for
};

// The command that shows the start view chosen by IniTab, or 0 for none.
int StartViewCommand(uint32_t iniTab);
// One pass; true when all three windows are known (the start view was posted).
bool RunFinderPass(FinderPort& port, FinderState& state);
// Passes until all three windows are known or the port says stop.
void RunWindowFinder(FinderPort& port, FinderState& state);

}  // namespace va
