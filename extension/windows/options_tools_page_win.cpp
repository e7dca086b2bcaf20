// options_tools_page_win: the options dialog's "Tools Menu" page (204): an
// owner-drawn, reorderable working copy of the tool list, edited through the tool
// item dialog and stored (with the Tools menu rebuilt) on Apply.
#include <algorithm>
#include <string>
#include <vector>

#include "common/dialog_utils.h"
#include "extension/menus/module_message_win.h"
#include "extension/menus/tool_dialog_win.h"
#include "extension/menus/tools_menu_win.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_list_page_win.h"
#include "extension/windows/options_pages_win.h"

namespace va {

namespace {

constexpr int kSeparatorPoints = 7;
constexpr int kTitlePoints = 8;
constexpr const char* kRowFontFace = "MS Sans Serif";
constexpr int kExtentExtra = 28;     // beyond the widest title: icon column and margins
constexpr int kRowPadding = 2;       // above and below the taller of icon and text
constexpr int kIconLeft = 2;
constexpr int kIconTextGap = 6;

struct ToolsPage {
  std::vector<ToolRecord> tools;  // the working copy
  // Icons this page loaded for added or changed tools; the others belong to
  // ToolList. Handed to ToolList by Apply, destroyed with the page otherwise.
  std::vector<HICON> ownIcons;
  HFONT separatorFont = nullptr;  // bold, 7 points
  HFONT titleFont = nullptr;      // normal, 8 points
  ReorderList reorder;
};

ToolsPage* PageOf(HWND page) { return reinterpret_cast<ToolsPage*>(GetWindowLongPtrA(page, DWLP_USER)); }

HWND ListOf(HWND page) { return GetDlgItem(page, IDC_TOOLS_PAGE_LIST); }

// Destroys a tool's icon when this page loaded it.
void ReleaseOwnIcon(ToolsPage& state, HICON icon) {
  auto found = std::find(state.ownIcons.begin(), state.ownIcons.end(), icon);
  if (!icon || found == state.ownIcons.end()) return;
  state.ownIcons.erase(found);
  DestroyIcon(icon);
}

void GiveOwnIcon(ToolsPage& state, ToolRecord& tool) {
  HICON icon = LoadToolIcon(tool);
  tool.IconHandle = icon;
  if (icon) state.ownIcons.push_back(icon);
}

// The horizontal extent: the widest title in the title font plus the icon column.
void UpdateExtent(HWND page, const ToolsPage& state) {
  HWND list = ListOf(page);
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, state.titleFont ? state.titleFont : GetStockObject(DEFAULT_GUI_FONT));
  LONG widest = 0;
  for (const ToolRecord& tool : state.tools) {
    SIZE size = {};
    if (GetTextExtentPoint32A(dc, tool.Title.c_str(), int(tool.Title.size()), &size)) widest = std::max(widest, size.cx);
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageA(list, LB_SETHORIZONTALEXTENT, WPARAM(widest + kExtentExtra), 0);
}

int RowHeight(HWND list, HFONT font) {
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICA metrics = {};
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  return std::max<int>(metrics.tmHeight, GetSystemMetrics(SM_CYSMICON)) + 2 * kRowPadding;
}

void ShowDetails(HWND page) {
  ToolsPage* state = PageOf(page);
  const int selected = SelectedRow(ListOf(page));
  std::string cmd, workdir;
  if (selected >= 0 && size_t(selected) < state->tools.size()) {
    const ToolRecord& tool = state->tools[size_t(selected)];
    if (IsToolSeparator(tool)) {
      cmd = workdir = LoadModuleText(IDS_NO_VALUE);
    } else {
      cmd = tool.Cmd;
      workdir = tool.Workdir;
    }
  }
  SetDlgItemTextA(page, IDC_TOOLS_PAGE_CMD, cmd.c_str());
  SetDlgItemTextA(page, IDC_TOOLS_PAGE_WORKDIR, workdir.c_str());
}

// After every change of the working copy: rows, extent, selection and details.
void Refresh(HWND page, int selected) {
  ToolsPage* state = PageOf(page);
  ResetRows(ListOf(page), state->tools.size(), selected);
  UpdateExtent(page, *state);
  ShowDetails(page);
}

void OnInit(HWND page) {
  auto* state = new ToolsPage;
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  if (ToolLastIndex >= 0)
    state->tools.assign(ToolList.begin(), ToolList.begin() + std::min<size_t>(size_t(ToolLastIndex) + 1, ToolList.size()));
  state->separatorFont = CreatePointFont(kRowFontFace, kSeparatorPoints, FW_BOLD, false);
  state->titleFont = CreatePointFont(kRowFontFace, kTitlePoints, FW_NORMAL, false);
  PrepareReorderList(page, IDC_TOOLS_PAGE_LIST, IDC_TOOLS_PAGE_UP, IDC_TOOLS_PAGE_DOWN, state->reorder);
  HWND list = ListOf(page);
  SendMessageA(list, LB_SETITEMHEIGHT, 0, RowHeight(list, state->titleFont));
  AttachPageTooltips(page, IDC_TOOLS_PAGE_UP, IDC_TOOLS_PAGE_SEPARATOR);
  Refresh(page, state->tools.empty() ? -1 : 0);
}

void OnDestroy(HWND page) {
  ToolsPage* state = PageOf(page);
  if (!state) return;
  SetWindowLongPtrA(page, DWLP_USER, 0);
  ReleaseReorderList(page, IDC_TOOLS_PAGE_UP, IDC_TOOLS_PAGE_DOWN, state->reorder);
  for (HICON icon : state->ownIcons) DestroyIcon(icon);
  if (state->separatorFont) DeleteObject(state->separatorFont);
  if (state->titleFont) DeleteObject(state->titleFont);
  delete state;
}

void OnApply(HWND page) {
  ToolsPage* state = PageOf(page);
  SaveTools(state->tools, int(state->tools.size()) - 1);
  // Icons now shown by the Tools menu belong to ToolList.
  std::erase_if(state->ownIcons, [](HICON icon) {
    return std::any_of(ToolList.begin(), ToolList.end(), [icon](const ToolRecord& tool) { return tool.IconHandle == icon; });
  });
}

bool AtLimit(HWND page) {
  if (PageOf(page)->tools.size() < size_t(kMaxToolItems)) return false;
  ShowListLimitMessage(page);
  return true;
}

void OnAdd(HWND page) {
  if (AtLimit(page)) return;
  ToolRecord tool;
  if (!EditToolItem(page, tool)) return;
  ToolsPage* state = PageOf(page);
  GiveOwnIcon(*state, tool);
  state->tools.push_back(tool);
  Refresh(page, int(state->tools.size()) - 1);
}

void OnModify(HWND page) {
  ToolsPage* state = PageOf(page);
  const int selected = SelectedRow(ListOf(page));
  if (selected < 0 || size_t(selected) >= state->tools.size()) return;
  ToolRecord edited = state->tools[size_t(selected)];
  if (!EditToolItem(page, edited)) return;
  ReleaseOwnIcon(*state, static_cast<HICON>(edited.IconHandle));
  GiveOwnIcon(*state, edited);
  state->tools[size_t(selected)] = edited;
  Refresh(page, selected);
}

void OnDelete(HWND page) {
  ToolsPage* state = PageOf(page);
  const int selected = SelectedRow(ListOf(page));
  if (selected < 0 || size_t(selected) >= state->tools.size()) return;
  ReleaseOwnIcon(*state, static_cast<HICON>(state->tools[size_t(selected)].IconHandle));
  state->tools.erase(state->tools.begin() + selected);
  Refresh(page, std::min(selected, int(state->tools.size()) - 1));
}

void OnSeparator(HWND page) {
  if (AtLimit(page)) return;
  ToolsPage* state = PageOf(page);
  ToolRecord separator;
  separator.Title = "-";
  state->tools.push_back(separator);
  Refresh(page, int(state->tools.size()) - 1);
}

void OnMove(HWND page, int direction) {
  if (MoveSelectedEntry(ListOf(page), PageOf(page)->tools, direction)) ShowDetails(page);
}

void OnCommand(HWND page, int id, int code) {
  switch (id) {
    case IDC_TOOLS_PAGE_LIST:
      if (code == LBN_SELCHANGE) ShowDetails(page);
      if (code == LBN_DBLCLK) OnModify(page);
      break;
    case IDC_TOOLS_PAGE_ADD: OnAdd(page); break;
    case IDC_TOOLS_PAGE_MODIFY: OnModify(page); break;
    case IDC_TOOLS_PAGE_DELETE: OnDelete(page); break;
    case IDC_TOOLS_PAGE_SEPARATOR: OnSeparator(page); break;
    case IDC_TOOLS_PAGE_UP: OnMove(page, -1); break;
    case IDC_TOOLS_PAGE_DOWN: OnMove(page, +1); break;
  }
}

void OnDrawItem(HWND page, const DRAWITEMSTRUCT* draw) {
  ToolsPage* state = PageOf(page);
  if (!state || draw->CtlID != IDC_TOOLS_PAGE_LIST || draw->itemID == UINT(-1)) return;
  if (draw->itemID >= state->tools.size()) return;
  const ToolRecord& tool = state->tools[draw->itemID];
  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  HDC dc = draw->hDC;
  FillRect(dc, &draw->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  const int iconSize = GetSystemMetrics(SM_CXSMICON);
  if (tool.IconHandle) {
    const int top = draw->rcItem.top + (draw->rcItem.bottom - draw->rcItem.top - GetSystemMetrics(SM_CYSMICON)) / 2;
    DrawIconEx(dc, draw->rcItem.left + kIconLeft, top, static_cast<HICON>(tool.IconHandle), iconSize,
               GetSystemMetrics(SM_CYSMICON), 0, nullptr, DI_NORMAL);
  }
  const bool separator = IsToolSeparator(tool);
  const std::string text = separator ? LoadModuleText(IDS_TOOL_SEPARATOR) : tool.Title;
  HFONT font = separator ? state->separatorFont : state->titleFont;
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  RECT area = draw->rcItem;
  area.left += kIconLeft + iconSize + kIconTextGap;
  DrawTextA(dc, text.c_str(), int(text.size()), &area, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
  if (old) SelectObject(dc, old);
  if (draw->itemState & ODS_FOCUS) DrawFocusRect(dc, &draw->rcItem);
}

void OnMeasureItem(HWND page, MEASUREITEMSTRUCT* measure) {
  if (measure->CtlID != IDC_TOOLS_PAGE_LIST) return;
  ToolsPage* state = PageOf(page);
  measure->itemHeight = UINT(RowHeight(ListOf(page), state ? state->titleFont : nullptr));
}

INT_PTR OnDragList(HWND page, const DRAGLISTINFO* info) {
  ToolsPage* state = PageOf(page);
  if (!state || !info) return FALSE;
  DragOutcome outcome = HandleDragNotification(page, state->reorder, *info, state->tools.size());
  if (ApplyDrop(ListOf(page), state->tools, outcome)) ShowDetails(page);
  return AnswerDialogMessage(page, outcome.result);
}

}  // namespace

INT_PTR CALLBACK ToolsPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
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
    case WM_MEASUREITEM:
      OnMeasureItem(page, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
      return TRUE;
    case kOptionsApplyMessage:
      if (PageOf(page)) OnApply(page);
      return TRUE;
  }
  return FALSE;
}

}  // namespace va
