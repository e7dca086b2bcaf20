// organizer: the file organizer's process-wide values and entry points (Win32):
// the filter list and its storage, the watcher's lock, wake event and state word.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "extension/organizer/filter_rules.h"
#include "extension/organizer/watcher_engine.h"

namespace va {

// The filters in match order; FilterLastIndex is the last index (-1: none).
// Read by the watcher and replaced by SaveFilters, both under OrganizerLock.
extern std::vector<FilterRecord> FilterList;
extern int FilterLastIndex;

extern CRITICAL_SECTION OrganizerLock;
extern HANDLE WatcherWakeEvent;              // auto-reset; signalled to ask the watcher to stop
extern std::atomic<int32_t> WatcherState;    // Stopped, Running, StopRequested

inline constexpr const char* kFiltersKey = "SOFTWARE\\VAExtensions\\Filters";
inline constexpr const char* kLocalContentKey = "SOFTWARE\\Vexlo\\LocalContent";

// Rebuilds FilterList from the registry (HKCU, else HKLM); returns FilterLastIndex.
int LoadFilters();
// Stores records[0..lastIndex] renumbered 1, 2, ...; 1 when a non-empty list was
// stored. Writes nothing for an unchanged list; stops the watcher for an empty
// list and starts it for a non-empty one. `records` receives the stored Dest forms.
int SaveFilters(std::vector<FilterRecord>& records, int lastIndex);

// Creates OrganizerLock and WatcherWakeEvent (once) and starts the watcher when
// filters were loaded. Called while the module attaches, after LoadFilters.
void PrepareOrganizer();
// Starts the watcher thread unless one runs; at most one exists.
void StartWatcher();

// Used by SaveFilters: the lock and event exist before first use; a stop request
// for a running watcher; a start, or the withdrawal of a stop not yet taken up.
void EnsureOrganizerObjects();
void RequestWatcherStop();
void EnsureWatcherRunning();

// The shared folder as the host stores it (DownloadDir), possibly empty.
std::string ReadSharedFolder();

// The watcher's texts are UTF-8 (names outside the ANSI code page); settings and
// windows use the ANSI code page.
std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);
// A filter with its destination, sound and command in UTF-8, as the watcher reads it.
FilterRecord FilterInUtf8(const FilterRecord& filter);
// The watcher's file operations on the real file system (UTF-8 paths).
std::unique_ptr<WatcherFiles> MakePlatformFiles();

// Files put back by an undo, left alone by the watcher until they change; under
// OrganizerLock.
extern std::map<std::string, FileFacts> HandledFiles;

// The journal of completed copies and moves, the last kJournalLimit of them, in
// HKCU SOFTWARE\VAExtensions\Journal. Paths in UTF-8.
inline constexpr const char* kJournalKey = "SOFTWARE\\VAExtensions\\Journal";
void RecordJournal(const std::string& source, const std::string& target, int32_t action, const FileFacts& result);
std::vector<JournalEntry> ReadJournal();  // newest first
// Undoes every entry from `oldestSeq` on, newest first, with the watcher held;
// the files put back are marked handled, the entries undone leave the journal.
std::vector<UndoOutcome> UndoJournalSince(uint32_t oldestSeq);

// What `filters` would do now with each of the first `limit` files of the shared
// folder (names in UTF-8); `total` receives the number of files. Touches nothing.
struct PreviewRow {
  std::string name;
  ActionPlan plan;
};
std::vector<PreviewRow> PreviewSharedFolder(const std::vector<FilterRecord>& filters, size_t limit, size_t& total);

// Owner window of started commands and caption of the organizer's messages.
HWND OrganizerOwnerWindow();
const char* OrganizerCaption();

}  // namespace va
