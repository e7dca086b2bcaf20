// menu_commands_win: dispatch of the Tools, file manager and QuickLink commands.
#include "extension/menus/menu_commands_win.h"

#include "extension/menus/file_manager_menu_win.h"
#include "extension/menus/tools_menu_win.h"
#include "extension/quicklinks/quicklinks.h"
#include "extension/quicklinks/quicklinks_win.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

bool IsToolItem(UINT id) {
  return (id >= kToolCommandFirst && id < kToolCommandFirst + kMaxTools) ||
         (id >= kPreviewCommandFirst && id < kPreviewCommandFirst + kMaxTools);
}

bool OnCommand(HWND main, UINT id) {
  if (id >= kToolCommandFirst && id < kToolCommandFirst + kMaxTools) {
    RunTool(main, int(id - kToolCommandFirst));
  } else if (id >= kPreviewCommandFirst && id < kPreviewCommandFirst + kMaxTools) {
    PreviewWithTool(int(id - kPreviewCommandFirst));
  } else if (id == IDM_SHELL_OPEN) {
    ShellOpenSelected();
  } else if (id >= UINT(kQuickLinkFirstCommand) && id < UINT(kQuickLinkFirstCommand + kQuickLinkFormatCount)) {
    StartQuickLinks(int(id - kQuickLinkFirstCommand) + 1);
  } else {
    return false;
  }
  return true;
}

}  // namespace

bool HandleToolAndFileMessage(HWND main, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) != 0 && HIWORD(wParam) != 1) return false;  // menus and accelerators only
      result = 0;
      return OnCommand(main, LOWORD(wParam));
    case WM_MEASUREITEM: {
      auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
      if (!measure || measure->CtlType != ODT_MENU || !IsToolItem(measure->itemID)) return false;
      MeasureToolItem(measure);
      result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (!draw || draw->CtlType != ODT_MENU || !IsToolItem(draw->itemID)) return false;
      DrawToolItem(draw);
      result = TRUE;
      return true;
    }
  }
  return false;
}

}  // namespace va
