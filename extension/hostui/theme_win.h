// theme_win: run-time binding of the optional visual-styles library (uxtheme.dll)
// and of other optional system libraries, always loaded from the system folder.
// Absent library or entry point: the wrappers call nothing and return 0.
#pragma once
#include <windows.h>

namespace va {

// Loads `name` from the system folder (never from the current folder); 0 on failure.
HMODULE LoadSystemLibrary(const char* name);

// Handle of uxtheme.dll once loaded; 0 until the first successful load, never released.
extern HMODULE ThemeLibrary;

// The entry point `name` of uxtheme.dll, loading the library on first use (a failed
// load is tried again at the next call); 0 when absent.
FARPROC ThemeEntry(const char* name);

using ThemeHandle = HANDLE;

BOOL IsThemeActive();
BOOL IsAppThemed();
// The class list is single-byte text, widened byte by byte for the call.
ThemeHandle OpenThemeData(HWND window, const char* classList);
HRESULT DrawThemeBackground(ThemeHandle theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip);
HRESULT CloseThemeData(ThemeHandle theme);
ThemeHandle GetWindowTheme(HWND window);
HRESULT EnableTheming(BOOL enable);
HRESULT DrawThemeText(ThemeHandle theme, HDC dc, int part, int state, const wchar_t* text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect);
HRESULT GetThemeBackgroundContentRect(ThemeHandle theme, HDC dc, int part, int state, const RECT* bounds, RECT* content);
HRESULT GetThemePartSize(ThemeHandle theme, HDC dc, int part, int state, const RECT* rect, int sizeKind, SIZE* size);

}  // namespace va
