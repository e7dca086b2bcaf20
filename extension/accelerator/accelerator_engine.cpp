// accelerator_engine: cycle loop, row loop and decision rules of the accelerator.
#include "extension/accelerator/accelerator_engine.h"

#include "extension/accelerator/row_cell.h"
#include "extension/resources/resource.h"

namespace va {

AcceleratorWords AcceleratorShared;

namespace {
constexpr uint32_t kOneSecond = 1000;
constexpr uint32_t kSearchPauseMilliseconds = 500;
constexpr uint32_t kStartWaitSeconds = 4;
}  // namespace

// ---- SearchingMemory ----

uint32_t SearchingMemory::Count(uintptr_t item) {
  for (Entry& e : entries_) {
    if (e.item == item) {
      ++e.count;
      e.seen = 1;
      return e.count;
    }
  }
  entries_.push_back({item, 1, 1});
  return 1;
}

void SearchingMemory::Forget(uintptr_t item) {
  for (size_t i = 0; i < entries_.size(); ++i) {
    if (entries_[i].item == item) {
      entries_.erase(entries_.begin() + static_cast<ptrdiff_t>(i));
      break;
    }
  }
  if (entries_.empty()) entries_.shrink_to_fit();
}

void SearchingMemory::EndCycle() {
  std::vector<Entry> kept;
  for (const Entry& e : entries_) {
    if (e.seen == 1) kept.push_back({e.item, e.count, 0});
  }
  entries_.swap(kept);
}

// ---- texts ----

std::string ReplacePlaceholder(std::string_view text, std::string_view name, std::string_view value) {
  std::string out;
  if (name.empty()) return std::string(text);
  size_t start = 0;
  for (;;) {
    const size_t at = text.find(name, start);
    if (at == std::string_view::npos) break;
    out.append(text.substr(start, at - start));
    out.append(value);
    start = at + name.size();
  }
  out.append(text.substr(start));
  return out;
}

std::string FormatSpeedHundredths(uint32_t hundredths) {
  const uint32_t fraction = hundredths % 100;
  std::string out = std::to_string(hundredths / 100);
  out += '.';
  out += static_cast<char>('0' + fraction / 10);
  out += static_cast<char>('0' + fraction % 10);
  return out;
}

bool SpeedAbove(std::string_view cell, uint32_t minSpeed) {
  size_t i = 0;
  while (i < cell.size() && (cell[i] == ' ' || cell[i] == '\t')) ++i;
  bool negative = false;
  if (i < cell.size() && (cell[i] == '-' || cell[i] == '+')) negative = cell[i++] == '-';
  // Exact decimal arithmetic: whole hundredths, and whether digits beyond them are
  // non-zero, so that 12.5 equals 1250 and 12.501 exceeds it.
  uint64_t hundredths = 0;
  bool saturated = false;
  for (; i < cell.size() && cell[i] >= '0' && cell[i] <= '9'; ++i) {
    if (hundredths > (uint64_t{1} << 40)) saturated = true;
    else hundredths = hundredths * 10 + static_cast<uint64_t>(cell[i] - '0');
  }
  hundredths *= 100;
  bool remainder = false;
  if (i < cell.size() && cell[i] == '.') {
    ++i;
    uint64_t scale = 10;
    for (; i < cell.size() && cell[i] >= '0' && cell[i] <= '9'; ++i) {
      const uint64_t digit = static_cast<uint64_t>(cell[i] - '0');
      if (scale > 0) hundredths += digit * scale;
      else if (digit != 0) remainder = true;
      scale /= 10;
    }
  }
  if (negative) return false;  // no speed below zero exceeds a limit
  if (saturated) return true;
  return hundredths > minSpeed || (hundredths == minSpeed && remainder);
}

// ---- engine ----

AcceleratorEngine::AcceleratorEngine(DownloadListPort& list, AcceleratorHostPort& host,
                                     const AcceleratorSettings& settings, AcceleratorWords& words)
    : list_(list), host_(host), settings_(settings), words_(words) {}

bool AcceleratorEngine::StopRequested() const {
  return words_.control.load() == kAcceleratorStopRequested;
}

bool AcceleratorEngine::SleepSteps(uint32_t seconds) {
  for (uint32_t i = 0; i < seconds; ++i) {
    if (StopRequested()) return false;
    host_.Sleep(kOneSecond);
  }
  return !StopRequested();
}

void AcceleratorEngine::SetStatus(uint32_t status) {
  words_.status.store(status);
  host_.StatusChanged();
}

void AcceleratorEngine::ShowAction(int stringId, uint32_t number, bool withNumber) {
  std::string text = host_.Text(stringId);
  if (withNumber) text = ReplacePlaceholder(text, "%NUM%", std::to_string(number));
  host_.ShowText(IDC_ACTION_TAKEN, text);
}

bool AcceleratorEngine::Is(std::string_view cell, DownloadState state) const {
  return IsState(cell, names_[static_cast<int>(state)]);
}

void AcceleratorEngine::LoadStateNames() {
  for (int i = 0; i < kDownloadStateCount; ++i) names_[i] = list_.StateName(static_cast<DownloadState>(i));
}

void AcceleratorEngine::Run() {
  // A stop asked for before the thread got going is kept; otherwise Active.
  uint32_t expected = kAcceleratorStopped;
  words_.control.compare_exchange_strong(expected, kAcceleratorActive);
  SetStatus(kAcceleratorIdle);
  words_.wasOn.store(1);
  host_.RememberRunning(true);
  host_.ShowText(IDC_NEXT_CYCLE, host_.Text(IDS_ACCELERATOR_RUNNING));
  if (SleepSteps(kStartWaitSeconds)) {
    list_.Attach();
    LoadStateNames();
    countdown_ = settings_.CyclesDelay;  // the first cycle starts at once
    while (!StopRequested()) {
      const int64_t delay = settings_.CyclesDelay;
      const int64_t remaining = delay > countdown_ ? delay - countdown_ : 0;
      host_.ShowText(IDC_NEXT_CYCLE,
                     ReplacePlaceholder(host_.Text(IDS_NEXT_CYCLE_SECONDS), "%S%", std::to_string(remaining)));
      if (countdown_ < delay) {
        host_.Sleep(kOneSecond);
        ++countdown_;
        continue;
      }
      RunCycle();
    }
  }
  Exit();
}

void AcceleratorEngine::RunCycle() {
  countdown_ = 0;
  SetStatus(kAcceleratorRunning);
  host_.ShowText(IDC_NEXT_CYCLE, host_.Text(IDS_ACCELERATOR_RUNNING));
  // One pass gives the cycle its rows; each row is read again when its turn comes.
  list_.ReadRows(rows_, cells_);
  if (settings_.KeepDownloads == 1) CountActiveInPass();
  int64_t waited = settings_.ItemDelay;  // the first row is read without waiting
  size_t index = 0;
  for (;;) {
    if (StopRequested()) break;
    host_.WaitGate();
    if (StopRequested()) break;
    if (waited < static_cast<int64_t>(settings_.ItemDelay)) {
      host_.Sleep(kOneSecond);
      ++waited;
      continue;
    }
    if (index >= rows_.size()) break;
    waited = 0;
    const uint32_t scanLimit = settings_.NumScanItems;
    if (scanLimit != 0 && index >= scanLimit) break;
    const Outcome outcome = HandleRow(index);
    if (outcome == Outcome::EndOfList) break;
    if (outcome == Outcome::Skip) waited = static_cast<int64_t>(settings_.ItemDelay) - 1;
    if (outcome == Outcome::ActionAtLeastOneSecond && settings_.ItemDelay == 0) waited = -1;
    ++index;
  }
  EndCycle();
}

void AcceleratorEngine::EndCycle() {
  searching_.EndCycle();
  if (settings_.ClearUploads == 1) list_.Command(kHostClearUploads);
  if (settings_.ClearDownloads == 1) list_.Command(kHostClearDownloads);
  SetStatus(kAcceleratorIdle);
  host_.Sleep(kOneSecond);
  ++countdown_;
}

AcceleratorEngine::Outcome AcceleratorEngine::HandleRow(size_t index) {
  const ListedRow row = rows_[index];
  std::string text;
  if (!list_.ReadRow(row, text, cells_)) return Outcome::EndOfList;
  const auto cell = [&](DownloadColumn column) { return RowCell(text, cells_[static_cast<int>(column)]); };
  host_.ShowText(IDC_LAST_ITEM, std::string(cell(DownloadColumn::Title)));
  const std::string status(cell(DownloadColumn::Status));
  if (settings_.KeepDownloads == 1) NoteRowStatus(index, status);

  if (Is(status, DownloadState::Paused)) {
    if (settings_.SkipPaused == 1) return ShowAction(IDS_SKIPPED_PAUSED), Outcome::Skip;
  } else if (Is(status, DownloadState::Queued)) {
    if (settings_.SkipQueued == 1) return ShowAction(IDS_SKIPPED_QUEUED), Outcome::Skip;
  } else if (Is(status, DownloadState::Cancelled)) {
    return ShowAction(IDS_SKIPPED_CANCELLED), Outcome::Skip;
  } else if (Is(status, DownloadState::Failed)) {
    return ShowAction(IDS_SKIPPED_FAILED), Outcome::Skip;
  } else if (Is(status, DownloadState::Completed)) {
    return ShowAction(IDS_SKIPPED_COMPLETED), Outcome::Skip;
  } else if (Is(status, DownloadState::Searching) && settings_.SearchResume == 1) {
    const uint32_t times = settings_.TimesInSearchState;
    if (searching_.Count(row.item) >= times) {
      searching_.Forget(row.item);
      if (!list_.Act(row, {kHostPauseDownload}, true, [&] { ShowAction(IDS_RESUMED_SEARCHING, times, true); }))
        return Outcome::EndOfList;
      host_.Sleep(kSearchPauseMilliseconds);
      // Resumed by its item: whatever the user selected meanwhile is left alone.
      list_.Act(row, {kHostResumeDownload, kHostAccelerateDownload}, true);
      return Outcome::Action;
    }
  }

  if (settings_.SkipBySpeed == 1) {
    const uint32_t minSpeed = settings_.MinSpeed;
    if (SpeedAbove(cell(DownloadColumn::Speed), minSpeed)) {
      host_.ShowText(IDC_ACTION_TAKEN,
                     ReplacePlaceholder(host_.Text(IDS_SKIPPED_SPEED), "%SPD%", FormatSpeedHundredths(minSpeed)));
      return Outcome::Skip;
    }
  }

  if (settings_.KeepDownloads == 1) return KeepRange(index, status);

  if (!list_.Act(row, {kHostResumeDownload, kHostAccelerateDownload}, true, [&] { ShowAction(IDS_ACCELERATED); }))
    return Outcome::EndOfList;
  return Outcome::ActionAtLeastOneSecond;
}

AcceleratorEngine::Outcome AcceleratorEngine::KeepRange(size_t index, std::string_view status) {
  const ListedRow row = rows_[index];
  const uint32_t active = activeCount_;
  if (Is(status, DownloadState::Downloading) || Is(status, DownloadState::Connecting) ||
      Is(status, DownloadState::Searching)) {
    const uint32_t maximum = settings_.NumDownloadsMax;
    const bool above = active > maximum;
    if (!list_.Act(row, {above ? kHostPauseDownload : kHostAccelerateDownload}, true)) return Outcome::EndOfList;
    NoteRowAfterCommands(index);
    if (above) ShowAction(IDS_PAUSED_ABOVE_MAXIMUM, maximum, true);
    else ShowAction(IDS_ACCELERATED);
    return Outcome::Action;
  }
  const uint32_t minimum = settings_.NumDownloadsMin;
  if (active < minimum) {
    if (!list_.Act(row, {kHostResumeDownload, kHostAccelerateDownload}, true)) return Outcome::EndOfList;
    NoteRowAfterCommands(index);
    ShowAction(IDS_RESUMED_BELOW_MINIMUM, minimum, true);
    return Outcome::Action;
  }
  ShowAction(IDS_SKIPPED_IN_RANGE);
  return Outcome::Skip;
}

bool AcceleratorEngine::CountsAsActive(std::string_view status) const {
  if (Is(status, DownloadState::Downloading)) return true;
  return settings_.NoSearchingConnecting != 1 &&
         (Is(status, DownloadState::Connecting) || Is(status, DownloadState::Searching));
}

// A row whose text cannot be read counts as not active.
void AcceleratorEngine::CountActiveInPass() {
  active_.assign(rows_.size(), 0);
  activeCount_ = 0;
  std::string text;
  for (size_t i = 0; i < rows_.size(); ++i)
    if (list_.PeekText(rows_[i].data, text))
      NoteRowStatus(i, RowCell(text, cells_[static_cast<int>(DownloadColumn::Status)]));
}

void AcceleratorEngine::NoteRowStatus(size_t index, std::string_view status) {
  const uint8_t now = CountsAsActive(status) ? 1 : 0;
  activeCount_ = activeCount_ - active_[index] + now;
  active_[index] = now;
}

// The host changes a row's status as it carries out a command: the count follows.
void AcceleratorEngine::NoteRowAfterCommands(size_t index) {
  std::string text;
  if (list_.PeekText(rows_[index].data, text))
    NoteRowStatus(index, RowCell(text, cells_[static_cast<int>(DownloadColumn::Status)]));
}

void AcceleratorEngine::Exit() {
  host_.ShowText(IDC_NEXT_CYCLE, host_.Text(IDS_INACTIVE));
  host_.ShowText(IDC_LAST_ITEM, host_.Text(IDS_NO_VALUE));
  host_.ShowText(IDC_ACTION_TAKEN, host_.Text(IDS_NO_VALUE));
  // Stopped comes last, so a thread started right after it never has its
  // WasOn or Idle overwritten by this one.
  words_.wasOn.store(0);
  host_.RememberRunning(false);
  SetStatus(kAcceleratorDisabled);
  words_.control.store(kAcceleratorStopped);
}

}  // namespace va
