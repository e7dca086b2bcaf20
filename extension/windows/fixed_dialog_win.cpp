// fixed_dialog: the FixedDialog class, its window procedure and the builder that
// turns a dialog template (read by dialog_template.cpp) into windows.
#include "extension/windows/fixed_dialog_win.h"

#include <string>

#include "extension/windows/dialog_template.h"
#include "extension/windows/dialog_units.h"

namespace va {

namespace {

constexpr LONG kDialog3dLook = 0x4;  // DS_3DLOOK
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
constexpr int kHorizontalDivisor = 4;
constexpr int kVerticalDivisor = 8;
constexpr int kFaceNameLimit = LF_FACESIZE;  // 32 characters with the end mark

bool ClassRegistered = false;

bool RegisterFixedDialogClass(HINSTANCE instance) {
  if (ClassRegistered) return true;
  WNDCLASSA wc = {};
  wc.style = CS_DBLCLKS | CS_SAVEBITS | CS_BYTEALIGNWINDOW;
  wc.lpfnWndProc = FixedDialogProc;
  // The dialog words plus ours; on 32-bit builds exactly DLGWINDOWEXTRA.
  constexpr int kExtraBytes = kFixedDialogFont + static_cast<int>(sizeof(LONG_PTR));
  wc.cbWndExtra = kExtraBytes > DLGWINDOWEXTRA ? kExtraBytes : DLGWINDOWEXTRA;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = kFixedDialogClass;
  ClassRegistered = RegisterClassA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  return ClassRegistered;
}

std::string Narrow(const std::u16string& text) {
  if (text.empty()) return {};
  const auto* wide = reinterpret_cast<const wchar_t*>(text.c_str());
  const int length = static_cast<int>(text.size());
  const int needed = WideCharToMultiByte(CP_ACP, 0, wide, length, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return {};
  std::string out(static_cast<size_t>(needed), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, length, out.data(), needed, nullptr, nullptr);
  return out;
}

// A class, menu or text of the template as the ANSI functions take it: a name,
// an integer resource or atom, or nothing.
struct AnsiName {
  std::string text;
  bool ordinal = false;
  WORD number = 0;
  LPCSTR Get() const { return ordinal ? MAKEINTRESOURCEA(number) : text.c_str(); }
};

AnsiName ToAnsi(const TemplateName& name) {
  AnsiName out;
  if (name.kind == TemplateName::Kind::Ordinal) {
    out.ordinal = true;
    out.number = name.ordinal;
  } else {
    out.text = Narrow(name.text);
  }
  return out;
}

const char* PredefinedClass(WORD atom) {
  switch (atom) {
    case 0x80: return "Button";
    case 0x81: return "Edit";
    case 0x82: return "Static";
    case 0x83: return "Listbox";
    case 0x84: return "Scrollbar";
    case 0x85: return "Combobox";
    default: return nullptr;
  }
}

HFONT CreateTemplateFont(const DialogTemplate& t, int dotsPerInch) {
  LOGFONTA font = {};
  font.lfHeight = FontHeightForPoints(t.pointSize, dotsPerInch);
  if (t.extended) {
    font.lfWeight = t.weight;
    font.lfItalic = t.italic;
  }
  const std::string face = Narrow(t.faceName);
  lstrcpynA(font.lfFaceName, face.c_str(), kFaceNameLimit);
  return CreateFontIndirectA(&font);
}

struct BaseUnits {
  int x = 0, y = 0;
};

BaseUnits MeasureBaseUnits(HFONT font) {
  BaseUnits units;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, font);
  SIZE size = {};
  TEXTMETRICA metrics = {};
  GetTextExtentPoint32A(dc, kAlphabet, static_cast<int>(sizeof(kAlphabet) - 1), &size);
  GetTextMetricsA(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  units.x = HorizontalBaseUnit(size.cx);
  units.y = metrics.tmHeight;
  return units;
}

// Extra outer size for the frame and caption the style asks for.
SIZE FrameAllowance(DWORD style, DWORD& exStyle) {
  SIZE extra = {0, 0};
  if (style & WS_BORDER) {
    if (style & WS_THICKFRAME) {
      extra.cx = 2 * GetSystemMetrics(SM_CXFRAME);
      extra.cy = 2 * GetSystemMetrics(SM_CYFRAME);
    } else {
      extra.cx = 2 * GetSystemMetrics(SM_CXDLGFRAME);
      extra.cy = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    }
    extra.cy += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
    if (style & kDialogModalFrame) exStyle |= WS_EX_DLGMODALFRAME;
  }
  return extra;
}

void CreateItems(const DialogTemplate& t, HWND window, HINSTANCE instance, HFONT font, BaseUnits units) {
  for (const DialogItemTemplate& item : t.items) {
    AnsiName className = ToAnsi(item.windowClass);
    LPCSTR classArg = className.Get();
    if (className.ordinal && PredefinedClass(className.number)) classArg = PredefinedClass(className.number);
    // An ordinal text (an icon or bitmap id of a static) goes in the form the
    // controls expect: 0xFF and the id's two bytes.
    std::string text;
    if (item.text.kind == TemplateName::Kind::Ordinal) {
      text = {static_cast<char>(0xFF), static_cast<char>(item.text.ordinal & 0xFF),
              static_cast<char>(item.text.ordinal >> 8)};
    } else {
      text = Narrow(item.text.text);
    }
    HWND control = CreateWindowExA(
        item.exStyle, classArg, text.c_str(), item.style | WS_CHILD,
        DialogUnitsToPixels(item.x, units.x, kHorizontalDivisor), DialogUnitsToPixels(item.y, units.y, kVerticalDivisor),
        DialogUnitsToPixels(item.cx, units.x, kHorizontalDivisor), DialogUnitsToPixels(item.cy, units.y, kVerticalDivisor),
        window, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(item.id)), instance, nullptr);
    if (control) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  }
}

HWND BuildWindow(const DialogTemplate& t, HINSTANCE instance, HWND parent, int dotsPerInch) {
  if (!t.hasFont) return nullptr;
  HFONT font = CreateTemplateFont(t, dotsPerInch);
  if (!font) return nullptr;
  const BaseUnits units = MeasureBaseUnits(font);

  const AnsiName className = ToAnsi(t.windowClass);
  LPCSTR classArg = t.windowClass.kind == TemplateName::Kind::None ? kFixedDialogClass : className.Get();
  HMENU menu = nullptr;
  if (t.menu.kind != TemplateName::Kind::None) menu = LoadMenuA(instance, ToAnsi(t.menu).Get());

  DWORD exStyle = t.exStyle;
  const SIZE extra = FrameAllowance(t.style, exStyle);
  const std::string title = Narrow(t.title);
  HWND window = CreateWindowExA(
      exStyle | WS_EX_CONTROLPARENT, classArg, title.c_str(), t.style | kDialog3dLook,
      DialogUnitsToPixels(t.x, units.x, kHorizontalDivisor), DialogUnitsToPixels(t.y, units.y, kVerticalDivisor),
      DialogUnitsToPixels(t.cx, units.x, kHorizontalDivisor) + extra.cx,
      DialogUnitsToPixels(t.cy, units.y, kVerticalDivisor) + extra.cy, parent, menu, instance, nullptr);
  if (!window) {
    if (menu) DestroyMenu(menu);
    DeleteObject(font);
    return nullptr;
  }
  // The font lives as long as the window: FixedDialogProc releases it.
  SetWindowLongPtrA(window, kFixedDialogFont, reinterpret_cast<LONG_PTR>(font));
  SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  CreateItems(t, window, instance, font, units);
  SetWindowLongPtrA(window, kFixedDialogBaseUnits, static_cast<LONG_PTR>(MAKELONG(units.x, units.y)));
  return window;
}

}  // namespace

HWND CreateFixedDialogIndirect(HINSTANCE instance, const void* bytes, size_t size, HWND parent, DLGPROC dialogProc,
                               int dotsPerInch, LPARAM initValue) {
  if (!RegisterFixedDialogClass(instance)) return nullptr;
  DialogTemplate t;
  if (!ReadDialogTemplate(bytes, size, t)) return nullptr;
  HWND window = BuildWindow(t, instance, parent, dotsPerInch);
  if (!window) return nullptr;
  SetWindowLongPtrA(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(dialogProc));
  SendMessageA(window, WM_INITDIALOG, 0, initValue);
  return window;
}

HWND CreateFixedDialog(HINSTANCE instance, int templateId, HWND parent, DLGPROC dialogProc, int dotsPerInch,
                       LPARAM initValue) {
  if (!RegisterFixedDialogClass(instance)) return nullptr;
  HRSRC resource = FindResourceA(instance, MAKEINTRESOURCEA(templateId), reinterpret_cast<LPCSTR>(RT_DIALOG));
  if (!resource) return nullptr;
  HGLOBAL loaded = LoadResource(instance, resource);
  if (!loaded) return nullptr;
  const void* bytes = LockResource(loaded);
  if (!bytes) return nullptr;
  return CreateFixedDialogIndirect(instance, bytes, SizeofResource(instance, resource), parent, dialogProc, dotsPerInch,
                                   initValue);
}

void MapFixedDialogRect(HWND window, RECT* rect) {
  const LONG_PTR units = GetWindowLongPtrA(window, kFixedDialogBaseUnits);
  const int x = LOWORD(units), y = HIWORD(units);
  rect->left = DialogUnitsToPixels(rect->left, x, kHorizontalDivisor);
  rect->right = DialogUnitsToPixels(rect->right, x, kHorizontalDivisor);
  rect->top = DialogUnitsToPixels(rect->top, y, kVerticalDivisor);
  rect->bottom = DialogUnitsToPixels(rect->bottom, y, kVerticalDivisor);
}

LRESULT CALLBACK FixedDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(window, DWLP_DLGPROC));
  LRESULT result;
  if (proc && proc(window, message, wParam, lParam)) {
    result = GetWindowLongPtrA(window, DWLP_MSGRESULT);
  } else {
    result = DefWindowProcA(window, message, wParam, lParam);
  }
  if (message == WM_NCDESTROY) {
    HFONT font = reinterpret_cast<HFONT>(SetWindowLongPtrA(window, kFixedDialogFont, 0));
    if (font) DeleteObject(font);
  }
  return result;
}

}  // namespace va
