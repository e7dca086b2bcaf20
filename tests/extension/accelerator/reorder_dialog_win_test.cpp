// The reorder dialog in-process: the list shows every download, the up and down
// buttons, a drag through the drag list's own mouse handling, Sort and Cancel.
#include "extension/accelerator/reorder_dialog_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "extension/core/module_state.h"
#include "extension/resources/resource.h"
#include "support/window_driver.h"

namespace va {
namespace {

using test::DialogScript;
using test::WaitForWindow;

constexpr double kDialogSeconds = 10;

DownloadOrder FourDownloads() {
  DownloadOrder order;
  for (uintptr_t n = 1; n <= 4; ++n) AddToOrder(order, n * 0x10, std::to_string(n));
  return order;
}

std::string Order(const DownloadOrder& order) {
  std::string out;
  for (size_t i = 0; i < order.titles.size(); ++i) {
    out += order.titles[i];
    if (order.rowData[i] != static_cast<uintptr_t>(std::stoi(order.titles[i])) * 0x10) out += "!";
  }
  return out;
}

HWND WaitForReorderDialog() { return WaitForWindow("#32770", "Reorder download list...", kDialogSeconds); }

void Press(HWND dialog, int id) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Puts the cursor at a screen point and waits until the system reports it there
// (under Wine the move reaches the display asynchronously).
bool PutCursor(POINT screen) {
  SetCursorPos(screen.x, screen.y);
  const DWORD start = GetTickCount();
  for (;;) {
    POINT now = {};
    GetCursorPos(&now);
    if (now.x == screen.x && now.y == screen.y) return true;
    if (GetTickCount() - start > 2000) return false;
    Sleep(10);
  }
}

// A left-button drag from entry `from` to entry `to` as the mouse makes it: the
// drag list reads the cursor position, so the cursor is put there first.
bool Drag(HWND list, int from, int to) {
  bool placed = true;
  auto centre = [&](int index) {
    RECT row = {};
    SendMessageA(list, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&row));
    POINT client = {(row.left + row.right) / 2, (row.top + row.bottom) / 2};
    POINT screen = client;
    ClientToScreen(list, &screen);
    placed = PutCursor(screen) && placed;
    return MAKELPARAM(client.x, client.y);
  };
  SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, centre(from));
  SendMessageA(list, WM_MOUSEMOVE, MK_LBUTTON, centre(to));
  SendMessageA(list, WM_LBUTTONUP, 0, centre(to));
  return placed;
}

class ReorderDialog : public testing::Test {
 protected:
  void SetUp() override { ModuleInstance = GetModuleHandleA(nullptr); }
};

TEST_F(ReorderDialog, ListsEveryDownloadAndSortReturnsOneAfterTheButtonsMovedThem) {
  DownloadOrder order = FourDownloads();
  LRESULT count = 0, selectedAfterDown = 0;
  bool upHasBitmap = false;
  DialogScript script([&] {
    HWND dialog = WaitForReorderDialog();
    if (!dialog) return;
    HWND list = GetDlgItem(dialog, IDC_REORDER_LIST);
    count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    upHasBitmap = SendDlgItemMessageA(dialog, IDC_REORDER_UP, BM_GETIMAGE, IMAGE_BITMAP, 0) != 0;
    SendMessageA(list, LB_SETCURSEL, 3, 0);
    Press(dialog, IDC_REORDER_DOWN);  // the last one: nothing moves
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    Press(dialog, IDC_REORDER_DOWN);
    selectedAfterDown = SendMessageA(list, LB_GETCURSEL, 0, 0);
    SendMessageA(list, LB_SETCURSEL, 0, 0);
    Press(dialog, IDC_REORDER_UP);  // the first one: nothing moves
    Press(dialog, IDOK);
  });
  EXPECT_EQ(RunReorderDialog(nullptr, order), 1);
  EXPECT_EQ(count, 4);
  EXPECT_TRUE(upHasBitmap);
  EXPECT_EQ(selectedAfterDown, 2);
  EXPECT_EQ(Order(order), "1324");
}

TEST_F(ReorderDialog, DraggingFirstOntoThirdAndFourthOntoSecondMovesTheEntries) {
  DownloadOrder order = FourDownloads();
  LRESULT selectedAfterDrop = -1;
  bool placed = false;
  DialogScript script([&] {
    HWND dialog = WaitForReorderDialog();
    if (!dialog) return;
    HWND list = GetDlgItem(dialog, IDC_REORDER_LIST);
    placed = Drag(list, 0, 2);
    selectedAfterDrop = SendMessageA(list, LB_GETCURSEL, 0, 0);
    Press(dialog, IDOK);
  });
  ASSERT_EQ(RunReorderDialog(nullptr, order), 1);
  ASSERT_TRUE(placed) << "the cursor could not be moved";
  EXPECT_EQ(Order(order), "2314");
  EXPECT_EQ(selectedAfterDrop, 2);

  order = FourDownloads();
  DialogScript again([&] {
    HWND dialog = WaitForReorderDialog();
    if (!dialog) return;
    HWND list = GetDlgItem(dialog, IDC_REORDER_LIST);
    placed = Drag(list, 3, 1);
    placed = Drag(list, 2, 2) && placed;  // dropped on itself: nothing moves
    Press(dialog, IDOK);
  });
  ASSERT_EQ(RunReorderDialog(nullptr, order), 1);
  ASSERT_TRUE(placed) << "the cursor could not be moved";
  EXPECT_EQ(Order(order), "1423");
}

TEST_F(ReorderDialog, CancelAndClosingReturnZero) {
  DownloadOrder order = FourDownloads();
  DialogScript script([&] {
    HWND dialog = WaitForReorderDialog();
    if (dialog) Press(dialog, IDCANCEL);
  });
  EXPECT_EQ(RunReorderDialog(nullptr, order), 0);
  DialogScript closing([&] {
    HWND dialog = WaitForReorderDialog();
    if (dialog) SendMessageA(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(RunReorderDialog(nullptr, order), 0);
}

TEST(CompareByOrder, GivesTheRecordsOrderToAHostList) {
  DownloadOrder order = FourDownloads();
  MoveByDrag(order, 3, 0);  // 4 1 2 3
  const LPARAM record = reinterpret_cast<LPARAM>(&order);
  EXPECT_LT(CompareByOrder(0x40, 0x10, record), 0);
  EXPECT_GT(CompareByOrder(0x30, 0x20, record), 0);
  EXPECT_EQ(CompareByOrder(0x20, 0x20, record), 0);
}

}  // namespace
}  // namespace va
