// download_list (Win32): reading the host's download list (a tree view whose
// top-level items carry a pointer to the row text) and acting on a download by
// selecting its row and sending the host one of its own commands.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "extension/accelerator/download_states.h"

namespace va {

inline constexpr int kDownloadListId = 373;
inline constexpr int kDownloadHeaderId = 337;
inline constexpr int kHostAppNameString = 57344;
inline constexpr int kAppNameCapacity = 128;
inline constexpr int kAcceleratorStateCapacity = 32;
inline constexpr int kBulkStateCapacity = 128;

// Fills DownloadColumns from HKCU "Software\Vexlo\<host string 57344>\Download Order"
// (the host's own column order); the defaults stay when the key is missing.
void LoadDownloadColumnMap();
void LoadDownloadColumnMapFrom(HMODULE hostResources, DownloadColumnMap& map);

HTREEITEM FirstDownload(HWND list);
HTREEITEM NextDownload(HWND list, HTREEITEM item);
// The item's data (a pointer to the host's row record); 0 when none.
LPARAM DownloadData(HWND list, HTREEITEM item);

// The cell number (display order + 1) of column `columnIndex` of `header`; 0
// when the header does not answer. ColumnPosition asks the Traffic window's header.
int ColumnPosition(int columnIndex);
int ColumnPositionIn(HWND header, int columnIndex);

// Copies the row text of a host row record without ever faulting: a record or
// text that can no longer be read gives false. Texts end at their first 0 byte
// or after `limit` bytes.
bool ReadRowText(LPARAM data, std::string& text, size_t limit = 64 * 1024);

// The state's name in the host's language, at most capacity-1 characters.
std::string LoadStatusName(HMODULE hostResources, DownloadState state, int capacity);

// Makes `item` the selected row; false when the list refused it (the row is gone).
bool SelectDownload(HWND list, HTREEITEM item);
// Sends a host command to the host main window; it is done when this returns.
void SendHostCommand(WORD commandId);
void SendHostCommandTo(HWND hostMain, WORD commandId);

}  // namespace va
