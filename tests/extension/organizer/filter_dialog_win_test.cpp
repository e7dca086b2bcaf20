// The "Filter Properties" dialog driven from a helper thread: what it shows, the
// beep on empty fields, the message for a Move outside the shared folder, Save
// and Cancel.
#include "extension/organizer/filter_dialog.h"

#include <gtest/gtest.h>

#include "common/text_rules.h"
#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "organizer_test_support.h"
#include "support/window_driver.h"

namespace va {
namespace {

std::string ItemText(HWND dialog, int id) {
  char text[512] = "";
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

class FilterDialogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    lstrcpynA(CaptionText, "VA Extensions", kCaptionTextSize);
  }
  test::OrganizerBench bench;
};

TEST_F(FilterDialogTest, ShowsTheRecordAndCancelLeavesItUnchanged) {
  FilterRecord record{"Music", "*.mp3", Copy, "D:\\Music", "C:\\ding.wav", "\"C:\\p.exe\" %F"};
  FilterRecord before = record;
  std::string shown[5];
  bool copyChecked = false;
  {
    test::DialogScript script([&] {
      HWND dialog = test::WaitForWindow("#32770", "Filter Properties", 10);
      if (!dialog) return;
      shown[0] = ItemText(dialog, IDC_FILTER_TITLE);
      shown[1] = ItemText(dialog, IDC_FILTER_FILTER);
      shown[2] = ItemText(dialog, IDC_FILTER_DEST);
      shown[3] = ItemText(dialog, IDC_FILTER_WAV);
      shown[4] = ItemText(dialog, IDC_FILTER_CMD);
      copyChecked = IsDlgButtonChecked(dialog, IDC_FILTER_COPY) == BST_CHECKED;
      SetDlgItemTextA(dialog, IDC_FILTER_TITLE, "changed");
      test::ClickButton(dialog, IDCANCEL);
    });
    EXPECT_FALSE(EditFilterItem(nullptr, record));
  }
  EXPECT_EQ(shown[0], "Music");
  EXPECT_EQ(shown[1], "*.mp3");
  EXPECT_EQ(shown[2], "D:\\Music");
  EXPECT_EQ(shown[3], "C:\\ding.wav");
  EXPECT_EQ(shown[4], "\"C:\\p.exe\" %F");
  EXPECT_TRUE(copyChecked);
  EXPECT_EQ(record, before);
}

TEST_F(FilterDialogTest, SaveChecksFieldsAndTheMoveDestination) {
  FilterRecord record;  // a new record: Action 0 shows "Move"
  bool moveChecked = false, openAfterEmptySave = false, messageShown = false;
  std::string message;
  {
    test::DialogScript script([&] {
      HWND dialog = test::WaitForWindow("#32770", "Filter Properties", 10);
      if (!dialog) return;
      moveChecked = IsDlgButtonChecked(dialog, IDC_FILTER_MOVE) == BST_CHECKED;
      SetDlgItemTextA(dialog, IDC_FILTER_TITLE, "Videos");
      SetDlgItemTextA(dialog, IDC_FILTER_FILTER, "*.avi");
      // No destination: a beep, the dialog stays. Sent, so it is handled on return.
      SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
      openAfterEmptySave = IsWindow(dialog) && IsWindowVisible(dialog);
      SetDlgItemTextA(dialog, IDC_FILTER_DEST, "D:\\Outside");
      test::ClickButton(dialog, IDOK);
      HWND box = test::WaitForWindow("#32770", OrganizerCaption(), 10);
      if (box) {
        messageShown = true;
        HWND text = GetDlgItem(box, 0xFFFF);
        char buffer[256] = "";
        GetWindowTextA(text, buffer, sizeof buffer);
        message = buffer;
        test::ClickButton(box, IDOK);
      }
      test::PollUntil([&] { return !IsWindow(box); }, 5);
      // The shared folder is recognised in any letter case.
      std::string inside = UpperCaseText(bench.Shared("videos"));
      SetDlgItemTextA(dialog, IDC_FILTER_DEST, inside.c_str());
      test::ClickButton(dialog, IDOK);
    });
    EXPECT_TRUE(EditFilterItem(nullptr, record));
  }
  EXPECT_TRUE(moveChecked);
  EXPECT_TRUE(openAfterEmptySave);
  EXPECT_TRUE(messageShown);
  EXPECT_EQ(message, "Destination folder must be within My Shared Folder if the action is 'Move'.");
  EXPECT_EQ(record.Title, "Videos");
  EXPECT_EQ(record.Filter, "*.avi");
  EXPECT_EQ(record.Dest, UpperCaseText(bench.Shared("videos")));
  EXPECT_EQ(record.Action, Move);
}

}  // namespace
}  // namespace va
