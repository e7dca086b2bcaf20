// options_list_page_win: what the Tools and File Organizer pages share: an
// owner-drawn list box without stored strings whose rows are the entries of the
// page's working array, its two arrow buttons, and its drag-list moves.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "common/list_order.h"

namespace va {

// One page's reorderable list: the list box, the arrow bitmaps the page owns, and
// the row being dragged (-1: none).
struct ReorderList {
  HWND list = nullptr;
  HBITMAP upBitmap = nullptr;
  HBITMAP downBitmap = nullptr;
  int dragged = -1;
};

// Puts the arrow bitmaps on the two buttons and makes the list a drag list.
void PrepareReorderList(HWND page, int listId, int upId, int downId, ReorderList& reorder);
// Deletes the arrow bitmaps (the buttons no longer show them).
void ReleaseReorderList(HWND page, int upId, int downId, ReorderList& reorder);

// The registered drag-list message ("commctrl_DragListMsg").
UINT DragListMessage();

// The selected row, or -1.
int SelectedRow(HWND list);
// Sets the row count, selects `selected` (-1: none) and repaints the list.
void ResetRows(HWND list, size_t count, int selected);

// What a drag-list notification asks of the page: the value to answer with and,
// after a drop, the row to move and where to.
struct DragOutcome {
  LRESULT result = 0;
  int from = -1;
  int to = -1;
};
DragOutcome HandleDragNotification(HWND page, ReorderList& reorder, const DRAGLISTINFO& info, size_t count);

// Answers a dialog message with `result` (for messages whose value is the answer).
INT_PTR AnswerDialogMessage(HWND page, LRESULT result);

// The up (-1) and down (+1) buttons: swaps the selected entry with its neighbour,
// keeps it selected and repaints the two rows. False when nothing moved.
template <typename T>
bool MoveSelectedEntry(HWND list, std::vector<T>& entries, int direction) {
  const int selected = SelectedRow(list);
  if (selected < 0) return false;
  const size_t next = NeighbourIndex(size_t(selected), direction, entries.size());
  if (next == size_t(selected) || !SwapEntries(entries, size_t(selected), next)) return false;
  SendMessageA(list, LB_SETCURSEL, next, 0);
  RECT row;
  for (size_t index : {size_t(selected), next})
    if (SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)) != LB_ERR)
      InvalidateRect(list, &row, TRUE);
  return true;
}

// A drop: moves the entry and selects it in its new place. False when nothing moved.
template <typename T>
bool ApplyDrop(HWND list, std::vector<T>& entries, const DragOutcome& outcome) {
  if (outcome.from < 0 || outcome.to < 0) return false;
  if (!MoveEntry(entries, size_t(outcome.from), size_t(outcome.to))) return false;
  ResetRows(list, entries.size(), outcome.to);
  return true;
}

}  // namespace va
