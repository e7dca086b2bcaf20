// The bulk pause/resume walk, the command and selector tables and the bounded
// search-fill wait, over a fake download list and a fake clock.
#include "extension/accelerator/download_commands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace va {
namespace {

// Rows are "title" 0xB6 "x" 0xB6 "status"; the status is cell 3. Item n is row
// n-1; its item data is n*16, or 0 when the row has none.
struct FakeRow {
  std::string title, status;
  bool noData = false;
  bool unreadable = false;
};

class FakeList : public DownloadListPort {
 public:
  std::vector<FakeRow> rows;
  std::vector<std::string> events;  // "select t", "cmd 61244", "cell"
  uintptr_t selected = 0;

  uintptr_t First() override { return rows.empty() ? 0 : 1; }
  uintptr_t Next(uintptr_t item) override { return item < rows.size() ? item + 1 : 0; }
  uintptr_t Data(uintptr_t item) override { return rows.at(item - 1).noData ? 0 : item * 16; }
  bool RowText(uintptr_t data, std::string& text) override {
    const FakeRow& r = rows.at(data / 16 - 1);
    if (r.unreadable) return false;
    text = r.title + "\xB6x\xB6" + r.status;
    return true;
  }
  int CellNumber(DownloadColumn column) override {
    events.push_back("cell");
    return column == DownloadColumn::Status ? 3 : 1;
  }
  void Select(uintptr_t item) override {
    selected = item;
    events.push_back("select " + rows.at(item - 1).title);
  }
  void Command(uint16_t id) override { events.push_back("cmd " + std::to_string(id)); }
  std::string StateName(DownloadState) override { return ""; }
};

TEST(BulkCommand, ActsOnExactlyTheRowsInTheStateAndLeavesTheLastOneSelected) {
  FakeList list;
  list.rows = {{"a", "Queued"}, {"b", "Paused"}, {"c", "Queued"}, {"d", "Queued "}, {"e", "queued"}, {"f", ""}};
  EXPECT_EQ(RunBulkCommand(list, kHostResumeDownload, false, "Queued"), 2);
  // The status cell is asked once, before the walk; near misses do not match.
  EXPECT_EQ(list.events, (std::vector<std::string>{"cell", "select a", "cmd 61244", "select c", "cmd 61244"}));
  EXPECT_EQ(list.selected, 3u);
}

TEST(BulkCommand, AllRowsGetTheCommandAndNoMatchLeavesTheSelection) {
  FakeList list;
  list.rows = {{"a", "Queued"}, {"b", "Paused"}, {"c", ""}};
  EXPECT_EQ(RunBulkCommand(list, kHostPauseDownload, true, ""), 3);
  EXPECT_EQ(list.selected, 3u);

  FakeList none;
  none.rows = {{"a", "Queued"}, {"b", "Paused"}};
  none.selected = 2;
  EXPECT_EQ(RunBulkCommand(none, kHostPauseDownload, false, "Downloading"), 0);
  EXPECT_EQ(none.selected, 2u);
  // A state name the host could not give (empty) matches no row, not the empty cells.
  FakeList empty;
  empty.rows = {{"a", ""}, {"b", ""}};
  EXPECT_EQ(RunBulkCommand(empty, kHostPauseDownload, false, ""), 0);
  FakeList nothing;
  EXPECT_EQ(RunBulkCommand(nothing, kHostPauseDownload, true, ""), 0);
}

TEST(BulkCommand, TheWalkEndsAtARowWithoutDataOrText) {
  FakeList list;
  list.rows = {{"a", "Paused"}, {"b", "Paused", true}, {"c", "Paused"}};
  EXPECT_EQ(RunBulkCommand(list, kHostResumeDownload, true, ""), 1);
  FakeList gone;
  gone.rows = {{"a", "Paused"}, {"b", "Paused", false, true}, {"c", "Paused"}};
  EXPECT_EQ(RunBulkCommand(gone, kHostResumeDownload, false, "Paused"), 1);
}

TEST(BulkCommand, SelectorsAndActionsFollowTheMenuTable) {
  const std::pair<int, DownloadState> states[] = {
      {kSelectQueued, DownloadState::Queued},           {kSelectPaused, DownloadState::Paused},
      {kSelectMoreSources, DownloadState::MoreSourcesNeeded}, {kSelectRemotelyQueued, DownloadState::RemotelyQueued},
      {kSelectSearching, DownloadState::Searching},     {kSelectDownloading, DownloadState::Downloading}};
  for (const auto& [selector, expected] : states) {
    DownloadState state = DownloadState::Failed;
    EXPECT_TRUE(SelectorState(selector, state)) << selector;
    EXPECT_EQ(state, expected) << selector;
  }
  DownloadState state = DownloadState::Failed;
  EXPECT_FALSE(SelectorState(kSelectAll, state));
  EXPECT_FALSE(SelectorState(8, state));
  EXPECT_EQ(BulkActionCommand(kBulkActionResume), 61244);
  EXPECT_EQ(BulkActionCommand(kBulkActionPause), 61242);
  EXPECT_EQ(BulkActionCommand(3), 0);
  DownloadColumn column = DownloadColumn::Speed;
  EXPECT_TRUE(FindMoreColumn(kFindMoreTitle, column));
  EXPECT_EQ(column, DownloadColumn::Title);
  EXPECT_TRUE(FindMoreColumn(kFindMoreFileName, column));
  EXPECT_EQ(column, DownloadColumn::FileName);
  EXPECT_FALSE(FindMoreColumn(3, column));
}

class FakeSearchForm : public SearchFillPort {
 public:
  int readyAfterLooks = -1;  // -1: never
  int looks = 0;
  uint32_t slept = 0;
  std::vector<std::string> filled;
  bool FormReady() override { return readyAfterLooks >= 0 && looks++ >= readyAfterLooks; }
  void Sleep(uint32_t milliseconds) override {
    if (readyAfterLooks < 0) ++looks;
    slept += milliseconds;
  }
  void Fill(const std::string& text) override { filled.push_back(text); }
};

TEST(SearchFill, WaitsInHalfSecondStepsUntilThePanelIsThereThenFillsOnce) {
  FakeSearchForm form;
  form.readyAfterLooks = 3;
  EXPECT_TRUE(RunSearchFill(form, "Song Title"));
  EXPECT_EQ(form.filled, (std::vector<std::string>{"Song Title"}));
  EXPECT_EQ(form.slept, 3 * 500u);

  FakeSearchForm ready;
  ready.readyAfterLooks = 0;
  EXPECT_TRUE(RunSearchFill(ready, ""));
  EXPECT_EQ(ready.slept, 0u);
}

TEST(SearchFill, GivesUpAfterThirtySecondsWhenThePanelNeverComes) {
  FakeSearchForm form;
  EXPECT_FALSE(RunSearchFill(form, "x"));
  EXPECT_TRUE(form.filled.empty());
  EXPECT_EQ(form.slept, 30000u);
  EXPECT_EQ(form.looks, kSearchFillMaxLooks);
}

}  // namespace
}  // namespace va
