// The Tools menu in-process: the registry form, the three popups, owner drawing,
// running tools through the shell and previewing the selected download.
#include "extension/menus/tools_menu_win.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>

#include "common/extension_options.h"
#include "extension/core/host_ids.h"
#include "extension/core/host_layout.h"
#include "extension/core/module_state.h"
#include "menu_test_support.h"
#include "support/extension_keys.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"

namespace va {
namespace {

using test::Dword;
using test::Sz;

using test::DeleteTree;
using test::MessageBoxCatcher;
using test::PutRawValue;
using test::ReadStoredValue;
using test::RecorderLog;
using test::TempFolder;

// A stored text up to its first NUL (the platform may add one after the length
// we write).
std::string StoredText(const char* name) {
  const std::string bytes = ReadStoredValue(HKEY_CURRENT_USER, kToolsKey, name).bytes;
  return bytes.substr(0, bytes.find('\0'));
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
    DeleteTree(HKEY_CURRENT_USER, kToolsKey);
    DeleteTree(HKEY_LOCAL_MACHINE, kToolsKey);
    ToolList.clear();
    ToolLastIndex = -1;
  }
  static void PutTool(HKEY root, int n, const std::string& title, const std::string& cmd) {
    PutRawValue(root, kToolsKey, ("Title" + std::to_string(n)).c_str(), REG_SZ, Sz(title));
    if (!cmd.empty()) PutRawValue(root, kToolsKey, ("Cmd" + std::to_string(n)).c_str(), REG_SZ, Sz(cmd));
  }
  static std::vector<std::string> Titles() {
    std::vector<std::string> titles;
    for (const ToolRecord& tool : ToolList) titles.push_back(tool.Title);
    return titles;
  }
};

TEST_F(ToolsMenu, NumbersTwoFiveNineLoadInOrderAndSaveAsOneTwoThree) {
  PutTool(HKEY_CURRENT_USER, 9, "Nine", "nine.exe");
  PutTool(HKEY_CURRENT_USER, 2, "Two", "two.exe");
  PutTool(HKEY_CURRENT_USER, 5, "Five", "five.exe /x");
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Workdir5", REG_SZ, Sz("C:\\five"));
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Preview5", REG_DWORD, Dword(0x101));
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "title7", REG_SZ, Sz("not a tool"));
  ASSERT_EQ(LoadTools(), 2);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Two", "Five", "Nine"}));
  EXPECT_EQ(ToolList[1].Cmd, "five.exe /x");
  EXPECT_EQ(ToolList[1].Workdir, "C:\\five");
  EXPECT_EQ(ToolList[1].Preview, 1);  // the low byte

  ASSERT_EQ(SaveTools(ToolList, ToolLastIndex), 1);
  auto stored = [](const char* name) { return ReadStoredValue(HKEY_CURRENT_USER, kToolsKey, name); };
  EXPECT_EQ(StoredText("Title1"), "Two");
  EXPECT_EQ(stored("Title1").type, DWORD(REG_SZ));
  EXPECT_EQ(StoredText("Title2"), "Five");
  EXPECT_EQ(StoredText("Cmd2"), "five.exe /x");
  EXPECT_EQ(StoredText("Workdir2"), "C:\\five");
  EXPECT_EQ(stored("Preview2").bytes, Dword(1));
  EXPECT_EQ(stored("Preview2").type, DWORD(REG_DWORD));
  EXPECT_EQ(StoredText("Title3"), "Nine");
  EXPECT_FALSE(stored("Title9").exists);
  EXPECT_FALSE(stored("title7").exists);
  EXPECT_FALSE(stored("Workdir1").exists);
  EXPECT_FALSE(stored("Preview1").exists);
  // What was saved loads back the same.
  ASSERT_EQ(LoadTools(), 2);
  EXPECT_EQ(Titles(), (std::vector<std::string>{"Two", "Five", "Nine"}));
}

TEST_F(ToolsMenu, SeparatorIsStoredWithItsTitleOnly) {
  ToolRecord editor;
  editor.Title = "Editor";
  editor.Cmd = "ed.exe";
  ToolRecord separator;
  separator.Title = " - ";
  separator.Cmd = "ignored.exe";
  separator.Preview = 1;
  ASSERT_EQ(SaveTools({editor, separator}, 1), 1);
  EXPECT_EQ(StoredText("Title2"), " - ");
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kToolsKey, "Cmd2").exists);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kToolsKey, "Preview2").exists);
  // Listed as a separator in the tool popups, never under "Preview with".
  ASSERT_EQ(GetMenuItemCount(TrayToolsMenu), 2);
  EXPECT_TRUE(GetMenuState(TrayToolsMenu, 1, MF_BYPOSITION) & MF_SEPARATOR);
  ASSERT_EQ(GetMenuItemCount(PreviewToolsMenu), 3);
  EXPECT_EQ(GetMenuItemID(PreviewToolsMenu, 2), 9999u);
}

TEST_F(ToolsMenu, MachineWideListWhenTheUserHasNone) {
  PutTool(HKEY_LOCAL_MACHINE, 1, "Machine", "m.exe");
  ASSERT_EQ(LoadTools(), 0);
  EXPECT_EQ(Titles(), std::vector<std::string>{"Machine"});
  PutTool(HKEY_CURRENT_USER, 1, "User", "u.exe");
  LoadTools();
  EXPECT_EQ(Titles(), std::vector<std::string>{"User"});
}

TEST_F(ToolsMenu, AtMostThirtyTwoTools) {
  for (int n = 1; n <= 40; ++n) PutTool(HKEY_CURRENT_USER, n, "T" + std::to_string(n), "t.exe");
  EXPECT_EQ(LoadTools(), 31);
  EXPECT_EQ(ToolList.size(), 32u);
}

TEST_F(ToolsMenu, MissingKeyAndDeletedListShowNoTools) {
  EXPECT_EQ(LoadTools(), -1);
  BuildToolsMenus();
  char text[64] = "";
  ASSERT_EQ(GetMenuItemCount(MainToolsMenu), 2);
  EXPECT_EQ(GetMenuItemID(MainToolsMenu, 0), 0u);  // the heading
  EXPECT_TRUE(GetMenuState(MainToolsMenu, 0, MF_BYPOSITION) & MF_OWNERDRAW);
  GetMenuStringA(MainToolsMenu, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "(No Tools)");
  EXPECT_TRUE(GetMenuState(MainToolsMenu, 9999, MF_BYCOMMAND) & MF_GRAYED);
  GetMenuStringA(PreviewToolsMenu, 0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Theater");
  EXPECT_EQ(GetMenuItemID(PreviewToolsMenu, 0), 61241u);

  ToolRecord tool;
  tool.Title = "Editor";
  tool.Cmd = "ed.exe";
  tool.Preview = 1;
  HMENU main = MainToolsMenu;
  ASSERT_EQ(SaveTools({tool}, 0), 1);
  EXPECT_EQ(MainToolsMenu, main);  // refilled, not remade
  EXPECT_EQ(GetMenuItemID(MainToolsMenu, 1), 10000u);
  EXPECT_EQ(GetMenuItemID(PreviewToolsMenu, 2), 10500u);
  EXPECT_EQ(SaveTools({}, -1), 0);
  EXPECT_EQ(ToolLastIndex, -1);
  EXPECT_EQ(GetMenuItemID(MainToolsMenu, 1), 9999u);
  EXPECT_EQ(GetMenuItemID(TrayToolsMenu, 0), 9999u);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kToolsKey, "Title1").exists);
}

// A private icon, as LoadToolIcon gives one; IsIcon tells whether it still lives.
HICON PrivateIcon() { return CopyIcon(LoadIconA(nullptr, IDI_APPLICATION)); }
bool IsIcon(void* icon) {
  ICONINFO info = {};
  if (!GetIconInfo(static_cast<HICON>(icon), &info)) return false;
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return true;
}

TEST_F(ToolsMenu, SavingDestroysTheIconsOfToolsThatLeaveTheListOnly) {
  ToolRecord kept, dropped;
  kept.Title = "Kept";
  kept.Cmd = "kept.exe";
  kept.IconHandle = PrivateIcon();
  dropped.Title = "Dropped";
  dropped.Cmd = "dropped.exe";
  dropped.IconHandle = PrivateIcon();
  ASSERT_TRUE(kept.IconHandle && dropped.IconHandle);
  ASSERT_EQ(SaveTools({kept, dropped}, 1), 1);

  ASSERT_EQ(SaveTools({ToolList[0]}, 0), 1);
  EXPECT_TRUE(IsIcon(kept.IconHandle)) << "a tool that stays keeps its icon";
  EXPECT_FALSE(IsIcon(dropped.IconHandle)) << "the removed tool's icon leaked";

  // Loading the list anew releases the icons of the list it replaces.
  ASSERT_EQ(LoadTools(), 0);
  EXPECT_FALSE(IsIcon(kept.IconHandle));
}

TEST_F(ToolsMenu, WithoutIconsTheItemsArePlainTextWithTheSameIds) {
  ToolRecord tool;
  tool.Title = "Editor";
  tool.Cmd = "ed.exe";
  tool.Preview = 1;
  SaveTools({tool}, 0);
  EXPECT_TRUE(GetMenuState(TrayToolsMenu, 10000, MF_BYCOMMAND) & MF_OWNERDRAW);
  CurrentOptions.NoToolsIcons = 1;
  BuildToolsMenus();
  EXPECT_FALSE(GetMenuState(TrayToolsMenu, 10000, MF_BYCOMMAND) & MF_OWNERDRAW);
  char text[64] = "";
  GetMenuStringA(PreviewToolsMenu, 10500, text, sizeof text, MF_BYCOMMAND);
  EXPECT_STREQ(text, "Editor");
}

// Draws tool item `id` into a fresh bitmap and returns the bitmap's pixels.
struct DrawnItem {
  std::vector<COLORREF> pixels;
  int width;
  COLORREF At(int x, int y) const { return pixels[size_t(y * width + x)]; }
};
DrawnItem DrawItem(UINT id, int width, int height) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(dc, bitmap);
  DRAWITEMSTRUCT draw = {};
  draw.CtlType = ODT_MENU;
  draw.itemID = id;
  draw.itemAction = ODA_DRAWENTIRE;
  draw.hDC = dc;
  draw.rcItem = {0, 0, width, height};
  DrawToolItem(&draw);
  DrawnItem drawn{{}, width};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) drawn.pixels.push_back(GetPixel(dc, x, y));
  SelectObject(dc, old);
  DeleteObject(bitmap);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return drawn;
}

TEST_F(ToolsMenu, MissingCustomIconDrawsNoIconWhileAProgramIconIsDrawn) {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  ToolRecord missing;
  missing.Title = "Missing";
  missing.Cmd = std::string("\"") + self + "\"";
  missing.Icon = " \"C:\\no\\such.ico\" ";
  ToolRecord program;
  program.Title = "Program";
  program.Cmd = missing.Cmd + " -x";
  missing.IconHandle = LoadToolIcon(missing);
  program.IconHandle = LoadToolIcon(program);
  EXPECT_EQ(missing.IconHandle, nullptr);
  ASSERT_NE(program.IconHandle, nullptr);
  ASSERT_EQ(SaveTools({missing, program}, 1), 1);

  const int cx = GetSystemMetrics(SM_CXSMICON), cy = GetSystemMetrics(SM_CYSMICON);
  const COLORREF menu = GetSysColor(COLOR_MENU);
  auto iconPixelsOff = [&](const DrawnItem& drawn) {
    int off = 0;
    for (int y = 2; y < 2 + cy; ++y)
      for (int x = 2; x < 2 + cx; ++x) off += drawn.At(x, y) != menu;
    return off;
  };
  const DrawnItem withoutIcon = DrawItem(10000, 160, cy + 4);
  const DrawnItem withIcon = DrawItem(10001, 160, cy + 4);
  EXPECT_EQ(iconPixelsOff(withoutIcon), 0);
  EXPECT_GT(iconPixelsOff(withIcon), 0);
  // Both draw their title right of the icon column.
  int textPixels = 0;
  for (int y = 0; y < cy + 4; ++y)
    for (int x = cx + 8; x < 160; ++x) textPixels += withoutIcon.At(x, y) != menu;
  EXPECT_GT(textPixels, 0);
}

TEST_F(ToolsMenu, MeasureActsOnToolItemsOnly) {
  ToolRecord tool;
  tool.Title = "A rather long tool title";
  tool.Cmd = "x.exe";
  SaveTools({tool}, 0);
  MEASUREITEMSTRUCT measure = {};
  measure.CtlType = ODT_MENU;
  measure.itemID = 10000;
  MeasureToolItem(&measure);
  EXPECT_GT(measure.itemWidth, UINT(GetSystemMetrics(SM_CXSMICON) + 10 + 40));
  EXPECT_GE(measure.itemHeight, UINT(GetSystemMetrics(SM_CYSMICON) + 4));
  MEASUREITEMSTRUCT other = {};
  other.CtlType = ODT_MENU;
  other.itemID = 10001;  // no such tool
  MeasureToolItem(&other);
  EXPECT_EQ(other.itemWidth, 0u);
}

TEST_F(ToolsMenu, RunToolStartsTheProgramInItsWorkFolder) {
  TempFolder temp;
  RecorderLog log(temp.Join("open.log"));
  CreateDirectoryA(temp.Join("work").c_str(), nullptr);
  SetEnvironmentVariableA("VATESTWORK", temp.Join("work").c_str());
  ToolRecord tool;
  tool.Title = "Recorder";
  tool.Cmd = "\"" + RecorderLog::ProgramPath() + "\" first second";
  tool.Workdir = " \"%VATESTWORK%\" ";
  SaveTools({tool}, 0);
  MessageBoxCatcher boxes;
  RunTool(nullptr, 0);
  ASSERT_TRUE(log.WaitForLines(1));
  EXPECT_EQ(log.Lines()[0], "cwd=" + temp.Join("work") + "|first|second");
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(ToolsMenu, RunningAMissingProgramSaysCantOpenWithTheExpandedProgram) {
  TempFolder temp;
  SetEnvironmentVariableA("VATESTDIR", temp.path().c_str());
  ToolRecord tool;
  tool.Title = "Missing";
  tool.Cmd = "%VATESTDIR%\\nothing.exe -x";
  SaveTools({tool}, 0);
  HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                               nullptr, nullptr);
  MessageBoxCatcher boxes;
  RunTool(owner, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Can't open : '" + temp.path() + "\\nothing.exe'");
  EXPECT_EQ(boxes.shown[0].caption, "VA Extensions");
  EXPECT_EQ(boxes.shown[0].owner, owner);
  RunTool(owner, 1);  // no such tool: nothing happens
  RunTool(owner, -1);
  EXPECT_EQ(boxes.shown.size(), 1u);
  DestroyWindow(owner);
}

// A download record and its detail record laid out as the host keeps them.
struct HostDownload {
  std::vector<unsigned char> record = std::vector<unsigned char>(host::kDownloadRecordSize);
  std::vector<unsigned char> detail = std::vector<unsigned char>(host::kDetailRecordSize);
  std::string workingText;  // holds a zero, then the working path
  HostDownload(const std::string& finished, const std::string& working) {
    host::WriteWordAt(record.data(), host::kDownloadKindOffset, host::kDownloadKindFile);
    host::WritePointerAt(record.data(), host::kDownloadDetailOffset, detail.data());
    host::WriteWordAt(detail.data(), host::kDetailMarkerOffset, host::kDetailMarker);
    std::memcpy(detail.data() + host::kDetailFinishedPathOffset, finished.c_str(), finished.size() + 1);
    workingText = std::string(1, '\0') + working;
    // Points into the middle of the working path.
    host::WritePointerAt(detail.data(), host::kDetailWorkingPathOffset, workingText.c_str() + 1 + working.size() / 2);
  }
};

class PreviewWithToolTest : public ToolsMenu {
 protected:
  void SetUp() override {
    ToolsMenu::SetUp();
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_TREEVIEW_CLASSES};
    InitCommonControlsEx(&init);
    HostMainWindow = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW, 0, 0, 300, 300, nullptr, nullptr,
                                     nullptr, nullptr);
    TrafficWindow = CreateWindowExA(0, "STATIC", "traffic", WS_CHILD, 0, 0, 200, 200, HostMainWindow, nullptr,
                                    nullptr, nullptr);
    list_ = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD, 0, 0, 200, 200, TrafficWindow,
                            reinterpret_cast<HMENU>(INT_PTR(host::kDownloadListId)), nullptr, nullptr);
    ASSERT_NE(list_, nullptr);
    ToolRecord tool;
    tool.Title = "Viewer";
    tool.Cmd = "\"" + RecorderLog::ProgramPath() + "\" -view";
    tool.Preview = 1;
    SaveTools({tool}, 0);
  }
  void TearDown() override {
    DestroyWindow(HostMainWindow);
    HostMainWindow = nullptr;
    TrafficWindow = nullptr;
    ToolsMenu::TearDown();
  }
  // Adds a row with `data` and makes it the caret item.
  void SelectRowWith(const void* data) {
    TVINSERTSTRUCTA insert = {};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>("row");
    insert.item.lParam = reinterpret_cast<LPARAM>(data);
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(list_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    SendMessageA(list_, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item));
  }
  HWND list_ = nullptr;
  TempFolder temp_;
};

TEST_F(PreviewWithToolTest, FinishedFileWhenItExistsElseTheWorkingFile) {
  RecorderLog log(temp_.Join("open.log"));
  test::WriteFileBytes(temp_.Join("done.mp3"), "x");
  HostDownload finished(temp_.Join("done.mp3"), temp_.Join("incomplete\\T-1-done.mp3"));
  HostDownload working(temp_.Join("gone.mp3"), temp_.Join("incomplete\\T-2-gone.mp3"));
  MessageBoxCatcher boxes;
  SelectRowWith(finished.record.data());
  PreviewWithTool(0);
  ASSERT_TRUE(log.WaitForLines(1));
  SelectRowWith(working.record.data());
  PreviewWithTool(0);
  ASSERT_TRUE(log.WaitForLines(2));
  const auto lines = log.Lines();
  EXPECT_NE(lines[0].find("|-view|" + temp_.Join("done.mp3")), std::string::npos) << lines[0];
  EXPECT_NE(lines[1].find("|-view|" + temp_.Join("incomplete\\T-2-gone.mp3")), std::string::npos) << lines[1];
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PreviewWithToolTest, RecordsThatFailAChecksOrCannotBeReadDoNothing) {
  RecorderLog log(temp_.Join("open.log"));
  MessageBoxCatcher boxes;
  PreviewWithTool(0);  // no row at all

  HostDownload wrongKind(temp_.Join("a"), temp_.Join("b"));
  host::WriteWordAt(wrongKind.record.data(), host::kDownloadKindOffset, 181);
  SelectRowWith(wrongKind.record.data());
  PreviewWithTool(0);

  HostDownload wrongMarker(temp_.Join("a"), temp_.Join("b"));
  host::WriteWordAt(wrongMarker.detail.data(), host::kDetailMarkerOffset, 0x00586C44);
  SelectRowWith(wrongMarker.record.data());
  PreviewWithTool(0);

  // A detail pointer into memory that cannot be read, and item data that points
  // into memory released meanwhile.
  void* guarded = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_NOACCESS);
  HostDownload unreadable(temp_.Join("a"), temp_.Join("b"));
  host::WritePointerAt(unreadable.record.data(), host::kDownloadDetailOffset, guarded);
  SelectRowWith(unreadable.record.data());
  PreviewWithTool(0);
  void* released = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  VirtualFree(released, 0, MEM_RELEASE);
  SelectRowWith(released);
  PreviewWithTool(0);
  SelectRowWith(reinterpret_cast<void*>(0x10));
  PreviewWithTool(0);

  // A working-path pointer whose text never meets a zero before the guard page.
  char* page = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD oldProtection = 0;
  VirtualProtect(page + 4096, 4096, PAGE_NOACCESS, &oldProtection);
  std::memset(page, 'x', 4096);
  HostDownload endless(temp_.Join("missing"), "unused");
  host::WritePointerAt(endless.detail.data(), host::kDetailWorkingPathOffset, page + 100);
  SelectRowWith(endless.record.data());
  PreviewWithTool(0);

  // A good record last: only it starts the tool.
  HostDownload good(temp_.Join("missing.mp3"), temp_.Join("work.mp3"));
  SelectRowWith(good.record.data());
  PreviewWithTool(0);
  ASSERT_TRUE(log.WaitForLines(1));
  EXPECT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines()[0].find(temp_.Join("work.mp3")), std::string::npos);
  EXPECT_TRUE(boxes.shown.empty());
  VirtualFree(guarded, 0, MEM_RELEASE);
  VirtualFree(page, 0, MEM_RELEASE);
}

}  // namespace
}  // namespace va
