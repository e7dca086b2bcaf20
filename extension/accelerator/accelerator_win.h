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
// window, its header 337, commands to the host main window.
class TreeDownloadList : public DownloadListPort {
 public:
  TreeDownloadList(HWND trafficWindow, HWND hostMain, HMODULE hostResources);
  void Attach() override;
  uintptr_t First() override;
  uintptr_t Next(uintptr_t item) override;
  uintptr_t Data(uintptr_t item) override;
  bool RowText(uintptr_t data, std::string& text) override;
  int CellNumber(DownloadColumn column) override;
  bool Select(uintptr_t item) override;
  void Command(uint16_t id) override;
  std::string StateName(DownloadState state) override;

 private:
  HWND traffic_;
  HWND main_;
  HMODULE resources_;
  HWND list_ = nullptr;
};

}  // namespace va
