// status_window: the small non-modal window that shows what the module's
// background work is doing, on the pages Search, Accelerator and About; floating
// as a tool window or docked over the host's add-on panel.
#pragma once
#include <windows.h>

#include <cstdint>

#include "common/extension_options.h"

namespace va {

// The window's place (StatusWindowPlace: left, top, shown, docked) is remembered
// between runs of the host with the last state (common/extension_options.h).

// The window, 0 until it is first shown.
extern HWND StatusWindow;

// What the window reads from the rest of the module (status_window_links_win.cpp).
StatusWindowPlace& StatusPlace();  // the remembered place (client area while floating)
uint32_t& StatusPage();            // the page shown last (StatusDlg): 301, 302 or 399
HWND StatusPanelWindow();         // the host's add-on panel (docking target)
bool StatusHideAdBanner();        // the HideAdBanner option
bool StatusSearchWindowKnown();
bool StatusTrafficWindowKnown();
bool StatusAutoSearchBoxEnabled();  // the Auto Search More box of the search panel
bool StatusAcceleratorStopped();

// Creates the window on first use, then hides it when visible and shows it
// otherwise, recording the visible flag.
void ToggleStatusWindow(HWND owner);

// Write to a page control from any thread; nothing while the window does not exist.
void SetStatusText(int pageId, int controlId, const char* text);
LRESULT SendStatusItemMessage(int pageId, int controlId, UINT message, WPARAM wParam, LPARAM lParam);

// Makes frame and place match the docked flag.
void ApplyDockMode();

// The main window's behaviours that involve the status window.
void StatusWindowFollowMainShow(bool shown);
// WM_ACTIVATE of the main window; true when the message is consumed.
bool StatusWindowOnMainActivate(HWND mainWindow, WPARAM wParam, LPARAM lParam);
// The main window moved or was resized: a docked window follows the panel.
void StatusWindowFollowPanel();
// HideAdBanner switched on (undock, disable the dock button) or off (enable it).
void StatusWindowHideAdBannerChanged(bool hidden);

}  // namespace va
