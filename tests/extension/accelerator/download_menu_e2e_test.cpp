// The download list menu, the bulk commands, "Find more from the same" and the
// reorder dialog end to end: hostsim.exe with the real ch_plug.dll, driven by
// window messages from this process; the host's log (commands, selections, open
// popups, rows) is read from outside.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::Dword;
using test::HostControl;
using test::HostSim;
using test::kAcceleratorKey;
using test::kExtKey;
using test::kLastStateKey;
using test::LastMenuDump;
using test::MenuDumpItem;
using test::PutRawValue;
using test::WaitUntil;

constexpr int kStatusPage = 302;
constexpr int kTrafficStateControl = 1068;
constexpr int kTrafficWindowId = 1381;
constexpr int kDownloadListId = 373;
constexpr int kSearchTextId = 1172;
constexpr int kSearchFormId = 0xE900;
constexpr int kSearchPanelId = 4096;
constexpr int kWindowsFoundMs = 30000;
constexpr int kDeadlineMs = 5000;
// How long a test watches for something that must not happen.
constexpr int kQuietMs = 1500;

const char kScenario[] =
    "second_panel_ms = -1\n"
    "download = Alpha Song|Queued|0 KB/s|alpha.mp3\n"
    "download = Beta Song|Paused|0 KB/s|beta.mp3\n"
    "download = Gamma Song|Queued|0 KB/s|gamma.mp3\n"
    "download = Delta Song|Downloading|5 KB/s|delta.mp3\n";

// The items of the last popup the host dumped ("popup" for the popup itself,
// "popup 3" for its submenu at 3).
std::vector<MenuDumpItem> LastPopup(const HostSim& host, const std::string& prefix) {
  return LastMenuDump(host, prefix, "automation popup", "popup-end");
}

// "id text" per item; popups and separators by their flags.
std::vector<std::string> Describe(const std::vector<MenuDumpItem>& items) {
  std::vector<std::string> out;
  for (const MenuDumpItem& item : items) {
    if (item.flags.find('S') != std::string::npos) out.push_back("-");
    else if (item.flags.find('P') != std::string::npos) out.push_back("popup " + item.text);
    else if (item.flags.find('O') != std::string::npos) out.push_back("heading " + std::to_string(item.id));
    else out.push_back(std::to_string(item.id) + " " + item.text);
  }
  return out;
}

HWND HostDialog(const HostSim& host, const char* caption) { return test::HostTopWindow(host, "#32770", caption); }

class DownloadMenuE2E : public testing::Test {
 protected:
  void SetUp() override {
    Clean();
    // The status window on its Accelerator page tells when the Traffic window is hooked.
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, std::string("40,40,1,0", 10));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusDlg", REG_DWORD, Dword(kStatusPage));
    UseModuleMenu(true);
  }
  void TearDown() override { Clean(); }
  static void Clean() { test::ClearExtensionSettings(); }
  static void UseModuleMenu(bool on) {
    PutRawValue(HKEY_CURRENT_USER, kExtKey, "ChangeDownloadMenu", REG_DWORD, Dword(on ? 1 : 0));
  }

  static std::string PageText(const HostSim& host, int control) {
    return test::StatusPageText(host, kStatusPage, control);
  }

  // Starts the host and waits until the Traffic window's hook has set itself up.
  static void StartHooked(HostSim& host, const std::string& scenario) {
    ASSERT_TRUE(host.Start(scenario));
    ASSERT_TRUE(WaitUntil([&] { return PageText(host, kTrafficStateControl) == "Found"; }, kWindowsFoundMs))
        << "Traffic window not found";
    ASSERT_TRUE(host.Sync());
  }

  static HWND DownloadList(const HostSim& host) { return HostControl(host, kDownloadListId, kTrafficWindowId); }

  static void RightClickDownloads(const HostSim& host) {
    HWND list = DownloadList(host);
    ASSERT_NE(list, nullptr);
    PostMessageA(list, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 6));
    PostMessageA(list, WM_RBUTTONUP, 0, MAKELPARAM(20, 6));
  }

  // The context-menu key on the focused list: the key itself, then the
  // WM_CONTEXTMENU from the keyboard (position -1) that the system makes of it.
  static void PressContextKey(const HostSim& host) {
    HWND list = DownloadList(host);
    ASSERT_NE(list, nullptr);
    PostMessageA(list, WM_KEYDOWN, VK_APPS, 1);
    PostMessageA(list, WM_KEYUP, VK_APPS, 0xC0000001);
    PostMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), static_cast<LPARAM>(-1));
  }

  // Waits for the popup the host shows, logs it and closes it.
  static bool DumpOpenPopup(HostSim& host) { return WaitUntil([&] { return host.Send("popup"); }, kDeadlineMs, 50); }

  // The commands that reached the host, "id row", from the log.
  static std::vector<std::string> Commands(const HostSim& host, const std::vector<std::string>& ids) {
    std::vector<std::string> out;
    for (const auto& line : host.LogStartingWith("command ")) {
      for (const std::string& id : ids) {
        if (line.text.rfind("command " + id + " ", 0) != 0) continue;
        const size_t row = line.text.find("row=");
        out.push_back(id + " " + line.text.substr(row + 4, line.text.find(' ', row) - row - 4));
      }
    }
    return out;
  }
};

// ---- the popup ----

TEST_F(DownloadMenuE2E, WithTheSettingOffTheHostShowsItsOwnMenu) {
  UseModuleMenu(false);
  HostSim host;
  StartHooked(host, kScenario);
  RightClickDownloads(host);
  ASSERT_TRUE(DumpOpenPopup(host));
  const std::vector<std::string> items = Describe(LastPopup(host, "popup"));
  ASSERT_EQ(items.size(), 14u);
  EXPECT_EQ(items[0], "61241 Pre&view in Theater");
  EXPECT_EQ(items[2], "61244 &Resume");
  EXPECT_EQ(items[10], "popup &Find more from the same");
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(DownloadMenuE2E, WithTheSettingOnRightClickShowsTheModulePopupOnce) {
  HostSim host;
  StartHooked(host, kScenario);
  RightClickDownloads(host);
  ASSERT_TRUE(DumpOpenPopup(host));
  EXPECT_EQ(Describe(LastPopup(host, "popup")),
            (std::vector<std::string>{"heading 0", "popup Preview with", "-", "popup Resume", "popup Pause",
                                      "32914 &Cancel", "32986 Search for more &sources", "-", "popup Accelerator", "-",
                                      "32880 Clear finished &downloads", "32917 Clear finished &uploads", "-",
                                      "popup Find more from the same", "32901 &Open download folder",
                                      "32902 P&roperties", "11004 Reorder download list..."}));
  EXPECT_EQ(Describe(LastPopup(host, "popup 1"))[0], "61241 Theater");
  EXPECT_EQ(Describe(LastPopup(host, "popup 3")),
            (std::vector<std::string>{"61244 This download", "11301 All downloads", "-",
                                      "11302 Downloads in 'Queued' status", "11303 Downloads in 'Paused' status",
                                      "11304 Downloads in 'More sources needed' status",
                                      "11305 Downloads in 'Remotely queued' status"}));
  EXPECT_EQ(Describe(LastPopup(host, "popup 4")),
            (std::vector<std::string>{"61242 This download", "11201 All downloads", "-",
                                      "11202 Downloads in 'Searching' status", "11203 Downloads in 'Downloading' status",
                                      "11204 Downloads in 'Queued' status",
                                      "11205 Downloads in 'More sources needed' status",
                                      "11206 Downloads in 'Remotely queued' status"}));
  EXPECT_EQ(Describe(LastPopup(host, "popup 8")),
            (std::vector<std::string>{"11401 Enable or Disable", "-", "11402 Options..."}));
  EXPECT_EQ(Describe(LastPopup(host, "popup 13")),
            (std::vector<std::string>{"11251 Title", "32909 Artist", "32908 Album", "11252 File name", "-",
                                      "32987 User"}));
  // One right click, one popup: none follows once it is closed.
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(WaitUntil([&] { return host.Send("popup"); }, kQuietMs, 100)) << "the popup opened a second time";

  // The context-menu key: the list's WM_CONTEXTMENU shows the same popup.
  PostMessageA(DownloadList(host), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(DownloadList(host)), -1);
  ASSERT_TRUE(DumpOpenPopup(host));
  EXPECT_EQ(Describe(LastPopup(host, "popup")).back(), "11004 Reorder download list...");
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

// ---- bulk commands ----

TEST_F(DownloadMenuE2E, WithTheSettingOnTheContextKeyShowsTheModulePopupOnce) {
  HostSim host;
  StartHooked(host, kScenario);
  PressContextKey(host);
  ASSERT_TRUE(DumpOpenPopup(host)) << "no popup for the context key";
  const std::vector<std::string> items = Describe(LastPopup(host, "popup"));
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.front(), "heading 0") << "not the module's popup";
  EXPECT_EQ(items.back(), "11004 Reorder download list...");
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(WaitUntil([&] { return host.Send("popup"); }, kQuietMs, 100)) << "the popup opened a second time";
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(DownloadMenuE2E, ResumeQueuedResumesExactlyTheQueuedRowsAndLeavesTheLastSelected) {
  HostSim host;
  StartHooked(host, kScenario);
  ASSERT_TRUE(host.Send("select 3"));
  ASSERT_TRUE(host.Send("command 11302"));
  ASSERT_TRUE(host.Sync());
  EXPECT_EQ(Commands(host, {"61244", "61242"}), (std::vector<std::string>{"61244 0", "61244 2"}));
  const auto selections = host.LogStartingWith("selected ");
  ASSERT_FALSE(selections.empty());
  EXPECT_EQ(selections.back().text, "selected 2 Gamma Song");

  // No row in the state: nothing is sent and the selection stays.
  ASSERT_TRUE(host.Send("select 1"));
  const int before = host.CountLog("selected ");
  ASSERT_TRUE(host.Send("command 11305"));
  ASSERT_TRUE(host.Sync());
  EXPECT_EQ(Commands(host, {"61244", "61242"}).size(), 2u);
  EXPECT_EQ(host.CountLog("selected "), before);

  // Pause all: every row, in list order.
  ASSERT_TRUE(host.Send("command 11201"));
  ASSERT_TRUE(host.Sync());
  EXPECT_EQ(Commands(host, {"61242"}), (std::vector<std::string>{"61242 0", "61242 1", "61242 2", "61242 3"}));
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(DownloadMenuE2E, ARunningAcceleratorDoesNotSelectRowsWhileABulkCommandWorks) {
  PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "CyclesDelay", REG_DWORD, Dword(30));
  PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "ItemDelay", REG_DWORD, Dword(1));
  std::string scenario = "second_panel_ms = -1\ncommand_pump_ms = 250\n";
  for (int i = 0; i < 8; ++i) scenario += "download = d" + std::to_string(i) + "|Paused|0 KB/s|d.mp3\n";
  HostSim host;
  StartHooked(host, scenario);
  ASSERT_TRUE(host.Send("command 11401"));
  // Right after the accelerator acted on a row it waits a second before the next:
  // the bulk command, eight rows of a quarter second each, outlasts that wait.
  ASSERT_TRUE(WaitUntil([&] { return host.CountLog("command 32986") >= 1; }, 30000, 10));
  ASSERT_TRUE(host.Send("command 11201"));
  ASSERT_TRUE(WaitUntil([&] { return host.CountLog("command 61242") >= 8; }, 15000));
  ASSERT_TRUE(host.Send("command 11401"));

  // From the bulk command's first pause to its last, only its own selections and
  // pauses, row by row.
  std::vector<std::string> lines = host.LogTexts();
  size_t first = 0, last = 0;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].rfind("command 61242 ", 0) != 0) continue;
    if (first == 0) first = i;
    last = i;
  }
  ASSERT_GT(last, first);
  int expectedRow = 1;  // row 0 was selected just before its pause
  for (size_t i = first + 1; i <= last; ++i) {
    const std::string& line = lines[i];
    if (line.rfind("selected ", 0) == 0) {
      EXPECT_EQ(line.rfind("selected " + std::to_string(expectedRow) + " ", 0), 0u) << line;
    } else if (line.rfind("command ", 0) == 0) {
      EXPECT_EQ(line.rfind("command 61242 row=" + std::to_string(expectedRow) + " ", 0), 0u) << line;
      ++expectedRow;
    }
  }
  EXPECT_EQ(expectedRow, 8);
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(DownloadMenuE2E, PreviewWithTheaterReachesTheHostAsAPreviewAndLeavesTheDownload) {
  HostSim host;
  StartHooked(host, kScenario);
  ASSERT_TRUE(host.Send("select 1"));
  ASSERT_TRUE(host.Send("command 61241"));  // "Theater", first in "Preview with"
  ASSERT_TRUE(host.Send("rows"));
  ASSERT_TRUE(host.WaitForLog("rows-end", kDeadlineMs));
  EXPECT_EQ(Commands(host, {"61241"}), (std::vector<std::string>{"61241 1"}));
  const auto rows = host.LogStartingWith("row 1 ");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_NE(rows[0].text.find("|Paused|"), std::string::npos) << rows[0].text;
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

// ---- Find more from the same ----

class FindMoreE2E : public DownloadMenuE2E {
 protected:
  // The search form is ready once it has its options panel (control 4096). When
  // the module brings no panel, the host is asked for a stand-in.
  static void EnsureSearchPanel(HostSim& host) {
    HWND searchBox = HostControl(host, kSearchTextId, kSearchFormId);
    ASSERT_NE(searchBox, nullptr);
    if (!GetDlgItem(GetParent(searchBox), kSearchPanelId)) {
      ASSERT_TRUE(host.Send("search-panel"));
    }
  }
  static std::string SearchText(const HostSim& host) {
    return test::WindowTextOf(HostControl(host, kSearchTextId, kSearchFormId));
  }
};

TEST_F(FindMoreE2E, TitleAndFileNameFillTheSearchBoxAndPressSearch) {
  HostSim host;
  StartHooked(host, std::string(kScenario) + "search.text = old words\n");
  EnsureSearchPanel(host);
  ASSERT_TRUE(host.Send("select 2"));
  ASSERT_TRUE(host.Send("command 11251"));
  ASSERT_TRUE(host.WaitForLog("form-command 1238", kDeadlineMs));
  EXPECT_EQ(SearchText(host), "Gamma Song");
  EXPECT_EQ(Commands(host, {"32892"}), (std::vector<std::string>{"32892 2"}));

  ASSERT_TRUE(host.Send("select 1"));
  ASSERT_TRUE(host.Send("command 11252"));
  ASSERT_TRUE(host.WaitForLog("form-command 1238", kDeadlineMs, 2));
  EXPECT_EQ(SearchText(host), "beta.mp3");
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(FindMoreE2E, ArtistAlbumAndUserReachTheHostAndNoSelectionDoesNothing) {
  HostSim host;
  StartHooked(host, kScenario);
  EnsureSearchPanel(host);
  ASSERT_TRUE(host.Send("select 3"));
  for (const char* id : {"32909", "32908", "32987"}) ASSERT_TRUE(host.Send(std::string("command ") + id));
  ASSERT_TRUE(host.Sync());
  EXPECT_EQ(Commands(host, {"32909", "32908", "32987", "32892"}),
            (std::vector<std::string>{"32909 3", "32908 3", "32987 3"}));

  ASSERT_TRUE(host.Send("select none"));
  ASSERT_TRUE(host.Send("command 11251"));
  ASSERT_TRUE(host.Send("command 11252"));
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(WaitUntil([&] { return host.CountLog("form-command") > 0; }, kQuietMs));
  EXPECT_EQ(host.CountLog("command 32892"), 0);
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

// ---- reordering ----

class ReorderE2E : public DownloadMenuE2E {
 protected:
  static std::vector<std::string> Rows(HostSim& host) {
    const int before = host.CountLog("rows-end");
    EXPECT_TRUE(host.Send("rows"));
    EXPECT_TRUE(host.WaitForLog("rows-end", kDeadlineMs, before + 1));
    std::vector<std::string> titles;
    std::vector<std::string> lines = host.LogTexts();
    size_t end = lines.size();
    while (end > 0 && lines[end - 1] != "rows-end") --end;
    size_t start = end - 1;
    while (start > 0 && lines[start - 1].rfind("row ", 0) == 0) --start;
    for (size_t i = start; i + 1 < end; ++i) {
      const std::string& line = lines[i];
      const size_t cells = line.find(' ', 4) + 1;
      titles.push_back(line.substr(cells, line.find('|', cells) - cells));
    }
    return titles;
  }
  static HWND OpenDialog(HostSim& host) {
    EXPECT_TRUE(host.Send("command 11004"));
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = HostDialog(host, "Reorder download list...")) != nullptr; }, kDeadlineMs);
    return dialog;
  }
  static void Press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
  }
};

TEST_F(ReorderE2E, SortMakesTheHostListTakeTheDialogOrderAndCancelLeavesIt) {
  HostSim host;
  StartHooked(host, kScenario);
  HWND dialog = OpenDialog(host);
  ASSERT_NE(dialog, nullptr);
  HWND list = GetDlgItem(dialog, 1127);
  EXPECT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 4);
  // Alpha down twice, then Cancel: the host keeps its order.
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  Press(dialog, 2003);
  Press(dialog, 2003);
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 2);
  Press(dialog, IDCANCEL);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kDeadlineMs));
  EXPECT_EQ(Rows(host), (std::vector<std::string>{"Alpha Song", "Beta Song", "Gamma Song", "Delta Song"}));

  dialog = OpenDialog(host);
  ASSERT_NE(dialog, nullptr);
  list = GetDlgItem(dialog, 1127);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  Press(dialog, 2003);
  Press(dialog, 2003);
  SendMessageA(list, LB_SETCURSEL, 3, 0);
  Press(dialog, 2002);
  Press(dialog, IDOK);
  ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, kDeadlineMs));
  EXPECT_EQ(Rows(host), (std::vector<std::string>{"Beta Song", "Gamma Song", "Delta Song", "Alpha Song"}));
  // The host's commands act on the rows in their new places.
  ASSERT_TRUE(host.Send("select 0"));
  ASSERT_TRUE(host.Send("command 61242"));
  ASSERT_TRUE(host.WaitForLog("command 61242 row=0 title=Beta Song", kDeadlineMs));
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(ReorderE2E, OneDownloadOpensNoDialog) {
  HostSim host;
  StartHooked(host, "second_panel_ms = -1\ndownload = Only|Queued|0 KB/s|only.mp3\n");
  ASSERT_TRUE(host.Send("command 11004"));
  ASSERT_TRUE(host.Sync());
  EXPECT_FALSE(WaitUntil([&] { return HostDialog(host, "Reorder download list...") != nullptr; }, kQuietMs));
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

}  // namespace
}  // namespace va
