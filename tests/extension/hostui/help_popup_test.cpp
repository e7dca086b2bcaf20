// Tests of the help balloon's wrap rule and drop shadow.
#include "extension/hostui/help_popup.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace va {
namespace {

TEST(HelpPopupRules, WrapsOnlyBeyondOnePointTwoTimesTheArea) {
  EXPECT_FALSE(HelpTextNeedsWrap(120, 100));
  EXPECT_TRUE(HelpTextNeedsWrap(121, 100));
  EXPECT_FALSE(HelpTextNeedsWrap(50, 100));
}

TEST(HelpPopupRules, ShadowIsADitheredBandAlongBottomAndRight) {
  const int right = 40, bottom = 30;
  std::set<std::pair<int, int>> pixels;
  for (ShadowPixel p : HelpShadowPixels(right, bottom)) {
    EXPECT_TRUE(pixels.insert({p.x, p.y}).second) << "pixel twice at " << p.x << "," << p.y;
    EXPECT_GE(p.x, 6);
    EXPECT_LE(p.x, right);
  }
  EXPECT_TRUE(pixels.count({7, 30}));   // even bottom row starts at 7
  EXPECT_FALSE(pixels.count({6, 30}));
  EXPECT_TRUE(pixels.count({6, 29}));   // odd bottom row starts at 6
  EXPECT_TRUE(pixels.count({8, 23}));   // top of the bottom band
  EXPECT_FALSE(pixels.count({8, 22}));
  EXPECT_TRUE(pixels.count({34, 6}));   // right band, even row: right - 6
  EXPECT_TRUE(pixels.count({33, 7}));   // odd row: right - 7
  EXPECT_FALSE(pixels.count({34, 5}));  // the right band starts at row 6
  EXPECT_FALSE(pixels.count({20, 10})); // nothing inside the body
}

}  // namespace
}  // namespace va
