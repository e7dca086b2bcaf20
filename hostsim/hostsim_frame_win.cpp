// hostsim_frame_win: the main frame's window procedure and the host's commands,
// each with a simple visible effect. Every command that reaches the host is
// logged with the selected download row.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include "extension/core/host_ids.h"
#include "hostsim/hostsim_state.h"
#include "hostsim/resources/resource.h"

namespace va::hostsim {
namespace {

using namespace va::host;

void ActivateFrame(HWND frame) {
  if (!frame) return;
  if (IsIconic(frame)) ShowWindow(frame, SW_RESTORE);
  SendMessageA(g.mdiClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
}

// 113 and 32788 create their window first when the scenario lets the command do so.
void ShowView(HWND* frame, const WindowPlan& plan, void (*create)()) {
  if (!*frame && plan.appear == Appear::OnCommand) create();
  ActivateFrame(*frame);
}

void SetSelectedStatus(int stringId) {
  HostDownload* d = DownloadAt(SelectedDownloadIndex());
  if (d) SetDownloadStatus(d, LoadHostString(stringId));
}

// Commands whose work belongs to the host's engine show what they would do.
const char* CommandEcho(int id) {
  switch (id) {
    case kCmdAccelerate: return "Searching for more sources";
    case kCmdClearUploads: return "Cleared finished uploads";
    case kCmdFindAlbum: return "Searching for the same album";
    case kCmdFindArtist: return "Searching for the same artist";
    case kCmdFindUser: return "Browsing the same user";
    case kCmdJumpSuperNodeA:
    case kCmdJumpSuperNodeB: return "Jumping to another supernode";
    case kCmdTheater: return "Playing in Theater";
    case kCmdPreview: return "Previewing the download in Theater";
    default: return nullptr;
  }
}

void LogCommand(int id) {
  int row = SelectedDownloadIndex();
  HostDownload* d = DownloadAt(row);
  Log("command %d row=%d title=%s", id, row, d ? d->row.title.c_str() : "");
}

// A busy host: while it works on a download command it keeps answering what
// other threads send it (scenario command_pump_ms), so their calls can come in
// between two commands of the module.
void PumpSentMessages(int id) {
  if (g.scenario.commandPumpMs <= 0 || (id != kCmdPause && id != kCmdResume && id != kCmdAccelerate)) return;
  const DWORD start = GetTickCount();
  for (;;) {
    const DWORD elapsed = GetTickCount() - start;
    if (elapsed >= static_cast<DWORD>(g.scenario.commandPumpMs)) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, g.scenario.commandPumpMs - elapsed, QS_SENDMESSAGE);
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

void OnTimer(HWND window, UINT_PTR timer) {
  KillTimer(window, timer);
  switch (timer) {
    case kTimerSecondPanel: CallServiceShow(1, g.secondPanel); break;
    case kTimerExit: PostMessageA(g.main, WM_COMMAND, MAKEWPARAM(kCmdExit, 0), 0); break;
    case kTimerSearchWindow: CreateSearchWindow(); break;
    case kTimerTrafficWindow: CreateTrafficWindow(); break;
    case kTimerLibraryWindow: CreateLibraryWindow(); break;
  }
}

void OnCallServiceShow() {
  if (g.scenario.serviceShow) CallServiceShow(0, g.panel);
  CallDescWrite();
  // 0: the second panel is handed over at once, before the module's InitMessage
  // is handled.
  if (g.scenario.serviceShow && g.scenario.secondPanelMs == 0) CallServiceShow(1, g.secondPanel);
  if (g.scenario.serviceShow && g.scenario.secondPanelMs > 0)
    SetTimer(g.main, kTimerSecondPanel, static_cast<UINT>(g.scenario.secondPanelMs), nullptr);
}

}  // namespace

void HandleHostCommand(int id) {
  switch (id) {
    case kCmdShowWeb: CreateWebWindow(); ActivateFrame(g.webFrame); break;
    case kCmdShowSearch: ShowView(&g.searchFrame, g.scenario.search, CreateSearchWindow); break;
    case kCmdShowTraffic: ShowView(&g.trafficFrame, g.scenario.traffic, CreateTrafficWindow); break;
    case IDM_HOST_LIBRARY: ActivateFrame(g.libraryFrame); break;
    case kCmdExit:
      CallServiceClose();
      DestroyWindow(g.main);
      break;
    case kCmdPause: SetSelectedStatus(kStringPaused); break;
    case kCmdResume: SetSelectedStatus(kStringQueued); break;
    case IDM_HOST_CANCEL: SetSelectedStatus(kStringCancelled); break;
    case kCmdClearDownloads: ClearFinishedDownloads(); break;
    case kCmdNewSearch:
      CreateSearchWindow();
      ActivateFrame(g.searchFrame);
      SetDlgItemTextA(g.searchForm, kSearchTextId, "");
      SetDlgItemTextA(g.searchForm, kSearchStatusId, "");
      break;
    case kCmdAbout: ShowHostAbout(); break;
    case IDM_HOST_SHARED_FOLDER: {
      std::string folder = g.folder + "Shared";
      CreateDirectoryA(folder.c_str(), nullptr);
      ShellExecuteA(g.main, "open", folder.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      break;
    }
    case IDM_HOST_CASCADE: SendMessageA(g.mdiClient, WM_MDICASCADE, 0, 0); break;
    case IDM_HOST_TILE: SendMessageA(g.mdiClient, WM_MDITILE, MDITILE_HORIZONTAL, 0); break;
    case IDM_HOST_CONNECT:
      SendMessageA(g.statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>("Connected"));
      break;
    case IDM_HOST_DISCONNECT: {
      std::string text = LoadHostString(kStringNotConnected);
      SendMessageA(g.statusBar, SB_SETTEXTA, 2, reinterpret_cast<LPARAM>(text.c_str()));
      break;
    }
    default:
      if (const char* echo = CommandEcho(id)) SendMessageA(g.statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(echo));
      break;
  }
}

LRESULT CALLBACK MainFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SIZE:
      LayoutMainFrame();
      return 0;
    case WM_COMMAND:
      if (lParam == 0 || HIWORD(wParam) == 0) {
        int id = LOWORD(wParam);
        LogCommand(id);
        HandleHostCommand(id);
        PumpSentMessages(id);
        if (id != kCmdExit) return DefFrameProcA(window, g.mdiClient, message, wParam, lParam);
        return 0;
      }
      break;
    case WM_TIMER:
      OnTimer(window, wParam);
      return 0;
    case kMsgCallServiceShow:
      OnCallServiceShow();
      return 0;
    case kMsgRebuildRows:
      RebuildRowTexts();
      return 0;
    case kMsgSync:
      Log("synced %d", static_cast<int>(wParam));
      return 0;
    case WM_CLOSE:
      PostMessageA(window, WM_COMMAND, MAKEWPARAM(kCmdExit, 0), 0);
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefFrameProcA(window, g.mdiClient, message, wParam, lParam);
}

}  // namespace va::hostsim
