// The accelerator and the download list's menu end to end: hostsim.exe with the real
// ch_plug.dll, driven by window messages from this process. The host's log tells
// which commands reached it for which selected row; the status window's Accelerator
// page and the tray icon's square show the accelerator's state.
#include <algorithm>

#include "support/client_keys.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/tray_view.h"

namespace va {
namespace {

using test::HostSim;
using test::WaitUntil;

constexpr int kSlowMs = 30000;  // deadlines for a loaded machine; waits end as soon as things happen
constexpr int kStatusPage = 302, kReorderList = 1127, kReorderUp = 2002;
const char kColumnOrderKey[] = "Software\\Vexlo\\Vexlo Aero V++\\Download Order";

// Fresh settings: a 30 s cycle delay, 1 s between rows, the status window on its
// Accelerator page, and the module's download menu on or off.
void Settings(bool moduleMenu) {
  test::PutDword(HKEY_CURRENT_USER, test::kAcceleratorKey, "CyclesDelay", 30);
  test::PutDword(HKEY_CURRENT_USER, test::kAcceleratorKey, "ItemDelay", 1);
  test::PutDword(HKEY_CURRENT_USER, test::kExtKey, "ShowAccelSttInTray", 1);
  test::PutDword(HKEY_CURRENT_USER, test::kExtKey, "ChangeDownloadMenu", moduleMenu);
  test::PutRawValue(HKEY_CURRENT_USER, test::kLastStateKey, "StatusWnd", REG_SZ, std::string("40,40,1,0", 10));
  test::PutDword(HKEY_CURRENT_USER, test::kLastStateKey, "StatusDlg", kStatusPage);
}
// Each story starts clean and cleans up after itself, however it ends.
class AcceleratorE2E : public testing::Test {
  test::ClientKeys clean_;  // the client's keys (the column order among them) and the module's
};
using DownloadMenuE2E = AcceleratorE2E;
std::string Page(const HostSim& host, int control) { return test::StatusPageText(host, kStatusPage, control); }
bool StartHooked(HostSim& host, const char* scenario) {
  return host.Start(scenario) && WaitUntil([&] { return Page(host, 1068) == "Found"; }, kSlowMs);
}
// A right click on the download list; true once the host logged one popup.
bool RightClick(HostSim& host, HWND list) {
  PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 6));
  PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(20, 6));
  return WaitUntil([&] { return host.Send("popup"); }, 5000, 50);
}

// The command ids of the popup the host logged last ("popup", or "popup <n>" for submenu
// n), each followed by a blank: "P" for a submenu, "-" a separator, "H" the heading.
std::string Popup(const HostSim& host, const std::string& prefix) {
  std::string out;
  for (const auto& item : test::LastMenuDump(host, prefix, "automation popup", "popup-end")) {
    const auto has = [&](char flag) { return item.flags.find(flag) != std::string::npos; };
    out += (has('S') ? "-" : has('P') ? "P" : has('O') ? "H" : std::to_string(item.id)) + " ";
  }
  return out;
}

// "s<row>" for each selection (unless left out), "<id>:<row>" for each command among `ids`
// of the host's log lines from `first` on, each followed by a blank, and "<title>," for
// each line "row <n> <title>|<cells>" the host logs when asked for its rows.
std::string Events(const HostSim& host, const std::vector<std::string>& ids, size_t first = 0, bool selections = true) {
  std::string out;
  const std::vector<std::string> lines = host.LogTexts();
  for (size_t i = first; i < lines.size(); ++i) {
    const std::string& t = lines[i];
    if (selections && t.rfind("selected ", 0) == 0) out += "s" + t.substr(9, t.find(' ', 9) - 9) + " ";
    if (t.rfind("row ", 0) == 0) out += t.substr(t.find(' ', 4) + 1, t.find('|') - t.find(' ', 4) - 1) + ",";
    for (const std::string& id : ids)
      if (t.rfind("command " + id + " row=", 0) == 0) out += id + ":" + t.substr(t.find("row=") + 4, 1) + " ";
  }
  return out;
}
const std::vector<std::string> kRowCommands = {"61242", "61244", "32986"};  // pause, resume, accelerate

// The host keeps the status in its first column and the title in its fifth, as its
// "Download Order" key says.
const char kAcceleratorRows[] =
    "second_panel_ms = -1\n"
    "columns = 4,1,2,3,0,5,6,7,8\n"
    "download = p1|Paused|0 KB/s|p1.mp3\n"
    "download = done|Completed|0 KB/s|done.mp3\n"
    "download = gone|Cancelled|0 KB/s|gone.mp3\n"
    "download = bad|Failed|0 KB/s|bad.mp3\n";

// A user with the host's own download menu moves the speed column to the front and
// turns the accelerator on: one cycle resumes and accelerates the Paused row only,
// the square is green while it runs. The user quits with it on; at the next start it
// runs by itself, the host clears the finished rows under the running walk, and the
// user's stop shows, the square red again.
TEST_F(AcceleratorE2E, OnACycleOverRealRowsBackAfterARestartRowsRemovedAndAStopWithinASecond) {
  Settings(false);
  test::PutDword(HKEY_CURRENT_USER, kColumnOrderKey, "0", 4);
  test::PutDword(HKEY_CURRENT_USER, kColumnOrderKey, "4", 0);
  {
    HostSim host;
    ASSERT_TRUE(StartHooked(host, kAcceleratorRows)) << "Traffic window not found";
    ASSERT_TRUE(RightClick(host, test::HostControl(host, 373, 1381)));
    EXPECT_EQ(Popup(host, "popup").substr(0, 6), "61241 ") << "not the host's own menu";

    ASSERT_TRUE(host.Send("order 7,0,1,2,3,4,5,6,8") && host.Send("command 11401"));
    EXPECT_TRUE(WaitUntil([] { return test::SimilarColour(test::TrayIconPixel(13, 2), RGB(50, 230, 50)); }, kSlowMs));
    // The walk reaches the last row (its title from the moved columns) with the real text.
    ASSERT_TRUE(WaitUntil([&] { return Page(host, 1051) + "/" + Page(host, 1052) == "bad/Skipped, status was 'Failed'"; },
                          kSlowMs)) << Page(host, 1051) << "/" << Page(host, 1052);
    EXPECT_EQ(Events(host, kRowCommands), "s0 61244:0 32986:0 ");
    EXPECT_TRUE(test::HostExitsWithZero(host));
  }

  HostSim host;
  ASSERT_TRUE(StartHooked(host, kAcceleratorRows));
  ASSERT_TRUE(WaitUntil([&] { return host.CountLog("command 32986") == 1; }, kSlowMs)) << "not on by itself";
  ASSERT_TRUE(host.Send("command 32880"));
  ASSERT_TRUE(WaitUntil([&] { return Page(host, 1050).find(" second(s)") != std::string::npos; }, kSlowMs));

  ASSERT_TRUE(host.Send("command 11401"));
  ASSERT_TRUE(WaitUntil([&] { return Page(host, 1050) == "Inactive"; }, 5000));
  EXPECT_TRUE(WaitUntil([] { return test::SimilarColour(test::TrayIconPixel(13, 2), RGB(230, 50, 50)); }, kSlowMs)) << "icons " << test::TrayIconCount() << " pixel " << test::TrayIconPixel(13, 2);
  EXPECT_TRUE(test::HostExitsWithZero(host));
  EXPECT_EQ(test::ReadStoredValue(HKEY_CURRENT_USER, test::kLastStateKey, "Accelerator").bytes, test::Dword(0));
}

// A busy host (each row command keeps it answering other callers for 400 ms) whose
// user keeps selecting finished rows, finding more from them and right-clicking the
// list while the accelerator resumes the Paused rows: every command the host logs
// names the row it was meant for, the accelerator's a Paused row, the user's a row
// the user chose; the accelerator waits while the popup is open.
TEST_F(AcceleratorE2E, AUserClickingRowsMeanwhileGetsTheRowsChosenAndSoDoesTheAccelerator) {
  Settings(true);
  HostSim host;
  ASSERT_TRUE(StartHooked(host, "second_panel_ms = -1\ncommand_pump_ms = 400\n"
                                "download = acc0|Paused|0 KB/s|a.mp3\ndownload = usr1|Completed|0 KB/s|u.mp3\n"
                                "download = acc2|Paused|0 KB/s|b.mp3\ndownload = usr3|Failed|0 KB/s|v.mp3\n"
                                "download = acc4|Paused|0 KB/s|c.mp3\n"));
  HWND list = test::HostControl(host, 373, 1381);
  ASSERT_TRUE(host.Send("command 11401") && WaitUntil([&] { return host.CountLog("command 32986") == 1; }, kSlowMs));
  PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 6));  // the popup, open for 3 s
  PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(20, 6));
  Sleep(3000);
  EXPECT_EQ(host.CountLog("command 32986"), 1) << "the accelerator went on while the popup was open";
  // Something selects another row meanwhile; the command chosen by keys (the
  // sixth item, "find more sources") acts on the row clicked.
  ASSERT_TRUE(host.Send("select 3"));
  for (WPARAM key : {VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN})
    PostMessageA(list, WM_KEYDOWN, key, 0), PostMessageA(list, WM_KEYUP, key, 0);
  EXPECT_TRUE(WaitUntil([&] {
    const auto log = host.LogTexts();
    const auto at = std::find_if(std::find(log.begin(), log.end(), "selected 3 usr3"), log.end(),
                                 [](const std::string& t) { return t.rfind("command ", 0) == 0; });
    return at != log.end() && *at == "command 32986 row=0 title=acc0";
  }, 5000)) << "the popup's command did not act on the row clicked";
  const DWORD deadline = GetTickCount() + kSlowMs;
  for (int round = 0; host.CountLog("command 32986") < 3 && GetTickCount() < deadline; ++round) {
    ASSERT_TRUE(host.Send(round % 2 ? "select 3" : "select 1") && host.Send("command 32909"));
    Sleep(150);
  }
  ASSERT_TRUE(host.Send("command 11401") && WaitUntil([&] { return Page(host, 1050) == "Inactive"; }, kSlowMs));
  int meant = 0;
  for (const std::string& t : host.LogTexts()) {
    if (t.rfind("command ", 0) != 0 || t.find(" title=") == std::string::npos) continue;
    const std::string id = t.substr(8, t.find(' ', 8) - 8), title = t.substr(t.find(" title=") + 7);
    const bool accelerators = id == "61244" || id == "32986" || id == "61242";
    if (!accelerators && id != "32909") continue;
    if (title.rfind(accelerators ? "acc" : "usr", 0) == 0) ++meant;
    else ADD_FAILURE() << t;
  }
  EXPECT_GE(meant, 10);
  EXPECT_TRUE(test::HostExitsWithZero(host));
}


// A left-button drag in the reorder list as the mouse makes it: the drag list reads
// the cursor, so it is put on each entry (and seen there) before the message.
void Drag(HWND list, int from, int to) {
  for (const auto& [index, message] : {std::pair<int, UINT>{from, WM_LBUTTONDOWN}, {to, WM_MOUSEMOVE}, {to, WM_LBUTTONUP}}) {
    RECT r = {};
    SendMessageA(list, LB_GETITEMRECT, index, LPARAM(&r));
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, screen = p, now = {};
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    WaitUntil([&] { return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y; }, 2000);
    SendMessageA(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(p.x, p.y));
  }
}

// Each pause, resume or accelerate keeps the host busy answering other threads for
// 400 ms, so that a bulk command outlasts the accelerator's wait between two rows.
const char kMenuRows[] =
    "second_panel_ms = -1\n"
    "command_pump_ms = 400\n"
    "download = Alpha Song|Queued|0 KB/s|alpha.mp3\n"
    "download = Beta Song|Paused|0 KB/s|beta.mp3\n"
    "download = Gamma Song|Queued|0 KB/s|gamma.mp3\n"
    "download = Delta Song|Downloading|5 KB/s|delta.mp3\n";

// A user with the module's download menu opens it with a right click, finds more
// from the same downloads, resumes the Queued ones, reorders the list by a drag and a
// button, pauses all while the accelerator runs (the accelerator keeps its hands
// off the selection meanwhile).
TEST_F(DownloadMenuE2E, PopupFindMoreBulkReorderAndTheGate) {
  Settings(true);
  HostSim host;
  ASSERT_TRUE(StartHooked(host, kMenuRows));
  HWND list = test::HostControl(host, 373, 1381), searchBox = test::HostControl(host, 1172, 0xE900);
  ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(GetParent(searchBox), 4096) != nullptr; }, kSlowMs))
      << "the module made no search panel";

  // The popup, once per right click.
  ASSERT_TRUE(RightClick(host, list));
  std::string popups;  // the menu, then its Resume, Pause, Accelerator and Find more submenus
  for (const char* prefix : {"popup", "popup 3", "popup 4", "popup 8", "popup 13"}) popups += Popup(host, prefix) + "/ ";
  EXPECT_EQ(popups, "H P - P P 32914 32986 - P - 32880 32917 - P 32901 32902 11004 / 61244 11301 - 11302 11303 11304 "
                    "11305 / 61242 11201 - 11202 11203 11204 11205 11206 / 11401 - 11402 / 11251 32909 32908 11252 - 32987 / ");
  ASSERT_TRUE(host.Sync());

  // Find more: Title and File name search for that cell; Artist, Album and User go
  // to the host as they are; without a selection nothing happens.
  size_t from = host.LogTexts().size();
  ASSERT_TRUE(host.Send("select 1") && host.Send("command 11252"));
  ASSERT_TRUE(host.WaitForLog("form-command 1238", 5000));
  EXPECT_EQ(test::WindowTextOf(searchBox), "beta.mp3");
  // (A selection is sent at once, a command posted: Sync keeps them in order.)
  ASSERT_TRUE(host.Send("select 3") && host.Send("command 32909") && host.Send("command 32908") &&
              host.Send("command 32987") && host.Sync() && host.Send("select none") && host.Send("command 11251") &&
              host.Send("command 11252") && host.Sync() && host.Send("select 0") && host.Send("command 11251"));
  ASSERT_TRUE(host.WaitForLog("form-command 1238", 5000, 2) && host.Sync());
  EXPECT_FALSE(host.Send("popup")) << "a second popup for one click, still open after the searches that came later";
  EXPECT_EQ(test::WindowTextOf(searchBox), "Alpha Song");
  EXPECT_EQ(Events(host, {"32892", "32909", "32908", "32987"}, from),
            "s1 32892:1 s3 32909:3 32908:3 32987:3 s-1 s0 32892:0 ");

  // Resume the Queued ones, then the Paused one, pause the Downloading one: exactly
  // those rows, the last stays selected; no match leaves the selection alone.
  from = host.LogTexts().size();
  ASSERT_TRUE(host.Send("select 3") && host.Send("command 11302") && host.Send("command 11303") &&
              host.Send("command 11203") && host.Send("command 11305") && host.Sync());
  EXPECT_EQ(Events(host, kRowCommands, from), "s3 s0 61244:0 s2 61244:2 s1 61244:1 s3 61242:3 ");

  // Reorder: a drag, a button and Sort give the host the dialog's order.
  HWND dialog = nullptr;
  const auto open = [&] { return (dialog = test::HostTopWindow(host, "#32770", "Reorder download list...")) != nullptr; };
  ASSERT_TRUE(host.Send("command 11004") && WaitUntil(open, 5000));
  Drag(GetDlgItem(dialog, kReorderList), 0, 2);
  SendDlgItemMessageA(dialog, kReorderList, LB_SETCURSEL, 3, 0);
  SendMessageA(dialog, WM_COMMAND, kReorderUp, LPARAM(GetDlgItem(dialog, kReorderUp)));
  SendMessageA(dialog, WM_COMMAND, IDOK, LPARAM(GetDlgItem(dialog, IDOK)));
  from = host.LogTexts().size();  // the titles of the host's rows in the list's order
  ASSERT_TRUE(host.Send("rows"));
  EXPECT_EQ(Events(host, {}, from, false), "Beta Song,Gamma Song,Delta Song,Alpha Song,");

  // The host closes its Traffic window and makes it again (its rows in their first
  // order): the new list gets the module's popup, and its commands act on the new list.
  ASSERT_TRUE(host.Send("destroy traffic") && host.Send("create traffic"));
  ASSERT_TRUE(WaitUntil([&] {
    HWND again = test::HostControl(host, 373, 1381);
    return again && RightClick(host, again) && Popup(host, "popup").starts_with("H P - P P ");
  }, kSlowMs, 0)) << "the new list was not hooked";
  ASSERT_TRUE(host.Send("select 1") && host.Send("command 11252") && host.WaitForLog("form-command 1238", 5000, 3));
  EXPECT_EQ(test::WindowTextOf(searchBox), "beta.mp3");

  // Pause all while the accelerator runs: the bulk command's pauses come one per row
  // in order, none of the accelerator's commands and selections in between.
  ASSERT_TRUE(host.Send("command 11401"));
  ASSERT_TRUE(WaitUntil([&] { return host.CountLog("command 32986") == 1; }, kSlowMs, 10));
  from = host.LogTexts().size();
  ASSERT_TRUE(host.Send("command 11201"));
  ASSERT_TRUE(WaitUntil([&] { return Events(host, {"61242"}, from, false).size() >= 32; }, kSlowMs));
  EXPECT_EQ(Events(host, kRowCommands, from, false).substr(0, 32), "61242:0 61242:1 61242:2 61242:3 ");
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

}  // namespace
}  // namespace va
