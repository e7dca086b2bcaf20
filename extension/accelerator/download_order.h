// download_order: the working record of the reorder dialog (the downloads' item
// data and titles in the order being edited), its moves, the sort comparison the
// host's list uses to take that order, and where a drag shows its insertion mark.
// Portable core: the dialog is reorder_dialog_win.cpp.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace va {

struct DownloadOrder {
  int32_t lastIndex = -1;           // the number of downloads minus 1
  std::vector<uintptr_t> rowData;   // each download's item data, in the edited order
  std::vector<std::string> titles;  // each download's title cell, parallel to rowData
};

// Appends one download at the end.
void AddToOrder(DownloadOrder& order, uintptr_t data, const std::string& title);

// The up and down buttons: the selected entry changes places with its neighbour
// (direction -1 up, +1 down) in both arrays. Returns the entry's new index, or
// `selected` unchanged when nothing moved (no selection, first up, last down).
size_t MoveByButton(DownloadOrder& order, size_t selected, int direction);

// A drop: the dragged entry moves to index `to`, the entries between shift by
// one, in both arrays. False (nothing changed) when an index is outside.
bool MoveByDrag(DownloadOrder& order, size_t from, size_t to);

// The sort comparison: position of `first` minus position of `second` in
// rowData (first match). Item data that is not in the record sorts after every
// listed download, so rows the host added meanwhile keep to the end.
int CompareOrderPositions(const DownloadOrder& order, uintptr_t first, uintptr_t second);

// While dragging entry `dragged` over entry `over` (-1 outside any entry) of
// `count` entries: the entry before which the insertion mark is drawn, or -1 for
// no mark. Below the dragged entry the mark goes before the entry after it
// (before the last one when `over` is last), above it before `over`.
int InsertionMarkBefore(int dragged, int over, int count);

}  // namespace va
