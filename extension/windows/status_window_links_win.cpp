// status_window_links: what the status window reads from the rest of the module
// (the host's panel and windows, the ad banner option, the search panel, the
// accelerator), gathered here so the window itself depends on no other part.
#include "extension/accelerator/accelerator_engine.h"
#include "extension/windows/status_window_win.h"

namespace va {

namespace {
StatusWindowPlace RememberedPlace;
uint32_t RememberedPage = 0;
}  // namespace

StatusWindowPlace& StatusPlace() { return RememberedPlace; }
uint32_t& StatusPage() { return RememberedPage; }

HWND StatusPanelWindow() { return nullptr; }
bool StatusHideAdBanner() { return false; }
bool StatusSearchWindowKnown() { return false; }
bool StatusTrafficWindowKnown() { return false; }
bool StatusAutoSearchBoxEnabled() { return true; }
bool StatusAcceleratorStopped() { return AcceleratorShared.control.load() == kAcceleratorStopped; }

}  // namespace va
