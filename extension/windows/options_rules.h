// options_rules: the portable rules of the options dialog and its pages: which
// page opens, the accelerator page's number boxes (speed text, minimum and
// maximum bounding each other) and the "Try to keep" switch of the two skips.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace va {

inline constexpr int kOptionsPageFirst = 201;
inline constexpr int kOptionsPageLast = 206;

bool IsOptionsPage(int pageId);
// The page a dialog opens on: `requested` when it is one of the six pages, else 201.
int ChooseOptionsPage(int requested);

// The speed box shows hundredths of KB/s with two decimals ("0\.00": 1250 is
// "12.50") and stores the typed KB/s times 100, rounded ("12.5" is 1250); a
// number beyond the 32-bit range stores the largest value.
std::string FormatSpeedText(uint32_t hundredths);
uint32_t ParseSpeedText(std::string_view text);

// Ranges of the accelerator page's spin-bound boxes.
struct NumberRange {
  int32_t minimum;
  int32_t maximum;
};
inline constexpr NumberRange kCyclesDelayRange = {30, 600};
inline constexpr NumberRange kItemDelayRange = {1, 600};
inline constexpr NumberRange kTimesSearchingRange = {1, 8};
inline constexpr NumberRange kDownloadsRange = {1, 10};  // the spin range of both boxes

int32_t ClampToRange(int64_t value, NumberRange range);
// The minimum box accepts 1 to the number in the maximum box, the maximum box the
// number in the minimum box to 10; an unreadable other box counts as its bound.
NumberRange DownloadsMinRange(int32_t currentMax);
NumberRange DownloadsMaxRange(int32_t currentMin);
// Brings a stored pair into 1..10 with the minimum not above the maximum.
void NormaliseDownloadBounds(int32_t* minimum, int32_t* maximum);

// The two skip boxes under "Try to keep": checking it remembers their checks and
// clears them; unchecking it gives them back.
struct SkipBoxes {
  bool paused = false;
  bool queued = false;
};
struct KeepDownloadsSwitch {
  SkipBoxes remembered;
  // Returns the checks the two boxes show after the switch.
  SkipBoxes Check(SkipBoxes shown);
  SkipBoxes Uncheck() const { return remembered; }
};

}  // namespace va
