// The module in the stand-in host: hostsim.exe loads the real ch_plug.dll and is
// driven by window messages from this process; its log (commands, menus), its
// windows, the tray, the add-ons' log, the registry and its exit code are read.
// Each suite starts the host once and lives through one user's story.
#include <windows.h>
#include <shellapi.h>

#include <utility>

#include "support/client_keys.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/tray_view.h"

namespace va {
namespace {

using namespace va::test;

const char kDistributionKey[] = "SOFTWARE\\V++", kSearchKey[] = "SOFTWARE\\Vexlo\\Search",
           kHostUserKey[] = "SOFTWARE\\Vexlo\\v-aero", kLocalContentKey[] = "SOFTWARE\\Vexlo\\LocalContent";
constexpr UINT kTrayCallback = WM_USER + 10, kTrayId = 216;
constexpr int kDeadlineMs = 5000;

void SearchValue(const char* name, size_t bytes) { PutRawValue(HKEY_CURRENT_USER, kSearchKey, name, REG_BINARY, std::string(bytes, 's')); }
std::string Items(const std::vector<MenuDumpItem>& items) {
  std::string out;
  for (const MenuDumpItem& item : items)  // a popup's id is its handle: left out
    out += std::to_string(item.position) + ":" + std::to_string(item.flags.find('P') == std::string::npos ? item.id : 0) +
           "/" + item.flags + "/" + item.text + "; ";
  return out;
}
class HostStoryBase : public testing::Test {
 protected:
  static void Launch(const std::string& scenario) {
    started_ = host_->Start(scenario) && host_->WaitForLog("result ServiceShow") && host_->Sync() && host_->Sync();
  }
  static void TearDownTestSuite() { delete std::exchange(host_, nullptr), ClientKeys::Clear(); }
  void SetUp() override { ASSERT_TRUE(started_ && host_->Running()) << "the host is not running"; }
  static HWND Main() { return host_->MainWindow(); }
  static bool WaitVisible(bool on) { return WaitUntil([&] { return (IsWindowVisible(Main()) != FALSE) == on; }, kDeadlineMs) && host_->Sync(); }
  static bool WaitIcon(bool on) { return WaitUntil([&] { return TrayHasIcon(Main(), kTrayId) == on; }, kDeadlineMs); }
  static std::string TrayMenu(const std::string& prefix) {
    const int before = host_->CountLog("popup-end");
    PostMessageA(Main(), kTrayCallback, kTrayId, WM_RBUTTONUP);
    EXPECT_TRUE(WaitUntil([&] { return HostTopWindow(*host_, "#32768") != nullptr; }, kDeadlineMs)) << "no tray menu";
    EXPECT_TRUE(host_->Send("popup") && host_->WaitForLog("popup-end", kDeadlineMs, before + 1) && host_->Sync());
    return Items(LastMenuDump(*host_, prefix, "automation popup", "popup-end"));
  }
  static std::string MenuBar(const std::string& prefix) {
    const int before = host_->CountLog("menubar-end");
    EXPECT_TRUE(host_->Send("menubar") && host_->WaitForLog("menubar-end", kDeadlineMs, before + 1));
    return Items(LastMenuDump(*host_, prefix, "menubar handle=", "menubar-end"));
  }
  static void InitMenu(HMENU bar) {
    RedrawWindow(Main(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    PostMessageA(Main(), WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    ASSERT_TRUE(host_->Sync());
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
    ClientKeys::Clear();
    for (auto [name, value] : {std::pair{"ChangeTrayMenu", 1}, {"HideAdBanner", 1}, {"ForceCreation", 1}, {"IniTab", 2}})
      PutDword(HKEY_CURRENT_USER, kExtKey, name, value);
    // The machine's values count where the user has none.
    for (auto [name, value] : {std::pair{"HideAdBanner", 0}, {"AddToMainMenu", 1}, {"ChangeSystemBtn", 0}})
      PutDword(HKEY_LOCAL_MACHINE, kExtKey, name, value);
    for (auto [name, value] : {std::pair{"AlwaysOnTop", 1}, {"ConfigDlg", 3}}) PutDword(HKEY_CURRENT_USER, kLastStateKey, name, value);
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("10,20"));
    PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", 0);
    PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", 1);
    for (auto [name, bytes] : {std::pair{"a1", 100}, {"b2", 2000}, {"c3", 100}}) SearchValue(name, bytes);  // b2 stops the purge
    PutDword(HKEY_CURRENT_USER, kHostUserKey, "Version", 1);
    host_ = new HostSim();
    auto list = [](const char* name, const std::string& path, DWORD type = REG_SZ) {
      PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, name, type, Sz(path));
    };
    auto addOn = [](const char* name) { return host_->CopyIn(TestAddOnLibrary(), name); };
    list("Dll1", addOn("a.dll"));
    list("Dll2", "\"" + addOn("b.dll") + "\"");  // quotes are ignored
    list("Dll3", host_->Join("A.DLL"));           // listed twice, in another case: called once
    list("Dll4", host_->Join("missing.dll"));
    list("Dll5", host_->CopyIn(NoExportsLibrary(), "partial.dll"));
    // A renamed copy of the module: loaded, it would double the menus and every add-on call.
    list("Dll6", host_->CopyIn(ExtensionModule(), "ch_plug_old.dll"));
    list("DllX", addOn("x.dll"), REG_EXPAND_SZ);  // wrong type
    list("dllY", addOn("y.dll"));                 // wrong case
    list("Dll7", addOn("c.dll"));
    list("Dll8", addOn("d.dll"));
    list("Dll9", addOn("e.dll"));                 // the ninth: over the limit
    // Search appears only when the test creates it; Traffic when it is asked for.
    Launch("window.search = never\nwindow.traffic = command\nsecond_panel_ms = 0\n");
  }
  void SetUp() override {  // every test starts with the host shown, whatever the one before left
    HostStoryBase::SetUp();
    if (!IsWindowVisible(Main())) PostMessageA(Main(), WM_COMMAND, 11101, 0);
    ASSERT_TRUE(WaitVisible(true));
  }
};

// Without ChangeSystemBtn the icon is always there, the close box hides into the
// tray without exiting, and a double-click restores on the following button-up;
// the shell restarts and exactly one icon comes back. The tray menu's order, texts
// and default item, and the Show/Hide text of the moment; its commands: 11101 hides
// and shows, 11104 without a shared folder does nothing, 11103 (and the menu bar's
// 11002) send the host 32891 and, half a second later, 32890.
TEST_F(HostStory, CloseBoxTrayAndTrayMenu) {
  ASSERT_TRUE(WaitIcon(true));
  const int icons = TrayIconCount();  // the host's, and any other program's
  PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
  ASSERT_TRUE(WaitVisible(false)) << "the close box did not hide the host";
  for (UINT mouse : {WM_LBUTTONDBLCLK, WM_LBUTTONUP}) PostMessageA(Main(), kTrayCallback, kTrayId, mouse);
  EXPECT_TRUE(WaitVisible(true));
  NOTIFYICONDATAA data = {};  // the shell loses its icons and, restarted, says "TaskbarCreated"
  data.cbSize = NOTIFYICONDATAA_V1_SIZE, data.hWnd = Main(), data.uID = kTrayId;
  Shell_NotifyIconA(NIM_DELETE, &data);
  PostMessageA(Main(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
  EXPECT_TRUE(WaitIcon(true) && host_->Sync() && TrayIconCount() == icons) << "not exactly one icon came back";

  EXPECT_EQ(TrayMenu("popup"),
            "0:0/OG/; 1:11101/D/Hide Vexlo Aero V++; 2:11103//Jump SuperNode; 3:0/S/; 4:0/P/Tools; 5:0/S/; "
            "6:0/P/Accelerator; 7:0/S/; 8:11104//My Shared Folder; 9:0/S/; 10:11102//Exit; ");
  PostMessageA(Main(), WM_COMMAND, 11101, 0);
  ASSERT_TRUE(WaitVisible(false));
  EXPECT_EQ(Occurrences(TrayMenu("popup"), "1:11101/D/Show Vexlo Aero V++;"), 1);
  PostMessageA(Main(), WM_COMMAND, 11101, 0);
  EXPECT_TRUE(WaitVisible(true));
  for (WPARAM command : {11104, 11103, 11002}) PostMessageA(Main(), WM_COMMAND, command, 0);
  ASSERT_TRUE(host_->WaitForLog("command 32890", kDeadlineMs, 2));
  std::string pairs;  // each command, and whether half a second passed since the one before
  const std::vector<LogLine> log = host_->LogStartingWith("command 3289");
  for (size_t i = 0; i < log.size(); ++i) pairs += log[i].text.substr(8, 5) + (i % 2 && log[i].ms - log[i - 1].ms >= 450 ? "+ " : " ");
  EXPECT_EQ(pairs, "32891 32890+ 32891 32890+ ");
  EXPECT_EQ(host_->CountLog("command 1110") + host_->CountLog("command 11002") + host_->CountLog("command 32870"), 0)
      << "the module's commands are consumed, and the close box did not exit";
}

// The menu bar gets the module's items once per handle, also after the host
// replaces it; "Always on top" starts from the last state and 11006 toggles it.
TEST_F(HostStory, MenuBarItemsOncePerHandleAndAlwaysOnTop) {
  ASSERT_TRUE(WaitUntil([] {
    RedrawWindow(Main(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
    return MenuBar("menubar").find("Tools") != std::string::npos;
  }, kDeadlineMs)) << "the menu bar never got the module's items";
  const HMENU firstBar = GetMenu(Main());
  InitMenu(firstBar);
  ASSERT_TRUE(host_->Send("new-menubar"));
  InitMenu(nullptr);
  EXPECT_NE(GetMenu(Main()), firstBar);
  for (int round = 0; round < 2; ++round) InitMenu(GetMenu(Main()));  // a handle seen twice gets nothing more
  const std::string menus = MenuBar("menubar") + "| " + MenuBar("menu 0") + "| " + MenuBar("menu 1") + "| " + MenuBar("menu 3");
  EXPECT_EQ(Occurrences(menus, "Tools;"), 1) << menus;
  for (const char* item : {"5:0/P/Tools; 6:0/P/&Help; |", "2:11002//Jump SuperNode;",
                           "5:11006/C/Always on top; 6:0/S/; 7:11003//Status Window;", ":11001//VA Extensions Options...; "})
    EXPECT_EQ(Occurrences(menus, item), 1) << item << " in " << menus;
  EXPECT_TRUE(GetWindowLongPtrA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  PostMessageA(Main(), WM_COMMAND, 11006, 0);
  InitMenu(GetMenu(Main()));
  EXPECT_EQ(Occurrences(MenuBar("menu 1"), "5:11006//Always on top;"), 1);
  EXPECT_FALSE(GetWindowLongPtrA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(host_->CountLog("command 11006"), 1) << "11006 is passed on to the host";
}

// Without the ad banner the player bar moves into the ad bar's row and the MDI
// area grows down to it; laying out again (a resize) moves nothing. The module's
// About box replaces the host's and carries the About line.
TEST_F(HostStory, LayoutWithoutAdBannerIsStableAndAbout) {
  ASSERT_TRUE(WaitUntil([] { return ChildRect(Main(), 0xE802).left == 355; }, kDeadlineMs)) << "no layout";
  ASSERT_TRUE(host_->Sync());
  auto rects = [] {  // status, ad, player, MDI
    std::vector<LONG> out;
    for (int id : {0xE801, 0xE802, 0xE806, 0xE900}) out.insert(out.end(), {ChildRect(Main(), id).left, ChildRect(Main(), id).top,
                                                                          ChildRect(Main(), id).right, ChildRect(Main(), id).bottom});
    return out;
  };
  const std::vector<LONG> before = rects();
  EXPECT_EQ(std::vector<LONG>({before[8], before[9], before[10], before[15]}), std::vector<LONG>({0, before[5], 355, before[5]}));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(Main(), 0xE808))) << "the add-on panel is hidden";
  PostMessageA(GetDlgItem(Main(), 0xE900), WM_SIZE, SIZE_RESTORED, 0);
  RECT client;
  GetClientRect(Main(), &client);
  PostMessageA(Main(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(client.right, client.bottom));
  ASSERT_TRUE(host_->Sync());
  EXPECT_EQ(rects(), before);

  PostMessageA(Main(), WM_COMMAND, 57664, 0);
  HWND about = nullptr;
  std::string line;
  ASSERT_TRUE(WaitUntil([&] { return (about = HostTopWindow(*host_, "#32770")) != nullptr; }, kDeadlineMs));
  EXPECT_TRUE(WaitUntil([&] { return !(line = WindowTextOf(GetDlgItem(about, 101))).empty(); }, kDeadlineMs));
  EXPECT_EQ(line, "VA Extensions v0.56a for Vexlo Aero V++");
  PostMessageA(about, WM_COMMAND, IDOK, 0);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(about); }, kDeadlineMs) && host_->Sync());
  EXPECT_EQ(host_->CountLog("command 57664"), 0) << "the module's About box replaces the host's";
}

// Pass 0 of the finder asks for both missing windows, pass 9 again for the one
// still missing; once the last appears the start view (IniTab 2) is asked for
// once. The five exports reach every loaded add-on in list order with the host's
// arguments, and never through a copy of the module; the user exits from the tray:
// the process ends with 0 through the module, which stored the last state, purged
// the searches up to the oversized value and recorded the database folder.
TEST_F(HostStory, FinderAddOnsAndExitFromTheTray) {
  ASSERT_TRUE(host_->WaitForLog("command 113", 15000, 2)) << "no second request in pass 9";
  std::vector<LogLine> requests = host_->LogStartingWith("command 113");
  EXPECT_TRUE(requests[1].ms - requests[0].ms >= 8500 && requests[1].ms - requests[0].ms <= 12000) << requests[1].ms;
  ASSERT_TRUE(host_->Send("create search"));
  ASSERT_TRUE(host_->WaitForLog("command 32788", kDeadlineMs, 2)) << "no start view";
  const std::vector<std::string> calls = {
      "ChannelWrite 0xffffffff 0x80000000 0x0 0x7fffffff", "ChannelRead 0x1 0xdeadbeef 0x3 0xfffffffe",
      "DescWrite 0x5 0x4 0x3 0x2 0xabcdef01", "ServiceShow 0xb 0xa 0x9 0x8 0x7 0x6 0x5 0x4 0x3 0x2 0xffffffff",
      "ServiceClose 0x10 0x20 0x30"};
  for (const std::string& call : calls) ASSERT_TRUE(host_->Send("call " + call));
  std::string results;  // the host's own calls and the test's: ServiceShow and ServiceClose answer 1
  for (const LogLine& line : host_->LogStartingWith("result Service")) results += line.text.substr(line.text.size() - 2);
  EXPECT_EQ(results, " 1 1 1 1");
  const std::string panel = host_->LogStartingWith("export ServiceShow 0x1 0x0 0x0 ")[0].text.substr(31);
  const std::string panel2 = host_->LogStartingWith("export ServiceShow 0x1 0x0 0x1 ")[0].text.substr(31);
  EXPECT_FALSE(IsWindow(reinterpret_cast<HWND>(std::stoull(panel2, nullptr, 16)))) << "the second panel stays";

  const bool onTop = GetWindowLongPtrA(Main(), GWL_EXSTYLE) & WS_EX_TOPMOST;  // 11006 toggled it, when that test ran
  PostMessageA(Main(), WM_COMMAND, 11102, 0);
  ASSERT_TRUE(HostExitsWithZero(*host_, 10000, false));
  // One exit command, no host code after the module was released, Traffic asked for in pass 0 only, the start view once.
  EXPECT_EQ(std::vector<int>({host_->CountLog("command 32870"), host_->CountLog("host-cleanup"), host_->CountLog("command 113"),
                              host_->CountLog("command 32788")}), std::vector<int>({1, 0, 2, 2}));

  std::vector<std::string> want, all = {"ServiceShow 0x1 0x0 0x0 " + panel, "DescWrite 0x1 0x0 0x0 0x0 0x0",
                                       "ServiceShow 0x1 0x0 0x1 " + panel2};
  all.insert(all.end(), calls.begin(), calls.end());
  all.push_back("ServiceClose 0x1 0x0 0x0");  // the host's own, at exit
  for (const std::string& call : all)
    for (const char* addOn : {"a.dll", "b.dll", "c.dll", "d.dll"}) want.push_back(addOn + (" " + call));
  EXPECT_EQ(host_->AddOnLog(), want);

  // AlwaysOnTop as the window was, ConfigDlg kept; the purge stopped at b2.
  EXPECT_EQ(ValuesText(HKEY_CURRENT_USER, kLastStateKey, {"AlwaysOnTop", "ConfigDlg", "StatusWnd"}) +
                ValuesText(HKEY_CURRENT_USER, kSearchKey, {"a1", "b2", "c3"}),
            "AlwaysOnTop#" + std::to_string(onTop) + ";ConfigDlg#3;StatusWnd=10,20,0,0;a1-;b2?2000;c3?100;");
  const std::string database = ValuesText(HKEY_LOCAL_MACHINE, kLocalContentKey, {"DatabaseDir"});
  EXPECT_EQ(database.substr(database.size() - 10), "\\Vexlo\\db;") << database;
}

// A locked-down user: the changed title bar (from the machine), AskExit, a skin,
// starting in the tray, and damaged settings and add-on entries that must neither
// crash nor hang the host nor count.
class GuardedHostStory : public HostStoryBase {
 protected:
  static void SetUpTestSuite() {
    ClientKeys::Clear();
    PutDword(HKEY_LOCAL_MACHINE, kExtKey, "ChangeSystemBtn", 1);
    for (const char* name : {"AskExit", "StartVAInTray", "HideAdBanner"}) PutDword(HKEY_CURRENT_USER, kExtKey, name, 1);
    PutRawValue(HKEY_CURRENT_USER, kSkinsKey, "CurrentSkin", REG_SZ, Sz("Night"));
    PutRawValue(HKEY_CURRENT_USER, kExtKey, "ForceCreation", REG_SZ, Sz("1"));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_DWORD, Dword(7));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", REG_SZ, Sz("x"));
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll2", REG_SZ, std::string(5000, 'p'));
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll5", REG_SZ, Sz("\"\"\""));
    host_ = new HostSim();
    Launch("second_panel_ms = -1\nwindow.search = command\n");
  }
};

// Started in the tray: the icon is there. Restored, a skin keeps the bottom bars
// hidden instead of moving them, the icon goes (the title bar has the button), and
// a later ServiceShow does not attach again (which would hide the host anew).
TEST_F(GuardedHostStory, StartsInTheTrayAttachesOnceAndOnlyYesExits) {
  ASSERT_TRUE(WaitVisible(false)) << "the first ServiceShow did not attach";
  EXPECT_TRUE(WaitIcon(true));
  for (UINT mouse : {WM_LBUTTONDBLCLK, WM_LBUTTONUP}) PostMessageA(Main(), kTrayCallback, kTrayId, mouse);
  ASSERT_TRUE(WaitVisible(true));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(Main(), 0xE802)) || IsWindowVisible(GetDlgItem(Main(), 0xE806)));
  RECT client, mdi = ChildRect(Main(), 0xE900);
  GetClientRect(Main(), &client);
  EXPECT_EQ(std::make_pair(mdi.right - mdi.left, mdi.bottom - mdi.top), std::make_pair(client.right, client.bottom));
  EXPECT_TRUE(WaitIcon(false)) << "the icon stays while the window is visible";
  ASSERT_TRUE(host_->Send("call ServiceShow 1 0 0 panel 0 0 0 0 0 0 0"));
  ASSERT_TRUE(host_->Sync() && host_->Sync());
  EXPECT_TRUE(IsWindowVisible(Main())) << "a later ServiceShow attached again";

  // The close box asks; No keeps the host (the host never sees the exit), Yes ends
  // it with 0. Settings given as the wrong type counted as their defaults.
  for (int answer : {IDNO, IDYES}) {
    PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_EQ(AnswerHostMessageBox(*host_, answer), "Are you sure that you want to exit Vexlo Aero V++?");
    if (answer == IDYES) break;
    ASSERT_TRUE(host_->Sync());
    EXPECT_TRUE(IsWindowVisible(Main()));
    EXPECT_EQ(host_->CountLog("command "), 0) << "the exit reached the host, or ForceCreation as text counted";
  }
  ASSERT_TRUE(HostExitsWithZero(*host_, 10000, false));
  EXPECT_EQ(ValuesText(HKEY_CURRENT_USER, kLastStateKey, {"StatusWnd", "ConfigDlg"}), "StatusWnd=0,0,0,0;ConfigDlg#0;");
}

// A host that never calls ServiceShow: loading changes nothing visible, and when
// the process ends with the module still loaded, the remembered state is kept and
// the searches are purged by the user's switch (UseHKEY_CURRENT_USER 1): the key
// stays, its values go. Without the host's own key no database folder is recorded.
TEST(UnattachedHost, LoadingAloneChangesNothingAndTheEndStillSavesAndPurges) {
  ClientKeys clean;
  PutDword(HKEY_CURRENT_USER, kExtKey, "StartVAInTray", 1);
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("5,6,1,1"));
  PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", 1);
  PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", 0);
  PutDword(HKEY_CURRENT_USER, kDistributionKey, "PurgeSearchesOnExit", 1);
  for (auto [name, bytes] : {std::pair{"a1", 10}, {"b2", 1024}, {"c3", 0}}) SearchValue(name, bytes);
  HostSim host;
  ASSERT_TRUE(host.Start("service_show = no\nunload = exit\n"));
  ASSERT_TRUE(host.WaitForLog("module loaded") && host.Sync());
  EXPECT_TRUE(IsWindowVisible(host.MainWindow())) << "loading alone must not attach";
  ASSERT_TRUE(host.Send("exit") && host.WaitForExit(10000, nullptr)) << "the process did not end";
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSearchKey));
  EXPECT_EQ(ValuesText(HKEY_CURRENT_USER, kLastStateKey, {"StatusWnd"}) + ValuesText(HKEY_CURRENT_USER, kSearchKey, {"a1", "b2", "c3"}) +
                ValuesText(HKEY_LOCAL_MACHINE, kLocalContentKey, {"DatabaseDir"}),
            "StatusWnd=5,6,1,1;a1-;b2-;c3-;DatabaseDir-;");
}

}  // namespace
}  // namespace va
