// options_page_helpers_win: the icons, tooltips and limit message that the options
// pages share.
#include "extension/windows/options_pages_win.h"

#include "common/dialog_utils.h"
#include "extension/core/module_state.h"

namespace va {

namespace {
constexpr int kNoteIconResource = 110;
constexpr int kInfoIconResource = 121;
constexpr UINT kListLimitString = 401;  // "No more items are allowed."

HICON LoadSmallModuleIcon(int resource) {
  return static_cast<HICON>(LoadImageA(ModuleInstance, MAKEINTRESOURCEA(resource), IMAGE_ICON,
                                       GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
}
}  // namespace

HICON OptionsNoteIcon = nullptr;
HICON OptionsInfoIcon = nullptr;

void LoadOptionsIcons() {
  ReleaseOptionsIcons();
  OptionsNoteIcon = LoadSmallModuleIcon(kNoteIconResource);
  OptionsInfoIcon = LoadSmallModuleIcon(kInfoIconResource);
}

void ReleaseOptionsIcons() {
  if (OptionsNoteIcon) DestroyIcon(OptionsNoteIcon);
  if (OptionsInfoIcon) DestroyIcon(OptionsInfoIcon);
  OptionsNoteIcon = nullptr;
  OptionsInfoIcon = nullptr;
}

void AttachPageTooltips(HWND page, int firstId, int lastId) {
  char text[1024];
  for (int id = firstId; id <= lastId; ++id) {
    HWND control = GetDlgItem(page, id);
    if (!control) continue;
    if (LoadStringA(ModuleInstance, static_cast<UINT>(id), text, sizeof text) > 0) SetControlTooltip(control, text);
  }
}

void ShowListLimitMessage(HWND owner) {
  char text[256] = "";
  LoadStringA(ModuleInstance, kListLimitString, text, sizeof text);
  MessageBoxA(owner, text, CaptionText, MB_OK | MB_ICONWARNING);
}

}  // namespace va
