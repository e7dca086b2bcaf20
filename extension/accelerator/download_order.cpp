// download_order: the reorder dialog's record operations, on top of list_order.
#include "extension/accelerator/download_order.h"

#include "common/list_order.h"

namespace va {

void AddToOrder(DownloadOrder& order, uintptr_t data, const std::string& title) {
  order.rowData.push_back(data);
  order.titles.push_back(title);
  order.lastIndex = static_cast<int32_t>(order.rowData.size()) - 1;
}

size_t MoveByButton(DownloadOrder& order, size_t selected, int direction) {
  const size_t target = NeighbourIndex(selected, direction, order.rowData.size());
  if (target == selected || target >= order.titles.size()) return selected;
  SwapEntries(order.rowData, selected, target);
  SwapEntries(order.titles, selected, target);
  return target;
}

bool MoveByDrag(DownloadOrder& order, size_t from, size_t to) {
  if (order.titles.size() != order.rowData.size()) return false;
  return MoveEntry(order.rowData, from, to) && MoveEntry(order.titles, from, to);
}

namespace {
int PositionOf(const DownloadOrder& order, uintptr_t data) {
  for (size_t i = 0; i < order.rowData.size(); ++i)
    if (order.rowData[i] == data) return static_cast<int>(i);
  return static_cast<int>(order.rowData.size());
}
}  // namespace

int CompareOrderPositions(const DownloadOrder& order, uintptr_t first, uintptr_t second) {
  return PositionOf(order, first) - PositionOf(order, second);
}

int InsertionMarkBefore(int dragged, int over, int count) {
  if (over < 0 || over >= count || dragged < 0 || dragged >= count) return -1;
  const int last = count - 1;
  if (over > dragged && over != last) return over + 1;
  if (over < dragged) return over;
  if (over == last && over != dragged) return over;
  return -1;
}

}  // namespace va
