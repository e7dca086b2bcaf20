// options_organizer_page_win: the options dialog's "File Organizer" page (205): an
// owner-drawn, reorderable working copy of the filters, edited through the filter
// properties dialog and stored (starting or stopping the watcher) on Apply.
#include <shlwapi.h>

#include <algorithm>
#include <string>
#include <vector>

#include "extension/core/module_state.h"
#include "extension/menus/module_message_win.h"
#include "extension/organizer/filter_dialog.h"
#include "extension/organizer/organizer.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_list_page_win.h"
#include "extension/windows/options_pages_win.h"
#include "extension/windows/organizer_windows_win.h"

namespace va {

namespace {

constexpr int kTextInset = 2;    // left and right of a row's title
constexpr int kRowPadding = 2;   // above and below a row's title

struct OrganizerPage {
  std::vector<FilterRecord> filters;  // the working copy
  ReorderList reorder;
};

OrganizerPage* PageOf(HWND page) { return reinterpret_cast<OrganizerPage*>(GetWindowLongPtrA(page, DWLP_USER)); }

HWND ListOf(HWND page) { return GetDlgItem(page, IDC_ORGANIZER_PAGE_LIST); }

// The destination as it fits the width of its control, shortened with "...".
std::string FittedPath(HWND control, const std::string& path) {
  RECT area = {};
  GetClientRect(control, &area);
  std::vector<char> text(path.begin(), path.end());
  text.push_back('\0');
  HDC dc = GetDC(control);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
  PathCompactPathA(dc, text.data(), UINT(std::max<LONG>(area.right - area.left, 0)));
  SelectObject(dc, old);
  ReleaseDC(control, dc);
  return text.data();
}

void ShowDetails(HWND page) {
  OrganizerPage* state = PageOf(page);
  const int selected = SelectedRow(ListOf(page));
  std::string filter, action, destination;
  if (selected >= 0 && size_t(selected) < state->filters.size()) {
    const FilterRecord& record = state->filters[size_t(selected)];
    filter = record.Filter;
    action = LoadModuleText(record.Action == Copy ? IDS_ACTION_COPY : IDS_ACTION_MOVE);
    destination = FittedPath(GetDlgItem(page, IDC_ORGANIZER_PAGE_DEST), record.Dest);
  }
  SetDlgItemTextA(page, IDC_ORGANIZER_PAGE_FILTER, filter.c_str());
  SetDlgItemTextA(page, IDC_ORGANIZER_PAGE_ACTION, action.c_str());
  SetDlgItemTextA(page, IDC_ORGANIZER_PAGE_DEST, destination.c_str());
}

void Refresh(HWND page, int selected) {
  ResetRows(ListOf(page), PageOf(page)->filters.size(), selected);
  ShowDetails(page);
}

int RowHeight(HWND list) {
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(list, WM_GETFONT, 0, 0)));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return metrics.tmHeight + 2 * kRowPadding;
}

void OnInit(HWND page) {
  auto* state = new OrganizerPage;
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  // Only this thread replaces FilterList, so it is read here without the lock.
  if (FilterLastIndex >= 0)
    state->filters.assign(FilterList.begin(),
                          FilterList.begin() + std::min<size_t>(size_t(FilterLastIndex) + 1, FilterList.size()));
  PrepareReorderList(page, IDC_ORGANIZER_PAGE_LIST, IDC_ORGANIZER_PAGE_UP, IDC_ORGANIZER_PAGE_DOWN, state->reorder);
  SendMessageA(ListOf(page), LB_SETITEMHEIGHT, 0, RowHeight(ListOf(page)));
  SendDlgItemMessageA(page, IDC_ORGANIZER_PAGE_NOTE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(OptionsInfoIcon), 0);
  AttachPageTooltips(page, IDC_ORGANIZER_PAGE_LIST, IDC_ORGANIZER_PAGE_UNDO);
  Refresh(page, state->filters.empty() ? -1 : 0);
}

void OnDestroy(HWND page) {
  OrganizerPage* state = PageOf(page);
  if (!state) return;
  SetWindowLongPtrA(page, DWLP_USER, 0);
  ReleaseReorderList(page, IDC_ORGANIZER_PAGE_UP, IDC_ORGANIZER_PAGE_DOWN, state->reorder);
  delete state;
}

void OnApply(HWND page) {
  OrganizerPage* state = PageOf(page);
  // Saving turns a Move's destination into its stored, relative form in the list
  // it is given: give it a copy, so that the page keeps what it shows and a later
  // Modify still sees the full destination.
  std::vector<FilterRecord> stored = state->filters;
  SaveFilters(stored, int(stored.size()) - 1);
}

void OnAdd(HWND page) {
  OrganizerPage* state = PageOf(page);
  if (state->filters.size() >= size_t(kMaxFilterItems)) {
    ShowListLimitMessage(page);
    return;
  }
  FilterRecord record;
  if (!EditFilterItem(page, record)) return;
  state->filters.push_back(record);
  Refresh(page, int(state->filters.size()) - 1);
}

void OnModify(HWND page) {
  OrganizerPage* state = PageOf(page);
  const int selected = SelectedRow(ListOf(page));
  if (selected < 0 || size_t(selected) >= state->filters.size()) return;
  if (!EditFilterItem(page, state->filters[size_t(selected)])) return;
  Refresh(page, selected);
}

void OnDelete(HWND page) {
  OrganizerPage* state = PageOf(page);
  const int selected = SelectedRow(ListOf(page));
  if (selected < 0 || size_t(selected) >= state->filters.size()) return;
  state->filters.erase(state->filters.begin() + selected);
  Refresh(page, std::min(selected, int(state->filters.size()) - 1));
}

void OnMove(HWND page, int direction) {
  if (MoveSelectedEntry(ListOf(page), PageOf(page)->filters, direction)) ShowDetails(page);
}

void OnCommand(HWND page, int id, int code) {
  switch (id) {
    case IDC_ORGANIZER_PAGE_LIST:
      if (code == LBN_SELCHANGE) ShowDetails(page);
      if (code == LBN_DBLCLK) OnModify(page);
      break;
    case IDC_ORGANIZER_PAGE_ADD: OnAdd(page); break;
    case IDC_ORGANIZER_PAGE_MODIFY: OnModify(page); break;
    case IDC_ORGANIZER_PAGE_DELETE: OnDelete(page); break;
    case IDC_ORGANIZER_PAGE_UP: OnMove(page, -1); break;
    case IDC_ORGANIZER_PAGE_DOWN: OnMove(page, +1); break;
    case IDC_ORGANIZER_PAGE_PREVIEW: ShowOrganizerPreview(page, PageOf(page)->filters); break;
    case IDC_ORGANIZER_PAGE_UNDO: ShowOrganizerUndo(page); break;
  }
}

void OnDrawItem(HWND page, const DRAWITEMSTRUCT* draw) {
  OrganizerPage* state = PageOf(page);
  if (!state || draw->CtlID != IDC_ORGANIZER_PAGE_LIST || draw->itemID == UINT(-1)) return;
  if (draw->itemID >= state->filters.size()) return;
  const std::string& title = state->filters[draw->itemID].Title;
  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  HDC dc = draw->hDC;
  FillRect(dc, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  RECT area = draw->rcItem;
  area.left += kTextInset;
  area.right -= kTextInset;
  DrawTextA(dc, title.c_str(), int(title.size()), &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (draw->itemState & ODS_FOCUS) DrawFocusRect(dc, &draw->rcItem);
}

INT_PTR OnDragList(HWND page, const DRAGLISTINFO* info) {
  OrganizerPage* state = PageOf(page);
  if (!state || !info) return FALSE;
  DragOutcome outcome = HandleDragNotification(page, state->reorder, *info, state->filters.size());
  if (ApplyDrop(ListOf(page), state->filters, outcome)) ShowDetails(page);
  return AnswerDialogMessage(page, outcome.result);
}

}  // namespace

INT_PTR CALLBACK OrganizerPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == DragListMessage() && message != 0) return OnDragList(page, reinterpret_cast<DRAGLISTINFO*>(lParam));
  switch (message) {
    case WM_INITDIALOG:
      OnInit(page);
      return TRUE;
    case WM_DESTROY:
      OnDestroy(page);
      return FALSE;
    case WM_COMMAND:
      if (PageOf(page)) OnCommand(page, LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_DRAWITEM:
      OnDrawItem(page, reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case kOptionsApplyMessage:
      if (PageOf(page)) OnApply(page);
      return TRUE;
  }
  return FALSE;
}

}  // namespace va
