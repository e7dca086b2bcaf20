// The host window integration end to end: hostsim.exe with the real ch_plug.dll,
// driven by window messages from this process; the host's log (commands, menus),
// its windows, the tray and the registry are read from outside.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hostsim_driver.h"
#include "support/extension_keys.h"
#include "support/tray_view.h"

namespace va {
namespace {

using test::Dword;
using test::HostSim;
using test::HostTopWindow;
using test::kExtKey;
using test::kLastStateKey;
using test::kSkinsKey;
using test::LastMenuDump;
using test::MenuDumpItem;
using test::PutRawValue;
using test::WaitUntil;

constexpr UINT kTrayCallback = WM_USER + 10;
constexpr UINT kTrayId = 216;
constexpr int kExitCommand = 32870;
constexpr int kDeadlineMs = 5000;

// Asks the notification area whether the icon (main window, 216) is there: a
// modify that changes nothing succeeds only for an existing icon.
bool TrayIconPresent(HWND main) {
  NOTIFYICONDATAA probe = {};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = main;
  probe.uID = kTrayId;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

class HostUi : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    test::ClearExtensionSettings();
    test::DeleteTree(HKEY_CURRENT_USER, kSkinsKey);
  }
  static void SetOption(const char* name, uint32_t value) {
    test::PutDword(HKEY_CURRENT_USER, kExtKey, name, value);
  }
  // Starts the host and waits until the module has set up the main window: with
  // the icon rules of the test either present or not, the menu bar is installed
  // on the first paint, which the tests then check through the log.
  void StartHost(HostSim& host, const std::string& scenario = "second_panel_ms = -1\n") {
    ASSERT_TRUE(host.Start(scenario));
    ASSERT_TRUE(host.WaitForLog("result ServiceShow"));
    ASSERT_TRUE(host.Sync());
    ASSERT_TRUE(host.Sync());  // InitMessage was posted before the first sync marker
  }
  std::vector<MenuDumpItem> MenuBar(HostSim& host, const std::string& prefix) {
    const int before = host.CountLog("menubar-end");
    EXPECT_TRUE(host.Send("menubar"));
    EXPECT_TRUE(host.WaitForLog("menubar-end", kDeadlineMs, before + 1));
    return LastMenuDump(host, prefix, "menubar handle=", "menubar-end");
  }
  std::string MenuBarHandle(HostSim& host) {
    std::string handle;
    for (const std::string& line : host.LogTexts())
      if (line.rfind("menubar handle=", 0) == 0) handle = line.substr(15);
    return handle;
  }
  // Opens the tray menu by the icon's right click and logs it through the host.
  std::vector<MenuDumpItem> TrayMenu(HostSim& host, const std::string& prefix) {
    const int before = host.CountLog("popup-end");
    PostMessageA(host.MainWindow(), kTrayCallback, kTrayId, WM_RBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return HostTopWindow(host, "#32768") != nullptr; }, kDeadlineMs))
        << "no tray menu opened";
    EXPECT_TRUE(host.Send("popup"));
    EXPECT_TRUE(host.WaitForLog("popup-end", kDeadlineMs, before + 1));
    EXPECT_TRUE(host.Sync());
    return LastMenuDump(host, prefix, "automation popup", "popup-end");
  }
  static int Count(const std::vector<MenuDumpItem>& items, unsigned id) {
    int n = 0;
    for (const MenuDumpItem& item : items) n += item.id == id;
    return n;
  }
  static int CountText(const std::vector<MenuDumpItem>& items, const std::string& text) {
    int n = 0;
    for (const MenuDumpItem& item : items) n += item.text == text;
    return n;
  }
};

TEST_F(HostUi, CloseBoxHidesIntoTheTrayAndADoubleClickRestoresOnTheFollowingButtonUp) {
  SetOption("ChangeTrayMenu", 1);
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kDeadlineMs)) << "no tray icon without ChangeSystemBtn";

  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, kDeadlineMs)) << "the close box did not hide the host";
  ASSERT_TRUE(host.Sync());
  EXPECT_TRUE(host.Running());
  EXPECT_EQ(host.CountLog("command " + std::to_string(kExitCommand)), 0);
  EXPECT_TRUE(TrayIconPresent(main));

  PostMessageA(main, kTrayCallback, kTrayId, WM_LBUTTONDOWN);
  PostMessageA(main, kTrayCallback, kTrayId, WM_LBUTTONUP);  // a single click restores nothing
  PostMessageA(main, kTrayCallback, kTrayId, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(IsWindowVisible(main)) << "restored before the button-up that follows the double-click";
  PostMessageA(main, kTrayCallback, kTrayId, WM_LBUTTONUP);
  ASSERT_TRUE(host.Sync());
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_TRUE(TrayIconPresent(main)) << "without ChangeSystemBtn the icon stays";
}

TEST_F(HostUi, WithChangeSystemBtnTheCloseBoxAsksAndTheIconFollowsTheWindow) {
  SetOption("ChangeSystemBtn", 1);
  SetOption("AskExit", 1);
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  EXPECT_FALSE(TrayIconPresent(main)) << "no icon while the main window is visible";

  PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = HostTopWindow(host, "#32770", "VA Extensions")) != nullptr; },
                        kDeadlineMs))
      << "no exit confirmation";
  char text[256] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  EXPECT_STREQ(text, "Are you sure that you want to exit Vexlo Aero V++?");
  PostMessageA(box, WM_COMMAND, IDNO, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kDeadlineMs));
  ASSERT_TRUE(host.Sync());
  EXPECT_TRUE(host.Running());
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(host.CountLog("command " + std::to_string(kExitCommand)), 0) << "the host saw the exit";

  // The title-bar button's command hides into the tray; the icon appears.
  PostMessageA(main, WM_SYSCOMMAND, 0xE000, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(main); }, kDeadlineMs));
  ASSERT_TRUE(host.Sync());
  EXPECT_TRUE(TrayIconPresent(main));
  PostMessageA(main, kTrayCallback, kTrayId, WM_LBUTTONDBLCLK);
  PostMessageA(main, kTrayCallback, kTrayId, WM_LBUTTONUP);
  ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(main) != FALSE; }, kDeadlineMs));
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(TrayIconPresent(main)) << "the icon stays while the window is visible";
}

// The shell lost its icons (as when it restarts); true when there was one to lose.
bool LoseTrayIcon(HostSim& host) {
  NOTIFYICONDATAA gone = {};
  gone.cbSize = NOTIFYICONDATAA_V1_SIZE;
  gone.hWnd = host.MainWindow();
  gone.uID = kTrayId;
  return Shell_NotifyIconA(NIM_DELETE, &gone) != FALSE;
}
// The new shell says so with "TaskbarCreated".
void AnnounceNewTaskbar(HostSim& host) {
  PostMessageA(host.MainWindow(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

TEST_F(HostUi, TaskbarCreatedBringsBackExactlyOneIcon) {
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kDeadlineMs));

  ASSERT_TRUE(LoseTrayIcon(host));
  ASSERT_FALSE(TrayIconPresent(main));
  AnnounceNewTaskbar(host);
  ASSERT_TRUE(host.Sync());
  EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kDeadlineMs)) << "the icon did not come back";
  EXPECT_EQ(test::TrayIconCount(), 1);
}

TEST_F(HostUi, TaskbarCreatedKeepsTheIconAwayWhileChangeSystemBtnShowsTheWindow) {
  SetOption("ChangeSystemBtn", 1);
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  ASSERT_FALSE(TrayIconPresent(main));

  AnnounceNewTaskbar(host);
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(TrayIconPresent(main)) << "the visible window's icon was added back";
  EXPECT_EQ(test::TrayIconCount(), 0);
}

TEST_F(HostUi, TrayMenuHasItsOrderDefaultItemAndTextsOfTheMoment) {
  SetOption("ChangeTrayMenu", 1);
  HostSim host;
  StartHost(host);
  std::vector<MenuDumpItem> items = TrayMenu(host, "popup");
  ASSERT_EQ(items.size(), 11u);
  struct Want {
    unsigned id;
    const char* flags;
    const char* text;
  } want[] = {
      {0, "OG", ""}, {11101, "D", "Hide Vexlo Aero V++"}, {11103, "", "Jump SuperNode"}, {0, "S", ""},
      {0, "P", "Tools"}, {0, "S", ""}, {0, "P", "Accelerator"}, {0, "S", ""}, {11104, "", "My Shared Folder"},
      {0, "S", ""}, {11102, "", "Exit"}};
  for (size_t i = 0; i < items.size(); ++i) {
    SCOPED_TRACE(i);
    if (want[i].id) {
      EXPECT_EQ(items[i].id, want[i].id);
    }
    EXPECT_EQ(items[i].flags, want[i].flags);
    EXPECT_EQ(items[i].text, want[i].text);
  }
  std::vector<MenuDumpItem> accelerator = LastMenuDump(host, "popup 6", "automation popup", "popup-end");
  ASSERT_EQ(accelerator.size(), 3u);
  EXPECT_EQ(accelerator[0].id, 11401u);
  EXPECT_EQ(accelerator[0].text, "Enable");  // the accelerator is stopped
  EXPECT_EQ(accelerator[2].id, 11402u);

  // Hidden host: the same item offers to show it.
  PostMessageA(host.MainWindow(), WM_SYSCOMMAND, 0xE000, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(host.MainWindow()); }, kDeadlineMs));
  items = TrayMenu(host, "popup");
  ASSERT_EQ(items.size(), 11u);
  EXPECT_EQ(items[1].text, "Show Vexlo Aero V++");
  EXPECT_EQ(items[1].flags, "D");
}

TEST_F(HostUi, MenuBarGetsTheItemsOncePerHandleAndAlwaysOnTopFollowsTheLastState) {
  SetOption("AddToMainMenu", 1);
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "AlwaysOnTop", REG_DWORD, Dword(1));
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  std::vector<MenuDumpItem> bar;
  ASSERT_TRUE(WaitUntil([&] {
    RedrawWindow(main, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    bar = MenuBar(host, "menubar");
    return CountText(bar, "Tools") > 0;
  }, kDeadlineMs)) << "the menu bar never got the module's items";
  const std::string firstHandle = MenuBarHandle(host);
  // Painted again: nothing is added twice.
  RedrawWindow(main, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  PostMessageA(main, WM_INITMENU, 0, 0);
  ASSERT_TRUE(host.Sync());
  auto check = [&](const char* when) {
    SCOPED_TRACE(when);
    bar = MenuBar(host, "menubar");
    ASSERT_EQ(bar.size(), 7u);
    EXPECT_EQ(bar[5].text, "Tools");
    EXPECT_EQ(bar[6].text, "&Help");
    std::vector<MenuDumpItem> first = MenuBar(host, "menu 0");
    ASSERT_GE(first.size(), 3u);
    EXPECT_EQ(first[2].id, 11002u);
    EXPECT_EQ(first[2].text, "Jump SuperNode");
    EXPECT_EQ(Count(first, 11002), 1);
    std::vector<MenuDumpItem> view = MenuBar(host, "menu 1");
    ASSERT_GE(view.size(), 8u);
    EXPECT_EQ(view[5].id, 11006u);
    EXPECT_EQ(view[5].text, "Always on top");
    EXPECT_EQ(view[6].flags, "S");
    EXPECT_EQ(view[7].id, 11003u);
    EXPECT_EQ(view[7].text, "Status Window");
    EXPECT_EQ(Count(view, 11006), 1);
    std::vector<MenuDumpItem> options = MenuBar(host, "menu 3");
    EXPECT_EQ(Count(options, 11001), 1);
    EXPECT_EQ(CountText(options, "Tools"), 0) << "Tools is in the menu bar with AddToMainMenu";
  };
  check("after repainting");

  // The host replaces its menu bar: the new one gets the items once.
  ASSERT_TRUE(host.Send("new-menubar"));
  RedrawWindow(main, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_TRUE(host.Sync());
  MenuBar(host, "menubar");
  EXPECT_NE(MenuBarHandle(host), firstHandle);
  check("after the host replaced its menu bar");

  // Always on top: set by the last state, checked when the menu opens, toggled by 11006.
  EXPECT_TRUE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  PostMessageA(main, WM_INITMENU, static_cast<WPARAM>(std::stoull(MenuBarHandle(host), nullptr, 16)), 0);
  ASSERT_TRUE(host.Sync());
  EXPECT_EQ(MenuBar(host, "menu 1")[5].flags, "C");
  PostMessageA(main, WM_COMMAND, 11006, 0);
  PostMessageA(main, WM_INITMENU, static_cast<WPARAM>(std::stoull(MenuBarHandle(host), nullptr, 16)), 0);
  ASSERT_TRUE(host.Sync());
  EXPECT_EQ(MenuBar(host, "menu 1")[5].flags, "");
  EXPECT_FALSE(GetWindowLongPtrA(main, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(host.CountLog("command 11006"), 1) << "11006 is passed on to the host";
}

TEST_F(HostUi, AboutBoxCarriesTheAboutLine) {
  HostSim host;
  StartHost(host);
  PostMessageA(host.MainWindow(), WM_COMMAND, 57664, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (about = HostTopWindow(host, "#32770")) != nullptr; }, kDeadlineMs));
  char line[256] = "";
  ASSERT_TRUE(WaitUntil([&] { return GetDlgItemTextA(about, 101, line, sizeof line) > 0; }, kDeadlineMs));
  EXPECT_STREQ(line, "VA Extensions v0.56a for Vexlo Aero V++");
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(about, 1521)));
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kDeadlineMs));
  ASSERT_TRUE(host.Sync());
  EXPECT_EQ(host.CountLog("command 57664"), 0) << "the module's About box replaces the host's";
}

using test::ChildRect;
using test::SameRect;

TEST_F(HostUi, LayoutWithoutAdBannerIsStableAndMovesThePlayerIntoTheBarRow) {
  SetOption("HideAdBanner", 1);
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  const int ids[] = {0xE801, 0xE802, 0xE806, 0xE900};
  // A late resize from the display may still be on its way: the host lays the
  // bars out its way first and the module moves them after, within that message.
  ASSERT_TRUE(WaitUntil([&] { return ChildRect(main, 0xE802).left == 355; }, kDeadlineMs)) << "the layout never came";
  ASSERT_TRUE(host.Sync());
  RECT client;
  GetClientRect(main, &client);
  RECT adBar = ChildRect(main, 0xE802), playerBar = ChildRect(main, 0xE806);
  EXPECT_EQ(playerBar.right - playerBar.left, 355);
  EXPECT_EQ(playerBar.top, adBar.top);
  EXPECT_EQ(adBar.left, 355);
  EXPECT_EQ(adBar.right, client.right);
  EXPECT_EQ(ChildRect(main, 0xE900).bottom, adBar.top) << "the MDI area grows by the freed row";
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 0xE808))) << "the add-on panel is hidden";

  RECT before[4];
  for (int i = 0; i < 4; ++i) before[i] = ChildRect(main, ids[i]);
  // The MDI client's resize runs the layout again: nothing moves.
  PostMessageA(GetDlgItem(main, 0xE900), WM_SIZE, SIZE_RESTORED, 0);
  PostMessageA(main, WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  ASSERT_TRUE(host.Sync());
  for (int i = 0; i < 4; ++i) {
    SCOPED_TRACE(ids[i]);
    EXPECT_TRUE(SameRect(before[i], ChildRect(main, ids[i])));
  }
}

TEST_F(HostUi, LayoutWithASkinHidesTheBarsInsteadOfMovingThem) {
  SetOption("HideAdBanner", 1);
  PutRawValue(HKEY_CURRENT_USER, kSkinsKey, "CurrentSkin", REG_SZ, std::string("Night\0", 6));
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 0xE802)));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, 0xE806)));
  RECT client, mdi = ChildRect(main, 0xE900);
  GetClientRect(main, &client);
  EXPECT_EQ(mdi.right - mdi.left, client.right);
  EXPECT_EQ(mdi.bottom - mdi.top, client.bottom);
}

}  // namespace
}  // namespace va
