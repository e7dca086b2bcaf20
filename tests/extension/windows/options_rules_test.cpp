// The options dialog's portable rules: the page a dialog opens on.
#include "extension/windows/options_rules.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TEST(OptionsPageChoice, OnlyTheSixPagesAreKeptAnythingElseOpensTheFirst) {
  for (int page = 201; page <= 206; ++page) EXPECT_EQ(ChooseOptionsPage(page), page);
  for (int page : {0, 1, 7, 200, 207, 300, -201}) EXPECT_EQ(ChooseOptionsPage(page), 201) << page;
}

}  // namespace
}  // namespace va
