// filter_dialog: the "Filter Properties" dialog (400) that edits one filter.
#pragma once
#include <windows.h>

#include "extension/organizer/filter_rules.h"

namespace va {

// Shows the dialog for `record`; true when the user saved (the record then holds
// the new fields, Action 1 or 2), false when cancelled (the record is unchanged).
bool EditFilterItem(HWND owner, FilterRecord& record);

}  // namespace va
