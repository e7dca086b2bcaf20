// tools_menu_win: the Tools menu: loading and saving the tool list, the three
// popups with their owner-drawn items, running a tool and previewing the selected
// download with one. The portable rules are in tool_list.h.
#pragma once
#include <windows.h>

#include <vector>

#include "extension/menus/tool_list.h"

namespace va {

// The tools in menu order; ToolLastIndex is -1 when there are none.
extern std::vector<ToolRecord> ToolList;
extern int ToolLastIndex;

// The popups, made by the first BuildToolsMenus and refilled by each later one.
extern HMENU MainToolsMenu;
extern HMENU TrayToolsMenu;
extern HMENU PreviewToolsMenu;

// Reads SOFTWARE\VAExtensions\Tools (HKEY_CURRENT_USER, else HKEY_LOCAL_MACHINE)
// into ToolList, at most 32 tools ordered by their number, with their icons.
int LoadTools();
// Replaces the stored list by `records[0..lastIndex]` (numbered from 1) and
// rebuilds the popups; 1 when stored. A negative lastIndex empties the list.
int SaveTools(const std::vector<ToolRecord>& records, int lastIndex);
void BuildToolsMenus();

// WM_MEASUREITEM / WM_DRAWITEM of the main window: act on tool items only.
void MeasureToolItem(MEASUREITEMSTRUCT* measure);
void DrawToolItem(const DRAWITEMSTRUCT* draw);

// Commands 10000 + index and 10500 + index.
void RunTool(HWND owner, int index);
void PreviewWithTool(int index);

// The small icon of a tool: its custom icon file, else its program's; 0 for
// separators and when none can be loaded. The caller owns it.
HICON LoadToolIcon(const ToolRecord& tool);
// Destroys the icons of `released` that no record of `kept` shows any more.
void ReleaseToolIcons(const std::vector<ToolRecord>& released, const std::vector<ToolRecord>& kept);

}  // namespace va
