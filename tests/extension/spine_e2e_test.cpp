// The module in the stand-in host: hostsim.exe loads the real ch_plug.dll and is
// driven by window messages from this process; its log (commands, menus), its
// windows, the tray, the add-ons' log, the registry and its exit code are read.
// Each suite starts the host once and lives through one user's story.
#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/tray_view.h"

namespace va {
namespace {

using namespace va::test;

const char kDistributionKey[] = "SOFTWARE\\V++";
const char kSearchKey[] = "SOFTWARE\\Vexlo\\Search";
const char kHostUserKey[] = "SOFTWARE\\Vexlo\\v-aero";
const char kLocalContentKey[] = "SOFTWARE\\Vexlo\\LocalContent";
constexpr UINT kTrayCallback = WM_USER + 10;
constexpr UINT kTrayId = 216;
constexpr int kDeadlineMs = 5000;

void CleanRegistry() {
  ClearExtensionSettings();
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) DeleteTree(root, kDistributionKey);
  DeleteTree(HKEY_CURRENT_USER, kSearchKey);
  DeleteTree(HKEY_CURRENT_USER, kHostUserKey);
  DeleteTree(HKEY_CURRENT_USER, kSkinsKey);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) DeleteTree(root, kLocalContentKey);  // no shared folder
}
void SearchValue(const char* name, size_t bytes) { PutRawValue(HKEY_CURRENT_USER, kSearchKey, name, REG_BINARY, std::string(bytes, 's')); }
std::string Text(const StoredValue& value) { return value.bytes.substr(0, value.bytes.find('\0')); }

bool TrayCall(HWND main, DWORD operation) {
  NOTIFYICONDATAA data = {};
  data.cbSize = NOTIFYICONDATAA_V1_SIZE;
  data.hWnd = main;
  data.uID = kTrayId;
  return Shell_NotifyIconA(operation, &data) != FALSE;
}
// A modify that changes nothing succeeds only for an existing icon.
bool TrayIconPresent(HWND main) { return TrayCall(main, NIM_MODIFY); }
void PostTray(HWND main, std::initializer_list<UINT> mouse) {
  for (UINT message : mouse) PostMessageA(main, kTrayCallback, kTrayId, message);
}
// The shell loses its icons and, restarted, says "TaskbarCreated".
void RestartTaskbar(HWND main) {
  TrayCall(main, NIM_DELETE);
  PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}
std::string Items(const std::vector<MenuDumpItem>& items) {
  std::string out;
  for (const MenuDumpItem& item : items)  // a popup's id is its handle: left out
    out += std::to_string(item.position) + ":" + std::to_string(item.flags.find('P') == std::string::npos ? item.id : 0) +
           "/" + item.flags + "/" + item.text + "; ";
  return out;
}
int Occurrences(const std::string& text, const std::string& part) {
  int n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

class HostStoryBase : public testing::Test {
 protected:
  static void Launch(const std::string& scenario) {
    started_ = host_->Start(scenario) && host_->WaitForLog("result ServiceShow") && host_->Sync() && host_->Sync();
  }
  static void TearDownTestSuite() {
    delete host_;
    host_ = nullptr;
    CleanRegistry();
  }
  void SetUp() override { ASSERT_TRUE(started_ && host_->Running()) << "the host is not running"; }
  static HWND Main() { return host_->MainWindow(); }
  static bool Visible() { return IsWindowVisible(Main()) != FALSE; }
  static bool WaitVisible(bool visible) {
    return WaitUntil([&] { return Visible() == visible; }, kDeadlineMs) && host_->Sync();
  }
  static std::vector<MenuDumpItem> TrayMenu(const std::string& prefix) {
    const int before = host_->CountLog("popup-end");
    PostTray(Main(), {WM_RBUTTONUP});
    EXPECT_TRUE(WaitUntil([&] { return HostTopWindow(*host_, "#32768") != nullptr; }, kDeadlineMs)) << "no tray menu";
    EXPECT_TRUE(host_->Send("popup") && host_->WaitForLog("popup-end", kDeadlineMs, before + 1) && host_->Sync());
    return LastMenuDump(*host_, prefix, "automation popup", "popup-end");
  }
  static std::vector<MenuDumpItem> MenuBar(const std::string& prefix) {
    const int before = host_->CountLog("menubar-end");
    EXPECT_TRUE(host_->Send("menubar") && host_->WaitForLog("menubar-end", kDeadlineMs, before + 1));
    return LastMenuDump(*host_, prefix, "menubar handle=", "menubar-end");
  }
  static HMENU MenuBarHandle() {
    std::vector<LogLine> dumps = host_->LogStartingWith("menubar handle=");
    return dumps.empty() ? nullptr : reinterpret_cast<HMENU>(std::stoull(dumps.back().text.substr(15), nullptr, 16));
  }
  static inline HostSim* host_ = nullptr;
  static inline bool started_ = false;
};

// A user with the tray menu and the menu bar's Tools, no ad banner, the window
// finder asking for missing windows, and add-ons: hides the host by its close box,
// brings it back from the tray, uses the tray menu, the menu bar and About, the
// shell restarts, the add-ons get every call, and the user exits from the tray.
class HostStory : public HostStoryBase {
 protected:
  static void SetUpTestSuite() {
    CleanRegistry();
    for (auto [name, value] : {std::pair{"ChangeTrayMenu", 1}, {"HideAdBanner", 1}, {"ForceCreation", 1}, {"IniTab", 2}})
      PutDword(HKEY_CURRENT_USER, kExtKey, name, value);
    // The machine's values count where the user has none.
    for (auto [name, value] : {std::pair{"HideAdBanner", 0}, {"AddToMainMenu", 1}, {"ChangeSystemBtn", 0}})
      PutDword(HKEY_LOCAL_MACHINE, kExtKey, name, value);
    PutDword(HKEY_CURRENT_USER, kLastStateKey, "AlwaysOnTop", 1);
    PutDword(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", 3);
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("10,20"));
    PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", 0);
    PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", 1);
    SearchValue("a1", 100);
    SearchValue("b2", 2000);  // over 1024 bytes: the purge stops here
    SearchValue("c3", 100);
    PutDword(HKEY_CURRENT_USER, kHostUserKey, "Version", 1);
    host_ = new HostSim();
    auto list = [](const char* name, const std::string& path, DWORD type = REG_SZ) {
      PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, name, type, Sz(path));
    };
    auto addOn = [](const char* name) { return host_->CopyIn(TestAddOnLibrary(), name); };
    list("Dll1", addOn("a.dll"));
    list("Dll2", "\"" + addOn("b.dll") + "\"");  // quotes are ignored
    list("Dll3", host_->Join("a.dll"));           // listed twice: called twice
    list("Dll4", host_->Join("missing.dll"));
    list("Dll5", host_->CopyIn(NoExportsLibrary(), "partial.dll"));
    list("Dll6", host_->Join("ch_plug.dll"));     // the module itself
    list("DllX", addOn("x.dll"), REG_EXPAND_SZ);  // wrong type
    list("dllY", addOn("y.dll"));                 // wrong case
    list("Dll7", addOn("c.dll"));
    list("Dll8", addOn("d.dll"));
    list("Dll9", addOn("e.dll"));                 // the ninth: over the limit
    // Search appears only when the test creates it; Traffic when it is asked for.
    Launch("window.search = never\nwindow.traffic = command\nsecond_panel_ms = 0\n");
  }
};

// Without ChangeSystemBtn the icon is always there, the close box hides into the
// tray without exiting, and a double-click restores on the following button-up.
TEST_F(HostStory, CloseBoxHidesIntoTheTrayAndADoubleClickRestores) {
  ASSERT_TRUE(WaitUntil([] { return TrayIconPresent(Main()); }, kDeadlineMs));
  PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitVisible(false)) << "the close box did not hide the host";
  EXPECT_EQ(host_->CountLog("command 32870"), 0);
  PostTray(Main(), {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK});
  ASSERT_TRUE(host_->Sync());
  EXPECT_FALSE(Visible()) << "restored before the button-up that follows the double-click";
  PostTray(Main(), {WM_LBUTTONUP});
  EXPECT_TRUE(WaitVisible(true));
  EXPECT_TRUE(TrayIconPresent(Main()));
}

// The tray menu's order, texts and default item, and the Show/Hide text of the
// moment; its commands: 11101 hides and shows, 11104 without a shared folder does
// nothing, 11103 (and the menu bar's 11002) send the host 32891 and, half a second
// later, 32890.
TEST_F(HostStory, TrayMenuAndItsCommands) {
  EXPECT_EQ(Items(TrayMenu("popup")),
            "0:0/OG/; 1:11101/D/Hide Vexlo Aero V++; 2:11103//Jump SuperNode; 3:0/S/; 4:0/P/Tools; 5:0/S/; "
            "6:0/P/Accelerator; 7:0/S/; 8:11104//My Shared Folder; 9:0/S/; 10:11102//Exit; ");
  const std::string accelerator = Items(LastMenuDump(*host_, "popup 6", "automation popup", "popup-end"));
  EXPECT_EQ(accelerator.substr(0, accelerator.find("1:")) + accelerator.substr(accelerator.find("2:"), 8),
            "0:11401//Enable; 2:11402/") << accelerator;  // the accelerator is stopped
  PostMessageA(Main(), WM_COMMAND, 11101, 0);
  ASSERT_TRUE(WaitVisible(false));
  EXPECT_EQ(Occurrences(Items(TrayMenu("popup")), "1:11101/D/Show Vexlo Aero V++;"), 1);
  PostMessageA(Main(), WM_COMMAND, 11101, 0);
  EXPECT_TRUE(WaitVisible(true));

  for (WPARAM command : {11104, 11103, 11002}) PostMessageA(Main(), WM_COMMAND, command, 0);
  ASSERT_TRUE(host_->WaitForLog("command 32890", kDeadlineMs, 2));
  std::vector<LogLine> log = host_->LogStartingWith("command 3289");
  ASSERT_EQ(log.size(), 4u);
  for (size_t i = 0; i < 4; i += 2) {
    EXPECT_EQ(log[i].text.substr(0, 13) + log[i + 1].text.substr(0, 13), "command 32891command 32890");
    EXPECT_GE(log[i + 1].ms - log[i].ms, 450u) << "no pause between the pair";
  }
  EXPECT_EQ(host_->CountLog("command 1110") + host_->CountLog("command 11002"), 0) << "the module's commands are consumed";
}

// The menu bar gets the module's items once per handle, also after the host
// replaces it; "Always on top" starts from the last state and 11006 toggles it.
TEST_F(HostStory, MenuBarItemsOncePerHandleAndAlwaysOnTop) {
  auto check = [](const char* when) {
    const std::string menus = Items(MenuBar("menubar")) + "| " + Items(MenuBar("menu 0")) + "| " +
                              Items(MenuBar("menu 1")) + "| " + Items(MenuBar("menu 3"));
    EXPECT_EQ(Occurrences(menus, "Tools;"), 1) << when << ": " << menus;
    for (const char* item : {"5:0/P/Tools; 6:0/P/&Help; |", "2:11002//Jump SuperNode;",
                             "5:11006/C/Always on top; 6:0/S/; 7:11003//Status Window;", ":11001//VA Extensions Options...; "})
      EXPECT_EQ(Occurrences(menus, item), 1) << when << ": " << item << " in " << menus;
  };
  ASSERT_TRUE(WaitUntil([] {
    RedrawWindow(Main(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return Items(MenuBar("menubar")).find("Tools") != std::string::npos;
  }, kDeadlineMs)) << "the menu bar never got the module's items";
  const HMENU firstBar = MenuBarHandle();
  RedrawWindow(Main(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  PostMessageA(Main(), WM_INITMENU, reinterpret_cast<WPARAM>(firstBar), 0);
  ASSERT_TRUE(host_->Sync());
  check("after repainting");
  ASSERT_TRUE(host_->Send("new-menubar"));
  RedrawWindow(Main(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  PostMessageA(Main(), WM_INITMENU, 0, 0);
  ASSERT_TRUE(host_->Sync());
  MenuBar("menubar");
  EXPECT_NE(MenuBarHandle(), firstBar);
  PostMessageA(Main(), WM_INITMENU, reinterpret_cast<WPARAM>(MenuBarHandle()), 0);
  ASSERT_TRUE(host_->Sync());
  check("after the host replaced its menu bar");

  EXPECT_TRUE(GetWindowLongPtrA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  PostMessageA(Main(), WM_COMMAND, 11006, 0);
  PostMessageA(Main(), WM_INITMENU, reinterpret_cast<WPARAM>(MenuBarHandle()), 0);
  ASSERT_TRUE(host_->Sync());
  EXPECT_EQ(Occurrences(Items(MenuBar("menu 1")), "5:11006//Always on top;"), 1);
  EXPECT_FALSE(GetWindowLongPtrA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(host_->CountLog("command 11006"), 1) << "11006 is passed on to the host";
}

TEST_F(HostStory, AboutBoxCarriesTheAboutLine) {
  PostMessageA(Main(), WM_COMMAND, 57664, 0);
  HWND about = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (about = HostTopWindow(*host_, "#32770")) != nullptr; }, kDeadlineMs));
  std::string line;
  EXPECT_TRUE(WaitUntil([&] { return !(line = WindowTextOf(GetDlgItem(about, 101))).empty(); }, kDeadlineMs));
  EXPECT_EQ(line, "VA Extensions v0.56a for Vexlo Aero V++");
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(about, 1521)));
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kDeadlineMs) && host_->Sync());
  EXPECT_EQ(host_->CountLog("command 57664"), 0) << "the module's About box replaces the host's";
}

// Without the ad banner the player bar moves into the ad bar's row and the MDI
// area grows; laying out again (a resize) moves nothing.
TEST_F(HostStory, LayoutWithoutAdBannerIsStable) {
  ASSERT_TRUE(WaitUntil([] { return ChildRect(Main(), 0xE802).left == 355; }, kDeadlineMs)) << "no layout";
  ASSERT_TRUE(host_->Sync());
  RECT client, ad = ChildRect(Main(), 0xE802), player = ChildRect(Main(), 0xE806);
  GetClientRect(Main(), &client);
  EXPECT_EQ(std::vector<LONG>({player.right - player.left, player.top, ad.right, ChildRect(Main(), 0xE900).bottom}),
            std::vector<LONG>({355, ad.top, client.right, ad.top}));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(Main(), 0xE808))) << "the add-on panel is hidden";
  const int ids[] = {0xE801, 0xE802, 0xE806, 0xE900};
  RECT before[4];
  for (int i = 0; i < 4; ++i) before[i] = ChildRect(Main(), ids[i]);
  PostMessageA(GetDlgItem(Main(), 0xE900), WM_SIZE, SIZE_RESTORED, 0);
  PostMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  ASSERT_TRUE(host_->Sync());
  for (int i = 0; i < 4; ++i) EXPECT_TRUE(SameRect(before[i], ChildRect(Main(), ids[i]))) << std::hex << ids[i];
}

TEST_F(HostStory, TaskbarCreatedBringsBackExactlyOneIcon) {
  RestartTaskbar(Main());
  ASSERT_TRUE(host_->Sync());
  EXPECT_TRUE(WaitUntil([] { return TrayIconPresent(Main()); }, kDeadlineMs)) << "the icon did not come back";
  EXPECT_EQ(TrayIconCount(), 1);
}

// Pass 0 asks for both missing windows, pass 9 again for the one still missing;
// once the last appears the start view (IniTab 2) is asked for once.
TEST_F(HostStory, FinderAsksForMissingWindowsEveryNinthPass) {
  ASSERT_TRUE(host_->WaitForLog("command 113", 15000, 2)) << "no second request in pass 9";
  std::vector<LogLine> requests = host_->LogStartingWith("command 113");
  EXPECT_GE(requests[1].ms - requests[0].ms, 8500u);
  EXPECT_LE(requests[1].ms - requests[0].ms, 12000u);
  EXPECT_EQ(host_->CountLog("command 32788"), 1) << "Traffic appeared in pass 0";
  ASSERT_TRUE(host_->Send("create search"));
  ASSERT_TRUE(host_->WaitForLog("command 32788", kDeadlineMs, 2)) << "no start view";
}

// The five exports reach every loaded add-on in list order with the host's
// arguments; the user exits from the tray: the process ends with 0 through the
// module, which stored the last state, purged the searches up to the oversized
// value and recorded the database folder.
TEST_F(HostStory, AddOnsGetEveryCallAndExitFromTheTrayStoresTheState) {
  const std::vector<std::string> calls = {
      "ChannelWrite 0xffffffff 0x80000000 0x0 0x7fffffff", "ChannelRead 0x1 0xdeadbeef 0x3 0xfffffffe",
      "DescWrite 0x5 0x4 0x3 0x2 0xabcdef01", "ServiceShow 0xb 0xa 0x9 0x8 0x7 0x6 0x5 0x4 0x3 0x2 0xffffffff",
      "ServiceClose 0x10 0x20 0x30"};
  for (const std::string& call : calls) ASSERT_TRUE(host_->Send("call " + call));
  EXPECT_EQ(host_->CountLog("result ChannelWrite 0") + host_->CountLog("result ChannelRead 0"), 2);
  EXPECT_EQ(host_->CountLog("result DescWrite 0"), 2);
  EXPECT_EQ(host_->CountLog("result ServiceShow 1"), 3);
  EXPECT_EQ(host_->CountLog("result ServiceClose 1"), 1);
  const std::string panel = host_->LogStartingWith("export ServiceShow 0x1 0x0 0x0 ")[0].text.substr(31);
  const std::string panel2 = host_->LogStartingWith("export ServiceShow 0x1 0x0 0x1 ")[0].text.substr(31);
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(std::stoull(panel2, nullptr, 16)))) << "the second panel stays";

  PostMessageA(Main(), WM_COMMAND, 11102, 0);
  DWORD code = 99;
  ASSERT_TRUE(host_->WaitForExit(10000, &code)) << "the host did not end";
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(host_->CountLog("command 32870"), 1);
  EXPECT_EQ(host_->CountLog("host-cleanup"), 0) << "the host's own code ran after the module was released";
  EXPECT_EQ(host_->CountLog("command 113"), 2);
  EXPECT_EQ(host_->CountLog("command 32788"), 2) << "the start view is asked for once";

  std::string want;
  std::vector<std::string> all = {"ServiceShow 0x1 0x0 0x0 " + panel, "DescWrite 0x1 0x0 0x0 0x0 0x0",
                                  "ServiceShow 0x1 0x0 0x1 " + panel2};
  all.insert(all.end(), calls.begin(), calls.end());
  all.push_back("ServiceClose 0x1 0x0 0x0");  // the host's own, at exit
  for (const std::string& call : all)
    for (const char* addOn : {"a.dll", "b.dll", "a.dll", "c.dll", "d.dll"}) want += addOn + (" " + call) + "\n";
  std::string got;
  for (const std::string& line : host_->AddOnLog()) got += line + "\n";
  EXPECT_EQ(got, want);

  for (auto [name, value] : {std::pair{"AlwaysOnTop", 0}, {"ConfigDlg", 3}})  // toggled by 11006; kept
    EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, name).bytes, Dword(value)) << name;
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").bytes, Sz("10,20,0,0"));
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "a1").exists);
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "b2").exists && ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "c3").exists);
  const std::string database = Text(ReadStoredValue(HKEY_LOCAL_MACHINE, kLocalContentKey, "DatabaseDir"));
  ASSERT_GT(database.size(), 9u);
  EXPECT_EQ(database.substr(database.size() - 9), "\\Vexlo\\db") << database;
}

// A locked-down user: the changed title bar (from the machine), AskExit, a skin,
// starting in the tray, and damaged settings and add-on entries that must neither
// crash nor hang the host nor count.
class GuardedHostStory : public HostStoryBase {
 protected:
  static void SetUpTestSuite() {
    CleanRegistry();
    PutDword(HKEY_LOCAL_MACHINE, kExtKey, "ChangeSystemBtn", 1);
    for (const char* name : {"AskExit", "StartVAInTray", "HideAdBanner"}) PutDword(HKEY_CURRENT_USER, kExtKey, name, 1);
    PutRawValue(HKEY_CURRENT_USER, kSkinsKey, "CurrentSkin", REG_SZ, Sz("Night"));
    PutRawValue(HKEY_CURRENT_USER, kExtKey, "ForceCreation", REG_SZ, Sz("1"));
    PutRawValue(HKEY_CURRENT_USER, kExtKey, "TrayIcon", REG_DWORD, Dword(5));
    PutRawValue(HKEY_CURRENT_USER, kExtKey, "ToolBarBitmap", REG_SZ, std::string(100000, 'b'));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_DWORD, Dword(7));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", REG_SZ, Sz("x"));
    PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", REG_SZ, Sz("1"));
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll1", REG_BINARY, std::string(600, '\x01'));
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll2", REG_SZ, std::string(5000, 'p'));
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll4", REG_SZ, Sz("Z:\\no\\such\\folder\\addon.dll"));
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll5", REG_SZ, Sz("\"\"\""));
    host_ = new HostSim();
    Launch("second_panel_ms = -1\nwindow.search = command\n");
  }
};

// Started in the tray: the icon is there; a skin hides the bottom bars instead of
// moving them. Restored, the icon goes (the title bar has the button), and a
// later ServiceShow does not attach again (which would hide the host anew).
TEST_F(GuardedHostStory, StartsInTheTrayAttachesOnceAndKeepsTheIconOffTheVisibleWindow) {
  ASSERT_TRUE(WaitVisible(false)) << "the first ServiceShow did not attach";
  EXPECT_TRUE(TrayIconPresent(Main()));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(Main(), 0xE802)) || IsWindowVisible(GetDlgItem(Main(), 0xE806)));
  RECT client, mdi = ChildRect(Main(), 0xE900);
  GetClientRect(Main(), &client);
  EXPECT_EQ(std::make_pair(mdi.right - mdi.left, mdi.bottom - mdi.top), std::make_pair(client.right, client.bottom));
  PostTray(Main(), {WM_LBUTTONDBLCLK, WM_LBUTTONUP});
  ASSERT_TRUE(WaitVisible(true));
  EXPECT_FALSE(TrayIconPresent(Main())) << "the icon stays while the window is visible";
  ASSERT_TRUE(host_->Send("call ServiceShow 1 0 0 panel 0 0 0 0 0 0 0"));
  ASSERT_TRUE(host_->Sync() && host_->Sync());
  EXPECT_TRUE(Visible()) << "a later ServiceShow attached again";
  RestartTaskbar(Main());
  ASSERT_TRUE(host_->Sync());
  EXPECT_EQ(TrayIconCount(), 0) << "the visible window's icon was added back";
}

// The close box asks; No keeps the host (the host never sees the exit), Yes ends
// it with 0. Settings given as the wrong type counted as their defaults.
TEST_F(GuardedHostStory, CloseBoxAsksAndOnlyYesExits) {
  for (int answer : {IDNO, IDYES}) {
    PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    HWND box = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (box = HostTopWindow(*host_, "#32770", "VA Extensions")) != nullptr; },
                          kDeadlineMs)) << "no exit question";
    EXPECT_EQ(WindowTextOf(GetDlgItem(box, 0xFFFF)), "Are you sure that you want to exit Vexlo Aero V++?");
    PostMessageA(box, WM_COMMAND, answer, 0);
    if (answer == IDYES) break;
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, kDeadlineMs) && host_->Sync());
    EXPECT_TRUE(Visible());
    EXPECT_EQ(host_->CountLog("command "), 0) << "the exit reached the host, or ForceCreation as text counted";
  }
  DWORD code = 99;
  ASSERT_TRUE(host_->WaitForExit(10000, &code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").bytes, Sz("0,0,0,0"));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg").bytes, Dword(0));
}

// A host that never calls ServiceShow: loading changes nothing visible, and when
// the process ends with the module still loaded, the remembered state is kept and
// the searches are purged by the user's switch (UseHKEY_CURRENT_USER 1): the key
// stays, its values go. Without the host's own key no database folder is recorded.
TEST(UnattachedHost, LoadingAloneChangesNothingAndTheEndStillSavesAndPurges) {
  CleanRegistry();
  PutDword(HKEY_CURRENT_USER, kExtKey, "StartVAInTray", 1);
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("5,6,1,1"));
  PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", 1);
  PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", 0);
  PutDword(HKEY_CURRENT_USER, kDistributionKey, "PurgeSearchesOnExit", 1);
  SearchValue("a1", 10);
  SearchValue("b2", 1024);
  SearchValue("c3", 0);
  HostSim host;
  ASSERT_TRUE(host.Start("service_show = no\nunload = exit\n"));
  ASSERT_TRUE(host.WaitForLog("module loaded") && host.Sync());
  EXPECT_TRUE(IsWindowVisible(host.MainWindow())) << "loading alone must not attach";
  ASSERT_TRUE(host.Send("exit"));
  DWORD code = 99;
  ASSERT_TRUE(host.WaitForExit(10000, &code)) << "the process did not end";
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").bytes, Sz("5,6,1,1"));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSearchKey));
  for (const char* name : {"a1", "b2", "c3"}) EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, name).exists) << name;
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kLocalContentKey, "DatabaseDir").exists);
  CleanRegistry();
}

}  // namespace
}  // namespace va
