// hostsim_downloads_win: the host's download list (tree view 373 under header 337)
// and library list (list view 59648), with item data laid out as the host's.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "extension/core/host_ids.h"
#include "hostsim/hostsim_state.h"

namespace va::hostsim {
namespace {

using namespace va::host;

const char* const kColumnNames[] = {"Title", "Size", "Progress", "Sources", "Status", "Time left", "User", "Speed", "File name"};
constexpr int kColumnWidth = 90;
const char kDownloadsFolder[] = "C:\\Downloads\\";
const char kIncompleteFolder[] = "C:\\Downloads\\Incomplete\\T-";

std::string CellOfType(const HostDownload& d, int type) {
  switch (type) {
    case 0: return d.row.title;
    case 1: return "1,024 KB";
    case 2: return d.row.status == "Completed" ? "100%" : "40%";
    case 3: return "1";
    case 4: return d.row.status;
    case 5: return "";
    case 6: return "peer";
    case 7: return d.row.speed;
    case 8: return d.row.fileName;
  }
  return "";
}

// Writes the row text: the cells in the header's current display order.
void WriteRowText(HostDownload* d) {
  int count = static_cast<int>(g.scenario.columnTypes.size());
  std::vector<int> order(count);
  if (!g.header || SendMessageA(g.header, HDM_GETORDERARRAY, count, reinterpret_cast<LPARAM>(order.data())) == 0)
    for (int i = 0; i < count; ++i) order[i] = i;
  std::string text;
  for (int position = 0; position < count; ++position) {
    if (position > 0) text += kRowCellSeparator;
    int column = order[position];
    if (column >= 0 && column < count) text += CellOfType(*d, g.scenario.columnTypes[column]);
  }
  if (text.size() >= kRowTextCapacity) text.resize(kRowTextCapacity - 1);
  std::memcpy(d->rowText, text.c_str(), text.size() + 1);
  if (d->item && g.downloadList) {
    std::string shown = text;
    for (char& c : shown)
      if (c == kRowCellSeparator) c = '|';
    TVITEMA item = {};
    item.mask = TVIF_TEXT | TVIF_HANDLE;
    item.hItem = d->item;
    item.pszText = const_cast<char*>(shown.c_str());
    SendMessageA(g.downloadList, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
}

void BuildRecords(HostDownload* d) {
  WritePointerAt(d->record, kRowTextPointerOffset, d->rowText);
  WriteWordAt(d->record, kDownloadKindOffset, kDownloadKindFile);
  WritePointerAt(d->record, kDownloadDetailOffset, d->detail);
  WriteWordAt(d->detail, kDetailMarkerOffset, kDetailMarker);
  std::string finished = kDownloadsFolder + d->row.fileName;
  std::strncpy(reinterpret_cast<char*>(d->detail) + kDetailFinishedPathOffset, finished.c_str(), kDetailPathCapacity - 1);
  // The working path sits between two zero bytes; the record points a few
  // characters into it, so the reader must walk back to find its start.
  std::string working = kIncompleteFolder + d->row.fileName;
  d->workingText = std::string(1, '\0') + working + std::string(1, '\0');
  size_t inside = working.size() > 4 ? 4 : 0;
  WritePointerAt(d->detail, kDetailWorkingPathOffset, d->workingText.data() + 1 + inside);
}

void InsertDownload(HostDownload* d) {
  TVINSERTSTRUCTA insert = {};
  insert.hParent = TVI_ROOT;
  insert.hInsertAfter = TVI_LAST;
  insert.item.mask = TVIF_TEXT | TVIF_PARAM;
  insert.item.pszText = const_cast<char*>(d->row.title.c_str());
  insert.item.lParam = reinterpret_cast<LPARAM>(d->record);
  d->item = reinterpret_cast<HTREEITEM>(SendMessageA(g.downloadList, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  // Each download has a source row below it; its item data belongs to no record.
  insert.hParent = d->item;
  insert.item.mask = TVIF_TEXT;
  insert.item.pszText = const_cast<char*>("source: peer");
  SendMessageA(g.downloadList, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
  WriteRowText(d);
}

}  // namespace

std::string LoadHostString(int id) {
  char text[256] = {};
  LoadStringA(g.instance, id, text, sizeof text);
  return text;
}

void FillDownloadList() {
  int count = static_cast<int>(g.scenario.columnTypes.size());
  for (int i = 0; i < count; ++i) {
    int type = g.scenario.columnTypes[i];
    HDITEMA item = {};
    item.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT;
    item.cxy = kColumnWidth;
    item.fmt = HDF_LEFT | HDF_STRING;
    item.pszText = const_cast<char*>(type >= 0 && type < 9 ? kColumnNames[type] : "Column");
    SendMessageA(g.header, HDM_INSERTITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
  if (g.downloads.empty()) {
    for (const DownloadRow& row : g.scenario.downloads) {
      auto d = std::make_unique<HostDownload>();
      d->row = row;
      BuildRecords(d.get());
      g.downloads.push_back(std::move(d));
    }
  }
  for (auto& d : g.downloads)
    if (!d->removed) InsertDownload(d.get());
}

void RebuildRowTexts() {
  for (auto& d : g.downloads)
    if (!d->removed) WriteRowText(d.get());
}

std::vector<HostDownload*> ListedDownloads() {
  std::vector<HostDownload*> listed;
  if (!g.downloadList) {
    for (auto& d : g.downloads)
      if (!d->removed) listed.push_back(d.get());
    return listed;
  }
  for (HTREEITEM item = TreeView_GetRoot(g.downloadList); item; item = TreeView_GetNextSibling(g.downloadList, item)) {
    for (auto& d : g.downloads) {
      if (d->removed || d->item != item) continue;
      listed.push_back(d.get());
      break;
    }
  }
  return listed;
}

HostDownload* DownloadAt(int index) {
  std::vector<HostDownload*> listed = ListedDownloads();
  return index >= 0 && index < static_cast<int>(listed.size()) ? listed[index] : nullptr;
}

int DownloadIndexOf(HTREEITEM item) {
  if (!item) return -1;
  std::vector<HostDownload*> listed = ListedDownloads();
  for (size_t i = 0; i < listed.size(); ++i)
    if (listed[i]->item == item) return static_cast<int>(i);
  return -1;
}

int SelectedDownloadIndex() {
  if (!g.downloadList) return -1;
  return DownloadIndexOf(reinterpret_cast<HTREEITEM>(SendMessageA(g.downloadList, TVM_GETNEXTITEM, TVGN_CARET, 0)));
}

bool SelectDownload(int index) {
  HostDownload* d = DownloadAt(index);
  if (!d || !d->item) return false;
  return SendMessageA(g.downloadList, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(d->item)) != 0;
}

void SetDownloadStatus(HostDownload* download, const std::string& status) {
  download->row.status = status;
  WriteRowText(download);
}

void ClearFinishedDownloads() {
  const std::string finished[] = {LoadHostString(kStringCompleted), LoadHostString(kStringCancelled),
                                  LoadHostString(kStringFailed)};
  for (auto& d : g.downloads) {
    if (d->removed) continue;
    for (const std::string& state : finished) {
      if (d->row.status != state) continue;
      SendMessageA(g.downloadList, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(d->item));
      d->item = nullptr;
      d->removed = true;  // the records stay allocated until the host exits
      break;
    }
  }
}

bool RemoveDownload(int index) {
  HostDownload* d = DownloadAt(index);
  if (!d || !d->item) return false;
  Log("removed %d %s", index, d->row.title.c_str());
  SendMessageA(g.downloadList, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(d->item));
  d->item = nullptr;
  d->removed = true;  // the records stay allocated until the host exits
  return true;
}

void FillLibraryList() {
  const char* const names[] = {"Name", "Folder"};
  for (int i = 0; i < 2; ++i) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = i == 0 ? 200 : 300;
    column.pszText = const_cast<char*>(names[i]);
    SendMessageA(g.libraryList, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
  }
  // A folder row first: its item data is a record of another kind.
  auto folder = std::make_unique<HostLibraryEntry>();
  folder->name = "My Shared Folder";
  WriteWordAt(folder->record, kLibraryMarkerOffset, kFolderItemMarker);
  g.libraryEntries.push_back(std::move(folder));
  for (const LibraryFile& file : g.scenario.library) {
    auto entry = std::make_unique<HostLibraryEntry>();
    entry->name = file.name;
    entry->folder = file.folder;
    WriteWordAt(entry->record, kLibraryMarkerOffset, kFileItemMarker);
    WritePointerAt(entry->record, kLibraryNameOffset, entry->name.c_str());
    WritePointerAt(entry->record, kLibraryFolderOffset, entry->folder.c_str());
    g.libraryEntries.push_back(std::move(entry));
  }
  int row = 0;
  for (auto& entry : g.libraryEntries) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = row;
    item.pszText = const_cast<char*>(entry->name.c_str());
    item.lParam = reinterpret_cast<LPARAM>(entry->record);
    int at = static_cast<int>(SendMessageA(g.libraryList, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    LVITEMA sub = {};
    sub.iSubItem = 1;
    sub.pszText = const_cast<char*>(entry->folder.c_str());
    SendMessageA(g.libraryList, LVM_SETITEMTEXTA, at, reinterpret_cast<LPARAM>(&sub));
    ++row;
  }
}

void ShowDownloadMenu(HWND owner) {
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(GetSubMenu(g.downloadMenu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, owner, nullptr);
}

}  // namespace va::hostsim
