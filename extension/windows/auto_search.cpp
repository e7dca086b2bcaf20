// auto_search: the Auto Search More loop over its ports (see auto_search.h).
#include "extension/windows/auto_search.h"

#include "extension/accelerator/accelerator_engine.h"
#include "extension/resources/resource.h"

namespace va {

std::atomic<uint32_t> AutoSearchState{kAutoSearchIdle};

bool ClaimAutoSearch(std::atomic<uint32_t>& state) {
  uint32_t expected = kAutoSearchIdle;
  return state.compare_exchange_strong(expected, kAutoSearchRunning);
}

bool RequestAutoSearchStop(std::atomic<uint32_t>& state) {
  uint32_t expected = kAutoSearchRunning;
  return state.compare_exchange_strong(expected, kAutoSearchStopRequested);
}

std::string_view WithoutTrailingPeriods(std::string_view text) {
  while (!text.empty() && text.back() == '.') text.remove_suffix(1);
  return text;
}

uint32_t ProgressValue(uint64_t part, uint64_t whole) {
  if (whole == 0) return 0;
  // part stays far below 2^64 / 10000 (counts of 1.5-second steps, presses, items).
  const uint64_t value = part * kAutoSearchProgressRange / whole;
  return value > kAutoSearchProgressRange ? kAutoSearchProgressRange : static_cast<uint32_t>(value);
}

AutoSearchEngine::AutoSearchEngine(AutoSearchPort& port, AutoSearchLimit limit, std::atomic<uint32_t>& state)
    : port_(port), limit_(limit), state_(state) {}

void AutoSearchEngine::ShowUnitText(int stringId, std::string_view placeholder, uint64_t value) {
  port_.ShowText(kAutoSearchTextControl, ReplacePlaceholder(port_.Text(stringId), placeholder, std::to_string(value)));
}

void AutoSearchEngine::Start() {
  // While the host runs with a skin its status bar cannot be trusted, so the
  // prevention is off and the bar is never read.
  prevention_ = !port_.SkinActive();
  port_.ShowText(kPreventionStateControl, port_.Text(prevention_ ? IDS_PREVENTION_ENABLED : IDS_PREVENTION_DISABLED));
  notConnected_ = port_.HostText(kHostStringNotConnected);
  connecting_ = std::string(WithoutTrailingPeriods(port_.HostText(kHostStringConnecting)));
  switch (limit_.unit) {
    case kUnitMinutes: ShowUnitText(IDS_MINUTES_LEFT, "%MIN%", limit_.number); break;
    case kUnitTimes: ShowUnitText(IDS_TIMES_LEFT, "%TIM%", limit_.number); break;
    case kUnitResults: ShowUnitText(IDS_RESULTS_FOUND, "%SRCH%", 0); break;
    default: port_.ShowText(kAutoSearchTextControl, port_.Text(IDS_NO_LIMIT)); break;
  }
  port_.ShowText(kAutoSearchStateControl, port_.Text(IDS_ACTIVE));
  port_.PanelRunning(true);
}

bool AutoSearchEngine::CountAndCheckLimit() {
  switch (limit_.unit) {
    case kUnitMinutes: {
      ++ticks_;
      const uint64_t minutes = ticks_ / kStepsPerMinute;
      if (ticks_ % kStepsPerMinute == 0 && minutes <= limit_.number)
        ShowUnitText(IDS_MINUTES_LEFT, "%MIN%", limit_.number - minutes);
      if (limit_.number > 0) port_.ShowProgress(ProgressValue(ticks_, uint64_t{kStepsPerMinute} * limit_.number));
      return minutes >= limit_.number;
    }
    case kUnitTimes:
      if (presses_ != shownPresses_) {
        shownPresses_ = presses_;
        if (presses_ <= limit_.number) ShowUnitText(IDS_TIMES_LEFT, "%TIM%", limit_.number - presses_);
        if (limit_.number > 0) port_.ShowProgress(ProgressValue(presses_, limit_.number));
      }
      return presses_ >= limit_.number;
    case kUnitResults: {
      const uint32_t count = port_.ResultCount();
      if (count != shownResults_) {
        shownResults_ = count;
        ShowUnitText(IDS_RESULTS_FOUND, "%SRCH%", count);
        if (limit_.number > 0) port_.ShowProgress(ProgressValue(count, limit_.number));
      }
      return count >= limit_.number;
    }
  }
  return false;  // no limit
}

bool AutoSearchEngine::MaybePress() {
  if (!port_.SearchMoreEnabled()) return true;
  if (prevention_) {
    const std::string text = port_.ConnectionText();
    // A host string that could not be loaded (empty) matches no status text.
    // Pressing now would make the host show its 'Not Connected' message.
    if (!notConnected_.empty() && text == notConnected_) return false;
    // While the client connects nothing is pressed; the loop waits.
    if (!connecting_.empty() && WithoutTrailingPeriods(text) == connecting_) return true;
    if (state_.load() == kAutoSearchStopRequested) return true;
  }
  if (limit_.unit == kUnitTimes) ++presses_;
  port_.PressSearchMore();
  return true;
}

AutoSearchEnd AutoSearchEngine::Run() {
  Start();
  AutoSearchEnd end;
  for (;;) {
    port_.Sleep(kAutoSearchStepMs);
    if (CountAndCheckLimit()) {
      port_.Beep();
      end = AutoSearchEnd::LimitReached;
      break;
    }
    if (state_.load() == kAutoSearchStopRequested) {
      end = AutoSearchEnd::StopRequested;
      break;
    }
    if (port_.SearchButtonActive()) {
      end = AutoSearchEnd::SearchEnded;
      break;
    }
    if (!MaybePress()) {
      end = AutoSearchEnd::NotConnected;
      break;
    }
  }
  Finish();
  return end;
}

void AutoSearchEngine::Finish() {
  port_.PanelRunning(false);
  port_.ShowText(kAutoSearchStateControl, port_.Text(IDS_INACTIVE));
  port_.ShowText(kAutoSearchTextControl, port_.Text(IDS_NO_VALUE));
  port_.ShowText(kPreventionStateControl, port_.Text(IDS_NO_VALUE));
  port_.ShowProgress(0);
  // Last, so that a new run cannot start before this one wrote its end texts.
  state_.store(kAutoSearchIdle);
}

}  // namespace va
