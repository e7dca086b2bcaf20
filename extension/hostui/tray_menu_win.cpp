// tray_menu_win: the tray menu and the menu headings' drawing.
#include "extension/hostui/tray_menu_win.h"

#include <cstring>

#include "extension/core/module_state.h"
#include "extension/hostui/feature_links_win.h"
#include "extension/hostui/theme_win.h"
#include "extension/resources/resource.h"

namespace va {

HMENU TrayMenu = nullptr;

namespace {
constexpr size_t kHeadingTextSize = 128;
constexpr int kHeadingTextGap = 8;   // beyond the check-mark column
constexpr int kHeadingExtraWidth = 2;
constexpr int kHeadingExtraHeight = 2;
constexpr int kToolsPosition = 3;
constexpr LONG kBold = 700;

using GradientFillFn = BOOL(WINAPI*)(HDC, PTRIVERTEX, ULONG, PVOID, ULONG, ULONG);

char HeadingText[kHeadingTextSize] = "";
HFONT HeadingFont = nullptr;
COLORREF captionColour = 0, gradientColour = 0, captionTextColour = 0;
HMODULE gradientLibrary = nullptr;
GradientFillFn gradientFill = nullptr;

void PrepareHeadingResources() {
  std::strncpy(HeadingText, CaptionText, kHeadingTextSize - 1);
  HeadingText[kHeadingTextSize - 1] = '\0';
  if (!HeadingFont) {
    LOGFONTA font = {};
    GetObjectA(GetStockObject(ANSI_VAR_FONT), sizeof font, &font);
    font.lfWeight = kBold;
    HeadingFont = CreateFontIndirectA(&font);
  }
  captionColour = GetSysColor(COLOR_ACTIVECAPTION);
  gradientColour = GetSysColor(COLOR_GRADIENTACTIVECAPTION);
  captionTextColour = GetSysColor(COLOR_CAPTIONTEXT);
  if (!gradientLibrary) gradientLibrary = LoadSystemLibrary("msimg32.dll");
  gradientFill = gradientLibrary
                     ? reinterpret_cast<GradientFillFn>(reinterpret_cast<void*>(GetProcAddress(gradientLibrary, "GradientFill")))
                     : nullptr;
}

bool IsHeading(UINT type, UINT id) { return type == ODT_MENU && id == kMenuHeadingId; }

COLOR16 Channel(BYTE value) { return static_cast<COLOR16>(value << 8); }

void FillBackground(HDC dc, const RECT& item) {
  if (gradientFill && captionColour != gradientColour) {
    TRIVERTEX corners[2] = {
        {item.left, item.top, Channel(GetRValue(captionColour)), Channel(GetGValue(captionColour)),
         Channel(GetBValue(captionColour)), 0},
        {item.right, item.bottom - 1, Channel(GetRValue(gradientColour)), Channel(GetGValue(gradientColour)),
         Channel(GetBValue(gradientColour)), 0}};
    GRADIENT_RECT span = {0, 1};
    gradientFill(dc, corners, 2, &span, 1, GRADIENT_FILL_RECT_H);
    return;
  }
  HBRUSH brush = CreateSolidBrush(captionColour);
  FillRect(dc, &item, brush);
  DeleteObject(brush);
}
}  // namespace

HMENU BuildTrayMenu() {
  if (TrayMenu) return TrayMenu;
  PrepareHeadingResources();
  HMENU resource = LoadMenuA(ModuleInstance, MAKEINTRESOURCEA(IDM_TRAY_MENU));
  if (!resource) return nullptr;
  TrayMenu = GetSubMenu(resource, 0);
  InsertMenuA(TrayMenu, 0, MF_BYPOSITION | MF_OWNERDRAW | MF_DISABLED, kMenuHeadingId, nullptr);
  LinkBuildToolsMenus();
  char tools[64] = "";
  LoadStringA(ModuleInstance, IDS_MENU_TOOLS, tools, sizeof tools);
  InsertMenuA(TrayMenu, kToolsPosition, MF_BYPOSITION | MF_POPUP | MF_STRING,
              reinterpret_cast<UINT_PTR>(LinkTrayToolsMenu()), tools);
  InsertMenuA(TrayMenu, kToolsPosition, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
  SetMenuDefaultItem(TrayMenu, IDM_TRAY_WINDOW, FALSE);
  return TrayMenu;
}

void ReleaseTrayMenuResources() {
  if (HeadingFont) DeleteObject(HeadingFont);
  HeadingFont = nullptr;
  gradientFill = nullptr;
  if (gradientLibrary) FreeLibrary(gradientLibrary);
  gradientLibrary = nullptr;
}

void MeasureMenuHeading(MEASUREITEMSTRUCT* measure) {
  if (!measure || !IsHeading(measure->CtlType, measure->itemID)) return;
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, HeadingFont ? HeadingFont : GetStockObject(ANSI_VAR_FONT));
  SIZE extent = {};
  GetTextExtentPoint32A(dc, HeadingText, static_cast<int>(std::strlen(HeadingText)), &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  measure->itemWidth = extent.cx + GetSystemMetrics(SM_CXMENUCHECK) + kHeadingTextGap + kHeadingExtraWidth;
  measure->itemHeight = extent.cy + kHeadingExtraHeight;
}

void DrawMenuHeading(const DRAWITEMSTRUCT* draw) {
  if (!draw || !IsHeading(draw->CtlType, draw->itemID)) return;
  HDC dc = draw->hDC;
  FillBackground(dc, draw->rcItem);
  RECT text = draw->rcItem;
  text.left += GetSystemMetrics(SM_CXMENUCHECK) + kHeadingTextGap;
  HGDIOBJ oldFont = SelectObject(dc, HeadingFont ? HeadingFont : GetStockObject(ANSI_VAR_FONT));
  int oldMode = SetBkMode(dc, TRANSPARENT);
  COLORREF oldColour = SetTextColor(dc, captionTextColour);
  DrawTextA(dc, HeadingText, -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  SetTextColor(dc, oldColour);
  SetBkMode(dc, oldMode);
  SelectObject(dc, oldFont);
}

}  // namespace va
