// soak: the extension module kept busy inside the stand-in host for many rounds
// while its accelerator runs over 200 downloads. Each round shows the status
// window and its pages, rebuilds the tray icon and opens its menu, gives the host
// a fresh menu bar, opens and cancels the options dialog, drops files for the
// organizer to move and makes QuickLinks. Fails when a window does not come, when
// the host's GDI or USER objects, windows, handles or private memory grew from
// the warm-up round to the last beyond small tolerances, when the organizer lost
// or duplicated a file, or when the host did not end through the module's
// shutdown with exit code 0.
//   soak            the long run: 8 rounds of 125 files and QuickLinks of 100
//   soak --short    the test run's: 3 rounds of 10 files and QuickLinks of 10
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
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
// warm-up round.)
const std::map<std::string, long long> kTolerance = {
    {"gdi", 6}, {"user", 6}, {"windows", 2}, {"handles", 8}, {"private", 6ll << 20}};

int failures = 0;
bool Check(bool ok, const std::string& what) {
  if (!ok) std::printf("soak: FAILED: %s\n", what.c_str());
  failures += !ok;
  return ok;
}
bool Within(const std::function<bool()>& condition, const std::string& what, int timeoutMs = kStepMs) {
  return Check(WaitUntil(condition, timeoutMs, 50), what);
}

BOOL CALLBACK CountWindow(HWND window, LPARAM counts) {
  auto* pidAndCount = reinterpret_cast<std::pair<DWORD, long long>*>(counts);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  pidAndCount->second += owner == pidAndCount->first;
  return TRUE;
}

// Files below `folder` (at any depth when `deep`), .dat files aside.
int CountFiles(const std::string& folder, bool deep) {
  int count = 0;
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
  do {
    if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) count += !std::strstr(found.cFileName, ".dat");
    else if (deep && found.cFileName[0] != '.') count += CountFiles(folder + "\\" + found.cFileName, true);
  } while (FindNextFileA(search, &found));
  FindClose(search);
  return count;
}

class Soak {
 public:
  Soak(int rounds, int files, int links) : rounds_(rounds), files_(files), links_(links) {}

  void Run() {
    if (!Start()) return;
    std::map<std::string, long long> start;
    for (int round = 0; round <= rounds_; ++round) {
      if (!Round(round)) return;
      if (round == 0) start = Measure();
    }
    for (const auto& [name, after] : Measure()) {
      std::printf("soak: %s %lld -> %lld (tolerance %lld)\n", name.c_str(), start[name], after, kTolerance.at(name));
      Check(start[name] <= 0 || after - start[name] <= kTolerance.at(name), name + " grew");
    }
    Check(host_.CountLog("command 32986 ") + host_.CountLog("command 61244 ") > 0, "the accelerator did nothing");
    const testing::AssertionResult exited = HostExitsWithZero(host_);
    Check(static_cast<bool>(exited), std::string("the host's end: ") + exited.message());
    Check(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg").exists, "the last state was not saved");
  }

 private:
  bool Start() {
    ClearExtensionSettings();
    PutRawValue(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir", REG_SZ, Sz(shared_));
    PutDword(HKEY_CURRENT_USER, kExtKey, "ChangeTrayMenu", 1);
    PutDword(HKEY_CURRENT_USER, kExtKey, "ShowAccelSttInTray", 1);  // the icon is drawn anew on each change
    PutDword(HKEY_CURRENT_USER, kAcceleratorKey, "CyclesDelay", 30);
    PutDword(HKEY_CURRENT_USER, kAcceleratorKey, "ItemDelay", 1);
    PutDword(HKEY_CURRENT_USER, kLastStateKey, "StatusDlg", kAcceleratorPage);
    // Two filters that move files: music into Music, the rest into Other.
    for (const auto& [n, filter, folder] : {std::tuple{"1", "*.mp3;*.ogg", "Music"}, {"2", "*", "Other"}}) {
      PutRawValue(HKEY_CURRENT_USER, kFiltersKey, (std::string("Title") + n).c_str(), REG_SZ, Sz(folder));
      PutRawValue(HKEY_CURRENT_USER, kFiltersKey, (std::string("Filter") + n).c_str(), REG_SZ, Sz(filter));
      PutRawValue(HKEY_CURRENT_USER, kFiltersKey, (std::string("Dest") + n).c_str(), REG_SZ, Sz(folder));
      PutDword(HKEY_CURRENT_USER, kFiltersKey, (std::string("Action") + n).c_str(), 2);
    }
    CreateDirectoryA(shared_.c_str(), nullptr);
    CreateDirectoryA(host_.Join("Incoming").c_str(), nullptr);
    static const char* const kStates[] = {"Downloading", "Paused",    "Searching", "Completed",          "Queued",
                                          "Connecting",  "Cancelled", "Failed",    "More sources needed"};
    std::string scenario = "second_panel_ms = -1\n";
    for (int i = 0; i < 200; ++i)
      scenario += "download = D" + std::to_string(i) + " | " + kStates[i % 9] + " | " + std::to_string(i % 60) +
                  " KB/s | d" + std::to_string(i) + ".mp3\n";
    for (int i = 0; i < 100; ++i) {
      WriteFileBytes(host_.Join(std::to_string(i) + ".bin"), std::string(size_t(1000 + 37 * i), 'a'));
      scenario += "library = " + std::to_string(i) + ".bin | " + host_.folder() + "\n";
    }
    if (!Check(host_.Start(scenario) && host_.WaitForLog("result ServiceShow"), "the host did not start")) return false;
    // The accelerator starts once the module has found the Traffic window.
    host_.Send("command 11003");
    if (!Within([&] { return StatusPageText(host_, kAcceleratorPage, 1068) == "Found"; }, "no Traffic window", kWorkMs))
      return false;
    host_.Send("command 11401");
    return host_.Send("command 11003");  // hidden again: every round shows it
  }

  // The host's own counts (Wine answers none of them for another process) and
  // its windows, counted from here.
  std::map<std::string, long long> Measure() {
    std::pair<DWORD, long long> windows{host_.ProcessId(), 0};
    EnumChildWindows(GetDesktopWindow(), CountWindow, reinterpret_cast<LPARAM>(&windows));
    std::map<std::string, long long> sample = {{"windows", windows.second}};
    const int before = host_.CountLog("resources ");
    if (!Check(host_.Send("resources") && host_.WaitForLog("resources ", kStepMs, before + 1), "no counts")) return sample;
    const std::string line = host_.LogStartingWith("resources ").back().text;
    for (const char* name : {"gdi", "user", "handles", "private"}) {
      const size_t at = line.find(std::string(" ") + name + "=");
      sample[name] = at == std::string::npos ? 0 : std::atoll(line.c_str() + at + std::strlen(name) + 2);
    }
    return sample;
  }

  bool Round(int round) {
    HWND frame = nullptr, options = nullptr;
    host_.Send("command 11003");
    if (!Within([&] { return (frame = HostTopWindow(host_, "FixedDialog")) != nullptr; }, "no status window"))
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
        !Check(host_.Send("popup") && host_.Send("new-menubar") && host_.Send("command 11001"), "menus"))
      return false;
    if (!Within([&] { return (options = HostTopWindow(host_, nullptr, "VA Extensions - More Options")); },
                "no options dialog"))
      return false;
    PostMessageA(options, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return Within([&] { return !IsWindow(options); }, "the options dialog stayed") && Organize(round) && QuickLinks();
  }

  // Files arrive whole, as a finished download does: written elsewhere, then
  // moved into the shared folder. The watcher rescans when the folder changes; a
  // file that arrives while it scans waits for the next change, which a quiet
  // folder gets from a .dat file (never organized) made and removed.
  bool Organize(int round) {
    for (int i = 0; i < files_; ++i) {
      const std::string name = std::to_string(round) + "_" + std::to_string(i) + (i % 2 ? ".mp3" : ".txt");
      WriteFileBytes(host_.Join("Incoming\\" + name), name);
      MoveFileA(host_.Join("Incoming\\" + name).c_str(), (shared_ + "\\" + name).c_str());
    }
    DWORD quiet = GetTickCount();
    const auto moved = [&] {
      if (CountFiles(shared_, false) == 0) return true;
      if (GetTickCount() - quiet > 1000) {
        WriteFileBytes(shared_ + "\\nudge.dat", "x");
        DeleteFileA((shared_ + "\\nudge.dat").c_str());
        quiet = GetTickCount();
      }
      return false;
    };
    const int below = Within(moved, "files stayed in the shared folder", kWorkMs) ? CountFiles(shared_, true) : -1;
    return Check(below == files_ * (round + 1), std::to_string(below) + " files below the shared folder, " +
                                                    std::to_string(files_ * (round + 1)) + " dropped");
  }

  // Links of all the chosen library files reach the clipboard, and the progress
  // window goes away.
  bool QuickLinks() {
    std::string rows = "1";
    for (int i = 2; i <= links_; ++i) rows += "," + std::to_string(i);
    Check(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard(), "the clipboard could not be emptied");
    host_.Send("select-library " + rows);
    host_.Send("command 11451");
    const auto links = [&] {
      const std::string text = ClipboardText();
      size_t count = 0;
      for (size_t at = text.find("sig2dat:"); at != std::string::npos; at = text.find("sig2dat:", at + 1)) ++count;
      return count == size_t(links_);
    };
    return Within(links, "no QuickLinks", kWorkMs) && Within([&] { return !Progress(); }, "the progress stayed");
  }
  // Whether the QuickLinks progress window is there, shown or not yet destroyed.
  bool Progress() {
    for (HWND w = FindWindowExA(nullptr, nullptr, "#32770", nullptr); w; w = FindWindowExA(nullptr, w, "#32770", nullptr)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(w, &pid);
      if (pid == host_.ProcessId() && GetDlgItem(w, kProgressLine)) return true;
    }
    return false;
  }

  const int rounds_, files_, links_;
  HostSim host_;
  const std::string shared_ = host_.Join("Shared");
};

}  // namespace
}  // namespace va::test

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
  const bool quick = argc == 2 && std::string(argv[1]) == "--short";
  if (argc > 1 && !quick) return std::printf("usage: soak [--short]\n"), 2;
  va::test::Soak(quick ? 3 : 8, quick ? 10 : 125, quick ? 10 : 100).Run();
  std::printf(va::test::failures ? "soak: failed\n" : "soak: passed\n");
  return va::test::failures ? 1 : 0;
}
