// download_states: the host's download state names and column types as the module
// knows them (string ids of the host, header column types, default positions).
// Portable core.
#pragma once
#include <cstdint>
#include <string_view>

namespace va {

// In the order of the host's string table (36005 to 36013, then 61373).
enum class DownloadState {
  Queued, Paused, Connecting, Downloading, MoreSourcesNeeded, Searching, Completed, Cancelled,
  Failed, RemotelyQueued
};
inline constexpr int kDownloadStateCount = 10;

// The host string that names the state in the host's own language.
int HostStateStringId(DownloadState state);

// A row is in a state when its status cell equals the loaded name exactly. An
// empty cell or an empty (unloadable) name never matches.
bool IsState(std::string_view statusCell, std::string_view stateName);

// Columns the module reads, with the host's column type ids and default indexes.
enum class DownloadColumn { Title, Status, Speed, FileName };
inline constexpr int kDownloadColumnCount = 4;

struct DownloadColumnMap {
  int32_t titleColumn = 0;
  int32_t statusColumn = 4;
  int32_t speedColumn = 7;
  int32_t fileNameColumn = 8;
};
extern DownloadColumnMap DownloadColumns;

int32_t ColumnIndex(const DownloadColumnMap& map, DownloadColumn column);

// One value of the host's "Download Order" key: its name is the column index in
// decimal (leading digits), its data the column type id (0 title, 4 status,
// 7 speed, 8 file name; others are ignored).
void ApplyDownloadOrderValue(DownloadColumnMap& map, std::string_view valueName, uint32_t typeId);

}  // namespace va
