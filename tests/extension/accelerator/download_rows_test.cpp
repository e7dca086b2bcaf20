// Row cells, state names, the "Download Order" column rule and the load rules of
// the accelerator settings.
#include <gtest/gtest.h>

#include "extension/accelerator/accelerator_settings.h"
#include "extension/accelerator/download_states.h"
#include "extension/accelerator/row_cell.h"

namespace va {
namespace {

const std::string kRow = "Song.mp3\xB6" "3.1 MB\xB6" "\xB6" "Paused\xB6" "12.5 KB/s";

TEST(RowCell, CutsCellsBetweenSeparators) {
  EXPECT_EQ(RowCell(kRow, 1), "Song.mp3");
  EXPECT_EQ(RowCell(kRow, 2), "3.1 MB");
  EXPECT_EQ(RowCell(kRow, 3), "");  // an empty cell between two separators
  EXPECT_EQ(RowCell(kRow, 4), "Paused");
  EXPECT_EQ(RowCell(kRow, 5), "12.5 KB/s");  // the last cell has no separator after it
}

TEST(RowCell, CellsBeyondTheTextOrBelowOneAreEmpty) {
  EXPECT_EQ(RowCell(kRow, 6), "");
  EXPECT_EQ(RowCell(kRow, 1000), "");
  EXPECT_EQ(RowCell(kRow, 0), "");
  EXPECT_EQ(RowCell(kRow, -3), "");
  EXPECT_EQ(RowCell("", 1), "");
  EXPECT_EQ(RowCell("only", 1), "only");
  EXPECT_EQ(RowCell("\xB6\xB6", 3), "");
}

TEST(DownloadStates, HostStringIdsFollowTheHostTable) {
  EXPECT_EQ(HostStateStringId(DownloadState::Queued), 36005);
  EXPECT_EQ(HostStateStringId(DownloadState::Searching), 36010);
  EXPECT_EQ(HostStateStringId(DownloadState::Failed), 36013);
  EXPECT_EQ(HostStateStringId(DownloadState::RemotelyQueued), 61373);
}

TEST(DownloadStates, MatchIsExactAndAnEmptyCellOrNameMatchesNothing) {
  EXPECT_TRUE(IsState("Paused", "Paused"));
  EXPECT_FALSE(IsState("paused", "Paused"));
  EXPECT_FALSE(IsState("Paused ", "Paused"));
  EXPECT_FALSE(IsState("", "Paused"));
  EXPECT_FALSE(IsState("", ""));  // a host string that failed to load matches no row
  // a row text with too few separators gives an empty status cell: no state
  EXPECT_FALSE(IsState(RowCell("Title\xB6Size", 5), "Queued"));
}

TEST(DownloadColumnMap, DefaultsAndDownloadOrderValues) {
  DownloadColumnMap map;
  EXPECT_EQ(map.titleColumn, 0);
  EXPECT_EQ(map.statusColumn, 4);
  EXPECT_EQ(map.speedColumn, 7);
  EXPECT_EQ(map.fileNameColumn, 8);
  ApplyDownloadOrderValue(map, "3", 4);
  EXPECT_EQ(map.statusColumn, 3);
  ApplyDownloadOrderValue(map, "12abc", 7);  // leading digits
  EXPECT_EQ(map.speedColumn, 12);
  ApplyDownloadOrderValue(map, "5", 99);     // unknown type ids are ignored
  ApplyDownloadOrderValue(map, "2", 0);
  ApplyDownloadOrderValue(map, "6", 4);      // a later value overwrites an earlier one
  EXPECT_EQ(map.titleColumn, 2);
  EXPECT_EQ(map.statusColumn, 6);
  EXPECT_EQ(map.fileNameColumn, 8);
  ApplyDownloadOrderValue(map, "99999999999999", 8);  // no overflow
  EXPECT_GT(map.fileNameColumn, 0);
}

// Loads a record from (found, value) pairs in the load order.
AcceleratorSettings Load(std::initializer_list<std::pair<AcceleratorField, uint32_t>> stored,
                         AcceleratorSettings start = {}) {
  static const AcceleratorField order[] = {
      AcceleratorField::CyclesDelay,   AcceleratorField::ItemDelay,       AcceleratorField::SkipPaused,
      AcceleratorField::SkipQueued,    AcceleratorField::SearchResume,    AcceleratorField::TimesInSearchState,
      AcceleratorField::KeepDownloads, AcceleratorField::NumDownloadsMax, AcceleratorField::NumDownloadsMin,
      AcceleratorField::NoSearchingConnecting, AcceleratorField::SkipBySpeed, AcceleratorField::MinSpeed,
      AcceleratorField::ClearUploads,  AcceleratorField::ClearDownloads,  AcceleratorField::NumScanItems};
  AcceleratorSettings s = start;
  for (AcceleratorField f : order) {
    bool found = false;
    uint32_t value = 0;
    for (auto& [field, v] : stored) {
      if (field == f) found = true, value = v;
    }
    ApplyLoadedAcceleratorValue(s, f, found, value);
  }
  return s;
}

TEST(AcceleratorSettingsLoad, NumbersAreHeldInTheirRangesAsUnsignedValues) {
  AcceleratorSettings s = Load({{AcceleratorField::CyclesDelay, 5}, {AcceleratorField::ItemDelay, 0xFFFFFFFF},
                                {AcceleratorField::TimesInSearchState, 9}, {AcceleratorField::NumDownloadsMax, 0}});
  EXPECT_EQ(s.CyclesDelay, 30u);
  EXPECT_EQ(s.ItemDelay, 600u);  // a stored -1 is the upper bound
  EXPECT_EQ(s.TimesInSearchState, 8u);
  EXPECT_EQ(s.NumDownloadsMax, 1u);
  EXPECT_EQ(Load({{AcceleratorField::CyclesDelay, 1000}}).CyclesDelay, 600u);
  EXPECT_EQ(Load({{AcceleratorField::CyclesDelay, 0x80000000}}).CyclesDelay, 600u);
}

TEST(AcceleratorSettingsLoad, MissingNumbersTakeDefaultsAndOthersStayUnchanged) {
  AcceleratorSettings start;
  start.SkipPaused = 1;
  start.MinSpeed = 777;
  AcceleratorSettings s = Load({{AcceleratorField::CyclesDelay, 60}}, start);
  EXPECT_EQ(s.CyclesDelay, 60u);
  EXPECT_EQ(s.ItemDelay, 2u);
  EXPECT_EQ(s.TimesInSearchState, 4u);
  EXPECT_EQ(s.NumDownloadsMax, 4u);
  EXPECT_EQ(s.NumDownloadsMin, 2u);
  EXPECT_EQ(s.SkipPaused, 1);
  EXPECT_EQ(s.MinSpeed, 777u);
  EXPECT_EQ(Load({}).CyclesDelay, 45u);
}

TEST(AcceleratorSettingsLoad, MinimumIsReadAfterMaximumAndHeldUnderIt) {
  AcceleratorSettings s = Load({{AcceleratorField::NumDownloadsMax, 3}, {AcceleratorField::NumDownloadsMin, 7}});
  EXPECT_EQ(s.NumDownloadsMax, 3u);
  EXPECT_EQ(s.NumDownloadsMin, 3u);
  EXPECT_EQ(Load({{AcceleratorField::NumDownloadsMin, 0}}).NumDownloadsMin, 1u);
  EXPECT_EQ(Load({{AcceleratorField::NumDownloadsMin, 0xFFFFFFFE}}).NumDownloadsMin, 4u);
  // the default minimum never exceeds a stored maximum of 1
  EXPECT_EQ(Load({{AcceleratorField::NumDownloadsMax, 1}}).NumDownloadsMin, 1u);
}

TEST(AcceleratorSettingsLoad, FlagsTakeTheLowByteAndKeepRangeClearsBothSkips) {
  AcceleratorSettings s = Load({{AcceleratorField::SkipPaused, 0x101}, {AcceleratorField::SkipQueued, 1},
                                {AcceleratorField::MinSpeed, 0xFFFFFFFF}, {AcceleratorField::NumScanItems, 12345}});
  EXPECT_EQ(s.SkipPaused, 1);
  EXPECT_EQ(s.SkipQueued, 1);
  EXPECT_EQ(s.MinSpeed, 0xFFFFFFFFu);  // taken as it is
  EXPECT_EQ(s.NumScanItems, 12345u);
  s = Load({{AcceleratorField::SkipPaused, 1}, {AcceleratorField::SkipQueued, 1}, {AcceleratorField::KeepDownloads, 1}});
  EXPECT_EQ(s.KeepDownloads, 1);
  EXPECT_EQ(s.SkipPaused, 0);
  EXPECT_EQ(s.SkipQueued, 0);
  s = Load({{AcceleratorField::SkipPaused, 1}, {AcceleratorField::KeepDownloads, 0x200}});  // low byte 0
  EXPECT_EQ(s.SkipPaused, 1);
}

TEST(AcceleratorSettingsFields, NamesAndValuesRoundTrip) {
  AcceleratorSettings s;
  for (int i = 0; i < kAcceleratorFieldCount; ++i) {
    const auto field = static_cast<AcceleratorField>(i);
    SetAcceleratorFieldValue(s, field, static_cast<uint32_t>(i + 1));
    EXPECT_EQ(AcceleratorFieldValue(s, field), static_cast<uint32_t>(i + 1)) << AcceleratorFieldName(field);
  }
  EXPECT_STREQ(AcceleratorFieldName(AcceleratorField::NumDownloadsMax), "NumDownloadsMax");
  EXPECT_STREQ(AcceleratorFieldName(AcceleratorField::NoSearchingConnecting), "NoSearchingConnecting");
  EXPECT_EQ(s.NumDownloadsMax, 8u);
  EXPECT_EQ(s.NumScanItems, 15u);
}

}  // namespace
}  // namespace va
