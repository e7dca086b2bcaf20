// The options dialog's "Add-on files" page in-process: rows on demand, edit mode
// and its refusals (empty, duplicate, invalid, the ninth), Apply and discard.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../menus/menu_test_support.h"
#include "extension/core/addon_host.h"
#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_pages_win.h"
#include "options_page_test_support.h"
#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"

namespace va {
namespace {

std::string StoredPath(int number) {
  return test::StoredText(HKEY_LOCAL_MACHINE, kAddOnListKey, "Dll" + std::to_string(number));
}

class AddOnPage : public test::OptionsPageTest {
 protected:
  void SetUp() override {
    OptionsPageTest::SetUp();
    test::DeleteTree(HKEY_LOCAL_MACHINE, kAddOnListKey);
    AddOnPaths.clear();
    AddOnLastIndex = -1;
    // Valid add-ons under several names (the list refuses the same file twice).
    for (int i = 0; i < kMaxAddOnFiles + 1; ++i) {
      valid_.push_back(temp_.Join("addon" + std::to_string(i) + ".dll"));
      CopyFileA(test::TestAddOnLibrary().c_str(), valid_.back().c_str(), FALSE);
    }
  }
  void TearDown() override {
    OptionsPageTest::TearDown();
    test::DeleteTree(HKEY_LOCAL_MACHINE, kAddOnListKey);
    AddOnPaths.clear();
    AddOnLastIndex = -1;
  }
  void Store(const std::vector<std::string>& paths) { SaveAddOnList(paths, int(paths.size()) - 1); }
  HWND OpenPage() { return Open(kOptionsAddOnPage, AddOnPageProc); }

  int Rows() const { return int(SendMessageA(Item(IDC_ADDON_PAGE_LIST), LVM_GETITEMCOUNT, 0, 0)); }
  std::string Row(int row) const {
    char text[MAX_PATH * 2] = "";
    LVITEMA item = {};
    item.iSubItem = 0;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    SendMessageA(Item(IDC_ADDON_PAGE_LIST), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
    return text;
  }
  void SelectRow(int row) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    SendMessageA(Item(IDC_ADDON_PAGE_LIST), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
  }
  bool Editing() const { return Enabled(IDC_ADDON_PAGE_PATH); }
  // Add, type `path`, Save.
  void AddPath(const std::string& path) {
    Press(IDC_ADDON_PAGE_ADD);
    SetDlgItemTextA(page(), IDC_ADDON_PAGE_PATH, path.c_str());
    Press(IDC_ADDON_PAGE_SAVE);
  }

  test::TempFolder temp_;
  std::vector<std::string> valid_;
};

TEST_F(AddOnPage, RowsComeFromTheWorkingCopyAndEditModeSwitchesTheControls) {
  Store({valid_[0], valid_[1]});
  ASSERT_NE(OpenPage(), nullptr);
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(Row(0), valid_[0]);
  EXPECT_EQ(Row(1), valid_[1]);

  const int group[] = {IDC_ADDON_PAGE_GROUP, IDC_ADDON_PAGE_PATH_LABEL, IDC_ADDON_PAGE_PATH, IDC_ADDON_PAGE_BROWSE,
                       IDC_ADDON_PAGE_SAVE, IDC_ADDON_PAGE_CANCEL};
  const int buttons[] = {IDC_ADDON_PAGE_ADD, IDC_ADDON_PAGE_MODIFY, IDC_ADDON_PAGE_DELETE};
  for (int id : group) EXPECT_FALSE(Enabled(id)) << id;
  for (int id : buttons) EXPECT_TRUE(Enabled(id)) << id;

  SelectRow(1);
  Press(IDC_ADDON_PAGE_MODIFY);
  for (int id : group) EXPECT_TRUE(Enabled(id)) << id;
  for (int id : buttons) EXPECT_FALSE(Enabled(id)) << id;
  EXPECT_EQ(Text(IDC_ADDON_PAGE_PATH), valid_[1]);

  // Saving the row's own path again is no duplicate; Cancel leaves the list alone.
  SetDlgItemTextA(page(), IDC_ADDON_PAGE_PATH, valid_[2].c_str());
  Press(IDC_ADDON_PAGE_CANCEL);
  EXPECT_FALSE(Editing());
  EXPECT_EQ(Row(1), valid_[1]);
  Press(IDC_ADDON_PAGE_MODIFY);
  Press(IDC_ADDON_PAGE_SAVE);
  EXPECT_FALSE(Editing());
  Press(IDC_ADDON_PAGE_MODIFY);
  SetDlgItemTextA(page(), IDC_ADDON_PAGE_PATH, valid_[2].c_str());
  Press(IDC_ADDON_PAGE_SAVE);
  EXPECT_FALSE(Editing());
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(Row(1), valid_[2]);
}

TEST_F(AddOnPage, EmptyDuplicateAndInvalidPathsAreRefusedAndEditingGoesOn) {
  Store({valid_[0]});
  OpenPage();
  test::MessageBoxCatcher catcher;
  AddPath("");  // only a beep
  EXPECT_TRUE(catcher.shown.empty());
  EXPECT_TRUE(Editing());

  std::string otherCase = valid_[0];
  CharUpperBuffA(otherCase.data(), DWORD(otherCase.size()));
  ASSERT_NE(otherCase, valid_[0]);
  SetDlgItemTextA(page(), IDC_ADDON_PAGE_PATH, otherCase.c_str());
  Press(IDC_ADDON_PAGE_SAVE);
  ASSERT_EQ(catcher.shown.size(), 1u);
  EXPECT_EQ(catcher.shown[0].text, "This add-on file is already in the list!");
  EXPECT_EQ(catcher.shown[0].caption, CaptionText);
  EXPECT_TRUE(Editing());

  for (const std::string& invalid : {test::NoExportsLibrary(), temp_.Join("missing.dll")}) {
    SetDlgItemTextA(page(), IDC_ADDON_PAGE_PATH, invalid.c_str());
    Press(IDC_ADDON_PAGE_SAVE);
  }
  ASSERT_EQ(catcher.shown.size(), 3u);
  EXPECT_EQ(catcher.shown[1].text, "This file is not a valid ch_plug.dll format add-on file");
  EXPECT_EQ(catcher.shown[2].text, "This file is not a valid ch_plug.dll format add-on file");
  EXPECT_TRUE(Editing());
  EXPECT_EQ(Rows(), 1);

  SetDlgItemTextA(page(), IDC_ADDON_PAGE_PATH, valid_[1].c_str());
  Press(IDC_ADDON_PAGE_SAVE);
  EXPECT_EQ(catcher.shown.size(), 3u);
  EXPECT_FALSE(Editing());
  EXPECT_EQ(Rows(), 2);
  EXPECT_EQ(Row(1), valid_[1]);
}

TEST_F(AddOnPage, ANinthAddOnIsRefused) {
  Store(std::vector<std::string>(valid_.begin(), valid_.begin() + kMaxAddOnFiles - 1));
  OpenPage();
  test::MessageBoxCatcher catcher;
  AddPath(valid_[kMaxAddOnFiles - 1]);  // the eighth is allowed
  EXPECT_TRUE(catcher.shown.empty());
  EXPECT_EQ(Rows(), kMaxAddOnFiles);
  Press(IDC_ADDON_PAGE_ADD);
  ASSERT_EQ(catcher.shown.size(), 1u);
  EXPECT_EQ(catcher.shown[0].text, "No more items are allowed.");
  EXPECT_EQ(catcher.shown[0].caption, CaptionText);
  EXPECT_FALSE(Editing());
  EXPECT_EQ(Rows(), kMaxAddOnFiles);
}

TEST_F(AddOnPage, ApplyStoresTheWorkingCopyClosingWithoutApplyStoresNothing) {
  Store({valid_[0], valid_[1], valid_[2]});
  OpenPage();
  SelectRow(0);
  Press(IDC_ADDON_PAGE_DELETE);
  AddPath(valid_[3]);
  EXPECT_EQ(Rows(), 3);
  Close();
  EXPECT_EQ(StoredPath(1), valid_[0]);
  EXPECT_EQ(StoredPath(3), valid_[2]);
  EXPECT_EQ(AddOnPaths.size(), 3u);

  OpenPage();
  SelectRow(0);
  Press(IDC_ADDON_PAGE_DELETE);
  AddPath(valid_[3]);
  Apply();
  EXPECT_EQ(StoredPath(1), valid_[1]);
  EXPECT_EQ(StoredPath(2), valid_[2]);
  EXPECT_EQ(StoredPath(3), valid_[3]);
  EXPECT_EQ(StoredPath(4), "<missing>");
  EXPECT_EQ(AddOnPaths, (std::vector<std::string>{valid_[1], valid_[2], valid_[3]}));
}

}  // namespace
}  // namespace va
