// download_commands: what the download menu's bulk commands and "Find more from
// the same" do to the host's list, over the engine's list port so tests drive
// them without a host. Portable core: the Win32 side is download_menu_win.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

#include "extension/accelerator/accelerator_engine.h"
#include "extension/accelerator/download_states.h"

namespace va {

// Actions and download selectors of the bulk commands (11201-11206, 11301-11305).
inline constexpr int kBulkActionResume = 1;
inline constexpr int kBulkActionPause = 2;
inline constexpr int kSelectAll = 1;
inline constexpr int kSelectQueued = 2;
inline constexpr int kSelectPaused = 3;
inline constexpr int kSelectMoreSources = 4;
inline constexpr int kSelectRemotelyQueued = 5;
inline constexpr int kSelectSearching = 6;
inline constexpr int kSelectDownloading = 7;

// The state a selector picks; false for "all downloads" and for unknown selectors.
bool SelectorState(int selector, DownloadState& state);
// The host command of an action (61244 resume, 61242 pause); 0 for an unknown action.
uint16_t BulkActionCommand(int action);

// Walks the top-level rows from the first until the end, item data 0 or an
// unreadable row, and for each row whose status cell equals `stateName` (every
// row when `allRows`) selects it and sends `command`. Returns the rows acted on.
int RunBulkCommand(DownloadListPort& list, uint16_t command, bool allRows, std::string_view stateName);

// "Find more from the same": 1 the title cell, 2 the file-name cell.
inline constexpr int kFindMoreTitle = 1;
inline constexpr int kFindMoreFileName = 2;
// The column a "Find more" kind searches for; false for an unknown kind.
bool FindMoreColumn(int which, DownloadColumn& column);

// The search-fill wait: it looks for the search form's panel every 500 ms and
// gives up after 60 looks (30 seconds), so a Search window that never gets its
// panel (or is never found) does not keep the thread forever.
inline constexpr uint32_t kSearchFillStepMs = 500;
inline constexpr int kSearchFillMaxLooks = 60;

class SearchFillPort {
 public:
  virtual ~SearchFillPort() = default;
  virtual bool FormReady() = 0;  // the Search window is known and has its panel
  virtual void Sleep(uint32_t milliseconds) = 0;
  virtual void Fill(const std::string& text) = 0;  // sets the search text and presses search
};

// True when the form was filled; false when the wait ran out.
bool RunSearchFill(SearchFillPort& port, const std::string& text, int maxLooks = kSearchFillMaxLooks);

}  // namespace va
