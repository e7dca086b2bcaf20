// organizer_windows_win: the File Organizer page's two windows, the preview of
// what its filters would do and the undo of the organizer's recent actions.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "extension/organizer/organizer.h"

namespace va {

// Modal; `filters` is the page's working copy.
void ShowOrganizerPreview(HWND owner, const std::vector<FilterRecord>& filters);
void ShowOrganizerUndo(HWND owner);

// The cells of one preview row (file, filter title, what happens), in the ANSI
// code page, as the preview window shows them.
std::vector<std::string> PreviewCells(const PreviewRow& row, const std::vector<FilterRecord>& filters);
// The undo's report: how many were undone, and each entry left with its reason.
std::string UndoReport(const std::vector<UndoOutcome>& outcomes);

}  // namespace va
