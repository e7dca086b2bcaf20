// The options pages in-process: each page made alone from its resource, for what
// is cheaper to check here than through the host: the tooltips of the listed
// control ranges, a stored start view outside the list, and the Accelerator
// page's handling of a record outside its ranges.
#include "extension/windows/options_pages_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/extension_options.h"
#include "extension/accelerator/accelerator_settings_win.h"
#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

std::string Text(HWND page, int id) {
  char text[256] = "";
  GetDlgItemTextA(page, id, text, sizeof text);
  return text;
}
bool HasStyle(HWND page, int id, LONG style) { return (GetWindowLongA(GetDlgItem(page, id), GWL_STYLE) & style) != 0; }

class OptionsPageTest : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);
    frame_ = CreateWindowExA(0, "Static", "frame", WS_OVERLAPPEDWINDOW, 50, 50, 600, 400, nullptr, nullptr,
                             ModuleInstance, nullptr);
    LoadOptionsIcons();
    CurrentOptions = ExtensionOptions{};
    Accelerator = AcceleratorSettings{};
    Clean();
  }
  void TearDown() override {
    DestroyWindow(frame_);
    ReleaseOptionsIcons();
    Clean();
  }
  static void Clean() { test::DeleteTree(HKEY_CURRENT_USER, kExtensionKey); }
  HWND Make(int pageId, DLGPROC procedure) {
    return CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(pageId), frame_, procedure, 0);
  }
  // The one tooltip window the pages' controls share (owned by the frame).
  HWND Tooltip() {
    HWND found = nullptr, tip = nullptr;
    int count = 0;
    while ((tip = FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)))
      if (GetWindow(tip, GW_OWNER) == frame_) found = tip, ++count;
    return count == 1 ? found : nullptr;
  }
  HWND frame_ = nullptr;
};

TEST_F(OptionsPageTest, PagesAttachTheHelpTextsOfTheirControlRangesAsTooltips) {
  const struct {
    int page;
    DLGPROC procedure;
    int first, last, tools;
  } pages[] = {{kOptionsInterfacePage, InterfacePageProc, 1601, 1609, 9},
               {kOptionsAppearancePage, AppearancePageProc, 1501, 1510, 10},
               {kOptionsAccelPage, AccelPageProc, 1901, 1917, 17}};
  int tools = 0;
  for (const auto& p : pages) {
    SCOPED_TRACE(p.page);
    HWND page = Make(p.page, p.procedure);
    ASSERT_NE(page, nullptr);
    tools += p.tools;
    HWND tip = Tooltip();
    ASSERT_NE(tip, nullptr) << "one tooltip window for all pages";
    EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), tools);
    for (int id : {p.first, p.last}) {
      char expected[512] = "", text[512] = "";
      LoadStringA(ModuleInstance, static_cast<UINT>(id), expected, sizeof expected);
      TTTOOLINFOA tool = {};
      tool.cbSize = TTTOOLINFOA_V2_SIZE;
      tool.hwnd = page;
      tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(page, id));
      tool.lpszText = text;
      SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
      // The tooltip hands out at most 79 characters of its text.
      EXPECT_GE(strlen(text), 40u) << id;
      EXPECT_EQ(std::string(expected).substr(0, strlen(text)), text) << id;
    }
  }
}

TEST_F(OptionsPageTest, InterfacePageKeepsAStoredStartViewOutsideItsList) {
  CurrentOptions.IniTab = 5;
  CurrentOptions.ForceCreation = 1;
  CurrentOptions.ChangeSystemBtn = 1;
  CurrentOptions.ChangeTrayMenu = 1;
  HWND page = Make(kOptionsInterfacePage, InterfacePageProc);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(SendDlgItemMessageA(page, IDC_OPT_INI_TAB, CB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(SendDlgItemMessageA(page, IDC_OPT_INI_TAB, CB_GETCURSEL, 0, 0), CB_ERR);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_OPT_CHANGE_TRAY_MENU), BST_CHECKED);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_CHANGE_TRAY_MENU)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_INI_TAB)));
  SendMessageA(page, kOptionsApplyMessage, 0, 0);
  EXPECT_EQ(CurrentOptions.IniTab, 5u) << "a start view the list cannot show is not overwritten";
  EXPECT_FALSE(test::ReadStoredValue(HKEY_CURRENT_USER, kExtensionKey, "IniTab").exists);
}

TEST_F(OptionsPageTest, AcceleratorPageShowsAndSavesAnUnloadedRecordInsideItsRanges) {
  Accelerator.NumDownloadsMin = 7;  // above the maximum: shown and saved as the maximum
  Accelerator.NumDownloadsMax = 3;
  Accelerator.KeepDownloads = 1;
  Accelerator.SkipPaused = 1;
  HWND page = Make(kOptionsAccelPage, AccelPageProc);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(Text(page, IDC_OPT_CYCLES_DELAY), "30");
  EXPECT_EQ(Text(page, IDC_OPT_ITEM_DELAY), "1");
  EXPECT_EQ(Text(page, IDC_OPT_TIMES_SEARCHING), "1");
  EXPECT_EQ(Text(page, IDC_OPT_DOWNLOADS_MIN), "3");
  EXPECT_EQ(Text(page, IDC_OPT_DOWNLOADS_MAX), "3");
  EXPECT_EQ(Text(page, IDC_OPT_MIN_SPEED), "0.00");
  EXPECT_EQ(Text(page, IDC_OPT_SCAN_ITEMS), "");
  // A stored keep range disables the skips, which still show their stored checks.
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_OPT_SKIP_PAUSED), BST_CHECKED);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_SKIP_PAUSED)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_DOWNLOADS_MIN)));
  EXPECT_TRUE(HasStyle(page, IDC_OPT_KEEP_NOTE, WS_VISIBLE));
  SendMessageA(page, kOptionsApplyMessage, 0, 0);
  EXPECT_EQ(Accelerator.CyclesDelay, 30u);
  EXPECT_EQ(Accelerator.ItemDelay, 1u);
  EXPECT_EQ(Accelerator.TimesInSearchState, 1u);
  EXPECT_EQ(Accelerator.NumDownloadsMin, 3u);
  EXPECT_EQ(Accelerator.NumDownloadsMax, 3u);
  EXPECT_EQ(Accelerator.NumScanItems, 0u);
}

TEST_F(OptionsPageTest, AppearancePageRemembersThePendingPathsOfUncheckedBoxes) {
  CurrentOptions.TrayIcon = "C:\\nowhere\\missing.ico";
  CurrentOptions.ToolBarBitmap = "C:\\nowhere\\bar.bmp";
  HWND page = Make(kOptionsAppearancePage, AppearancePageProc);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(IsDlgButtonChecked(page, IDC_OPT_TRAY_ICON), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_TRAY_ICON_SELECT)));
  // Unchecked and checked again before Apply: the path is still the pending one.
  CheckDlgButton(page, IDC_OPT_TRAY_ICON, BST_UNCHECKED);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_OPT_TRAY_ICON, BN_CLICKED), 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_OPT_TRAY_ICON_SELECT)));
  CheckDlgButton(page, IDC_OPT_TRAY_ICON, BST_CHECKED);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_OPT_TRAY_ICON, BN_CLICKED), 0);
  CheckDlgButton(page, IDC_OPT_TOOLBAR_BITMAP, BST_UNCHECKED);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_OPT_TOOLBAR_BITMAP, BN_CLICKED), 0);
  SendMessageA(page, kOptionsApplyMessage, 0, 0);
  EXPECT_EQ(CurrentOptions.TrayIcon, "C:\\nowhere\\missing.ico") << "an icon that cannot be loaded is still stored";
  EXPECT_EQ(CurrentOptions.ToolBarBitmap, "");
}

}  // namespace
}  // namespace va
