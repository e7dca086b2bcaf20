// reorder_dialog_win: "Reorder download list..." (command 11004): the dialog 122
// that lists the downloads by title, moved with the up and down buttons or by
// dragging, and the sort that makes the host's list take the dialog's order.
#pragma once
#include <windows.h>

#include "extension/accelerator/download_order.h"

namespace va {

// Command 11004: collects the top-level rows, shows the dialog owned by `owner`
// (the host main frame when 0) and on "&Sort" sorts the host's list.
void ReorderDownloads(HWND owner);

// Runs dialog 122 modally over `order`; 1 for "&Sort", 0 for "&Cancel" or close.
INT_PTR RunReorderDialog(HWND owner, DownloadOrder& order);

// The host list's sort callback (TVM_SORTCHILDRENCB): `order` is the DownloadOrder.
int CALLBACK CompareByOrder(LPARAM first, LPARAM second, LPARAM order);

}  // namespace va
