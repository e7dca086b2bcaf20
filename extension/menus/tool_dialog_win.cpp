// tool_dialog_win: the "Tool Item Properties" dialog and its three pickers.
#include "extension/menus/tool_dialog_win.h"

#include <string>

#include "common/dialog_utils.h"
#include "extension/core/module_state.h"
#include "extension/menus/module_message_win.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

constexpr int kTextCapacity = 1024;

std::string ItemText(HWND dialog, int id) {
  char text[kTextCapacity] = "";
  GetDlgItemTextA(dialog, id, text, kTextCapacity);
  return text;
}

ToolRecord* RecordOf(HWND dialog) { return reinterpret_cast<ToolRecord*>(GetWindowLongPtrA(dialog, DWLP_USER)); }

void OnInit(HWND dialog, ToolRecord* record) {
  SetWindowLongPtrA(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(record));
  SetDlgItemTextA(dialog, IDC_TOOL_TITLE, record->Title.c_str());
  SetDlgItemTextA(dialog, IDC_TOOL_CMD, record->Cmd.c_str());
  SetDlgItemTextA(dialog, IDC_TOOL_WORKDIR, record->Workdir.c_str());
  SetDlgItemTextA(dialog, IDC_TOOL_ICON, record->Icon.c_str());
  CheckDlgButton(dialog, IDC_TOOL_PREVIEW, record->Preview == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void OnSave(HWND dialog) {
  const std::string title = ItemText(dialog, IDC_TOOL_TITLE);
  const std::string cmd = ItemText(dialog, IDC_TOOL_CMD);
  if (title.empty() || cmd.empty()) {
    MessageBeep(0);
    return;
  }
  ToolRecord* record = RecordOf(dialog);
  record->Title = title;
  record->Cmd = cmd;
  record->Workdir = ItemText(dialog, IDC_TOOL_WORKDIR);
  record->Icon = ItemText(dialog, IDC_TOOL_ICON);
  record->Preview = IsDlgButtonChecked(dialog, IDC_TOOL_PREVIEW) == BST_CHECKED ? 1 : 0;
  EndDialog(dialog, 1);
}

// The command line's folder: its text up to the last "\", quotes removed.
std::string CommandFolder(const std::string& cmd) {
  size_t slash = cmd.rfind('\\');
  std::string folder = slash == std::string::npos ? std::string() : cmd.substr(0, slash);
  std::string unquoted;
  for (char c : folder)
    if (c != '"') unquoted += c;
  return unquoted;
}

void OnPickProgram(HWND dialog) {
  const std::string file = PickOpenFile(dialog, CommandFolder(ItemText(dialog, IDC_TOOL_CMD)), std::string());
  if (!file.empty()) SetDlgItemTextA(dialog, IDC_TOOL_CMD, ("\"" + file + "\"").c_str());
}

void OnPickWorkdir(HWND dialog) {
  const std::string folder = PickFolder(dialog, ItemText(dialog, IDC_TOOL_WORKDIR), std::string());
  if (!folder.empty()) SetDlgItemTextA(dialog, IDC_TOOL_WORKDIR, folder.c_str());
}

void OnPickIcon(HWND dialog) {
  std::string filter = LoadModuleText(IDS_ICON_FILES);
  filter += '\0';
  filter += "*.ICO";
  filter += '\0';
  filter += LoadModuleText(IDS_ALL_FILES);
  filter += '\0';
  filter += "*.*";
  filter += '\0';
  const std::string file = PickOpenFile(dialog, std::string(), filter);
  if (!file.empty()) SetDlgItemTextA(dialog, IDC_TOOL_ICON, file.c_str());
}

INT_PTR CALLBACK ToolDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnInit(dialog, reinterpret_cast<ToolRecord*>(lParam));
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: OnSave(dialog); return TRUE;
        case IDCANCEL: EndDialog(dialog, 0); return TRUE;
        case IDC_TOOL_CMD_BROWSE: OnPickProgram(dialog); return TRUE;
        case IDC_TOOL_WORKDIR_BROWSE: OnPickWorkdir(dialog); return TRUE;
        case IDC_TOOL_ICON_BROWSE: OnPickIcon(dialog); return TRUE;
      }
      return FALSE;
  }
  return FALSE;
}

}  // namespace

int EditToolItem(HWND owner, ToolRecord& record) {
  return DialogBoxParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_TOOL_PROPERTIES), owner, ToolDialogProc,
                         reinterpret_cast<LPARAM>(&record)) == 1
             ? 1
             : 0;
}

}  // namespace va
