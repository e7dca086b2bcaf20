// Tests of the title-bar button's geometry, hit test, theme state and glyph.
#include "extension/hostui/title_button.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TitleFrameInfo SizingFrame(bool themed) {
  TitleFrameInfo frame;
  frame.windowWidth = 800;
  frame.captionHeight = 19;
  frame.frameX = 4;
  frame.frameY = 4;
  frame.hasMinOrMaxBox = true;
  frame.themed = themed;
  return frame;
}

TEST(TitleButtonGeometry, ClassicButtonSitsLeftOfTheMinimizeMaximizePair) {
  TitleButtonBox box = ComputeTitleButtonBox(SizingFrame(false));
  EXPECT_EQ(box.height, 14);
  EXPECT_EQ(box.width, 14);
  EXPECT_EQ(box.x, 800 - 2 * 16 - 4 - 2 * 16);
  EXPECT_EQ(box.y, 6);
}

TEST(TitleButtonGeometry, ThemedButtonIsWiderAndPacksTighterAgainstThePair) {
  TitleButtonBox box = ComputeTitleButtonBox(SizingFrame(true));
  EXPECT_EQ(box.height, 14);
  EXPECT_EQ(box.width, 16);
  EXPECT_EQ(box.x, 800 - 2 * 18 - 4 - (2 * 16 + 2));
}

TEST(TitleButtonGeometry, ToolWindowAndWindowWithoutBoxesSitNextToClose) {
  TitleFrameInfo tool = SizingFrame(false);
  tool.toolWindow = true;
  EXPECT_EQ(ComputeTitleButtonBox(tool).x, 800 - 32 - 4);
  TitleFrameInfo plain = SizingFrame(false);
  plain.hasMinOrMaxBox = false;
  EXPECT_EQ(ComputeTitleButtonBox(plain).x, 800 - 32 - 4);
}

TEST(TitleButtonGeometry, TinyCaptionStillGivesAFourPixelButton) {
  TitleFrameInfo frame = SizingFrame(false);
  frame.captionHeight = 3;
  TitleButtonBox box = ComputeTitleButtonBox(frame);
  EXPECT_EQ(box.height, 4);
  EXPECT_EQ(box.width, 4);
}

TEST(TitleButtonHitTest, BoundsAreInclusiveWithOnePixelSlackVertically) {
  TitleButtonBox box{100, 6, 14, 14};
  EXPECT_TRUE(TitleButtonContains(box, 100, 5));
  EXPECT_TRUE(TitleButtonContains(box, 114, 21));
  EXPECT_FALSE(TitleButtonContains(box, 99, 10));
  EXPECT_FALSE(TitleButtonContains(box, 115, 10));
  EXPECT_FALSE(TitleButtonContains(box, 107, 4));
  EXPECT_FALSE(TitleButtonContains(box, 107, 22));
}

TEST(TitleButtonTheme, StateFollowsHotCapturedAndActiveFrame) {
  EXPECT_EQ(TitleButtonThemeState(true, true, false), kThemeStatePushed);
  EXPECT_EQ(TitleButtonThemeState(true, false, false), kThemeStateHot);
  EXPECT_EQ(TitleButtonThemeState(false, true, false), kThemeStateInactive);
  EXPECT_EQ(TitleButtonThemeState(false, true, true), kThemeStateNormal);
  EXPECT_EQ(ThemedButtonTop({0, 6, 14, 12}), 6 + 2);  // 1.5 rounds to 2
  EXPECT_EQ(ThemedButtonTop({0, 6, 14, 20}), 6 + 2);  // 2.5 rounds to 2
}

TEST(TitleButtonGlyph, RoundingIsHalfToEven) {
  EXPECT_EQ(DivideRoundHalfEven(4, 8), 0);
  EXPECT_EQ(DivideRoundHalfEven(12, 8), 2);
  EXPECT_EQ(DivideRoundHalfEven(20, 8), 2);
  EXPECT_EQ(DivideRoundHalfEven(5, 8), 1);
  EXPECT_EQ(DivideRoundHalfEven(-4, 8), 0);
  EXPECT_EQ(DivideRoundHalfEven(-12, 8), -2);
}

TEST(TitleButtonGlyph, BarSizeAndMarginGrowWithTheButton) {
  struct Case {
    int height;
    PixelRect bar;
  } cases[] = {
      {6, {3, 4, 5, 5}},       // s 10: thickness 1, margin 0
      {14, {7, 9, 10, 11}},    // s 18: thickness 2, margin 2 (0.75 rounds to 1)
      {20, {11, 14, 14, 16}},  // s 24: thickness 2 (0.5 rounds to 0), margin 3 (1.5 to 2)
      {28, {16, 20, 22, 24}},  // s 32: thickness 4 (1.5 to 2), margin 3 (2.5 to 2), width 6
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.height);
    PixelRect bar = ClassicGlyphBar({0, 0, c.height, c.height}, false);
    EXPECT_EQ(bar.left, c.bar.left);
    EXPECT_EQ(bar.top, c.bar.top);
    EXPECT_EQ(bar.right, c.bar.right);
    EXPECT_EQ(bar.bottom, c.bar.bottom);
  }
}

TEST(TitleButtonGlyph, PushedBarMovesOnePixelRightAndDown) {
  PixelRect up = ClassicGlyphBar({50, 6, 14, 14}, false);
  PixelRect down = ClassicGlyphBar({50, 6, 14, 14}, true);
  EXPECT_EQ(down.left, up.left + 1);
  EXPECT_EQ(down.right, up.right + 1);
  EXPECT_EQ(down.top, up.top + 1);
  EXPECT_EQ(down.bottom, up.bottom + 1);
  EXPECT_EQ(up.right, 50 + 13 - 3);
}

}  // namespace
}  // namespace va
