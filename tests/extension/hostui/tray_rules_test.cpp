// Tests of the tray icon's selection rule and of what each UpdateTrayIcon mode does.
#include "extension/hostui/tray_rules.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TEST(TrayIconSelection, StateIconsOnlyWithShowAccelSttInTray) {
  for (uint32_t status : {0u, 1u, 2u, 3u, 7u}) EXPECT_EQ(SelectTrayIcon(false, status), TrayIconKind::Base);
  EXPECT_EQ(SelectTrayIcon(true, kAcceleratorRunning), TrayIconKind::Running);
  EXPECT_EQ(SelectTrayIcon(true, kAcceleratorIdle), TrayIconKind::Idle);
  EXPECT_EQ(SelectTrayIcon(true, kAcceleratorDisabled), TrayIconKind::Disabled);
  EXPECT_EQ(SelectTrayIcon(true, 0), TrayIconKind::Disabled);  // before the first start
  EXPECT_EQ(StatusSquareColour(TrayIconKind::Running), 0x0032E632u);
  EXPECT_EQ(StatusSquareColour(TrayIconKind::Disabled), 0x003232E6u);
  EXPECT_EQ(StatusSquareColour(TrayIconKind::Idle), 0x0000E6E6u);
}

TrayContext Context(int shown, bool changeSystemButton, bool visible, bool showState = false) {
  TrayContext context;
  context.shown = shown;
  context.changeSystemButton = changeSystemButton;
  context.mainWindowVisible = visible;
  context.showAcceleratorState = showState;
  return context;
}

TEST(TrayModes, AddAndRemoveAreNotRepeated) {
  TrayPlan plan = PlanTrayUpdate(kTrayAdd, Context(1, true, false));
  EXPECT_FALSE(plan.add);
  EXPECT_EQ(plan.shownAfter, 1);
  plan = PlanTrayUpdate(kTrayAdd, Context(0, true, false));
  EXPECT_TRUE(plan.add);
  EXPECT_EQ(plan.shownAfter, 1);
  plan = PlanTrayUpdate(kTrayAdd, Context(kTrayShownUnknown, true, false));
  EXPECT_TRUE(plan.add);
  plan = PlanTrayUpdate(kTrayRemove, Context(0, true, true));
  EXPECT_FALSE(plan.remove);
  EXPECT_EQ(plan.shownAfter, 0);
  plan = PlanTrayUpdate(kTrayRemove, Context(1, true, true));
  EXPECT_TRUE(plan.remove);
  EXPECT_FALSE(plan.add || plan.modify);
}

TEST(TrayModes, RecreateFollowsTheVisibilityRule) {
  TrayPlan plan = PlanTrayUpdate(kTrayRecreate, Context(1, true, true));
  EXPECT_TRUE(plan.remove);
  EXPECT_FALSE(plan.add);
  EXPECT_EQ(plan.shownAfter, 0);
  for (TrayContext c : {Context(0, true, false), Context(1, false, true), Context(kTrayShownUnknown, false, false)}) {
    plan = PlanTrayUpdate(kTrayRecreate, c);
    EXPECT_TRUE(plan.add && plan.modify);
    EXPECT_FALSE(plan.remove);
    EXPECT_EQ(plan.shownAfter, 1);
  }
}

TEST(TrayModes, ExitRemovesTheIconAndDestroysTheStatusIcons) {
  TrayPlan plan = PlanTrayUpdate(kTrayExit, Context(1, false, true));
  EXPECT_TRUE(plan.remove && plan.destroyComposed);
  EXPECT_FALSE(plan.add || plan.modify || plan.reloadBase);
  EXPECT_EQ(plan.shownAfter, 0);
}

TEST(TrayModes, StateChangeActsOnlyWithShowAccelSttInTray) {
  TrayPlan off = PlanTrayUpdate(kTrayStateChanged, Context(1, false, true, false));
  EXPECT_FALSE(off.selectIcon || off.modify || off.add || off.remove);
  EXPECT_EQ(off.shownAfter, 1);
  TrayPlan on = PlanTrayUpdate(kTrayStateChanged, Context(1, false, true, true));
  EXPECT_TRUE(on.selectIcon && on.modify);
}

TEST(TrayModes, NotifyIsHeldBackWhileTheWindowIsVisibleWithChangeSystemBtn) {
  for (int mode : {kTrayIconChanged, kTrayStateChanged, kTrayShowStateChanged}) {
    SCOPED_TRACE(mode);
    TrayPlan visible = PlanTrayUpdate(mode, Context(0, true, true, true));
    EXPECT_TRUE(visible.selectIcon);
    EXPECT_FALSE(visible.modify);
    TrayPlan hidden = PlanTrayUpdate(mode, Context(1, true, false, true));
    EXPECT_TRUE(hidden.modify);
    TrayPlan plain = PlanTrayUpdate(mode, Context(1, false, true, true));
    EXPECT_TRUE(plain.modify);
    EXPECT_FALSE(plain.add || plain.remove);
  }
  TrayPlan reload = PlanTrayUpdate(kTrayIconChanged, Context(1, false, true));
  EXPECT_TRUE(reload.reloadBase && reload.destroyComposed);
}

}  // namespace
}  // namespace va
