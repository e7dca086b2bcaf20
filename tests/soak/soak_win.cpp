// soak: the extension module kept busy inside the stand-in host for many rounds
// while its accelerator runs over 200 downloads. Each round shows the status
// window and its pages, rebuilds the tray icon and opens its menu, gives the host
// a fresh menu bar, opens and cancels the options dialog, drops files for the
// organizer to move and makes QuickLinks. Fails when a window does not come, when
// the host's GDI objects, windows, handles or private memory grew from
// the warm-up round to the last beyond small tolerances, when the organizer lost
// or duplicated a file, or when the host did not end through the module's
// shutdown with exit code 0.
//   soak            the long run: 8 rounds of 125 files and QuickLinks of 100
//   soak --short    the test run's: 3 rounds of 10 files and QuickLinks of 10
#include <windows.h>

#include <cstdio>
#include <map>
#include <regex>
#include <string>
#include <tuple>

#include "support/clipboard_view.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va::test {
namespace {

constexpr int kStepMs = 10000, kWorkMs = 60000, kPageList = 1041, kAcceleratorPage = 302, kProgressLine = 1131;
constexpr UINT kTrayCallback = WM_USER + 10, kTrayId = 216;
// Growth allowed from the warm-up round to the last: a leak in every round
// outgrows them within the long run. (The tray icon's state pictures are made
// when the accelerator first shows each state: up to 4 GDI objects after the
// warm-up round.) The host's USER objects are not compared: Wine counts none.
const std::map<std::string, long long> kTolerance = {{"gdi", 6}, {"windows", 2}, {"handles", 8}, {"private", 6 << 20}};

int failures = 0;
bool Check(bool ok, const std::string& what) {
  if (!ok) std::printf("soak: FAILED: %s\n", what.c_str());
  failures += !ok;
  return ok;
}
bool Within(const std::function<bool()>& condition, const std::string& what, int timeoutMs = kStepMs) {
  return Check(WaitUntil(condition, timeoutMs, 50), what);
}

// The windows of process `pid` (with `control`: those holding that control).
long long WindowsOf(DWORD pid, int control = 0) {
  std::tuple<DWORD, int, long long> query{pid, control, 0};
  EnumChildWindows(GetDesktopWindow(), [](HWND window, LPARAM p) WINAPI -> BOOL {
    auto& [pid, control, count] = *reinterpret_cast<std::tuple<DWORD, int, long long>*>(p);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    count += owner == pid && (!control || GetDlgItem(window, control));
    return TRUE;
  }, reinterpret_cast<LPARAM>(&query));
  return std::get<2>(query);
}

// Files below `folder` (at any depth when `deep`), .dat files aside.
int CountFiles(const std::string& folder, bool deep) {
  int count = 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) count += !std::string(found.cFileName).ends_with(".dat");
    else if (deep && found.cFileName[0] != '.') count += CountFiles(folder + "\\" + found.cFileName, true);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

struct Soak {
  const int rounds_, files_, links_;
  HostSim host_{true};
  const std::string shared_ = host_.Join("Shared");

  void Run() {
    if (!Start() || !Round(0)) return;
    const std::map<std::string, long long> start = Measure();
    for (int round = 1; round <= rounds_; ++round)
      if (!Round(round)) return;
    for (const auto& [name, after] : Measure()) {
      std::printf("soak: %s %lld -> %lld (tolerance %lld)\n", name.c_str(), start.at(name), after, kTolerance.at(name));
      Check(after - start.at(name) <= kTolerance.at(name), name + " grew");
    }
    Check(host_.CountLog("command 32986 ") + host_.CountLog("command 61244 ") > 0, "the accelerator did nothing");
    const testing::AssertionResult exited = HostExitsWithZero(host_);
    Check(static_cast<bool>(exited), std::string("the host's end: ") + exited.message());
    Check(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg").exists, "the last state was not saved");
  }

  bool Start() {
    ClearExtensionSettings();
    PutRawValue(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir", REG_SZ, Sz(shared_));
    // The tray menu changed and the accelerator's state in the tray icon, drawn anew on each change.
    for (const auto& [key, name, value] : {std::tuple{kExtKey, "ChangeTrayMenu", 1}, {kExtKey, "ShowAccelSttInTray", 1},
                                           {kAcceleratorKey, "CyclesDelay", 30}, {kAcceleratorKey, "ItemDelay", 1},
                                           {kLastStateKey, "StatusDlg", kAcceleratorPage}})
      PutDword(HKEY_CURRENT_USER, key, name, value);
    // Two filters that move files: music into Music, the rest into Other.
    for (const auto& [n, filter, folder] : {std::tuple{"1", "*.mp3;*.ogg", "Music"}, {"2", "*", "Other"}}) {
      for (const auto& [name, text] : {std::pair{"Title", folder}, {"Dest", folder}, {"Filter", filter}})
        PutRawValue(HKEY_CURRENT_USER, kFiltersKey, (std::string(name) + n).c_str(), REG_SZ, Sz(text));
      PutDword(HKEY_CURRENT_USER, kFiltersKey, (std::string("Action") + n).c_str(), 2);
    }
    for (const std::string& folder : {shared_, host_.Join("Incoming")}) CreateDirectoryA(folder.c_str(), nullptr);
    const char* const kStates[] = {"Downloading", "Paused",    "Searching", "Completed",          "Queued",
                                   "Connecting",  "Cancelled", "Failed",    "More sources needed"};
    std::string scenario = "second_panel_ms = -1\n";
    for (int i = 0; i < 200; ++i)
      scenario += "download = D" + std::to_string(i) + " | " + kStates[i % 9] + " | " + std::to_string(i % 60) +
                  " KB/s | d" + std::to_string(i) + ".mp3\n";
    for (int i = 0; i < 100; ++i) {
      WriteFileBytes(host_.Join(std::to_string(i) + ".bin"), std::string(size_t(1000 + 37 * i), 'a'));
      scenario += "library = " + std::to_string(i) + ".bin | " + host_.folder() + "\n";
    }
    // The accelerator starts once the module has found the Traffic window.
    return Check(host_.Start(scenario) && host_.WaitForLog("result ServiceShow"), "the host did not start") &&
           host_.Send("command 11003") && Within([&] { return StatusPageText(host_, kAcceleratorPage, 1068) == "Found"; },
                                                 "no Traffic window", kWorkMs) &&
           host_.Send("command 11401") && host_.Send("command 11003");  // hidden again: every round shows it
  }

  // The host's own counts (Wine answers none of them for another process) and
  // its windows, counted from here.
  std::map<std::string, long long> Measure() {
    const int before = host_.CountLog("resources ");
    long long gdi = 0, handles = 0, memory = 0;
    if (Check(host_.Send("resources") && host_.WaitForLog("resources ", kStepMs, before + 1), "no counts"))
      std::sscanf(host_.LogStartingWith("resources ").back().text.c_str(),
                  "resources gdi=%lld user=%*d handles=%lld private=%lld", &gdi, &handles, &memory);
    return {{"windows", WindowsOf(host_.ProcessId())}, {"gdi", gdi}, {"handles", handles}, {"private", memory}};
  }

  bool Round(int round) {
    HWND frame = nullptr, options = nullptr;
    if (!host_.Send("command 11003") ||
        !Within([&] { return (frame = HostTopWindow(host_, "FixedDialog")); }, "no status window"))
      return false;
    for (int index : {0, 1, 2, 1}) {
      SendMessageA(GetDlgItem(frame, kPageList), LB_SETCURSEL, index, 0);
      SendMessageA(frame, WM_COMMAND, MAKEWPARAM(kPageList, LBN_SELCHANGE), LPARAM(GetDlgItem(frame, kPageList)));
    }
    host_.Send("command 11003");
    // The tray icon made again as after a restart of the shell, then its menu.
    PostMessageA(host_.MainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    PostMessageA(host_.MainWindow(), kTrayCallback, kTrayId, WM_RBUTTONUP);
    if (!Within([&] { return !IsWindowVisible(frame); }, "the status window stayed") ||
        !Within([&] { return HostTopWindow(host_, "#32768") != nullptr; }, "no tray menu") ||
        !Check(host_.Send("popup") && host_.Send("new-menubar") && host_.Send("command 11001"), "menus") ||
        !Within([&] { return (options = HostTopWindow(host_, nullptr, "VA Extensions - More Options")); },
                "no options dialog"))
      return false;
    PostMessageA(options, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return Within([&] { return !IsWindow(options); }, "the options dialog stayed") && Organize(round) && QuickLinks();
  }

  // Files arrive whole, as a finished download does: written elsewhere, then
  // moved into the shared folder. The watcher rescans when the folder changes; a
  // file that arrives while it scans waits for the next change, which a quiet
  // folder gets from a .dat file (never organized) made and removed every half second.
  bool Organize(int round) {
    for (int i = 0; i < files_; ++i) {
      const std::string name = std::to_string(round) + "_" + std::to_string(i) + (i % 2 ? ".mp3" : ".txt");
      WriteFileBytes(host_.Join("Incoming\\" + name), name);
      MoveFileA(host_.Join("Incoming\\" + name).c_str(), (shared_ + "\\" + name).c_str());
    }
    const auto moved = [&] {
      if (CountFiles(shared_, false) == 0) return true;
      WriteFileBytes(shared_ + "\\nudge.dat", "x");
      DeleteFileA((shared_ + "\\nudge.dat").c_str());
      return false;
    };
    if (!Check(WaitUntil(moved, kWorkMs, 500), "files stayed in the shared folder")) return false;
    const int below = CountFiles(shared_, true), dropped = files_ * (round + 1);
    return Check(below == dropped, std::to_string(below) + " of " + std::to_string(dropped) + " files organized");
  }

  // Links of all the chosen library files reach the clipboard, and the progress
  // window goes away (shown or not, it holds the file line until destroyed).
  bool QuickLinks() {
    std::string rows = "1";
    for (int i = 2; i <= links_; ++i) rows += "," + std::to_string(i);
    Check(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard(), "the clipboard could not be emptied");
    Check(host_.Send("select-library " + rows) && host_.Send("command 11451"), "the QuickLinks command");
    const std::regex link("sig2dat:");
    const auto links = [&] {
      const std::string text = ClipboardText();
      return std::distance(std::sregex_iterator(text.begin(), text.end(), link), std::sregex_iterator()) == links_;
    };
    return Within(links, "no QuickLinks", kWorkMs) &&
           Within([&] { return WindowsOf(host_.ProcessId(), kProgressLine) == 0; }, "the progress stayed");
  }
};

}  // namespace
}  // namespace va::test

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  const bool quick = argc == 2 && std::string(argv[1]) == "--short";
  if (argc > 1 && !quick) return std::printf("usage: soak [--short]\n"), 2;
  va::test::Soak{quick ? 3 : 8, quick ? 10 : 125, quick ? 10 : 100}.Run();
  std::printf(va::test::failures ? "soak: failed\n" : "soak: passed\n");
  return va::test::failures ? 1 : 0;
}
