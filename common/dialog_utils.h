// dialog_utils: the Win32 routines that dialogs of the extension module share:
// file and folder pickers, fonts by point size, tooltips, and the wiring of the
// numeric edit rules of text_rules.h to edit controls.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

namespace va {

// String ids the pickers load from the module that holds this code.
inline constexpr UINT kPickFolderTitleString = 114;  // "Please select the work directory for the tool."

// The open-file dialog: the file must exist; `filter` is a list of
// "description\0pattern\0" pairs (may be empty); an empty initial folder means the
// folder of the process's executable. Empty text when cancelled.
std::string PickOpenFile(HWND owner, const std::string& initialFolder, const std::string& filter);

// The folder browser, preselecting `initialFolder`; OK is disabled for folders
// whose path contains `excluded` (letter case ignored). `rootFolder`, when not
// empty, is the top of the tree. Empty text when cancelled.
std::string PickFolder(HWND owner, const std::string& initialFolder, const std::string& excluded,
                       const std::string& rootFolder = "");

// Fonts whose height follows the point size: on the screen's pixels per inch,
// or on the caller's. 0 on failure.
HFONT CreatePointFont(const char* face, int points, int weight, bool underline);
HFONT CreatePointFontForDpi(const char* face, int points, int pixelsPerInch, int weight, bool underline);

// The dialog's tooltip window (0: the active window), created on first use.
HWND GetDialogTooltip(HWND dialog);
// Sets (or replaces) the tooltip text of a dialog control.
void SetControlTooltip(HWND control, const std::string& text);

// Called when the edit's text changes: drop what is not a digit (or, with
// `allowDecimals`, the first "."), beep and keep the caret at the end.
void FilterNumericEdit(HWND edit, bool allowDecimals);
// Called when the edit's text changes: a number outside [minimum, maximum] is
// replaced by the bound it passed, with a beep.
void ClampEditNumber(HWND edit, int32_t minimum, int32_t maximum);

}  // namespace va
