// reorder_dialog_win: ReorderDownloads, dialog 122 and CompareByOrder.
#include "extension/accelerator/reorder_dialog_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "extension/accelerator/accelerator_win.h"
#include "extension/accelerator/download_list_win.h"
#include "extension/accelerator/download_requests_win.h"
#include "extension/accelerator/row_cell.h"
#include "extension/core/module_state.h"
#include "extension/hostui/icon_images_win.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

constexpr int kTextInset = 2;
constexpr UINT kArrowBitmapFlags = LR_LOADMAP3DCOLORS | LR_LOADTRANSPARENT | LR_DEFAULTSIZE;
constexpr int kNoDrag = -1;

// The drag list's notification message, registered once per process.
UINT DragListMessage = 0;

// Per-dialog state, kept in DWLP_USER.
struct ReorderDialogState {
  DownloadOrder* order = nullptr;
  int dragged = kNoDrag;
  HBITMAP upBitmap = nullptr;
  HBITMAP downBitmap = nullptr;
};

ReorderDialogState* StateOf(HWND dialog) {
  return reinterpret_cast<ReorderDialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

HWND ListOf(HWND dialog) { return GetDlgItem(dialog, IDC_REORDER_LIST); }

HBITMAP PutArrow(HWND dialog, int buttonId, int bitmapId) {
  auto bitmap = static_cast<HBITMAP>(
      LoadImageA(ModuleInstance, MAKEINTRESOURCEA(bitmapId), IMAGE_BITMAP, 0, 0, kArrowBitmapFlags));
  if (bitmap) SendDlgItemMessageA(dialog, buttonId, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  return bitmap;
}

INT_PTR Answer(HWND dialog, LONG_PTR result) {
  SetWindowLongPtrA(dialog, DWLP_MSGRESULT, result);
  return TRUE;
}

void RepaintRow(HWND list, size_t index) {
  RECT row;
  if (SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row)) != LB_ERR)
    InvalidateRect(list, &row, TRUE);
}

// ---- messages ----

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
  auto* state = new ReorderDialogState;
  state->order = reinterpret_cast<DownloadOrder*>(lParam);
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  HWND list = ListOf(dialog);
  SendMessageA(list, LB_SETCOUNT, static_cast<WPARAM>(state->order->lastIndex + 1), 0);
  state->upBitmap = PutArrow(dialog, IDC_REORDER_UP, IDB_REORDER_UP);
  state->downBitmap = PutArrow(dialog, IDC_REORDER_DOWN, IDB_REORDER_DOWN);
  if (!DragListMessage) DragListMessage = RegisterWindowMessageA("commctrl_DragListMsg");
  MakeDragList(list);
  state->dragged = kNoDrag;
  return TRUE;
}

void OnDestroy(HWND dialog) {
  ReorderDialogState* state = StateOf(dialog);
  if (!state) return;
  SetWindowLongPtrA(dialog, DWLP_USER, 0);
  if (state->upBitmap) DeleteObject(state->upBitmap);
  if (state->downBitmap) DeleteObject(state->downBitmap);
  delete state;
}

INT_PTR OnDrawItem(HWND dialog, const DRAWITEMSTRUCT* draw) {
  ReorderDialogState* state = StateOf(dialog);
  if (!state || draw->CtlID != IDC_REORDER_LIST) return FALSE;
  if (draw->itemID == UINT(-1) || !(draw->itemAction & (ODA_DRAWENTIRE | ODA_SELECT))) return TRUE;
  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  FillRect(draw->hDC, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  if (draw->itemID < state->order->titles.size()) {
    const int oldMode = SetBkMode(draw->hDC, TRANSPARENT);
    const COLORREF oldColour = SetTextColor(draw->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT text = draw->rcItem;
    text.left += kTextInset;
    text.right -= kTextInset;
    DrawTextA(draw->hDC, state->order->titles[draw->itemID].c_str(), -1, &text,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    SetTextColor(draw->hDC, oldColour);
    SetBkMode(draw->hDC, oldMode);
  }
  return TRUE;
}

void MoveSelected(HWND dialog, int direction) {
  ReorderDialogState* state = StateOf(dialog);
  HWND list = ListOf(dialog);
  const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
  if (!state || selected == LB_ERR) return;
  const size_t from = static_cast<size_t>(selected);
  const size_t to = MoveByButton(*state->order, from, direction);
  if (to == from) return;
  SendMessageA(list, LB_SETCURSEL, to, 0);
  RepaintRow(list, from);
  RepaintRow(list, to);
}

INT_PTR OnCommand(HWND dialog, int id) {
  switch (id) {
    case IDOK: EndDialog(dialog, 1); return TRUE;
    case IDCANCEL: EndDialog(dialog, 0); return TRUE;
    case IDC_REORDER_UP: MoveSelected(dialog, -1); return TRUE;
    case IDC_REORDER_DOWN: MoveSelected(dialog, +1); return TRUE;
  }
  return FALSE;
}

INT_PTR OnDragList(HWND dialog, const DRAGLISTINFO* info) {
  ReorderDialogState* state = StateOf(dialog);
  if (!state || !info) return FALSE;
  HWND list = info->hWnd;
  const int count = state->order->lastIndex + 1;
  switch (info->uNotification) {
    case DL_BEGINDRAG: {
      state->dragged = LBItemFromPt(list, info->ptCursor, TRUE);
      return Answer(dialog, state->dragged >= 0 ? TRUE : FALSE);
    }
    case DL_DRAGGING: {
      const int over = LBItemFromPt(list, info->ptCursor, TRUE);
      DrawInsert(dialog, list, InsertionMarkBefore(state->dragged, over, count));
      if (over < 0) return Answer(dialog, DL_STOPCURSOR);
      HCURSOR cursor = LoadDragCursor();
      if (!cursor) return Answer(dialog, DL_MOVECURSOR);
      SetCursor(cursor);
      return Answer(dialog, DL_CURSORSET);
    }
    case DL_DROPPED: {
      const int over = LBItemFromPt(list, info->ptCursor, FALSE);
      if (over >= 0 && state->dragged >= 0 && over != state->dragged &&
          MoveByDrag(*state->order, static_cast<size_t>(state->dragged), static_cast<size_t>(over))) {
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(over), 0);
        InvalidateRect(list, nullptr, TRUE);
      }
      DrawInsert(dialog, list, -1);
      state->dragged = kNoDrag;
      return Answer(dialog, 0);
    }
    case DL_CANCELDRAG:
      DrawInsert(dialog, list, -1);
      state->dragged = kNoDrag;
      return Answer(dialog, 0);
  }
  return FALSE;
}

INT_PTR CALLBACK ReorderDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (DragListMessage != 0 && message == DragListMessage)
    return OnDragList(dialog, reinterpret_cast<const DRAGLISTINFO*>(lParam));
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, lParam);
    case WM_DRAWITEM: return OnDrawItem(dialog, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_COMMAND: return OnCommand(dialog, LOWORD(wParam));
    case WM_DESTROY: OnDestroy(dialog); return FALSE;
  }
  return FALSE;
}

}  // namespace

INT_PTR RunReorderDialog(HWND owner, DownloadOrder& order) {
  return DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_REORDER), owner, ReorderDialogProc,
                         reinterpret_cast<LPARAM>(&order));
}

int CALLBACK CompareByOrder(LPARAM first, LPARAM second, LPARAM order) {
  return CompareOrderPositions(*reinterpret_cast<const DownloadOrder*>(order), static_cast<uintptr_t>(first),
                               static_cast<uintptr_t>(second));
}

void ReorderDownloads(HWND owner) {
  HWND traffic = TrafficWindow;
  HWND list = traffic ? GetDlgItem(traffic, kDownloadListId) : nullptr;
  if (!list) return;
  std::vector<HTREEITEM> items;
  for (HTREEITEM item = FirstDownload(list); item; item = NextDownload(list, item)) items.push_back(item);
  if (items.size() < 2) return;
  CellNumbers cells{};
  ReadCellNumbers(traffic, cells);
  DownloadOrder order;
  for (HTREEITEM item : items) {
    const LPARAM data = DownloadData(list, item);
    std::string text;
    // A row without item data (or whose text the host took away) ends the command.
    if (data == 0 || !ReadRowText(data, text)) return;
    AddToOrder(order, static_cast<uintptr_t>(data),
               std::string(RowCell(text, cells[static_cast<int>(DownloadColumn::Title)])));
  }
  if (RunReorderDialog(owner ? owner : HostMainWindow, order) != 1) return;
  TVSORTCB sort = {};
  sort.hParent = TVI_ROOT;
  sort.lpfnCompare = CompareByOrder;
  sort.lParam = reinterpret_cast<LPARAM>(&order);
  SendMessageA(list, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
}

}  // namespace va
