// hostsim_driver: runs the stand-in host in a fresh folder (with the real
// ch_plug.dll beside it, as the host loads it), drives it through its automation
// window and reads its log and exit code. Every wait has a deadline.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "support/temp_folder.h"

namespace va::test {

// Built programs and libraries, as Windows paths.
std::string HostSimProgram();
std::string ExtensionModule();
std::string TestAddOnLibrary();     // records every call it gets (see test_addon.cpp)
std::string NoExportsLibrary();     // a library lacking one of the five exports
std::string TestFile(const std::string& name);  // a file of tests/support/files

// Polls `condition` every `stepMs` until it is true or `timeoutMs` passed.
bool WaitUntil(const std::function<bool()>& condition, int timeoutMs, int stepMs = 20);

// One line of the host's log: its time in ms since the host started, and the event.
struct LogLine {
  unsigned long ms = 0;
  std::string text;
};

class HostSim {
 public:
  // A fresh folder holding hostsim.exe and, when `withModule`, ch_plug.dll.
  explicit HostSim(bool withModule = true);
  ~HostSim();  // ends a host still running (Kill)
  HostSim(const HostSim&) = delete;
  HostSim& operator=(const HostSim&) = delete;

  const std::string& folder() const { return temp_.path(); }
  std::string Join(const std::string& name) const { return temp_.Join(name); }
  // Copies a file into the host's folder under `name`; returns the new path.
  std::string CopyIn(const std::string& source, const std::string& name);

  // Writes the scenario and starts the host; true once its automation window exists.
  bool Start(const std::string& scenario, int timeoutMs = 30000);
  HWND MainWindow() const { return main_; }
  DWORD ProcessId() const { return process_.dwProcessId; }

  // Sends an automation command; true when the host understood it.
  bool Send(const std::string& command);
  // Posts a marker through the main frame's queue and waits until it is logged:
  // everything posted to the main frame before it has been handled by then.
  bool Sync(int timeoutMs = 5000);

  std::vector<LogLine> Log() const;
  std::vector<std::string> LogTexts() const;
  // Lines whose text starts with `prefix`.
  std::vector<LogLine> LogStartingWith(const std::string& prefix) const;
  int CountLog(const std::string& prefix) const { return static_cast<int>(LogStartingWith(prefix).size()); }
  bool WaitForLog(const std::string& prefix, int timeoutMs = 10000, int count = 1) const;
  std::vector<std::string> AddOnLog() const;

  // Waits for the process to end; false on timeout.
  bool WaitForExit(int timeoutMs, DWORD* exitCode);
  bool Running() const;
  // Ends the process at once, as the system or a crash does; Start may follow.
  void Kill();

 private:
  TempFolder temp_;
  PROCESS_INFORMATION process_ = {};
  HANDLE job_ = nullptr;  // ends the host with this process, however this process ends
  HWND control_ = nullptr;
  HWND main_ = nullptr;
  int syncCounter_ = 0;
};

// ---- the running host's windows, seen from this process ----

// A top-level window of the host's process of class `cls` (and `caption`, if not
// null); with `visibleOnly` hidden ones are passed over. 0 when there is none.
HWND HostTopWindow(const HostSim& host, const char* cls, const char* caption = nullptr, bool visibleOnly = true);
// The windows of the host's process at any depth; with `control`, those holding a
// control of that id (a progress window by its file line, say).
std::vector<HWND> HostWindows(const HostSim& host, int control = 0);
// A control of the host's main window tree by its id and its parent's id.
HWND HostControl(const HostSim& host, int id, int parentId);
// The status window (the host's top-level "FixedDialog"), shown or not; 0 until it exists.
HWND StatusWindowOf(const HostSim& host);
// The text of `control` on page `page` of the status window; "" without either.
std::string StatusPageText(const HostSim& host, int page, int control);
// Where control `id` of `parent` stands, in its parent's client coordinates.
RECT ChildRect(HWND parent, int id);
// WM_GETTEXT with a deadline: GetWindowText does not ask a window of another process.
std::string WindowTextOf(HWND window);

// Answers the module's message box (caption "VA Extensions") in the host with
// `button` and gives its text; "<no message box>" when none comes.
std::string AnswerHostMessageBox(const HostSim& host, int button = IDOK);
// Asks the host to exit through its own exit command (unless `ask` is false: it was
// asked otherwise) and waits for the process: success only when it ended within the
// deadline with exit code 0.
testing::AssertionResult HostExitsWithZero(HostSim& host, int timeoutMs = 10000, bool ask = true);

// One item of a menu the host dumped into its log as
// "<prefix> <position> id=<id> flags=<flags> <text>".
struct MenuDumpItem {
  int position = -1;
  unsigned id = 0;
  std::string flags, text;
};
// The items with exactly `prefix` (deeper prefixes are passed over) of the last
// dump that starts with a line beginning with `startMarker` and ends with the
// line `endMarker`.
std::vector<MenuDumpItem> LastMenuDump(const HostSim& host, const std::string& prefix, const std::string& startMarker,
                                       const std::string& endMarker);

// Reads a whole file; empty when missing.
std::string ReadWholeFile(const std::string& path);
// The files in `folders` of `root` (all of `root` for ""), at any depth, by their
// path below `root` ("Shared\\Music\\a.mp3"), with their bytes.
std::map<std::string, std::string> FilesBelow(const std::string& root, std::initializer_list<const char*> folders = {""});
std::vector<std::string> SplitLines(const std::string& text);
// How often `part` occurs in `text`, overlapping ones too.
int Occurrences(const std::string& text, const std::string& part);

}  // namespace va::test
