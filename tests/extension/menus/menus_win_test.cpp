// The Tools and file manager menus and the QuickLink runs in-process under Wine:
// the Tools list in the registry and its popups, and the file manager menu with its guarded open, against windows
// laid out as the host's.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "common/extension_options.h"
#include "extension/core/host_ids.h"
#include "extension/core/host_layout.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/menus/file_manager_menu_win.h"
#include "extension/menus/tools_menu_win.h"
#include "extension/quicklinks/quicklinks.h"
#include "extension/quicklinks/quicklinks_win.h"
#include "extension/resources/resource.h"
#include "menu_test_support.h"
#include "support/clipboard_view.h"
#include "support/extension_keys.h"
#include "support/registry_snapshot.h"
#include "support/temp_folder.h"

namespace va {
namespace {
using namespace test;
using test::kToolsKey;

// A popup's items: "[<flags><id> <text>]" with "*" owner-drawn, "-" separator,
// "~" grayed (separators are always grayed).
std::string Items(HMENU menu) {
  std::string text;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    UINT state = GetMenuState(menu, UINT(i), MF_BYPOSITION);
    if (state & MF_POPUP) state &= 0xFF;  // the high byte counts the popup's items
    char title[64] = "";
    GetMenuStringA(menu, UINT(i), title, sizeof title, MF_BYPOSITION);
    text += std::string("[") + (state & MF_SEPARATOR ? "-" : state & MF_OWNERDRAW ? "*" : "") +
            ((state & (MF_GRAYED | MF_SEPARATOR)) == MF_GRAYED ? "~" : "") + std::to_string(int(GetMenuItemID(menu, i))) +
            " " + title + "]";
  }
  return text;
}

HWND NewWindow(const char* cls, HWND parent = nullptr, int id = 0, DWORD style = 0) {
  return CreateWindowExA(0, cls, "", style | (parent ? WS_CHILD : WS_OVERLAPPEDWINDOW), 0, 0, 300, 200, parent,
                         reinterpret_cast<HMENU>(INT_PTR(id)), nullptr, nullptr);
}

// Message boxes this thread shows: recorded as "caption|text" and answered with
// the next of `answers` (IDOK after them).
std::vector<std::string> boxes;
std::vector<int> answers;
LRESULT CALLBACK ActivationHook(int code, WPARAM wParam, LPARAM lParam) {
  HWND window = reinterpret_cast<HWND>(wParam);
  if (code == HCBT_ACTIVATE && GetDlgItem(window, 0xFFFF) && !GetDlgItem(window, IDC_QUICKLINK_FILE)) {
    boxes.push_back(WindowTextOf(window) + "|" + WindowTextOf(GetDlgItem(window, 0xFFFF)));
    PostMessageA(window, WM_COMMAND, MAKEWPARAM(answers.empty() ? IDOK : answers.front(), BN_CLICKED), 0);
    if (!answers.empty()) answers.erase(answers.begin());
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

// The module's globals as the host starts them, an empty Tools list and the hook.
struct Module {
  Module() {
    ModuleInstance = GetModuleHandleA(nullptr);
    std::strcpy(CaptionText, "VA Extensions");
    CurrentOptions = ExtensionOptions();
    boxes.clear();
    answers.clear();
    DeleteTree(HKEY_CURRENT_USER, kToolsKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kToolsKey);
  }
  ~Module() {
    UnhookWindowsHookEx(hook);
    SaveTools({}, -1);
    DeleteTree(HKEY_LOCAL_MACHINE, kToolsKey);
  }
  HHOOK hook = SetWindowsHookExA(WH_CBT, ActivationHook, nullptr, GetCurrentThreadId());
  TempFolder temp;
};

void PutTool(HKEY root, const std::string& n, const std::string& title, const std::string& cmd, DWORD type = REG_SZ) {
  PutRawValue(root, kToolsKey, ("Title" + n).c_str(), type, Sz(title));
  PutRawValue(root, kToolsKey, ("Cmd" + n).c_str(), type, Sz(cmd));
}

TEST(ToolsMenu, StoredNumbersLoadInOrderSaveRenumberedAndFillThePopups) {
  Module module;
  PutTool(HKEY_LOCAL_MACHINE, "1", "Machine", "m.exe");
  ASSERT_EQ(LoadTools(), 0) << "the machine's list serves a user without one";
  EXPECT_EQ(ToolList[0].Title, "Machine");
  SetEnvironmentVariableA("VATESTBIN", "C:\\bin");
  PutTool(HKEY_CURRENT_USER, "9", "Nine", "%VATESTBIN%\\nine.exe", REG_EXPAND_SZ);  // expanded as it loads
  PutTool(HKEY_CURRENT_USER, "2", "Two", "two.exe /x");
  PutTool(HKEY_CURRENT_USER, "5", " - ", "ignored.exe");
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Workdir2", REG_SZ, Sz("C:\\two"));
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Preview2", REG_DWORD, Dword(0x101));  // the low byte counts
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Preview5", REG_DWORD, Dword(1));
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "title7", REG_SZ, Sz("not a tool"));
  ASSERT_EQ(LoadTools(), 2);
  ASSERT_EQ(SaveTools(ToolList, ToolLastIndex), 1);
  // Two as 1 ("two.exe /x", "C:\\two", preview), " - " as 2 (title only), Nine as 3
  // ("C:\\bin\\nine.exe" as plain text): nothing else, nothing from before.
  EXPECT_EQ(RegistrySnapshot(HKEY_CURRENT_USER, kToolsKey),
            "[SOFTWARE\\VAExtensions\\Tools]\nCmd1 type=1 74776f2e657865202f7800\n"
            "Cmd3 type=1 433a5c62696e5c6e696e652e65786500\nPreview1 type=4 01000000\nTitle1 type=1 54776f00\n"
            "Title2 type=1 202d2000\nTitle3 type=1 4e696e6500\nWorkdir1 type=1 433a5c74776f00\n");
  EXPECT_EQ(Items(TrayToolsMenu), "[*10000 ][-0 ][*10002 ]");
  EXPECT_EQ(Items(PreviewToolsMenu), "[61241 Theater][-0 ][*10500 ]") << "a separator is never a preview tool";
  CurrentOptions.NoToolsIcons = 1;
  BuildToolsMenus();
  EXPECT_EQ(Items(MainToolsMenu), "[*0 ][10000 Two][-0 ][10002 Nine]");
  ASSERT_EQ(SaveTools({}, -1), 0);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kToolsKey, "Title1").exists);
  EXPECT_EQ(Items(MainToolsMenu), "[*0 ][~9999 (No Tools)]");
  EXPECT_EQ(Items(TrayToolsMenu), "[~9999 (No Tools)]");
  for (int n = 1; n <= 40; ++n) PutTool(HKEY_CURRENT_USER, std::to_string(n), "T", "t.exe");
  EXPECT_EQ(LoadTools(), 31) << "at most 32 tools";
}

// The owner-drawn tool items, measured in the menu font and drawn into a bitmap
// prefilled with an unused colour: the fill, the title right of the icon column
// and the tool's own icon; other items and focus changes draw nothing.
TEST(ToolsMenu, OwnerDrawnItemsAreMeasuredInTheMenuFontAndDrawnWithTheirIcon) {
  Module module;
  PutTool(HKEY_CURRENT_USER, "1", "Blue tool", "blue.exe");
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Icon1", REG_SZ, Sz(TestFile("blue_tray.ico")));
  ASSERT_EQ(LoadTools(), 0);
  LOGFONTA font = {-22};
  std::strcpy(font.lfFaceName, "Tahoma");
  HFONT before = MenuFont;
  MenuFont = CreateFontIndirectA(&font);
  HDC screen = GetDC(nullptr), dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 200, 30);
  HBRUSH unused = CreateSolidBrush(RGB(1, 2, 3));
  SelectObject(dc, bitmap);
  SelectObject(dc, MenuFont);
  SIZE title = {};
  GetTextExtentPoint32A(dc, "Blue tool", 9, &title);
  const int icon = GetSystemMetrics(SM_CXSMICON);
  for (UINT id : {10000u, 10500u, 10001u, 0u}) {
    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, id};
    MeasureToolItem(&measure);
    const bool tool = id == 10000 || id == 10500;
    EXPECT_EQ(std::pair(measure.itemWidth, measure.itemHeight),
              tool ? std::pair(UINT(title.cx + icon + 10), UINT(std::max<LONG>(title.cy, icon) + 4)) : std::pair(0u, 0u)) << id;
  }
  // Pixels of each colour in columns [from, to), after drawing item `id`.
  auto draw = [&](UINT id, UINT action, UINT state, COLORREF colour, int from, int to) {
    const RECT all = {0, 0, 200, 30};
    FillRect(dc, &all, unused);
    DRAWITEMSTRUCT item = {ODT_MENU, 0, id, action, state, nullptr, dc, all};
    DrawToolItem(&item);
    int count = 0;
    for (int x = from; x < to; ++x) for (int y = 0; y < 30; ++y) count += GetPixel(dc, x, y) == colour;
    return count;
  };
  for (auto [state, fill, text] : {std::tuple{UINT(ODS_SELECTED), COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT}, {0u, COLOR_MENU, COLOR_MENUTEXT}}) {
    EXPECT_EQ(draw(10000, ODA_SELECT, state, GetSysColor(fill), 190, 200), 300) << "filled to the right edge";
    EXPECT_GT(draw(10500, ODA_DRAWENTIRE, state, GetSysColor(text), icon + 8, 200), 20) << "the title";
    EXPECT_EQ(draw(10000, ODA_DRAWENTIRE, state, GetSysColor(text), 0, icon + 8), 0) << "no title in the icon column";
    EXPECT_EQ(draw(10000, ODA_DRAWENTIRE, state, RGB(30, 60, 200), 0, 200), icon * icon) << "the tool's blue icon";
    EXPECT_EQ(draw(10000, ODA_DRAWENTIRE, state, RGB(30, 60, 200), 2, 2 + icon), icon * icon) << "at x = 2";
  }
  EXPECT_EQ(draw(10000, ODA_FOCUS, 0, RGB(1, 2, 3), 0, 200) + draw(10001, ODA_DRAWENTIRE, 0, RGB(1, 2, 3), 0, 200), 2 * 6000);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  for (HGDIOBJ object : std::initializer_list<HGDIOBJ>{bitmap, unused, MenuFont}) DeleteObject(object);
  MenuFont = before;
}

// A library row's item data laid out as the host's.
struct LibraryRow {
  std::vector<unsigned char> record = std::vector<unsigned char>(host::kLibraryRecordSize);
  std::string name, folder;
  LibraryRow(uint32_t marker, std::string n, std::string f) : name(std::move(n)), folder(std::move(f)) {
    host::WriteWordAt(record.data(), host::kLibraryMarkerOffset, marker);
    host::WritePointerAt(record.data(), host::kLibraryNameOffset, name.c_str());
    host::WritePointerAt(record.data(), host::kLibraryFolderOffset, folder.c_str());
  }
};

// What reached the host's procedures below the module's subclasses: the pane's
// "rclick dblclk return keydown" notifications, the list's "KEYDOWN KEYUP" keys.
std::string saw;
WNDPROC listOriginal = nullptr;
LRESULT CALLBACK HostPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const UINT code = message == WM_NOTIFY ? reinterpret_cast<NMHDR*>(lParam)->code : 0;
  const std::pair<UINT, const char*> codes[] = {
      {NM_RCLICK, "rclick "}, {NM_DBLCLK, "dblclk "}, {NM_RETURN, "return "}, {LVN_KEYDOWN, "keydown "}};
  for (const auto& [known, name] : codes) saw += code == known ? name : "";
  return DefWindowProcA(window, message, wParam, lParam);
}
LRESULT CALLBACK HostListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  saw += message == WM_KEYDOWN ? "KEYDOWN " : message == WM_KEYUP ? "KEYUP " : "";
  return CallWindowProcA(listOriginal, window, message, wParam, lParam);
}

// A user's library pane with the module's menu on and off: the host's file menu
// with ours, the default action, and the guarded open of double-click and Enter.
TEST(FileManagerPane, TheMenuTheDefaultActionAndTheGuardedOpen) {
  Module module;
  INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
  InitCommonControlsEx(&init);
  WNDCLASSA paneClass = {};
  paneClass.lpfnWndProc = HostPaneProc;
  paneClass.lpszClassName = "VATestLibraryPane";
  RegisterClassA(&paneClass);
  HostResourceModule = LoadLibraryExA(HostSimProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);  // menu 222
  ASSERT_NE(HostResourceModule, nullptr);
  HostMainWindow = NewWindow("STATIC");
  LibraryPane = NewWindow("VATestLibraryPane", HostMainWindow, host::kPaneSecondId);
  HWND list = NewWindow(WC_LISTVIEWA, LibraryPane, host::kLibraryListId, LVS_REPORT | LVS_SHOWSELALWAYS);
  listOriginal = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, LONG_PTR(HostListProc)));
  // Hooked as the finder does it, then initialised by InitMessage.
  PreviousLibraryProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(LibraryPane, GWLP_WNDPROC, LONG_PTR(LibraryPaneProc)));
  SendMessageA(LibraryPane, InitMessage, 0, 0);
  std::vector<std::unique_ptr<LibraryRow>> rows;
  auto addRow = [&](const void* data) {  // selected
    LVITEMA item = {LVIF_PARAM, int(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0))};
    item.lParam = reinterpret_cast<LPARAM>(data);
    ListView_SetItemState(list, int(SendMessageA(list, LVM_INSERTITEMA, 0, LPARAM(&item))), LVIS_SELECTED, LVIS_SELECTED);
  };
  auto file = [&](const std::string& name, const std::string& folder, uint32_t marker = host::kFileItemMarker) {
    rows.push_back(std::make_unique<LibraryRow>(marker, name, folder));
    addRow(rows.back()->record.data());
    return folder + "\\" + name;
  };
  auto notify = [&](std::initializer_list<UINT> codes) {
    for (UINT code : codes) {
      NMHDR header = {list, UINT_PTR(host::kLibraryListId), code};
      SendMessageA(LibraryPane, WM_NOTIFY, host::kLibraryListId, reinterpret_cast<LPARAM>(&header));
    }
  };
  const std::string temp = module.temp.path();
  RecordedFileType type(".vatest");
  RecorderLog log(module.temp.Join("open.log"));
  for (const char* name : {"song.vatest", "first.vatest", "third.bat"}) WriteFileBytes(module.temp.Join(name), "x");

  // Off: every notification and key goes to the host, nothing is opened.
  const std::string song = file("song.vatest", temp);
  notify({NM_RCLICK, NM_DBLCLK, NM_RETURN, LVN_KEYDOWN});
  SendMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(list, WM_KEYUP, VK_RETURN, 0);
  // The second keydown is the list's own report of the Enter key it was given.
  EXPECT_EQ(saw, "rclick dblclk return keydown KEYDOWN keydown KEYUP ");

  // On: the host's file menu with ours; Shell open is the default until Theater is chosen.
  CurrentOptions.ChangeFileManagerMenu = 1;
  saw.clear();
  ASSERT_NE(FileManagerMenu, nullptr);
  EXPECT_EQ(Items(FileManagerMenu),
            "[*0 ][11005 Shell open][61219 Play/View in Theater][32903 &Open][32904 Add to &playlist][-0 ]"
            "[-1 Copy QuickLink as..][32906 &Delete][32907 P&roperties]");
  EXPECT_EQ(Items(GetSubMenu(FileManagerMenu, 6)),
            "[11451 HyperLink: <A></A>][11452 HyperLink: [URL][/URL]][-0 ][11453 Simple: On Separate Lines][-0 ]"
            "[11454 Hybrid HyperLink: <A></A>][11455 Hybrid HyperLink: [URL][/URL]]");
  EXPECT_EQ(GetMenuDefaultItem(FileManagerMenu, FALSE, 0), UINT(IDM_SHELL_OPEN));
  CurrentOptions.DefaultFileManagerAction = 1;
  UpdateFileManagerDefault();
  EXPECT_EQ(GetMenuDefaultItem(FileManagerMenu, FALSE, 0), UINT(host::kCmdTheater));
  notify({NM_DBLCLK, NM_RETURN, NM_RCLICK, LVN_KEYDOWN});
  SendMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(saw, "dblclk return KEYDOWN ") << "with Theater they go to the host";
  EXPECT_TRUE(log.Lines().empty());

  // Shell open: a double-click opens the file by its program, in its folder.
  CurrentOptions.DefaultFileManagerAction = 0;
  UpdateFileManagerDefault();
  saw.clear();
  answers = {IDNO};
  notify({NM_DBLCLK});
  ASSERT_TRUE(log.WaitForLines(1));
  EXPECT_EQ(log.Lines()[0], "cwd=" + temp + "|" + song);
  // Enter over rows that are not files, a .bat answered No (in a missing folder, so
  // trying it would fail aloud), a file that opens, one that cannot, and one after.
  ListView_SetItemState(list, 0, 0, LVIS_SELECTED);
  file("folder", "C:\\", host::kFolderItemMarker);
  addRow(nullptr);
  void* released = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  VirtualFree(released, 0, MEM_RELEASE);
  addRow(released);
  const std::vector<std::string> files = {file("run.bat", module.temp.Join("gone")), file("first.vatest", temp),
                                          file("second.vatest", module.temp.Join("gone")), file("third.bat", temp)};
  EXPECT_EQ(SelectedLibraryFiles(), files);
  SendMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(list, WM_KEYUP, VK_RETURN, 0);
  ASSERT_EQ(boxes.size(), 2u) << "the .bat was tried or the third file was asked about";
  EXPECT_EQ(boxes[0].substr(0, 56), "VA Extensions|This file may contain a virus.\n\nrun.bat\n\nF");
  EXPECT_NE(boxes[0].find("use an \"anti-virus\" program"), std::string::npos);
  EXPECT_TRUE(AsksBeforeOpening("help.CHM") && AsksBeforeOpening("a.url") && !AsksBeforeOpening("song.mp3"));
  EXPECT_EQ(boxes[1], "VA Extensions|Can't open '" + files[2] + "'");
  ASSERT_TRUE(log.WaitForLines(2));
  EXPECT_EQ(log.Lines()[1], "cwd=" + temp + "|" + files[1]);
  EXPECT_EQ(saw, "") << "double-click and Enter stayed with us";

  DestroyWindow(HostMainWindow);
  EXPECT_EQ(FileManagerMenu, nullptr) << "the menu goes with the pane";
  HostMainWindow = LibraryPane = nullptr;
  FreeLibrary(HostResourceModule);
}

}  // namespace
}  // namespace va
