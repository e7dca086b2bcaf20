// file_manager_menu_win: the host library list's replacement context menu
// ("Shell open", "Play/View in Theater", "Copy QuickLink as.."), the default
// action on double-click and Enter, reading the selected files, and opening them
// with their associated programs behind a virus question for risky types.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace va {

// The popup made from the host's menu 222 at the pane's InitMessage; 0 before.
extern HMENU FileManagerMenu;

// LibraryPaneProc is declared in extension/core/window_hooks.h.
LRESULT CALLBACK LibraryListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Full paths (folder "\" name) of the selected file rows of the library list, in
// list order; rows that are not files are skipped.
std::vector<std::string> SelectedLibraryFiles();

// True for a file the guarded open asks about first: a risky type (file_types.h)
// or one the system itself calls dangerous (AssocIsDangerous, where present).
bool AsksBeforeOpening(const std::string& name);

// Opens the selected files in list order; stops at the first that cannot be opened.
void ShellOpenSelected();

// Makes the default item follow DefaultFileManagerAction (its live update).
void UpdateFileManagerDefault();

}  // namespace va
