// host_menus_win: the items added to the host's menus and the popup updates.
#include "extension/hostui/host_menus_win.h"

#include <algorithm>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/hostui/feature_links_win.h"
#include "extension/hostui/tray_menu_win.h"
#include "extension/resources/resource.h"

namespace va {

std::vector<HMENU> InstalledMenus;
int ToolsPlacement = 0;

namespace {
// Top-level menus of the host's menu bar and the places of the added items.
constexpr int kFirstMenu = 0;
constexpr int kViewMenu = 1;
constexpr int kOptionsMenu = 3;
constexpr int kToolsBarPosition = 5;
constexpr int kJumpPosition = 2;
constexpr int kAlwaysOnTopPosition = 5;
constexpr int kViewSeparatorPosition = 6;
constexpr int kStatusWindowPosition = 7;
// Command ranges enabled whenever a popup opens.
constexpr UINT kToolIdsFirst = 10000, kToolIdsLast = 10031;
constexpr UINT kPreviewIdsFirst = 10500, kPreviewIdsLast = 10531;
constexpr UINT kModuleIdsFirst = 11001, kModuleIdsLast = 11999;

struct Text {
  char text[128] = "";
  explicit Text(UINT id) { LoadStringA(ModuleInstance, id, text, sizeof text); }
};

void AppendToolsUnderOptions(HMENU bar) {
  HMENU options = GetSubMenu(bar, kOptionsMenu);
  if (!options) return;
  AppendMenuA(options, MF_SEPARATOR, 0, nullptr);
  AppendMenuA(options, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(LinkMainToolsMenu()), Text(IDS_MENU_TOOLS).text);
}

void InsertToolsInBar(HMENU bar) {
  InsertMenuA(bar, kToolsBarPosition, MF_BYPOSITION | MF_POPUP | MF_STRING,
              reinterpret_cast<UINT_PTR>(LinkMainToolsMenu()), Text(IDS_MENU_TOOLS).text);
}

void InstallInto(HMENU bar) {
  if (HMENU options = GetSubMenu(bar, kOptionsMenu))
    AppendMenuA(options, MF_STRING, IDM_HOST_OPTIONS, Text(IDS_MENU_OPTIONS).text);
  if (ToolsPlacement == 1) InsertToolsInBar(bar);
  else AppendToolsUnderOptions(bar);
  if (HMENU first = GetSubMenu(bar, kFirstMenu))
    InsertMenuA(first, kJumpPosition, MF_BYPOSITION | MF_STRING, IDM_HOST_JUMP_SUPERNODE,
                Text(IDS_MENU_JUMP_SUPERNODE).text);
  if (HMENU view = GetSubMenu(bar, kViewMenu)) {
    InsertMenuA(view, kAlwaysOnTopPosition, MF_BYPOSITION | MF_STRING, IDM_HOST_ALWAYS_ON_TOP,
                Text(IDS_MENU_ALWAYS_ON_TOP).text);
    InsertMenuA(view, kViewSeparatorPosition, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    InsertMenuA(view, kStatusWindowPosition, MF_BYPOSITION | MF_STRING, IDM_HOST_STATUS_WINDOW,
                Text(IDS_MENU_STATUS_WINDOW).text);
  }
}

void MoveTools(HMENU bar) {
  if (ToolsPlacement == 1) {
    RemoveMenu(bar, kToolsBarPosition, MF_BYPOSITION);  // the popup itself stays alive
    AppendToolsUnderOptions(bar);
    return;
  }
  if (HMENU options = GetSubMenu(bar, kOptionsMenu)) {
    int count = GetMenuItemCount(options);
    if (count >= 2) {
      RemoveMenu(options, count - 1, MF_BYPOSITION);
      RemoveMenu(options, count - 2, MF_BYPOSITION);
    }
  }
  InsertToolsInBar(bar);
}

// Replaces an item's text by command, keeping its state (default, checked, grayed).
void SetItemText(HMENU menu, UINT id, UINT textId) {
  Text text(textId);
  MENUITEMINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = text.text;
  SetMenuItemInfoA(menu, id, FALSE, &info);
}

void EnableRange(HMENU popup, UINT first, UINT last) {
  for (UINT id = first; id <= last; ++id) EnableMenuItem(popup, id, MF_BYCOMMAND | MF_ENABLED);
}
}  // namespace

int InstallMenus(HWND window, int move) {
  if (move) {
    if (InstalledMenus.empty() || CurrentOptions.AddToMainMenu == ToolsPlacement) return 0;
    for (HMENU bar : InstalledMenus)
      if (IsMenu(bar)) MoveTools(bar);
    ToolsPlacement = CurrentOptions.AddToMainMenu;
    DrawMenuBar(window);
    return 0;
  }
  LinkBuildToolsMenus();
  if (InstalledMenus.empty()) ToolsPlacement = CurrentOptions.AddToMainMenu;
  HMENU bar = GetMenu(window);
  if (!bar) return 0;
  if (std::find(InstalledMenus.begin(), InstalledMenus.end(), bar) != InstalledMenus.end()) return 0;
  InstalledMenus.push_back(bar);
  InstallInto(bar);
  return 1;
}

void UpdatePopupItems(HMENU popup) {
  if (!popup) return;
  EnableRange(popup, kToolIdsFirst, kToolIdsLast);
  EnableRange(popup, kPreviewIdsFirst, kPreviewIdsLast);
  EnableRange(popup, kModuleIdsFirst, kModuleIdsLast);
  CheckMenuItem(popup, IDM_HOST_STATUS_WINDOW, MF_BYCOMMAND | (LinkStatusWindowVisible() ? MF_CHECKED : MF_UNCHECKED));
  if (HostMainWindow && !IsWindowEnabled(HostMainWindow)) {
    EnableMenuItem(popup, IDM_TRAY_JUMP_SUPERNODE, MF_BYCOMMAND | MF_GRAYED);
    EnableMenuItem(popup, IDM_TRAY_EXIT, MF_BYCOMMAND | MF_GRAYED);
  }
  const UINT toggleText = LinkAcceleratorRunning() ? IDS_ACCEL_DISABLE : IDS_ACCEL_ENABLE;
  if (popup == TrayMenu) {
    const bool visible = HostMainWindow && IsWindowVisible(HostMainWindow);
    SetItemText(popup, IDM_TRAY_WINDOW, visible ? IDS_TRAY_HIDE_HOST : IDS_TRAY_SHOW_HOST);
    SetItemText(popup, IDM_ACCEL_TOGGLE, toggleText);
  } else if (popup == LinkAcceleratorPopup()) {
    SetItemText(popup, IDM_ACCEL_TOGGLE, toggleText);
  } else {
    CheckMenuItem(popup, IDM_HOST_ALWAYS_ON_TOP,
                  MF_BYCOMMAND | (CurrentLastState.AlwaysOnTop ? MF_CHECKED : MF_UNCHECKED));
  }
}

}  // namespace va
