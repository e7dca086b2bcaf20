// filter_dialog_win: the "Filter Properties" dialog: shows a filter record, offers
// the folder and file pickers, checks the fields on Save.
#include "extension/organizer/filter_dialog.h"

#include "common/dialog_utils.h"
#include "common/text_rules.h"
#include "extension/core/module_state.h"
#include "extension/organizer/organizer.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

struct FilterDialog {
  FilterRecord* record;
};

std::string LoadModuleString(UINT id) {
  char text[512] = "";
  LoadStringA(ModuleInstance, id, text, sizeof text);
  return text;
}

std::string ItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  int length = GetWindowTextLengthA(item);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  GetWindowTextA(item, text.data(), length + 1);
  text.resize(strnlen(text.c_str(), text.size()));
  return text;
}

// The folder part of a path: up to (not including) its last "\".
std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool MoveSelected(HWND dialog) { return IsDlgButtonChecked(dialog, IDC_FILTER_MOVE) == BST_CHECKED; }

BOOL OnInitDialog(HWND dialog, FilterDialog* state) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  const FilterRecord& r = *state->record;
  SetDlgItemTextA(dialog, IDC_FILTER_TITLE, r.Title.c_str());
  SetDlgItemTextA(dialog, IDC_FILTER_FILTER, r.Filter.c_str());
  SetDlgItemTextA(dialog, IDC_FILTER_DEST, r.Dest.c_str());
  SetDlgItemTextA(dialog, IDC_FILTER_WAV, r.Wav.c_str());
  SetDlgItemTextA(dialog, IDC_FILTER_CMD, r.Cmd.c_str());
  CheckRadioButton(dialog, IDC_FILTER_COPY, IDC_FILTER_MOVE, r.Action == Copy ? IDC_FILTER_COPY : IDC_FILTER_MOVE);
  return TRUE;
}

void BrowseDestination(HWND dialog) {
  std::string root = MoveSelected(dialog) ? ReadSharedFolder() : std::string();
  std::string chosen = PickFolder(dialog, ItemText(dialog, IDC_FILTER_DEST), "", root);
  if (!chosen.empty()) SetDlgItemTextA(dialog, IDC_FILTER_DEST, chosen.c_str());
}

void BrowseSound(HWND dialog) {
  std::string filter = LoadModuleString(IDS_SOUND_FILES) + '\0' + "*.WAV" + '\0' + LoadModuleString(IDS_ALL_FILES) +
                       '\0' + "*.*" + '\0';
  std::string chosen = PickOpenFile(dialog, FolderOf(ItemText(dialog, IDC_FILTER_WAV)), filter);
  if (!chosen.empty()) SetDlgItemTextA(dialog, IDC_FILTER_WAV, chosen.c_str());
}

void BrowseCommand(HWND dialog) {
  std::string folder = FolderOf(ItemText(dialog, IDC_FILTER_CMD));
  std::string cleaned;
  for (char c : folder) {
    if (c != '"') cleaned += c;
  }
  cleaned = std::string(TrimSpaces(cleaned));
  std::string filter = LoadModuleString(IDS_ALL_FILES) + '\0' + "*.*" + '\0';
  std::string chosen = PickOpenFile(dialog, cleaned, filter);
  if (!chosen.empty()) SetDlgItemTextA(dialog, IDC_FILTER_CMD, ("\"" + chosen + "\"").c_str());
}

void OnSave(HWND dialog, FilterDialog* state) {
  std::string title = ItemText(dialog, IDC_FILTER_TITLE);
  std::string filter = ItemText(dialog, IDC_FILTER_FILTER);
  std::string dest = ItemText(dialog, IDC_FILTER_DEST);
  if (title.empty() || filter.empty() || dest.empty()) {
    MessageBeep(MB_OK);
    return;
  }
  bool move = MoveSelected(dialog);
  if (move && UpperCaseText(dest).find(UpperCaseText(ReadSharedFolder())) == std::string::npos) {
    MessageBoxA(dialog, LoadModuleString(IDS_MOVE_OUTSIDE_SHARED).c_str(), OrganizerCaption(), MB_OK);
    return;
  }
  FilterRecord& r = *state->record;
  r.Title = title;
  r.Filter = filter;
  r.Dest = dest;
  r.Wav = ItemText(dialog, IDC_FILTER_WAV);
  r.Cmd = ItemText(dialog, IDC_FILTER_CMD);
  r.Action = move ? Move : Copy;
  EndDialog(dialog, 1);
}

void OnCommand(HWND dialog, int id) {
  FilterDialog* state = reinterpret_cast<FilterDialog*>(GetWindowLongPtrA(dialog, DWLP_USER));
  switch (id) {
    case IDOK: OnSave(dialog, state); break;
    case IDCANCEL: EndDialog(dialog, 0); break;
    case IDC_FILTER_DEST_BROWSE: BrowseDestination(dialog); break;
    case IDC_FILTER_WAV_BROWSE: BrowseSound(dialog); break;
    case IDC_FILTER_CMD_BROWSE: BrowseCommand(dialog); break;
  }
}

INT_PTR CALLBACK FilterDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, reinterpret_cast<FilterDialog*>(lParam));
    case WM_COMMAND: OnCommand(dialog, LOWORD(wParam)); return TRUE;
  }
  return FALSE;
}

}  // namespace

bool EditFilterItem(HWND owner, FilterRecord& record) {
  FilterDialog state{&record};
  return DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_FILTER_PROPERTIES), owner, FilterDialogProc,
                         reinterpret_cast<LPARAM>(&state)) == 1;
}

}  // namespace va
