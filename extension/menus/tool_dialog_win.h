// tool_dialog_win: the "Tool Item Properties" dialog (118) that edits one tool.
#pragma once
#include <windows.h>

#include "extension/menus/tool_list.h"

namespace va {

// Shows the dialog for `record`, owned by `owner`. "Save" with a title and a
// command line stores the five fields into `record` and gives 1; "Cancel" gives 0
// and leaves `record` as it was. An empty title or command line only beeps.
int EditToolItem(HWND owner, ToolRecord& record);

}  // namespace va
