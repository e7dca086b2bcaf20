// The shared dialog routines against real windows: fonts, tooltips, the numeric
// edit wiring and the two pickers (cancelled and chosen by a helper thread).
#include "common/dialog_utils.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include "support/temp_folder.h"
#include "support/window_driver.h"

namespace va {
namespace {

class Window {
 public:
  Window() {
    parent_ = CreateWindowExA(0, "STATIC", "Tooltip host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                              nullptr, nullptr, nullptr);
    edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, parent_, nullptr, nullptr, nullptr);
  }
  ~Window() { DestroyWindow(parent_); }
  HWND parent() const { return parent_; }
  HWND edit() const { return edit_; }
  std::string Text() const {
    char text[128] = "";
    GetWindowTextA(edit_, text, sizeof text);
    return text;
  }
  DWORD CaretEnd() const {
    DWORD start = 0, end = 0;
    SendMessageA(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return end;
  }

 private:
  HWND parent_, edit_;
};

TEST(CreatePointFont, HeightFollowsPointsAndPixelsPerInch) {
  HFONT font = CreatePointFontForDpi("Arial", 10, 96, FW_BOLD, true);
  ASSERT_NE(font, nullptr);
  LOGFONTA info = {};
  GetObjectA(font, sizeof info, &info);
  EXPECT_EQ(info.lfHeight, -13);  // 10 pt at 96 dpi, rounded
  EXPECT_EQ(info.lfWeight, FW_BOLD);
  EXPECT_EQ(info.lfUnderline, 1);
  EXPECT_STREQ(info.lfFaceName, "Arial");
  DeleteObject(font);

  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  font = CreatePointFont("A face name far longer than thirty-one characters", 12, FW_NORMAL, false);
  ASSERT_NE(font, nullptr);
  GetObjectA(font, sizeof info, &info);
  EXPECT_EQ(info.lfHeight, -MulDiv(12, dpi, 72));
  EXPECT_EQ(std::string(info.lfFaceName).size(), 31u);
  EXPECT_EQ(info.lfUnderline, 0);
  DeleteObject(font);
}

TEST(SetControlTooltip, SettingTwiceReplacesTheTextInOneTooltipWindow) {
  Window w;
  SetControlTooltip(w.edit(), "first");
  HWND tip = GetDialogTooltip(w.parent());
  ASSERT_NE(tip, nullptr);
  SetControlTooltip(w.edit(), "second text");
  EXPECT_EQ(GetDialogTooltip(w.parent()), tip);
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1);
  char text[80] = "";
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.hwnd = w.parent();
  tool.uId = reinterpret_cast<UINT_PTR>(w.edit());
  tool.lpszText = text;
  SendMessageA(tip, TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
  EXPECT_STREQ(text, "second text");
  EXPECT_EQ(SendMessageA(tip, TTM_GETMAXTIPWIDTH, 0, 0), 350);
}

// A child dialog (an options page inside its frame): its tooltip is owned by the
// top-level window, and still only one is made for all its controls.
TEST(SetControlTooltip, ControlsOfAChildDialogShareOneTooltipWindow) {
  Window w;
  HWND page = CreateWindowExA(0, "Static", "", WS_CHILD | WS_VISIBLE, 0, 0, 100, 50, w.parent(), nullptr,
                              GetModuleHandleA(nullptr), nullptr);
  HWND first = CreateWindowExA(0, "Button", "a", WS_CHILD | WS_VISIBLE, 0, 0, 40, 20, page, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  HWND second = CreateWindowExA(0, "Button", "b", WS_CHILD | WS_VISIBLE, 50, 0, 40, 20, page, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
  SetControlTooltip(first, "first");
  SetControlTooltip(second, "second");
  HWND tip = GetDialogTooltip(page);
  ASSERT_NE(tip, nullptr);
  EXPECT_EQ(GetWindow(tip, GW_OWNER), w.parent());
  EXPECT_EQ(SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 2);
  int tooltips = 0;
  for (HWND t = nullptr; (t = FindWindowExA(nullptr, t, TOOLTIPS_CLASSA, nullptr));)
    tooltips += GetWindow(t, GW_OWNER) == w.parent();
  EXPECT_EQ(tooltips, 1);
}

TEST(GetDialogTooltip, WithoutAnyWindowThereIsNone) {
  // This thread has no active window.
  EXPECT_EQ(GetDialogTooltip(nullptr), nullptr);
}

TEST(FilterNumericEdit, DropsWhatIsNotANumberAndKeepsTheCaretAtTheEnd) {
  Window w;
  SetWindowTextA(w.edit(), "1.2.3");
  FilterNumericEdit(w.edit(), true);
  EXPECT_EQ(w.Text(), "1.23");
  EXPECT_EQ(w.CaretEnd(), 4u);
  SetWindowTextA(w.edit(), "4a5.6");
  FilterNumericEdit(w.edit(), false);
  EXPECT_EQ(w.Text(), "456");
  SetWindowTextA(w.edit(), "789");
  FilterNumericEdit(w.edit(), false);
  EXPECT_EQ(w.Text(), "789");
}

TEST(ClampEditNumber, ReplacesNumbersOutsideTheBounds) {
  Window w;
  struct {
    const char* typed;
    const char* shown;
  } cases[] = {{"0", "1"}, {"150", "99"}, {"50", "50"}, {"", "1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.typed);
    SetWindowTextA(w.edit(), c.typed);
    ClampEditNumber(w.edit(), 1, 99);
    EXPECT_EQ(w.Text(), c.shown);
  }
  SetWindowTextA(w.edit(), "500");
  ClampEditNumber(w.edit(), 10, 5);  // maximum below minimum: no rule
  EXPECT_EQ(w.Text(), "500");
}

TEST(PickOpenFile, CancelGivesEmptyTextAndOpenGivesThePath) {
  test::TempFolder temp;
  test::WriteFileBytes(temp.Join("song.wav"), "RIFF");
  Window w;
  {
    test::DialogScript script([] {
      HWND dialog = test::WaitForWindow("#32770", nullptr, 10);
      if (dialog) test::ClickButton(dialog, IDCANCEL);
    });
    EXPECT_EQ(PickOpenFile(w.parent(), temp.path(), std::string("Sound files\0*.WAV\0", 18)), "");
  }
  {
    test::DialogScript script([] {
      HWND dialog = test::WaitForWindow("#32770", nullptr, 10);
      if (!dialog) return;
      // The file name box is edt1 (1152) or the combo box cmb13 (1148).
      HWND name = GetDlgItem(dialog, 1148);
      if (!name) name = GetDlgItem(dialog, 1152);
      SetWindowTextA(name, "song.wav");
      test::ClickButton(dialog, IDOK);
    });
    EXPECT_EQ(PickOpenFile(w.parent(), temp.path(), ""), temp.Join("song.wav"));
  }
}

TEST(PickFolder, CancelGivesEmptyText) {
  Window w;
  test::DialogScript script([] {
    HWND dialog = test::WaitForWindow("#32770", nullptr, 10);
    if (dialog) test::ClickButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(PickFolder(w.parent(), "C:\\windows", "SYSTEM32"), "");
}

}  // namespace
}  // namespace va
