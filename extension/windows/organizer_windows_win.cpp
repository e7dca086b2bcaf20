// organizer_windows_win: see organizer_windows_win.h. Both windows are dialogs of
// the module with one report list; the work is done by the organizer.
#include "extension/windows/organizer_windows_win.h"

#include <commctrl.h>

#include <cstring>
#include <ctime>

#include "extension/core/module_state.h"
#include "extension/menus/module_message_win.h"
#include "extension/resources/resource.h"

namespace va {

namespace {

constexpr size_t kPreviewLimit = 500;
constexpr size_t kReportLimit = 30;  // entries left named in the undo's report

std::string Replaced(std::string text, const char* placeholder, const std::string& value) {
  const size_t at = text.find(placeholder);
  if (at != std::string::npos) text.replace(at, strlen(placeholder), value);
  return text;
}

// Columns from a "|"-separated string, widths in shares of the list's width.
void AddColumns(HWND list, UINT textId, const std::vector<int>& shares) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
  RECT area = {};
  GetClientRect(list, &area);
  std::string names = LoadModuleText(textId) + "|";
  for (int column = 0; column < int(shares.size()); ++column) {
    const size_t bar = names.find('|');
    std::string name = names.substr(0, bar);
    names.erase(0, bar + 1);
    LVCOLUMNA info = {};
    info.mask = LVCF_TEXT | LVCF_WIDTH;
    info.pszText = name.data();
    info.cx = (area.right - GetSystemMetrics(SM_CXVSCROLL)) * shares[size_t(column)] / 100;
    SendMessageA(list, LVM_INSERTCOLUMNA, WPARAM(column), reinterpret_cast<LPARAM>(&info));
  }
}

void AddRow(HWND list, const std::vector<std::string>& cells) {
  LVITEMA item = {};
  item.mask = LVIF_TEXT;
  item.iItem = int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  item.pszText = const_cast<char*>(cells[0].c_str());
  item.iItem = int(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
  for (size_t column = 1; column < cells.size(); ++column) {
    item.iSubItem = int(column);
    item.pszText = const_cast<char*>(cells[column].c_str());
    SendMessageA(list, LVM_SETITEMTEXTA, WPARAM(item.iItem), reinterpret_cast<LPARAM>(&item));
  }
}

std::string TimeText(int64_t when) {
  const time_t seconds = time_t(when);
  const tm* local = localtime(&seconds);
  char text[32] = "";
  if (local) strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return text;
}

UINT PlanText(PlanKind kind) {
  switch (kind) {
    case PlanKind::Ignored: return IDS_PLAN_IGNORED;
    case PlanKind::NoMatch: return IDS_PLAN_NO_MATCH;
    case PlanKind::Copy: return IDS_PLAN_COPY;
    case PlanKind::Move: return IDS_PLAN_MOVE;
    case PlanKind::FollowUpOnly: return IDS_PLAN_FOLLOW_UP;
    case PlanKind::HeldByWriter: return IDS_PLAN_HELD;
    case PlanKind::Unreadable: return IDS_PLAN_UNREADABLE;
    case PlanKind::AlreadyCopied: return IDS_PLAN_COPIED;
    case PlanKind::IntoSharedFolder: return IDS_PLAN_INSIDE;
    case PlanKind::NoFreeName: return IDS_PLAN_NO_NAME;
    case PlanKind::PutBack: return IDS_PLAN_PUT_BACK;
  }
  return IDS_PLAN_NO_MATCH;
}

UINT VerdictText(UndoVerdict verdict) {
  switch (verdict) {
    case UndoVerdict::Gone: return IDS_UNDO_GONE;
    case UndoVerdict::Changed: return IDS_UNDO_CHANGED;
    case UndoVerdict::NameTaken: return IDS_UNDO_NAME_TAKEN;
    case UndoVerdict::OriginalGone: return IDS_UNDO_ORIGINAL_GONE;
    default: return IDS_UNDO_FAILED;
  }
}

struct PreviewState {
  const std::vector<FilterRecord>* filters;
};

void OnPreviewInit(HWND window, const std::vector<FilterRecord>& filters) {
  HWND list = GetDlgItem(window, IDC_ORGANIZER_ROWS);
  AddColumns(list, IDS_PREVIEW_COLUMNS, {28, 17, 55});
  size_t total = 0;
  SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  for (const PreviewRow& row : PreviewSharedFolder(filters, kPreviewLimit, total)) AddRow(list, PreviewCells(row, filters));
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  const std::string note = LoadModuleText(total > kPreviewLimit ? IDS_PREVIEW_FIRST : IDS_PREVIEW_ALL);
  SetDlgItemTextA(window, IDC_ORGANIZER_NOTE, Replaced(note, "%N", std::to_string(total)).c_str());
}

INT_PTR CALLBACK PreviewProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnPreviewInit(window, *reinterpret_cast<const std::vector<FilterRecord>*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) EndDialog(window, 0);
      return TRUE;
  }
  return FALSE;
}

// The undo window keeps the journal it shows, newest first, in DWLP_USER.
std::vector<JournalEntry>* JournalOf(HWND window) {
  return reinterpret_cast<std::vector<JournalEntry>*>(GetWindowLongPtrA(window, DWLP_USER));
}

void FillUndoList(HWND window) {
  std::vector<JournalEntry>* journal = JournalOf(window);
  *journal = ReadJournal();
  HWND list = GetDlgItem(window, IDC_ORGANIZER_ROWS);
  SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
  for (const JournalEntry& entry : *journal)
    AddRow(list, {TimeText(entry.when), LoadModuleText(entry.action == Copy ? IDS_ACTION_COPY : IDS_ACTION_MOVE),
                  Utf8ToAnsi(entry.source), Utf8ToAnsi(entry.target)});
  SetDlgItemTextA(window, IDC_ORGANIZER_NOTE, journal->empty() ? LoadModuleText(IDS_UNDO_EMPTY).c_str() : "");
  EnableWindow(GetDlgItem(window, IDC_ORGANIZER_UNDO_RUN), !journal->empty());
}

void OnUndoRun(HWND window) {
  std::vector<JournalEntry>* journal = JournalOf(window);
  const int selected = int(SendDlgItemMessageA(window, IDC_ORGANIZER_ROWS, LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
  if (selected < 0 || size_t(selected) >= journal->size()) {
    MessageBeep(MB_OK);
    return;
  }
  const JournalEntry& oldest = (*journal)[size_t(selected)];
  if (ShowModuleMessage(window, IDS_UNDO_CONFIRM, "%T", TimeText(oldest.when), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  const std::string report = UndoReport(UndoJournalSince(oldest.seq));
  MessageBoxA(window, report.c_str(), CaptionText, MB_OK | MB_ICONINFORMATION);
  FillUndoList(window);
}

INT_PTR CALLBACK UndoProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      SetWindowLongPtrA(window, DWLP_USER, reinterpret_cast<LONG_PTR>(new std::vector<JournalEntry>));
      AddColumns(GetDlgItem(window, IDC_ORGANIZER_ROWS), IDS_UNDO_COLUMNS, {24, 10, 33, 33});
      FillUndoList(window);
      return TRUE;
    case WM_DESTROY:
      delete JournalOf(window);
      SetWindowLongPtrA(window, DWLP_USER, 0);
      return FALSE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDC_ORGANIZER_UNDO_RUN) OnUndoRun(window);
      if (LOWORD(wParam) == IDCANCEL || LOWORD(wParam) == IDOK) EndDialog(window, 0);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

std::vector<std::string> PreviewCells(const PreviewRow& row, const std::vector<FilterRecord>& filters) {
  const std::string title = row.plan.filter >= 0 && size_t(row.plan.filter) < filters.size()
                                ? filters[size_t(row.plan.filter)].Title : "";
  return {Utf8ToAnsi(row.name), title, Replaced(LoadModuleText(PlanText(row.plan.kind)), "%T", Utf8ToAnsi(row.plan.target))};
}

std::string UndoReport(const std::vector<UndoOutcome>& outcomes) {
  size_t undone = 0, left = 0;
  std::string lines;
  for (const UndoOutcome& outcome : outcomes) {
    if (outcome.verdict == UndoVerdict::Undone) {
      ++undone;
    } else if (++left <= kReportLimit) {
      lines += Utf8ToAnsi(outcome.entry.target) + ": " + LoadModuleText(VerdictText(outcome.verdict)) + "\n";
    }
  }
  if (left > kReportLimit) lines += Replaced(LoadModuleText(IDS_UNDO_NONE_LEFT), "%N", std::to_string(left - kReportLimit));
  const std::string tail = left ? LoadModuleText(IDS_UNDO_LEFT) + lines : "";
  return Replaced(Replaced(LoadModuleText(IDS_UNDO_RESULT), "%N", std::to_string(undone)), "%T", tail);
}

void ShowOrganizerPreview(HWND owner, const std::vector<FilterRecord>& filters) {
  DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_ORGANIZER_PREVIEW), owner, PreviewProc,
                  reinterpret_cast<LPARAM>(&filters));
}

void ShowOrganizerUndo(HWND owner) {
  DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_ORGANIZER_UNDO), owner, UndoProc, 0);
}

}  // namespace va
