// accelerator (Win32): binds the engine to the host's list, the status window,
// real sleeps and the gate, and runs it on its own thread.
#include "extension/accelerator/accelerator_win.h"

#include "extension/accelerator/download_list_win.h"
#include "extension/accelerator/download_requests_win.h"
#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "extension/windows/status_window_win.h"

namespace va {

HANDLE AcceleratorGate = nullptr;
void (*AcceleratorTrayRedraw)() = nullptr;

namespace {

constexpr DWORD kGatePollMilliseconds = 1000;
constexpr int kModuleTextCapacity = 256;

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
  TreeDownloadList list(AcceleratorHostMainWindow(), AcceleratorHostResources());
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

TreeDownloadList::TreeDownloadList(HWND hostMain, HMODULE hostResources)
    : main_(hostMain), resources_(hostResources) {}

// The UI thread takes the Traffic window as it is now: one the host made again
// takes the place of the one the accelerator began with.
void TreeDownloadList::ReadRows(std::vector<ListedRow>& rows, CellNumbers& cells) {
  DownloadRequest request;
  request.kind = DownloadRequestKind::ReadRows;
  request.rows = &rows;
  request.cells = &cells;
  rows.clear();
  if (!SendDownloadRequest(main_, request)) rows.clear();
  list_ = request.list;
  pass_ = request.pass;
}

bool TreeDownloadList::ReadRow(const ListedRow& row, std::string& text, CellNumbers& cells) {
  DownloadRequest request;
  request.kind = DownloadRequestKind::ReadRow;
  request.list = list_, request.pass = pass_, request.row = row;
  request.text = &text;
  request.cells = &cells;
  return SendDownloadRequest(main_, request);
}

bool TreeDownloadList::PeekText(uintptr_t data, std::string& text) {
  return ReadRowText(static_cast<LPARAM>(data), text);
}

bool TreeDownloadList::Act(const ListedRow& row, std::initializer_list<uint16_t> commands, bool restoreSelection,
                           const std::function<void()>& beforeCommands) {
  DownloadRequest request;
  request.kind = DownloadRequestKind::Act;
  request.list = list_, request.pass = pass_, request.row = row;
  request.commands = commands.begin();
  request.commandCount = commands.size();
  request.restoreSelection = restoreSelection;
  request.beforeCommands = &beforeCommands;
  return SendDownloadRequest(main_, request);
}

void TreeDownloadList::Command(uint16_t id) { SendHostCommandTo(main_, id); }

std::string TreeDownloadList::StateName(DownloadState state) {
  return LoadStatusName(resources_, state, kAcceleratorStateCapacity);
}

}  // namespace va
