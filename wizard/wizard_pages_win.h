// wizard_pages_win: the six page procedures and what the pages share: the
// notification result, the wizard buttons, the quit rule and the fonts.
#pragma once
#include <windows.h>

namespace va {

INT_PTR CALLBACK WelcomePageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK UserPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FolderPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK ConnectionPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK FinishPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK RunningPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam);

// Stays on the page (-1) or jumps to the page of a dialog id, as a notification result.
inline constexpr LONG_PTR kStayOnPage = -1;
INT_PTR SetPageResult(HWND page, LONG_PTR result);

// The notifications every page answers alike: PSN_SETACTIVE sets `buttons`,
// PSN_QUERYCANCEL applies the quit rule. Returns true when it handled `header`.
bool HandleCommonNotify(HWND page, const NMHDR* header, DWORD buttons, INT_PTR& result);

void SetControlFont(HWND page, int controlId, HFONT font);

// The host client's main window, or nullptr when the client is not running.
HWND FindHostWindow();

}  // namespace va
