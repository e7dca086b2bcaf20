// file_manager_menu_win: the library pane and list subclasses, the file manager
// menu, the selected files and the guarded open.
#include "extension/menus/file_manager_menu_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include "common/extension_options.h"
#include "extension/core/attach.h"
#include "extension/core/host_ids.h"
#include "extension/core/host_layout.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/hostui/theme_win.h"
#include "extension/menus/file_types.h"
#include "extension/menus/host_memory_win.h"
#include "extension/menus/module_message_win.h"
#include "extension/resources/resource.h"

namespace va {

HMENU FileManagerMenu = nullptr;

namespace {

constexpr int kHostFileSubmenu = 4;        // "File" in the host's menu 222
constexpr int kHostItemsToDropFirst = 5;   // then 4: the host's own tail items
constexpr int kHostItemsToDropSecond = 4;
constexpr int kQuickLinkPosition = 6;
constexpr uint32_t kTheaterAction = 1;     // DefaultFileManagerAction: play in the host
constexpr size_t kMaxHostText = 1024;

HMENU LoadedHostMenu = nullptr;  // menu 222 as loaded; owns FileManagerMenu
WNDPROC PreviousLibraryListProc = nullptr;

bool MenuInUse() { return CurrentOptions.ChangeFileManagerMenu == 1; }
bool OpensWithShell() { return CurrentOptions.DefaultFileManagerAction != kTheaterAction; }

HWND LibraryList() { return LibraryPane ? GetDlgItem(LibraryPane, host::kLibraryListId) : nullptr; }

struct LibraryFile {
  std::string name;
  std::string folder;
  std::string Path() const { return folder + "\\" + name; }
};

// The file rows among the selected rows, in list order. The item data is only
// believed to be a host record after each guarded read.
std::vector<LibraryFile> SelectedFileRows() {
  std::vector<LibraryFile> files;
  HWND list = LibraryList();
  if (!list) return files;
  for (int index = -1;;) {
    index = int(SendMessageA(list, LVM_GETNEXTITEM, WPARAM(index), MAKELPARAM(LVNI_SELECTED, 0)));
    if (index < 0) break;
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = index;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) || item.lParam == 0) continue;
    const void* record = reinterpret_cast<const void*>(item.lParam);
    uint32_t marker = 0;
    if (!ReadHostWord(record, host::kLibraryMarkerOffset, marker) || marker != host::kFileItemMarker) continue;
    const void* name = nullptr;
    const void* folder = nullptr;
    LibraryFile file;
    if (!ReadHostPointer(record, host::kLibraryNameOffset, name) ||
        !ReadHostPointer(record, host::kLibraryFolderOffset, folder) ||
        !ReadHostText(name, kMaxHostText, file.name) || !ReadHostText(folder, kMaxHostText, file.folder))
      continue;
    files.push_back(file);
  }
  return files;
}

// ---- the menu ----

void BuildFileManagerMenu() {
  if (LoadedHostMenu) return;
  LoadedHostMenu = LoadMenuA(HostResourceModule, MAKEINTRESOURCEA(host::kFileManagerMenuId));
  HMENU menu = LoadedHostMenu ? GetSubMenu(LoadedHostMenu, kHostFileSubmenu) : nullptr;
  if (!menu) return;
  DeleteMenu(menu, kHostItemsToDropFirst, MF_BYPOSITION);
  DeleteMenu(menu, kHostItemsToDropSecond, MF_BYPOSITION);
  DeleteMenu(menu, host::kCmdTheater, MF_BYCOMMAND);
  InsertMenuA(menu, 0, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED, 0, nullptr);  // the heading
  InsertMenuA(menu, 1, MF_BYPOSITION | MF_STRING, IDM_SHELL_OPEN, LoadModuleText(IDS_SHELL_OPEN).c_str());
  InsertMenuA(menu, 2, MF_BYPOSITION | MF_STRING, host::kCmdTheater, LoadModuleText(IDS_PLAY_IN_THEATER).c_str());
  if (HMENU own = LoadMenuA(ModuleInstance, MAKEINTRESOURCEA(IDM_QUICKLINK))) {
    char title[64] = "";
    GetMenuStringA(own, 0, title, sizeof title, MF_BYPOSITION);
    HMENU quickLinks = GetSubMenu(own, 0);
    // The popup moves over to the file manager menu, which then owns it alone.
    RemoveMenu(own, 0, MF_BYPOSITION);
    InsertMenuA(menu, kQuickLinkPosition, MF_BYPOSITION | MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(quickLinks),
                title);
    DestroyMenu(own);
  }
  FileManagerMenu = menu;
  UpdateFileManagerDefault();
}

// ---- the pane ----

void OnPaneInit(HWND pane) {
  BuildFileManagerMenu();
  SetOptionLiveUpdate(kOptDefaultFileManagerAction, UpdateFileManagerDefault);
  HWND list = GetDlgItem(pane, host::kLibraryListId);
  if (list && !PreviousLibraryListProc) {
    PreviousLibraryListProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_WNDPROC));
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LibraryListProc));
  }
}

// True when the notification is answered here (with 0).
bool OnPaneNotify(const NMHDR* header) {
  if (!MenuInUse() || !header || header->idFrom != UINT_PTR(host::kLibraryListId)) return false;
  switch (header->code) {
    case UINT(NM_RCLICK):
    case UINT(LVN_KEYDOWN):
      return true;
    case UINT(NM_DBLCLK):
    case UINT(NM_RETURN):
      if (!OpensWithShell()) return false;  // the host plays the file
      ShellOpenSelected();
      return true;
  }
  return false;
}

void OnPaneDestroy(HWND pane) {
  // The pane hears of its end before its list does: the list gets its own
  // procedure back now, so that its WM_DESTROY and WM_NCDESTROY still reach it
  // and it frees its items.
  HWND list = GetDlgItem(pane, host::kLibraryListId);
  if (list && PreviousLibraryListProc &&
      GetWindowLongPtrA(list, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(LibraryListProc))
    SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviousLibraryListProc));
  if (LoadedHostMenu) DestroyMenu(LoadedHostMenu);
  LoadedHostMenu = nullptr;
  FileManagerMenu = nullptr;
  // The list goes with the pane: a new pane's list is hooked afresh, once the
  // host makes one (see LookForLostHostWindows).
  PreviousLibraryListProc = nullptr;
  HostWindowLost(HostView::Library);
}

// ---- the list ----

void OnListContextMenu() {
  POINT at = {};
  GetCursorPos(&at);
  TrackPopupMenu(FileManagerMenu, TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, HostMainWindow, nullptr);
}

}  // namespace

void UpdateFileManagerDefault() {
  if (FileManagerMenu)
    SetMenuDefaultItem(FileManagerMenu, OpensWithShell() ? IDM_SHELL_OPEN : host::kCmdTheater, FALSE);
}

LRESULT CALLBACK LibraryPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case InitMessage:
      OnPaneInit(window);
      return 0;
    case WM_NOTIFY:
      if (OnPaneNotify(reinterpret_cast<const NMHDR*>(lParam))) return 0;
      break;
    case WM_DESTROY:
      OnPaneDestroy(window);
      break;
  }
  return CallWindowProcA(PreviousLibraryProc, window, message, wParam, lParam);
}

LRESULT CALLBACK LibraryListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (MenuInUse()) {
    switch (message) {
      case WM_CONTEXTMENU:
        if (!FileManagerMenu) break;
        OnListContextMenu();
        return 0;
      case WM_KEYDOWN:
        if (wParam != VK_RETURN || !OpensWithShell()) break;
        ShellOpenSelected();
        return 0;
      case WM_KEYUP:
        if (wParam != VK_RETURN || !OpensWithShell()) break;
        return 0;
    }
  }
  return CallWindowProcA(PreviousLibraryListProc, window, message, wParam, lParam);
}

bool AsksBeforeOpening(const std::string& name) {
  if (IsRiskyFileType(FileTypeOfName(name))) return true;
  using DangerousFn = BOOL(WINAPI*)(PCWSTR);
  static const auto isDangerous = [] {
    HMODULE shlwapi = LoadSystemLibrary("shlwapi.dll");
    return shlwapi ? reinterpret_cast<DangerousFn>(reinterpret_cast<void*>(GetProcAddress(shlwapi, "AssocIsDangerous")))
                   : nullptr;
  }();
  const size_t dot = name.rfind('.');
  if (!isDangerous || dot == std::string::npos) return false;
  const std::string type = name.substr(dot);
  std::wstring wide(type.size(), L'\0');
  const int length = MultiByteToWideChar(CP_ACP, 0, type.data(), int(type.size()), wide.data(), int(wide.size()));
  if (length <= 0) return false;
  wide.resize(size_t(length));
  return isDangerous(wide.c_str()) != FALSE;
}

std::vector<std::string> SelectedLibraryFiles() {
  std::vector<std::string> paths;
  for (const LibraryFile& file : SelectedFileRows()) paths.push_back(file.Path());
  return paths;
}

void ShellOpenSelected() {
  for (const LibraryFile& file : SelectedFileRows()) {
    if (AsksBeforeOpening(file.name) &&
        ShowModuleMessage(HostMainWindow, IDS_VIRUS_WARNING, "%F%", file.name, MB_YESNO | MB_ICONEXCLAMATION) != IDYES)
      continue;
    const std::string path = file.Path();
    HINSTANCE result = ShellExecuteA(HostMainWindow, nullptr, path.c_str(), nullptr, file.folder.c_str(), SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(result) <= 32) {
      ShowModuleMessage(HostMainWindow, IDS_CANT_OPEN_FILE, "%F%", path, MB_ICONEXCLAMATION);
      return;
    }
  }
}

}  // namespace va
