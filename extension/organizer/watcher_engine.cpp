// watcher_engine: see watcher_engine.h.
#include "extension/organizer/watcher_engine.h"

#include <algorithm>

#include "common/text_rules.h"
#include "extension/organizer/filter_pattern.h"

namespace va {
namespace {

bool EndsWith(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

std::string WithSlash(std::string_view folder) {
  std::string text(folder);
  if (text.empty() || text.back() != '\\') text += '\\';
  return text;
}

std::string WithoutSlash(std::string_view folder) {
  std::string text(folder);
  while (!text.empty() && (text.back() == '\\' || text.back() == '/')) text.pop_back();
  return text;
}

// The destination must exist or be creatable.
bool EnsureFolder(const std::string& folder, WatcherFiles& files) {
  if (folder.empty()) return false;
  if (files.FolderExists(folder)) return true;
  files.CreateFolderPath(folder);
  return files.FolderExists(folder);
}

enum class Outcome { Done, Failed, Busy };
using Rename = WatcherFiles::Rename;

// Whole or not at all: the bytes go to a name of the organizer's own beside the
// target and take the final name only when complete, so a copy cut short (the
// client ended, Windows logged off, the disk filled) never stands under the final
// name, and nothing but that partial file is ever removed after a failure.
bool CopyWhole(const std::string& source, const std::string& target, WatcherFiles& files) {
  if (files.FileExists(target)) return false;
  const std::string partial = target + std::string(kPartialCopyEnding);
  files.RemoveFile(partial);  // left by a copy cut short
  if (files.CopyToNewFile(source, partial) && files.RenameWithoutOverwrite(partial, target) == Rename::Done) return true;
  files.RemoveFile(partial);
  return false;
}

// A rename where one is possible; across volumes a whole copy, then the source
// goes. A source that cannot go (a program opened it meanwhile) takes the copy
// back with it: the file stays in one place, to be moved by a later scan.
Rename MoveWhole(const std::string& source, const std::string& target, WatcherFiles& files) {
  const Rename renamed = files.RenameWithoutOverwrite(source, target);
  if (renamed != Rename::OtherVolume) return renamed;
  if (files.FileExists(target)) return Rename::Exists;
  if (!CopyWhole(source, target, files)) return Rename::Failed;
  if (files.RemoveFile(source)) return Rename::Done;
  files.RemoveFile(target);
  return Rename::Failed;
}

bool SameFolder(const std::string& a, const std::string& b) { return UpperCaseText(a) == UpperCaseText(b); }

// The file action of a plan; sound and command follow only a done action.
Outcome CarryOut(const std::string& folder, const std::string& name, const ActionPlan& plan,
                 const FilterRecord& filter, WatcherFiles& files) {
  if (plan.kind == PlanKind::HeldByWriter) return Outcome::Busy;
  if (plan.kind != PlanKind::Copy && plan.kind != PlanKind::Move && plan.kind != PlanKind::FollowUpOnly)
    return Outcome::Failed;
  const std::string source = folder + name;
  const std::string destFolder = WithoutSlash(TrimSpaces(filter.Dest));
  std::string target = plan.target;
  if (plan.kind == PlanKind::Copy) {
    if (!EnsureFolder(destFolder, files) || !CopyWhole(source, target, files)) return Outcome::Failed;
    files.Completed(source, target, Copy);
  } else if (plan.kind == PlanKind::Move) {
    if (!EnsureFolder(destFolder, files)) return Outcome::Failed;
    Rename moved = Rename::Exists;
    for (int k = plan.counter; k < kMoveAttempts && moved == Rename::Exists; ++k) {
      target = WithSlash(destFolder) + (k == 0 ? name : NameWithCounter(name, k));
      moved = MoveWhole(source, target, files);
    }
    if (moved != Rename::Done) return Outcome::Failed;
    files.Completed(source, target, Move);
  }

  if (!IsBlankText(filter.Wav)) files.PlaySoundFile(filter.Wav);
  if (!IsBlankText(filter.Cmd)) {
    std::string program, parameters;
    SplitCommandLine(filter.Cmd, program, parameters);
    files.ExpandPlaceholders(program);
    files.ExpandPlaceholders(parameters);
    files.RunCommand(ReplaceTargetPlaceholders(program, target), ReplaceTargetPlaceholders(parameters, target));
  }
  return Outcome::Done;
}

}  // namespace

ActionPlan PlanAction(const std::string& folder, const std::string& name, const std::vector<FilterRecord>& list,
                      FilterMatcher& matcher, WatcherFiles& files, std::map<std::string, FileFacts>* handled) {
  ActionPlan plan;
  const std::string upperName = UpperCaseText(files.MatchName(name));
  if (EndsWith(upperName, ".DAT")) return plan.kind = PlanKind::Ignored, plan;
  auto match = std::find_if(list.begin(), list.end(), [&](const FilterRecord& f) {
    return matcher.Matches(upperName, UpperCaseText(TrimSpaces(f.Filter)));
  });
  if (match == list.end()) return plan;
  plan.filter = int(match - list.begin());
  const std::string source = folder + name;
  if (handled) {
    auto put = handled->find(UpperCaseText(source));
    if (put != handled->end()) {
      if (files.Facts(source) == put->second) return plan.kind = PlanKind::PutBack, plan;
      handled->erase(put);  // changed since: an ordinary file again
    }
  }
  const FileAccess access = files.CheckAccess(source);
  // A file still being written would leave a partial copy behind that blocks
  // every later copy of the finished file: leave it for a later scan.
  if (access == FileAccess::HeldByWriter) return plan.kind = PlanKind::HeldByWriter, plan;
  if (access != FileAccess::Free) return plan.kind = PlanKind::Unreadable, plan;
  plan.target = source;
  if (match->Action != Copy && match->Action != Move) return plan.kind = PlanKind::FollowUpOnly, plan;
  const std::string dest = WithSlash(WithoutSlash(TrimSpaces(match->Dest)));
  // Into the watched folder itself a copy would be the source, and a move would
  // rename the file on every scan.
  if (SameFolder(dest, folder)) return plan.kind = PlanKind::IntoSharedFolder, plan;
  if (match->Action == Copy) {
    plan.target = dest + name;
    plan.kind = files.FileExists(plan.target) ? PlanKind::AlreadyCopied : PlanKind::Copy;
    return plan;
  }
  for (int k = 0; k < kMoveAttempts; ++k) {
    plan.target = dest + (k == 0 ? name : NameWithCounter(name, k));
    if (!files.FileExists(plan.target)) return plan.kind = PlanKind::Move, plan.counter = k, plan;
  }
  return plan.kind = PlanKind::NoFreeName, plan;
}

std::vector<UndoOutcome> UndoEntries(const std::vector<JournalEntry>& newestFirst, WatcherFiles& files) {
  std::vector<UndoOutcome> outcomes;
  for (const JournalEntry& entry : newestFirst) {
    UndoOutcome outcome{entry, JudgeUndo(entry, files.Facts(entry.target), files.Facts(entry.source))};
    if (outcome.verdict == UndoVerdict::Undone) {
      const bool done = entry.action == Move ? MoveWhole(entry.target, entry.source, files) == Rename::Done
                                             : files.RemoveFile(entry.target);
      if (!done) outcome.verdict = UndoVerdict::Failed;
    }
    outcomes.push_back(outcome);
  }
  return outcomes;
}

void RemoveLeftoverPartialCopies(WatcherFiles& files, WatcherFilters& filters) {
  std::vector<std::string> folders;
  filters.Lock();
  for (const FilterRecord& filter : filters.Filters())
    if (filter.Action == Copy || filter.Action == Move) folders.push_back(WithSlash(WithoutSlash(TrimSpaces(filter.Dest))));
  filters.Unlock();
  const std::string ending = UpperCaseText(kPartialCopyEnding);
  for (const std::string& dest : folders)
    for (const std::string& name : files.ListFiles(dest))
      if (EndsWith(UpperCaseText(name), ending)) files.RemoveFile(dest + name);
}

std::string NameWithCounter(std::string_view name, int k) {
  std::string counter = "[" + std::to_string(k) + "]";
  size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return std::string(name) + counter;
  return std::string(name.substr(0, dot)) + counter + std::string(name.substr(dot));
}

std::string ReplaceTargetPlaceholders(std::string_view text, std::string_view target) {
  size_t slash = target.rfind('\\');
  std::string_view fileName = slash == std::string_view::npos ? target : target.substr(slash + 1);
  std::string_view folder = slash == std::string_view::npos ? std::string_view() : target.substr(0, slash + 1);
  std::string out;
  for (size_t i = 0; i < text.size();) {
    std::string_view rest = text.substr(i);
    if (rest.starts_with("%FN")) {
      out += fileName;
      i += 3;
    } else if (rest.starts_with("%P")) {
      out += folder;
      i += 2;
    } else if (rest.starts_with("%F")) {
      out += target;
      i += 2;
    } else {
      out += text[i++];
    }
  }
  return out;
}

int ScanFolder(const std::string& folder, std::atomic<int32_t>& state, WatcherFiles& files,
               WatcherFilters& filters, FilterMatcher& matcher) {
  int busy = 0;
  for (const std::string& name : files.ListFiles(folder)) {
    if (state.load() == StopRequested) break;
    filters.Lock();
    const std::vector<FilterRecord>& list = filters.Filters();
    const ActionPlan plan = PlanAction(folder, name, list, matcher, files, filters.Handled());
    if (plan.filter >= 0 && CarryOut(folder, name, plan, list[size_t(plan.filter)], files) == Outcome::Busy) ++busy;
    filters.Unlock();
  }
  return busy;
}

void RunWatcher(const std::string& folder, std::atomic<int32_t>& state, WatcherWaits& waits,
                WatcherFiles& files, WatcherFilters& filters) {
  if (TrimSpaces(WithoutSlash(folder)).empty()) {
    // No shared folder is set: "\" alone would name the root of the current
    // drive. Touch nothing; only wait for the stop.
    while (true) {
      waits.Wait(kWatcherStepMs);
      int32_t expected = StopRequested;
      if (state.compare_exchange_strong(expected, Stopped)) return;
    }
  }
  RemoveLeftoverPartialCopies(files, filters);
  bool watching = waits.Watch(folder);
  std::string identity = watching ? files.FolderIdentity(folder) : std::string();
  int stepsUnwatched = 0;
  int stepsSinceIdentity = 0;
  int busyDelay = 0;  // steps until a file held by a writer is tried again; 0 = none waits
  int busyWaited = 0;
  bool rearm = false;
  FilterMatcher matcher;

  auto scan = [&] {
    int busy = ScanFolder(folder, state, files, filters, matcher);
    if (busy == 0) {
      busyDelay = 0;
    } else {
      busyDelay = busyDelay == 0 ? 2 : std::min(busyDelay * 2, kBusyRetryMaxSteps);
    }
    busyWaited = 0;
  };

  if (watching) scan();
  while (true) {
    if (rearm && !waits.Rewatch()) {
      // The folder went away under the notification: watch the name again once
      // a folder is there, rather than giving up on the organizer.
      waits.Unwatch();
      watching = false;
      stepsUnwatched = 0;
    }
    rearm = false;
    WatcherWaits::Result result = waits.Wait(kWatcherStepMs);
    rearm = result == WatcherWaits::Result::Change && watching;
    int32_t expected = StopRequested;
    if (state.compare_exchange_strong(expected, Stopped)) {
      waits.Unwatch();
      return;
    }
    switch (result) {
      case WatcherWaits::Result::Wake:
      case WatcherWaits::Result::Change:
        scan();  // a wake without a stop request rescans too
        break;
      case WatcherWaits::Result::Failed:
        // The notification broke: wait on the wake event alone and try again later.
        waits.Unwatch();
        watching = false;
        stepsUnwatched = 0;
        break;
      case WatcherWaits::Result::Timeout:
        if (!watching) {
          if (++stepsUnwatched >= kRewatchSteps) {
            stepsUnwatched = 0;
            watching = waits.Watch(folder);
            identity = watching ? files.FolderIdentity(folder) : std::string();
            if (watching) scan();
          }
        } else if (++stepsSinceIdentity >= kIdentityCheckSteps &&
                   (stepsSinceIdentity = 0, files.FolderIdentity(folder) != identity)) {
          // The notification still waits on the folder that was there: a folder
          // made again under the name tells it nothing. Watch the name anew.
          waits.Unwatch();
          watching = waits.Watch(folder);
          identity = watching ? files.FolderIdentity(folder) : std::string();
          stepsUnwatched = 0;
          if (watching) scan();
        } else if (busyDelay > 0 && ++busyWaited >= busyDelay) {
          scan();
        }
        break;
    }
  }
}

}  // namespace va
