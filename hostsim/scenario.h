// scenario: the stand-in host's start-up description, read from a small text file
// (format in hostsim/README.md). Portable, so the parser is unit tested and fuzzed.
#pragma once
#include <string>
#include <vector>

namespace va::hostsim {

struct DownloadRow {
  std::string title, status, speed, fileName;
};

struct LibraryFile {
  std::string name, folder;
};

// When one of the host's windows comes into being.
enum class Appear { AtStart, Later, OnCommand, Never };
struct WindowPlan {
  Appear appear = Appear::AtStart;
  int delayMs = 0;  // for Later
};

// How the host lets go of the module at exit: release it first (its unload
// notification then runs while the process is still alive), or just end.
enum class Unload { FreeFirst, ByExit };

struct Scenario {
  std::vector<DownloadRow> downloads;
  std::vector<LibraryFile> library;
  WindowPlan search, traffic, library_window;
  std::string statusText = "Connected";  // status bar pane 2
  bool searchRunning = false;
  std::string searchText;
  std::vector<int> columnTypes = {0, 1, 2, 3, 4, 5, 6, 7, 8};  // type id per column index
  bool loadModule = true;
  bool serviceShow = true;
  int secondPanelMs = 300;  // -1: never
  int exitAfterMs = 0;      // 0: never
  Unload unload = Unload::FreeFirst;
  // After each download command the host goes on answering messages that other
  // threads send it for this long, as a busy host does while it works; 0: not.
  int commandPumpMs = 0;
  std::vector<std::string> errors;  // "line N: ..." for lines that were not understood
};

// Parses the text of a scenario file; unknown or malformed lines are listed in
// `errors` and otherwise ignored.
Scenario ParseScenario(const std::string& text);

// Splits "a | b | c" into trimmed fields.
std::vector<std::string> SplitFields(const std::string& text, char separator);

}  // namespace va::hostsim
