// options_list_page_win: arrow buttons, rows and drag-list moves of the options
// pages' owner-drawn lists.
#include "extension/windows/options_list_page_win.h"

#include "extension/core/module_state.h"
#include "extension/hostui/icon_images_win.h"
#include "extension/resources/resource.h"
#include "extension/windows/list_drag.h"

namespace va {

namespace {

constexpr UINT kArrowLoadFlags = LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT | LR_DEFAULTSIZE;

HBITMAP LoadArrow(int resource) {
  return static_cast<HBITMAP>(LoadImageA(ModuleInstance, MAKEINTRESOURCEA(resource), IMAGE_BITMAP, 0, 0, kArrowLoadFlags));
}

void PutBitmap(HWND page, int buttonId, HBITMAP bitmap) {
  SendDlgItemMessageA(page, buttonId, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
}

}  // namespace

UINT DragListMessage() {
  static UINT message = RegisterWindowMessageA(DRAGLISTMSGSTRING);
  return message;
}

void PrepareReorderList(HWND page, int listId, int upId, int downId, ReorderList& reorder) {
  reorder.list = GetDlgItem(page, listId);
  reorder.upBitmap = LoadArrow(IDB_REORDER_UP);
  reorder.downBitmap = LoadArrow(IDB_REORDER_DOWN);
  PutBitmap(page, upId, reorder.upBitmap);
  PutBitmap(page, downId, reorder.downBitmap);
  DragListMessage();
  MakeDragList(reorder.list);
  reorder.dragged = -1;
}

void ReleaseReorderList(HWND page, int upId, int downId, ReorderList& reorder) {
  PutBitmap(page, upId, nullptr);
  PutBitmap(page, downId, nullptr);
  if (reorder.upBitmap) DeleteObject(reorder.upBitmap);
  if (reorder.downBitmap) DeleteObject(reorder.downBitmap);
  reorder.upBitmap = reorder.downBitmap = nullptr;
}

int SelectedRow(HWND list) {
  const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
  return selected == LB_ERR ? -1 : int(selected);
}

void ResetRows(HWND list, size_t count, int selected) {
  SendMessageA(list, LB_SETCOUNT, count, 0);
  SendMessageA(list, LB_SETCURSEL, selected >= 0 && size_t(selected) < count ? WPARAM(selected) : WPARAM(-1), 0);
  InvalidateRect(list, nullptr, TRUE);
}

DragOutcome HandleDragNotification(HWND page, ReorderList& reorder, const DRAGLISTINFO& info, size_t count) {
  DragOutcome outcome;
  const int rows = int(count);
  switch (info.uNotification) {
    case DL_BEGINDRAG:
      reorder.dragged = LBItemFromPt(info.hWnd, info.ptCursor, TRUE);
      outcome.result = reorder.dragged >= 0 && reorder.dragged < rows;
      if (!outcome.result) reorder.dragged = -1;
      break;
    case DL_DRAGGING: {
      const int over = LBItemFromPt(info.hWnd, info.ptCursor, TRUE);
      DrawInsert(page, info.hWnd, DragMarkRow(over, reorder.dragged, rows));
      if (over >= 0) {
        SetCursor(LoadDragCursor());
        outcome.result = 0;  // the cursor is set
      } else {
        outcome.result = DL_STOPCURSOR;
      }
      break;
    }
    case DL_DROPPED: {
      const int over = LBItemFromPt(info.hWnd, info.ptCursor, TRUE);
      const int to = DragDropRow(over, reorder.dragged, rows);
      if (to >= 0) {
        outcome.from = reorder.dragged;
        outcome.to = to;
      }
      DrawInsert(page, info.hWnd, -1);
      reorder.dragged = -1;
      break;
    }
    case DL_CANCELDRAG:
      DrawInsert(page, info.hWnd, -1);
      reorder.dragged = -1;
      break;
  }
  return outcome;
}

INT_PTR AnswerDialogMessage(HWND page, LRESULT result) {
  SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
  return TRUE;
}

}  // namespace va
