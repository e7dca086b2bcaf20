// The download list's menu end to end: hostsim.exe with the real ch_plug.dll, driven
// by window messages from this process; the host's log tells which commands reached
// it for which selected row.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::HostSim;
using test::WaitUntil;

constexpr int kSlowMs = 30000;  // deadlines for a loaded machine; waits end as soon as things happen
constexpr int kReorderList = 1127, kReorderUp = 2002, kReorderDown = 2003;

// Each pause, resume or accelerate keeps the host busy answering other threads for
// 400 ms, so that a bulk command outlasts the accelerator's wait between two rows.
const char kScenario[] =
    "second_panel_ms = -1\n"
    "command_pump_ms = 400\n"
    "download = Alpha Song|Queued|0 KB/s|alpha.mp3\n"
    "download = Beta Song|Paused|0 KB/s|beta.mp3\n"
    "download = Gamma Song|Queued|0 KB/s|gamma.mp3\n"
    "download = Delta Song|Downloading|5 KB/s|delta.mp3\n";

// The items of the popup the host logged last ("popup", or "popup <n>" for submenu n):
// "id text" joined by "|"; "P text" for a submenu, "-" a separator, "H" the heading.
std::string Popup(const HostSim& host, const std::string& prefix) {
  std::string out;
  for (const auto& item : test::LastMenuDump(host, prefix, "automation popup", "popup-end")) {
    const auto has = [&](char flag) { return item.flags.find(flag) != std::string::npos; };
    out += (out.empty() ? "" : "|") +
           (has('S') ? "-" : has('P') ? "P " + item.text : has('O') ? "H" : std::to_string(item.id) + " " + item.text);
  }
  return out;
}

// "selected <row>" and "<id> <row>" of the host's log lines from `first` on, the
// download commands among `ids` only.
std::vector<std::string> Events(const HostSim& host, const std::vector<std::string>& ids, size_t first = 0) {
  std::vector<std::string> out;
  const std::vector<std::string> lines = host.LogTexts();
  for (size_t i = first; i < lines.size(); ++i) {
    const std::string& t = lines[i];
    if (t.rfind("selected ", 0) == 0) out.push_back(t.substr(0, t.find(' ', 9)));
    for (const std::string& id : ids) {
      if (t.rfind("command " + id + " row=", 0) == 0) out.push_back(id + " " + t.substr(t.find("row=") + 4, 1));
    }
  }
  return out;
}

// The titles of the host's rows, in the list's order.
std::vector<std::string> Titles(HostSim& host) {
  const int ends = host.CountLog("rows-end");
  const size_t from = host.LogTexts().size();
  EXPECT_TRUE(host.Send("rows") && host.WaitForLog("rows-end", 5000, ends + 1));
  std::vector<std::string> titles, lines = host.LogTexts();
  for (size_t i = from; i < lines.size(); ++i) {
    const size_t title = lines[i].find(' ', 4) + 1;  // "row <n> <title>|<cells>"
    if (lines[i].rfind("row ", 0) == 0) titles.push_back(lines[i].substr(title, lines[i].find('|') - title));
  }
  return titles;
}

HWND OpenReorder(HostSim& host) {
  HWND dialog = nullptr;
  EXPECT_TRUE(host.Send("command 11004"));
  WaitUntil([&] { return (dialog = test::HostTopWindow(host, "#32770", "Reorder download list...")) != nullptr; },
            5000);
  return dialog;
}
void Press(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, id, LPARAM(GetDlgItem(dialog, id))); }

// A left-button drag in the reorder list as the mouse makes it: the drag list reads
// the cursor, so it is put on each entry (and seen there) before the message.
bool Drag(HWND list, int from, int to) {
  const auto at = [&](int index, UINT message) {
    RECT r = {};
    SendMessageA(list, LB_GETITEMRECT, index, LPARAM(&r));
    POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, screen = p, now = {};
    ClientToScreen(list, &screen);
    SetCursorPos(screen.x, screen.y);
    const bool placed = WaitUntil([&] { return GetCursorPos(&now) && now.x == screen.x && now.y == screen.y; }, 2000);
    SendMessageA(list, message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, MAKELPARAM(p.x, p.y));
    return placed;
  };
  const bool down = at(from, WM_LBUTTONDOWN), moved = at(to, WM_MOUSEMOVE);
  return at(to, WM_LBUTTONUP) && down && moved;
}

// A user with the module's download menu opens it by mouse and by key, finds more
// from the same downloads, resumes the Queued ones, reorders the list by buttons and
// by dragging, pauses all while the accelerator runs (the accelerator keeps its hands
// off the selection meanwhile) and at last, with one download left, reorders nothing.
TEST(DownloadMenuE2E, PopupFindMoreBulkReorderAndTheGate) {
  test::ClearExtensionSettings();
  test::PutDword(HKEY_CURRENT_USER, test::kExtKey, "ChangeDownloadMenu", 1);
  test::PutDword(HKEY_CURRENT_USER, test::kAcceleratorKey, "CyclesDelay", 30);
  test::PutDword(HKEY_CURRENT_USER, test::kAcceleratorKey, "ItemDelay", 1);
  test::PutRawValue(HKEY_CURRENT_USER, test::kLastStateKey, "StatusWnd", REG_SZ, std::string("40,40,1,0", 10));
  test::PutDword(HKEY_CURRENT_USER, test::kLastStateKey, "StatusDlg", 302);
  HostSim host;
  ASSERT_TRUE(host.Start(kScenario));
  ASSERT_TRUE(WaitUntil([&] { return test::StatusPageText(host, 302, 1068) == "Found"; }, kSlowMs));
  HWND list = test::HostControl(host, 373, 1381);
  HWND searchBox = test::HostControl(host, 1172, 0xE900);
  ASSERT_TRUE(list && searchBox);
  ASSERT_TRUE(WaitUntil([&] { return GetDlgItem(GetParent(searchBox), 4096) != nullptr; }, kSlowMs))
      << "the module made no search panel";

  // The popup, once per right click and once per context-menu key.
  PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 6));
  PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(20, 6));
  ASSERT_TRUE(WaitUntil([&] { return host.Send("popup"); }, 5000, 50));
  EXPECT_EQ(Popup(host, "popup"), "H|P Preview with|-|P Resume|P Pause|32914 &Cancel|32986 Search for more &sources|-|"
                                  "P Accelerator|-|32880 Clear finished &downloads|32917 Clear finished &uploads|-|"
                                  "P Find more from the same|32901 &Open download folder|32902 P&roperties|"
                                  "11004 Reorder download list...");
  EXPECT_EQ(Popup(host, "popup 3"), "61244 This download|11301 All downloads|-|11302 Downloads in 'Queued' status|"
                                    "11303 Downloads in 'Paused' status|11304 Downloads in 'More sources needed' status|"
                                    "11305 Downloads in 'Remotely queued' status");
  EXPECT_EQ(Popup(host, "popup 4"), "61242 This download|11201 All downloads|-|11202 Downloads in 'Searching' status|"
                                    "11203 Downloads in 'Downloading' status|11204 Downloads in 'Queued' status|"
                                    "11205 Downloads in 'More sources needed' status|"
                                    "11206 Downloads in 'Remotely queued' status");
  EXPECT_EQ(Popup(host, "popup 8"), "11401 Enable or Disable|-|11402 Options...");
  EXPECT_EQ(Popup(host, "popup 13"), "11251 Title|32909 Artist|32908 Album|11252 File name|-|32987 User");
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(host.Send("popup")) << "a second popup for one click";
  PostMessageA(list, WM_KEYDOWN, VK_APPS, 1);
  PostMessageA(list, WM_KEYUP, VK_APPS, 0xC0000001);
  PostMessageA(list, WM_CONTEXTMENU, WPARAM(list), -1);  // what the system makes of the key
  ASSERT_TRUE(WaitUntil([&] { return host.Send("popup"); }, 5000, 50));
  EXPECT_EQ(Popup(host, "popup").substr(0, 16), "H|P Preview with") << "not the module's popup";
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(host.Send("popup")) << "a second popup for one key";

  // Find more: Title and File name search for that cell; Artist, Album and User go
  // to the host as they are; without a selection nothing happens.
  size_t from = host.LogTexts().size();
  ASSERT_TRUE(host.Send("select 2") && host.Send("command 11251"));
  ASSERT_TRUE(host.WaitForLog("form-command 1238", 5000));
  EXPECT_EQ(test::WindowTextOf(searchBox), "Gamma Song");
  ASSERT_TRUE(host.Send("select 1") && host.Send("command 11252"));
  ASSERT_TRUE(host.WaitForLog("form-command 1238", 5000, 2));
  EXPECT_EQ(test::WindowTextOf(searchBox), "beta.mp3");
  ASSERT_TRUE(host.Send("select 3") && host.Send("command 32909") && host.Send("command 32908") &&
              host.Send("command 32987") && host.Send("select none") && host.Send("command 11251") &&
              host.Send("command 11252") && host.Send("select 0") && host.Send("command 11251"));
  ASSERT_TRUE(host.WaitForLog("form-command 1238", 5000, 3) && host.Sync());
  EXPECT_EQ(test::WindowTextOf(searchBox), "Alpha Song");
  EXPECT_EQ(Events(host, {"32892", "32909", "32908", "32987"}, from),
            (std::vector<std::string>{"selected 2", "32892 2", "selected 1", "32892 1", "selected 3", "32909 3",
                                      "32908 3", "32987 3", "selected -1", "selected 0", "32892 0"}));
  EXPECT_EQ(host.CountLog("form-command"), 3);

  // Resume the Queued ones, then the Paused one, pause the Downloading one: exactly
  // those rows, the last stays selected; no match leaves the selection alone.
  from = host.LogTexts().size();
  ASSERT_TRUE(host.Send("select 3") && host.Send("command 11302") && host.Send("command 11303") &&
              host.Send("command 11203") && host.Send("command 11305") && host.Sync());
  EXPECT_EQ(Events(host, {"61244", "61242"}, from),
            (std::vector<std::string>{"selected 3", "selected 0", "61244 0", "selected 2", "61244 2", "selected 1",
                                      "61244 1", "selected 3", "61242 3"}));

  // Reorder: buttons then Cancel keep the host's order; a drag, a button and Sort
  // give the host the dialog's order.
  HWND dialog = OpenReorder(host);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SendDlgItemMessageA(dialog, kReorderList, LB_GETCOUNT, 0, 0), 4);
  SendDlgItemMessageA(dialog, kReorderList, LB_SETCURSEL, 0, 0);
  Press(dialog, kReorderDown);
  Press(dialog, IDCANCEL);
  EXPECT_EQ(Titles(host), (std::vector<std::string>{"Alpha Song", "Beta Song", "Gamma Song", "Delta Song"}));
  ASSERT_NE(dialog = OpenReorder(host), nullptr);
  ASSERT_TRUE(Drag(GetDlgItem(dialog, kReorderList), 0, 2)) << "the cursor could not be moved";
  SendDlgItemMessageA(dialog, kReorderList, LB_SETCURSEL, 3, 0);
  Press(dialog, kReorderUp);
  Press(dialog, IDOK);
  EXPECT_EQ(Titles(host), (std::vector<std::string>{"Beta Song", "Gamma Song", "Delta Song", "Alpha Song"}));

  // Pause all while the accelerator runs: the bulk command's pauses come one per row
  // in order, none of the accelerator's commands and selections in between.
  ASSERT_TRUE(host.Send("command 11401"));
  ASSERT_TRUE(WaitUntil([&] { return host.CountLog("command 32986") == 1; }, kSlowMs, 10));
  from = host.LogTexts().size();
  const int pauses = host.CountLog("command 61242");
  ASSERT_TRUE(host.Send("command 11201"));
  ASSERT_TRUE(WaitUntil([&] { return host.CountLog("command 61242") == pauses + 4; }, kSlowMs));
  ASSERT_TRUE(host.Send("command 11401"));
  ASSERT_TRUE(WaitUntil([&] { return test::StatusPageText(host, 302, 1050) == "Inactive"; }, 5000));
  std::vector<std::string> bulk = Events(host, {"61242", "61244", "32986"}, from);
  std::erase_if(bulk, [](const std::string& e) { return e.rfind("selected", 0) == 0; });
  bulk.resize(std::min<size_t>(bulk.size(), 4));
  EXPECT_EQ(bulk, (std::vector<std::string>{"61242 0", "61242 1", "61242 2", "61242 3"}));

  // One download left: the reorder command opens nothing.
  for (const char* row : {"0", "1", "2"}) ASSERT_TRUE(host.Send(std::string("select ") + row) && host.Send("command 32914"));
  ASSERT_TRUE(host.Send("command 32880"));
  EXPECT_EQ(Titles(host).size(), 1u);
  ASSERT_TRUE(host.Send("command 11004") && host.Sync());
  EXPECT_EQ(test::HostTopWindow(host, "#32770", "Reorder download list..."), nullptr);
  EXPECT_TRUE(test::HostExitsWithZero(host));
  test::ClearExtensionSettings();
}

}  // namespace
}  // namespace va
