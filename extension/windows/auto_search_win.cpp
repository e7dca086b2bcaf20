// auto_search_win: AutoSearchMoreThread, which binds the Auto Search More loop of
// auto_search.cpp to the host's search form, status bar and results list, the
// status window's Search page and the panel; and the start and stop requests.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "common/extension_options.h"
#include "common/registry_store.h"
#include "extension/core/host_ids.h"
#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "extension/windows/auto_search.h"
#include "extension/windows/search_panel_win.h"
#include "extension/windows/status_window_win.h"

namespace va {
namespace {

const char kSkinsKey[] = "SOFTWARE\\Vexlo\\Skins";
const char kCurrentSkinValue[] = "CurrentSkin";
constexpr int kStringCapacity = 256;  // host and module strings: at most 255 characters
constexpr int kConnectionPane = 2;

std::string LoadText(HINSTANCE module, int id) {
  char text[kStringCapacity] = "";
  if (module) LoadStringA(module, static_cast<UINT>(id), text, kStringCapacity);
  return text;
}

// The host's controls are looked up at each use: the host may rebuild them.
class RealAutoSearchPort : public AutoSearchPort {
 public:
  explicit RealAutoSearchPort(HWND searchForm) : form_(searchForm) {}

  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
  bool SkinActive() override { return !ReadRegText(HKEY_CURRENT_USER, kSkinsKey, kCurrentSkinValue).empty(); }
  std::string HostText(int id) override { return LoadText(HostResourceModule, id); }
  std::string Text(int id) override { return LoadText(ModuleInstance, id); }

  bool SearchButtonActive() override {
    // A search form that no longer exists runs no search either: the run ends.
    if (!IsWindow(form_)) return true;
    HWND button = GetDlgItem(form_, host::kSearchButtonId);
    // The host hides its search button while a search runs: its own style bit counts.
    return button && (GetWindowLongPtrA(button, GWL_STYLE) & WS_VISIBLE) != 0 && IsWindowEnabled(button);
  }
  bool SearchMoreEnabled() override {
    HWND button = GetDlgItem(form_, host::kSearchMoreButtonId);
    return button && IsWindowEnabled(button);
  }
  void PressSearchMore() override {
    HWND button = GetDlgItem(form_, host::kSearchMoreButtonId);
    SendMessageA(form_, WM_COMMAND, MAKEWPARAM(host::kSearchMoreButtonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  }
  std::string ConnectionText() override {
    return HostStatusPaneText(form_, kConnectionPane);
  }
  uint32_t ResultCount() override {
    HWND pane = GetDlgItem(GetParent(form_), host::kPaneSecondId);
    HWND list = GetDlgItem(GetDlgItem(pane, host::kResultsHolderId), host::kResultsListId);
    return list ? static_cast<uint32_t>(SendMessageA(list, TVM_GETCOUNT, 0, 0)) : 0;
  }
  void ShowText(int control, const std::string& text) override {
    SetStatusText(IDD_STATUS_SEARCH, control, text.c_str());
  }
  void ShowProgress(uint32_t value) override {
    SendStatusItemMessage(IDD_STATUS_SEARCH, IDC_AUTO_SEARCH_PROGRESS, PBM_SETPOS, value, 0);
  }
  void Beep() override { MessageBeep(0); }
  void PanelRunning(bool running) override { SetSearchPanelRunning(running); }

 private:
  HWND form_;
};

// Written by the starter before the thread exists; only one run at a time.
AutoSearchLimit PendingLimit;
HWND PendingForm = nullptr;

DWORD WINAPI AutoSearchMoreThread(LPVOID) {
  RealAutoSearchPort port(PendingForm);
  AutoSearchEngine engine(port, PendingLimit, AutoSearchState);
  engine.Run();
  return 0;
}

}  // namespace

bool StartAutoSearchMoreIfAllowed(HWND searchForm) {
  if (CurrentLastState.AutoSearchMore != 1) return false;
  if (IsDlgButtonChecked(searchForm, host::kSearchCheckId) != BST_CHECKED) return false;
  if (!ClaimAutoSearch(AutoSearchState)) return false;
  // The limit and unit of this moment; later changes do not affect this run.
  PendingLimit = AutoSearchLimit{CurrentLastState.AutoSearchMoreNum, CurrentLastState.AutoSearchMoreUnit};
  PendingForm = searchForm;
  HANDLE thread = CreateThread(nullptr, 0, AutoSearchMoreThread, nullptr, 0, nullptr);
  if (!thread) {
    AutoSearchState.store(kAutoSearchIdle);
    return false;
  }
  CloseHandle(thread);
  return true;
}

bool StopAutoSearchMore() { return RequestAutoSearchStop(AutoSearchState); }

}  // namespace va
