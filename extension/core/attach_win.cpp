// attach_win: AttachToHost (settings, the main frame's subclass, the finder, the
// organizer, the add-ons) and InitAfterAttach (menus, tray, title button, layout).
#include <windows.h>

#include "common/extension_options.h"
#include "extension/accelerator/accelerator_settings_win.h"
#include "extension/accelerator/download_list_win.h"
#include "extension/core/addon_host.h"
#include "extension/core/attach.h"
#include "extension/core/hidden_text.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/menus/tools_menu_win.h"
#include "extension/organizer/organizer.h"
#include "extension/windows/status_window_win.h"
#include "extension/hostui/host_layout_win.h"
#include "extension/hostui/main_window.h"
#include "extension/hostui/title_button_win.h"
#include "extension/hostui/tray_icon_win.h"
#include "extension/hostui/tray_menu_win.h"

namespace va {
namespace {

// The host's resources live in this library when the host has it loaded.
const char kHostResourceLibrary[] = "VPP.DLL";
// NONCLIENTMETRICSA as the module reads it (without the later padded border).
constexpr UINT kNonClientMetricsSize = 340;
static_assert(sizeof(NONCLIENTMETRICSA) == kNonClientMetricsSize, "NONCLIENTMETRICSA must be the 340-byte layout");

bool attachedOnce = false;

void LoadSettings() {
  LoadExtensionOptions();
  LoadAcceleratorSettings();
  LoadTools();
  LoadFilters();
  LoadAddOnList();
  LoadLastState();
  LoadDownloadColumnMapFrom(HostResourceModule, DownloadColumns);
}

void SubclassMainFrame(HWND main) {
  // The old procedure is known before the new one can be called.
  PreviousMainProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(main, GWLP_WNDPROC));
  auto old = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(main, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(MainWindowProc)));
  if (old) PreviousMainProc = old;
}

void StartFinder() {
  HANDLE thread = CreateThread(nullptr, 0, WindowFinderThread, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

void CreateMenuFont() {
  NONCLIENTMETRICSA metrics = {};
  metrics.cbSize = kNonClientMetricsSize;
  if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, kNonClientMetricsSize, &metrics, 0))
    MenuFont = CreateFontIndirectA(&metrics.lfMenuFont);
}

}  // namespace

void AttachToHost(HWND window) {
  HWND main = window ? GetParent(window) : nullptr;
  // Attaching twice would load the add-ons and start the finder twice.
  if (attachedOnce || !main) return;
  attachedOnce = true;
  HostResourceModule = GetModuleHandleA(kHostResourceLibrary);
  if (!HostResourceModule) HostResourceModule = GetModuleHandleA(nullptr);
  DecodeHiddenText(kCaptionTextNumber, CaptionText, kCaptionTextSize);
  LoadSettings();
  HostMainWindow = main;
  SubclassMainFrame(main);
  PostMessageA(main, InitMessage, 0, 0);
  StartFinder();
  PrepareOrganizer();
  CreateMenuFont();
  LoadAddOns();
}

void InitAfterAttach(HWND mainWindow) {
  RegisterHostUiLiveUpdates();
  TaskbarCreatedMessage = RegisterWindowMessageA("TaskbarCreated");
  BuildTrayMenu();
  MDIClientWindow = FindWindowExA(mainWindow, nullptr, "MDIClient", nullptr);
  SubclassMDIClient(MDIClientWindow);
  if (CurrentOptions.HideAdBanner) LayoutWithoutAdBanner();
  InitTitleButton(mainWindow);
  if (CurrentLastState.StatusWnd.shown) ToggleStatusWindow(mainWindow);
  if (CurrentOptions.StartVAInTray) ShowWindow(mainWindow, SW_HIDE);
  UpdateTrayIcon(kTrayRecreate);
  if (!CurrentOptions.ToolBarBitmap.empty()) ApplyToolbarBitmap();
  if (CurrentLastState.AlwaysOnTop) SetWindowPos(mainWindow, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (HostSecondPanelWindow) {
    ShowWindow(HostSecondPanelWindow, SW_HIDE);
    DestroyWindow(HostSecondPanelWindow);
    HostSecondPanelWindow = nullptr;
  }
}

}  // namespace va
