// host_actions_win: small actions of the main window's commands.
#pragma once
#include <windows.h>

namespace va {
// Sends the host's pair 32891, then 32890 after 500 ms (both synchronous).
void JumpSuperNode(HWND window);
inline constexpr DWORD kJumpSuperNodePauseMs = 500;
// Opens the host's download folder (DownloadDir) in the shell.
void OpenSharedFolder(HWND window);
// Shows the hidden host again, in front and restored.
void RestoreHostWindow(HWND window);
// Minimizes the host, then hides it: it lives on in the tray.
void HideHostIntoTray(HWND window);
}  // namespace va
