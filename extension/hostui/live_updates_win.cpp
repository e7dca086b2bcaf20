// live_updates_win: what happens at once when the options dialog saves a changed
// setting that belongs to the host window.
#include "common/extension_options.h"
#include "extension/core/addon_host.h"
#include "extension/core/module_state.h"
#include "extension/hostui/feature_links_win.h"
#include "extension/hostui/host_layout_win.h"
#include "extension/hostui/host_menus_win.h"
#include "extension/hostui/main_window.h"
#include "extension/hostui/tray_icon_win.h"

namespace va {
namespace {

void ChangeSystemButtonChanged() {
  if (HostMainWindow)
    SetWindowPos(HostMainWindow, nullptr, 0, 0, 0, 0,
                 SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateTrayIcon(kTrayRecreate);
}

// The one owner of HideAdBanner's update: the host's bars and the status window
// both follow it.
void HideAdBannerChanged() {
  if (CurrentOptions.HideAdBanner) {
    LinkStatusHideAdBannerChanged(true);
    LayoutWithoutAdBanner();
    return;
  }
  // The host lays out its own bars again on its next resize; the add-on panel in
  // the banner's row was hidden by this module, so only this module shows it again.
  if (HostPanelWindow) ShowWindow(HostPanelWindow, SW_SHOWNA);
  if (HostMainWindow) {
    RECT client;
    GetClientRect(HostMainWindow, &client);
    PostMessageA(HostMainWindow, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  }
  LinkStatusHideAdBannerChanged(false);
}

void AddToMainMenuChanged() { InstallMenus(HostMainWindow, 1); }
void TrayIconChanged() { UpdateTrayIcon(kTrayIconChanged); }
void ShowAcceleratorStateChanged() { UpdateTrayIcon(kTrayShowStateChanged); }
void AcceleratorStateChanged() { UpdateTrayIcon(kTrayStateChanged); }

}  // namespace

void RegisterHostUiLiveUpdates() {
  SetOptionLiveUpdate(kOptChangeSystemBtn, ChangeSystemButtonChanged);
  SetOptionLiveUpdate(kOptHideAdBanner, HideAdBannerChanged);
  SetOptionLiveUpdate(kOptAddToMainMenu, AddToMainMenuChanged);
  SetOptionLiveUpdate(kOptTrayIcon, TrayIconChanged);
  SetOptionLiveUpdate(kOptToolBarBitmap, ApplyToolbarBitmap);
  SetOptionLiveUpdate(kOptShowAccelSttInTray, ShowAcceleratorStateChanged);
  LinkSetAcceleratorTrayRedraw(AcceleratorStateChanged);
}

}  // namespace va
