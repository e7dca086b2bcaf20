// theme_win: the uxtheme.dll wrappers and the system-folder loader (see theme_win.h).
#include "extension/hostui/theme_win.h"

#include <string>

namespace va {

HMODULE ThemeLibrary = nullptr;

namespace {
const char kThemeLibraryName[] = "uxTheme.dll";
constexpr size_t kMaxClassList = 260;

template <typename Fn>
Fn Entry(const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(ThemeEntry(name)));
}
}  // namespace

HMODULE LoadSystemLibrary(const char* name) {
  char folder[MAX_PATH];
  UINT length = GetSystemDirectoryA(folder, sizeof folder);
  if (length == 0 || length >= sizeof folder) return nullptr;
  std::string path(folder, length);
  if (path.back() != '\\') path += '\\';
  path += name;
  return LoadLibraryA(path.c_str());
}

FARPROC ThemeEntry(const char* name) {
  if (!ThemeLibrary) ThemeLibrary = LoadSystemLibrary(kThemeLibraryName);
  if (!ThemeLibrary) return nullptr;
  return GetProcAddress(ThemeLibrary, name);
}

BOOL IsThemeActive() {
  auto fn = Entry<BOOL(WINAPI*)()>("IsThemeActive");
  return fn ? fn() : 0;
}

BOOL IsAppThemed() {
  auto fn = Entry<BOOL(WINAPI*)()>("IsAppThemed");
  return fn ? fn() : 0;
}

ThemeHandle OpenThemeData(HWND window, const char* classList) {
  auto fn = Entry<ThemeHandle(WINAPI*)(HWND, const wchar_t*)>("OpenThemeData");
  if (!fn || !classList) return nullptr;
  // Each byte becomes the low byte of one UTF-16 unit; no code-page conversion.
  wchar_t wide[kMaxClassList + 1];
  size_t i = 0;
  for (; classList[i] && i < kMaxClassList; ++i) wide[i] = static_cast<unsigned char>(classList[i]);
  wide[i] = 0;
  return fn(window, wide);
}

HRESULT DrawThemeBackground(ThemeHandle theme, HDC dc, int part, int state, const RECT* rect, const RECT* clip) {
  auto fn = Entry<HRESULT(WINAPI*)(ThemeHandle, HDC, int, int, const RECT*, const RECT*)>("DrawThemeBackground");
  return fn ? fn(theme, dc, part, state, rect, clip) : 0;
}

HRESULT CloseThemeData(ThemeHandle theme) {
  auto fn = Entry<HRESULT(WINAPI*)(ThemeHandle)>("CloseThemeData");
  return fn ? fn(theme) : 0;
}

ThemeHandle GetWindowTheme(HWND window) {
  auto fn = Entry<ThemeHandle(WINAPI*)(HWND)>("GetWindowTheme");
  return fn ? fn(window) : nullptr;
}

HRESULT EnableTheming(BOOL enable) {
  auto fn = Entry<HRESULT(WINAPI*)(BOOL)>("EnableTheming");
  return fn ? fn(enable) : 0;
}

HRESULT DrawThemeText(ThemeHandle theme, HDC dc, int part, int state, const wchar_t* text, int length,
                      DWORD flags, DWORD flags2, const RECT* rect) {
  auto fn = Entry<HRESULT(WINAPI*)(ThemeHandle, HDC, int, int, const wchar_t*, int, DWORD, DWORD, const RECT*)>(
      "DrawThemeText");
  return fn ? fn(theme, dc, part, state, text, length, flags, flags2, rect) : 0;
}

HRESULT GetThemeBackgroundContentRect(ThemeHandle theme, HDC dc, int part, int state, const RECT* bounds, RECT* content) {
  auto fn = Entry<HRESULT(WINAPI*)(ThemeHandle, HDC, int, int, const RECT*, RECT*)>("GetThemeBackgroundContentRect");
  return fn ? fn(theme, dc, part, state, bounds, content) : 0;
}

HRESULT GetThemePartSize(ThemeHandle theme, HDC dc, int part, int state, const RECT* rect, int sizeKind, SIZE* size) {
  auto fn = Entry<HRESULT(WINAPI*)(ThemeHandle, HDC, int, int, const RECT*, int, SIZE*)>("GetThemePartSize");
  return fn ? fn(theme, dc, part, state, rect, sizeKind, size) : 0;
}

}  // namespace va
