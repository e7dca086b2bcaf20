// The search options panel and Auto Search More end to end: hostsim.exe with the
// real ch_plug.dll. The host logs the search form's commands and every text the
// status window's Search page receives; the panel is read and clicked from
// outside; its settings are read back from the registry after the host exits.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "extension/resources/resource.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using namespace test;

constexpr int kSearchFormId = 0xE900, kSearchPanelId = 4096;
constexpr int kStepMs = 6000;  // one 1.5-second step of the loop, with room for a slow machine
const char kPressed[] = "form-command 1245";

// Every text control `control` of the Search page received since "log-texts".
std::vector<std::string> Texts(const HostSim& host, int control) {
  std::vector<std::string> out;
  const std::string prefix = "text " + std::to_string(control) + " ";
  for (const auto& line : host.LogStartingWith(prefix)) out.push_back(line.text.substr(prefix.size()));
  return out;
}
// Run number `runs` wrote its end texts: "Inactive" into 1043, then " - " into 1045.
bool RunEnded(const HostSim& host, size_t runs) {
  const auto states = Texts(host, 1043), prevention = Texts(host, 1045);
  return states.size() == 2 * runs && states.back() == "Inactive" && prevention.size() == 2 * runs &&
         prevention.back() == " - ";
}
bool RunStarted(const HostSim& host, size_t runs) {
  return WaitUntil([&] { return Texts(host, 1043).size() == 2 * runs - 1; }, kStepMs);
}
// Waits until the host's own clock, read from its log, passed `ms`.
bool HostClockPassed(HostSim& host, unsigned long ms) {
  return WaitUntil([&] { return host.Sync() && host.Log().back().ms >= ms; }, 2 * kStepMs, 100);
}
unsigned long LoggedAt(const HostSim& host, const std::string& prefix, int index) {
  const auto lines = host.LogStartingWith(prefix);
  return index < int(lines.size()) ? lines[index].ms : ~0ul;
}

class SearchScenario : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    ClearExtensionSettings();
    DeleteTree(HKEY_CURRENT_USER, kSkinsKey);
  }
};

// A user with the status window on its Search page sets Auto Search More to three
// times and searches: three presses counted down to "0 time(s) left", then
// "Inactive". While the client connects nothing is pressed; "Not connected" ends
// the run. Stop with Shift ends only the pressing, Stop without Shift and the
// host's new-search command reach the host; with a skin the prevention is off.
// The panel collapses and expands on its bottom edge and its settings are kept.
TEST_F(SearchScenario, AutoSearchMoreCountsHoldsStopsAndThePanelKeepsItsSettings) {
  PutDword(HKEY_CURRENT_USER, kLastStateKey, "SearchOptShow", 0);
  PutDword(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMore", 1);
  PutDword(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMoreNum", 3);
  PutDword(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMoreUnit", 2);
  PutDword(HKEY_CURRENT_USER, kLastStateKey, "StatusDlg", 301);
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("40,40,1,0"));
  HostSim host;
  ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
  HWND panel = nullptr;
  // The module's panel, with its own controls (not merely a child with its id).
  ASSERT_TRUE(WaitUntil([&] {
    panel = HostControl(host, kSearchPanelId, kSearchFormId);
    return panel && GetDlgItem(panel, IDC_AUTO_SEARCH_MORE) && StatusWindowOf(host);
  }, 30000)) << "the module made no search panel";
  HWND form = GetParent(panel), number = GetDlgItem(panel, IDC_AUTO_SEARCH_NUMBER),
       unit = GetDlgItem(panel, IDC_AUTO_SEARCH_UNIT);
  EXPECT_EQ(IsDlgButtonChecked(panel, IDC_AUTO_SEARCH_MORE), UINT(BST_CHECKED));
  EXPECT_EQ(WindowTextOf(number), "3");
  EXPECT_EQ(SendMessageA(unit, CB_GETCURSEL, 0, 0), 2);

  RECT collapsed, expanded, again;
  GetWindowRect(panel, &collapsed);
  PostMessageA(GetDlgItem(panel, 1079), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return GetWindowRect(panel, &expanded) && expanded.top != collapsed.top; }, kStepMs));
  EXPECT_EQ(expanded.bottom, collapsed.bottom);
  EXPECT_NEAR((expanded.bottom - expanded.top) * 6.0 / 35.0, collapsed.bottom - collapsed.top, 2.0) << "35 against 6 units";
  PostMessageA(GetDlgItem(panel, 1079), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return GetWindowRect(panel, &again) && again.top != expanded.top; }, kStepMs));
  EXPECT_EQ(again.top, collapsed.top);
  EXPECT_EQ(again.bottom, collapsed.bottom);

  ASSERT_TRUE(host.Send("log-texts"));
  ASSERT_TRUE(host.Send("search-click 1519"));  // the host's "search more automatically" box
  ASSERT_TRUE(host.Send("search-click 1238"));
  ASSERT_TRUE(RunStarted(host, 1));
  ASSERT_TRUE(host.WaitForLog(kPressed, kStepMs));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, IDC_AUTO_SEARCH_MORE))) << "the panel is locked during a run";
  EXPECT_TRUE(WaitUntil([&] {
    return WindowTextOf(GetDlgItem(panel, 1080)) == "Search Options - " + WindowTextOf(GetDlgItem(form, 1174));
  }, kStepMs)) << "the frame title repeats the host's search status";
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, 1); }, 4 * kStepMs));
  EXPECT_EQ(host.CountLog(kPressed), 3);
  EXPECT_EQ(Texts(host, 1044), (std::vector<std::string>{"3 time(s) left", "2 time(s) left", "1 time(s) left",
                                                          "0 time(s) left", " - "}));
  EXPECT_EQ(Texts(host, 1045).front(), "Enabled");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel, IDC_AUTO_SEARCH_MORE)));

  // No limit, while the client connects: nothing is pressed for two steps and
  // more; once connected it presses; "Not connected" ends the run.
  SendMessageA(unit, CB_SETCURSEL, 0, 0);
  SendMessageA(panel, WM_COMMAND, MAKEWPARAM(IDC_AUTO_SEARCH_UNIT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(unit));
  ASSERT_TRUE(host.Send("statusbar Connecting....."));
  ASSERT_TRUE(host.Send("search-click 1245"));
  ASSERT_TRUE(RunStarted(host, 2));
  ASSERT_TRUE(HostClockPassed(host, LoggedAt(host, "text 1043", 2) + 3200));
  ASSERT_TRUE(host.Send("statusbar Connected"));
  // Presses 1 to 3 were the first run's, 4 the user's own click.
  ASSERT_TRUE(host.WaitForLog(kPressed, kStepMs, 5)) << "no press once connected";
  EXPECT_GT(LoggedAt(host, kPressed, 4), LoggedAt(host, "automation statusbar Connected", 0)) << "pressed while connecting";
  ASSERT_TRUE(host.Send("statusbar Not connected"));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, 2); }, kStepMs)) << "the run went on while not connected";
  ASSERT_TRUE(host.Send("statusbar Connected"));

  // Stop with Shift: the pressing ends, the host never sees the stop.
  ASSERT_TRUE(host.Send("search-click 1245"));
  ASSERT_TRUE(RunStarted(host, 3));
  ASSERT_TRUE(host.Send("search-click 1157 shift"));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, 3); }, kStepMs));
  EXPECT_EQ(host.CountLog("form-command 1157"), 0);

  // With a skin the prevention is off; Stop without Shift reaches the host.
  PutRawValue(HKEY_CURRENT_USER, kSkinsKey, "CurrentSkin", REG_SZ, Sz("Blue"));
  ASSERT_TRUE(host.Send("search-click 1245"));
  ASSERT_TRUE(RunStarted(host, 4));
  EXPECT_EQ(Texts(host, 1045).at(6), "Disabled, disable skin to enable");
  ASSERT_TRUE(host.Send("search-click 1157"));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, 4); }, kStepMs));
  EXPECT_EQ(host.CountLog("form-command 1157"), 1);

  // The host's new-search command through the main frame stops a run and still
  // reaches the host.
  ASSERT_TRUE(host.Send("search-click 1238"));
  ASSERT_TRUE(RunStarted(host, 5));
  ASSERT_TRUE(host.Send("command 32892"));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, 5); }, kStepMs));
  EXPECT_EQ(host.CountLog("command 32892"), 1);
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(form, 1238))) << "the host's search still runs: the stop ended the run";

  // Numbers only; unchecking the option locks number and unit; all kept at exit.
  SendMessageA(number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("4x2"));
  EXPECT_EQ(WindowTextOf(number), "42");
  SendMessageA(GetDlgItem(panel, IDC_AUTO_SEARCH_MORE), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(number) || IsWindowEnabled(unit));
  EXPECT_TRUE(HostExitsWithZero(host));
  for (const auto& [name, value] : std::vector<std::pair<const char*, uint32_t>>{
           {"SearchOptShow", 0}, {"AutoSearchMore", 0}, {"AutoSearchMoreNum", 42}, {"AutoSearchMoreUnit", 0}})
    EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, name).bytes, Dword(value)) << name;
}

}  // namespace
}  // namespace va
