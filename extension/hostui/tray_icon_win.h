// tray_icon_win: the module's notification-area icon: the base icon (custom file
// or the host's icon 283), the three status icons, and UpdateTrayIcon, the only
// operation that touches the icon.
#pragma once
#include <windows.h>
#include <shellapi.h>

#include "extension/hostui/tray_rules.h"

namespace va {

inline constexpr UINT kTrayIconId = 216;
inline constexpr UINT kTrayCallbackMessage = WM_USER + 10;
inline constexpr int kHostTrayIconResource = 283;

extern HICON BaseTrayIcon;
extern HICON RunningIcon;
extern HICON DisabledIcon;
extern HICON IdleIcon;

// Carries out one of the modes of tray_rules.h (1 to 7). The record, its shown
// flag and the composed icons belong to the main frame's thread: called from any
// other thread, it posts TrayUpdateMessage (wParam the mode) to the main frame,
// whose procedure calls it again there.
void UpdateTrayIcon(int mode);
UINT TrayUpdateMessage();

// TrayIconShown: 1 added, 0 removed, -1 not yet determined. For tests and the
// status readers; changes nothing.
int TrayIconShownState();
// The icon handle the record currently carries.
HICON CurrentTrayIcon();

}  // namespace va
