// tray_rules: tray icon decisions (portable, see tray_rules.h).
#include "extension/hostui/tray_rules.h"

namespace va {
namespace {
constexpr uint32_t Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// "Notify": NIM_MODIFY, except while ChangeSystemBtn keeps the icon away from a
// visible main window.
void Notify(TrayPlan* plan, const TrayContext& context) {
  plan->modify = !(context.changeSystemButton && context.mainWindowVisible);
}
}  // namespace

TrayIconKind SelectTrayIcon(bool showAcceleratorState, uint32_t acceleratorStatus) {
  if (!showAcceleratorState) return TrayIconKind::Base;
  if (acceleratorStatus == kAcceleratorRunning) return TrayIconKind::Running;
  if (acceleratorStatus == kAcceleratorIdle) return TrayIconKind::Idle;
  return TrayIconKind::Disabled;
}

uint32_t StatusSquareColour(TrayIconKind kind) {
  switch (kind) {
    case TrayIconKind::Running: return Rgb(50, 230, 50);
    case TrayIconKind::Disabled: return Rgb(230, 50, 50);
    case TrayIconKind::Idle: return Rgb(230, 230, 0);
    case TrayIconKind::Base: break;
  }
  return 0;
}

TrayPlan PlanTrayUpdate(int mode, const TrayContext& context) {
  TrayPlan plan;
  plan.shownAfter = context.shown;
  switch (mode) {
    case kTrayAdd:
      plan.add = context.shown != 1;
      plan.shownAfter = 1;
      break;
    case kTrayRemove:
      plan.remove = context.shown != 0;
      plan.shownAfter = 0;
      break;
    case kTrayRecreate:
      if (context.changeSystemButton && context.mainWindowVisible) {
        plan.remove = true;
        plan.shownAfter = 0;
      } else {
        plan.add = true;
        plan.modify = true;
        plan.shownAfter = 1;
      }
      break;
    case kTrayExit:
      plan.remove = true;
      plan.destroyComposed = true;
      plan.shownAfter = 0;
      break;
    case kTrayIconChanged:
      plan.destroyComposed = true;
      plan.reloadBase = true;
      plan.selectIcon = true;
      Notify(&plan, context);
      break;
    case kTrayStateChanged:
      if (!context.showAcceleratorState) break;
      plan.selectIcon = true;
      Notify(&plan, context);
      break;
    case kTrayShowStateChanged:
      plan.selectIcon = true;
      Notify(&plan, context);
      break;
    default:
      break;
  }
  return plan;
}

}  // namespace va
