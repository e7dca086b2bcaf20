// menu_commands_win: the main frame's messages that belong to the Tools menu, the
// file manager menu and QuickLinks, in one place for the main window's procedure.
#pragma once
#include <windows.h>

namespace va {

// Commands 10000..10031 (RunTool), 10500..10531 (PreviewWithTool), 11005
// (ShellOpenSelected), 11451..11455 (StartQuickLinks), and WM_MEASUREITEM /
// WM_DRAWITEM of tool items. True when the message was handled; `result` is then
// the answer.
bool HandleToolAndFileMessage(HWND main, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

}  // namespace va
