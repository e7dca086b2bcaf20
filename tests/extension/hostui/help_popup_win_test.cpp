// Win32 tests of the help balloon: size for short and long texts, placement at the
// cursor, mouse capture and closing, observed from a timer inside its modal loop.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "extension/hostui/help_popup_win.h"

namespace va {
namespace {

struct Observation {
  HWND owner = nullptr;
  HWND popup = nullptr;
  RECT rect{};
  std::string text;
  bool captured = false;
  bool visible = false;
  UINT closeMessage = WM_LBUTTONDOWN;
  DWORD deadline = 0;
};
Observation observed;

BOOL CALLBACK FindPopup(HWND window, LPARAM) {
  if (GetWindow(window, GW_OWNER) == observed.owner && IsWindowVisible(window)) {
    observed.popup = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK EscapeOwnedWindow(HWND window, LPARAM) {
  if (GetWindow(window, GW_OWNER) == observed.owner) PostMessageA(window, WM_KEYDOWN, VK_ESCAPE, 0);
  return TRUE;
}

void CALLBACK Observe(HWND, UINT, UINT_PTR timer, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), FindPopup, 0);
  if (observed.popup) {
    KillTimer(nullptr, timer);
    GetWindowRect(observed.popup, &observed.rect);
    char text[512] = "";
    GetWindowTextA(observed.popup, text, sizeof text);
    observed.text = text;
    observed.visible = IsWindowVisible(observed.popup) != 0;
    observed.captured = GetCapture() == observed.popup;
    PostMessageA(observed.popup, observed.closeMessage, 0, 0);
  } else if (GetTickCount() > observed.deadline) {
    KillTimer(nullptr, timer);
    // Still closes whatever modal window there is, so the test cannot hang.
    EnumThreadWindows(GetCurrentThreadId(), EscapeOwnedWindow, 0);
  }
}

class HelpPopupTest : public testing::Test {
 protected:
  void SetUp() override {
    owner_ = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(owner_, nullptr);
  }
  void TearDown() override { DestroyWindow(owner_); }

  Observation Show(const char* text, UINT closeMessage) {
    observed = Observation();
    observed.owner = owner_;
    observed.closeMessage = closeMessage;
    observed.deadline = GetTickCount() + 5000;
    SetTimer(nullptr, 0, 30, Observe);
    ShowHelpPopup(owner_, text);
    return observed;
  }
  HWND owner_ = nullptr;
};

TEST_F(HelpPopupTest, ShortTextGivesOneLineBalloonCentredOnTheCursor) {
  POINT cursor;
  GetCursorPos(&cursor);
  Observation seen = Show("Short help.", WM_LBUTTONDOWN);
  ASSERT_NE(seen.popup, nullptr) << "no balloon appeared";
  EXPECT_TRUE(seen.visible);
  EXPECT_TRUE(seen.captured);
  EXPECT_EQ(seen.text, "Short help.");
  EXPECT_FALSE(IsWindow(seen.popup));  // the click closed it
  const int width = seen.rect.right - seen.rect.left;
  const int height = seen.rect.bottom - seen.rect.top;
  TEXTMETRICA metrics;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
  GetTextMetricsA(dc, &metrics);
  SIZE extent;
  GetTextExtentPoint32A(dc, "Short help.", 11, &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  EXPECT_EQ(width, extent.cx + 14);
  EXPECT_EQ(height, metrics.tmHeight + metrics.tmExternalLeading + 18);
  EXPECT_LE(std::abs(seen.rect.left + width / 2 - cursor.x), 1);
  EXPECT_GT(seen.rect.bottom, cursor.y);  // ends below the cursor
}

TEST_F(HelpPopupTest, LongTextWrapsAtTheDefaultWidthAndAKeyCloses) {
  std::string text;
  for (int i = 0; i < 12; ++i) text += "A rather long help sentence. ";
  Observation seen = Show(text.c_str(), WM_KEYDOWN);
  ASSERT_NE(seen.popup, nullptr);
  EXPECT_FALSE(IsWindow(seen.popup));
  TEXTMETRICA metrics;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetStockObject(ANSI_VAR_FONT));
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  const int width = seen.rect.right - seen.rect.left;
  const int height = seen.rect.bottom - seen.rect.top;
  // 150 dialog units wide at most (the wrap width plus the frame), several lines high.
  EXPECT_LT(width, 150 * LOWORD(GetDialogBaseUnits()) / 4 + 40);
  EXPECT_GE(height, 3 * metrics.tmHeight + 18);
}

TEST_F(HelpPopupTest, RightClickAnywhereCloses) {
  Observation seen = Show("x", WM_RBUTTONDOWN);
  ASSERT_NE(seen.popup, nullptr);
  EXPECT_TRUE(seen.captured);
  EXPECT_FALSE(IsWindow(seen.popup));
}

}  // namespace
}  // namespace va
