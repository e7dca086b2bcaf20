// watcher_engine: the shared-folder watcher as a loop over small interfaces (the
// change notification and its waits, the file operations, the filter list and the
// stop word), so tests drive whole scenarios without threads or real time. The
// thread that binds the real platform is watcher_win.cpp. Portable core.
#pragma once
#include <atomic>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "extension/organizer/filter_pattern.h"
#include "extension/organizer/filter_rules.h"
#include "extension/organizer/organizer_journal.h"

namespace va {

// WatcherState values (there is no state 2).
enum WatcherStateValue : int32_t { Stopped = 0, Running = 1, StopRequested = 3 };

// The change notification on the watched folder and the waits of the loop.
class WatcherWaits {
 public:
  enum class Result { Wake, Change, Timeout, Failed };
  virtual ~WatcherWaits() = default;
  virtual bool Watch(const std::string& folder) = 0;  // false: the folder cannot be watched
  virtual bool Rewatch() = 0;                          // re-arm after a change
  virtual void Unwatch() = 0;
  // Waits up to `milliseconds` for the wake event or (while watching) a change.
  virtual Result Wait(int milliseconds) = 0;
};

// What a file turned out to be when the watcher tried to take it: free, still
// held by a program that writes it (tried again on a back-off), refused for
// another reason such as access rights or a name that cannot be opened (left
// alone until the folder changes again), or gone.
enum class FileAccess { Free, HeldByWriter, Unreadable, Gone };

// File operations, the sound and the command.
class WatcherFiles {
 public:
  virtual ~WatcherFiles() = default;
  // Plain files of `folder` (ending in "\"), in listing order; no sub-folders,
  // hidden or system files.
  virtual std::vector<std::string> ListFiles(const std::string& folder) = 0;
  // The name as the filters see it, one character for each character of the
  // name (the platform's names may hold characters the filters' code cannot).
  virtual std::string MatchName(const std::string& name) { return name; }
  virtual FileAccess CheckAccess(const std::string& path) = 0;
  virtual bool FolderExists(const std::string& path) = 0;
  // What tells this folder from another of the same name (one deleted and made
  // again, or renamed away and replaced); "" when there is no such folder. A
  // binding that cannot tell answers "" always: the watch is then never renewed.
  virtual std::string FolderIdentity(const std::string& /*folder*/) { return ""; }
  virtual bool CreateFolderPath(const std::string& path) = 0;
  virtual bool FileExists(const std::string& path) = 0;
  // Size and last-write time, read from the folder entry (never the content).
  virtual FileFacts Facts(const std::string& path) { return {FileExists(path), 0, 0}; }
  // Told of each copy and move completed, once the result has its final name.
  virtual void Completed(const std::string& /*source*/, const std::string& /*target*/, int32_t /*action*/) {}
  // Copies into a new file; false when `target` exists or the copy failed, which
  // may leave part of `target` behind (the caller names and removes it).
  virtual bool CopyToNewFile(const std::string& source, const std::string& target) = 0;
  enum class Rename { Done, Exists, OtherVolume, Failed };
  // Renames within one volume; never replaces an existing `target`.
  virtual Rename RenameWithoutOverwrite(const std::string& source, const std::string& target) = 0;
  virtual bool RemoveFile(const std::string& path) = 0;
  virtual void PlaySoundFile(const std::string& path) = 0;
  virtual void RunCommand(const std::string& program, const std::string& parameters) = 0;
  virtual void ExpandPlaceholders(std::string& text) = 0;
};

// The filter list, read under the organizer's lock.
class WatcherFilters {
 public:
  virtual ~WatcherFilters() = default;
  virtual void Lock() = 0;
  virtual void Unlock() = 0;
  virtual const std::vector<FilterRecord>& Filters() = 0;  // only while locked
  // Files an undo put back, by upper-cased path, with what they were then: left
  // alone while unchanged. Only while locked; none when null.
  virtual std::map<std::string, FileFacts>* Handled() { return nullptr; }
};

// Timing of the loop, in one-second wait steps.
inline constexpr int kWatcherStepMs = 1000;
// An unwatchable folder is tried again this often (in steps); no scans meanwhile.
inline constexpr int kRewatchSteps = 10;
// The watched folder's identity is checked this often (in steps): a folder that
// was deleted, made again or renamed away is watched anew.
inline constexpr int kIdentityCheckSteps = 5;
// A file held open by a writer is retried after 2, 4, 8 ... up to this many steps.
inline constexpr int kBusyRetryMaxSteps = 60;
// Move tries the name itself and then name[1] .. name[99].
inline constexpr int kMoveAttempts = 100;
// A copy is written under the final name plus this ending and renamed when whole;
// such files left behind by a copy cut short are removed when the watcher starts.
inline constexpr std::string_view kPartialCopyEnding = ".va-partial";

// What the watcher would do with one file of the folder, decided without
// touching anything: the first matching filter, and the target of its action.
enum class PlanKind {
  Ignored,           // a .dat file
  NoMatch,           // no filter matches
  Copy,              // copied to target
  Move,              // moved to target
  FollowUpOnly,      // a filter without a file action: sound and command only
  HeldByWriter,      // still open for writing: tried again later
  Unreadable,        // cannot be opened, or gone
  AlreadyCopied,     // the copy's target exists
  IntoSharedFolder,  // the destination is the watched folder itself
  NoFreeName,        // name and name[1] .. name[99] all taken
  PutBack,           // put back by an undo and unchanged since
};
struct ActionPlan {
  int filter = -1;  // index in the list; -1 for Ignored and NoMatch
  PlanKind kind = PlanKind::NoMatch;
  std::string target;
  int counter = 0;  // for Move: the first k of NameWithCounter that is free
};
ActionPlan PlanAction(const std::string& folder, const std::string& name, const std::vector<FilterRecord>& list,
                      FilterMatcher& matcher, WatcherFiles& files,
                      std::map<std::string, FileFacts>* handled = nullptr);

// Undoes journal entries, newest first: a move back to its original name, a
// copy removed, each only when JudgeUndo allows. Returns one outcome per entry.
std::vector<UndoOutcome> UndoEntries(const std::vector<JournalEntry>& newestFirst, WatcherFiles& files);

// Runs the watcher on `folder` (ending in "\") until the stop word turns
// StopRequested (then it is set to Stopped). A folder that cannot be watched, or
// that goes away, is watched anew once it is there again. The caller has set
// `state` to Running.
void RunWatcher(const std::string& folder, std::atomic<int32_t>& state, WatcherWaits& waits,
                WatcherFiles& files, WatcherFilters& filters);

// One scan of the folder, deciding names with `matcher`; returns how many
// matching files were skipped because a writer still held them.
int ScanFolder(const std::string& folder, std::atomic<int32_t>& state, WatcherFiles& files,
               WatcherFilters& filters, FilterMatcher& matcher);

// Removes the partial copies (see kPartialCopyEnding) in every Copy and Move
// destination of the filter list.
void RemoveLeftoverPartialCopies(WatcherFiles& files, WatcherFilters& filters);

// Helpers of the actions, exposed for tests.
std::string NameWithCounter(std::string_view name, int k);  // "a.b.mp3",1 -> "a.b[1].mp3"
// Replaces %FN, %P and %F in one pass, so text put in is never scanned again.
std::string ReplaceTargetPlaceholders(std::string_view text, std::string_view target);

}  // namespace va
