// The demo's walk-through table: how lines are read and refused, and that the
// shipped table (demo/walk.txt) is whole, so a line added for a new feature that
// the driver cannot follow fails here rather than half-way through a demo run.
#include "demo/walk_steps.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

namespace va::demo {
namespace {

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(WalkTable, ReadsFieldsActionsAndNeeds) {
  const WalkTable table = ParseWalkTable(
      "# comment\n"
      "\n"
      "  status-about | -  | command 11003 ; list top:FixedDialog 1041 399 | top:FixedDialog | command 11003 \r\n"
      "options-interface | dialog 200 options dialog | command 11001 | title:VA Extensions - More Options | cancel "
      "title:VA Extensions - More Options\n"
      "- | - | set 1006 C:\\VADemo\\My Shared Folder | - | -\n"
      "download-menu | menu 114 download menu | context desc:1381/373 | menu | host popup\n");
  ASSERT_TRUE(table.errors.empty()) << table.errors.front();
  ASSERT_EQ(table.steps.size(), 4u);
  const WalkStep& about = table.steps[0];
  EXPECT_EQ(about.line, 3);
  EXPECT_EQ(about.name, "status-about");
  EXPECT_TRUE(about.need.kind.empty());
  ASSERT_EQ(about.actions.size(), 2u);
  EXPECT_EQ(about.actions[1].verb, "list");
  EXPECT_EQ(about.actions[1].words, (std::vector<std::string>{"top:FixedDialog", "1041", "399"}));
  EXPECT_EQ(about.capture, "top:FixedDialog");
  ASSERT_EQ(about.after.size(), 1u);
  EXPECT_EQ(about.after[0].rest, "11003");

  const WalkStep& options = table.steps[1];
  EXPECT_EQ(options.need.kind, "dialog");
  EXPECT_EQ(options.need.id, 200);
  EXPECT_EQ(options.need.feature, "options dialog");
  EXPECT_EQ(options.capture, "title:VA Extensions - More Options");

  // A text keeps its inner blanks.
  EXPECT_EQ(table.steps[2].actions[0].rest, "1006 C:\\VADemo\\My Shared Folder");
  EXPECT_EQ(table.steps[3].need.kind, "menu");
  EXPECT_EQ(table.steps[3].actions[0].rest, "desc:1381/373");
}

TEST(WalkTable, RefusesLinesTheDriverCouldNotFollow) {
  const char* const bad[] = {
      "a | - | command 1 | main",                     // four fields
      "a | - | jump 3 | main | -",                    // unknown action
      "a | - | command | main | -",                   // missing word
      "a | - | command x1 | main | -",                // not a number
      "a | - | menu view | menu | -",                 // a menu is opened by one letter
      "a | - | list nowhere 1041 1 | main | -",       // unknown window
      "a | - | - | screen | -",                       // unknown capture
      "a | - | - | - | -",                            // a picture name without a capture
      "- | - | - | main | -",                         // a capture without a name
      "a.png | - | - | main | -",                     // the name gets its extension later
      "a | dialog | - | main | -",                    // need without id and feature
      "a | dialog 200 | - | main | -",                // need without feature words
      "a | bitmap 5 logo | - | main | -",             // only dialogs and menus are looked up
      "a | - | command 1;; command 2 | main | -",     // empty action
      "a | - | - | child:x | -",                      // control ids are numbers
      "a | - | - | desc:1381/x | -",                  // so are the steps of a control path
      "a | - | cancel | main | -",                    // cancel what?
  };
  for (const char* line : bad) {
    SCOPED_TRACE(line);
    const WalkTable table = ParseWalkTable(std::string(line) + "\n");
    EXPECT_TRUE(table.steps.empty());
    ASSERT_EQ(table.errors.size(), 1u);
    EXPECT_EQ(table.errors[0].rfind("line 1: ", 0), 0u) << table.errors[0];
  }
}

TEST(WalkTable, APictureNameIsUsedOnce) {
  const WalkTable table = ParseWalkTable("a | - | - | main | -\nb | - | - | main | -\na | - | - | menu | -\n");
  EXPECT_EQ(table.steps.size(), 2u);
  ASSERT_EQ(table.errors.size(), 1u);
  EXPECT_EQ(table.errors[0], "line 3: picture name used twice: a");
}

TEST(WalkTable, TheShippedTableIsWholeAndStartsAndEndsItsPrograms) {
  const WalkTable table = ParseWalkTable(ReadFile(std::string(VA_DEMO_FOLDER) + "/walk.txt"));
  for (const std::string& error : table.errors) ADD_FAILURE() << "demo/walk.txt " << error;
  ASSERT_FALSE(table.steps.empty());
  // The wizard runs and ends before the host starts; the host ends last, so the
  // demo leaves no program behind.
  std::vector<std::string> order;
  std::set<std::string> pictures;
  for (const WalkStep& step : table.steps) {
    for (const auto* list : {&step.actions, &step.after})
      for (const WalkAction& action : *list)
        if (action.verb == "wizard-start" || action.verb == "wizard-finish" || action.verb == "host-start" ||
            action.verb == "host-exit" || action.verb == "import-settings")
          order.push_back(action.verb);
    if (step.name != "-") pictures.insert(step.name);
  }
  EXPECT_EQ(order, (std::vector<std::string>{"wizard-start", "wizard-finish", "import-settings", "host-start",
                                             "host-exit"}));
  // The pictures the README's gallery shows.
  for (const char* name : {"wizard-welcome", "wizard-connection", "host-main", "tray-menu", "status-accelerator",
                           "quicklinks-progress"})
    EXPECT_EQ(pictures.count(name), 1u) << name;
}

}  // namespace
}  // namespace va::demo
