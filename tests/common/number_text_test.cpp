// Reading numbers from stored texts.
#include "common/number_text.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TEST(ParseLeadingInteger, PlainDigits) { EXPECT_EQ(ParseLeadingInteger("42"), 42); }

TEST(ParseLeadingInteger, SkipsLeadingBlanksAndReadsSigns) {
  EXPECT_EQ(ParseLeadingInteger("   -17"), -17);
  EXPECT_EQ(ParseLeadingInteger("\t+8"), 8);
}

TEST(ParseLeadingInteger, StopsAtTrailingText) {
  EXPECT_EQ(ParseLeadingInteger("12abc"), 12);
  EXPECT_EQ(ParseLeadingInteger("7 8"), 7);
  EXPECT_EQ(ParseLeadingInteger("3,4"), 3);
}

TEST(ParseLeadingInteger, NoDigitsGiveZero) {
  EXPECT_EQ(ParseLeadingInteger("abc"), 0);
  EXPECT_EQ(ParseLeadingInteger(""), 0);
  EXPECT_EQ(ParseLeadingInteger("-"), 0);
  EXPECT_EQ(ParseLeadingInteger(" x1"), 0);
}

TEST(ParseLeadingInteger, RoundsToNearest) {
  EXPECT_EQ(ParseLeadingInteger("2.4"), 2);
  EXPECT_EQ(ParseLeadingInteger("2.6"), 3);
  EXPECT_EQ(ParseLeadingInteger("-2.6"), -3);
  EXPECT_EQ(ParseLeadingInteger(".5"), 1);
}

TEST(ParseLeadingInteger, HoldsHugeValuesInsideThe32BitRange) {
  EXPECT_EQ(ParseLeadingInteger("123456789012345"), 2147483647);
  EXPECT_EQ(ParseLeadingInteger("-123456789012345"), -2147483647 - 1);
}

TEST(ParseLeadingNumber, KeepsTheFraction) { EXPECT_DOUBLE_EQ(ParseLeadingNumber("3.25kB"), 3.25); }

}  // namespace
}  // namespace va
