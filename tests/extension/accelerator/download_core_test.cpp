// The portable rules around the download list: loading the accelerator settings,
// cutting row cells, matching state names and speeds, the column map, the reorder
// record and the bounded wait of the search fill.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "extension/accelerator/accelerator_settings.h"
#include "extension/accelerator/download_commands.h"
#include "extension/accelerator/download_order.h"
#include "extension/accelerator/row_cell.h"

namespace va {
namespace {

using F = AcceleratorField;

// Loads a record from the stored values (every other one missing; SkipPaused and
// MinSpeed were set before) and gives "Name=value" of the fields `expected` names.
std::string Load(const std::map<F, uint32_t>& stored, const std::string& expected) {
  AcceleratorSettings s;
  s.SkipPaused = 1, s.MinSpeed = 777;
  for (int i = 0; i < kAcceleratorFieldCount; ++i) {  // in the store's order
    const auto found = stored.find(static_cast<F>(i));
    ApplyLoadedAcceleratorValue(s, static_cast<F>(i), found != stored.end(), found != stored.end() ? found->second : 0);
  }
  std::string out;
  for (int i = 0; i < kAcceleratorFieldCount; ++i) {
    const std::string name = AcceleratorFieldName(static_cast<F>(i));
    if (expected.find(name + "=") == std::string::npos) continue;
    out += (out.empty() ? "" : " ") + name + "=" + std::to_string(AcceleratorFieldValue(s, static_cast<F>(i)));
  }
  return out;
}

TEST(AcceleratorSettingsLoad, RangesDefaultsAndFlagRules) {
  const std::pair<std::map<F, uint32_t>, std::string> rows[] = {
      {{}, "CyclesDelay=45 ItemDelay=2 SkipPaused=1 TimesInSearchState=4 NumDownloadsMax=4 NumDownloadsMin=2 MinSpeed=777"},
      {{{F::CyclesDelay, 60}, {F::ItemDelay, 0xFFFFFFFF}, {F::TimesInSearchState, 9}, {F::NumDownloadsMax, 0}},
       "CyclesDelay=60 ItemDelay=600 TimesInSearchState=8 NumDownloadsMax=1 NumDownloadsMin=1"},
      {{{F::CyclesDelay, 5}, {F::NumDownloadsMax, 3}, {F::NumDownloadsMin, 7}}, "CyclesDelay=30 NumDownloadsMin=3"},
      {{{F::CyclesDelay, 1000}, {F::NumDownloadsMin, 0}}, "CyclesDelay=600 NumDownloadsMin=1"},
      {{{F::CyclesDelay, 0x80000000}, {F::NumDownloadsMin, 0xFFFFFFFE}}, "CyclesDelay=600 NumDownloadsMin=4"},
      {{{F::SkipQueued, 0x101}, {F::KeepDownloads, 0x200}, {F::MinSpeed, 0xFFFFFFFF}, {F::NumScanItems, 12345}},
       "SkipPaused=1 SkipQueued=1 KeepDownloads=0 MinSpeed=4294967295 NumScanItems=12345"},
      {{{F::SkipQueued, 1}, {F::KeepDownloads, 1}}, "SkipPaused=0 SkipQueued=0 KeepDownloads=1"},
  };
  for (const auto& [stored, expected] : rows) EXPECT_EQ(Load(stored, expected), expected);
}

TEST(DownloadRows, CellsStatesAndColumnOrder) {
  const std::string row = "Song.mp3\xB6" "3.1 MB\xB6\xB6" "Paused\xB6" "12.5 KB/s";
  const std::pair<int, const char*> cells[] = {{1, "Song.mp3"}, {2, "3.1 MB"}, {3, ""}, {4, "Paused"},
                                               {5, "12.5 KB/s"}, {6, ""}, {0, ""}, {-3, ""}};
  for (const auto& [n, expected] : cells) EXPECT_EQ(RowCell(row, n), expected) << "cell " << n;
  EXPECT_EQ(RowCell("only", 1), "only");
  EXPECT_EQ(RowCell("", 1), "");

  EXPECT_TRUE(IsState("Paused", "Paused"));
  EXPECT_FALSE(IsState("paused", "Paused"));
  EXPECT_FALSE(IsState("Paused ", "Paused"));
  EXPECT_FALSE(IsState("", ""));  // a state name the host could not give matches no row
  // Speed cells against a minimum in hundredths: exact decimals; no number or a
  // negative one is never above; a huge one always is.
  EXPECT_EQ(std::vector<bool>({SpeedAbove("12.501", 1250), SpeedAbove("0.07", 7), SpeedAbove("KB/s", 0),
                               SpeedAbove("-3", 0), SpeedAbove("99999999999999999999999", 4294967295u)}),
            std::vector<bool>({true, false, false, false, true}));

  DownloadColumnMap map;
  ApplyDownloadOrderValue(map, "3", 4);      // the value's name is the column, its data the type
  ApplyDownloadOrderValue(map, "12abc", 7);  // leading digits
  ApplyDownloadOrderValue(map, "5", 99);     // unknown types are ignored
  ApplyDownloadOrderValue(map, "2", 0);
  EXPECT_EQ(std::vector<int>({map.titleColumn, map.statusColumn, map.speedColumn, map.fileNameColumn}),
            std::vector<int>({2, 3, 12, 8}));
}

// Titles in order; "!" marks an item data that did not travel with its title.
std::string Titles(const DownloadOrder& order) {
  std::string out;
  for (size_t i = 0; i < order.titles.size(); ++i) {
    out += order.titles[i] + (order.rowData[i] == static_cast<uintptr_t>(order.titles[i][0] - '0') ? "" : "!");
  }
  return out;
}

TEST(DownloadOrder, DragsButtonsAndTheHostSort) {
  const auto four = [] {
    DownloadOrder order;
    for (uintptr_t n = 1; n <= 4; ++n) AddToOrder(order, n, std::to_string(n));
    return order;
  };
  DownloadOrder order = four();
  EXPECT_TRUE(MoveByDrag(order, 0, 2));
  EXPECT_EQ(Titles(order), "2314");
  order = four();
  EXPECT_TRUE(MoveByDrag(order, 3, 1));
  EXPECT_EQ(Titles(order), "1423");
  EXPECT_FALSE(MoveByDrag(order, 4, 0));
  EXPECT_EQ(MoveByButton(order, 0, -1), 0u);  // the ends stay
  EXPECT_EQ(MoveByButton(order, 3, +1), 3u);
  EXPECT_EQ(MoveByButton(order, 1, +1), 2u);
  EXPECT_EQ(Titles(order), "1243");

  std::vector<uintptr_t> hostRows = {4, 3, 9, 2, 1};  // 9: a row the record does not know goes last
  std::sort(hostRows.begin(), hostRows.end(), [&](auto a, auto b) { return CompareOrderPositions(order, a, b) < 0; });
  EXPECT_EQ(hostRows, (std::vector<uintptr_t>{1, 2, 4, 3, 9}));

  // Where the drag shows its mark: before the entry under the cursor going up,
  // after it going down, nothing over the dragged entry itself.
  EXPECT_EQ(std::vector<int>({InsertionMarkBefore(0, 0, 4), InsertionMarkBefore(0, 1, 4), InsertionMarkBefore(0, 3, 4),
                              InsertionMarkBefore(2, 1, 4), InsertionMarkBefore(0, -1, 4)}),
            std::vector<int>({-1, 2, 3, 1, -1}));
}

TEST(SearchFill, WaitsForThePanelInHalfSecondsAndGivesUpAfterThirty) {
  struct Form : SearchFillPort {
    int readyAt = -1, looks = 0;
    uint32_t slept = 0;
    std::vector<std::string> filled;
    bool FormReady() override { return readyAt >= 0 && looks++ >= readyAt; }
    void Sleep(uint32_t ms) override { slept += ms; }
    void Fill(const std::string& text) override { filled.push_back(text); }
  } late, never;
  late.readyAt = 3;
  EXPECT_TRUE(RunSearchFill(late, "Song Title"));
  EXPECT_EQ(late.filled, std::vector<std::string>{"Song Title"});
  EXPECT_EQ(late.slept, 1500u);
  EXPECT_FALSE(RunSearchFill(never, "x"));
  EXPECT_TRUE(never.filled.empty());
  EXPECT_EQ(never.slept, 30000u);
}

}  // namespace
}  // namespace va
