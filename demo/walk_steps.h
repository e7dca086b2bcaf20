// walk_steps: the demo's walk-through table (demo/walk.txt), one line per
// screenshot or action. Portable, so the table is checked by a native test.
#pragma once
#include <string>
#include <vector>

namespace va::demo {

// One action: a verb and its words ("command 11003", "set 1001 demo user").
struct WalkAction {
  std::string verb;
  std::vector<std::string> words;
  std::string rest;  // everything after the verb, as written (texts with blanks)
};

// A resource of ch_plug.dll a step needs; a step whose resource is missing fails
// with "failed: ..." and does none of its actions.
struct WalkNeed {
  std::string kind;     // "dialog" or "menu"; empty: needs nothing
  int id = 0;
  std::string feature;  // words for the failure line: "options dialog"
};

struct WalkStep {
  int line = 0;
  std::string name;  // picture name without ".png"; "-" for a step without picture
  WalkNeed need;
  std::vector<WalkAction> actions;  // done before the picture
  std::string capture;              // what to photograph: "main", "menu", "sheet", "top:<class>", ...
  std::vector<WalkAction> after;    // done after it (closing menus and dialogs)
};

struct WalkTable {
  std::vector<WalkStep> steps;
  std::vector<std::string> errors;  // "line N: ..." for lines that were not understood
};

// Lines: name | needs | actions | capture | after. Fields are trimmed; "-" means
// none; actions are separated by ";". Blank lines and lines starting with "#"
// are comments.
WalkTable ParseWalkTable(const std::string& text);

// True when `verb` is an action the driver knows, with an acceptable word count.
bool KnownAction(const WalkAction& action);
// True when `capture` names something the driver can photograph.
bool KnownCapture(const std::string& capture);

}  // namespace va::demo
