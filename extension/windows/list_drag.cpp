// list_drag: insertion mark and drop rules of the options pages' drag lists.
#include "extension/windows/list_drag.h"

namespace va {

namespace {
bool IsRow(int row, int count) { return row >= 0 && row < count; }
}  // namespace

int DragMarkRow(int over, int dragged, int count) {
  if (!IsRow(over, count) || !IsRow(dragged, count)) return -1;
  const int last = count - 1;
  if (over > dragged && over != last) return over + 1;
  if (over < dragged) return over;
  if (over == last && over != dragged) return over;
  return -1;
}

int DragDropRow(int over, int dragged, int count) {
  if (!IsRow(over, count) || !IsRow(dragged, count) || over == dragged) return -1;
  return over;
}

}  // namespace va
