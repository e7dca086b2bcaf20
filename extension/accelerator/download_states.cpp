// download_states: state names, column map and the "Download Order" value rule.
#include "extension/accelerator/download_states.h"

#include <climits>

namespace va {

DownloadColumnMap DownloadColumns;

int HostStateStringId(DownloadState state) {
  if (state == DownloadState::RemotelyQueued) return 61373;
  return 36005 + static_cast<int>(state);
}

bool IsState(std::string_view statusCell, std::string_view stateName) {
  return !stateName.empty() && statusCell == stateName;
}

int32_t ColumnIndex(const DownloadColumnMap& map, DownloadColumn column) {
  switch (column) {
    case DownloadColumn::Title: return map.titleColumn;
    case DownloadColumn::Status: return map.statusColumn;
    case DownloadColumn::Speed: return map.speedColumn;
    case DownloadColumn::FileName: return map.fileNameColumn;
  }
  return -1;
}

namespace {
constexpr int64_t kLargestColumnIndex = 0xFFFF;
}  // namespace

void ApplyDownloadOrderValue(DownloadColumnMap& map, std::string_view valueName, uint32_t typeId) {
  int64_t index = 0;
  for (char c : valueName) {
    if (c < '0' || c > '9') break;
    index = index * 10 + (c - '0');
    // Absurd names stay a large index (a cell no row has), far enough below the
    // top that the cell number, index + 1, cannot overflow.
    if (index > kLargestColumnIndex) index = kLargestColumnIndex;
  }
  const int32_t column = static_cast<int32_t>(index);
  switch (typeId) {
    case 0: map.titleColumn = column; break;
    case 4: map.statusColumn = column; break;
    case 7: map.speedColumn = column; break;
    case 8: map.fileNameColumn = column; break;
    default: break;
  }
}

}  // namespace va
