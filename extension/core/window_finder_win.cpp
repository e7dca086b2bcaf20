// window_finder_win: WindowFinderThread, the real port of the finder passes: it
// looks the host's windows up by class, title and child ids, subclasses each one
// it finds and posts it InitMessage.
#include <windows.h>

#include "common/extension_options.h"
#include "extension/core/attach.h"
#include "extension/core/host_ids.h"
#include "extension/core/module_state.h"
#include "extension/core/window_finder.h"
#include "extension/core/window_hooks.h"
#include "extension/resources/resource.h"
#include "extension/windows/status_window_win.h"

namespace va {
namespace {

constexpr DWORD kPassDelayMs = 1000;
constexpr int kTitleCapacity = 128;


class RealFinderPort : public FinderPort {
 public:
  RealFinderPort() {
    LoadStringA(HostResourceModule, host::kStringSearchTitle, titles_[0], kTitleCapacity);
    LoadStringA(HostResourceModule, host::kStringTrafficTitle, titles_[1], kTitleCapacity);
    LoadStringA(HostResourceModule, host::kStringLibraryTitle, titles_[2], kTitleCapacity);
  }

  bool FindAndHook(HostView view) override {
    HWND pane = GetDlgItem(HostMainWindow, host::kPaneFirstId);
    if (!pane) return false;
    HWND frame = FindWindowExA(pane, nullptr, host::kFrameClass, titles_[static_cast<int>(view)]);
    if (!frame) return false;
    HWND inner = GetDlgItem(frame, host::kPaneFirstId);
    if (!inner) return false;
    switch (view) {
      case HostView::Search: {
        HWND window = GetDlgItem(inner, host::kPaneFirstId);
        if (!window) return false;
        SearchWindow = window;
        ReportHostWindowFound(view);
        Subclass(window, SearchFormHook, &PreviousSearchProc);
        break;
      }
      case HostView::Traffic: {
        HWND window = GetDlgItem(GetDlgItem(inner, host::kPaneFirstId), host::kTrafficWindowId);
        if (!window) return false;
        TrafficWindow = window;
        ReportHostWindowFound(view);
        Subclass(window, TrafficWindowHook, &PreviousTrafficProc);
        break;
      }
      case HostView::Library: {
        HWND window = GetDlgItem(inner, host::kPaneSecondId);
        if (!window) return false;
        LibraryPane = window;
        Subclass(window, LibraryPaneProc, &PreviousLibraryProc);
        break;
      }
    }
    return true;
  }

  void PostHostCommand(int command) override {
    PostMessageA(HostMainWindow, WM_COMMAND, MAKEWPARAM(command, 0), 0);
  }
  bool ForceCreation() override { return CurrentOptions.ForceCreation != 0; }
  uint32_t IniTab() override { return CurrentOptions.IniTab; }
  // Passes end with the host's main window (a pane destroyed as the host exits
  // leaves no finder behind).
  bool WaitForNextPass() override {
    Sleep(kPassDelayMs);
    return IsWindow(HostMainWindow) != FALSE;
  }

 private:
  // The previous procedure is in place before the hook can receive anything (the
  // UI thread may deliver a message between the two calls), and InitMessage is
  // posted only once the hook is installed.
  static void Subclass(HWND window, WNDPROC hook, WNDPROC* previous) {
    *previous = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC));
    auto old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook)));
    if (old) *previous = old;
    PostMessageA(window, InitMessage, 0, 0);
  }

  char titles_[kHostViewCount][kTitleCapacity] = {};
};

}  // namespace

void ReportHostWindowFound(HostView view) {
  char found[kTitleCapacity] = {};
  LoadStringA(ModuleInstance, IDS_FOUND, found, kTitleCapacity);
  if (view == HostView::Search) {
    char inactive[kTitleCapacity] = {};
    LoadStringA(ModuleInstance, IDS_INACTIVE, inactive, kTitleCapacity);
    SetStatusText(IDD_STATUS_SEARCH, IDC_SEARCH_WINDOW_STATE, found);
    SetStatusText(IDD_STATUS_SEARCH, IDC_AUTO_SEARCH_STATE, inactive);
  } else if (view == HostView::Traffic) {
    SetStatusText(IDD_STATUS_ACCELERATOR, IDC_TRAFFIC_WINDOW_STATE, found);
  }
}

DWORD WINAPI WindowFinderThread(LPVOID) {
  RealFinderPort port;
  FinderState state;
  RunWindowFinder(port, state);
  return 0;
}

namespace {
// Set on the UI thread when a window goes, taken back by the one search it starts.
bool windowLost[kHostViewCount] = {false, false, false};

// Looks for one window alone: the others stay as they were found, the host's
// view is left as the user has it, and no window is forced into being.
class LostWindowPort : public RealFinderPort {
 public:
  bool ForceCreation() override { return false; }
};

DWORD WINAPI LostWindowFinderThread(LPVOID parameter) {
  const int lost = static_cast<int>(reinterpret_cast<INT_PTR>(parameter));
  LostWindowPort port;
  FinderState state;
  for (int view = 0; view < kHostViewCount; ++view) state.found[view] = view != lost;
  state.showStartView = false;
  RunWindowFinder(port, state);
  return 0;
}
}  // namespace

void HostWindowLost(HostView view) {
  switch (view) {
    case HostView::Search: SearchWindow = nullptr; break;
    case HostView::Traffic: TrafficWindow = nullptr; break;
    case HostView::Library: LibraryPane = nullptr; break;
  }
  windowLost[static_cast<int>(view)] = true;
}

void LookForLostHostWindows() {
  for (int view = 0; view < kHostViewCount; ++view) {
    if (!windowLost[view]) continue;
    windowLost[view] = false;
    HANDLE thread = CreateThread(nullptr, 0, LostWindowFinderThread, reinterpret_cast<LPVOID>(INT_PTR(view)), 0, nullptr);
    if (thread) CloseHandle(thread);
  }
}

}  // namespace va
