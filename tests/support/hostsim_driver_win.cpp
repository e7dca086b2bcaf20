// hostsim_driver_win: see hostsim_driver.h.
#include "support/hostsim_driver.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <tuple>

namespace va::test {
namespace {

constexpr ULONG_PTR kAutomationTag = 0x56414853;
const char kControlClass[] = "VaHostSimControl";

// CMake hands over build paths as the build machine spells them; under Wine a
// Unix path is reached through drive Z:.
std::string WindowsPath(const char* built) {
  std::string path = built;
  if (!path.empty() && path[0] == '/') path = "Z:" + path;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

void CollectFiles(const std::string& root, const std::string& below, std::map<std::string, std::string>& out) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((root + "\\" + below + "*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) out[below + found.cFileName] = ReadWholeFile(root + "\\" + below + found.cFileName);
    else if (found.cFileName[0] != '.') CollectFiles(root, below + found.cFileName + "\\", out);
  while (FindNextFileA(search, &found));
  FindClose(search);
}

}  // namespace

std::string HostSimProgram() { return WindowsPath(VA_HOSTSIM_EXE); }
std::string ExtensionModule() { return WindowsPath(VA_CH_PLUG_DLL); }
std::string TestAddOnLibrary() { return WindowsPath(VA_TEST_ADDON_DLL); }
std::string NoExportsLibrary() { return WindowsPath(VA_NO_EXPORTS_DLL); }
std::string TestFile(const std::string& name) { return WindowsPath(VA_TEST_FILES_DIR) + "\\" + name; }

bool WaitUntil(const std::function<bool()>& condition, int timeoutMs, int stepMs) {
  DWORD start = GetTickCount();
  while (true) {
    if (condition()) return true;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return condition();
    Sleep(stepMs);
  }
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::map<std::string, std::string> FilesBelow(const std::string& root, std::initializer_list<const char*> folders) {
  std::map<std::string, std::string> files;
  for (const char* folder : folders) CollectFiles(root, *folder ? std::string(folder) + "\\" : "", files);
  return files;
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) break;  // a line still being written
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

HostSim::HostSim(bool withModule) {
  CopyIn(HostSimProgram(), "hostsim.exe");
  if (withModule) CopyIn(ExtensionModule(), "ch_plug.dll");
}

HostSim::~HostSim() { Kill(); }

void HostSim::Kill() {
  if (!process_.hProcess) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 99);
    WaitForSingleObject(process_.hProcess, 5000);
  }
  CloseHandle(process_.hProcess);
  CloseHandle(process_.hThread);
  if (job_) CloseHandle(job_);
  process_ = {};
  job_ = nullptr;
  control_ = main_ = nullptr;
}

std::string HostSim::CopyIn(const std::string& source, const std::string& name) {
  std::string target = temp_.Join(name);
  CopyFileA(source.c_str(), target.c_str(), FALSE);
  return target;
}

bool HostSim::Start(const std::string& scenario, int timeoutMs) {
  WriteFileBytes(temp_.Join("scenario.txt"), scenario);
  // The test add-ons append their calls to this file.
  SetEnvironmentVariableA("VA_TEST_ADDON_LOG", temp_.Join("addons.log").c_str());
  std::string command = "\"" + temp_.Join("hostsim.exe") + "\" --scenario \"" + temp_.Join("scenario.txt") +
                        "\" --log \"" + temp_.Join("hostsim.log") + "\"";
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  // A test process killed at its time limit must not leave its host (and the host's
  // tray icon) behind for the next test: the job's last handle ends them.
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
  // Programs the host starts stay out of it: among them may be the session's desktop
  // and tray process, which Wine starts afresh from whatever program needs it.
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE | JOB_OBJECT_LIMIT_SILENT_BREAKAWAY_OK;
  job_ = CreateJobObjectA(nullptr, nullptr);
  if (!job_ || !SetInformationJobObject(job_, JobObjectExtendedLimitInformation, &limits, sizeof limits) ||
      !CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, temp_.path().c_str(),
                      &startup, &process_))
    return false;
  if (!AssignProcessToJobObject(job_, process_.hProcess)) TerminateProcess(process_.hProcess, 99);
  ResumeThread(process_.hThread);
  char title[32];
  std::snprintf(title, sizeof title, "hostsim %lu", static_cast<unsigned long>(process_.dwProcessId));
  if (!WaitUntil([&] { return (control_ = FindWindowA(kControlClass, title)) != nullptr; }, timeoutMs)) return false;
  if (!WaitForLog("ready", timeoutMs)) return false;
  std::string ready = LogStartingWith("ready")[0].text;
  size_t at = ready.find("main=");
  if (at != std::string::npos)
    main_ = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoull(ready.c_str() + at + 5, nullptr, 16)));
  return main_ != nullptr;
}

bool HostSim::Send(const std::string& command) {
  if (!control_) return false;
  COPYDATASTRUCT data = {kAutomationTag, static_cast<DWORD>(command.size()), const_cast<char*>(command.data())};
  DWORD_PTR answer = 0;
  if (!SendMessageTimeoutA(control_, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, 10000, &answer))
    return false;
  return answer == 1;
}

bool HostSim::Sync(int timeoutMs) {
  const std::string marker = std::to_string(++syncCounter_);
  return Send("sync " + marker) && WaitForLog("synced " + marker, timeoutMs);
}

std::vector<LogLine> HostSim::Log() const {
  std::vector<LogLine> lines;
  for (const std::string& raw : SplitLines(ReadWholeFile(temp_.Join("hostsim.log"))))
    lines.push_back({std::strtoul(raw.c_str(), nullptr, 10), raw.find(' ') == std::string::npos ? "" : raw.substr(raw.find(' ') + 1)});
  return lines;
}

std::vector<std::string> HostSim::LogTexts() const {
  std::vector<std::string> texts;
  for (const LogLine& line : Log()) texts.push_back(line.text);
  return texts;
}

std::vector<LogLine> HostSim::LogStartingWith(const std::string& prefix) const {
  std::vector<LogLine> found;
  for (const LogLine& line : Log())
    if (line.text.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
  return found;
}

bool HostSim::WaitForLog(const std::string& prefix, int timeoutMs, int count) const {
  return WaitUntil([&] { return CountLog(prefix) >= count; }, timeoutMs);
}

std::vector<std::string> HostSim::AddOnLog() const { return SplitLines(ReadWholeFile(temp_.Join("addons.log"))); }

bool HostSim::WaitForExit(int timeoutMs, DWORD* exitCode) {
  if (!process_.hProcess || WaitForSingleObject(process_.hProcess, static_cast<DWORD>(timeoutMs)) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(process_.hProcess, exitCode);
  return true;
}

bool HostSim::Running() const {
  return process_.hProcess && WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT;
}

// ---- the running host's windows ----

HWND HostTopWindow(const HostSim& host, const char* cls, const char* caption, bool visibleOnly) {
  for (HWND w = FindWindowExA(nullptr, nullptr, cls, caption); w; w = FindWindowExA(nullptr, w, cls, caption)) {
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid == host.ProcessId() && (!visibleOnly || IsWindowVisible(w))) return w;
  }
  return nullptr;
}

std::vector<HWND> HostWindows(const HostSim& host, int control) {
  std::tuple<DWORD, int, std::vector<HWND>> query{host.ProcessId(), control, {}};
  EnumChildWindows(GetDesktopWindow(), [](HWND window, LPARAM data) WINAPI -> BOOL {
    auto& [pid, control, found] = *reinterpret_cast<std::tuple<DWORD, int, std::vector<HWND>>*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && (!control || GetDlgItem(window, control))) found.push_back(window);
    return TRUE;
  }, reinterpret_cast<LPARAM>(&query));
  return std::get<2>(query);
}

HWND HostControl(const HostSim& host, int id, int parentId) {
  struct { int id, parentId; HWND found; } search{id, parentId, nullptr};
  if (host.MainWindow())
    EnumChildWindows(host.MainWindow(), [](HWND window, LPARAM data) WINAPI -> BOOL {
      auto* s = reinterpret_cast<decltype(search)*>(data);
      return GetDlgCtrlID(window) != s->id || GetDlgCtrlID(GetParent(window)) != s->parentId || (s->found = window, FALSE);
    }, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

RECT ChildRect(HWND parent, int id) {
  RECT r = {};
  GetWindowRect(GetDlgItem(parent, id), &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

HWND StatusWindowOf(const HostSim& host) { return HostTopWindow(host, "FixedDialog", nullptr, false); }

std::string WindowTextOf(HWND window) {
  char text[512] = "";
  DWORD_PTR copied = 0;
  if (window)
    SendMessageTimeoutA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                        &copied);
  return text;
}

std::string StatusPageText(const HostSim& host, int page, int control) {
  HWND frame = StatusWindowOf(host);
  return frame ? WindowTextOf(GetDlgItem(GetDlgItem(frame, page), control)) : "";
}

std::string AnswerHostMessageBox(const HostSim& host, int button) {
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = HostTopWindow(host, "#32770", "VA Extensions")) != nullptr; }, 10000)) return "<no message box>";
  const std::string text = WindowTextOf(GetDlgItem(box, 0xFFFF));
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  return WaitUntil([&] { return !IsWindow(box); }, 10000) ? text : text + " <not closed>";
}

testing::AssertionResult HostExitsWithZero(HostSim& host, int timeoutMs, bool ask) {
  if (ask && !host.Send("exit")) return testing::AssertionFailure() << "the host took no exit command";
  DWORD code = 99;
  if (!host.WaitForExit(timeoutMs, &code)) return testing::AssertionFailure() << "the host did not end";
  if (code != 0) return testing::AssertionFailure() << "the host ended with exit code " << code;
  return testing::AssertionSuccess();
}

std::vector<MenuDumpItem> LastMenuDump(const HostSim& host, const std::string& prefix, const std::string& startMarker,
                                       const std::string& endMarker) {
  const std::vector<std::string> lines = host.LogTexts();
  size_t end = lines.size();
  while (end > 0 && lines[end - 1] != endMarker) --end;
  size_t start = end;
  while (start > 0 && lines[start - 1].rfind(startMarker, 0) != 0) --start;
  std::vector<MenuDumpItem> items;
  const std::string head = prefix + " ";
  for (size_t i = start; i + 1 < end; ++i) {
    if (lines[i].rfind(head, 0) != 0) continue;
    std::string rest = lines[i].substr(head.size());
    const size_t space = rest.find(' ');
    if (space == std::string::npos || rest.compare(space + 1, 3, "id=") != 0) continue;  // a deeper prefix
    const int position = std::stoi(rest.substr(0, space));
    rest = rest.substr(space + 4);
    const size_t flags = rest.find("flags=") + 6, after = rest.find(' ', flags);
    items.push_back({position, static_cast<unsigned>(std::stoul(rest)), rest.substr(flags, after - flags),
                     after == std::string::npos ? "" : rest.substr(after + 1)});
  }
  return items;
}

}  // namespace va::test
