// The search options panel and Auto Search More end to end: hostsim.exe with the
// real ch_plug.dll. The host's log shows the search form's commands and every
// text the status window's Search page received; the panel is read and clicked
// from outside with window messages; the settings are read back from the registry.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::Dword;
using test::HostSim;
using test::kLastStateKey;
using test::kSkinsKey;
using test::PutRawValue;
using test::ReadStoredValue;
using test::WaitUntil;

constexpr int kSearchPage = 301;
constexpr int kPanelId = 4096;
constexpr int kSearchFormId = 0xE900;
constexpr int kWindowsFoundMs = 30000;
// Auto Search More steps every 1.5 s; the deadlines leave room for a slow machine.
constexpr int kStepDeadlineMs = 6000;
constexpr int kRunDeadlineMs = 20000;
// Long enough for two steps of the loop: nothing may be pressed meanwhile.
constexpr int kTwoStepsMs = 3500;

const char kScenario[] = "second_panel_ms = -1\n";
const char kPressed[] = "form-command 1245";

struct PanelSettings {
  uint32_t show = 1, on = 1, number = 0, unit = 0;
};

class SearchE2E : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    test::ClearExtensionSettings();
    test::DeleteTree(HKEY_CURRENT_USER, kSkinsKey);
  }

  // The remembered panel settings, and the status window shown on its Search page.
  static void Remember(const PanelSettings& s) {
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "SearchOptShow", REG_DWORD, Dword(s.show));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMore", REG_DWORD, Dword(s.on));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMoreNum", REG_DWORD, Dword(s.number));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMoreUnit", REG_DWORD, Dword(s.unit));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, std::string("40,40,1,0", 10));
    PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusDlg", REG_DWORD, Dword(kSearchPage));
  }

  // The panel sits on the search form, beside the host's own controls.
  static HWND Panel(const HostSim& host) { return test::HostControl(host, kPanelId, kSearchFormId); }
  static std::string PageText(const HostSim& host, int control) {
    return test::StatusPageText(host, kSearchPage, control);
  }
  // Every text the control received since "log-texts", in order.
  static std::vector<std::string> Texts(const HostSim& host, int control) {
    std::vector<std::string> out;
    const std::string prefix = "text " + std::to_string(control) + " ";
    for (const auto& line : host.LogStartingWith(prefix)) out.push_back(line.text.substr(prefix.size()));
    return out;
  }
  // The run wrote its end texts: "Inactive" into 1043, then " - " into 1045 last.
  static bool RunEnded(const HostSim& host) {
    const auto states = Texts(host, 1043), prevention = Texts(host, 1045);
    return !states.empty() && states.back() == "Inactive" && !prevention.empty() && prevention.back() == " - ";
  }

  // Starts the host with the panel settings and waits for the panel and the
  // status window; texts are logged from then on. The finder wrote its "Found"
  // texts before the search form got the InitMessage that made the panel.
  static void StartHost(HostSim& host, const PanelSettings& settings) {
    Remember(settings);
    ASSERT_TRUE(host.Start(kScenario));
    ASSERT_TRUE(WaitUntil([&] { return Panel(host) && test::StatusWindowOf(host); }, kWindowsFoundMs))
        << "no panel on the search form";
    ASSERT_TRUE(host.Send("log-texts"));
  }
  // The user allows repeated searches (host check box 1519) and starts a search.
  static void StartSearch(HostSim& host) {
    ASSERT_TRUE(host.Send("search-click 1519"));
    ASSERT_TRUE(host.Send("search-click 1238"));
    ASSERT_TRUE(WaitUntil([&] { return PageText(host, 1043) == "Active"; }, kStepDeadlineMs)) << "no run started";
  }
};

TEST_F(SearchE2E, TimesLimitThreePressesThreeTimesCountingDownAndEndsInactive) {
  HostSim host;
  ASSERT_NO_FATAL_FAILURE(StartHost(host, PanelSettings{1, 1, 3, 2}));
  ASSERT_NO_FATAL_FAILURE(StartSearch(host));
  ASSERT_TRUE(host.WaitForLog(kPressed, kStepDeadlineMs));
  HWND panel = Panel(host);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, 1076))) << "the panel stays editable during a run";
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, 1078)));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host); }, kRunDeadlineMs));

  EXPECT_EQ(host.CountLog(kPressed), 3);
  EXPECT_EQ(Texts(host, 1044), (std::vector<std::string>{"3 time(s) left", "2 time(s) left", "1 time(s) left",
                                                          "0 time(s) left", " - "}));
  EXPECT_EQ(Texts(host, 1043), (std::vector<std::string>{"Active", "Inactive"}));
  EXPECT_EQ(Texts(host, 1045), (std::vector<std::string>{"Enabled", " - "}));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel, 1076)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel, 1077)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel, 1078)));
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(SearchE2E, ConnectingHoldsThePressingAndNotConnectedEndsTheRun) {
  HostSim host;
  ASSERT_NO_FATAL_FAILURE(StartHost(host, PanelSettings{1, 1, 0, 0}));
  // More periods than the host's own "Connecting..." text: all are ignored.
  ASSERT_TRUE(host.Send("statusbar Connecting....."));
  ASSERT_NO_FATAL_FAILURE(StartSearch(host));
  EXPECT_FALSE(WaitUntil([&] { return host.CountLog(kPressed) > 0; }, kTwoStepsMs)) << "pressed while connecting";
  EXPECT_EQ(PageText(host, 1043), "Active");

  ASSERT_TRUE(host.Send("statusbar Connected"));
  ASSERT_TRUE(host.WaitForLog(kPressed, kStepDeadlineMs)) << "no press once connected";
  ASSERT_TRUE(host.Send("statusbar Not connected"));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host); }, kStepDeadlineMs)) << "the run went on while not connected";
  const int presses = host.CountLog(kPressed);
  EXPECT_EQ(PageText(host, 1043), "Inactive");
  // The host's search itself goes on; only the pressing ended.
  HWND form = GetParent(Panel(host));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(form, 1238)));
  EXPECT_EQ(host.CountLog(kPressed), presses);
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(SearchE2E, ASkinSwitchesThePreventionOff) {
  PutRawValue(HKEY_CURRENT_USER, kSkinsKey, "CurrentSkin", REG_SZ, std::string("Blue", 5));
  HostSim host;
  ASSERT_NO_FATAL_FAILURE(StartHost(host, PanelSettings{1, 1, 2, 2}));
  ASSERT_TRUE(host.Send("statusbar Not connected"));
  ASSERT_NO_FATAL_FAILURE(StartSearch(host));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host); }, kRunDeadlineMs));
  EXPECT_EQ(host.CountLog(kPressed), 2) << "the skinned host's status bar must not stop the pressing";
  EXPECT_EQ(Texts(host, 1045), (std::vector<std::string>{"Disabled, disable skin to enable", " - "}));
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(SearchE2E, StopWithShiftEndsOnlyThePressingWithoutShiftItReachesTheHost) {
  HostSim host;
  ASSERT_NO_FATAL_FAILURE(StartHost(host, PanelSettings{1, 1, 0, 0}));
  ASSERT_NO_FATAL_FAILURE(StartSearch(host));
  ASSERT_TRUE(host.WaitForLog(kPressed, kStepDeadlineMs));
  ASSERT_TRUE(host.Send("search-click 1157 shift"));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host); }, kStepDeadlineMs));
  EXPECT_EQ(host.CountLog("form-command 1157"), 0) << "the stop reached the host";
  HWND form = GetParent(Panel(host));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(form, 1238))) << "the host's search was stopped too";

  // The user presses search-more: a new run starts; Stop without Shift ends it and
  // the host stops its search as usual.
  ASSERT_TRUE(host.Send("search-click 1245"));
  ASSERT_TRUE(WaitUntil([&] { return Texts(host, 1043).size() == 3; }, kStepDeadlineMs)) << "no second run";
  EXPECT_EQ(Texts(host, 1043).back(), "Active");
  ASSERT_TRUE(host.Send("search-click 1157"));
  EXPECT_EQ(host.CountLog("form-command 1157"), 1);
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host); }, kStepDeadlineMs));
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(form, 1238)));
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(SearchE2E, HostCommandNewSearchThroughTheMainFrameStopsARun) {
  HostSim host;
  ASSERT_NO_FATAL_FAILURE(StartHost(host, PanelSettings{1, 1, 0, 0}));
  ASSERT_NO_FATAL_FAILURE(StartSearch(host));
  ASSERT_TRUE(host.WaitForLog(kPressed, kStepDeadlineMs));
  ASSERT_TRUE(host.Send("command 32892"));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host); }, kStepDeadlineMs));
  EXPECT_EQ(host.CountLog("command 32892"), 1) << "the command must still reach the host";
  // The host's search button is still hidden: the stop request ended the run.
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(GetParent(Panel(host)), 1238)));
  EXPECT_TRUE(test::HostExitsWithZero(host));
}

TEST_F(SearchE2E, PanelKeepsItsBottomEdgeFollowsTheSearchStatusAndItsSettingsAreWrittenBack) {
  HostSim host;
  ASSERT_NO_FATAL_FAILURE(StartHost(host, PanelSettings{0, 1, 5, 2}));
  HWND panel = Panel(host);
  HWND toggle = GetDlgItem(panel, 1079);
  RECT collapsed, expanded, again;
  GetWindowRect(panel, &collapsed);
  // The remembered settings are in the controls.
  EXPECT_EQ(IsDlgButtonChecked(panel, 1076), static_cast<UINT>(BST_CHECKED));
  EXPECT_EQ(test::WindowTextOf(GetDlgItem(panel, 1077)), "5");
  EXPECT_EQ(SendMessageA(GetDlgItem(panel, 1078), CB_GETCURSEL, 0, 0), 2);
  EXPECT_EQ(SendMessageA(GetDlgItem(panel, 1078), CB_GETCOUNT, 0, 0), 4);

  PostMessageA(toggle, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] {
    GetWindowRect(panel, &expanded);
    return expanded.top != collapsed.top;
  }, kStepDeadlineMs)) << "the panel did not expand";
  EXPECT_EQ(expanded.bottom, collapsed.bottom);
  EXPECT_LT(expanded.top, collapsed.top);
  // 35 against 6 dialog units high.
  const int collapsedHeight = collapsed.bottom - collapsed.top, expandedHeight = expanded.bottom - expanded.top;
  EXPECT_NEAR(expandedHeight * 6.0 / 35.0, collapsedHeight, 2.0);
  EXPECT_EQ(expanded.right - expanded.left, collapsed.right - collapsed.left);

  PostMessageA(toggle, BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] {
    GetWindowRect(panel, &again);
    return again.top != expanded.top;
  }, kStepDeadlineMs)) << "the panel did not collapse";
  EXPECT_EQ(again.bottom, expanded.bottom);
  EXPECT_EQ(again.top, collapsed.top);

  // The frame title repeats the host's search status.
  ASSERT_TRUE(host.Send("search-click 1238"));
  ASSERT_TRUE(WaitUntil([&] { return test::WindowTextOf(GetDlgItem(panel, 1080)) == "Search Options - Searching..."; },
                        kStepDeadlineMs))
      << test::WindowTextOf(GetDlgItem(panel, 1080));

  // Numbers only; the unit, the option and the collapsed state are remembered.
  SendMessageA(GetDlgItem(panel, 1077), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("4x2"));
  EXPECT_EQ(test::WindowTextOf(GetDlgItem(panel, 1077)), "42");
  SendMessageA(GetDlgItem(panel, 1078), CB_SETCURSEL, 1, 0);
  SendMessageA(panel, WM_COMMAND, MAKEWPARAM(1078, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(panel, 1078)));
  SendMessageA(GetDlgItem(panel, 1076), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, 1077)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, 1078)));
  EXPECT_TRUE(test::HostExitsWithZero(host));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "SearchOptShow").bytes, Dword(0));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMore").bytes, Dword(0));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMoreNum").bytes, Dword(42));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMoreUnit").bytes, Dword(1));
}

TEST_F(SearchE2E, ExpandedPanelCollapsesDownwardAndIsRememberedCollapsed) {
  HostSim host;
  ASSERT_NO_FATAL_FAILURE(StartHost(host, PanelSettings{1, 0, 0, 0}));
  HWND panel = Panel(host);
  RECT before, after;
  GetWindowRect(panel, &before);
  // Option off: neither the number nor the unit can be edited.
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, 1077)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, 1078)));
  PostMessageA(GetDlgItem(panel, 1079), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] {
    GetWindowRect(panel, &after);
    return after.top != before.top;
  }, kStepDeadlineMs));
  EXPECT_GT(after.top, before.top);
  EXPECT_EQ(after.bottom, before.bottom);
  // The option is off: a search starts no run.
  ASSERT_TRUE(host.Send("search-click 1519"));
  ASSERT_TRUE(host.Send("search-click 1238"));
  EXPECT_FALSE(WaitUntil([&] { return host.CountLog(kPressed) > 0; }, kTwoStepsMs));
  EXPECT_TRUE(Texts(host, 1043).empty());
  EXPECT_TRUE(test::HostExitsWithZero(host));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "SearchOptShow").bytes, Dword(0));
}

}  // namespace
}  // namespace va
