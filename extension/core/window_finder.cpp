// window_finder: pass logic of the host window finder.
#include "extension/core/window_finder.h"

#include "extension/core/host_ids.h"

namespace va {

int StartViewCommand(uint32_t iniTab) {
  switch (iniTab) {
    case 0: return host::kCmdShowWeb;
    case 1: return host::kCmdShowSearch;
    case 2: return host::kCmdShowTraffic;
    default: return 0;
  }
}

bool RunFinderPass(FinderPort& port, FinderState& state) {
  const int createCommands[2] = {host::kCmdShowSearch, host::kCmdShowTraffic};
  for (int i = 0; i < kHostViewCount; ++i) {
    if (state.found[i]) continue;
    state.found[i] = port.FindAndHook(static_cast<HostView>(i));
    if (state.found[i] || i == static_cast<int>(HostView::Library)) continue;
    if (port.ForceCreation()) {
      if (state.passCounter[i] == 0) port.PostHostCommand(createCommands[i]);
      state.passCounter[i] = (state.passCounter[i] + 1) % kForcePassCycle;
    }
  }
  ++state.passes;
  for (bool found : state.found)
    if (!found) return false;
  if (port.ForceCreation() && state.showStartView) {
    int command = StartViewCommand(port.IniTab());
    if (command != 0) port.PostHostCommand(command);
  }
  return true;
}

void RunWindowFinder(FinderPort& port, FinderState& state) {
  while (!RunFinderPass(port, state))
    if (!port.WaitForNextPass()) return;
}

}  // namespace va
