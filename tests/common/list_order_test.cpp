// Reordering rows by button and by drag keeps every element once and in the
// order the user asked for.
#include "common/list_order.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace va {
namespace {

std::vector<int> OneToFour() { return {1, 2, 3, 4}; }

TEST(ListOrder, DraggingFirstOfFourOntoThirdShiftsTheOthersUp) {
  std::vector<int> rows = OneToFour();
  ASSERT_TRUE(MoveEntry(rows, 0, 2));
  EXPECT_EQ(rows, (std::vector<int>{2, 3, 1, 4}));
}

TEST(ListOrder, DraggingFourthOntoSecondShiftsTheOthersDown) {
  std::vector<int> rows = OneToFour();
  ASSERT_TRUE(MoveEntry(rows, 3, 1));
  EXPECT_EQ(rows, (std::vector<int>{1, 4, 2, 3}));
}

TEST(ListOrder, MovesOutsideTheListChangeNothing) {
  std::vector<int> rows = OneToFour();
  EXPECT_FALSE(MoveEntry(rows, 4, 0));
  EXPECT_FALSE(MoveEntry(rows, 0, 4));
  EXPECT_FALSE(SwapEntries(rows, 1, 9));
  EXPECT_EQ(rows, OneToFour());
  std::vector<int> empty;
  EXPECT_FALSE(MoveEntry(empty, 0, 0));
}

TEST(ListOrder, ParallelArraysStayAligned) {
  std::vector<int> data = OneToFour();
  std::vector<std::string> titles = {"a", "b", "c", "d"};
  MoveEntry(data, 3, 0);
  MoveEntry(titles, 3, 0);
  SwapEntries(data, 1, 2);
  SwapEntries(titles, 1, 2);
  EXPECT_EQ(data, (std::vector<int>{4, 2, 1, 3}));
  EXPECT_EQ(titles, (std::vector<std::string>{"d", "b", "a", "c"}));
}

TEST(ListOrder, UpOnFirstAndDownOnLastStayPut) {
  EXPECT_EQ(NeighbourIndex(0, -1, 4), 0u);
  EXPECT_EQ(NeighbourIndex(3, +1, 4), 3u);
  EXPECT_EQ(NeighbourIndex(2, -1, 4), 1u);
  EXPECT_EQ(NeighbourIndex(2, +1, 4), 3u);
  EXPECT_EQ(NeighbourIndex(7, -1, 4), 7u);  // no valid selection
}

TEST(ListOrder, MovingEveryRowEverywhereKeepsEachElementOnce) {
  for (size_t from = 0; from < 6; ++from) {
    for (size_t to = 0; to < 6; ++to) {
      std::vector<int> rows = {0, 1, 2, 3, 4, 5};
      ASSERT_TRUE(MoveEntry(rows, from, to));
      EXPECT_EQ(rows[to], static_cast<int>(from));
      std::vector<int> sorted = rows;
      std::sort(sorted.begin(), sorted.end());
      EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3, 4, 5}));
    }
  }
}

}  // namespace
}  // namespace va
