// tools_menu_win: the Tools list in the registry, the three tool popups, their
// owner-drawn items, and starting tools through the shell.
#include "extension/menus/tools_menu_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "common/extension_options.h"
#include "common/placeholders.h"
#include "common/text_rules.h"
#include "extension/core/host_ids.h"
#include "extension/core/host_layout.h"
#include "extension/core/module_state.h"
#include "extension/menus/host_memory_win.h"
#include "extension/menus/module_message_win.h"
#include "extension/resources/resource.h"

namespace va {

std::vector<ToolRecord> ToolList;
int ToolLastIndex = -1;
HMENU MainToolsMenu = nullptr;
HMENU TrayToolsMenu = nullptr;
HMENU PreviewToolsMenu = nullptr;

namespace {

constexpr DWORD kValueNameCapacity = 256;
constexpr DWORD kMaxTextBytes = 32768;  // longer texts are not tool values
constexpr size_t kMaxHostPath = 1024;   // longest path read out of a host record
constexpr int kIconTextGap = 8;         // icon column: small icon + gap
constexpr int kMeasureExtraWidth = 10;
constexpr int kMeasureExtraHeight = 4;
constexpr int kIconMargin = 2;
constexpr int kTextRightMargin = 2;

// ---- registry ----

bool IsTextType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

// The environment's variables in a REG_EXPAND_SZ text (administrators' .reg files
// write commands that way); the module's own %NAME% placeholders are not variables
// and stay for the later expansion.
std::string ExpandEnvironment(const std::string& text) {
  const DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  if (needed == 0 || needed > kMaxTextBytes) return text;
  std::string expanded(needed, '\0');
  if (ExpandEnvironmentStringsA(text.c_str(), expanded.data(), needed) == 0) return text;
  return expanded.substr(0, expanded.find('\0'));
}

// A REG_SZ or REG_EXPAND_SZ value (the latter expanded), cut at its first NUL
// (stored texts carry none).
bool QueryText(HKEY key, const std::string& name, std::string& text) {
  DWORD type = 0, size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (!IsTextType(type) || size == 0 || size > kMaxTextBytes) return false;
  std::string buffer(size, '\0');
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&buffer[0]), &size) !=
      ERROR_SUCCESS)
    return false;
  buffer.resize(std::min<size_t>(size, buffer.size()));
  text = buffer.substr(0, buffer.find('\0'));
  if (type == REG_EXPAND_SZ) text = ExpandEnvironment(text);
  return true;
}

uint32_t QueryDword(HKEY key, const std::string& name) {
  DWORD type = 0, value = 0, size = sizeof value;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS)
    return 0;
  return size == sizeof value ? value : 0;
}

HKEY OpenToolsKeyForQuery() {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kToolsKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) return key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kToolsKey, 0, KEY_QUERY_VALUE, &key) == ERROR_SUCCESS) return key;
  return nullptr;
}

void DeleteAllValues(HKEY key) {
  for (;;) {
    char name[kValueNameCapacity];
    DWORD length = kValueNameCapacity;
    LONG status = RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) break;
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS) break;  // never spin on a value that stays
  }
}

// ---- menus ----

void EmptyPopup(HMENU menu) {
  for (int position = GetMenuItemCount(menu) - 1; position >= 0; --position) RemoveMenu(menu, position, MF_BYPOSITION);
}

void FillPopup(HMENU menu, const std::vector<ToolMenuItem>& items) {
  for (const ToolMenuItem& item : items) {
    switch (item.kind) {
      case ToolMenuItem::Heading:
        InsertMenuA(menu, 0, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED, 0, nullptr);
        break;
      case ToolMenuItem::Separator:
        AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        break;
      case ToolMenuItem::OwnerDrawn:
        AppendMenuA(menu, MF_OWNERDRAW, item.id, nullptr);  // item data 0
        break;
      case ToolMenuItem::Plain:
        AppendMenuA(menu, MF_STRING, item.id, item.text.c_str());
        break;
      case ToolMenuItem::Grayed:
        AppendMenuA(menu, MF_STRING | MF_GRAYED, item.id, item.text.c_str());
        break;
    }
  }
}

// The tool of an owner-drawn item id, or null for any other item.
const ToolRecord* ToolOfItem(UINT id) {
  int index = -1;
  if (id >= kToolCommandFirst && id < kToolCommandFirst + kMaxTools) index = int(id - kToolCommandFirst);
  if (id >= kPreviewCommandFirst && id < kPreviewCommandFirst + kMaxTools) index = int(id - kPreviewCommandFirst);
  if (index < 0 || index > ToolLastIndex || size_t(index) >= ToolList.size()) return nullptr;
  return &ToolList[size_t(index)];
}

// ---- running ----

struct ToolLaunch {
  std::string program;
  std::string parameters;
  std::string workdir;
};

ToolLaunch PrepareLaunch(const ToolRecord& tool) {
  ToolLaunch launch;
  SplitCommandLine(tool.Cmd, launch.program, launch.parameters);
  launch.workdir = TrimSpacesAndQuotes(tool.Workdir);
  ExpandExtensionPlaceholders(launch.program);
  ExpandExtensionPlaceholders(launch.parameters);
  ExpandExtensionPlaceholders(launch.workdir);
  return launch;
}

void Launch(HWND owner, const ToolLaunch& launch) {
  HINSTANCE result = ShellExecuteA(owner, nullptr, launch.program.c_str(),
                                   launch.parameters.empty() ? nullptr : launch.parameters.c_str(),
                                   launch.workdir.empty() ? nullptr : launch.workdir.c_str(), SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) <= 32)
    ShowModuleMessage(owner, IDS_TOOL_CANT_OPEN, "%CMD%", launch.program, MB_ICONEXCLAMATION);
}

// A file of exactly that name: a folder does not count, and "?" or "*" in the
// name are not wildcards (the attributes of such a name cannot be read).
bool FileExists(const std::string& path) {
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// The two paths of the download behind the download list's caret item: the
// finished file's and the working file's. False when there is no such item or
// its data is not a download record that passes every check.
bool SelectedDownloadPaths(std::string& finished, std::string& working) {
  HWND list = TrafficWindow ? GetDlgItem(TrafficWindow, host::kDownloadListId) : nullptr;
  if (!list) return false;
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_CARET, 0));
  if (!item) return false;
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!SendMessageA(list, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) || tv.lParam == 0) return false;

  const void* record = reinterpret_cast<const void*>(tv.lParam);
  uint32_t kind = 0;
  if (!ReadHostWord(record, host::kDownloadKindOffset, kind) || kind != host::kDownloadKindFile) return false;
  const void* detail = nullptr;
  if (!ReadHostPointer(record, host::kDownloadDetailOffset, detail)) return false;
  uint32_t marker = 0;
  if (!ReadHostWord(detail, host::kDetailMarkerOffset, marker) || marker != host::kDetailMarker) return false;
  if (!ReadHostText(static_cast<const char*>(detail) + host::kDetailFinishedPathOffset, kMaxHostPath, finished))
    return false;
  const void* inside = nullptr;
  const void* start = nullptr;
  if (!ReadHostPointer(detail, host::kDetailWorkingPathOffset, inside)) return false;
  if (!FindHostTextStart(inside, kMaxHostPath, start)) return false;
  return ReadHostText(start, kMaxHostPath, working);
}

}  // namespace

HICON LoadToolIcon(const ToolRecord& tool) {
  if (IsToolSeparator(tool)) return nullptr;
  if (IsBlankText(tool.Icon)) {
    std::string program = ToolIconProgram(tool.Cmd);
    ExpandExtensionPlaceholders(program);
    if (program.empty()) return nullptr;
    SHFILEINFOA info = {};
    if (!SHGetFileInfoA(program.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON)) return nullptr;
    return info.hIcon;
  }
  std::string file = TrimSpacesAndQuotes(tool.Icon);
  ExpandExtensionPlaceholders(file);
  // A private copy, not a shared one: whoever holds a tool's icon destroys it.
  return static_cast<HICON>(LoadImageA(nullptr, file.c_str(), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                       GetSystemMetrics(SM_CYSMICON), LR_LOADFROMFILE));
}

void ReleaseToolIcons(const std::vector<ToolRecord>& released, const std::vector<ToolRecord>& kept) {
  for (const ToolRecord& tool : released) {
    if (!tool.IconHandle) continue;
    const bool stillUsed = std::any_of(kept.begin(), kept.end(),
                                       [&](const ToolRecord& other) { return other.IconHandle == tool.IconHandle; });
    if (!stillUsed) DestroyIcon(static_cast<HICON>(tool.IconHandle));
  }
}

int LoadTools() {
  ReleaseToolIcons(ToolList, {});
  ToolList.clear();
  ToolLastIndex = -1;
  HKEY key = OpenToolsKeyForQuery();
  if (!key) return -1;

  std::vector<std::pair<int32_t, ToolRecord>> found;
  for (DWORD index = 0;; ++index) {
    char name[kValueNameCapacity];
    DWORD length = kValueNameCapacity, type = 0;
    LONG status = RegEnumValueA(key, index, name, &length, nullptr, &type, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;  // a name too long to be ours
    if (status != ERROR_SUCCESS) break;
    int32_t n = 0;
    if (!IsTextType(type) || !ParseToolTitleName(std::string_view(name, length), n)) continue;
    if (found.size() == size_t(kMaxTools)) break;
    ToolRecord tool;
    QueryText(key, name, tool.Title);
    const std::string number = std::to_string(n);
    QueryText(key, "Cmd" + number, tool.Cmd);
    QueryText(key, "Workdir" + number, tool.Workdir);
    QueryText(key, "Icon" + number, tool.Icon);
    tool.Preview = uint8_t(QueryDword(key, "Preview" + number));
    found.emplace_back(n, std::move(tool));
  }
  RegCloseKey(key);

  std::stable_sort(found.begin(), found.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& entry : found) {
    entry.second.IconHandle = LoadToolIcon(entry.second);
    ToolList.push_back(std::move(entry.second));
  }
  ToolLastIndex = int(ToolList.size()) - 1;
  return ToolLastIndex;
}

int SaveTools(const std::vector<ToolRecord>& records, int lastIndex) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kToolsKey, 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS)
    return 0;
  // Copied first: the caller may hand in ToolList itself.
  const size_t count = lastIndex < 0 ? 0 : std::min({size_t(lastIndex) + 1, records.size(), size_t(kMaxTools)});
  std::vector<ToolRecord> next(records.begin(), records.begin() + count);
  DeleteAllValues(key);
  // The icons of tools that leave the list go with them; the others move on.
  ReleaseToolIcons(ToolList, next);
  ToolList.clear();
  ToolLastIndex = -1;
  if (count == 0) {
    RegCloseKey(key);
    BuildToolsMenus();
    return 0;
  }
  ToolList = std::move(next);
  for (const ToolRegistryValue& value : ToolRegistryValues(ToolList)) {
    if (value.isDword) {
      DWORD data = value.dword;
      RegSetValueExA(key, value.name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    } else {
      RegSetValueExA(key, value.name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.text.data()),
                     DWORD(value.text.size()));
    }
  }
  ToolLastIndex = int(count) - 1;
  RegCloseKey(key);
  BuildToolsMenus();
  return 1;
}

void BuildToolsMenus() {
  if (MainToolsMenu) {
    EmptyPopup(MainToolsMenu);
    EmptyPopup(TrayToolsMenu);
    EmptyPopup(PreviewToolsMenu);
  } else {
    MainToolsMenu = CreatePopupMenu();
    TrayToolsMenu = CreatePopupMenu();
    PreviewToolsMenu = CreatePopupMenu();
  }
  const std::string noTools = LoadModuleText(IDS_NO_TOOLS);
  const std::string theater = LoadModuleText(IDS_PREVIEW_THEATER);
  const bool noIcons = CurrentOptions.NoToolsIcons == 1;
  FillPopup(PreviewToolsMenu, PlanToolPopup(ToolPopup::Preview, ToolList, noIcons, noTools, theater));
  FillPopup(MainToolsMenu, PlanToolPopup(ToolPopup::Main, ToolList, noIcons, noTools, theater));
  FillPopup(TrayToolsMenu, PlanToolPopup(ToolPopup::Tray, ToolList, noIcons, noTools, theater));
}

void MeasureToolItem(MEASUREITEMSTRUCT* measure) {
  if (!measure || measure->CtlType != ODT_MENU) return;
  const ToolRecord* tool = ToolOfItem(measure->itemID);
  if (!tool) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, MenuFont ? static_cast<HGDIOBJ>(MenuFont) : GetStockObject(DEFAULT_GUI_FONT));
  SIZE text = {};
  GetTextExtentPoint32A(dc, tool->Title.c_str(), int(tool->Title.size()), &text);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  measure->itemWidth = UINT(text.cx + GetSystemMetrics(SM_CXSMICON) + kMeasureExtraWidth);
  measure->itemHeight = UINT(std::max<LONG>(text.cy, GetSystemMetrics(SM_CYSMICON)) + kMeasureExtraHeight);
}

void DrawToolItem(const DRAWITEMSTRUCT* draw) {
  if (!draw || draw->CtlType != ODT_MENU) return;
  if ((draw->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)) == 0) return;
  const ToolRecord* tool = ToolOfItem(draw->itemID);
  if (!tool) return;
  const bool selected = (draw->itemState & ODS_SELECTED) != 0;
  const int fill = selected ? COLOR_HIGHLIGHT : COLOR_MENU;
  HDC dc = draw->hDC;
  FillRect(dc, &draw->rcItem, GetSysColorBrush(fill));
  SetBkColor(dc, GetSysColor(fill));
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_MENUTEXT));
  HGDIOBJ old = MenuFont ? SelectObject(dc, MenuFont) : nullptr;
  RECT text = draw->rcItem;
  text.left += GetSystemMetrics(SM_CXSMICON) + kIconTextGap;
  text.right -= kTextRightMargin;
  DrawTextA(dc, tool->Title.c_str(), int(tool->Title.size()), &text, DT_SINGLELINE | DT_VCENTER);
  if (old) SelectObject(dc, old);
  if (tool->IconHandle) {
    DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(tool->IconHandle), 0, draw->rcItem.left + kIconMargin,
               draw->rcItem.top + kIconMargin, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
               DST_ICON);
  }
}

void RunTool(HWND owner, int index) {
  if (index < 0 || index > ToolLastIndex || size_t(index) >= ToolList.size()) return;
  const ToolRecord& tool = ToolList[size_t(index)];
  if (IsToolSeparator(tool)) return;
  Launch(owner, PrepareLaunch(tool));
}

void PreviewWithTool(int index) {
  if (index < 0 || index > ToolLastIndex || size_t(index) >= ToolList.size()) return;
  std::string finished, working;
  if (!SelectedDownloadPaths(finished, working)) return;
  ToolLaunch launch = PrepareLaunch(ToolList[size_t(index)]);
  launch.parameters += " \"" + (FileExists(finished) ? finished : working) + "\"";
  Launch(HostMainWindow, launch);
}

}  // namespace va
