// soak: the extension module kept busy inside the stand-in host for many rounds,
// with the host's resources measured from outside before and after; fails on
// growth beyond the stated tolerances and on any file the organizer lost or
// duplicated. The accelerator engine's cycles are also run over 200 rows with its
// counting clock. scripts/soak.sh runs the long version; the test run the short.
//   soak [--short] [--rounds N] [--files N] [--links N] [--cycles N]
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "support/clipboard_view.h"
#include "support/cycling_download_host.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va::soak {
namespace {

using test::HostSim;
using test::PutRawValue;
using test::WaitUntil;

// Growth allowed between the sample after the warm-up round and the last one.
// The warm-up round makes every lazily created object (fonts, icons, menus,
// pages, thread stacks) exist before the first sample.
constexpr long kGdiTolerance = 10;
constexpr long kUserTolerance = 10;
constexpr long kWindowTolerance = 2;
constexpr long kHandleTolerance = 16;
constexpr long long kPrivateBytesTolerance = 6ll << 20;

constexpr int kRows = 200;
constexpr int kLibraryFiles = 100;
constexpr int kStepMs = 10000;
constexpr int kOrganizeMs = 90000;
constexpr int kLinksMs = 60000;
constexpr int kFoundMs = 30000;
constexpr UINT kTrayCallback = WM_USER + 10;
constexpr UINT kTrayId = 216;
constexpr int kStatusAcceleratorPage = 302;
constexpr int kNextCycleText = 1050;
constexpr int kTrafficStateText = 1068;
constexpr int kProgressLine = 1131;
constexpr DWORD kNudgeAfterMs = 3000;  // hostsim returned from WinMain itself

using test::Dword;
using test::kAcceleratorKey;
using test::kExtKey;
using test::kFiltersKey;
using test::kLastStateKey;
using test::Sz;
const char kLocalContent[] = "SOFTWARE\\Vexlo\\LocalContent";

struct Options {
  int rounds = 8;
  int filesPerRound = 125;  // 1000 files over the run
  int links = kLibraryFiles;
  uint32_t engineCycles = 2000;
};

int failures = 0;
void Fail(const std::string& what) {
  ++failures;
  std::printf("soak: FAILED: %s\n", what.c_str());
}


uint64_t Fnv1a(const std::string& bytes) {
  uint64_t hash = 1469598103934665603ull;
  for (unsigned char c : bytes) hash = (hash ^ c) * 1099511628211ull;
  return hash;
}

// ---- the engine over 200 rows ----

void SoakEngine(uint32_t cycles) {
  AcceleratorSettings settings;
  settings.CyclesDelay = 30;
  settings.ItemDelay = 1;
  settings.SearchResume = 1;
  settings.TimesInSearchState = 4;
  settings.SkipBySpeed = 1;
  settings.MinSpeed = 5000;
  settings.KeepDownloads = 0;
  test::CyclingDownloadHost host(kRows, cycles);
  host.Run(settings);
  std::printf("soak: engine: %u cycles over %d rows (%.1f hours on its clock)\n", host.cyclesEnded(), kRows,
              host.fakeMilliseconds() / 3600000.0);
  if (host.cyclesEnded() != cycles) Fail("the engine ended after " + std::to_string(host.cyclesEnded()) + " cycles");
  // Every cycle of an unchanging list sends the same commands; a drift would mean
  // state leaking from one cycle into the next.
  const auto& perCycle = host.commandsPerCycle();
  for (size_t i = 1; i < perCycle.size(); ++i) {
    // The Searching rows are paused and resumed every fourth cycle: compare with
    // the cycle four earlier.
    if (i >= 4 && perCycle[i] != perCycle[i - 4]) {
      Fail("cycle " + std::to_string(i + 1) + " sent " + std::to_string(perCycle[i]) + " commands, cycle " +
           std::to_string(i - 3) + " " + std::to_string(perCycle[i - 4]));
      break;
    }
  }
  if (host.searchingAtEnd() > kRows / 10)
    Fail("the engine remembers " + std::to_string(host.searchingAtEnd()) + " searching downloads; the list has " +
         std::to_string(kRows / 10));
}

// ---- the host's resources ----

struct Sample {
  long gdi = -1, user = -1;  // -1: the platform does not count them
  long windows = 0, handles = -1;
  long long privateBytes = -1;
};

struct WindowCount {
  DWORD pid;
  long count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
  ++reinterpret_cast<WindowCount*>(data)->count;
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM data) {
  auto* count = reinterpret_cast<WindowCount*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != count->pid) return TRUE;
  ++count->count;
  EnumChildWindows(window, CountChild, data);
  return TRUE;
}

Sample Measure(DWORD pid) {
  Sample sample;
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
  if (!process) return sample;
  SetLastError(0);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
  // A platform without these counts answers 0 (a live host always has some).
  if (gdi || user) {
    sample.gdi = static_cast<long>(gdi);
    sample.user = static_cast<long>(user);
  }
  DWORD handles = 0;
  if (GetProcessHandleCount(process, &handles)) sample.handles = static_cast<long>(handles);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
    sample.privateBytes = static_cast<long long>(memory.PrivateUsage);
  CloseHandle(process);
  WindowCount count{pid, 0};
  EnumWindows(CountTopLevel, reinterpret_cast<LPARAM>(&count));
  sample.windows = count.count;
  return sample;
}

void Print(const char* when, const Sample& s) {
  auto number = [](long long v) { return v < 0 ? std::string("n/a") : std::to_string(v); };
  std::printf("soak: host %s: GDI objects %s, USER objects %s, windows %ld, handles %s, private memory %s KiB\n", when,
              number(s.gdi).c_str(), number(s.user).c_str(), s.windows, number(s.handles).c_str(),
              s.privateBytes < 0 ? "n/a" : std::to_string(s.privateBytes / 1024).c_str());
}

void Compare(const char* what, long long start, long long end, long long tolerance) {
  if (start < 0 || end < 0) {
    std::printf("soak: %s not measured on this platform\n", what);
    return;
  }
  const long long growth = end - start;
  std::printf("soak: %s grew by %lld (tolerance %lld)\n", what, growth, tolerance);
  if (growth > tolerance) Fail(std::string(what) + " grew by " + std::to_string(growth));
}

// ---- the run in the host ----

class HostSoak {
 public:
  explicit HostSoak(const Options& options) : options_(options) {}
  ~HostSoak() {
    if (host_.Running()) {
      host_.Send("exit");
      DWORD code = 0;
      host_.WaitForExit(10000, &code);
    }
    Clean();
  }

  void Run() {
    Clean();
    Configure();
    if (!Start()) return;
    std::string why;
    if (!Round(0, why)) return Fail("warm-up round: " + why);
    const Sample start = MeasureHost();
    Print("after the warm-up round", start);
    for (int round = 1; round <= options_.rounds; ++round) {
      if (!Round(round, why)) return Fail("round " + std::to_string(round) + ": " + why);
    }
    const Sample end = MeasureHost();
    Print("at the end", end);
    Compare("GDI objects", start.gdi, end.gdi, kGdiTolerance);
    Compare("USER objects", start.user, end.user, kUserTolerance);
    Compare("windows", start.windows, end.windows, kWindowTolerance);
    Compare("handles", start.handles, end.handles, kHandleTolerance);
    Compare("private memory (bytes)", start.privateBytes, end.privateBytes, kPrivateBytesTolerance);
    StopAccelerator();
    CheckOrganizedFiles();
    host_.Send("exit");
    DWORD code = 99;
    if (!host_.WaitForExit(10000, &code)) return Fail("the host did not end");
    // The module's shutdown ends the process with 0 when the host releases it (the
    // host's own path returns 3), and it saved the remembered state, whose
    // ConfigDlg value nothing else writes.
    const bool saved = test::ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg").exists;
    std::printf("soak: the host ended with exit code %lu; the last state was %s\n", static_cast<unsigned long>(code),
                saved ? "saved" : "not saved");
    if (code != 0 || !saved) Fail("the module's shutdown did not end the process");
  }

 private:
  // The counts from outside where the platform answers them, else the host's own
  // (its "resources" automation command logs them).
  Sample MeasureHost() {
    Sample sample = Measure(host_.ProcessId());
    const int before = host_.CountLog("resources ");
    if (!host_.Send("resources") || !host_.WaitForLog("resources ", kStepMs, before + 1)) return sample;
    const std::string line = host_.LogStartingWith("resources ").back().text;
    std::printf("soak: the host's own counts: %s\n", line.c_str());
    auto field = [&](const char* name) -> long long {
      const size_t at = line.find(std::string(" ") + name + "=");
      return at == std::string::npos ? 0 : std::atoll(line.c_str() + at + std::strlen(name) + 2);
    };
    auto pick = [](long long outside, long long inside) { return outside > 0 ? outside : inside > 0 ? inside : -1; };
    sample.gdi = static_cast<long>(pick(sample.gdi, field("gdi")));
    sample.user = static_cast<long>(pick(sample.user, field("user")));
    sample.handles = static_cast<long>(pick(sample.handles, field("handles")));
    sample.privateBytes = pick(sample.privateBytes, field("private"));
    return sample;
  }

  static void Clean() {
    test::ClearExtensionSettings();
    test::DeleteTree(HKEY_CURRENT_USER, kLocalContent);
  }

  void Configure() {
    shared_ = host_.Join("Shared");
    library_ = host_.Join("Library");
    CreateDirectoryA(shared_.c_str(), nullptr);
    CreateDirectoryA(library_.c_str(), nullptr);
    PutRawValue(HKEY_CURRENT_USER, kLocalContent, "DownloadDir", REG_SZ, Sz(shared_));
    PutRawValue(HKEY_CURRENT_USER, kExtKey, "ChangeTrayMenu", REG_DWORD, Dword(1));
    PutRawValue(HKEY_CURRENT_USER, kExtKey, "ShowAccelSttInTray", REG_DWORD, Dword(1));
    PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "CyclesDelay", REG_DWORD, Dword(30));
    PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "ItemDelay", REG_DWORD, Dword(1));
    PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "SearchResume", REG_DWORD, Dword(1));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusDlg", REG_DWORD, Dword(kStatusAcceleratorPage));
    const char* const filters[][3] = {
        {"Music", "*.mp3;*.ogg", "Music"}, {"Pictures", "*.jpg", "Pictures"}, {"Rest", "*", "Other"}};
    for (int i = 0; i < 3; ++i) {
      const std::string n = std::to_string(i + 1);
      PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Title" + n).c_str(), REG_SZ, Sz(filters[i][0]));
      PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Filter" + n).c_str(), REG_SZ, Sz(filters[i][1]));
      PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Dest" + n).c_str(), REG_SZ, Sz(filters[i][2]));
      PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Action" + n).c_str(), REG_DWORD, Dword(2));  // move
    }
  }

  std::string Scenario() {
    static const char* const kStates[] = {"Downloading", "Paused",    "Searching", "Completed", "Queued",
                                          "Connecting",  "Cancelled", "Failed",    "More sources needed",
                                          "Remotely queued"};
    std::string text = "second_panel_ms = -1\n";
    for (int i = 0; i < kRows; ++i) {
      const std::string name = "Download " + std::to_string(i) + ".mp3";
      text += "download = " + name + " | " + kStates[i % 10] + " | " + std::to_string(i % 60) + " KB/s | " + name + "\n";
    }
    for (int i = 0; i < kLibraryFiles; ++i) {
      const std::string name = "file_" + std::to_string(1000 + i) + ".bin";
      test::WriteFileBytes(library_ + "\\" + name, std::string(size_t(1000 + 37 * i), char('a' + i % 26)));
      text += "library = " + name + " | " + library_ + "\n";
    }
    return text;
  }

  HWND StatusFrame() {
    for (HWND w = FindWindowExA(nullptr, nullptr, "FixedDialog", nullptr); w;
         w = FindWindowExA(nullptr, w, "FixedDialog", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == host_.ProcessId()) return w;
    }
    return nullptr;
  }
  std::string PageText(int control) {
    char text[256] = "";
    HWND frame = StatusFrame();
    if (frame) GetWindowTextA(GetDlgItem(GetDlgItem(frame, kStatusAcceleratorPage), control), text, sizeof text);
    return text;
  }

  bool Start() {
    if (!host_.Start(Scenario()) || !host_.WaitForLog("result ServiceShow")) {
      Fail("the host did not start");
      return false;
    }
    // The status window shows the Accelerator page; the accelerator can start
    // once the module has found the Traffic window.
    host_.Send("command 11003");
    if (!WaitUntil([&] { return PageText(kTrafficStateText) == "Found"; }, kFoundMs)) {
      Fail("the module did not find the Traffic window");
      return false;
    }
    host_.Send("command 11401");
    if (!WaitUntil([&] { return PageText(kNextCycleText) == "Running..."; }, kStepMs)) {
      Fail("the accelerator did not start");
      return false;
    }
    host_.Send("command 11003");  // hidden again: each round shows it
    if (!WaitUntil([&] { return !IsWindowVisible(StatusFrame()); }, kStepMs)) {
      Fail("the status window did not hide");
      return false;
    }
    HMODULE module = LoadLibraryExA(test::ExtensionModule().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    hasOptionsDialog_ = module && FindResourceA(module, MAKEINTRESOURCEA(200), MAKEINTRESOURCEA(5)) != nullptr;
    if (module) FreeLibrary(module);
    if (!hasOptionsDialog_) std::printf("soak: options dialog: skipped: ch_plug.dll has no dialog 200 yet\n");
    return true;
  }

  HWND TopLevel(const char* cls, const char* caption) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, cls, caption)) != nullptr) {
      DWORD pid = 0;
      GetWindowThreadProcessId(found, &pid);
      if (pid == host_.ProcessId() && IsWindowVisible(found)) return found;
    }
    return nullptr;
  }

  bool Round(int round, std::string& why) {
    // Status window: shown, its three pages, hidden again.
    host_.Send("command 11003");
    HWND frame = nullptr;
    if (!WaitUntil([&] { return (frame = StatusFrame()) && IsWindowVisible(frame); }, kStepMs))
      return why = "the status window did not show", false;
    HWND list = GetDlgItem(frame, 1041);
    for (int index : {0, 1, 2, 1}) {
      SendMessageA(list, LB_SETCURSEL, index, 0);
      SendMessageA(frame, WM_COMMAND, MAKEWPARAM(1041, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
    }
    host_.Send("command 11003");
    if (!WaitUntil([&] { return !IsWindowVisible(frame); }, kStepMs)) return why = "the status window stayed", false;

    // Tray icon rebuilt as after a restart of the shell; its menu opened and closed.
    PostMessageA(host_.MainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    PostMessageA(host_.MainWindow(), kTrayCallback, kTrayId, WM_RBUTTONUP);
    if (!WaitUntil([&] { return TopLevel("#32768", nullptr) != nullptr; }, kStepMs)) return why = "no tray menu", false;
    host_.Send("popup");
    if (!WaitUntil([&] { return TopLevel("#32768", nullptr) == nullptr; }, kStepMs)) return why = "tray menu stayed", false;
    // A fresh menu bar gets the module's items.
    const int dumps = host_.CountLog("menubar-end");
    host_.Send("new-menubar");
    host_.Sync();
    host_.Send("menubar");
    if (!host_.WaitForLog("menubar-end", kStepMs, dumps + 1)) return why = "no menu bar dump", false;

    // Options dialog opened and cancelled.
    if (hasOptionsDialog_) {
      host_.Send("command 11001");
      HWND dialog = nullptr;
      if (!WaitUntil([&] { return (dialog = TopLevel(nullptr, "VA Extensions - More Options")) != nullptr; }, kStepMs))
        return why = "the options dialog did not open", false;
      PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      if (!WaitUntil([&] { return !IsWindow(dialog); }, kStepMs)) return why = "the options dialog stayed", false;
    }

    if (!Organize(round, why)) return false;
    return QuickLinks(why);
  }

  bool Organize(int round, std::string& why) {
    // Files arrive whole, as a finished download does: written elsewhere, then
    // renamed into the shared folder. (Names ending in .dat are never organized.)
    static const char* const kExtensions[] = {".mp3", ".ogg", ".jpg", ".txt", ".bin"};
    const std::string incoming = host_.Join("Incoming");
    CreateDirectoryA(incoming.c_str(), nullptr);
    for (int i = 0; i < options_.filesPerRound; ++i) {
      const std::string name = "r" + std::to_string(round) + "_" + std::to_string(i) + kExtensions[i % 5];
      const std::string bytes = "file " + name + " " + std::string(size_t(i % 97), 'x');
      test::WriteFileBytes(incoming + "\\" + name, bytes);
      if (!MoveFileA((incoming + "\\" + name).c_str(), (shared_ + "\\" + name).c_str()))
        return why = "cannot move " + name + " into the shared folder", false;
      dropped_[name] = Fnv1a(bytes);
    }
    // Files still in the shared folder, apart from the .dat files the organizer
    // never handles.
    auto rootFiles = [&] {
      int count = 0;
      WIN32_FIND_DATAA found;
      HANDLE search = FindFirstFileA((shared_ + "\\*").c_str(), &found);
      if (search == INVALID_HANDLE_VALUE) return 0;
      do {
        const std::string name = found.cFileName;
        const bool dat = name.size() >= 4 && _stricmp(name.c_str() + name.size() - 4, ".dat") == 0;
        count += !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !dat;
      } while (FindNextFileA(search, &found));
      FindClose(search);
      return count;
    };
    // The watcher rescans the folder when it changes. A file that arrives while
    // it is scanning may wait for the next change; a quiet folder gets one from
    // a .dat file made and removed, as the next download would bring one.
    DWORD lastChange = GetTickCount();
    const bool organized = WaitUntil(
        [&] {
          if (rootFiles() == 0) return true;
          if (GetTickCount() - lastChange >= kNudgeAfterMs) {
            const std::string nudge = shared_ + "\\nudge.dat";
            test::WriteFileBytes(nudge, "x");
            DeleteFileA(nudge.c_str());
            lastChange = GetTickCount();
            ++nudges_;
          }
          return false;
        },
        kOrganizeMs, 100);
    if (!organized) return why = std::to_string(rootFiles()) + " files stayed in the shared folder", false;
    return true;
  }

  static void PutClipboard(const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
  }
  static int CountOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
  }

  bool QuickLinks(std::string& why) {
    std::string rows;
    for (int i = 1; i <= options_.links; ++i) rows += (i > 1 ? "," : "") + std::to_string(i);
    PutClipboard("sentinel");
    host_.Send("select-library " + rows);
    host_.Send("command 11451");
    std::string text;
    if (!WaitUntil([&] { return CountOf(text = test::ClipboardText(), "sig2dat:") == options_.links; }, kLinksMs, 100))
      return why = "QuickLinks: " + std::to_string(CountOf(text, "sig2dat:")) + " links of " +
                   std::to_string(options_.links),
             false;
    auto progress = [&] {
      HWND w = nullptr;
      while ((w = FindWindowExA(nullptr, w, nullptr, nullptr)) != nullptr) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid == host_.ProcessId() && GetDlgItem(w, kProgressLine) && IsWindowVisible(w)) return true;
      }
      return false;
    };
    if (!WaitUntil([&] { return !progress(); }, kStepMs)) return why = "the QuickLinks window stayed", false;
    return true;
  }

  void StopAccelerator() {
    int acted = 0;
    for (const auto& line : host_.LogStartingWith("command ")) {
      acted += line.text.rfind("command 32986 ", 0) == 0 || line.text.rfind("command 61244 ", 0) == 0;
    }
    std::printf("soak: the accelerator thread sent %d resume and acceleration commands\n", acted);
    if (acted == 0) Fail("the accelerator thread never acted");
    host_.Send("command 11401");
    if (!WaitUntil([&] { return PageText(kNextCycleText) == "Inactive"; }, kStepMs))
      Fail("the accelerator did not stop");
  }

  // Every dropped file exists exactly once below the shared folder, whole.
  void Collect(const std::string& folder, std::multimap<std::string, uint64_t>& out) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
      const std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) Collect(folder + "\\" + name, out);
      else out.emplace(name, Fnv1a(test::ReadWholeFile(folder + "\\" + name)));
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }

  void CheckOrganizedFiles() {
    std::multimap<std::string, uint64_t> present;
    Collect(shared_, present);
    int lost = 0, duplicated = 0, damaged = 0;
    for (const auto& [name, hash] : dropped_) {
      const size_t copies = present.count(name);
      if (copies == 0) ++lost;
      if (copies > 1) ++duplicated;
      if (copies >= 1 && present.find(name)->second != hash) ++damaged;
    }
    const long long extra = static_cast<long long>(present.size()) - static_cast<long long>(dropped_.size());
    std::printf("soak: organizer: %zu files dropped, %zu found below the shared folder: %d lost, %d duplicated, "
                "%d damaged\n",
                dropped_.size(), present.size(), lost, duplicated, damaged);
    std::printf("soak: organizer: the folder was touched %d times to make the watcher rescan for files that "
                "arrived while it scanned\n", nudges_);
    if (lost || duplicated || damaged || extra != 0) Fail("the organizer lost, duplicated or damaged files");
  }

  Options options_;
  HostSim host_;
  std::string shared_, library_;
  std::map<std::string, uint64_t> dropped_;
  bool hasOptionsDialog_ = false;
  int nudges_ = 0;
};

}  // namespace
}  // namespace va::soak

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  va::soak::Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const int value = i + 1 < argc ? std::atoi(argv[i + 1]) : 0;
    if (arg == "--short") {
      options.rounds = 3;
      options.filesPerRound = 50;
      options.links = 100;
      options.engineCycles = 200;
    } else if (arg == "--rounds" && value > 0) {
      options.rounds = value, ++i;
    } else if (arg == "--files" && value > 0) {
      options.filesPerRound = value, ++i;
    } else if (arg == "--links" && value > 0 && value <= va::soak::kLibraryFiles) {
      options.links = value, ++i;
    } else if (arg == "--cycles" && value > 0) {
      options.engineCycles = static_cast<uint32_t>(value), ++i;
    } else {
      std::printf("usage: soak [--short] [--rounds N] [--files N] [--links 1..100] [--cycles N]\n");
      return 2;
    }
  }
  std::printf("soak: %d rounds after a warm-up, %d files per round, QuickLinks of %d files, %u engine cycles\n",
              options.rounds, options.filesPerRound, options.links, options.engineCycles);
  va::soak::SoakEngine(options.engineCycles);
  {
    va::soak::HostSoak soak(options);
    soak.Run();
  }
  if (va::soak::failures) {
    std::printf("soak: failed (%d problems)\n", va::soak::failures);
    return 1;
  }
  std::printf("soak: passed\n");
  return 0;
}
