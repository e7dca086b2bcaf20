// The options dialog's "Tools Menu" page in-process: working copy, details,
// the limit, adding through the tool item dialog, reordering, Apply and discard.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../menus/menu_test_support.h"
#include "extension/core/module_state.h"
#include "extension/menus/tools_menu_win.h"
#include "extension/resources/resource.h"
#include "extension/windows/options_pages_win.h"
#include "options_page_test_support.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

ToolRecord Tool(const std::string& title, const std::string& cmd, const std::string& workdir = "") {
  ToolRecord tool;
  tool.Title = title;
  tool.Cmd = cmd;
  tool.Workdir = workdir;
  return tool;
}

ToolRecord Separator() {
  ToolRecord tool;
  tool.Title = "-";
  return tool;
}

std::vector<std::string> Titles(const std::vector<ToolRecord>& tools) {
  std::vector<std::string> titles;
  for (const ToolRecord& tool : tools) titles.push_back(tool.Title);
  return titles;
}

std::string StoredTitle(int number) {
  return test::StoredText(HKEY_CURRENT_USER, kToolsKey, "Title" + std::to_string(number));
}

class ToolsPage : public test::OptionsPageTest {
 protected:
  void SetUp() override {
    OptionsPageTest::SetUp();
    test::DeleteTree(HKEY_CURRENT_USER, kToolsKey);
    ToolList.clear();
    ToolLastIndex = -1;
  }
  void TearDown() override {
    OptionsPageTest::TearDown();
    test::DeleteTree(HKEY_CURRENT_USER, kToolsKey);
    ToolList.clear();
    ToolLastIndex = -1;
  }
  // Stores `tools` as the current list (through the real save operation).
  void Store(const std::vector<ToolRecord>& tools) { SaveTools(tools, int(tools.size()) - 1); }
  HWND OpenPage() { return Open(kOptionsToolsPage, ToolsPageProc); }
};

TEST_F(ToolsPage, ShowsTheWorkingCopyAndTheSelectedToolsDetails) {
  Store({Tool("Editor", "\"C:\\Tools\\ed.exe\" -n", "C:\\Work"), Separator(), Tool("Viewer", "view.exe")});
  ASSERT_NE(OpenPage(), nullptr);
  EXPECT_EQ(Count(IDC_TOOLS_PAGE_LIST), 3);
  EXPECT_EQ(Selected(IDC_TOOLS_PAGE_LIST), 0);
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_CMD), "\"C:\\Tools\\ed.exe\" -n");
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_WORKDIR), "C:\\Work");
  Select(IDC_TOOLS_PAGE_LIST, 1);
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_CMD), " - ");
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_WORKDIR), " - ");
  Select(IDC_TOOLS_PAGE_LIST, 2);
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_CMD), "view.exe");
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_WORKDIR), "");

  // Rows fit a small icon; the extent is the widest title plus the icon column.
  HWND list = Item(IDC_TOOLS_PAGE_LIST);
  EXPECT_GE(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), GetSystemMetrics(SM_CYSMICON));
  const LRESULT extent = SendMessageA(list, LB_GETHORIZONTALEXTENT, 0, 0);
  EXPECT_GT(extent, 28);
  Store({Tool("A much, much longer title than any other in this list", "x.exe")});
  Close();
  OpenPage();
  EXPECT_GT(SendMessageA(Item(IDC_TOOLS_PAGE_LIST), LB_GETHORIZONTALEXTENT, 0, 0), extent);
}

TEST_F(ToolsPage, AThirtyThirdItemIsRefusedByAddAndSeparator) {
  std::vector<ToolRecord> full;
  for (int i = 0; i < kMaxToolItems - 1; ++i) full.push_back(Tool("Tool " + std::to_string(i), "t.exe"));
  Store(full);
  OpenPage();
  {
    test::MessageBoxCatcher catcher;
    Press(IDC_TOOLS_PAGE_SEPARATOR);  // the 32nd item is still allowed
    EXPECT_TRUE(catcher.shown.empty());
    EXPECT_EQ(Count(IDC_TOOLS_PAGE_LIST), kMaxToolItems);
    EXPECT_EQ(Selected(IDC_TOOLS_PAGE_LIST), kMaxToolItems - 1);
    Press(IDC_TOOLS_PAGE_ADD);
    Press(IDC_TOOLS_PAGE_SEPARATOR);
    ASSERT_EQ(catcher.shown.size(), 2u);
    for (const auto& shown : catcher.shown) {
      EXPECT_EQ(shown.text, "No more items are allowed.");
      EXPECT_EQ(shown.caption, CaptionText);
      EXPECT_EQ(shown.owner, GetAncestor(page(), GA_ROOT));  // a child's box belongs to its window
    }
  }
  EXPECT_EQ(Count(IDC_TOOLS_PAGE_LIST), kMaxToolItems);
  Apply();
  EXPECT_EQ(ToolList.size(), size_t(kMaxToolItems));
  EXPECT_EQ(StoredTitle(kMaxToolItems), "-");
}

TEST_F(ToolsPage, AnAddedToolIsStoredByApplyAndAppearsInTheToolsMenu) {
  Store({Tool("Editor", "ed.exe")});
  OpenPage();
  test::ModalScript script("Tool Item Properties", [](HWND dialog) {
    SetDlgItemTextA(dialog, IDC_TOOL_TITLE, "Notes");
    SetDlgItemTextA(dialog, IDC_TOOL_CMD, "notepad.exe");
    SetDlgItemTextA(dialog, IDC_TOOL_WORKDIR, "C:\\Notes");
    test::PostClick(dialog, IDOK);
  });
  Press(IDC_TOOLS_PAGE_ADD);
  ASSERT_TRUE(script.ran());
  EXPECT_EQ(Count(IDC_TOOLS_PAGE_LIST), 2);
  EXPECT_EQ(Selected(IDC_TOOLS_PAGE_LIST), 1);
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_CMD), "notepad.exe");
  EXPECT_EQ(ToolList.size(), 1u);  // nothing stored before Apply
  EXPECT_EQ(StoredTitle(2), "<missing>");

  Apply();
  EXPECT_EQ(Titles(ToolList), (std::vector<std::string>{"Editor", "Notes"}));
  EXPECT_EQ(StoredTitle(2), "Notes");
  EXPECT_EQ(test::StoredText(HKEY_CURRENT_USER, kToolsKey, "Workdir2"), "C:\\Notes");
  ASSERT_NE(MainToolsMenu, nullptr);
  EXPECT_NE(GetMenuState(MainToolsMenu, kToolCommandFirst + 1, MF_BYCOMMAND), UINT(-1));
  EXPECT_NE(GetMenuState(TrayToolsMenu, kToolCommandFirst + 1, MF_BYCOMMAND), UINT(-1));
}

TEST_F(ToolsPage, ModifyAndDeleteChangeOnlyTheWorkingCopyUntilApply) {
  Store({Tool("Editor", "ed.exe"), Tool("Viewer", "view.exe"), Tool("Player", "play.exe")});
  OpenPage();
  Select(IDC_TOOLS_PAGE_LIST, 1);
  {
    test::ModalScript script("Tool Item Properties", [](HWND dialog) {
      char title[64] = "";
      GetDlgItemTextA(dialog, IDC_TOOL_TITLE, title, sizeof title);
      EXPECT_STREQ(title, "Viewer");
      SetDlgItemTextA(dialog, IDC_TOOL_TITLE, "Picture viewer");
      test::PostClick(dialog, IDOK);
    });
    SendMessageA(page(), WM_COMMAND, MAKEWPARAM(IDC_TOOLS_PAGE_LIST, LBN_DBLCLK),
                 reinterpret_cast<LPARAM>(Item(IDC_TOOLS_PAGE_LIST)));  // double-click acts as Modify
    ASSERT_TRUE(script.ran());
  }
  Select(IDC_TOOLS_PAGE_LIST, 0);
  Press(IDC_TOOLS_PAGE_DELETE);
  EXPECT_EQ(Count(IDC_TOOLS_PAGE_LIST), 2);
  EXPECT_EQ(Titles(ToolList), (std::vector<std::string>{"Editor", "Viewer", "Player"}));

  // A cancelled tool item dialog changes nothing.
  Select(IDC_TOOLS_PAGE_LIST, 0);
  {
    test::ModalScript script("Tool Item Properties", [](HWND dialog) {
      SetDlgItemTextA(dialog, IDC_TOOL_TITLE, "Discarded");
      test::PostClick(dialog, IDCANCEL);
    });
    Press(IDC_TOOLS_PAGE_MODIFY);
    ASSERT_TRUE(script.ran());
  }
  Apply();
  EXPECT_EQ(Titles(ToolList), (std::vector<std::string>{"Picture viewer", "Player"}));
  EXPECT_EQ(StoredTitle(1), "Picture viewer");
  EXPECT_EQ(StoredTitle(2), "Player");
  EXPECT_EQ(StoredTitle(3), "<missing>");
}

TEST_F(ToolsPage, UpDownAndDragReorderTheWorkingCopyAndApplyStoresTheOrder) {
  Store({Tool("1", "a.exe"), Tool("2", "b.exe"), Tool("3", "c.exe"), Tool("4", "d.exe")});
  OpenPage();
  Select(IDC_TOOLS_PAGE_LIST, 0);
  Press(IDC_TOOLS_PAGE_UP);  // the first row up: nothing
  EXPECT_EQ(Selected(IDC_TOOLS_PAGE_LIST), 0);
  Press(IDC_TOOLS_PAGE_DOWN);  // 2 1 3 4
  EXPECT_EQ(Selected(IDC_TOOLS_PAGE_LIST), 1);
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_CMD), "a.exe");
  Select(IDC_TOOLS_PAGE_LIST, 3);
  Press(IDC_TOOLS_PAGE_DOWN);  // the last row down: nothing
  Press(IDC_TOOLS_PAGE_UP);    // 2 1 4 3
  EXPECT_EQ(Selected(IDC_TOOLS_PAGE_LIST), 2);

  // Dragging the first row onto the third: 1 4 2 3, the moved row selected.
  EXPECT_EQ(Drag(IDC_TOOLS_PAGE_LIST, 0, 2), 0);  // over a row: the page's own cursor
  EXPECT_EQ(Selected(IDC_TOOLS_PAGE_LIST), 2);
  EXPECT_EQ(Text(IDC_TOOLS_PAGE_CMD), "b.exe");
  // Dragging the fourth onto the second: 1 3 4 2.
  Drag(IDC_TOOLS_PAGE_LIST, 3, 1);
  EXPECT_EQ(Titles(ToolList), (std::vector<std::string>{"1", "2", "3", "4"}));

  Apply();
  EXPECT_EQ(Titles(ToolList), (std::vector<std::string>{"1", "3", "4", "2"}));
  EXPECT_EQ(StoredTitle(1), "1");
  EXPECT_EQ(StoredTitle(2), "3");
  EXPECT_EQ(StoredTitle(3), "4");
  EXPECT_EQ(StoredTitle(4), "2");
  EXPECT_EQ(test::StoredText(HKEY_CURRENT_USER, kToolsKey, "Cmd4"), "b.exe");
}

TEST_F(ToolsPage, ClosingWithoutApplyStoresNothing) {
  Store({Tool("Editor", "ed.exe"), Tool("Viewer", "view.exe")});
  OpenPage();
  Press(IDC_TOOLS_PAGE_SEPARATOR);
  Select(IDC_TOOLS_PAGE_LIST, 0);
  Press(IDC_TOOLS_PAGE_DELETE);
  Press(IDC_TOOLS_PAGE_DOWN);
  Close();
  EXPECT_EQ(Titles(ToolList), (std::vector<std::string>{"Editor", "Viewer"}));
  EXPECT_EQ(StoredTitle(1), "Editor");
  EXPECT_EQ(StoredTitle(2), "Viewer");
  EXPECT_EQ(StoredTitle(3), "<missing>");
}

TEST_F(ToolsPage, TheArrowBitmapsLiveAsLongAsThePage) {
  Store({Tool("Editor", "ed.exe")});
  OpenPage();
  std::vector<HGDIOBJ> arrows;
  for (int id : {IDC_TOOLS_PAGE_UP, IDC_TOOLS_PAGE_DOWN})
    arrows.push_back(reinterpret_cast<HGDIOBJ>(SendMessageA(Item(id), BM_GETIMAGE, IMAGE_BITMAP, 0)));
  for (HGDIOBJ arrow : arrows) EXPECT_EQ(GetObjectType(arrow), DWORD(OBJ_BITMAP));
  Close();
  for (HGDIOBJ arrow : arrows) EXPECT_EQ(GetObjectType(arrow), 0u);
}

}  // namespace
}  // namespace va
