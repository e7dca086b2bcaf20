// host_actions_win: JumpSuperNode, OpenSharedFolder and the show/hide steps.
#include "extension/hostui/host_actions_win.h"

#include <shellapi.h>

#include <string>

#include "common/registry_store.h"
#include "extension/core/host_ids.h"

namespace va {
namespace {
const char kLocalContentKey[] = "SOFTWARE\\Vexlo\\LocalContent";
}

void JumpSuperNode(HWND window) {
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(host::kCmdJumpSuperNodeB, 0), 0);
  Sleep(kJumpSuperNodePauseMs);
  SendMessageA(window, WM_COMMAND, MAKEWPARAM(host::kCmdJumpSuperNodeA, 0), 0);
}

void OpenSharedFolder(HWND window) {
  std::string folder = ReadRegText(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir");
  // Without a folder the shell would open whatever the empty name means to it.
  if (folder.empty()) return;
  ShellExecuteA(window, nullptr, folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void RestoreHostWindow(HWND window) {
  SetForegroundWindow(window);
  ShowWindow(window, SW_SHOW);
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
}

void HideHostIntoTray(HWND window) {
  ShowWindow(window, SW_MINIMIZE);
  ShowWindow(window, SW_HIDE);
}

}  // namespace va
