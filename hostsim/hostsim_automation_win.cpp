// hostsim_automation_win: a hidden control window through which a test process
// changes the running host: WM_COPYDATA with dwData kAutomationTag and a text
// command (commands listed in hostsim/README.md). Answers 1 when understood.
#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "extension/core/host_ids.h"
#include "hostsim/hostsim_state.h"
#include "hostsim/resources/resource.h"

namespace va::hostsim {
namespace {

using namespace va::host;

bool ParseNumber(const std::string& word, int* value) {
  if (word.empty()) return false;
  char* end = nullptr;
  long number = std::strtol(word.c_str(), &end, 0);
  if (!end || *end != '\0') return false;
  *value = static_cast<int>(number);
  return true;
}

// The text after the first `count` words.
std::string Rest(const std::string& line, int count) {
  size_t at = 0;
  for (int i = 0; i < count; ++i) {
    at = line.find(' ', at);
    if (at == std::string::npos) return "";
    ++at;
  }
  return line.substr(at);
}

bool CreateByName(const std::string& name) {
  if (name == "search") CreateSearchWindow();
  else if (name == "traffic") CreateTrafficWindow();
  else if (name == "library") CreateLibraryWindow();
  else if (name == "web") CreateWebWindow();
  else return false;
  return true;
}

bool SetColumnOrder(const std::string& list) {
  if (!g.header) return false;
  std::vector<int> order;
  for (const std::string& f : SplitFields(list, ',')) {
    int n = 0;
    if (!ParseNumber(f, &n)) return false;
    order.push_back(n);
  }
  if (order.size() != g.scenario.columnTypes.size()) return false;
  if (!SendMessageA(g.header, HDM_SETORDERARRAY, order.size(), reinterpret_cast<LPARAM>(order.data()))) return false;
  RebuildRowTexts();
  return true;
}

void LogRows() {
  for (int i = 0; HostDownload* d = DownloadAt(i); ++i) {
    std::string shown = d->rowText;
    for (char& c : shown)
      if (c == kRowCellSeparator) c = '|';
    Log("row %d %s", i, shown.c_str());
  }
  Log("rows-end");
}

// One line per item: "<prefix> <pos> id=<id> flags=<letters> <text>"; flags: P
// popup, S separator, O owner-drawn, D default, G grayed, C checked.
void LogMenu(HMENU menu, const std::string& prefix) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    char text[256] = "";
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_FTYPE | MIIM_SUBMENU | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
    std::string flags;
    if (info.hSubMenu) flags += 'P';
    if (info.fType & MFT_SEPARATOR) flags += 'S';
    if (info.fType & MFT_OWNERDRAW) flags += 'O';
    if (info.fState & MFS_DEFAULT) flags += 'D';
    if ((info.fState & MFS_GRAYED) && !(info.fType & MFT_SEPARATOR)) flags += 'G';  // separators always are
    if (info.fState & MFS_CHECKED) flags += 'C';
    Log("%s %d id=%u flags=%s %s", prefix.c_str(), i, info.wID, flags.c_str(), (info.fType & MFT_OWNERDRAW) ? "" : text);
  }
}

// Logs the main frame's menu bar and every top-level menu in it.
void LogMenuBar() {
  HMENU bar = GetMenu(g.main);
  Log("menubar handle=%p", static_cast<void*>(bar));
  LogMenu(bar, "menubar");
  for (int i = 0, n = GetMenuItemCount(bar); i < n; ++i)
    if (HMENU sub = GetSubMenu(bar, i)) LogMenu(sub, "menu " + std::to_string(i));
  Log("menubar-end");
}

// Gives the main frame a fresh copy of its menu bar, as a host may at any time.
bool ReplaceMenuBar() {
  HMENU fresh = LoadMenuA(g.instance, MAKEINTRESOURCEA(IDM_HOST_MAIN));
  if (!fresh || !SetMenu(g.main, fresh)) return false;
  DrawMenuBar(g.main);
  return true;
}

// Logs the popup menu open on this thread (with its submenus) and closes it.
bool LogOpenPopup() {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, "#32768", nullptr)))
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId() && IsWindowVisible(window)) break;
  if (!window) return false;
  HMENU menu = reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0));
  if (!menu) return false;
  LogMenu(menu, "popup");
  for (int i = 0, n = GetMenuItemCount(menu); i < n; ++i)
    if (HMENU sub = GetSubMenu(menu, i)) LogMenu(sub, "popup " + std::to_string(i));
  Log("popup-end");
  EndMenu();
  return true;
}

// ---- resource counts for the soak ----
// Wine answers neither GetGuiResources nor GetProcessHandleCount nor another
// process's memory, so the host counts for itself, falling back where the
// platform gives 0: GDI objects from the process's GDI handle table (whose
// address the process block holds, as the system keeps it), handles by asking
// every small handle value, private memory by the commit charge.

constexpr size_t kGdiTableEntries = 0x10000;
constexpr size_t kGdiEntrySize = 24;          // object, owner, unique, type, flags, user pointer
constexpr size_t kGdiEntryTypeOffset = 14;
#ifdef _WIN64
constexpr size_t kTebPebOffset = 0x60, kPebGdiTableOffset = 0xF8;
#else
constexpr size_t kTebPebOffset = 0x30, kPebGdiTableOffset = 0x94;
#endif
constexpr uintptr_t kLastProbedHandle = 0x10000;

bool Readable(const void* start, size_t size) {
  MEMORY_BASIC_INFORMATION info = {};
  const auto* at = static_cast<const BYTE*>(start);
  const BYTE* end = at + size;
  while (at < end) {
    if (!VirtualQuery(at, &info, sizeof info) || info.State != MEM_COMMIT ||
        (info.Protect & (PAGE_NOACCESS | PAGE_GUARD)) || !(info.Protect & (PAGE_READONLY | PAGE_READWRITE)))
      return false;
    at = static_cast<const BYTE*>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

unsigned long CountGdiObjects() {
  const DWORD counted = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (counted) return counted;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Warray-bounds"  // the header's segment read looks like an empty array to the compiler
  const BYTE* teb = reinterpret_cast<const BYTE*>(NtCurrentTeb());
#pragma GCC diagnostic pop
  const BYTE* peb = *reinterpret_cast<const BYTE* const*>(teb + kTebPebOffset);
  const BYTE* table = peb ? *reinterpret_cast<const BYTE* const*>(peb + kPebGdiTableOffset) : nullptr;
  if (!table || !Readable(table, kGdiTableEntries * kGdiEntrySize)) return 0;
  unsigned long live = 0;
  for (size_t i = 0; i < kGdiTableEntries; ++i) live += table[i * kGdiEntrySize + kGdiEntryTypeOffset] != 0;
  return live;
}

unsigned long CountHandles() {
  DWORD handles = 0;
  if (GetProcessHandleCount(GetCurrentProcess(), &handles) && handles) return handles;
  DWORD flags = 0;
  for (uintptr_t value = 4; value < kLastProbedHandle; value += 4)
    handles += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
  return handles;
}

bool LogResources() {
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  const unsigned long long privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
  Log("resources gdi=%lu user=%lu handles=%lu private=%llu", CountGdiObjects(),
      static_cast<unsigned long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)), CountHandles(), privateBytes);
  return true;
}

// Selects exactly the library rows listed ("1,3"; row 0 is the folder row).
bool SelectLibraryRows(const std::string& rows) {
  if (!g.libraryList) return false;
  ListView_SetItemState(g.libraryList, -1, 0, LVIS_SELECTED);
  for (const std::string& row : SplitFields(rows, ',')) {
    int index = 0;
    if (!ParseNumber(row, &index)) return false;
    ListView_SetItemState(g.libraryList, index, LVIS_SELECTED, LVIS_SELECTED);
  }
  return true;
}

// An empty child 4096 of the search form, for tests of the download menus that
// run without the module's own search options panel (the form counts as ready
// once it has one). Refused when the form has that child already.
bool AddSearchPanelStandIn() {
  constexpr int kSearchPanelId = 4096;
  if (!g.searchForm || GetDlgItem(g.searchForm, kSearchPanelId)) return false;
  return CreateWindowExA(0, "Static", "", WS_CHILD, 0, 0, 1, 1, g.searchForm,
                         reinterpret_cast<HMENU>(static_cast<INT_PTR>(kSearchPanelId)), g.instance, nullptr) != nullptr;
}

// Logs how many GDI and USER objects the process holds. Wine answers
// GetGuiResources with 0, so the line also carries an estimate from the handle
// tables: freed slots are handed out again before new ones, so after taking more
// handles than there can be free slots, the highest slot index minus the number
// taken is the number of objects alive (for USER objects: in the whole session).
void LogGuiObjects() {
  constexpr int kProbeCount = 4000;
  constexpr unsigned kFirstUserHandle = 0x20;
  std::vector<HBRUSH> brushes;
  std::vector<HMENU> menus;
  unsigned gdiTop = 0, userTop = 0;
  for (int i = 0; i < kProbeCount; ++i) {
    if (HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3))) {
      brushes.push_back(brush);
      const unsigned slot = static_cast<unsigned>(reinterpret_cast<UINT_PTR>(brush) & 0xFFFF);
      if (slot > gdiTop) gdiTop = slot;
    }
    if (HMENU menu = CreatePopupMenu()) {
      menus.push_back(menu);
      const unsigned slot = static_cast<unsigned>(((reinterpret_cast<UINT_PTR>(menu) & 0xFFFF) - kFirstUserHandle) >> 1);
      if (slot > userTop) userTop = slot;
    }
  }
  for (HBRUSH brush : brushes) DeleteObject(brush);
  for (HMENU menu : menus) DestroyMenu(menu);
  Log("gui-objects gdi=%lu user=%lu gdi-estimate=%d user-estimate=%d",
      static_cast<unsigned long>(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS)),
      static_cast<unsigned long>(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS)),
      static_cast<int>(gdiTop) + 1 - static_cast<int>(brushes.size()),
      static_cast<int>(userTop) + 1 - static_cast<int>(menus.size()));
}

// Messages other threads and processes send to the host's UI thread, counted as
// the host's windows receive them (the cost the host feels of whoever talks to it).
LONG sentFromOtherThreads = 0;
HHOOK sentCounter = nullptr;
LRESULT CALLBACK CountSent(int code, WPARAM fromThisThread, LPARAM message) {
  if (code == HC_ACTION && !fromThisThread) ++sentFromOtherThreads;
  return CallNextHookEx(sentCounter, code, fromThisThread, message);
}
bool LogSentCount() {
  if (!sentCounter) sentCounter = SetWindowsHookExA(WH_CALLWNDPROC, CountSent, nullptr, GetCurrentThreadId());
  Log("sent-count %ld", sentFromOtherThreads);
  return sentCounter != nullptr;
}

// Logs each rebar band's background bitmap as "band <i> background=<w>x<h>" (or
// "none"), as a user sees it behind the toolbars.
bool LogBandBackgrounds() {
  const int count = static_cast<int>(SendMessageA(g.rebar, RB_GETBANDCOUNT, 0, 0));
  for (int band = 0; band < count; ++band) {
    REBARBANDINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = RBBIM_BACKGROUND;
    BITMAP bitmap = {};
    if (!SendMessageA(g.rebar, RB_GETBANDINFOA, band, reinterpret_cast<LPARAM>(&info))) return false;
    if (info.hbmBack && GetObjectA(info.hbmBack, sizeof bitmap, &bitmap))
      Log("band %d background=%ldx%ld", band, bitmap.bmWidth, bitmap.bmHeight);
    else
      Log("band %d background=none", band);
  }
  return count > 0;
}

bool Execute(const std::string& line) {
  std::vector<std::string> words;
  for (const std::string& w : SplitFields(line, ' '))
    if (!w.empty()) words.push_back(w);
  if (words.empty()) return false;
  const std::string& verb = words[0];
  int number = 0;
  if (verb == "ping") { Log("pong"); return true; }
  if (verb == "sync" && words.size() == 2 && ParseNumber(words[1], &number))
    return PostMessageA(g.main, kMsgSync, static_cast<WPARAM>(number), 0) != 0;
  if (verb == "show-main") return ShowWindow(g.main, SW_SHOW), true;
  if (verb == "command" && words.size() == 2 && ParseNumber(words[1], &number))
    return PostMessageA(g.main, WM_COMMAND, MAKEWPARAM(number, 0), 0) != 0;
  if (verb == "exit") return PostMessageA(g.main, WM_COMMAND, MAKEWPARAM(kCmdExit, 0), 0) != 0;
  if (verb == "create" && words.size() == 2) return CreateByName(words[1]);
  if (verb == "destroy" && words.size() == 2) return DestroyWindowByName(words[1]);
  if (verb == "remove-row" && words.size() == 2 && ParseNumber(words[1], &number)) return RemoveDownload(number);
  if (verb == "select" && words.size() == 2 && words[1] == "none")
    return g.downloadList && (SendMessageA(g.downloadList, TVM_SELECTITEM, TVGN_CARET, 0), true);
  if (verb == "select" && words.size() == 2 && ParseNumber(words[1], &number)) return SelectDownload(number);
  if (verb == "search-panel") return AddSearchPanelStandIn();
  if (verb == "set-status" && words.size() >= 3 && ParseNumber(words[1], &number)) {
    HostDownload* d = DownloadAt(number);
    if (!d) return false;
    SetDownloadStatus(d, Rest(line, 2));
    return true;
  }
  if (verb == "statusbar") {
    std::string text = Rest(line, 1);
    return SendMessageA(g.statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(text.c_str())) != 0;
  }
  if (verb == "order" && words.size() == 2) return SetColumnOrder(words[1]);
  if (verb == "rows") { LogRows(); return true; }
  if (verb == "select-library" && words.size() == 2) return SelectLibraryRows(words[1]);
  if (verb == "call") return CallExportByText(words);
  if (verb == "menubar") { LogMenuBar(); return true; }
  if (verb == "new-menubar") return ReplaceMenuBar();
  if (verb == "popup") return LogOpenPopup();
  if (verb == "resources") return LogResources();
  if (verb == "bands") return LogBandBackgrounds();
  if (verb == "gui-objects") { LogGuiObjects(); return true; }
  if (verb == "sent-count") return LogSentCount();
  if (bool understood = false; ExecuteSearchCommand(words, &understood)) return understood;
  return false;
}

LRESULT OnCopyData(const COPYDATASTRUCT* data) {
  if (!data || data->dwData != kAutomationTag || !data->lpData || data->cbData > 4096) return 0;
  std::string line(static_cast<const char*>(data->lpData), data->cbData);
  line = line.substr(0, line.find('\0'));
  Log("automation %s", line.c_str());
  bool ok = Execute(line);
  if (!ok) Log("automation-error %s", line.c_str());
  return ok ? 1 : 0;
}

LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

bool CreateControlWindow() {
  WNDCLASSEXA cls = {};
  cls.cbSize = sizeof cls;
  cls.lpfnWndProc = ControlProc;
  cls.hInstance = g.instance;
  cls.lpszClassName = kControlClass;
  if (!RegisterClassExA(&cls)) return false;
  char title[32];
  wsprintfA(title, "hostsim %lu", static_cast<unsigned long>(GetCurrentProcessId()));
  g.control = CreateWindowExA(0, kControlClass, title, WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, g.instance, nullptr);
  return g.control != nullptr;
}

}  // namespace va::hostsim
