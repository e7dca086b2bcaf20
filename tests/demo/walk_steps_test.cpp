// The demo's walk-through table: a line is read into its fields and actions, a
// line the driver could not follow is refused with its number, and the shipped
// table (demo/walk.txt) is whole and ends the programs it starts, so a bad line
// fails here rather than half-way through a demo run.
#include "demo/walk_steps.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

namespace va::demo {
namespace {

// The table's only step written in one line ("line name [need] | actions | after
// @capture", each action as verb(rest)/word count), or its first error.
std::string Read(const std::string& text) {
  const WalkTable table = ParseWalkTable(text + "\n");
  if (!table.errors.empty() || table.steps.size() != 1) return table.errors.empty() ? "not one step" : table.errors[0];
  const WalkStep& s = table.steps[0];
  std::string out = std::to_string(s.line) + " " + s.name + " [" + s.need.kind + " " + std::to_string(s.need.id) +
                    " " + s.need.feature + "]";
  for (const auto* list : {&s.actions, &s.after}) {
    out += " |";
    for (const WalkAction& a : *list) out += " " + a.verb + "(" + a.rest + ")/" + std::to_string(a.words.size());
  }
  return out + " @" + s.capture;
}

TEST(WalkTable, ReadsTheDriversLinesAndRefusesOthersWithTheirNumber) {
  const struct { const char* text; const char* read; } rows[] = {
      {"# comment\n\n  about | -  | command 11003 ; list top:FixedDialog 1041 399 | top:FixedDialog | command 11003 \r",
       "3 about [ 0 ] | command(11003)/1 list(top:FixedDialog 1041 399)/3 | command(11003)/1 @top:FixedDialog"},
      {"o | dialog 200 options dialog | set 1006 C:\\My Folder | title:VA - Options | -",
       "1 o [dialog 200 options dialog] | set(1006 C:\\My Folder)/3 | @title:VA - Options"},
      {"a | - | command 1 | main", "line 1: "},                   // four fields
      {"a | - | jump 3 | main | -", "line 1: "},                  // unknown action
      {"a | - | menu view | menu | -", "line 1: "},               // a menu is opened by one letter
      {"a | - | - | screen | -", "line 1: "},                     // unknown capture
      {"a | bitmap 5 logo | - | main | -", "line 1: "},           // only dialogs and menus are looked up
      {"b | - | - | main | -\nb | - | - | menu | -", "line 2: picture name used twice: b"},
  };
  for (const auto& row : rows) EXPECT_EQ(Read(row.text).rfind(row.read, 0), 0u) << row.text << "\n" << Read(row.text);
}

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
