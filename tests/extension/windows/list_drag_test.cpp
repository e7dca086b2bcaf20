// Insertion mark and drop rules of the options pages' drag lists, and the orders
// they give together with the list-reordering core.
#include "extension/windows/list_drag.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/list_order.h"

namespace va {
namespace {

TEST(DragMarkRow, BelowTheDraggedRowTheMarkFollowsTheRowUnderTheCursor) {
  EXPECT_EQ(DragMarkRow(1, 0, 4), 2);
  EXPECT_EQ(DragMarkRow(2, 0, 4), 3);
  EXPECT_EQ(DragMarkRow(3, 0, 4), 3);  // the last row: before it
}

TEST(DragMarkRow, AboveTheDraggedRowTheMarkPrecedesTheRowUnderTheCursor) {
  EXPECT_EQ(DragMarkRow(0, 3, 4), 0);
  EXPECT_EQ(DragMarkRow(2, 3, 4), 2);
}

TEST(DragMarkRow, NoMarkOverTheDraggedRowOutsideTheRowsOrWithoutADrag) {
  EXPECT_EQ(DragMarkRow(1, 1, 4), -1);
  EXPECT_EQ(DragMarkRow(3, 3, 4), -1);
  EXPECT_EQ(DragMarkRow(-1, 1, 4), -1);
  EXPECT_EQ(DragMarkRow(4, 1, 4), -1);
  EXPECT_EQ(DragMarkRow(2, -1, 4), -1);
  EXPECT_EQ(DragMarkRow(0, 0, 0), -1);
}

TEST(DragDropRow, ADropOverAnotherRowMovesThereAndGivesTheDocumentedOrders) {
  std::vector<int> rows{1, 2, 3, 4};
  ASSERT_EQ(DragDropRow(2, 0, 4), 2);
  MoveEntry(rows, 0, size_t(DragDropRow(2, 0, 4)));
  EXPECT_EQ(rows, (std::vector<int>{2, 3, 1, 4}));

  rows = {1, 2, 3, 4};
  MoveEntry(rows, 3, size_t(DragDropRow(1, 3, 4)));
  EXPECT_EQ(rows, (std::vector<int>{1, 4, 2, 3}));
}

TEST(DragDropRow, NothingMovesOverItselfOutsideTheRowsOrWithoutADrag) {
  EXPECT_EQ(DragDropRow(2, 2, 4), -1);
  EXPECT_EQ(DragDropRow(-1, 2, 4), -1);
  EXPECT_EQ(DragDropRow(4, 2, 4), -1);
  EXPECT_EQ(DragDropRow(1, -1, 4), -1);
  EXPECT_EQ(DragDropRow(1, 5, 4), -1);
}

}  // namespace
}  // namespace va
