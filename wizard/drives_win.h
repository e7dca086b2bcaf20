// drives_win: the shared-folder page's drive and folder routines: the list of
// fixed drives with their free space, the folder browser, the existence test.
// Byte sizes are formatted by FormatByteSize (wizard_rules.h).
#pragma once
#include <windows.h>

#include <string>

namespace va {

// Fills the list box `list` with one row per fixed drive: "C: (LABEL)\t1.50 GB",
// the drive's small icon as item data (destroyed by DestroyDriveIcons).
void ListLocalDrives(HWND list);
void DestroyDriveIcons(HWND list);

// Opens the folder browser owned by `page`; a chosen folder becomes the text of
// the edit control `editId`.
void BrowseForFolderInto(HWND page, int editId, const std::string& initialPath);

bool FolderExists(const std::string& path);

// COM (apartment model) is initialised for the wizard's thread when the folder
// browser first opens, its only user: under Wine, initialising COM waits for the
// RPC service, which a run that never browses should not depend on. Released
// when the wizard ends.
void ReleaseComForBrowser();

// The total free bytes of the volume holding `path`, or false.
bool QueryFreeBytes(const std::string& path, unsigned long long& freeBytes);

}  // namespace va
