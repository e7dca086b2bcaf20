// walk_steps: parser and checks of the demo's walk-through table.
#include "demo/walk_steps.h"

#include <cstdlib>
#include <set>

namespace va::demo {
namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string::npos) return "";
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(separator, start);
    parts.push_back(Trim(text.substr(start, at == std::string::npos ? std::string::npos : at - start)));
    if (at == std::string::npos) return parts;
    start = at + 1;
  }
}

std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  for (const std::string& word : Split(text, ' ')) {
    if (!word.empty()) words.push_back(word);
  }
  return words;
}

bool IsNumber(const std::string& word) {
  if (word.empty()) return false;
  char* end = nullptr;
  std::strtol(word.c_str(), &end, 0);
  return end && *end == '\0';
}

bool ParseActions(const std::string& field, std::vector<WalkAction>& out) {
  if (field == "-") return true;
  for (const std::string& part : Split(field, ';')) {
    if (part.empty()) return false;
    WalkAction action;
    const size_t blank = part.find(' ');
    action.verb = part.substr(0, blank);
    if (blank != std::string::npos) action.rest = Trim(part.substr(blank + 1));
    action.words = Words(action.rest);
    if (!KnownAction(action)) return false;
    out.push_back(action);
  }
  return true;
}

bool ParseNeed(const std::string& field, WalkNeed& need) {
  if (field == "-") return true;
  std::vector<std::string> words = Words(field);
  if (words.size() < 3 || (words[0] != "dialog" && words[0] != "menu") || !IsNumber(words[1])) return false;
  need.kind = words[0];
  need.id = static_cast<int>(std::strtol(words[1].c_str(), nullptr, 0));
  for (size_t i = 2; i < words.size(); ++i) need.feature += (i > 2 ? " " : "") + words[i];
  return need.id > 0 && need.id < 0x10000;
}

}  // namespace

bool KnownAction(const WalkAction& action) {
  const size_t n = action.words.size();
  auto numbers = [&](size_t from, size_t count) {
    for (size_t i = from; i < from + count && i < n; ++i)
      if (!IsNumber(action.words[i])) return false;
    return true;
  };
  const std::string& v = action.verb;
  // Process control.
  if (v == "wizard-start" || v == "wizard-next" || v == "wizard-finish" || v == "import-settings" ||
      v == "host-start" || v == "host-exit")
    return n == 0;
  // Wizard page actions: the page that holds a control, a text, a combo entry, a check box.
  if (v == "page") return n == 1 && numbers(0, 1);
  if (v == "set") return n >= 1 && numbers(0, 1);
  if (v == "combo" || v == "uncheck") return n == (v == "combo" ? 2u : 1u) && numbers(0, n);
  // Host actions.
  if (v == "host") return n >= 1;
  if (v == "command") return n == 1 && numbers(0, 1);
  if (v == "tray") return n == 0;
  if (v == "menu") return n == 1 && action.words[0].size() == 1;
  // These take a whole window spec, which may hold blanks ("title:A dialog").
  if (v == "context" || v == "cancel" || v == "dismiss") return n >= 1 && KnownCapture(action.rest);
  if (v == "list") return n == 3 && KnownCapture(action.words[0]) && numbers(1, 2);
  if (v == "click") return n == 2 && KnownCapture(action.words[0]) && numbers(1, 1);
  if (v == "post") return n == 4 && KnownCapture(action.words[0]) && numbers(1, 3);
  if (v == "wait-text") return n >= 3 && KnownCapture(action.words[0]) && numbers(1, 1);
  return false;
}

bool KnownCapture(const std::string& capture) {
  static const std::set<std::string> plain = {"main", "menu", "sheet"};
  if (plain.count(capture)) return true;
  const size_t colon = capture.find(':');
  if (colon == std::string::npos || colon + 1 == capture.size()) return false;
  const std::string kind = capture.substr(0, colon), value = capture.substr(colon + 1);
  if (kind == "top" || kind == "title") return true;
  if (kind == "child") return IsNumber(value);
  if (kind == "desc") {  // a path of control ids, each found below the one before: desc:1381/373
    for (const std::string& part : Split(value, '/'))
      if (!IsNumber(part)) return false;
    return true;
  }
  return false;
}

WalkTable ParseWalkTable(const std::string& text) {
  WalkTable table;
  std::set<std::string> names;
  int number = 0;
  for (const std::string& raw : Split(text, '\n')) {
    ++number;
    const std::string line = Trim(raw);
    if (line.empty() || line[0] == '#') continue;
    std::vector<std::string> fields = Split(line, '|');
    auto error = [&](const std::string& what) {
      table.errors.push_back("line " + std::to_string(number) + ": " + what);
    };
    if (fields.size() != 5) {
      error("expected 5 fields separated by |");
      continue;
    }
    WalkStep step;
    step.line = number;
    step.name = fields[0];
    step.capture = fields[3];
    if (step.name.empty() || step.name.find_first_of("/\\:*?\"<>. ") != std::string::npos) {
      error("bad picture name '" + step.name + "'");
      continue;
    }
    if (step.name != "-" && !names.insert(step.name).second) {
      error("picture name used twice: " + step.name);
      continue;
    }
    if (!ParseNeed(fields[1], step.need)) {
      error("needs must be '-' or 'dialog|menu <id> <feature words>'");
      continue;
    }
    if (!ParseActions(fields[2], step.actions) || !ParseActions(fields[4], step.after)) {
      error("unknown action or wrong words");
      continue;
    }
    if ((step.name == "-") != (step.capture == "-") || (step.capture != "-" && !KnownCapture(step.capture))) {
      error("a picture needs a capture and a capture a picture name");
      continue;
    }
    table.steps.push_back(step);
  }
  return table;
}

}  // namespace va::demo
