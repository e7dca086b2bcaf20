// download_requests (Win32): the accelerator thread's questions and commands for
// the host's download list, answered on the host's UI thread. A row is named by
// its item and item data from a pass over the list; the UI thread checks that it
// is still listed with that data and acts on it in the same step, so no click of
// the user and no removal by the host can come between the check and the act.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "extension/accelerator/accelerator_engine.h"

namespace va {

enum class DownloadRequestKind { ReadRows, ReadRow, Act };

struct DownloadRequest {
  DownloadRequestKind kind = DownloadRequestKind::ReadRows;
  HWND list = nullptr;   // ReadRows gives it; the others name the pass's list
  uint64_t pass = 0;     // ReadRows gives it; the others name the pass
  std::vector<ListedRow>* rows = nullptr;  // ReadRows
  CellNumbers* cells = nullptr;            // ReadRows, ReadRow
  ListedRow row;                           // ReadRow, Act
  std::string* text = nullptr;             // ReadRow
  const uint16_t* commands = nullptr;      // Act
  size_t commandCount = 0;
  bool restoreSelection = false;
  const std::function<void()>* beforeCommands = nullptr;
  HWND hostMain = nullptr;  // where the commands go
};

// The private message to the host main window: lParam a DownloadRequest*, the
// answer 1 when done, 0 when the list or the row is gone.
UINT DownloadRequestMessage();
// Sends the request from any thread; from the UI thread itself it is a plain call.
bool SendDownloadRequest(HWND hostMain, DownloadRequest& request);
// On the UI thread: carries out the request.
LRESULT AnswerDownloadRequest(LPARAM request);

// The Traffic window hears of every row the host removes (TVN_DELETEITEM): a row
// of an earlier pass is still listed as long as it was not removed since.
void NoteDownloadRemoved(HTREEITEM item);
// The whole list is gone (its window destroyed): no earlier pass holds.
void ForgetDownloadPasses();

// On the UI thread: names the row `item` as it is now, so that it is selected
// again later only while it is still listed with its data.
DownloadRequest NameRow(HTREEITEM item);
bool SelectNamedRow(const DownloadRequest& named);

// The cell number of each column as the Traffic window's header orders them.
void ReadCellNumbers(HWND traffic, CellNumbers& cells);

}  // namespace va
