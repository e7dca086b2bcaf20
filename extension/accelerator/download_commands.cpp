// download_commands: the bulk walk and the search-fill wait.
#include "extension/accelerator/download_commands.h"

#include "extension/accelerator/row_cell.h"

namespace va {

bool SelectorState(int selector, DownloadState& state) {
  switch (selector) {
    case kSelectQueued: state = DownloadState::Queued; return true;
    case kSelectPaused: state = DownloadState::Paused; return true;
    case kSelectMoreSources: state = DownloadState::MoreSourcesNeeded; return true;
    case kSelectRemotelyQueued: state = DownloadState::RemotelyQueued; return true;
    case kSelectSearching: state = DownloadState::Searching; return true;
    case kSelectDownloading: state = DownloadState::Downloading; return true;
  }
  return false;
}

uint16_t BulkActionCommand(int action) {
  if (action == kBulkActionResume) return kHostResumeDownload;
  if (action == kBulkActionPause) return kHostPauseDownload;
  return 0;
}

int RunBulkCommand(DownloadListPort& list, uint16_t command, bool allRows, std::string_view stateName) {
  list.Attach();
  std::vector<ListedRow> rows;
  CellNumbers cells{};
  list.ReadRows(rows, cells);
  int acted = 0;
  for (const ListedRow& row : rows) {
    std::string text;
    if (!list.ReadRow(row, text, cells)) break;
    if (!allRows && !IsState(RowCell(text, cells[static_cast<int>(DownloadColumn::Status)]), stateName)) continue;
    // A row gone since the pass gets no command and ends the walk; the user's
    // own command leaves the last row it acted on selected.
    if (!list.Act(row, {command}, false)) break;
    ++acted;
  }
  return acted;
}

bool FindMoreColumn(int which, DownloadColumn& column) {
  if (which == kFindMoreTitle) column = DownloadColumn::Title;
  else if (which == kFindMoreFileName) column = DownloadColumn::FileName;
  else return false;
  return true;
}

bool RunSearchFill(SearchFillPort& port, const std::string& text, int maxLooks) {
  for (int look = 0; look < maxLooks; ++look) {
    if (port.FormReady()) {
      port.Fill(text);
      return true;
    }
    port.Sleep(kSearchFillStepMs);
  }
  return false;
}

}  // namespace va
