// scenario: parser of the stand-in host's scenario files.
#include "hostsim/scenario.h"

#include <cstdlib>

namespace va::hostsim {
namespace {

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r\n");
  if (begin == std::string::npos) return "";
  size_t end = text.find_last_not_of(" \t\r\n");
  return text.substr(begin, end - begin + 1);
}

bool ParseInt(const std::string& text, int* out) {
  if (text.empty() || text.size() > 9) return false;
  size_t i = text[0] == '-' ? 1 : 0;
  if (i == text.size()) return false;
  for (size_t k = i; k < text.size(); ++k)
    if (text[k] < '0' || text[k] > '9') return false;
  *out = std::atoi(text.c_str());
  return true;
}

bool ParseWindowPlan(const std::string& value, bool commandAllowed, WindowPlan* plan) {
  std::vector<std::string> words = SplitFields(value, ' ');
  std::vector<std::string> parts;
  for (auto& w : words)
    if (!w.empty()) parts.push_back(w);
  if (parts.size() == 1 && parts[0] == "start") { *plan = {Appear::AtStart, 0}; return true; }
  if (parts.size() == 1 && parts[0] == "never") { *plan = {Appear::Never, 0}; return true; }
  if (parts.size() == 1 && parts[0] == "command" && commandAllowed) { *plan = {Appear::OnCommand, 0}; return true; }
  int ms = 0;
  if (parts.size() == 2 && parts[0] == "later" && ParseInt(parts[1], &ms) && ms >= 0) {
    *plan = {Appear::Later, ms};
    return true;
  }
  return false;
}

bool ApplyLine(const std::string& key, const std::string& value, Scenario* s) {
  int number = 0;
  if (key == "download") {
    std::vector<std::string> f = SplitFields(value, '|');
    if (f.size() != 4) return false;
    s->downloads.push_back({f[0], f[1], f[2], f[3]});
    return true;
  }
  if (key == "library") {
    std::vector<std::string> f = SplitFields(value, '|');
    if (f.size() != 2) return false;
    s->library.push_back({f[0], f[1]});
    return true;
  }
  if (key == "window.search") return ParseWindowPlan(value, true, &s->search);
  if (key == "window.traffic") return ParseWindowPlan(value, true, &s->traffic);
  if (key == "window.library") return ParseWindowPlan(value, false, &s->library_window);
  if (key == "status") { s->statusText = value; return true; }
  if (key == "search.text") { s->searchText = value; return true; }
  if (key == "search") {
    if (value != "idle" && value != "running") return false;
    s->searchRunning = value == "running";
    return true;
  }
  if (key == "columns") {
    std::vector<int> types;
    for (const std::string& f : SplitFields(value, ',')) {
      if (!ParseInt(f, &number) || number < 0 || number > 99) return false;
      types.push_back(number);
    }
    if (types.empty() || types.size() > 16) return false;
    s->columnTypes = types;
    return true;
  }
  if (key == "module" || key == "service_show") {
    if (value != "yes" && value != "no") return false;
    (key == "module" ? s->loadModule : s->serviceShow) = value == "yes";
    return true;
  }
  if (key == "second_panel_ms") {
    if (!ParseInt(value, &number) || number < -1) return false;
    s->secondPanelMs = number;
    return true;
  }
  if (key == "exit_after_ms") {
    if (!ParseInt(value, &number) || number < 0) return false;
    s->exitAfterMs = number;
    return true;
  }
  if (key == "command_pump_ms") {
    if (!ParseInt(value, &number) || number < 0 || number > 10000) return false;
    s->commandPumpMs = number;
    return true;
  }
  if (key == "unload") {
    if (value != "exit" && value != "free") return false;
    s->unload = value == "free" ? Unload::FreeFirst : Unload::ByExit;
    return true;
  }
  return false;
}

}  // namespace

std::vector<std::string> SplitFields(const std::string& text, char separator) {
  std::vector<std::string> fields;
  size_t start = 0;
  while (true) {
    size_t at = text.find(separator, start);
    fields.push_back(Trim(text.substr(start, at == std::string::npos ? std::string::npos : at - start)));
    if (at == std::string::npos) break;
    start = at + 1;
  }
  return fields;
}

Scenario ParseScenario(const std::string& text) {
  Scenario s;
  size_t start = 0;
  int lineNumber = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    std::string line = Trim(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    ++lineNumber;
    if (!line.empty() && line[0] != '#') {
      size_t eq = line.find('=');
      bool ok = eq != std::string::npos && ApplyLine(Trim(line.substr(0, eq)), Trim(line.substr(eq + 1)), &s);
      if (!ok) s.errors.push_back("line " + std::to_string(lineNumber) + ": " + line);
    }
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return s;
}

}  // namespace va::hostsim
