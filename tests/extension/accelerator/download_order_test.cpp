// The reorder dialog's record: moves keep item data and titles together, the
// sort comparison gives the edited order, and where a drag shows its mark.
#include "extension/accelerator/download_order.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace va {
namespace {

DownloadOrder FourDownloads() {
  DownloadOrder order;
  for (uintptr_t n = 1; n <= 4; ++n) AddToOrder(order, n * 0x100, "t" + std::to_string(n));
  return order;
}

std::string Titles(const DownloadOrder& order) {
  std::string out;
  for (size_t i = 0; i < order.titles.size(); ++i) {
    out += order.titles[i];
    // Item data must travel with its title.
    if (order.rowData[i] != (order.titles[i][1] - '0') * 0x100u) out += "!";
    out += i + 1 < order.titles.size() ? "," : "";
  }
  return out;
}

TEST(DownloadOrder, DragsMoveBothArraysTogether) {
  DownloadOrder order = FourDownloads();
  EXPECT_EQ(order.lastIndex, 3);
  EXPECT_TRUE(MoveByDrag(order, 0, 2));
  EXPECT_EQ(Titles(order), "t2,t3,t1,t4");
  order = FourDownloads();
  EXPECT_TRUE(MoveByDrag(order, 3, 1));
  EXPECT_EQ(Titles(order), "t1,t4,t2,t3");
  EXPECT_FALSE(MoveByDrag(order, 4, 0));
  EXPECT_EQ(Titles(order), "t1,t4,t2,t3");
}

TEST(DownloadOrder, ButtonsSwapNeighboursAndStopAtTheEnds) {
  DownloadOrder order = FourDownloads();
  EXPECT_EQ(MoveByButton(order, 0, -1), 0u);
  EXPECT_EQ(MoveByButton(order, 3, +1), 3u);
  EXPECT_EQ(Titles(order), "t1,t2,t3,t4");
  EXPECT_EQ(MoveByButton(order, 1, +1), 2u);
  EXPECT_EQ(Titles(order), "t1,t3,t2,t4");
  EXPECT_EQ(MoveByButton(order, 2, -1), 1u);
  EXPECT_EQ(MoveByButton(order, 1, -1), 0u);
  EXPECT_EQ(Titles(order), "t2,t1,t3,t4");
  EXPECT_EQ(MoveByButton(order, 9, -1), 9u);  // no selection
  EXPECT_EQ(Titles(order), "t2,t1,t3,t4");
}

TEST(DownloadOrder, SortingByTheComparisonGivesTheEditedOrder) {
  DownloadOrder order = FourDownloads();
  MoveByDrag(order, 0, 2);
  std::vector<uintptr_t> hostRows = {0x100, 0x200, 0x300, 0x400};
  std::sort(hostRows.begin(), hostRows.end(),
            [&](uintptr_t a, uintptr_t b) { return CompareOrderPositions(order, a, b) < 0; });
  EXPECT_EQ(hostRows, (std::vector<uintptr_t>{0x200, 0x300, 0x100, 0x400}));
  EXPECT_EQ(CompareOrderPositions(order, 0x200, 0x200), 0);
  // A row the record does not know goes after all it knows.
  EXPECT_GT(CompareOrderPositions(order, 0x999, 0x400), 0);
  EXPECT_LT(CompareOrderPositions(order, 0x200, 0x999), 0);
}

TEST(DownloadOrder, InsertionMarkFollowsTheDragDirection) {
  // Dragging entry 0 of four.
  EXPECT_EQ(InsertionMarkBefore(0, 0, 4), -1);  // over itself
  EXPECT_EQ(InsertionMarkBefore(0, 1, 4), 2);   // below: before the entry after it
  EXPECT_EQ(InsertionMarkBefore(0, 2, 4), 3);
  EXPECT_EQ(InsertionMarkBefore(0, 3, 4), 3);   // the last one: before it
  EXPECT_EQ(InsertionMarkBefore(0, -1, 4), -1);  // outside every entry
  // Dragging entry 2: above it the mark goes before the entry under the cursor.
  EXPECT_EQ(InsertionMarkBefore(2, 0, 4), 0);
  EXPECT_EQ(InsertionMarkBefore(2, 1, 4), 1);
  EXPECT_EQ(InsertionMarkBefore(3, 3, 4), -1);  // the last one dragged over itself
  EXPECT_EQ(InsertionMarkBefore(-1, 1, 4), -1);  // no drag
}

}  // namespace
}  // namespace va
