// The Tools and file manager menus in-process under Wine: the Tools list in the
// registry and its popups, owner drawing, starting tools and previews through the
// shell, the tool dialog, and the file manager menu with its guarded open, against
// windows laid out as the host's.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>
#include <utility>

#include "common/extension_options.h"
#include "extension/core/host_ids.h"
#include "extension/core/host_layout.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "extension/menus/file_manager_menu_win.h"
#include "extension/menus/tool_dialog_win.h"
#include "extension/menus/tools_menu_win.h"
#include "extension/resources/resource.h"
#include "menu_test_support.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"

namespace va {
namespace {

using test::DeleteTree;
using test::Dword;
using test::MessageBoxCatcher;
using test::PutRawValue;
using test::RecordedFileType;
using test::RecorderLog;
using test::Sz;
using test::TempFolder;
using test::WriteFileBytes;

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

class ToolsMenu : public testing::Test {
 protected:
  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    std::strcpy(CaptionText, "VA Extensions");
    CurrentOptions = ExtensionOptions();
    DeleteTree(HKEY_CURRENT_USER, kToolsKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kToolsKey);
  }
  void TearDown() override {
    SetUp();
    ToolList.clear();
    ToolLastIndex = -1;
  }
  static void PutTool(HKEY root, int n, const std::string& title, const std::string& cmd) {
    PutRawValue(root, kToolsKey, ("Title" + std::to_string(n)).c_str(), REG_SZ, Sz(title));
    PutRawValue(root, kToolsKey, ("Cmd" + std::to_string(n)).c_str(), REG_SZ, Sz(cmd));
  }
  // A stored value as "text", "#number" or "(none)".
  static std::string Stored(const char* name) {
    const test::StoredValue value = test::ReadStoredValue(HKEY_CURRENT_USER, kToolsKey, name);
    if (!value.exists) return "(none)";
    if (value.type == REG_DWORD) return "#" + std::to_string(*reinterpret_cast<const uint32_t*>(value.bytes.data()));
    return value.type == REG_SZ ? value.bytes.substr(0, value.bytes.find('\0')) : "(type)";
  }
  TempFolder temp_;
};

TEST_F(ToolsMenu, StoredNumbersLoadInOrderSaveRenumberedAndFillThePopups) {
  PutTool(HKEY_LOCAL_MACHINE, 1, "Machine", "m.exe");
  ASSERT_EQ(LoadTools(), 0) << "the machine's list serves a user without one";
  EXPECT_EQ(ToolList[0].Title, "Machine");
  PutTool(HKEY_CURRENT_USER, 9, "Nine", "nine.exe");
  PutTool(HKEY_CURRENT_USER, 2, "Two", "two.exe /x");
  PutTool(HKEY_CURRENT_USER, 5, " - ", "ignored.exe");
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Workdir2", REG_SZ, Sz("C:\\two"));
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Preview2", REG_DWORD, Dword(0x101));  // the low byte counts
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Preview5", REG_DWORD, Dword(1));
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "title7", REG_SZ, Sz("not a tool"));
  ASSERT_EQ(LoadTools(), 2);
  ASSERT_EQ(SaveTools(ToolList, ToolLastIndex), 1);
  const std::pair<const char*, const char*> stored[] = {
      {"Title1", "Two"},  {"Cmd1", "two.exe /x"}, {"Workdir1", "C:\\two"}, {"Preview1", "#1"}, {"Title2", " - "},
      {"Cmd2", "(none)"}, {"Preview2", "(none)"}, {"Title3", "Nine"},      {"Cmd3", "nine.exe"}, {"Workdir3", "(none)"},
      {"Preview3", "(none)"}, {"Title9", "(none)"}, {"title7", "(none)"}};
  for (const auto& [name, value] : stored) EXPECT_EQ(Stored(name), value) << name;
  EXPECT_EQ(Items(TrayToolsMenu), "[*10000 ][-0 ][*10002 ]");
  EXPECT_EQ(Items(PreviewToolsMenu), "[61241 Theater][-0 ][*10500 ]") << "a separator is never a preview tool";
  CurrentOptions.NoToolsIcons = 1;
  BuildToolsMenus();
  EXPECT_EQ(Items(MainToolsMenu), "[*0 ][10000 Two][-0 ][10002 Nine]");
  ASSERT_EQ(SaveTools({}, -1), 0);
  EXPECT_EQ(Stored("Title1"), "(none)");
  EXPECT_EQ(Items(MainToolsMenu), "[*0 ][~9999 (No Tools)]");
  EXPECT_EQ(Items(TrayToolsMenu), "[~9999 (No Tools)]");
  for (int n = 1; n <= 40; ++n) PutTool(HKEY_CURRENT_USER, n, "T", "t.exe");
  EXPECT_EQ(LoadTools(), 31) << "at most 32 tools";
}

// Draws tool item `id` into a fresh bitmap; counts the pixels of the icon column
// and of the text column that differ from the menu colour.
std::pair<int, int> DrawnPixels(UINT id, int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT draw = {ODT_MENU, 0, id, ODA_DRAWENTIRE, 0, nullptr, dc, {0, 0, width, height}, 0};
  DrawToolItem(&draw);
  const int iconEnd = 2 + GetSystemMetrics(SM_CXSMICON);
  std::pair<int, int> off = {0, 0};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x)
      if (GetPixel(dc, x, y) != GetSysColor(COLOR_MENU)) ++(x < iconEnd ? off.first : off.second);
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return off;
}

TEST_F(ToolsMenu, AMissingCustomIconDrawsNoIconWhileAProgramIconIsDrawn) {
  ToolRecord missing, program;
  missing.Title = "Missing";
  missing.Cmd = "\"" + RecorderLog::ProgramPath() + "\"";
  missing.Icon = " \"C:\\no\\such.ico\" ";
  program.Title = "Program";
  program.Cmd = missing.Cmd + " -x";
  missing.IconHandle = LoadToolIcon(missing);
  program.IconHandle = LoadToolIcon(program);
  EXPECT_EQ(missing.IconHandle, nullptr);
  ASSERT_NE(program.IconHandle, nullptr);
  ASSERT_EQ(SaveTools({missing, program}, 1), 1);
  ASSERT_EQ(SaveTools(ToolList, ToolLastIndex), 1) << "saved again: the icon that stays must stay alive";
  const int height = GetSystemMetrics(SM_CYSMICON) + 4;
  const auto withoutIcon = DrawnPixels(10000, 160, height), withIcon = DrawnPixels(10001, 160, height);
  EXPECT_EQ(withoutIcon.first, 0);
  EXPECT_GT(withIcon.first, 0);
  EXPECT_GT(withoutIcon.second, 0) << "the title is drawn right of the icon column";
}

// A download record and its detail record laid out as the host keeps them.
struct HostDownload {
  std::vector<unsigned char> record = std::vector<unsigned char>(host::kDownloadRecordSize);
  std::vector<unsigned char> detail = std::vector<unsigned char>(host::kDetailRecordSize);
  std::string workingText;  // a zero, then the working path
  HostDownload(const std::string& finished, const std::string& working) : workingText('\0' + working) {
    host::WriteWordAt(record.data(), host::kDownloadKindOffset, host::kDownloadKindFile);
    host::WritePointerAt(record.data(), host::kDownloadDetailOffset, detail.data());
    host::WriteWordAt(detail.data(), host::kDetailMarkerOffset, host::kDetailMarker);
    std::memcpy(detail.data() + host::kDetailFinishedPathOffset, finished.c_str(), finished.size() + 1);
    // The host points into the middle of the working path.
    host::WritePointerAt(detail.data(), host::kDetailWorkingPathOffset, workingText.c_str() + 1 + working.size() / 2);
  }
};

TEST_F(ToolsMenu, PreviewWithPassesBadRecordsOverAndOpensTheFinishedFile) {
  INITCOMMONCONTROLSEX init = {sizeof init, ICC_TREEVIEW_CLASSES};
  InitCommonControlsEx(&init);
  HostMainWindow = NewWindow("STATIC");
  TrafficWindow = NewWindow("STATIC", HostMainWindow);
  HWND list = NewWindow(WC_TREEVIEWA, TrafficWindow, host::kDownloadListId);
  auto previewRow = [&](const void* data) {
    TVINSERTSTRUCTA insert = {TVI_ROOT, TVI_LAST, {}};
    insert.item.mask = TVIF_PARAM;
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    LRESULT item = SendMessageA(list, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert));
    SendMessageA(list, TVM_SELECTITEM, TVGN_CARET, item);
    PreviewWithTool(0);
  };
  RecorderLog log(temp_.Join("open.log"));
  ToolRecord viewer;
  viewer.Title = "Viewer";
  viewer.Cmd = "\"" + RecorderLog::ProgramPath() + "\" -view";
  viewer.Preview = 1;
  SaveTools({viewer}, 0);
  MessageBoxCatcher boxes;
  // Records that fail a check or lie in memory that cannot be read start nothing.
  HostDownload wrongKind("a", "b"), wrongMarker("a", "b"), unreadable("a", "b"), endless("a", "b");
  host::WriteWordAt(wrongKind.record.data(), host::kDownloadKindOffset, 181);
  host::WriteWordAt(wrongMarker.detail.data(), host::kDetailMarkerOffset, host::kFileItemMarker);
  void* guarded = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
  host::WritePointerAt(unreadable.record.data(), host::kDownloadDetailOffset, guarded);
  void* released = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  VirtualFree(released, 0, MEM_RELEASE);
  // A working path that meets no zero before a page that cannot be read.
  char* page = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD oldProtection = 0;
  VirtualProtect(page + 4096, 4096, PAGE_NOACCESS, &oldProtection);
  std::memset(page, 'x', 4096);
  host::WritePointerAt(endless.detail.data(), host::kDetailWorkingPathOffset, page + 100);
  const void* bad[] = {wrongKind.record.data(), wrongMarker.record.data(), unreadable.record.data(),
                       endless.record.data(), released, reinterpret_cast<const void*>(0x10)};
  for (const void* data : bad) previewRow(data);
  // Then a good record: its finished file, which exists (the host test shows the
  // working file of a download without one), is the only file previewed.
  WriteFileBytes(temp_.Join("done.mp3"), "x");
  HostDownload finished(temp_.Join("done.mp3"), temp_.Join("T-1-done.mp3"));
  previewRow(finished.record.data());
  ASSERT_TRUE(log.WaitForLines(1));
  const std::string line = log.Lines()[0];
  EXPECT_EQ(line.substr(line.find('|')), "|-view|" + temp_.Join("done.mp3"));
  EXPECT_EQ(log.Lines().size(), 1u);
  EXPECT_TRUE(boxes.shown.empty());
  DestroyWindow(HostMainWindow);
  HostMainWindow = TrafficWindow = nullptr;
  VirtualFree(guarded, 0, MEM_RELEASE);
  VirtualFree(page, 0, MEM_RELEASE);
}

// Runs `script` on the tool dialog once it is activated (its fields are filled by
// then); the script posts the button presses.
std::function<void(HWND)> onShown;
LRESULT CALLBACK ActivationHook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && onShown) std::exchange(onShown, nullptr)(reinterpret_cast<HWND>(wParam));
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
int RunDialog(ToolRecord& record, std::function<void(HWND)> script) {
  onShown = std::move(script);
  HHOOK hook = SetWindowsHookExA(WH_CBT, ActivationHook, nullptr, GetCurrentThreadId());
  const int result = EditToolItem(nullptr, record);
  UnhookWindowsHookEx(hook);
  return result;
}
// The text of control `id`, or of the dialog itself for 0.
std::string Text(HWND dialog, int id) {
  char text[256] = "";
  GetWindowTextA(id ? GetDlgItem(dialog, id) : dialog, text, sizeof text);
  return text;
}
void Press(HWND dialog, int id) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

TEST_F(ToolsMenu, PropertiesDialogShowsTheToolAndSavesOnlyWithTitleAndCommand) {
  ToolRecord tool;
  tool.Title = "Editor";
  tool.Cmd = "ed.exe -n";
  tool.Workdir = "C:\\Work";
  tool.Icon = "ed.ico";
  tool.Preview = 1;
  std::string shown;
  for (int emptied : {IDC_TOOL_TITLE, IDC_TOOL_CMD}) {
    // Save with a required field empty keeps the dialog open: only then is the
    // Cancel behind it seen, and Cancel changes nothing.
    EXPECT_EQ(RunDialog(tool,
                        [&](HWND dialog) {
                          shown.clear();
                          for (int id : {0, IDC_TOOL_TITLE, IDC_TOOL_CMD, IDC_TOOL_WORKDIR, IDC_TOOL_ICON})
                            shown += Text(dialog, id) + "|";
                          shown += std::to_string(IsDlgButtonChecked(dialog, IDC_TOOL_PREVIEW));
                          SetDlgItemTextA(dialog, emptied, "");
                          Press(dialog, IDOK);
                          Press(dialog, IDCANCEL);
                        }),
              0)
        << emptied;
    EXPECT_EQ(shown, "Tool Item Properties|Editor|ed.exe -n|C:\\Work|ed.ico|1");
  }
  EXPECT_EQ(RunDialog(tool,
                      [](HWND dialog) {
                        const std::pair<int, const char*> fields[] = {
                            {IDC_TOOL_TITLE, "Viewer"}, {IDC_TOOL_CMD, "view.exe %1"}, {IDC_TOOL_WORKDIR, ""}, {IDC_TOOL_ICON, "v.ico"}};
                        for (const auto& [id, text] : fields) SetDlgItemTextA(dialog, id, text);
                        CheckDlgButton(dialog, IDC_TOOL_PREVIEW, BST_UNCHECKED);
                        Press(dialog, IDOK);
                      }),
            1);
  EXPECT_EQ(tool.Title + "|" + tool.Cmd + "|" + tool.Workdir + "|" + tool.Icon + "|" + std::to_string(tool.Preview),
            "Viewer|view.exe %1||v.ico|0");
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

// What reached the procedures below the module's subclasses.
std::vector<UINT> paneSaw, listSaw;
WNDPROC listOriginal = nullptr;

LRESULT CALLBACK HostPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;  // the list adds item notifications of its own
    if (code == UINT(NM_RCLICK) || code == UINT(NM_DBLCLK) || code == UINT(NM_RETURN) || code == UINT(LVN_KEYDOWN))
      paneSaw.push_back(code);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}
LRESULT CALLBACK HostListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU || message == WM_KEYDOWN || message == WM_KEYUP) listSaw.push_back(message);
  return CallWindowProcA(listOriginal, window, message, wParam, lParam);
}

// One pane and list for the suite, as the host has one: the module subclasses
// the list once per process.
class FileManagerPane : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSA pane = {};
    pane.lpfnWndProc = HostPaneProc;
    pane.lpszClassName = "VATestLibraryPane";
    RegisterClassA(&pane);
    ModuleInstance = GetModuleHandleA(nullptr);
    HostResourceModule = LoadLibraryExA(test::HostSimProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);  // menu 222
    HostMainWindow = NewWindow("STATIC");
    LibraryPane = NewWindow("VATestLibraryPane", HostMainWindow, host::kPaneSecondId);
    list_ = NewWindow(WC_LISTVIEWA, LibraryPane, host::kLibraryListId, LVS_REPORT | LVS_SHOWSELALWAYS);
    listOriginal = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list_, GWLP_WNDPROC, LONG_PTR(HostListProc)));
    LVCOLUMNA column = {LVCF_WIDTH, 0, 200};
    SendMessageA(list_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    // Hooked as the finder does it, then initialised by InitMessage.
    PreviousLibraryProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(LibraryPane, GWLP_WNDPROC, LONG_PTR(LibraryPaneProc)));
    SendMessageA(LibraryPane, InitMessage, 0, 0);
  }
  static void TearDownTestSuite() {
    DestroyWindow(HostMainWindow);
    HostMainWindow = LibraryPane = nullptr;
    EXPECT_EQ(FileManagerMenu, nullptr) << "the menu goes with the pane";
    FreeLibrary(HostResourceModule);
  }
  void SetUp() override {
    ASSERT_NE(HostResourceModule, nullptr);
    ASSERT_NE(list_, nullptr);
    std::strcpy(CaptionText, "VA Extensions");
    CurrentOptions = ExtensionOptions();
    CurrentOptions.ChangeFileManagerMenu = 1;
    UpdateFileManagerDefault();
    SendMessageA(list_, LVM_DELETEALLITEMS, 0, 0);
    paneSaw.clear();
    listSaw.clear();
  }
  // Adds a row with item data `data`, selected.
  void AddRow(const void* data) {
    LVITEMA item = {LVIF_PARAM, int(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0))};
    item.lParam = reinterpret_cast<LPARAM>(data);
    const LRESULT index = SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    ListView_SetItemState(list_, int(index), LVIS_SELECTED, LVIS_SELECTED);
  }
  std::string File(const std::string& name, const std::string& folder, uint32_t marker = host::kFileItemMarker) {
    rows_.push_back(std::make_unique<LibraryRow>(marker, name, folder));
    AddRow(rows_.back()->record.data());
    return folder + "\\" + name;
  }
  void Notify(int code) {
    NMHDR header = {list_, UINT_PTR(host::kLibraryListId), UINT(code)};
    SendMessageA(LibraryPane, WM_NOTIFY, host::kLibraryListId, reinterpret_cast<LPARAM>(&header));
  }
  static inline HWND list_ = nullptr;
  std::vector<std::unique_ptr<LibraryRow>> rows_;
  TempFolder temp_;
};

TEST_F(FileManagerPane, IsTheHostsFileMenuWithOursAndFollowsTheDefaultAction) {
  ASSERT_NE(FileManagerMenu, nullptr);
  EXPECT_EQ(Items(FileManagerMenu),
            "[*0 ][11005 Shell open][61219 Play/View in Theater][32903 &Open][32904 Add to &playlist][-0 ]"
            "[-1 Copy QuickLink as..][32906 &Delete][32907 P&roperties]");
  EXPECT_EQ(Items(GetSubMenu(FileManagerMenu, 6)),
            "[11451 HyperLink: <A></A>][11452 HyperLink: [URL][/URL]][-0 ][11453 Simple: On Separate Lines][-0 ]"
            "[11454 Hybrid HyperLink: <A></A>][11455 Hybrid HyperLink: [URL][/URL]]");
  EXPECT_EQ(GetMenuDefaultItem(FileManagerMenu, FALSE, 0), UINT(IDM_SHELL_OPEN));
  // With Theater as the default action double-click and Enter go to the host.
  CurrentOptions.DefaultFileManagerAction = 1;
  UpdateFileManagerDefault();
  EXPECT_EQ(GetMenuDefaultItem(FileManagerMenu, FALSE, 0), UINT(host::kCmdTheater));
  File("song.vatest", temp_.path());
  for (int code : {NM_DBLCLK, NM_RETURN, NM_RCLICK, LVN_KEYDOWN}) Notify(code);
  EXPECT_EQ(paneSaw, (std::vector<UINT>{UINT(NM_DBLCLK), UINT(NM_RETURN)})) << "right-click and keys stay ours";
  SendMessageA(list_, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(listSaw, std::vector<UINT>{WM_KEYDOWN});
}

TEST_F(FileManagerPane, DoubleClickAndEnterOpenTheSelectedFilesGuarded) {
  RecordedFileType type(".vatest");
  RecorderLog log(temp_.Join("open.log"));
  for (const char* name : {"song.vatest", "first.vatest", "third.bat"}) WriteFileBytes(temp_.Join(name), "x");
  const std::string song = File("song.vatest", temp_.path());
  MessageBoxCatcher boxes({IDNO});
  Notify(NM_DBLCLK);
  ASSERT_TRUE(log.WaitForLines(1));
  EXPECT_EQ(log.Lines()[0], "cwd=" + temp_.path() + "|" + song) << "opened by its program, in its folder";
  EXPECT_TRUE(paneSaw.empty()) << "answered here, not by the host";

  // Enter over rows that are not files, a .bat answered No (in a missing folder, so
  // trying it would fail aloud), a file that opens, one that cannot, and one after.
  ListView_SetItemState(list_, 0, 0, LVIS_SELECTED);
  File("folder", "C:\\", host::kFolderItemMarker);
  AddRow(nullptr);
  void* released = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  VirtualFree(released, 0, MEM_RELEASE);
  AddRow(released);
  const std::vector<std::string> files = {File("run.bat", temp_.Join("gone")), File("first.vatest", temp_.path()),
                                          File("second.vatest", temp_.Join("gone")), File("third.bat", temp_.path())};
  EXPECT_EQ(SelectedLibraryFiles(), files);
  SendMessageA(list_, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(list_, WM_KEYUP, VK_RETURN, 0);
  ASSERT_EQ(boxes.shown.size(), 2u) << "the .bat was tried or the third file was asked about";
  EXPECT_EQ(boxes.shown[0].caption, "VA Extensions");
  EXPECT_EQ(boxes.shown[0].owner, HostMainWindow);
  EXPECT_EQ(boxes.shown[0].text.substr(0, 42), "This file may contain a virus.\n\nrun.bat\n\nF");
  EXPECT_NE(boxes.shown[0].text.find("use an \"anti-virus\" program"), std::string::npos);
  EXPECT_EQ(boxes.shown[1].text, "Can't open '" + files[2] + "'");
  ASSERT_TRUE(log.WaitForLines(2));
  EXPECT_EQ(log.Lines()[1], "cwd=" + temp_.path() + "|" + files[1]);
  EXPECT_TRUE(listSaw.empty()) << "Enter down and up stayed with us";
}

TEST_F(FileManagerPane, WithTheSettingOffTheHostsHandlingIsUntouched) {
  CurrentOptions.ChangeFileManagerMenu = 0;
  RecorderLog log(temp_.Join("open.log"));
  File("song.vatest", temp_.path());
  MessageBoxCatcher boxes;
  for (int code : {NM_RCLICK, NM_DBLCLK, NM_RETURN, LVN_KEYDOWN}) Notify(code);
  SendMessageA(list_, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(list_, WM_KEYUP, VK_RETURN, 0);
  // A point over no window: the default handling shows no menu that would wait.
  SendMessageA(list_, WM_CONTEXTMENU, WPARAM(list_), MAKELPARAM(3000, 3000));
  // The last LVN_KEYDOWN is the list's own report of the Enter key it was given.
  EXPECT_EQ(paneSaw, (std::vector<UINT>{UINT(NM_RCLICK), UINT(NM_DBLCLK), UINT(NM_RETURN), UINT(LVN_KEYDOWN),
                                        UINT(LVN_KEYDOWN)}));
  EXPECT_EQ(listSaw, (std::vector<UINT>{WM_KEYDOWN, WM_KEYUP, WM_CONTEXTMENU}));
  EXPECT_TRUE(log.Lines().empty());
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace va
