// options_accel_page_win: the options dialog's "Accelerator" page (dialog 203):
// the accelerator's delays, skips, speed limit, "Try to keep" range and clean-up
// switches, saved through the accelerator's settings.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "common/dialog_utils.h"
#include "common/number_text.h"
#include "extension/accelerator/accelerator_settings_win.h"
#include "extension/hostui/help_popup_win.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_page_controls_win.h"
#include "extension/windows/options_pages_win.h"
#include "extension/windows/options_rules.h"

namespace va {
namespace {

// The page's working state, kept in DWLP_USER from creation to destruction.
struct AccelPage {
  KeepDownloadsSwitch keep;
  bool loading = true;  // no number rules while the stored values are put in
};

AccelPage* State(HWND page) { return reinterpret_cast<AccelPage*>(GetWindowLongPtrA(page, DWLP_USER)); }

struct SpinBox {
  int edit;
  int spin;
  NumberRange range;
};
constexpr SpinBox kSpinBoxes[] = {
    {IDC_OPT_CYCLES_DELAY, IDC_OPT_CYCLES_SPIN, kCyclesDelayRange},
    {IDC_OPT_ITEM_DELAY, IDC_OPT_ITEM_SPIN, kItemDelayRange},
    {IDC_OPT_TIMES_SEARCHING, IDC_OPT_TIMES_SPIN, kTimesSearchingRange},
    {IDC_OPT_DOWNLOADS_MIN, IDC_OPT_MIN_SPIN, kDownloadsRange},
    {IDC_OPT_DOWNLOADS_MAX, IDC_OPT_MAX_SPIN, kDownloadsRange},
};

// The usual conversion of an edit's text: an empty box gives 0.
int32_t ItemNumber(HWND page, int id) { return ParseLeadingInteger(ItemText(page, id)); }
void SetItemNumber(HWND page, int id, int64_t value) { SetDlgItemTextA(page, id, std::to_string(value).c_str()); }

// The minimum's arrows stop at the maximum shown and the maximum's at the
// minimum, as typing does: each spin's range follows the other box.
void FollowDownloadBounds(HWND page) {
  const NumberRange lower = DownloadsMinRange(ItemNumber(page, IDC_OPT_DOWNLOADS_MAX));
  const NumberRange upper = DownloadsMaxRange(ItemNumber(page, IDC_OPT_DOWNLOADS_MIN));
  SendDlgItemMessageA(page, IDC_OPT_MIN_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(lower.minimum), lower.maximum);
  SendDlgItemMessageA(page, IDC_OPT_MAX_SPIN, UDM_SETRANGE32, static_cast<WPARAM>(upper.minimum), upper.maximum);
}

void EnableWithSpin(HWND page, int edit, int spin, bool enabled) {
  EnableItem(page, edit, enabled);
  EnableItem(page, spin, enabled);
}

void FollowSkipBySpeed(HWND page) { EnableItem(page, IDC_OPT_MIN_SPEED, IsItemChecked(page, IDC_OPT_SKIP_BY_SPEED)); }
void FollowSearchResume(HWND page) {
  EnableWithSpin(page, IDC_OPT_TIMES_SEARCHING, IDC_OPT_TIMES_SPIN, IsItemChecked(page, IDC_OPT_SEARCH_RESUME));
}
void FollowScanFirst(HWND page) { EnableItem(page, IDC_OPT_SCAN_ITEMS, IsItemChecked(page, IDC_OPT_SCAN_FIRST)); }

// Enable states that follow "Try to keep": the range and its option are usable,
// the two skips are not, and the note icon says why.
void ShowKeepState(HWND page, bool keep) {
  EnableItem(page, IDC_OPT_SKIP_PAUSED, !keep);
  EnableItem(page, IDC_OPT_SKIP_QUEUED, !keep);
  EnableWithSpin(page, IDC_OPT_DOWNLOADS_MIN, IDC_OPT_MIN_SPIN, keep);
  EnableWithSpin(page, IDC_OPT_DOWNLOADS_MAX, IDC_OPT_MAX_SPIN, keep);
  EnableItem(page, IDC_OPT_NO_SEARCHING, keep);
  ShowItem(page, IDC_OPT_KEEP_NOTE, keep);
}

void ShowSkips(HWND page, SkipBoxes boxes) {
  CheckItem(page, IDC_OPT_SKIP_PAUSED, boxes.paused);
  CheckItem(page, IDC_OPT_SKIP_QUEUED, boxes.queued);
}

void OnKeepClicked(HWND page, AccelPage* state) {
  const bool keep = IsItemChecked(page, IDC_OPT_KEEP_DOWNLOADS);
  if (keep) {
    SkipBoxes shown = {IsItemChecked(page, IDC_OPT_SKIP_PAUSED), IsItemChecked(page, IDC_OPT_SKIP_QUEUED)};
    ShowSkips(page, state->keep.Check(shown));
  } else {
    ShowSkips(page, state->keep.Uncheck());
  }
  ShowKeepState(page, keep);
}

void OnInitPage(HWND page) {
  auto* state = new AccelPage;
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  const AcceleratorSettings& s = Accelerator;
  for (const SpinBox& box : kSpinBoxes)
    SendDlgItemMessageA(page, box.spin, UDM_SETRANGE32, static_cast<WPARAM>(box.range.minimum), box.range.maximum);
  int32_t minimum = static_cast<int32_t>(s.NumDownloadsMin > 10 ? 10 : s.NumDownloadsMin);
  int32_t maximum = static_cast<int32_t>(s.NumDownloadsMax > 10 ? 10 : s.NumDownloadsMax);
  NormaliseDownloadBounds(&minimum, &maximum);
  // The boxes show what Apply would store: a record that was never loaded (no
  // stored key) holds 0, which is outside the ranges.
  SetItemNumber(page, IDC_OPT_CYCLES_DELAY, ClampToRange(s.CyclesDelay, kCyclesDelayRange));
  SetItemNumber(page, IDC_OPT_ITEM_DELAY, ClampToRange(s.ItemDelay, kItemDelayRange));
  SetItemNumber(page, IDC_OPT_TIMES_SEARCHING, ClampToRange(s.TimesInSearchState, kTimesSearchingRange));
  SetItemNumber(page, IDC_OPT_DOWNLOADS_MIN, minimum);
  SetItemNumber(page, IDC_OPT_DOWNLOADS_MAX, maximum);
  FollowDownloadBounds(page);
  SetDlgItemTextA(page, IDC_OPT_MIN_SPEED, FormatSpeedText(s.MinSpeed).c_str());
  if (s.NumScanItems > 0) SetItemNumber(page, IDC_OPT_SCAN_ITEMS, s.NumScanItems);
  CheckItem(page, IDC_OPT_SKIP_PAUSED, s.SkipPaused);
  CheckItem(page, IDC_OPT_SKIP_QUEUED, s.SkipQueued);
  CheckItem(page, IDC_OPT_SKIP_BY_SPEED, s.SkipBySpeed);
  CheckItem(page, IDC_OPT_SEARCH_RESUME, s.SearchResume);
  CheckItem(page, IDC_OPT_KEEP_DOWNLOADS, s.KeepDownloads);
  CheckItem(page, IDC_OPT_NO_SEARCHING, s.NoSearchingConnecting);
  CheckItem(page, IDC_OPT_CLEAR_UPLOADS, s.ClearUploads);
  CheckItem(page, IDC_OPT_CLEAR_DOWNLOADS, s.ClearDownloads);
  CheckItem(page, IDC_OPT_SCAN_FIRST, s.NumScanItems > 0);
  // Unchecking "Try to keep" later gives back what the skips show now.
  state->keep.remembered = {s.SkipPaused != 0, s.SkipQueued != 0};
  SendDlgItemMessageA(page, IDC_OPT_KEEP_NOTE, STM_SETICON, reinterpret_cast<WPARAM>(OptionsInfoIcon), 0);
  ShowKeepState(page, s.KeepDownloads);
  FollowSkipBySpeed(page);
  FollowSearchResume(page);
  FollowScanFirst(page);
  AttachPageTooltips(page, IDC_OPT_CYCLES_DELAY, IDC_OPT_SCAN_ITEMS);
  state->loading = false;
}

// Typed text: letters are dropped with a beep, and the spin-bound boxes clamp
// into their range (the minimum and maximum boxes into each other's).
void OnEditChanged(HWND page, int id) {
  HWND edit = GetDlgItem(page, id);
  switch (id) {
    case IDC_OPT_MIN_SPEED: FilterNumericEdit(edit, true); return;
    case IDC_OPT_SCAN_ITEMS: FilterNumericEdit(edit, false); return;
    case IDC_OPT_DOWNLOADS_MIN: {
      FilterNumericEdit(edit, false);
      NumberRange range = DownloadsMinRange(ItemNumber(page, IDC_OPT_DOWNLOADS_MAX));
      ClampEditNumber(edit, range.minimum, range.maximum);
      FollowDownloadBounds(page);
      return;
    }
    case IDC_OPT_DOWNLOADS_MAX: {
      FilterNumericEdit(edit, false);
      NumberRange range = DownloadsMaxRange(ItemNumber(page, IDC_OPT_DOWNLOADS_MIN));
      ClampEditNumber(edit, range.minimum, range.maximum);
      FollowDownloadBounds(page);
      return;
    }
  }
  for (const SpinBox& box : kSpinBoxes) {
    if (box.edit != id) continue;
    FilterNumericEdit(edit, false);
    ClampEditNumber(edit, box.range.minimum, box.range.maximum);
  }
}

void OnCommand(HWND page, WPARAM wParam) {
  AccelPage* state = State(page);
  const int id = LOWORD(wParam);
  const int code = HIWORD(wParam);
  if (code == EN_CHANGE) {
    if (!state->loading) OnEditChanged(page, id);
    return;
  }
  if (id == IDC_OPT_KEEP_NOTE) {
    if (code == STN_CLICKED) ShowHelpPopup(page, ModuleText(IDC_OPT_KEEP_NOTE).c_str());
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_OPT_SKIP_BY_SPEED: FollowSkipBySpeed(page); break;
    case IDC_OPT_SEARCH_RESUME: FollowSearchResume(page); break;
    case IDC_OPT_KEEP_DOWNLOADS: OnKeepClicked(page, state); break;
    case IDC_OPT_SCAN_FIRST: FollowScanFirst(page); break;
  }
}

void OnApply(HWND page) {
  AcceleratorSettings next = Accelerator;
  next.CyclesDelay = static_cast<uint32_t>(ClampToRange(ItemNumber(page, IDC_OPT_CYCLES_DELAY), kCyclesDelayRange));
  next.ItemDelay = static_cast<uint32_t>(ClampToRange(ItemNumber(page, IDC_OPT_ITEM_DELAY), kItemDelayRange));
  next.TimesInSearchState =
      static_cast<uint32_t>(ClampToRange(ItemNumber(page, IDC_OPT_TIMES_SEARCHING), kTimesSearchingRange));
  int32_t minimum = ItemNumber(page, IDC_OPT_DOWNLOADS_MIN);
  int32_t maximum = ItemNumber(page, IDC_OPT_DOWNLOADS_MAX);
  NormaliseDownloadBounds(&minimum, &maximum);  // the boxes already keep this; a last guard
  next.NumDownloadsMin = static_cast<uint32_t>(minimum);
  next.NumDownloadsMax = static_cast<uint32_t>(maximum);
  next.MinSpeed = ParseSpeedText(ItemText(page, IDC_OPT_MIN_SPEED));
  const int32_t scan = ItemNumber(page, IDC_OPT_SCAN_ITEMS);
  next.NumScanItems = IsItemChecked(page, IDC_OPT_SCAN_FIRST) && scan > 0 ? static_cast<uint32_t>(scan) : 0;
  next.SkipPaused = IsItemChecked(page, IDC_OPT_SKIP_PAUSED);
  next.SkipQueued = IsItemChecked(page, IDC_OPT_SKIP_QUEUED);
  next.SkipBySpeed = IsItemChecked(page, IDC_OPT_SKIP_BY_SPEED);
  next.SearchResume = IsItemChecked(page, IDC_OPT_SEARCH_RESUME);
  next.KeepDownloads = IsItemChecked(page, IDC_OPT_KEEP_DOWNLOADS);
  next.NoSearchingConnecting = IsItemChecked(page, IDC_OPT_NO_SEARCHING);
  next.ClearUploads = IsItemChecked(page, IDC_OPT_CLEAR_UPLOADS);
  next.ClearDownloads = IsItemChecked(page, IDC_OPT_CLEAR_DOWNLOADS);
  SaveAcceleratorSettings(next);
}

void OnDestroy(HWND page) {
  delete State(page);
  SetWindowLongPtrA(page, DWLP_USER, 0);
}

}  // namespace

INT_PTR CALLBACK AccelPageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInitPage(page); return TRUE;
    case WM_COMMAND:
      if (State(page)) OnCommand(page, wParam);
      return TRUE;
    case kOptionsApplyMessage:
      if (State(page)) OnApply(page);
      return TRUE;
    case WM_DESTROY: OnDestroy(page); return FALSE;
  }
  return FALSE;
}

}  // namespace va
