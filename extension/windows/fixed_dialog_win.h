// fixed_dialog: builds a window and its controls from a dialog resource with a font
// made for a given resolution (not the screen's), so the layout in pixels stays
// the same whatever text size the system uses. Windows of class FixedDialog act
// like dialog boxes: a dialog procedure, WM_INITDIALOG, the dialog window words.
#pragma once
#include <windows.h>

namespace va {

inline constexpr char kFixedDialogClass[] = "FixedDialog";

// Window words beyond the standard dialog ones: the base units (low 16 bits
// horizontal, high 16 bits vertical) and the window's font, released when the
// window is destroyed.
inline constexpr int kFixedDialogBaseUnits = DWLP_USER + static_cast<int>(sizeof(LONG_PTR));
inline constexpr int kFixedDialogFont = DWLP_USER + 2 * static_cast<int>(sizeof(LONG_PTR));

// Creates the window of dialog resource `templateId` of `instance`; 0 when the
// resource is missing, unreadable, lacks DS_SETFONT, or the class cannot be
// registered. `initValue` arrives as WM_INITDIALOG's lParam.
HWND CreateFixedDialog(HINSTANCE instance, int templateId, HWND parent, DLGPROC dialogProc, int dotsPerInch,
                       LPARAM initValue);

// The same from template bytes already in memory.
HWND CreateFixedDialogIndirect(HINSTANCE instance, const void* templateBytes, size_t size, HWND parent,
                               DLGPROC dialogProc, int dotsPerInch, LPARAM initValue);

// Converts a rectangle in dialog units, in place, into pixels of `window`.
void MapFixedDialogRect(HWND window, RECT* rect);

LRESULT CALLBACK FixedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace va
