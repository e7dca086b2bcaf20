// tray_rules: the decisions behind the tray icon: which icon shows the
// accelerator's state, the state colours, and what each UpdateTrayIcon mode does
// to the notification area. Pure logic; tray_icon_win.cpp carries it out.
#pragma once
#include <cstdint>

namespace va {

// AcceleratorStatus values.
inline constexpr uint32_t kAcceleratorRunning = 1;
inline constexpr uint32_t kAcceleratorDisabled = 2;
inline constexpr uint32_t kAcceleratorIdle = 3;

enum class TrayIconKind { Base, Running, Disabled, Idle };

// With ShowAccelSttInTray the icon of the accelerator's state (1 running, 3 idle,
// anything else disabled); otherwise the base icon.
TrayIconKind SelectTrayIcon(bool showAcceleratorState, uint32_t acceleratorStatus);

// The status square's colour as 0x00BBGGRR; Base has none and gives 0.
uint32_t StatusSquareColour(TrayIconKind kind);

// UpdateTrayIcon modes.
enum TrayMode : int {
  kTrayAdd = 1,            // main window hidden while ChangeSystemBtn
  kTrayRemove = 2,         // main window shown while ChangeSystemBtn
  kTrayRecreate = 3,       // start-up, "TaskbarCreated", settings applied
  kTrayExit = 4,           // host exit
  kTrayIconChanged = 5,    // TrayIcon setting changed
  kTrayStateChanged = 6,   // AcceleratorStatus changed
  kTrayShowStateChanged = 7,  // ShowAccelSttInTray changed
};

inline constexpr int kTrayShownUnknown = -1;

struct TrayContext {
  int shown = kTrayShownUnknown;  // TrayIconShown: 1 added, 0 removed, -1 unknown
  bool changeSystemButton = false;
  bool mainWindowVisible = false;
  bool showAcceleratorState = false;
};

// What one mode does, in this order: reload the base icon and compose the
// three status icons again, choose the icon, then the notification-area calls.
struct TrayPlan {
  bool destroyComposed = false;  // destroy the three status icons (exit and reload)
  bool reloadBase = false;       // reload the base icon and compose again
  bool selectIcon = false;       // choose hIcon by the selection rule
  bool add = false;              // NIM_ADD
  bool modify = false;           // NIM_MODIFY (after add when both are set)
  bool remove = false;           // NIM_DELETE
  int shownAfter = kTrayShownUnknown;  // TrayIconShown afterwards
};

TrayPlan PlanTrayUpdate(int mode, const TrayContext& context);

}  // namespace va
