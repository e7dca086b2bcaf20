// search_panel_win: the "Search Options" panel on the host's search form, the
// hooks on the search form and its status text, and the Auto Search More thread
// that the panel's settings drive. SearchFormHook itself is declared with the
// other host window hooks in extension/core/window_hooks.h.
#pragma once
#include <windows.h>

#include <string>

namespace va {

// The panel's control id in the host's search form.
inline constexpr int kSearchPanelId = 4096;

// The panel once created on the search form, else 0.
extern HWND SearchPanel;

// Window procedure installed on the host's search status text (control 1174).
LRESULT CALLBACK SearchStatusHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Starts Auto Search More when the panel's option is on, no run is going on and
// the host's check box 1519 is checked; true when a thread was started.
bool StartAutoSearchMoreIfAllowed(HWND searchForm);
// A running Auto Search More is asked to stop; true when one was running.
bool StopAutoSearchMore();

// Start of a run: the panel's check box, number and unit are disabled. End: the
// check box is enabled again and acts as if clicked (from any thread: only
// window messages reach the panel).
void SetSearchPanelRunning(bool running);
// The Auto Search More box is enabled (no run going on); true without a panel.
bool AutoSearchBoxEnabled();

// The text of pane `pane` of the host's status bar, read on the host's UI thread
// (through the hooked search form `form` when called from another thread), so
// that the host cannot change it between its length and its text.
std::string HostStatusPaneText(HWND form, int pane);

}  // namespace va
