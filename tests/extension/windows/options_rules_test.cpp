// The options dialog's portable rules: the page a dialog opens on, the speed
// box's text, the ranges of the number boxes and the "Try to keep" switch.
#include "extension/windows/options_rules.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TEST(OptionsPageChoice, OnlyTheSixPagesAreKeptAnythingElseOpensTheFirst) {
  for (int page = 201; page <= 206; ++page) EXPECT_EQ(ChooseOptionsPage(page), page);
  for (int page : {0, 1, 7, 200, 207, 300, -201}) EXPECT_EQ(ChooseOptionsPage(page), 201) << page;
}

TEST(SpeedBox, ShowsHundredthsWithTwoDecimals) {
  EXPECT_EQ(FormatSpeedText(1250), "12.50");
  EXPECT_EQ(FormatSpeedText(0), "0.00");
  EXPECT_EQ(FormatSpeedText(5), "0.05");
  EXPECT_EQ(FormatSpeedText(100), "1.00");
  EXPECT_EQ(FormatSpeedText(4294967295u), "42949672.95");
}

TEST(SpeedBox, StoresTheTypedNumberTimesAHundredRounded) {
  EXPECT_EQ(ParseSpeedText("12.5"), 1250u);
  EXPECT_EQ(ParseSpeedText("12.50"), 1250u);
  EXPECT_EQ(ParseSpeedText("12"), 1200u);
  EXPECT_EQ(ParseSpeedText("0.005"), 1u) << "halves round up";
  EXPECT_EQ(ParseSpeedText("0.004"), 0u);
  EXPECT_EQ(ParseSpeedText("1.239"), 124u);
  EXPECT_EQ(ParseSpeedText(".5"), 50u);
  EXPECT_EQ(ParseSpeedText(""), 0u) << "an empty box stores 0";
  EXPECT_EQ(ParseSpeedText("99999999999"), 4294967295u) << "held in the stored range";
  // What the box shows reads back as the stored value.
  for (uint32_t stored : {0u, 1u, 99u, 1250u, 123456u}) EXPECT_EQ(ParseSpeedText(FormatSpeedText(stored)), stored);
}

TEST(NumberBoxes, ClampToRangeHoldsTheBounds) {
  EXPECT_EQ(ClampToRange(29, kCyclesDelayRange), 30);
  EXPECT_EQ(ClampToRange(601, kCyclesDelayRange), 600);
  EXPECT_EQ(ClampToRange(45, kCyclesDelayRange), 45);
  EXPECT_EQ(ClampToRange(0, kItemDelayRange), 1);
  EXPECT_EQ(ClampToRange(9, kTimesSearchingRange), 8);
  EXPECT_EQ(ClampToRange(-5, kDownloadsRange), 1);
  EXPECT_EQ(ClampToRange(int64_t{1} << 40, kDownloadsRange), 10);
}

TEST(NumberBoxes, MinimumAndMaximumBoundEachOther) {
  NumberRange minRange = DownloadsMinRange(4);
  EXPECT_EQ(minRange.minimum, 1);
  EXPECT_EQ(minRange.maximum, 4);
  NumberRange maxRange = DownloadsMaxRange(3);
  EXPECT_EQ(maxRange.minimum, 3);
  EXPECT_EQ(maxRange.maximum, 10);
  // An other box outside 1..10 (empty, or far too large) counts as its bound.
  EXPECT_EQ(DownloadsMinRange(0).maximum, 1);
  EXPECT_EQ(DownloadsMinRange(50).maximum, 10);
  EXPECT_EQ(DownloadsMaxRange(0).minimum, 1);
  EXPECT_EQ(DownloadsMaxRange(50).minimum, 10);
}

TEST(NumberBoxes, NormalisedBoundsNeverPutTheMinimumAboveTheMaximum) {
  struct Case {
    int32_t minimum, maximum, wantMin, wantMax;
  } cases[] = {{2, 4, 2, 4}, {7, 3, 3, 3}, {0, 0, 1, 1}, {12, 15, 10, 10}, {-1, 5, 1, 5}, {5, 5, 5, 5}};
  for (const Case& c : cases) {
    int32_t minimum = c.minimum, maximum = c.maximum;
    NormaliseDownloadBounds(&minimum, &maximum);
    EXPECT_EQ(minimum, c.wantMin) << c.minimum << "," << c.maximum;
    EXPECT_EQ(maximum, c.wantMax) << c.minimum << "," << c.maximum;
  }
}

TEST(KeepDownloads, CheckingClearsTheSkipsAndUncheckingGivesThemBack) {
  KeepDownloadsSwitch keep;
  SkipBoxes shown = keep.Check({true, false});
  EXPECT_FALSE(shown.paused);
  EXPECT_FALSE(shown.queued);
  shown = keep.Uncheck();
  EXPECT_TRUE(shown.paused);
  EXPECT_FALSE(shown.queued);
  // A second round remembers the checks of that moment, not the first ones.
  shown = keep.Check({false, true});
  shown = keep.Uncheck();
  EXPECT_FALSE(shown.paused);
  EXPECT_TRUE(shown.queued);
}

}  // namespace
}  // namespace va
