// The "Tool Item Properties" dialog: what it shows, Save with and without the
// required fields, Cancel.
#include "extension/menus/tool_dialog_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <functional>

#include "extension/core/module_state.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

// Runs `onShown` on the dialog as soon as it is activated (its controls are
// filled by then); the script then posts the button presses.
std::function<void(HWND)> onShown;
LRESULT CALLBACK ActivationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && onShown) {
    auto script = std::move(onShown);
    onShown = nullptr;
    script(reinterpret_cast<HWND>(wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

int RunDialog(ToolRecord& record, std::function<void(HWND)> script) {
  onShown = std::move(script);
  HHOOK hook = SetWindowsHookExA(WH_CBT, ActivationHook, nullptr, GetCurrentThreadId());
  int result = EditToolItem(nullptr, record);
  UnhookWindowsHookEx(hook);
  return result;
}

std::string Text(HWND dialog, int id) {
  char text[256] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void Press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

ToolRecord Sample() {
  ToolRecord tool;
  tool.Title = "Editor";
  tool.Cmd = "\"C:\\Tools\\ed.exe\" -n";
  tool.Workdir = "C:\\Work";
  tool.Icon = "C:\\Icons\\ed.ico";
  tool.Preview = 1;
  return tool;
}

class ToolDialog : public testing::Test {
 protected:
  void SetUp() override { ModuleInstance = GetModuleHandleA(nullptr); }
};

TEST_F(ToolDialog, ShowsTheRecordAndCancelLeavesItUnchanged) {
  ToolRecord tool = Sample();
  std::string caption;
  std::vector<std::string> shown;
  bool previewChecked = false;
  EXPECT_EQ(RunDialog(tool,
                      [&](HWND dialog) {
                        char text[64] = "";
                        GetWindowTextA(dialog, text, sizeof text);
                        caption = text;
                        for (int id : {IDC_TOOL_TITLE, IDC_TOOL_CMD, IDC_TOOL_WORKDIR, IDC_TOOL_ICON})
                          shown.push_back(Text(dialog, id));
                        previewChecked = IsDlgButtonChecked(dialog, IDC_TOOL_PREVIEW) == BST_CHECKED;
                        SetDlgItemTextA(dialog, IDC_TOOL_TITLE, "Changed");
                        Press(dialog, IDCANCEL);
                      }),
            0);
  EXPECT_EQ(caption, "Tool Item Properties");
  EXPECT_EQ(shown, (std::vector<std::string>{"Editor", "\"C:\\Tools\\ed.exe\" -n", "C:\\Work", "C:\\Icons\\ed.ico"}));
  EXPECT_TRUE(previewChecked);
  EXPECT_EQ(tool.Title, "Editor");
}

TEST_F(ToolDialog, SaveStoresAllFiveFields) {
  ToolRecord tool = Sample();
  EXPECT_EQ(RunDialog(tool,
                      [](HWND dialog) {
                        SetDlgItemTextA(dialog, IDC_TOOL_TITLE, "Viewer");
                        SetDlgItemTextA(dialog, IDC_TOOL_CMD, "view.exe %1");
                        SetDlgItemTextA(dialog, IDC_TOOL_WORKDIR, "");
                        SetDlgItemTextA(dialog, IDC_TOOL_ICON, "v.ico");
                        CheckDlgButton(dialog, IDC_TOOL_PREVIEW, BST_UNCHECKED);
                        Press(dialog, IDOK);
                      }),
            1);
  EXPECT_EQ(tool.Title, "Viewer");
  EXPECT_EQ(tool.Cmd, "view.exe %1");
  EXPECT_EQ(tool.Workdir, "");
  EXPECT_EQ(tool.Icon, "v.ico");
  EXPECT_EQ(tool.Preview, 0);
}

TEST_F(ToolDialog, SaveWithoutTitleOrCommandKeepsTheDialogOpen) {
  for (int emptied : {IDC_TOOL_TITLE, IDC_TOOL_CMD}) {
    SCOPED_TRACE(emptied);
    ToolRecord tool = Sample();
    // Save first: had it closed the dialog, the result would be 1; the Cancel
    // behind it is only seen by a dialog that stayed open.
    EXPECT_EQ(RunDialog(tool,
                        [emptied](HWND dialog) {
                          SetDlgItemTextA(dialog, emptied, "");
                          Press(dialog, IDOK);
                          Press(dialog, IDCANCEL);
                        }),
              0);
    EXPECT_EQ(tool.Title, "Editor");
    EXPECT_EQ(tool.Cmd, "\"C:\\Tools\\ed.exe\" -n");
  }
}

}  // namespace
}  // namespace va
