// The demo's walk-through table: the shipped table (demo/walk.txt) is whole and
// ends the programs it starts, so a bad line fails here rather than half-way
// through a demo run.
#include "demo/walk_steps.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

namespace va::demo {
namespace {

TEST(WalkTable, TheShippedTableIsWholeAndEndsTheProgramsItStarts) {
  std::ifstream in(std::string(VA_DEMO_FOLDER) + "/walk.txt", std::ios::binary);
  const WalkTable table = ParseWalkTable({std::istreambuf_iterator<char>(in), {}});
  for (const std::string& error : table.errors) ADD_FAILURE() << "demo/walk.txt " << error;
  // The wizard ends before the host starts, and the host ends last.
  const std::set<std::string> kPrograms = {"wizard-start", "wizard-finish", "import-settings", "host-start", "host-exit"};
  std::string programs, pictures = " ";
  for (const WalkStep& step : table.steps) {
    pictures += step.name + " ";
    for (const auto* list : {&step.actions, &step.after})
      for (const WalkAction& action : *list) programs += kPrograms.count(action.verb) ? action.verb + " " : "";
  }
  EXPECT_EQ(programs, "wizard-start wizard-finish import-settings host-start host-exit ");
  // The pictures the README's gallery shows.
  for (const char* name : {"wizard-connection", "host-options-menu", "tray-menu", "status-accelerator",
                           "file-manager-menu", "quicklinks-progress", "download-menu", "reorder-dialog",
                           "search-panel", "options-accelerator"})
    EXPECT_NE(pictures.find(std::string(" ") + name + " "), std::string::npos) << name;
}

}  // namespace
}  // namespace va::demo
