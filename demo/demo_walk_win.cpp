// demo_walk: the demo's driver. Prepares the sample files and settings, runs the
// real wizard and the stand-in host with the real ch_plug.dll, walks the steps of
// demo/walk.txt by window messages and photographs each step's window from the
// screen into a BMP (scripts/demo.sh turns them into PNG files).
//   demo_walk prepare  <demo folder>                  sample files only
//   demo_walk settings <demo folder>                  imports settings.reg
//   demo_walk walk     <demo folder> <picture folder> everything, headless
//   demo_walk drive    <picture folder|-> <step>...   another program's windows,
//                                                     e.g. the installer's pages
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "demo/walk_steps.h"
#include "hostsim/scenario.h"
#include "support/hostsim_driver.h"
#include "demo/wizard_driver_win.h"

namespace va::demo {
namespace {

constexpr int kWindowDeadlineMs = 10000;
constexpr int kTextDeadlineMs = 30000;
constexpr int kWizardExitMs = 20000;
constexpr int kHostExitMs = 10000;
constexpr int kPollMs = 20;
// A window that was just asked to repaint gets this long to finish drawing
// before it is photographed (menus and other processes' windows give no signal).
constexpr int kPaintSettleMs = 250;
constexpr UINT kTrayCallback = WM_USER + 10;
constexpr UINT kTrayIconId = 216;
constexpr int kImportDeadlineMs = 20000;
constexpr DWORD kHostReturnedCode = 3;  // hostsim returned from WinMain itself

std::string Join(const std::string& folder, const std::string& name) {
  if (!folder.empty() && folder.back() == '\\') return folder + name;
  return folder + "\\" + name;
}

bool WaitFor(const std::function<bool()>& condition, int timeoutMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (static_cast<int>(GetTickCount() - start) >= timeoutMs) return false;
    Sleep(kPollMs);
  }
}

// ---- windows of a process ----

struct TopSearch {
  DWORD pid;
  std::function<bool(HWND)> match;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TopSearch*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->pid && IsWindowVisible(window) && search->match(window)) search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(DWORD pid, const std::function<bool(HWND)>& match) {
  TopSearch search{pid, match, {}};
  EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string ClassOf(HWND window) {
  char name[128] = "";
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TextOf(HWND window) {
  char text[512] = "";
  GetWindowTextA(window, text, sizeof text);
  return text;
}

struct DescendantSearch {
  int id;
  HWND found;
};

BOOL CALLBACK MatchDescendant(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<DescendantSearch*>(data);
  if (GetDlgCtrlID(window) == search->id && IsWindowVisible(window)) {
    search->found = window;
    return FALSE;
  }
  return TRUE;
}

// The first visible window below `root` (at any depth) with control id `id`.
HWND FindDescendant(HWND root, int id) {
  DescendantSearch search{id, nullptr};
  if (root) EnumChildWindows(root, MatchDescendant, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

struct DescendantList {
  int id;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectDescendant(HWND window, LPARAM data) {
  auto* list = reinterpret_cast<DescendantList*>(data);
  if (GetDlgCtrlID(window) == list->id && IsWindowVisible(window)) list->found.push_back(window);
  return TRUE;
}

// The first window reached by the control ids of `path`, each below the one
// before; every window with the first id is tried (a host reuses ids in
// different frames, e.g. 0xE901 for the library pane and the results pane).
HWND FindPath(HWND root, const std::vector<int>& path, size_t step) {
  if (!root || step == path.size()) return root;
  DescendantList list{path[step], {}};
  EnumChildWindows(root, CollectDescendant, reinterpret_cast<LPARAM>(&list));
  for (HWND candidate : list.found) {
    if (HWND found = FindPath(candidate, path, step + 1)) return found;
  }
  return nullptr;
}

std::vector<HWND> OpenMenus(DWORD pid) {
  return TopLevelWindows(pid, [](HWND w) { return ClassOf(w) == "#32768"; });
}

// ---- pictures ----

// Photographs a rectangle of the screen into a 24-bit BMP file.
bool SaveScreenRect(RECT rect, const std::string& path) {
  RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  if (!IntersectRect(&rect, &rect, &screen)) return false;
  const int width = rect.right - rect.left, height = rect.bottom - rect.top;
  const int stride = (width * 3 + 3) & ~3;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  info.bmiHeader.biSizeImage = static_cast<DWORD>(stride) * height;
  HDC screenDc = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screenDc);
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(screenDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, screenDc, rect.left, rect.top, SRCCOPY | CAPTUREBLT) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
  }
  if (ok) {
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + info.bmiHeader.biSizeImage;
    FILE* out = std::fopen(path.c_str(), "wb");
    ok = out && std::fwrite(&file, sizeof file, 1, out) == 1 &&
         std::fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
         std::fwrite(bits, info.bmiHeader.biSizeImage, 1, out) == 1;
    if (out) ok = (std::fclose(out) == 0) && ok;
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screenDc);
  return ok;
}


// ---- driving another program's windows ----

struct TextSearch {
  std::string text;
  bool found;
};

BOOL CALLBACK MatchText(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<TextSearch*>(data);
  if (IsWindowVisible(window) && TextOf(window).find(search->text) != std::string::npos) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

struct AnySearch {
  const std::function<bool(HWND)>* match;
  HWND found;
};

BOOL CALLBACK MatchAnyTopLevel(HWND window, LPARAM data) {
  auto* search = reinterpret_cast<AnySearch*>(data);
  if (!IsWindowVisible(window) || !(*search->match)(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// The first visible top-level window (of any process) that `match` accepts.
HWND FindAnyTopLevel(const std::function<bool(HWND)>& match) {
  AnySearch search{&match, nullptr};
  EnumWindows(MatchAnyTopLevel, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// Steps, each one argument: "show <text>" waits for a window that shows a control
// with this text (a page, a message box) and makes it the current window; "title
// <text>" waits for a window whose title holds the text; "click <id>" clicks a
// button or check box of the current window as the mouse does; "toggle <id>"
// selects the first entry of a tree view and presses the space bar on it, until
// its check mark changes; "gone" waits until the current window has closed;
// "shot <name>" photographs the current window into <name>.bmp. The first step
// that fails ends the run with exit code 1.
int Drive(const std::string& pictures, const std::vector<std::string>& steps) {
  constexpr int kDriveDeadlineMs = 30000;
  HWND current = nullptr;
  for (const std::string& step : steps) {
    const size_t space = step.find(' ');
    const std::string verb = step.substr(0, space), rest = space == std::string::npos ? "" : step.substr(space + 1);
    std::string error;
    if (verb == "show" || verb == "title") {
      auto match = [&](HWND window) {
        if (verb == "title") return TextOf(window).find(rest) != std::string::npos;
        TextSearch search{rest, false};
        EnumChildWindows(window, MatchText, reinterpret_cast<LPARAM>(&search));
        return search.found;
      };
      if (!WaitFor([&] { return (current = FindAnyTopLevel(match)) != nullptr; }, kDriveDeadlineMs))
        error = "no window within " + std::to_string(kDriveDeadlineMs / 1000) + " s";
    } else if (verb == "gone") {
      if (!WaitFor([&] { return !IsWindow(current) || !IsWindowVisible(current); }, kDriveDeadlineMs))
        error = "the window stayed open";
    } else if (verb == "click" || verb == "toggle" || verb == "shot") {
      HWND control = verb == "shot" ? current : FindDescendant(current, std::atoi(rest.c_str()));
      if (!control) {
        error = "no such window";
      } else if (verb == "click") {
        PostMessageA(control, BM_CLICK, 0, 0);
      } else if (verb == "toggle") {
        // The page may still be filling the tree; the step ends when the entry's
        // check mark (its state image) has changed.
        LPARAM first = 0;
        WaitFor([&] { return (first = SendMessageA(control, TVM_GETNEXTITEM, TVGN_ROOT, 0)) != 0; }, kDriveDeadlineMs);
        const LRESULT before = SendMessageA(control, TVM_GETITEMSTATE, first, TVIS_STATEIMAGEMASK);
        SendMessageA(control, TVM_SELECTITEM, TVGN_CARET, first);
        PostMessageA(control, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageA(control, WM_KEYUP, VK_SPACE, 0xC0000000);
        if (!first || !WaitFor([&] { return SendMessageA(control, TVM_GETITEMSTATE, first, TVIS_STATEIMAGEMASK) != before; },
                               kWindowDeadlineMs))
          error = "the tree's first entry did not change";
      } else {
        RedrawWindow(current, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        Sleep(kPaintSettleMs);
        // Without a window manager nobody draws the caption: the client area then.
        RECT rect;
        GetClientRect(current, &rect);
        MapWindowPoints(current, nullptr, reinterpret_cast<POINT*>(&rect), 2);
        if (pictures == "-" || !SaveScreenRect(rect, Join(pictures, rest + ".bmp"))) error = "no picture";
      }
    } else {
      error = "unknown step";
    }
    if (!error.empty()) {
      std::printf("failed: %s: %s\nwindows:\n%s", step.c_str(), error.c_str(), test::DescribeTopLevelWindows().c_str());
      return 1;
    }
  }
  return 0;
}

// ---- the walk ----

int PrepareFiles(const std::string& demo);
int ImportSettings(const std::string& demo);

class Walk {
 public:
  Walk(std::string demoFolder, std::string pictureFolder)
      : demo_(std::move(demoFolder)), pictures_(std::move(pictureFolder)) {}
  ~Walk() {
    if (module_) FreeLibrary(module_);
  }

  int Run() {
    if (PrepareFiles(demo_) != 0) Fail("the sample files could not all be made");
    const WalkTable table = ParseWalkTable(test::ReadWholeFile(Join(demo_, "walk.txt")));
    for (const std::string& error : table.errors) Fail("walk.txt " + error);
    if (table.steps.empty()) Fail("walk.txt has no steps");
    module_ = LoadLibraryExA(test::ExtensionModule().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module_) Fail("cannot read the resources of " + test::ExtensionModule());
    CreateDirectoryA(pictures_.c_str(), nullptr);
    for (const WalkStep& step : table.steps) RunStep(step);
    if (host_ && host_->Running()) {
      std::printf("demo: the walk left the host running; ending it\n");
      HostExit();
    }
    std::printf("demo: %d pictures, %d failed\n", pictures_taken_, failed_);
    return failed_ ? 1 : 0;
  }

 private:
  void Fail(const std::string& what) {
    ++failed_;
    std::printf("failed: %s\n", what.c_str());
    std::fflush(stdout);
  }

  // Whether ch_plug.dll carries the resource the step needs; a step whose window
  // the module lacks has failed.
  bool Available(const WalkNeed& need) {
    if (need.kind.empty()) return true;
    LPCSTR type = need.kind == "dialog" ? MAKEINTRESOURCEA(5) /* RT_DIALOG */ : MAKEINTRESOURCEA(4) /* RT_MENU */;
    return module_ && FindResourceA(module_, MAKEINTRESOURCEA(need.id), type) != nullptr;
  }

  void RunStep(const WalkStep& step) {
    const std::string label = step.name == "-" ? "line " + std::to_string(step.line) : step.name;
    if (!Available(step.need)) {
      Fail(label + ": ch_plug.dll has no " + step.need.kind + " " + std::to_string(step.need.id) + " (" +
           step.need.feature + ")");
      return;
    }
    bool ok = true;
    for (const WalkAction& action : step.actions) {
      if (!Do(action)) {
        Fail(label + ": " + action.verb + " " + action.rest + ": " + error_);
        ok = false;
        break;
      }
    }
    if (ok && step.capture != "-") {
      if (Photograph(step.capture, Join(pictures_, step.name + ".bmp"))) {
        ++pictures_taken_;
        std::printf("%s: picture %s.png\n", label.c_str(), step.name.c_str());
      } else {
        Fail(label + ": no picture of " + step.capture + ": " + error_);
      }
    }
    // The closing actions run even after a failure, so no menu or dialog stays open.
    for (const WalkAction& action : step.after) {
      if (!Do(action)) Fail(label + ": " + action.verb + " " + action.rest + ": " + error_);
    }
    std::fflush(stdout);
  }

  DWORD Pid() const { return host_ ? host_->ProcessId() : 0; }
  HWND Main() const { return host_ ? host_->MainWindow() : nullptr; }

  HWND ResolveNow(const std::string& spec) { return Resolve(spec, 0); }

  // The window a spec names, waiting for it up to the deadline.
  HWND Resolve(const std::string& spec, int deadlineMs = kWindowDeadlineMs) {
    HWND window = nullptr;
    auto find = [&]() -> HWND {
      if (spec == "main") return Main();
      if (spec == "sheet") return wizard_ ? wizard_->WaitForSheet(0) : nullptr;
      const size_t colon = spec.find(':');
      const std::string kind = spec.substr(0, colon), value = spec.substr(colon + 1);
      if (kind == "desc") {
        std::vector<int> path;
        for (size_t from = 0;;) {
          const size_t slash = value.find('/', from);
          path.push_back(std::atoi(value.substr(from, slash - from).c_str()));
          if (slash == std::string::npos) break;
          from = slash + 1;
        }
        return FindPath(Main(), path, 0);
      }
      std::vector<HWND> found = TopLevelWindows(Pid(), [&](HWND w) {
        if (kind == "top") return ClassOf(w) == value;
        if (kind == "title") return TextOf(w) == value;
        if (kind == "child") return GetDlgItem(w, std::atoi(value.c_str())) != nullptr;
        return false;
      });
      return found.empty() ? nullptr : found.front();
    };
    if (!WaitFor([&] { return (window = find()) != nullptr; }, deadlineMs)) {
      error_ = "no window " + spec + " within " + std::to_string(deadlineMs / 1000) + " s";
    }
    return window;
  }

  HWND Control(const std::string& spec, const std::string& id) {
    HWND window = Resolve(spec);
    if (!window) return nullptr;
    HWND control = nullptr;
    if (!WaitFor([&] { return (control = FindDescendant(window, std::atoi(id.c_str()))) != nullptr; },
                 kWindowDeadlineMs)) {
      error_ = "no control " + id + " in " + spec;
    }
    return control;
  }

  // Lets the host handle everything posted so far, then gives the windows time to paint.
  void Settle() {
    if (host_ && host_->Running()) host_->Sync();
    Sleep(kPaintSettleMs);
  }

  bool NeedHost() {
    if (host_ && host_->Running()) return true;
    error_ = "the host is not running";
    return false;
  }
  bool NeedWizard() {
    if (wizard_ && wizard_->started()) return true;
    error_ = "the wizard is not running";
    return false;
  }

  bool WaitForMenu() {
    if (WaitFor([&] { return !OpenMenus(Pid()).empty(); }, kWindowDeadlineMs)) return true;
    error_ = "no menu opened";
    return false;
  }

  void PointAt(HWND window) {
    RECT rect;
    GetWindowRect(window, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
  }

  bool Do(const WalkAction& action) {
    error_.clear();
    const std::string& v = action.verb;
    const std::vector<std::string>& w = action.words;
    auto number = [&](size_t i) { return static_cast<int>(std::strtol(w[i].c_str(), nullptr, 0)); };

    if (v == "wizard-start") {
      wizard_ = std::make_unique<test::WizardProcess>("VAConfigWizard.exe");
      if (!wizard_->started() || !wizard_->WaitForSheet(kWindowDeadlineMs)) return error_ = "no wizard", false;
      return true;
    }
    if (v == "page") {
      if (!NeedWizard()) return false;
      if (!wizard_->WaitForPageWith(number(0), kWindowDeadlineMs)) return error_ = "page did not come", false;
      Sleep(kPaintSettleMs);
      return true;
    }
    if (v == "set" || v == "combo" || v == "uncheck" || v == "wizard-next" || v == "wizard-finish") {
      if (!NeedWizard()) return false;
      HWND page = wizard_->CurrentPage();
      if (v == "set") test::SetControlText(page, number(0), action.rest.substr(action.rest.find(' ') + 1));
      if (v == "combo") test::SelectComboEntry(page, number(0), number(1));
      if (v == "uncheck") SendMessageA(GetDlgItem(page, number(0)), BM_SETCHECK, BST_UNCHECKED, 0);
      if (v == "wizard-next") wizard_->PressNext();
      if (v == "wizard-finish") {
        wizard_->PressFinish();
        DWORD code = 99;
        if (!wizard_->WaitForExit(code, kWizardExitMs)) return error_ = "the wizard did not end", false;
        if (code != 0) return error_ = "the wizard ended with " + std::to_string(code), false;
        wizard_.reset();
      }
      Sleep(kPaintSettleMs);
      return true;
    }
    if (v == "import-settings") {
      if (ImportSettings(demo_) != 0) return error_ = "the settings were not imported", false;
      return true;
    }
    if (v == "host-start") {
      host_ = std::make_unique<test::HostSim>();
      const std::string scenario = test::ReadWholeFile(Join(demo_, "scenario.txt"));
      if (scenario.empty()) return error_ = "no scenario.txt", false;
      if (!host_->Start(scenario) || !host_->WaitForLog("result ServiceShow")) return error_ = "the host did not start", false;
      host_->Sync();
      host_->Sync();  // the module's initialisation message was posted before the first marker
      for (const auto& line : host_->LogStartingWith("scenario-error")) Fail("scenario.txt: " + line.text);
      return true;
    }
    if (v == "host-exit") return HostExit();
    if (!NeedHost()) return false;
    if (v == "host" || v == "command") {
      const std::string text = v == "host" ? action.rest : "command " + w[0];
      if (!host_->Send(text)) return error_ = "the host did not understand it", false;
      Settle();
      return true;
    }
    if (v == "tray") {
      PointAt(Main());
      PostMessageA(Main(), kTrayCallback, kTrayIconId, WM_RBUTTONUP);
      return WaitForMenu();
    }
    if (v == "menu") {
      PostMessageA(Main(), WM_SYSCOMMAND, SC_KEYMENU, static_cast<unsigned char>(w[0][0]));
      return WaitForMenu();
    }
    if (v == "context") {
      HWND window = Resolve(action.rest);
      if (!window) return false;
      PointAt(window);
      POINT at;
      GetCursorPos(&at);
      PostMessageA(window, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), MAKELPARAM(at.x, at.y));
      return WaitForMenu();
    }
    if (v == "list" || v == "click") {
      HWND control = Control(w[0], w[1]);
      if (!control) return false;
      WORD code = BN_CLICKED;
      if (v == "list") {
        const LRESULT count = SendMessageA(control, LB_GETCOUNT, 0, 0);
        LRESULT index = 0;
        while (index < count && SendMessageA(control, LB_GETITEMDATA, index, 0) != number(2)) ++index;
        if (index >= count) return error_ = "no entry with item data " + w[2], false;
        SendMessageA(control, LB_SETCURSEL, index, 0);
        code = LBN_SELCHANGE;
      }
      PostMessageA(GetParent(control), WM_COMMAND, MAKEWPARAM(number(1), code), reinterpret_cast<LPARAM>(control));
      Settle();
      return true;
    }
    if (v == "cancel" || v == "dismiss") {
      // dismiss: a window that may already have closed by itself (a progress window).
      HWND window = v == "dismiss" ? ResolveNow(action.rest) : Resolve(action.rest);
      if (!window) return v == "dismiss";
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
      if (!WaitFor([&] { return !IsWindow(window) || !IsWindowVisible(window); }, kWindowDeadlineMs))
        return error_ = "the window stayed open", false;
      Settle();
      return true;
    }
    if (v == "post") {
      HWND window = Resolve(w[0]);
      if (!window) return false;
      PostMessageA(window, static_cast<UINT>(number(1)), static_cast<WPARAM>(number(2)), static_cast<LPARAM>(number(3)));
      Settle();
      return true;
    }
    if (v == "wait-text") {
      const std::string prefix = action.rest.substr(action.rest.find(' ', action.rest.find(' ') + 1) + 1);
      HWND control = Control(w[0], w[1]);
      if (!control) return false;
      if (!WaitFor([&] { return TextOf(control).rfind(prefix, 0) == 0; }, kTextDeadlineMs))
        return error_ = "the text stayed '" + TextOf(control) + "'", false;
      Settle();
      return true;
    }
    return error_ = "unknown action", false;
  }

  // Ends the host through its own exit command. The module's shutdown must have
  // run: it ends the process with code 0 when the host releases the module, or,
  // when the module is still in use at that moment (the organizer's watcher
  // thread runs), as the process ends, after the host's own exit code 3. Either
  // way it saved the remembered state, whose ConfigDlg value nothing else writes.
  bool HostExit() {
    if (!NeedHost()) return false;
    host_->Send("exit");
    DWORD code = 99;
    if (!host_->WaitForExit(kHostExitMs, &code)) return error_ = "the host did not end", false;
    std::printf("demo: the host ended with exit code %lu\n", static_cast<unsigned long>(code));
    HKEY key = nullptr;
    bool saved = false;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\VAExtensions\\LastState", 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) {
      saved = RegQueryValueExA(key, "ConfigDlg", nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
      RegCloseKey(key);
    }
    if ((code == 0 || code == kHostReturnedCode) && saved) return true;
    const std::vector<std::string> log = host_->LogTexts();
    for (size_t i = log.size() > 15 ? log.size() - 15 : 0; i < log.size(); ++i)
      std::printf("  host log: %s\n", log[i].c_str());
    return error_ = "exit code " + std::to_string(code) + (saved ? "" : ", the last state was not saved"), false;
  }

  bool Photograph(const std::string& capture, const std::string& path) {
    error_.clear();
    RECT rect = {};
    if (capture == "menu") {
      if (!WaitForMenu()) return false;
      GetWindowRect(Main(), &rect);
      for (HWND menu : OpenMenus(Pid())) {
        RECT part;
        GetWindowRect(menu, &part);
        UnionRect(&rect, &rect, &part);
      }
      Sleep(kPaintSettleMs);
    } else {
      HWND window = Resolve(capture);
      if (!window) return false;
      RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
      Settle();
      GetWindowRect(window, &rect);
      // Without a window manager nobody draws a system dialog's caption and
      // frame: the picture is its client area then.
      const LONG_PTR style = GetWindowLongPtrA(window, GWL_STYLE);
      if ((style & WS_CAPTION) == WS_CAPTION && ClassOf(window) == "#32770") {
        GetClientRect(window, &rect);
        MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
      }
    }
    if (!SaveScreenRect(rect, path)) return error_ = "the screen could not be read into " + path, false;
    return true;
  }

  std::string demo_, pictures_;
  HMODULE module_ = nullptr;
  std::unique_ptr<test::WizardProcess> wizard_;
  std::unique_ptr<test::HostSim> host_;
  std::string error_;
  int pictures_taken_ = 0, failed_ = 0;
};

// ---- preparation ----

// files.txt: "path | size in bytes" per line; each missing file is made of zeros
// (sparse where the file system allows), its folders first.
int PrepareFiles(const std::string& demo) {
  const std::string text = test::ReadWholeFile(Join(demo, "files.txt"));
  if (text.empty()) return std::printf("failed: no files.txt in %s\n", demo.c_str()), 1;
  int made = 0, bad = 0;
  for (const std::string& raw : test::SplitLines(text + "\n")) {
    std::vector<std::string> fields = hostsim::SplitFields(raw, '|');
    if (fields.empty() || fields[0].empty() || fields[0][0] == '#') continue;
    const bool folderOnly = fields.size() == 1 && fields[0].back() == '\\';
    if (fields.size() != 2 && !folderOnly) {
      std::printf("failed: files.txt: %s\n", raw.c_str());
      ++bad;
      continue;
    }
    const std::string& path = fields[0];
    for (size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
      CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    if (path.back() == '\\') continue;  // a folder only
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) continue;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      std::printf("failed: cannot create %s\n", path.c_str());
      ++bad;
      continue;
    }
    LARGE_INTEGER size;
    size.QuadPart = _strtoi64(fields[1].c_str(), nullptr, 10);
    SetFilePointerEx(file, size, nullptr, FILE_BEGIN);
    SetEndOfFile(file);
    CloseHandle(file);
    ++made;
  }
  std::printf("demo: %d sample files made\n", made);
  return bad ? 1 : 0;
}

int ImportSettings(const std::string& demo) {
  std::string line = "regedit.exe /S \"" + Join(demo, "settings.reg") + "\"";
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
    return std::printf("failed: cannot start regedit\n"), 1;
  const bool ended = WaitForSingleObject(process.hProcess, kImportDeadlineMs) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(process.hProcess, 1);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  if (!ended) return std::printf("failed: regedit did not end\n"), 1;
  std::printf("demo: settings imported from settings.reg\n");
  return 0;
}

}  // namespace
}  // namespace va::demo

int main(int argc, char** argv) {
  setvbuf(stdout, nullptr, _IONBF, 0);
  const std::string mode = argc > 1 ? argv[1] : "";
  if (argc == 3 && mode == "prepare") return va::demo::PrepareFiles(argv[2]);
  if (argc == 3 && mode == "settings") return va::demo::ImportSettings(argv[2]);
  if (argc == 4 && mode == "walk") {
    va::demo::Walk walk(argv[2], argv[3]);
    return walk.Run();
  }
  if (argc >= 3 && mode == "drive") return va::demo::Drive(argv[2], std::vector<std::string>(argv + 3, argv + argc));
  std::printf("usage: demo_walk prepare|settings <demo folder>\n       demo_walk walk <demo folder> <picture folder>\n"
              "       demo_walk drive <picture folder|-> <step>...\n");
  return 2;
}
