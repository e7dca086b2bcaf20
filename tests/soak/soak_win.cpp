// soak: the extension module kept busy inside the stand-in host for many rounds
// while its accelerator runs over 200 downloads. Each round shows the status
// window and its pages, rebuilds the tray icon and opens its menu, gives the host
// a fresh menu bar, opens and cancels the options dialog, drops files for the
// organizer to move and makes QuickLinks. Fails when a window does not come, when
// the host's GDI objects, windows, handles or private memory grew from
// the warm-up round to the last beyond small tolerances, when the organizer lost
// or duplicated a file, or when the host did not end through the module's
// shutdown with exit code 0. A fault round follows: while the accelerator cycles,
// files are organized and QuickLinks made, the host removes download rows and
// makes its Traffic, Search and library windows again, a source file is held by
// its writer, one is renamed away, the clipboard is held, a destination folder
// is deleted and made again, and the host is ended hard in the middle of a copy
// and started again. Every file must then be whole where its filter puts it (or
// still in the shared folder), no command may name a row that was gone, and the
// host's counts must stay flat. The exit code is the verdict.
//   soak            the long run: 8 rounds of 125 files and QuickLinks of 100
//   soak --short    the test run's: 3 rounds of 10 files and QuickLinks of 10

#include <cstdio>
#include <tuple>
#include <utility>

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
const std::map<std::string, long long> kTolerance = {{"gdi", 6}, {"windows", 2}, {"handles", 8}, {"private", 6}};  // private memory in MiB

int failures = 0;
bool Check(bool ok, const std::string& what) {
  if (!ok) std::printf("soak: FAILED: %s\n", what.c_str());
  failures += !ok;
  return ok;
}
bool Within(const std::function<bool()>& condition, const std::string& what, int timeoutMs = kStepMs) {
  return Check(WaitUntil(condition, timeoutMs, 50), what);
}

struct Soak {
  const int rounds_, files_, links_;
  HostSim host_{true};
  const std::string shared_ = host_.Join("Shared"), copies_ = host_.Join("Copies");
  std::string scenario_;

  bool Send(const std::string& command) {
    if (host_.Send(command)) return true;
    const std::vector<std::string> log = host_.LogTexts();  // what the host did last tells why
    for (size_t i = log.size() > 8 ? log.size() - 8 : 0; i < log.size(); ++i) std::printf("soak: host log: %s\n", log[i].c_str());
    return Check(false, "the host refused or missed: " + command);
  }
  bool Flat(const std::map<std::string, long long>& start) {
    bool flat = true;
    for (const auto& [name, after] : Measure()) {
      std::printf("soak: %s %lld -> %lld (tolerance %lld)\n", name.c_str(), start.at(name), after, kTolerance.at(name));
      flat = Check(after - start.at(name) <= kTolerance.at(name), name + " grew") && flat;
    }
    return flat;
  }

  void Run() {
    if (!Start() || !Round(0)) return void(Check(false, "the warm-up round"));
    const std::map<std::string, long long> start = Measure();
    for (int round = 1; round <= rounds_; ++round)
      if (!Round(round)) return void(Check(false, "round " + std::to_string(round)));
    if (!Flat(start)) return;
    if (!Faults()) return void(Check(false, "the fault round"));
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
    // Filters that move music into Music and the rest into Other; large files are copied.
    for (const auto& [n, filter, folder, action] : {std::tuple{"1", "*.mp3;*.ogg", std::string("Music"), 2},
                                                    {"2", "*.big", copies_, 1}, {"3", "*", std::string("Other"), 2}}) {
      for (const auto& [name, text] : {std::pair{"Title", folder}, {"Dest", folder}, {"Filter", std::string(filter)}})
        PutRawValue(HKEY_CURRENT_USER, kFiltersKey, (std::string(name) + n).c_str(), REG_SZ, Sz(text));
      PutDword(HKEY_CURRENT_USER, kFiltersKey, (std::string("Action") + n).c_str(), action);
    }
    for (const std::string& folder : {shared_, host_.Join("Incoming")}) CreateDirectoryA(folder.c_str(), nullptr);
    const char* const kStates[] = {"Downloading", "Paused",    "Searching", "Completed",          "Queued",
                                   "Connecting",  "Cancelled", "Failed",    "More sources needed"};
    std::string& scenario = scenario_ = "second_panel_ms = -1\n";
    for (int i = 0; i < 200; ++i)
      scenario += "download = D" + std::to_string(i) + " | " + kStates[i % 9] + " | " + std::to_string(i % 60) +
                  " KB/s | d" + std::to_string(i) + ".mp3\n";
    for (int i = 0; i < 100; ++i) {
      WriteFileBytes(host_.Join(std::to_string(i) + ".bin"), std::string(size_t(1000 + 37 * i), 'a'));
      scenario += "library = " + std::to_string(i) + ".bin | " + host_.folder() + "\n";
    }
    // The accelerator starts once the module has found the Traffic window.
    return Check(host_.Start(scenario) && host_.WaitForLog("result ServiceShow"), "the host did not start") &&
           Send("command 11003") && Within([&] { return StatusPageText(host_, kAcceleratorPage, 1068) == "Found"; },
                                           "no Traffic window", kWorkMs) &&
           Send("command 11401") && Send("command 11003");  // hidden again: every round shows it
  }

  // The host's own counts (Wine answers none of them for another process) and
  // its windows, counted from here.
  // Read until two readings a moment apart agree: work that ends at once (a menu,
  // a page) is not counted as kept.
  std::map<std::string, long long> Measure() {
    std::map<std::string, long long> last, now;
    for (int reading = 0; reading < 10 && (reading < 2 || now != last); ++reading) {
      last = std::exchange(now, {});
      const int before = host_.CountLog("resources ");
      long long gdi = 0, handles = 0, memory = 0;
      if (Check(host_.Send("resources") && host_.WaitForLog("resources ", kStepMs, before + 1), "no counts"))
        std::sscanf(host_.LogStartingWith("resources ").back().text.c_str(),
                    "resources gdi=%lld user=%*d handles=%lld private=%lld", &gdi, &handles, &memory);
      now = {{"windows", static_cast<long long>(HostWindows(host_).size())}, {"gdi", gdi}, {"handles", handles}, {"private", memory / (1 << 20)}};
      Sleep(200);
    }
    return now;
  }

  bool Round(int round) {
    HWND frame = nullptr, options = nullptr;
    if (!Send("command 11003") ||
        !Within([&] { return (frame = HostTopWindow(host_, "FixedDialog")); }, "no status window"))
      return false;
    for (int index : {0, 1, 2, 1}) {
      SendMessageA(GetDlgItem(frame, kPageList), LB_SETCURSEL, index, 0);
      SendMessageA(frame, WM_COMMAND, MAKEWPARAM(kPageList, LBN_SELCHANGE), LPARAM(GetDlgItem(frame, kPageList)));
    }
    Send("command 11003");
    // The tray icon made again as after a restart of the shell, then its menu.
    PostMessageA(host_.MainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    PostMessageA(host_.MainWindow(), kTrayCallback, kTrayId, WM_RBUTTONUP);
    if (!Within([&] { return !IsWindowVisible(frame); }, "the status window stayed") ||
        !Within([&] { return HostTopWindow(host_, "#32768") != nullptr; }, "no tray menu") ||
        !(Send("popup") && Send("new-menubar") && Send("command 11001")) ||
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
      Drop(name, name);
    }
    if (!Check(WaitUntil([&] { return Organized(); }, kWorkMs, 500), "files stayed in the shared folder")) return false;
    std::map<std::string, std::string> below = FilesBelow(shared_);
    std::erase_if(below, [](const auto& file) { return file.first.ends_with(".dat"); });
    const int dropped = files_ * (round + 1);
    return Check(int(below.size()) == dropped, std::to_string(below.size()) + " of " + std::to_string(dropped) + " files organized");
  }

  void Drop(const std::string& name, const std::string& bytes) {
    WriteFileBytes(host_.Join("Incoming\\" + name), bytes);
    MoveFileA(host_.Join("Incoming\\" + name).c_str(), (shared_ + "\\" + name).c_str());
  }

  // A file of `pattern` (with `below`: one of fewer bytes) exists.
  bool Exists(const std::string& pattern, DWORD below = 0) {
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    bool seen = false;
    for (BOOL more = search != INVALID_HANDLE_VALUE; more && !seen; more = FindNextFileA(search, &found))
      seen = !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && (!below || found.nFileSizeLow < below);
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
    return seen;
  }
  // Only the sources a Copy filter leaves (and, with `held`, that file) stay in the shared folder.
  bool Organized(const char* held = "") {
    for (const auto& [path, bytes] : FilesBelow(shared_))
      if (path.find('\\') == std::string::npos && !path.ends_with(".big") && !path.ends_with(".dat") && path != held) {
        WriteFileBytes(shared_ + "\\nudge.dat", "x");  // a change, for a file that came while the watcher scanned
        return DeleteFileA((shared_ + "\\nudge.dat").c_str()), false;
      }
    return true;
  }

  bool Faults() {
    const std::map<std::string, long long> start = Measure();
    std::map<std::string, std::string> dropped;  // this round's files: name -> bytes
    int events = 0;
    // A destination folder deleted (its files kept aside) and made again.
    events += Check(MoveFileA((shared_ + "\\Other").c_str(), (shared_ + "\\Other before").c_str()) &&
                    CreateDirectoryA((shared_ + "\\Other").c_str(), nullptr), "the destination could not be made again");
    HANDLE writer = CreateFileA((shared_ + "\\held.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    events += Check(WriteFile(writer, "held", 4, &written, nullptr), "no file held by its writer");
    dropped["held.txt"] = "held";
    for (int i = 0; i < files_; ++i) {
      const std::string name = "f" + std::to_string(i) + (i % 2 ? ".mp3" : ".txt");
      Drop(name, dropped[name] = name);
    }
    Drop("away.txt", "away");  // renamed away at once, unless organized first
    events += MoveFileA((shared_ + "\\away.txt").c_str(), host_.Join("Incoming\\away.txt").c_str()) != 0;
    // QuickLinks hash while the host removes rows and makes its windows again and
    // the clipboard is held for a moment.
    events += QuickLinks([&] {
      events += Check(OpenClipboard(nullptr), "the clipboard could not be held") && (Sleep(300), CloseClipboard());
      for (const char* fault : {"remove-row 3", "remove-row 10", "destroy traffic", "create traffic", "remove-row 0",
                                "destroy search", "create search", "destroy library", "create library"})
        events += Send(fault);
    });
    // The writer finishes once everything else was organized past it.
    const bool passed = Check(WaitUntil([&] { return Organized("held.txt"); }, kWorkMs, 500), "files stayed in the shared folder");
    events += CloseHandle(writer) != 0;
    if (!passed || !Check(WaitUntil([&] { return Organized(); }, kWorkMs, 500), "the held file stayed") || !Flat(start))
      return false;
    for (const LogLine& removed : host_.LogStartingWith("removed "))
      for (const LogLine& command : host_.LogStartingWith("command "))
        Check(command.ms < removed.ms || !command.text.ends_with(" title=" + removed.text.substr(removed.text.rfind(' ') + 1)),
              "a command for a row that was gone: " + command.text);
    Check(host_.CountLog("command 32986 ") + host_.CountLog("command 61244 ") > 0, "the accelerator did nothing");
    // Large files copied, and the host ended hard in the middle of a copy.
    constexpr DWORD kLarge = 24 << 20;
    for (int i = 0; i < 3; ++i) {
      const std::string name = "large" + std::to_string(i) + ".big";
      Drop(name, dropped[name] = std::string(kLarge, char('a' + i)));
    }
    const std::string partials = copies_ + "\\*.va-partial";
    events += Check(WaitUntil([&] { return Exists(copies_ + "\\*", kLarge); }, kWorkMs, 1), "no copy seen under way");
    host_.Kill();
    if (!Check(host_.Start(scenario_) && host_.WaitForLog("result ServiceShow"), "the host did not start again") ||
        !Within([&] {
          for (const char* name : {"\\large0.big", "\\large1.big", "\\large2.big"})
            if (!Exists(copies_ + name)) return false;
          return !Exists(partials);
        }, "no whole copies", kWorkMs))
      return false;
    // Every file of the round whole where its filter puts it (a Copy's source stays).
    std::map<std::string, std::string> all = FilesBelow(host_.folder());
    int lost = !Check(all["Shared\\Other\\away.txt"] + all["Incoming\\away.txt"] == "away", "the file renamed away");
    for (const auto& [name, bytes] : dropped)
      for (const char* place : {name.ends_with(".big") ? "Copies\\" : name.ends_with(".mp3") ? "Shared\\Music\\" : "Shared\\Other\\",
                                name.ends_with(".big") ? "Shared\\" : nullptr})
        lost += place && !Check(all[place + name] == bytes, std::string("not whole in ") + place + name + ", " +
                                                               std::to_string(all[place + name].size()) + " bytes");
    std::printf("soak: fault round: events survived %d, files checked %zu, files lost: %d\n", events, dropped.size() + 1, lost);
    return lost == 0;
  }

  // `meanwhile` runs while they are made.
  bool QuickLinks(const std::function<void()>& meanwhile = {}) {
    std::string rows = "1";
    for (int i = 2; i <= links_; ++i) rows += "," + std::to_string(i);
    Check(OpenClipboard(nullptr) && EmptyClipboard() && CloseClipboard(), "the clipboard could not be emptied");
    Send("select-library " + rows) && Send("command 11451");
    if (meanwhile) meanwhile();
    return Within([&] { return Occurrences(ClipboardText(), "sig2dat:") == links_; }, "no QuickLinks", kWorkMs) &&
           Within([&] { return HostWindows(host_, kProgressLine).empty(); }, "the progress stayed");
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
