// accelerator (Win32): binds the engine to the host's list, the status window,
// real sleeps and the gate, and runs it on its own thread.
#include "extension/accelerator/accelerator_win.h"

#include "extension/accelerator/download_list_win.h"
#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "extension/windows/status_window_win.h"

namespace va {

HANDLE AcceleratorGate = nullptr;
void (*AcceleratorTrayRedraw)() = nullptr;

namespace {

constexpr DWORD kGatePollMilliseconds = 1000;
constexpr int kModuleTextCapacity = 256;

auto AsItem(uintptr_t item) { return reinterpret_cast<HTREEITEM>(item); }

// Time, gate, status page and tray as the thread sees them.
class RealAcceleratorHost : public AcceleratorHostPort {
 public:
  void Sleep(uint32_t milliseconds) override { ::Sleep(milliseconds); }
  void WaitGate() override {
    // Waits in 1-second steps so that a stop is still noticed while the gate is held.
    HANDLE gate = AcceleratorGate;
    while (gate && WaitForSingleObject(gate, kGatePollMilliseconds) == WAIT_TIMEOUT) {
      if (AcceleratorShared.control.load() == kAcceleratorStopRequested) return;
    }
  }
  void ShowText(int control, const std::string& text) override {
    SetStatusText(IDD_STATUS_ACCELERATOR, control, text.c_str());
  }
  void StatusChanged() override {
    if (AcceleratorTrayRedraw) AcceleratorTrayRedraw();
  }
  void RememberRunning(bool on) override { RememberAcceleratorOn(on); }
  std::string Text(int stringId) override {
    char buffer[kModuleTextCapacity] = "";
    LoadStringA(ModuleInstance, static_cast<UINT>(stringId), buffer, sizeof(buffer));
    return buffer;
  }
};

DWORD WINAPI AcceleratorThread(LPVOID) {
  TreeDownloadList list(AcceleratorTrafficWindow(), AcceleratorHostMainWindow(), AcceleratorHostResources());
  RealAcceleratorHost host;
  AcceleratorEngine engine(list, host, Accelerator, AcceleratorShared);
  engine.Run();
  return 0;
}

// Starts the thread when the accelerator is stopped; the switch to Active is made
// here, before the thread runs, so a second start can never slip in.
bool StartAcceleratorThread() {
  uint32_t expected = kAcceleratorStopped;
  if (!AcceleratorShared.control.compare_exchange_strong(expected, kAcceleratorActive)) return false;
  HANDLE thread = CreateThread(nullptr, 0, AcceleratorThread, nullptr, 0, nullptr);
  if (!thread) {
    AcceleratorShared.control.store(kAcceleratorStopped);
    return false;
  }
  CloseHandle(thread);
  return true;
}

}  // namespace

void CreateAcceleratorGate() {
  if (!AcceleratorGate) AcceleratorGate = CreateEventA(nullptr, TRUE, TRUE, nullptr);
}

void ToggleAccelerator() {
  if (!AcceleratorTrafficWindow()) return;
  if (!StartAcceleratorThread()) AcceleratorShared.control.store(kAcceleratorStopRequested);
}

void StartAcceleratorIfWasOn() {
  if (AcceleratorWasOnLastTime()) StartAcceleratorThread();
}

uint32_t AcceleratorStatus() { return AcceleratorShared.status.load(); }

// ---- TreeDownloadList ----

TreeDownloadList::TreeDownloadList(HWND trafficWindow, HWND hostMain, HMODULE hostResources)
    : traffic_(trafficWindow), main_(hostMain), resources_(hostResources) {}

void TreeDownloadList::Attach() { list_ = traffic_ ? GetDlgItem(traffic_, kDownloadListId) : nullptr; }

uintptr_t TreeDownloadList::First() {
  // A Traffic window the host made again takes the place of the one the walk
  // began with.
  HWND current = AcceleratorTrafficWindow();
  if (current && current != traffic_) {
    traffic_ = current;
    Attach();
  }
  return list_ ? reinterpret_cast<uintptr_t>(FirstDownload(list_)) : 0;
}

// Items are checked against the list before use: the host may have removed one
// since it was read, and a removed item must end the walk, not reach the list.
uintptr_t TreeDownloadList::Next(uintptr_t item) {
  if (!IsListedDownload(list_, AsItem(item))) return 0;
  return reinterpret_cast<uintptr_t>(NextDownload(list_, AsItem(item)));
}

uintptr_t TreeDownloadList::Data(uintptr_t item) {
  if (!IsListedDownload(list_, AsItem(item))) return 0;
  return static_cast<uintptr_t>(DownloadData(list_, AsItem(item)));
}

bool TreeDownloadList::RowText(uintptr_t data, std::string& text) {
  return ReadRowText(static_cast<LPARAM>(data), text);
}

int TreeDownloadList::CellNumber(DownloadColumn column) {
  const int index = ColumnIndex(DownloadColumns, column);
  const int position = ColumnPositionIn(traffic_ ? GetDlgItem(traffic_, kDownloadHeaderId) : nullptr, index);
  // Without an answer from the header, the columns are taken in their own order.
  return position > 0 ? position : index + 1;
}

bool TreeDownloadList::Select(uintptr_t item) {
  if (!IsListedDownload(list_, AsItem(item))) return false;
  return SelectDownload(list_, AsItem(item));
}

void TreeDownloadList::Command(uint16_t id) { SendHostCommandTo(main_, id); }

std::string TreeDownloadList::StateName(DownloadState state) {
  return LoadStatusName(resources_, state, kAcceleratorStateCapacity);
}

}  // namespace va
