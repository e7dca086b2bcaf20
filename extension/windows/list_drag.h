// list_drag: where a drag list draws its insertion mark and where a dropped row
// lands, for the options pages' reorderable lists. Portable; the drag list itself
// is driven in options_list_page_win.cpp.
#pragma once

namespace va {

// The row before which the insertion mark is drawn while row `dragged` of `count`
// rows is over row `over` (-1: over no row); -1 when no mark is shown. Below the
// dragged row the mark goes after the row under the cursor, above it before it;
// over the last row the mark goes before that row.
int DragMarkRow(int over, int dragged, int count);

// The index the dragged row moves to when dropped over row `over`, or -1 when the
// drop moves nothing (over no row, over itself, or no drag under way).
int DragDropRow(int over, int dragged, int count);

}  // namespace va
