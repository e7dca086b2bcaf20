// The host window integration's pure rules: what each tray update mode does.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "extension/hostui/tray_rules.h"

namespace va {
namespace {

// A plan as letters: D destroy composed, L reload base, S select icon, A add,
// M modify, R remove; then the TrayIconShown value afterwards.
TEST(TrayRules, EachModeFollowsTheVisibilityRule) {
  struct Row {
    const char* name;
    int mode, shown;
    bool csb, visible, showState;
    const char* want;
  } rows[] = {
      {"add once", kTrayAdd, 0, true, false, false, "A 1"},
      {"add when unknown", kTrayAdd, kTrayShownUnknown, true, false, false, "A 1"},
      {"no second add", kTrayAdd, 1, true, false, false, " 1"},
      {"remove once", kTrayRemove, 1, true, true, false, "R 0"},
      {"recreate hides from a visible changed window", kTrayRecreate, 1, true, true, false, "R 0"},
      {"recreate with hidden window", kTrayRecreate, 0, true, false, false, "AM 1"},
      {"recreate without ChangeSystemBtn", kTrayRecreate, 1, false, true, false, "AM 1"},
      {"exit", kTrayExit, 1, false, true, false, "DR 0"},
      {"icon changed reloads", kTrayIconChanged, 1, false, true, false, "DLSM 1"},
      {"icon changed, held back while visible", kTrayIconChanged, 0, true, true, false, "DLS 0"},
      {"state changed without ShowAccelSttInTray", kTrayStateChanged, 1, false, true, false, " 1"},
      {"state changed", kTrayStateChanged, 1, false, true, true, "SM 1"},
      {"state changed, held back while visible", kTrayStateChanged, 0, true, true, true, "S 0"},
      {"show-state switch", kTrayShowStateChanged, 1, false, true, false, "SM 1"},
      {"show-state switch, held back while visible", kTrayShowStateChanged, 0, true, true, true, "S 0"},
  };
  for (const Row& row : rows) {
    TrayContext context;
    context.shown = row.shown;
    context.changeSystemButton = row.csb;
    context.mainWindowVisible = row.visible;
    context.showAcceleratorState = row.showState;
    const TrayPlan p = PlanTrayUpdate(row.mode, context);
    std::string plan;
    for (auto [flag, letter] : {std::pair{p.destroyComposed, 'D'}, {p.reloadBase, 'L'}, {p.selectIcon, 'S'},
                                {p.add, 'A'}, {p.modify, 'M'}, {p.remove, 'R'}})
      if (flag) plan += letter;
    EXPECT_EQ(plan + " " + std::to_string(p.shownAfter), row.want) << row.name;
  }
  // The icon shows the accelerator's state only with ShowAccelSttInTray.
  EXPECT_EQ(std::vector<TrayIconKind>({SelectTrayIcon(false, kAcceleratorRunning), SelectTrayIcon(true, kAcceleratorRunning),
                                       SelectTrayIcon(true, kAcceleratorIdle), SelectTrayIcon(true, 0)}),
            std::vector<TrayIconKind>({TrayIconKind::Base, TrayIconKind::Running, TrayIconKind::Idle, TrayIconKind::Disabled}));
}

}  // namespace
}  // namespace va
