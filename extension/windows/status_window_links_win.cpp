// status_window_links: what the status window reads from the rest of the module
// (the remembered state, the host's panel and windows, the ad banner option, the
// search panel, the accelerator), gathered here so the window itself depends on
// no other part.
#include "common/extension_options.h"
#include "extension/accelerator/accelerator_engine.h"
#include "extension/core/addon_host.h"
#include "extension/core/module_state.h"
#include "extension/windows/search_panel_win.h"
#include "extension/windows/status_window_win.h"

namespace va {

StatusWindowPlace& StatusPlace() { return CurrentLastState.StatusWnd; }
uint32_t& StatusPage() { return CurrentLastState.StatusDlg; }
HWND StatusPanelWindow() { return HostPanelWindow; }
bool StatusHideAdBanner() { return CurrentOptions.HideAdBanner == 1; }
bool StatusSearchWindowKnown() { return SearchWindow != nullptr; }
bool StatusTrafficWindowKnown() { return TrafficWindow != nullptr; }
// The search options panel's Auto Search More box is enabled until that panel
// starts its work; without the panel it reads as enabled.
bool StatusAutoSearchBoxEnabled() { return AutoSearchBoxEnabled(); }
bool StatusAcceleratorStopped() { return AcceleratorShared.control.load() == kAcceleratorStopped; }

}  // namespace va
