// download_requests (Win32): the UI thread's side of the accelerator's requests.
#include "extension/accelerator/download_requests_win.h"

#include <unordered_map>

#include "extension/accelerator/accelerator_win.h"
#include "extension/accelerator/download_list_win.h"

namespace va {

namespace {

// Removals since the module started, with the count at which each item was
// removed last; touched on the UI thread only. A pass is named by the count at
// its time. The map is emptied when it grows large, which ends the passes
// before that moment (their rows then read as gone, and the next cycle reads anew).
constexpr size_t kMaxRemembered = 65536;
std::unordered_map<HTREEITEM, uint64_t> removedAt;
uint64_t removals = 0;
uint64_t passesValidFrom = 0;

bool KeptSince(HTREEITEM item, uint64_t pass) {
  if (pass < passesValidFrom) return false;
  const auto found = removedAt.find(item);
  return found == removedAt.end() || found->second <= pass;
}

HWND CurrentDownloadList() {
  HWND traffic = AcceleratorTrafficWindow();
  return traffic ? GetDlgItem(traffic, kDownloadListId) : nullptr;
}

HTREEITEM Caret(HWND list) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

// The row is still in the list the pass read, with the item data it had then.
bool StillListed(const DownloadRequest& r) {
  auto item = reinterpret_cast<HTREEITEM>(r.row.item);
  return r.list && r.list == CurrentDownloadList() && item && KeptSince(item, r.pass) &&
         static_cast<uintptr_t>(DownloadData(r.list, item)) == r.row.data;
}

LRESULT ReadRows(DownloadRequest& r) {
  r.rows->clear();
  r.list = CurrentDownloadList();
  r.pass = removals;
  if (!r.list) return 0;
  for (HTREEITEM item = FirstDownload(r.list); item; item = NextDownload(r.list, item)) {
    const LPARAM data = DownloadData(r.list, item);
    if (data == 0) break;
    r.rows->push_back({reinterpret_cast<uintptr_t>(item), static_cast<uintptr_t>(data)});
  }
  ReadCellNumbers(AcceleratorTrafficWindow(), *r.cells);
  return 1;
}

LRESULT ReadRow(DownloadRequest& r) {
  if (!StillListed(r) || !ReadRowText(static_cast<LPARAM>(r.row.data), *r.text)) return 0;
  ReadCellNumbers(AcceleratorTrafficWindow(), *r.cells);
  return 1;
}

// Every command goes to the row: a busy host may answer other callers while it
// carries one out, and one of them may select another row or remove this one.
LRESULT Act(DownloadRequest& r) {
  auto item = reinterpret_cast<HTREEITEM>(r.row.item);
  if (!StillListed(r)) return 0;
  const HTREEITEM users = Caret(r.list);
  const uint64_t before = removals;
  if (!SelectDownload(r.list, item)) return 0;
  if (r.beforeCommands && *r.beforeCommands) (*r.beforeCommands)();
  for (size_t i = 0; i < r.commandCount; ++i) {
    if (i > 0 && (!StillListed(r) || (Caret(r.list) != item && !SelectDownload(r.list, item)))) break;
    SendHostCommandTo(r.hostMain, r.commands[i]);
  }
  if (r.restoreSelection && r.list == CurrentDownloadList() && Caret(r.list) != users &&
      (!users || KeptSince(users, before)))
    SendMessageA(r.list, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(users));
  return 1;
}

}  // namespace

UINT DownloadRequestMessage() {
  static const UINT message = RegisterWindowMessageA("VAExtensions.DownloadRequest");
  return message;
}

bool SendDownloadRequest(HWND hostMain, DownloadRequest& request) {
  request.hostMain = hostMain;
  // A plain send: the request lives on the caller's stack, so it must not be
  // answered after the caller gave up waiting.
  return hostMain && SendMessageA(hostMain, DownloadRequestMessage(), 0, reinterpret_cast<LPARAM>(&request)) == 1;
}

LRESULT AnswerDownloadRequest(LPARAM request) {
  auto& r = *reinterpret_cast<DownloadRequest*>(request);
  switch (r.kind) {
    case DownloadRequestKind::ReadRows: return ReadRows(r);
    case DownloadRequestKind::ReadRow: return ReadRow(r);
    case DownloadRequestKind::Act: return Act(r);
  }
  return 0;
}

void NoteDownloadRemoved(HTREEITEM item) {
  ++removals;
  if (removedAt.size() >= kMaxRemembered) {
    removedAt.clear();
    passesValidFrom = removals;
  }
  removedAt[item] = removals;
}

void ForgetDownloadPasses() {
  ++removals;
  removedAt.clear();
  passesValidFrom = removals;
}

DownloadRequest NameRow(HTREEITEM item) {
  DownloadRequest named;
  named.list = CurrentDownloadList();
  named.pass = removals;
  if (named.list && item)
    named.row = {reinterpret_cast<uintptr_t>(item), static_cast<uintptr_t>(DownloadData(named.list, item))};
  return named;
}

bool SelectNamedRow(const DownloadRequest& named) {
  return StillListed(named) && SelectDownload(named.list, reinterpret_cast<HTREEITEM>(named.row.item));
}

void ReadCellNumbers(HWND traffic, CellNumbers& cells) {
  HWND header = traffic ? GetDlgItem(traffic, kDownloadHeaderId) : nullptr;
  for (int c = 0; c < kDownloadColumnCount; ++c) {
    const int index = ColumnIndex(DownloadColumns, static_cast<DownloadColumn>(c));
    const int position = ColumnPositionIn(header, index);
    // Without an answer from the header, the columns are taken in their own order.
    cells[c] = position > 0 ? position : index + 1;
  }
}

}  // namespace va
