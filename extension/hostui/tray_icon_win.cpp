// tray_icon_win: the tray icon (decisions in tray_rules.cpp, composing in
// icon_images_win.cpp).
#include "extension/hostui/tray_icon_win.h"

#include <cstring>

#include "common/extension_options.h"
#include "extension/core/module_state.h"
#include "extension/hostui/feature_links_win.h"
#include "extension/hostui/icon_images_win.h"
#include "extension/resources/resource.h"

namespace va {

HICON BaseTrayIcon = nullptr;
HICON RunningIcon = nullptr;
HICON DisabledIcon = nullptr;
HICON IdleIcon = nullptr;

namespace {
// The first, shortest layout of the record (88 bytes in the 32-bit module).
constexpr DWORD kTrayRecordSize = NOTIFYICONDATAA_V1_SIZE;
#if defined(_WIN32) && !defined(_WIN64)
static_assert(kTrayRecordSize == 88, "the tray record is the 88-byte layout");
#endif
constexpr size_t kTipSize = 64;

NOTIFYICONDATAA TrayIconData;
bool recordFilled = false;
int trayIconShown = kTrayShownUnknown;

void LoadBaseIcon() {
  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  BaseTrayIcon = nullptr;
  if (!CurrentOptions.TrayIcon.empty())
    BaseTrayIcon = static_cast<HICON>(
        LoadImageA(nullptr, CurrentOptions.TrayIcon.c_str(), IMAGE_ICON, cx, cy, LR_LOADFROMFILE | LR_SHARED));
  if (!BaseTrayIcon)
    BaseTrayIcon = static_cast<HICON>(
        LoadImageA(HostResourceModule, MAKEINTRESOURCEA(kHostTrayIconResource), IMAGE_ICON, cx, cy, LR_SHARED));
}

void DestroyComposed() {
  for (HICON* icon : {&RunningIcon, &DisabledIcon, &IdleIcon}) {
    if (*icon) DestroyIcon(*icon);
    *icon = nullptr;
  }
}

void ComposeAll() {
  DestroyComposed();
  if (!BaseTrayIcon) return;
  RunningIcon = ComposeStatusIcon(BaseTrayIcon, StatusSquareColour(TrayIconKind::Running));
  DisabledIcon = ComposeStatusIcon(BaseTrayIcon, StatusSquareColour(TrayIconKind::Disabled));
  IdleIcon = ComposeStatusIcon(BaseTrayIcon, StatusSquareColour(TrayIconKind::Idle));
}

HICON IconFor(TrayIconKind kind) {
  HICON icon = nullptr;
  switch (kind) {
    case TrayIconKind::Running: icon = RunningIcon; break;
    case TrayIconKind::Disabled: icon = DisabledIcon; break;
    case TrayIconKind::Idle: icon = IdleIcon; break;
    case TrayIconKind::Base: break;
  }
  return icon ? icon : BaseTrayIcon;  // a status icon that could not be made
}

void SelectIcon() {
  TrayIconData.hIcon = IconFor(SelectTrayIcon(CurrentOptions.ShowAccelSttInTray != 0, LinkAcceleratorStatus()));
}

void FillRecord() {
  std::memset(&TrayIconData, 0, sizeof TrayIconData);
  TrayIconData.cbSize = kTrayRecordSize;
  TrayIconData.hWnd = HostMainWindow;
  TrayIconData.uID = kTrayIconId;
  TrayIconData.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconData.uCallbackMessage = kTrayCallbackMessage;
  if (!BaseTrayIcon) {
    LoadBaseIcon();
    ComposeAll();
  }
  SelectIcon();
  trayIconShown = kTrayShownUnknown;
  LoadStringA(ModuleInstance, IDS_TRAY_TIP, TrayIconData.szTip, kTipSize);
  recordFilled = true;
}
}  // namespace

UINT TrayUpdateMessage() {
  static const UINT message = RegisterWindowMessageA("VAExtensions.TrayUpdate");
  return message;
}

void UpdateTrayIcon(int mode) {
  if (HostMainWindow && GetWindowThreadProcessId(HostMainWindow, nullptr) != GetCurrentThreadId()) {
    PostMessageA(HostMainWindow, TrayUpdateMessage(), static_cast<WPARAM>(mode), 0);
    return;
  }
  if (!recordFilled) FillRecord();
  TrayContext context;
  context.shown = trayIconShown;
  context.changeSystemButton = CurrentOptions.ChangeSystemBtn != 0;
  context.mainWindowVisible = HostMainWindow && IsWindowVisible(HostMainWindow);
  context.showAcceleratorState = CurrentOptions.ShowAccelSttInTray != 0;
  const TrayPlan plan = PlanTrayUpdate(mode, context);
  if (plan.reloadBase) {
    LoadBaseIcon();
    ComposeAll();
  }
  if (plan.selectIcon) SelectIcon();
  // Shell_NotifyIconA failures are ignored: TrayIconShown records the request.
  if (plan.remove) Shell_NotifyIconA(NIM_DELETE, &TrayIconData);
  if (plan.add) Shell_NotifyIconA(NIM_ADD, &TrayIconData);
  if (plan.modify) Shell_NotifyIconA(NIM_MODIFY, &TrayIconData);
  if (plan.destroyComposed && !plan.reloadBase) {
    DestroyComposed();
    TrayIconData.hIcon = BaseTrayIcon;  // never keep a destroyed handle in the record
  }
  trayIconShown = plan.shownAfter;
}

int TrayIconShownState() { return trayIconShown; }
HICON CurrentTrayIcon() { return TrayIconData.hIcon; }

}  // namespace va
