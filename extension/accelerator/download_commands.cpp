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
  const int statusCell = list.CellNumber(DownloadColumn::Status);
  int acted = 0;
  for (uintptr_t item = list.First(); item != 0; item = list.Next(item)) {
    const uintptr_t data = list.Data(item);
    if (data == 0) break;
    std::string text;
    if (!list.RowText(data, text)) break;
    if (!allRows && !IsState(RowCell(text, statusCell), stateName)) continue;
    // A row gone since it was read gets no command: the host would apply it to
    // whatever row is selected. Its successor cannot be asked for either.
    if (!list.Select(item)) break;
    list.Command(command);
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
