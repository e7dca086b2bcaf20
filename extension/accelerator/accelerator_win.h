// accelerator (Win32): the accelerator thread over the real host list, its switch
// (command 11401) and the words the tray icon and menus read.
#pragma once
#include <windows.h>

#include <cstdint>

#include "extension/accelerator/accelerator_engine.h"

namespace va {

// Signalled: the accelerator may go on to the next download. Created when the
// Traffic window is first hooked and kept for the life of the module (the thread
// may wait on it whatever happens to the window); bulk download commands reset
// and set it.
extern HANDLE AcceleratorGate;
void CreateAcceleratorGate();

// The tray icon's redraw for a changed accelerator state (set by the tray icon;
// called from the accelerator thread, it hands the work to the UI thread).
extern void (*AcceleratorTrayRedraw)();


// Command 11401: starts the thread when stopped, otherwise asks it to stop.
// Nothing happens while the Traffic window is not known.
void ToggleAccelerator();
// Starts the thread when it was on when the host last ended.
void StartAcceleratorIfWasOn();
// 1 Running, 2 Disabled, 3 Idle; 0 before the first start.
uint32_t AcceleratorStatus();

// What the accelerator reads from the rest of the module (accelerator_links_win.cpp).
HWND AcceleratorTrafficWindow();
HWND AcceleratorHostMainWindow();
HMODULE AcceleratorHostResources();
bool AcceleratorWasOnLastTime();        // AcceleratorWasOn as loaded with the last state
void RememberAcceleratorOn(bool on);    // kept with the last state for the next start

// The real download list as the engine's list port: control 373 of the Traffic
// window, its header 337, commands to the host main window. Every question and
// act goes to the host's UI thread as one request (download_requests_win.h).
class TreeDownloadList : public DownloadListPort {
 public:
  TreeDownloadList(HWND hostMain, HMODULE hostResources);
  void ReadRows(std::vector<ListedRow>& rows, CellNumbers& cells) override;
  bool ReadRow(const ListedRow& row, std::string& text, CellNumbers& cells) override;
  bool PeekText(uintptr_t data, std::string& text) override;
  bool Act(const ListedRow& row, std::initializer_list<uint16_t> commands, bool restoreSelection,
           const std::function<void()>& beforeCommands) override;
  void Command(uint16_t id) override;
  std::string StateName(DownloadState state) override;

 private:
  HWND main_;
  HMODULE resources_;
  HWND list_ = nullptr;  // the list and pass the rows were read from
  uint64_t pass_ = 0;
};

}  // namespace va
