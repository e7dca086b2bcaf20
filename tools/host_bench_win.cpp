// host_bench: what the host feels of the module, for each ch_plug.dll named on the
// command line (measured one after the other in the same session, so that two
// builds compare side by side): the messages other threads send the host's UI
// thread while the accelerator cycles, the CPU the host and its Wine server spend
// meanwhile against the same host idle, the delay from switching the accelerator
// on to its first command, how late the host's window answers a probe every 10 ms,
// and how long the download popup and the reorder dialog take to open over many
// rows. Run by scripts/bench.sh under Wine:
//   host_bench.exe <label>=<ch_plug.dll>...
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "support/clipboard_view.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/temp_folder.h"

namespace {

using va::test::HostSim;
using va::test::WaitUntil;

constexpr int kStatusPage = 302;

// Paused, Queued and Downloading rows are acted on; the others are skipped.
std::string Rows(int count) {
  static const char* const kStates[] = {"Downloading", "Paused", "Searching", "Queued", "Connecting", "Completed"};
  std::string scenario = "second_panel_ms = -1\n";
  for (int i = 0; i < count; ++i)
    scenario += "download = d" + std::to_string(i) + "|" + kStates[i % 6] + "|" + std::to_string(i % 7) +
                " KB/s|d" + std::to_string(i) + ".mp3\n";
  return scenario;
}

// The accelerator at its shortest waits, the status window open on its page.
void Settings(bool keepRange) {
  va::test::ClearExtensionSettings();
  using va::test::PutDword;
  PutDword(HKEY_CURRENT_USER, va::test::kAcceleratorKey, "CyclesDelay", 30);
  PutDword(HKEY_CURRENT_USER, va::test::kAcceleratorKey, "ItemDelay", 0);
  PutDword(HKEY_CURRENT_USER, va::test::kAcceleratorKey, "KeepDownloads", keepRange ? 1 : 0);
  PutDword(HKEY_CURRENT_USER, va::test::kAcceleratorKey, "SearchResume", 1);
  va::test::PutRawValue(HKEY_CURRENT_USER, va::test::kLastStateKey, "StatusWnd", REG_SZ, std::string("40,40,1,0", 10));
  PutDword(HKEY_CURRENT_USER, va::test::kLastStateKey, "StatusDlg", kStatusPage);
}

struct Host {
  HostSim sim;
  bool Start(const std::string& dll, int rows) {
    sim.CopyIn(dll, "ch_plug.dll");
    return sim.Start(Rows(rows), 60000) &&
           WaitUntil([&] { return va::test::StatusPageText(sim, kStatusPage, 1068) == "Found"; }, 60000);
  }
  long SentCount() {
    const size_t before = sim.LogStartingWith("sent-count").size();
    if (!sim.Send("sent-count") || !sim.WaitForLog("sent-count", 5000, static_cast<int>(before) + 1)) return -1;
    return std::strtol(sim.LogStartingWith("sent-count").back().text.c_str() + 11, nullptr, 10);
  }
  unsigned long LogMs(const std::string& prefix) {
    const auto lines = sim.LogStartingWith(prefix);
    return lines.empty() ? 0 : lines.front().ms;
  }
  bool RowCommandLogged() {
    for (const auto& line : sim.LogTexts())
      if (line.rfind("command 61244 ", 0) == 0 || line.rfind("command 32986 ", 0) == 0 ||
          line.rfind("command 61242 ", 0) == 0)
        return true;
    return false;
  }
  unsigned long FirstRowCommandMs() {
    for (const auto& line : sim.Log())
      if (line.text.rfind("command 61244 ", 0) == 0 || line.text.rfind("command 32986 ", 0) == 0 ||
          line.text.rfind("command 61242 ", 0) == 0)
        return line.ms;
    return 0;
  }
};

// CPU seconds of this Wine session's host programs and server (from the kernel's
// process table, which Wine shows on drive Z:).
double SessionCpuSeconds() {
  const char* prefix = std::getenv("WINEPREFIX");
  const std::string mine = std::string("WINEPREFIX=") + (prefix ? prefix : "");
  double ticks = 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA("Z:\\proc\\*", &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  do {
    const std::string pid = found.cFileName;
    if (pid.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream statFile("Z:\\proc\\" + pid + "\\stat"), environFile("Z:\\proc\\" + pid + "\\environ");
    std::string stat((std::istreambuf_iterator<char>(statFile)), {});
    std::string variables((std::istreambuf_iterator<char>(environFile)), {});
    const size_t open = stat.find('('), close = stat.rfind(')');
    if (open == std::string::npos || close == std::string::npos) continue;
    const std::string name = stat.substr(open + 1, close - open - 1);
    if (name.rfind("hostsim", 0) != 0 && name.rfind("wineserver", 0) != 0) continue;
    if ((variables + '\0').find(mine + '\0') == std::string::npos) continue;
    // Fields after the name: state is the 3rd field; utime and stime the 14th and 15th.
    std::vector<std::string> fields;
    size_t at = close + 2;
    while (at < stat.size() && fields.size() < 15) {
      const size_t space = stat.find(' ', at);
      fields.push_back(stat.substr(at, space - at));
      at = space == std::string::npos ? stat.size() : space + 1;
    }
    if (fields.size() >= 13) ticks += std::atof(fields[11].c_str()) + std::atof(fields[12].c_str());
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return ticks / 100.0;  // the kernel counts in hundredths here
}

// A probe that sends the host's main window a message every 10 ms and records how
// late each is answered.
class LatencyProbe {
 public:
  explicit LatencyProbe(HWND window) : window_(window) {
    thread_ = CreateThread(nullptr, 0, Body, this, 0, nullptr);
  }
  ~LatencyProbe() { Stop(); }
  void Stop() {
    stop_ = true;
    if (thread_) WaitForSingleObject(thread_, INFINITE), CloseHandle(thread_);
    thread_ = nullptr;
  }
  std::string Figures() {
    Stop();
    if (delays_.empty()) return "no answers";
    std::sort(delays_.begin(), delays_.end());
    char text[96];
    std::snprintf(text, sizeof text, "median %.1f ms, worst %.1f ms (%zu probes)", delays_[delays_.size() / 2],
                  delays_.back(), delays_.size());
    return text;
  }

 private:
  static DWORD WINAPI Body(LPVOID self) { return static_cast<LatencyProbe*>(self)->Run(), 0; }
  void Run() {
    HWND window = window_;
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    while (!stop_) {
      DWORD_PTR answer = 0;
      QueryPerformanceCounter(&start);
      SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer);
      QueryPerformanceCounter(&end);
      delays_.push_back(1000.0 * static_cast<double>(end.QuadPart - start.QuadPart) / frequency.QuadPart);
      Sleep(10);
    }
  }
  std::atomic<bool> stop_{false};
  std::vector<double> delays_;
  HWND window_;
  HANDLE thread_ = nullptr;
};

void Print(const std::string& label, const std::string& measure, const std::string& figure) {
  std::printf("%-8s | %-62s | %s\n", label.c_str(), measure.c_str(), figure.c_str());
  std::fflush(stdout);
}

// Switches the accelerator on and waits for its first command to a row.
bool SwitchOn(Host& host) {
  return host.sim.Send("command 11401") && WaitUntil([&] { return host.RowCommandLogged(); }, 120000, 50);
}

void MessagesPerRow(const std::string& label, const std::string& dll, int rows, bool keepRange) {
  Settings(keepRange);
  Host host;
  if (!host.Start(dll, rows) || host.SentCount() < 0 || !SwitchOn(host)) return Print(label, "start", "failed");
  const long first = host.SentCount();
  constexpr int kSeconds = 10;  // about ten rows: every row takes at least a second
  Sleep(kSeconds * 1000);
  const long last = host.SentCount() - 1;  // less the question itself
  char figure[96];
  std::snprintf(figure, sizeof figure, "%.0f per row (%ld in %d s)", (last - first) / double(kSeconds), last - first,
                kSeconds);
  Print(label, "messages to the UI thread, " + std::to_string(rows) + " rows, keep range " + (keepRange ? "on" : "off"),
        figure);
}

void CpuAndFirstCommand(const std::string& label, const std::string& dll, int rows, bool keepRange) {
  Settings(keepRange);
  Host host;
  if (!host.Start(dll, rows)) return Print(label, "start", "failed");
  constexpr int kSeconds = 20;
  double before = SessionCpuSeconds();
  Sleep(kSeconds * 1000);
  const double idle = SessionCpuSeconds() - before;
  if (!SwitchOn(host)) return Print(label, "switch on", "no command");
  const unsigned long switchedOn = host.LogMs("automation command 11401");
  char figure[128];
  std::snprintf(figure, sizeof figure, "%.1f s", (host.FirstRowCommandMs() - switchedOn) / 1000.0);
  const std::string what = std::to_string(rows) + " rows, keep range " + (keepRange ? "on" : "off");
  Print(label, "first command after switching on, " + what, figure);
  LatencyProbe probe(host.sim.MainWindow());
  before = SessionCpuSeconds();
  Sleep(kSeconds * 1000);
  const double cycling = SessionCpuSeconds() - before;
  std::snprintf(figure, sizeof figure, "%.1f%% of a core above idle (%.2f s cycling, %.2f s idle, in %d s)",
                100.0 * (cycling - idle) / kSeconds, cycling, idle, kSeconds);
  Print(label, "host and server CPU while cycling, " + what, figure);
  Print(label, "host UI latency while cycling, " + what, probe.Figures());
}

void PopupAndReorder(const std::string& label, const std::string& dll, int rows) {
  Settings(false);
  va::test::PutDword(HKEY_CURRENT_USER, va::test::kExtKey, "ChangeDownloadMenu", 1);
  Host host;
  if (!host.Start(dll, rows)) return Print(label, "start", "failed");
  HWND list = va::test::HostControl(host.sim, 373, 1381);
  LatencyProbe probe(host.sim.MainWindow());
  const DWORD start = GetTickCount();
  PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 6));
  PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(20, 6));
  const bool popup = WaitUntil([&] { return host.sim.Send("popup"); }, 30000, 5);
  Print(label, "download popup open over " + std::to_string(rows) + " rows",
        popup ? std::to_string(GetTickCount() - start) + " ms" : "not open");
  const DWORD reorder = GetTickCount();
  HWND dialog = nullptr;
  const bool open = host.sim.Send("command 11004") && WaitUntil([&] {
    return (dialog = va::test::HostTopWindow(host.sim, "#32770", "Reorder download list...")) != nullptr;
  }, 30000, 5);
  Print(label, "reorder dialog open over " + std::to_string(rows) + " rows",
        open ? std::to_string(GetTickCount() - reorder) + " ms" : "not open");
  if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  Print(label, "host UI latency while they open", probe.Figures());
}

int FilesIn(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  int files = 0;
  for (BOOL more = search != INVALID_HANDLE_VALUE; more; more = FindNextFileA(search, &found))
    files += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
  if (search != INVALID_HANDLE_VALUE) FindClose(search);
  return files;
}

// QuickLinks of 200 library files of 300 KB, then the organizer copying 500 files
// dropped into the shared folder (a filter copying everything out of it), each
// with the probe on the host's window; attach time from ServiceShow's return to
// the Traffic window found.
void QuickLinksAndOrganizer(const std::string& label, const std::string& dll) {
  Settings(false);
  Host host;
  const std::string shared = host.sim.Join("Shared"), copies = host.sim.Join("Copies");
  for (const std::string& folder : {shared, copies, host.sim.Join("Incoming")}) CreateDirectoryA(folder.c_str(), nullptr);
  va::test::PutRawValue(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir", REG_SZ, va::test::Sz(shared));
  for (const auto& [name, text] : {std::pair{"Title1", std::string("All")}, {"Dest1", copies}, {"Filter1", std::string("*")}})
    va::test::PutRawValue(HKEY_CURRENT_USER, va::test::kFiltersKey, name, REG_SZ, va::test::Sz(text));
  va::test::PutDword(HKEY_CURRENT_USER, va::test::kFiltersKey, "Action1", 1);
  std::string scenario = Rows(10), rows = "1";
  for (int i = 0; i < 200; ++i) {
    va::test::WriteFileBytes(host.sim.Join(std::to_string(i) + ".bin"), std::string(300000 + i, char('a' + i % 26)));
    scenario += "library = " + std::to_string(i) + ".bin | " + host.sim.folder() + "\n";
    if (i > 0) rows += "," + std::to_string(i + 1);
  }
  host.sim.CopyIn(dll, "ch_plug.dll");
  if (!host.sim.Start(scenario, 60000) ||
      !WaitUntil([&] { return va::test::StatusPageText(host.sim, kStatusPage, 1068) == "Found"; }, 60000) ||
      !host.sim.Sync())
    return Print(label, "start", "failed");
  Print(label, "attach: ServiceShow's return to the Traffic window found (at most)",
        std::to_string(host.LogMs("synced") - host.LogMs("result ServiceShow")) + " ms");
  OpenClipboard(nullptr), EmptyClipboard(), CloseClipboard();
  if (!host.sim.Send("select-library " + rows) || !host.sim.Sync()) return Print(label, "select-library", "failed");
  {
    LatencyProbe probe(host.sim.MainWindow());  // from the command on: the host's own selecting is not counted
    const DWORD start = GetTickCount();
    const bool made = host.sim.Send("command 11451") &&
                      WaitUntil([] { return va::test::ClipboardText().find("sig2dat:") != std::string::npos; }, 120000, 50);
    Print(label, "host UI latency while QuickLinks hash 200 files of 300 KB",
          made ? probe.Figures() + ", " + std::to_string(GetTickCount() - start) + " ms" : "no QuickLinks");
  }
  LatencyProbe probe(host.sim.MainWindow());
  const DWORD start = GetTickCount();
  for (int i = 0; i < 500; ++i) {
    const std::string name = "f" + std::to_string(i) + ".txt", incoming = host.sim.Join("Incoming\\" + name);
    va::test::WriteFileBytes(incoming, std::string(20000, 'x'));
    MoveFileA(incoming.c_str(), (shared + "\\" + name).c_str());
  }
  const bool copied = WaitUntil([&] { return FilesIn(copies) >= 500; }, 180000, 100);
  Print(label, "host UI latency while the organizer copies 500 files",
        copied ? probe.Figures() + ", " + std::to_string(GetTickCount() - start) + " ms" : "not copied");
}

}  // namespace

int main(int argc, char** argv) {
  std::printf("%-8s | %-62s | %s\n", "build", "measure", "figure");
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const size_t eq = arg.find('=');
    if (eq == std::string::npos) continue;
    const std::string label = arg.substr(0, eq), dll = arg.substr(eq + 1);
    const bool filesOnly = std::getenv("VA_BENCH_FILES_ONLY") != nullptr;  // for trying that part alone
    for (int rows : {10, 100, 1000})
      for (bool keep : {false, true}) filesOnly || (MessagesPerRow(label, dll, rows, keep), true);
    for (int rows : {300, 1000})
      for (bool keep : {false, true}) filesOnly || (CpuAndFirstCommand(label, dll, rows, keep), true);
    if (!filesOnly) PopupAndReorder(label, dll, 5000);
    QuickLinksAndOrganizer(label, dll);
  }
  va::test::ClearExtensionSettings();
  return 0;
}
