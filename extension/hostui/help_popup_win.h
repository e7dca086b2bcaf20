// help_popup_win: ShowHelpPopup, a help balloon at the mouse position.
#pragma once
#include <windows.h>

namespace va {
// Shows `text` in a balloon owned by `owner` centred above the cursor; returns
// when a key, a mouse button (anywhere: the mouse is captured) or loss of focus
// closes it.
void ShowHelpPopup(HWND owner, const char* text);
}  // namespace va
