// The options dialog's "File Organizer" page in-process: working copy and
// details, the limit, adding through the filter dialog (Apply starts the
// watcher), reordering, and closing without Apply.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../menus/menu_test_support.h"
#include "../organizer/organizer_test_support.h"
#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_pages_win.h"
#include "options_page_test_support.h"

namespace va {
namespace {

std::vector<std::string> Titles(const std::vector<FilterRecord>& filters) {
  std::vector<std::string> titles;
  for (const FilterRecord& filter : filters) titles.push_back(filter.Title);
  return titles;
}

std::string StoredTitle(int number) {
  return test::StoredText(HKEY_CURRENT_USER, kFiltersKey, "Title" + std::to_string(number));
}

class OrganizerPage : public test::OptionsPageTest {
 protected:
  void TearDown() override {
    OptionsPageTest::TearDown();
    bench_.reset();  // stops the watcher and removes the filters
  }
  test::OrganizerBench& bench() { return *bench_; }
  FilterRecord Filter(const std::string& title, const std::string& filter, int32_t action, const std::string& dest) {
    return {title, filter, action, dest, "", ""};
  }
  HWND OpenPage() { return Open(kOptionsOrganizerPage, OrganizerPageProc); }

 private:
  std::unique_ptr<test::OrganizerBench> bench_ = std::make_unique<test::OrganizerBench>();
};

TEST_F(OrganizerPage, ShowsTheWorkingCopyWithFilterActionAndShortenedDestination) {
  const std::string longDest = "C:\\Archive\\" + std::string(120, 'd') + "\\Documents\\Letters";
  ASSERT_EQ(bench().Save({Filter("Docs", "*.doc;*.txt", Copy, longDest),
                          Filter("Music", "*.mp3", Move, bench().Shared("Music"))}),
            1);
  ASSERT_NE(OpenPage(), nullptr);
  EXPECT_EQ(Count(IDC_ORGANIZER_PAGE_LIST), 2);
  EXPECT_EQ(Selected(IDC_ORGANIZER_PAGE_LIST), 0);
  EXPECT_EQ(Text(IDC_ORGANIZER_PAGE_FILTER), "*.doc;*.txt");
  EXPECT_EQ(Text(IDC_ORGANIZER_PAGE_ACTION), "Copy");
  const std::string shown = Text(IDC_ORGANIZER_PAGE_DEST);
  EXPECT_LT(shown.size(), longDest.size());
  EXPECT_NE(shown.find("..."), std::string::npos) << shown;
  EXPECT_NE(shown.find("Letters"), std::string::npos) << shown;

  Select(IDC_ORGANIZER_PAGE_LIST, 1);
  EXPECT_EQ(Text(IDC_ORGANIZER_PAGE_FILTER), "*.mp3");
  EXPECT_EQ(Text(IDC_ORGANIZER_PAGE_ACTION), "Move");
  EXPECT_EQ(Text(IDC_ORGANIZER_PAGE_DEST).find("..."), std::string::npos);  // a short path stays whole
}

TEST_F(OrganizerPage, ASixtyFifthFilterIsRefused) {
  std::vector<FilterRecord> full;
  for (int i = 0; i < kMaxFilterItems; ++i) full.push_back(Filter("F" + std::to_string(i), "*.x", Copy, "C:\\X"));
  ASSERT_EQ(bench().Save(full), 1);
  OpenPage();
  test::MessageBoxCatcher catcher;
  Press(IDC_ORGANIZER_PAGE_ADD);
  ASSERT_EQ(catcher.shown.size(), 1u);
  EXPECT_EQ(catcher.shown[0].text, "No more items are allowed.");
  EXPECT_EQ(catcher.shown[0].caption, CaptionText);
  EXPECT_EQ(Count(IDC_ORGANIZER_PAGE_LIST), kMaxFilterItems);
}

TEST_F(OrganizerPage, AnAddedFilterIsStoredByApplyAndStartsTheWatcher) {
  ASSERT_TRUE(bench().StopWatcher());
  OpenPage();
  EXPECT_EQ(Count(IDC_ORGANIZER_PAGE_LIST), 0);
  const std::string dest = bench().temp().Join("Pictures");
  test::ModalScript script("Filter Properties", [dest](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_FILTER_TITLE, "Pictures");
    SetDlgItemTextA(dialog, IDC_FILTER_FILTER, "*.jpg");
    CheckRadioButton(dialog, IDC_FILTER_COPY, IDC_FILTER_MOVE, IDC_FILTER_COPY);
    SetDlgItemTextA(dialog, IDC_FILTER_DEST, dest.c_str());
    test::PostClick(dialog, IDOK);
  });
  Press(IDC_ORGANIZER_PAGE_ADD);
  ASSERT_TRUE(script.ran());
  EXPECT_EQ(Count(IDC_ORGANIZER_PAGE_LIST), 1);
  EXPECT_EQ(Selected(IDC_ORGANIZER_PAGE_LIST), 0);
  EXPECT_EQ(Text(IDC_ORGANIZER_PAGE_FILTER), "*.jpg");
  EXPECT_EQ(WatcherState.load(), Stopped);  // nothing stored before Apply
  EXPECT_EQ(StoredTitle(1), "<missing>");

  Apply();
  EXPECT_EQ(StoredTitle(1), "Pictures");
  EXPECT_EQ(test::StoredText(HKEY_CURRENT_USER, kFiltersKey, "Dest1"), dest);
  EXPECT_EQ(Titles(FilterList), (std::vector<std::string>{"Pictures"}));
  EXPECT_EQ(WatcherState.load(), Running);
}

TEST_F(OrganizerPage, UpDownDragAndDeleteEditTheWorkingCopyApplyStoresTheOrder) {
  ASSERT_EQ(bench().Save({Filter("1", "*.1", Copy, "C:\\1"), Filter("2", "*.2", Copy, "C:\\2"),
                          Filter("3", "*.3", Copy, "C:\\3"), Filter("4", "*.4", Copy, "C:\\4")}),
            1);
  OpenPage();
  Select(IDC_ORGANIZER_PAGE_LIST, 3);
  Press(IDC_ORGANIZER_PAGE_UP);  // 1 2 4 3
  EXPECT_EQ(Selected(IDC_ORGANIZER_PAGE_LIST), 2);
  EXPECT_EQ(Text(IDC_ORGANIZER_PAGE_FILTER), "*.4");
  Drag(IDC_ORGANIZER_PAGE_LIST, 3, 0);  // 3 1 2 4
  EXPECT_EQ(Selected(IDC_ORGANIZER_PAGE_LIST), 0);
  EXPECT_EQ(Text(IDC_ORGANIZER_PAGE_FILTER), "*.3");
  Drag(IDC_ORGANIZER_PAGE_LIST, 1, 1);  // onto itself: nothing
  Select(IDC_ORGANIZER_PAGE_LIST, 1);
  Press(IDC_ORGANIZER_PAGE_DELETE);  // 3 2 4
  EXPECT_EQ(Selected(IDC_ORGANIZER_PAGE_LIST), 1);
  EXPECT_EQ(Titles(FilterList), (std::vector<std::string>{"1", "2", "3", "4"}));

  Apply();
  EXPECT_EQ(Titles(FilterList), (std::vector<std::string>{"3", "2", "4"}));
  EXPECT_EQ(StoredTitle(1), "3");
  EXPECT_EQ(StoredTitle(2), "2");
  EXPECT_EQ(StoredTitle(3), "4");
  EXPECT_EQ(StoredTitle(4), "<missing>");
  EXPECT_EQ(test::StoredText(HKEY_CURRENT_USER, kFiltersKey, "Filter1"), "*.3");
}

TEST_F(OrganizerPage, ClosingWithoutApplyStoresNothing) {
  ASSERT_EQ(bench().Save({Filter("1", "*.1", Copy, "C:\\1"), Filter("2", "*.2", Copy, "C:\\2")}), 1);
  OpenPage();
  Press(IDC_ORGANIZER_PAGE_DOWN);
  Select(IDC_ORGANIZER_PAGE_LIST, 0);
  Press(IDC_ORGANIZER_PAGE_DELETE);
  Close();
  EXPECT_EQ(Titles(FilterList), (std::vector<std::string>{"1", "2"}));
  EXPECT_EQ(StoredTitle(1), "1");
  EXPECT_EQ(StoredTitle(2), "2");
}

}  // namespace
}  // namespace va
