// The fixed dialog engine: layouts equal to the system's dialog manager for the
// status window's templates, fonts, classes, frame allowances, dialog units,
// the dialog procedure's words, and the font's release.
#include "extension/windows/fixed_dialog_win.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

#include "extension/core/module_state.h"
#include "extension/resources/resource.h"

namespace va {
namespace {

INT_PTR CALLBACK QuietProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

LPARAM InitValueSeen = 0;
INT_PTR CALLBACK AnsweringProc(HWND w, UINT m, WPARAM, LPARAM lp) {
  if (m == WM_INITDIALOG) InitValueSeen = lp;
  if (m == WM_APP) {
    SetWindowLongPtrA(w, DWLP_MSGRESULT, 1234);
    return TRUE;
  }
  return FALSE;
}

// Template bytes as the resource compiler writes them (plain format).
class Bytes {
 public:
  Bytes& W(uint16_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
    return *this;
  }
  Bytes& D(uint32_t v) { return W(static_cast<uint16_t>(v)).W(static_cast<uint16_t>(v >> 16)); }
  Bytes& S(const char* text) {
    for (; *text; ++text) W(static_cast<uint8_t>(*text));
    return W(0);
  }
  Bytes& Align() {
    while (b.size() % 4) b.push_back(0);
    return *this;
  }
  std::vector<uint8_t> b;
};

// A dialog with one static control; `classWord` 0 for no class, else an atom.
std::vector<uint8_t> SmallTemplate(uint32_t style, uint32_t exStyle, uint16_t classAtom = 0, uint16_t cx = 40,
                                   uint16_t cy = 16) {
  Bytes t;
  t.D(style).D(exStyle).W(1).W(10).W(20).W(cx).W(cy).W(0);
  if (classAtom) t.W(0xFFFF).W(classAtom);
  else t.W(0);
  t.S("Small");
  if (style & DS_SETFONT) t.W(8).S("Tahoma");
  t.Align().D(WS_VISIBLE).D(0).W(2).W(3).W(30).W(9).W(77).W(0xFFFF).W(0x82).S("x").W(0);
  return t.b;
}

class FixedDialog : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    parent_ = CreateWindowExA(0, "Static", "parent", WS_OVERLAPPEDWINDOW, 0, 0, 600, 400, nullptr, nullptr,
                              ModuleInstance, nullptr);
    ASSERT_NE(parent_, nullptr);
  }
  void TearDown() override { DestroyWindow(parent_); }

  // The base units the engine should find for Tahoma 8 at 96 dpi.
  static SIZE ExpectedUnits() {
    LOGFONTA lf = {};
    lf.lfHeight = -11;
    lstrcpyA(lf.lfFaceName, "Tahoma");
    HFONT font = CreateFontIndirectA(&lf);
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size;
    GetTextExtentPoint32A(dc, "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
    TEXTMETRICA tm;
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    return SIZE{(size.cx / 26 + 1) / 2, tm.tmHeight};
  }

  HWND parent_ = nullptr;
};

std::vector<RECT> ControlRects(HWND dialog) {
  std::vector<RECT> rects;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    r.right -= r.left;  // compare place and size
    r.bottom -= r.top;
    rects.push_back(r);
  }
  return rects;
}

TEST_F(FixedDialog, StatusTemplatesAreLaidOutAsTheSystemDialogManagerDoes) {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  if (dpi != 96) GTEST_SKIP() << "the system dialog manager uses " << dpi << " dpi here";
  for (int id : {IDD_STATUS_FRAME, IDD_STATUS_SEARCH, IDD_STATUS_ACCELERATOR, IDD_STATUS_ABOUT}) {
    SCOPED_TRACE(id);
    HRSRC res = FindResourceA(ModuleInstance, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    ASSERT_NE(res, nullptr);
    auto* bytes = static_cast<const DLGTEMPLATE*>(LockResource(LoadResource(ModuleInstance, res)));
    HWND mine = CreateFixedDialog(ModuleInstance, id, parent_, QuietProc, 96, 0);
    HWND system = CreateDialogIndirectParamA(ModuleInstance, bytes, parent_, QuietProc, 0);
    ASSERT_NE(mine, nullptr);
    ASSERT_NE(system, nullptr);
    const auto a = ControlRects(mine), b = ControlRects(system);
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i) {
      EXPECT_EQ(a[i].left, b[i].left) << "control " << i;
      EXPECT_EQ(a[i].top, b[i].top) << "control " << i;
      EXPECT_EQ(a[i].right, b[i].right) << "control " << i;
      EXPECT_EQ(a[i].bottom, b[i].bottom) << "control " << i;
    }
    RECT ca, cb;
    GetClientRect(mine, &ca);
    GetClientRect(system, &cb);
    EXPECT_EQ(ca.right, cb.right);
    EXPECT_EQ(ca.bottom, cb.bottom);
    DestroyWindow(mine);
    DestroyWindow(system);
  }
}

TEST_F(FixedDialog, TahomaEightAtNinetySixDpiIsElevenPixelsHighAndReleasedWithTheWindow) {
  HWND page = CreateFixedDialog(ModuleInstance, IDD_STATUS_SEARCH, parent_, QuietProc, 96, 0);
  ASSERT_NE(page, nullptr);
  HFONT font = reinterpret_cast<HFONT>(SendDlgItemMessageA(page, IDC_SEARCH_WINDOW_STATE, WM_GETFONT, 0, 0));
  ASSERT_NE(font, nullptr);
  LOGFONTA lf = {};
  ASSERT_TRUE(GetObjectA(font, sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, -11);
  EXPECT_STREQ(lf.lfFaceName, "Tahoma");
  // At 120 dpi the same template gets 13 pixels (-MulDiv(8, 120, 72)).
  HWND large = CreateFixedDialog(ModuleInstance, IDD_STATUS_SEARCH, parent_, QuietProc, 120, 0);
  HFONT largeFont = reinterpret_cast<HFONT>(SendDlgItemMessageA(large, IDC_SEARCH_WINDOW_STATE, WM_GETFONT, 0, 0));
  GetObjectA(largeFont, sizeof(lf), &lf);
  EXPECT_EQ(lf.lfHeight, -13);
  DestroyWindow(large);
  DestroyWindow(page);
  EXPECT_EQ(GetObjectType(font), 0u);  // the font went with its window
  EXPECT_EQ(GetObjectType(largeFont), 0u);
}

TEST_F(FixedDialog, ClassIsFixedDialogUnlessTheTemplateNamesOne) {
  auto bytes = SmallTemplate(WS_CHILD | DS_SETFONT, 0);
  HWND plain = CreateFixedDialogIndirect(ModuleInstance, bytes.data(), bytes.size(), parent_, QuietProc, 96, 0);
  ASSERT_NE(plain, nullptr);
  char name[64] = "";
  GetClassNameA(plain, name, sizeof(name));
  EXPECT_STREQ(name, "FixedDialog");

  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = ModuleInstance;
  wc.lpszClassName = "OwnDialogClass";
  wc.cbWndExtra = DLGWINDOWEXTRA;
  const ATOM atom = RegisterClassA(&wc);
  ASSERT_NE(atom, 0);
  bytes = SmallTemplate(WS_CHILD | DS_SETFONT, 0, atom);
  HWND own = CreateFixedDialogIndirect(ModuleInstance, bytes.data(), bytes.size(), parent_, QuietProc, 96, 0);
  ASSERT_NE(own, nullptr);
  GetClassNameA(own, name, sizeof(name));
  EXPECT_STREQ(name, "OwnDialogClass");
  DestroyWindow(own);
  DestroyWindow(plain);
}

TEST_F(FixedDialog, FrameAllowanceOnlyForBorderedStyles) {
  const SIZE u = ExpectedUnits();
  const int cx = (40 * u.cx + 2) / 4, cy = (16 * u.cy + 4) / 8;  // rounded to nearest
  auto bytes = SmallTemplate(WS_CHILD | DS_SETFONT, 0);
  HWND child = CreateFixedDialogIndirect(ModuleInstance, bytes.data(), bytes.size(), parent_, QuietProc, 96, 0);
  RECT r;
  GetWindowRect(child, &r);
  EXPECT_EQ(r.right - r.left, cx);
  EXPECT_EQ(r.bottom - r.top, cy);
  DestroyWindow(child);

  // Captioned windows are kept above the system's smallest track size: bigger ones.
  const int bx = (200 * u.cx + 2) / 4, by = (80 * u.cy + 4) / 8;
  bytes = SmallTemplate(WS_POPUP | WS_CAPTION | DS_SETFONT | DS_MODALFRAME, WS_EX_TOOLWINDOW, 0, 200, 80);
  HWND tool = CreateFixedDialogIndirect(ModuleInstance, bytes.data(), bytes.size(), parent_, QuietProc, 96, 0);
  GetWindowRect(tool, &r);
  EXPECT_EQ(r.right - r.left, bx + 2 * GetSystemMetrics(SM_CXDLGFRAME));
  EXPECT_EQ(r.bottom - r.top, by + 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYSMCAPTION));
  EXPECT_TRUE(GetWindowLongA(tool, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  EXPECT_TRUE(GetWindowLongA(tool, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
  DestroyWindow(tool);

  bytes = SmallTemplate(WS_POPUP | WS_CAPTION | WS_THICKFRAME | DS_SETFONT, 0, 0, 200, 80);
  HWND sizable = CreateFixedDialogIndirect(ModuleInstance, bytes.data(), bytes.size(), parent_, QuietProc, 96, 0);
  GetWindowRect(sizable, &r);
  EXPECT_EQ(r.right - r.left, bx + 2 * GetSystemMetrics(SM_CXFRAME));
  EXPECT_EQ(r.bottom - r.top, by + 2 * GetSystemMetrics(SM_CYFRAME) + GetSystemMetrics(SM_CYCAPTION));
  EXPECT_FALSE(GetWindowLongA(sizable, GWL_EXSTYLE) & WS_EX_DLGMODALFRAME);
  DestroyWindow(sizable);
}

TEST_F(FixedDialog, MapFixedDialogRectUsesTheWindowsBaseUnits) {
  const SIZE u = ExpectedUnits();
  HWND page = CreateFixedDialog(ModuleInstance, IDD_STATUS_ABOUT, parent_, QuietProc, 96, 0);
  ASSERT_NE(page, nullptr);
  RECT r = {0, 0, 4, 8};
  MapFixedDialogRect(page, &r);
  EXPECT_EQ(r.left, 0);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, u.cx);
  EXPECT_EQ(r.bottom, u.cy);
  RECT s = {2, 4, 6, 12};  // halves round up
  MapFixedDialogRect(page, &s);
  EXPECT_EQ(s.left, (2 * u.cx + 2) / 4);
  EXPECT_EQ(s.bottom, (12 * u.cy + 4) / 8);
  DestroyWindow(page);
}

TEST_F(FixedDialog, DialogProcedureGetsInitValueAndAnswersThroughTheResultWord) {
  auto bytes = SmallTemplate(WS_CHILD | DS_SETFONT, 0);
  InitValueSeen = 0;
  HWND d = CreateFixedDialogIndirect(ModuleInstance, bytes.data(), bytes.size(), parent_, AnsweringProc, 96, 4321);
  ASSERT_NE(d, nullptr);
  EXPECT_EQ(InitValueSeen, 4321);
  EXPECT_EQ(SendMessageA(d, WM_APP, 0, 0), 1234);
  EXPECT_EQ(SendMessageA(d, WM_GETTEXTLENGTH, 0, 0), 5);  // not handled: DefWindowProc
  EXPECT_NE(GetDlgItem(d, 77), nullptr);
  DestroyWindow(d);
}

TEST_F(FixedDialog, NoWindowForMissingBrokenOrFontlessTemplates) {
  EXPECT_EQ(CreateFixedDialog(ModuleInstance, 9999, parent_, QuietProc, 96, 0), nullptr);
  auto bytes = SmallTemplate(WS_CHILD, 0);  // no DS_SETFONT
  EXPECT_EQ(CreateFixedDialogIndirect(ModuleInstance, bytes.data(), bytes.size(), parent_, QuietProc, 96, 0), nullptr);
  bytes = SmallTemplate(WS_CHILD | DS_SETFONT, 0);
  bytes.resize(bytes.size() - 7);
  EXPECT_EQ(CreateFixedDialogIndirect(ModuleInstance, bytes.data(), bytes.size(), parent_, QuietProc, 96, 0), nullptr);
}

}  // namespace
}  // namespace va
