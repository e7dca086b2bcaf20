// The portable rules of the stored filter list: value numbers and the Move
// destinations that must never leave the shared folder.
#include "extension/organizer/filter_rules.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TEST(FilterNumberOf, ReadsLeadingDigitsOnly) {
  EXPECT_EQ(FilterNumberOf("10"), 10);
  EXPECT_EQ(FilterNumberOf("01"), 1);
  EXPECT_EQ(FilterNumberOf(""), 0);
  EXPECT_EQ(FilterNumberOf("x5"), 0);
  EXPECT_EQ(FilterNumberOf("7a"), 7);
  EXPECT_EQ(FilterNumberOf("-3"), 0);
  EXPECT_EQ(FilterNumberOf("99999999999999999999"), 2147483647);
}

TEST(MoveDestinationInside, RemovesEveryWayUp) {
  const char* shared = "C:\\Shared\\";
  EXPECT_EQ(MoveDestinationInside(shared, "Music\\..\\..\\Windows"), "C:\\Shared\\Music\\Windows");
  EXPECT_EQ(MoveDestinationInside(shared, "..\\..\\Windows"), "C:\\Shared\\Windows");
  EXPECT_EQ(MoveDestinationInside(shared, "../../Windows"), "C:\\Shared\\Windows");
  EXPECT_EQ(MoveDestinationInside(shared, "....\\\\Windows"), "C:\\Shared\\Windows");
  EXPECT_EQ(MoveDestinationInside(shared, ".."), "C:\\Shared\\");
  EXPECT_EQ(MoveDestinationInside(shared, "a\\.. \\. .\\..."), "C:\\Shared\\a");
}

TEST(MoveDestinationInside, KeepsCleanPathsAsTheyAre) {
  EXPECT_EQ(MoveDestinationInside("C:\\Shared\\", "Music"), "C:\\Shared\\Music");
  EXPECT_EQ(MoveDestinationInside("C:\\Shared\\", "Music\\Rock\\"), "C:\\Shared\\Music\\Rock\\");
  EXPECT_EQ(MoveDestinationInside("C:\\Shared\\", ""), "C:\\Shared\\");
  EXPECT_EQ(MoveDestinationInside("C:\\Shared\\", "my..files\\x"), "C:\\Shared\\my..files\\x");
}

TEST(StoredMoveDestination, IsRelativeToTheSharedFolder) {
  EXPECT_EQ(StoredMoveDestination("C:\\Shared\\Music", "C:\\Shared"), "Music");
  EXPECT_EQ(StoredMoveDestination("C:\\Shared", "C:\\Shared"), "");
  // Typed in another letter case the folder is still recognised.
  EXPECT_EQ(StoredMoveDestination("c:\\shared\\Music", "C:\\Shared"), "Music");
  // Nothing to remove when the shared folder is unknown.
  EXPECT_EQ(StoredMoveDestination("\\Music", ""), "Music");
}

TEST(StoredMoveDestination, RoundTripsThroughTheLoadedForm) {
  for (const char* dest : {"C:\\Shared\\Music", "C:\\Shared\\Music\\Rock\\", "C:\\Shared\\a b\\c"}) {
    SCOPED_TRACE(dest);
    EXPECT_EQ(MoveDestinationInside("C:\\Shared\\", StoredMoveDestination(dest, "C:\\Shared")), dest);
  }
}

TEST(SameFilterList, ComparesEveryFieldExactly) {
  std::vector<FilterRecord> a{{"Music", "*.mp3", Move, "C:\\S\\M", "", ""}};
  std::vector<FilterRecord> b = a;
  EXPECT_TRUE(SameFilterList(a, b));
  b[0].Title = "music";
  EXPECT_FALSE(SameFilterList(a, b));
  b = a;
  b[0].Cmd = " ";
  EXPECT_FALSE(SameFilterList(a, b));
  b = a;
  b.push_back(a[0]);
  EXPECT_FALSE(SameFilterList(a, b));
}

}  // namespace
}  // namespace va
