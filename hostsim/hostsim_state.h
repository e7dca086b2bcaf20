// hostsim_state: the stand-in host's process-wide state and the routines its files
// share. One UI thread owns all of it.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "extension/core/host_layout.h"
#include "hostsim/scenario.h"

namespace va::hostsim {

// Private messages of the main frame.
inline constexpr UINT kMsgCallServiceShow = WM_APP + 1;
inline constexpr UINT kMsgRebuildRows = WM_APP + 2;
// Posted by the automation command "sync": logged when every message posted
// before it was handled.
inline constexpr UINT kMsgSync = WM_APP + 3;
// Timers of the main frame.
inline constexpr UINT_PTR kTimerSecondPanel = 1;
inline constexpr UINT_PTR kTimerExit = 2;
inline constexpr UINT_PTR kTimerSearchWindow = 3;
inline constexpr UINT_PTR kTimerTrafficWindow = 4;
inline constexpr UINT_PTR kTimerLibraryWindow = 5;
// The exit code of a host that ends by itself; the extension module ends the
// process with 0 before the host gets there.
inline constexpr int kHostOwnExitCode = 3;
// dwData of the automation WM_COPYDATA messages.
inline constexpr ULONG_PTR kAutomationTag = 0x56414853;
inline constexpr const char* kControlClass = "VaHostSimControl";
inline constexpr size_t kRowTextCapacity = 512;

// One download: the records the module reads stay at fixed addresses for the
// whole run (removed rows are kept until exit), and the row text is rewritten in
// place, so a pointer read by another thread never dangles.
struct HostDownload {
  DownloadRow row;
  alignas(8) unsigned char record[va::host::kDownloadRecordSize] = {};
  alignas(8) unsigned char detail[va::host::kDetailRecordSize] = {};
  char rowText[kRowTextCapacity] = {};
  std::string workingText;  // "\0<path>\0", the detail record points into it
  HTREEITEM item = nullptr;
  bool removed = false;
};

struct HostLibraryEntry {
  std::string name, folder;
  alignas(8) unsigned char record[va::host::kLibraryRecordSize] = {};
};

using ChannelFn4 = DWORD(WINAPI*)(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR);
using ServiceShowFn = DWORD(WINAPI*)(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR,
                                     DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR);
using ServiceCloseFn = DWORD(WINAPI*)(DWORD_PTR, DWORD_PTR, DWORD_PTR);
using DescWriteFn = DWORD(WINAPI*)(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR);

struct ModuleExports {
  HMODULE module = nullptr;
  ChannelFn4 channelWrite = nullptr;
  ChannelFn4 channelRead = nullptr;
  ServiceShowFn serviceShow = nullptr;
  ServiceCloseFn serviceClose = nullptr;
  DescWriteFn descWrite = nullptr;
};

struct HostState {
  Scenario scenario;
  HINSTANCE instance = nullptr;
  std::string folder;  // the host's own folder, with a trailing backslash
  HWND main = nullptr, mdiClient = nullptr, control = nullptr;
  HWND statusBar = nullptr, adBar = nullptr, playerBar = nullptr, rebar = nullptr;
  HWND panel = nullptr, secondPanel = nullptr;
  HWND webFrame = nullptr, searchFrame = nullptr, trafficFrame = nullptr, libraryFrame = nullptr;
  HWND searchForm = nullptr, resultsList = nullptr;
  HWND trafficWindow = nullptr, downloadList = nullptr, header = nullptr;
  HWND libraryPane = nullptr, libraryList = nullptr;
  HMENU downloadMenu = nullptr;
  std::vector<std::unique_ptr<HostDownload>> downloads;
  std::vector<std::unique_ptr<HostLibraryEntry>> libraryEntries;
  ModuleExports exports;
  int results = 0;
};
extern HostState g;

// Log (hostsim_log_win.cpp): one line per event, flushed at once.
void OpenLog(const std::string& path);
void Log(const char* format, ...);

// Windows (hostsim_views_win.cpp).
bool RegisterHostClasses();
HWND CreateMainFrame();
void LayoutMainFrame();
void CreateWebWindow();
void CreateSearchWindow();
void CreateTrafficWindow();
void CreateLibraryWindow();
// Closes the library, traffic or search window, as a user closing its frame does.
bool DestroyWindowByName(const std::string& name);
void ShowHostAbout();

// Downloads (hostsim_downloads_win.cpp).
void FillDownloadList();
void RebuildRowTexts();
int SelectedDownloadIndex();
// The rows still listed, in the list's own order (a module may sort the list).
std::vector<HostDownload*> ListedDownloads();
HostDownload* DownloadAt(int index);  // among the rows still listed, in list order
int DownloadIndexOf(HTREEITEM item);  // -1 for none or a row below a download
bool SelectDownload(int index);
void SetDownloadStatus(HostDownload* download, const std::string& status);
void ClearFinishedDownloads();
bool RemoveDownload(int index);  // as the host does when a download is cancelled and cleared
void FillLibraryList();
std::string LoadHostString(int id);
void ShowDownloadMenu(HWND owner);

// Frame commands (hostsim_frame_win.cpp).
void HandleHostCommand(int id);
LRESULT CALLBACK MainFrameProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Module and exports (hostsim_module_win.cpp).
void LoadExtensionModule();
void CallServiceShow(DWORD_PTR third, HWND panel);
void CallServiceClose();
void CallDescWrite();
// Runs "call <Export> args..." from automation; false when malformed.
bool CallExportByText(const std::vector<std::string>& words);

// Automation (hostsim_automation_win.cpp).
bool CreateControlWindow();
// Search form automation (hostsim_search_win.cpp): false when `words` is not one
// of its commands; otherwise `understood` tells whether it was carried out.
bool ExecuteSearchCommand(const std::vector<std::string>& words, bool* understood);

}  // namespace va::hostsim
