// The options dialog's portable rules: the page a dialog opens on, the speed
// box's text, the number boxes' ranges, the "Try to keep" switch, and where the
// pages' drag lists mark and drop a dragged row.
#include "extension/windows/options_rules.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/list_order.h"
#include "extension/windows/list_drag.h"

namespace va {
namespace {

TEST(OptionsRules, OnlyTheSixPagesAreKeptAnythingElseOpensTheFirst) {
  for (int page = 201; page <= 206; ++page) EXPECT_EQ(ChooseOptionsPage(page), page);
  for (int page : {0, 7, 200, 207, -201}) EXPECT_EQ(ChooseOptionsPage(page), 201) << page;
}

TEST(OptionsRules, SpeedBoxShowsHundredthsAndStoresTheTypedNumberTimesAHundred) {
  const struct {
    const char* text;
    uint32_t stored;
  } typed[] = {{"12.5", 1250},  {"12", 1200}, {"0.005", 1} /* halves round up */, {"0.004", 0}, {"1.239", 124},
               {".5", 50},      {"", 0},      {"99999999999", 4294967295u} /* held in range */};
  for (const auto& row : typed) EXPECT_EQ(ParseSpeedText(row.text), row.stored) << '"' << row.text << '"';
  EXPECT_EQ(FormatSpeedText(1250), "12.50");
  EXPECT_EQ(FormatSpeedText(5), "0.05");
  EXPECT_EQ(FormatSpeedText(4294967295u), "42949672.95");
}

TEST(OptionsRules, NumberBoxesClampAndTheDownloadBoundsHoldEachOther) {
  EXPECT_EQ(ClampToRange(29, kCyclesDelayRange), 30);
  EXPECT_EQ(ClampToRange(int64_t{1} << 40, kDownloadsRange), 10);
  EXPECT_EQ(DownloadsMinRange(50).maximum, 10) << "an other box beyond 1..10 counts as its bound";
  EXPECT_EQ(DownloadsMaxRange(0).minimum, 1);
  const struct {
    int32_t minimum, maximum, wantMin, wantMax;
  } stored[] = {{2, 4, 2, 4}, {7, 3, 3, 3}, {0, 0, 1, 1}, {12, 15, 10, 10}, {-1, 5, 1, 5}};
  for (const auto& c : stored) {
    int32_t minimum = c.minimum, maximum = c.maximum;
    NormaliseDownloadBounds(&minimum, &maximum);
    EXPECT_EQ(std::make_pair(minimum, maximum), std::make_pair(c.wantMin, c.wantMax)) << c.minimum << "," << c.maximum;
  }
}

TEST(OptionsRules, TryToKeepClearsTheSkipsAndGivesBackTheChecksOfItsOwnMoment) {
  KeepDownloadsSwitch keep;
  SkipBoxes shown = keep.Check({true, false});
  EXPECT_FALSE(shown.paused || shown.queued);
  shown = keep.Uncheck();
  EXPECT_TRUE(shown.paused && !shown.queued);
  keep.Check({false, true});
  shown = keep.Uncheck();
  EXPECT_TRUE(!shown.paused && shown.queued);
}

TEST(OptionsRules, DragListsMarkAndDropByTheRowUnderTheCursor) {
  const struct {
    int over, dragged, count, mark, drop;
  } rows[] = {{1, 0, 4, 2, 1},   {3, 0, 4, 3, 3},   {0, 3, 4, 0, 0},  {2, 3, 4, 2, 2},  {1, 1, 4, -1, -1},
              {-1, 1, 4, -1, -1}, {4, 1, 4, -1, -1}, {2, -1, 4, -1, -1}, {1, 5, 4, -1, -1}};
  for (const auto& r : rows) {
    EXPECT_EQ(DragMarkRow(r.over, r.dragged, r.count), r.mark) << r.over << " " << r.dragged;
    EXPECT_EQ(DragDropRow(r.over, r.dragged, r.count), r.drop) << r.over << " " << r.dragged;
  }
  // The first of four dropped on the third gives 2 3 1 4; the fourth on the second 1 4 2 3.
  std::vector<int> list{1, 2, 3, 4};
  MoveEntry(list, 0, size_t(DragDropRow(2, 0, 4)));
  EXPECT_EQ(list, (std::vector<int>{2, 3, 1, 4}));
  list = {1, 2, 3, 4};
  MoveEntry(list, 3, size_t(DragDropRow(1, 3, 4)));
  EXPECT_EQ(list, (std::vector<int>{1, 4, 2, 3}));
}

}  // namespace
}  // namespace va
