// options_appearance_page_win: the options dialog's "Appearance" page (dialog 202):
// the custom tray icon with its preview, the toolbar bitmap, the ad banner, where
// the Tools menu goes and the tray's accelerator state.
#include <windows.h>

#include <string>

#include "common/dialog_utils.h"
#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/hostui/help_popup_win.h"
#include "extension/hostui/tray_icon_win.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_page_controls_win.h"
#include "extension/windows/options_pages_win.h"

namespace va {
namespace {

// The page's working state, kept in DWLP_USER from creation to destruction.
struct AppearancePage {
  std::string iconPath;    // the pending tray icon file
  std::string bitmapPath;  // the pending toolbar bitmap file
  HICON preview = nullptr; // owned: the icon shown in 1098
};

AppearancePage* State(HWND page) { return reinterpret_cast<AppearancePage*>(GetWindowLongPtrA(page, DWLP_USER)); }

// "description\0pattern\0" pairs for the file picker.
std::string PickerFilter(int descriptionId, const char* pattern) {
  std::string filter = ModuleText(descriptionId);
  filter += '\0';
  filter += pattern;
  filter += '\0';
  filter += ModuleText(IDS_ALL_FILES);
  filter += '\0';
  filter += "*.*";
  filter += '\0';
  return filter;
}

// Shows the pending icon at small-icon size, or the host's own tray icon when the
// box is unchecked, no file is chosen or the file cannot be loaded.
void UpdatePreview(HWND page, AppearancePage* state) {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  HICON icon = nullptr;
  if (IsItemChecked(page, IDC_OPT_TRAY_ICON) && !state->iconPath.empty())
    icon = static_cast<HICON>(LoadImageA(nullptr, state->iconPath.c_str(), IMAGE_ICON, cx, cy, LR_LOADFROMFILE));
  if (!icon) {
    HMODULE host = HostResourceModule ? HostResourceModule : GetModuleHandleA(nullptr);
    icon = static_cast<HICON>(LoadImageA(host, MAKEINTRESOURCEA(kHostTrayIconResource), IMAGE_ICON, cx, cy, 0));
  }
  SendDlgItemMessageA(page, IDC_OPT_TRAY_ICON_PREVIEW, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  if (state->preview) DestroyIcon(state->preview);
  state->preview = icon;
}

void FollowTrayIcon(HWND page) {
  EnableItem(page, IDC_OPT_TRAY_ICON_SELECT, IsItemChecked(page, IDC_OPT_TRAY_ICON));
  UpdatePreview(page, State(page));
}

void FollowToolbarBitmap(HWND page) {
  EnableItem(page, IDC_OPT_TOOLBAR_BITMAP_SELECT, IsItemChecked(page, IDC_OPT_TOOLBAR_BITMAP));
}

void FollowHideAdBanner(HWND page) { ShowItem(page, IDC_OPT_AD_BANNER_NOTE, IsItemChecked(page, IDC_OPT_HIDE_AD_BANNER)); }

void OnInitPage(HWND page) {
  auto* state = new AppearancePage;
  SetWindowLongPtrA(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
  const ExtensionOptions& options = CurrentOptions;
  state->iconPath = options.TrayIcon;
  state->bitmapPath = options.ToolBarBitmap;
  CheckItem(page, IDC_OPT_TRAY_ICON, !options.TrayIcon.empty());
  CheckItem(page, IDC_OPT_TOOLBAR_BITMAP, !options.ToolBarBitmap.empty());
  CheckItem(page, IDC_OPT_HIDE_AD_BANNER, options.HideAdBanner);
  CheckItem(page, options.AddToMainMenu ? IDC_OPT_TOOLS_IN_MAIN_MENU : IDC_OPT_TOOLS_IN_OPTIONS, true);
  CheckItem(page, IDC_OPT_NO_TOOLS_ICONS, options.NoToolsIcons);
  CheckItem(page, IDC_OPT_SHOW_ACCEL_IN_TRAY, options.ShowAccelSttInTray);
  SendDlgItemMessageA(page, IDC_OPT_AD_BANNER_NOTE, STM_SETICON, reinterpret_cast<WPARAM>(OptionsNoteIcon), 0);
  SendDlgItemMessageA(page, IDC_OPT_STATUS_NOTE_ICON, STM_SETICON, reinterpret_cast<WPARAM>(OptionsInfoIcon), 0);
  FollowTrayIcon(page);
  FollowToolbarBitmap(page);
  FollowHideAdBanner(page);
  AttachPageTooltips(page, IDC_OPT_TRAY_ICON, IDC_OPT_SHOW_ACCEL_IN_TRAY);
}

void PickTrayIcon(HWND page) {
  std::string chosen = PickOpenFile(page, "", PickerFilter(IDS_ICON_FILES, "*.ICO"));
  if (chosen.empty()) return;
  State(page)->iconPath = chosen;
  UpdatePreview(page, State(page));
}

void PickToolbarBitmap(HWND page) {
  std::string chosen = PickOpenFile(page, "", PickerFilter(IDS_BITMAP_FILES, "*.BMP"));
  if (!chosen.empty()) State(page)->bitmapPath = chosen;
}

void OnCommand(HWND page, WPARAM wParam) {
  const int id = LOWORD(wParam);
  if (id == IDC_OPT_AD_BANNER_NOTE) {
    if (HIWORD(wParam) == STN_CLICKED) ShowHelpPopup(page, ModuleText(IDC_OPT_AD_BANNER_NOTE).c_str());
    return;
  }
  if (HIWORD(wParam) != BN_CLICKED) return;
  switch (id) {
    case IDC_OPT_TRAY_ICON: FollowTrayIcon(page); break;
    case IDC_OPT_TRAY_ICON_SELECT: PickTrayIcon(page); break;
    case IDC_OPT_TOOLBAR_BITMAP: FollowToolbarBitmap(page); break;
    case IDC_OPT_TOOLBAR_BITMAP_SELECT: PickToolbarBitmap(page); break;
    case IDC_OPT_HIDE_AD_BANNER: FollowHideAdBanner(page); break;
  }
}

void OnApply(HWND page) {
  const AppearancePage* state = State(page);
  ExtensionOptions next = CurrentOptions;
  next.TrayIcon = IsItemChecked(page, IDC_OPT_TRAY_ICON) ? state->iconPath : std::string();
  next.ToolBarBitmap = IsItemChecked(page, IDC_OPT_TOOLBAR_BITMAP) ? state->bitmapPath : std::string();
  next.HideAdBanner = IsItemChecked(page, IDC_OPT_HIDE_AD_BANNER);
  next.AddToMainMenu = IsItemChecked(page, IDC_OPT_TOOLS_IN_MAIN_MENU);
  next.NoToolsIcons = IsItemChecked(page, IDC_OPT_NO_TOOLS_ICONS);
  next.ShowAccelSttInTray = IsItemChecked(page, IDC_OPT_SHOW_ACCEL_IN_TRAY);
  SaveExtensionOptions(next);
}

void OnDestroy(HWND page) {
  AppearancePage* state = State(page);
  if (!state) return;
  SendDlgItemMessageA(page, IDC_OPT_TRAY_ICON_PREVIEW, STM_SETICON, 0, 0);
  if (state->preview) DestroyIcon(state->preview);
  SetWindowLongPtrA(page, DWLP_USER, 0);
  delete state;
}

}  // namespace

INT_PTR CALLBACK AppearancePageProc(HWND page, UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG: OnInitPage(page); return TRUE;
    case WM_COMMAND:
      if (State(page)) OnCommand(page, wParam);
      return TRUE;
    case kOptionsApplyMessage:
      if (State(page)) OnApply(page);
      return TRUE;
    case WM_DESTROY: OnDestroy(page); return FALSE;
  }
  return FALSE;
}

}  // namespace va
