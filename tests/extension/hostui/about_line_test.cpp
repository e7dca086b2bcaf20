// Tests of the About line's composition.
#include "extension/hostui/about_line.h"

#include <gtest/gtest.h>

namespace va {
namespace {
TEST(AboutLine, CaptionVersionAndProductLineWithoutOtherSpaces) {
  EXPECT_EQ(ComposeAboutLine("VA Extensions", "for Vexlo Aero V++"), "VA Extensions v0.56a for Vexlo Aero V++");
  EXPECT_EQ(ComposeAboutLine("", ""), " v0.56a ");
}
}  // namespace
}  // namespace va
