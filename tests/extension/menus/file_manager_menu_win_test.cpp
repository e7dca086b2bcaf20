// The file manager menu in-process: the menu made from the host's menu 222, the
// selected files, the guarded open (virus question, stop on the first failure),
// and the default action of double-click and Enter, against a library pane and
// list laid out as the host's.
#include "extension/menus/file_manager_menu_win.h"

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "common/extension_options.h"
#include "extension/core/host_ids.h"
#include "extension/core/host_layout.h"
#include "extension/core/module_state.h"
#include "extension/core/window_hooks.h"
#include "hostsim/resources/resource.h"
#include "menu_test_support.h"
#include "support/hostsim_driver.h"
#include "support/temp_folder.h"

namespace va {
namespace {

using test::MessageBoxCatcher;
using test::RecordedFileType;
using test::RecorderLog;

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

// Messages that reached the procedures below the module's subclasses.
std::vector<UINT> paneSaw;
std::vector<UINT> listSaw;
WNDPROC listOriginal = nullptr;

LRESULT CALLBACK HostPaneProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NOTIFY) {
    // Only the notifications the tests send; the list adds its own item ones.
    const UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
    if (code == UINT(NM_RCLICK) || code == UINT(NM_DBLCLK) || code == UINT(NM_RETURN) || code == UINT(LVN_KEYDOWN))
      paneSaw.push_back(code);
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK HostListProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CONTEXTMENU || message == WM_KEYDOWN || message == WM_KEYUP) listSaw.push_back(message);
  return CallWindowProcA(listOriginal, window, message, wParam, lParam);
}

class FileManager : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX init = {sizeof init, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&init);
    WNDCLASSA pane = {};
    pane.lpfnWndProc = HostPaneProc;
    pane.hInstance = GetModuleHandleA(nullptr);
    pane.lpszClassName = "VATestLibraryPane";
    RegisterClassA(&pane);
  }

  void SetUp() override {
    ModuleInstance = GetModuleHandleA(nullptr);
    // The host's menu 222 comes from the stand-in host's resources.
    HostResourceModule = LoadLibraryExA(test::HostSimProgram().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(HostResourceModule, nullptr);
    std::strcpy(CaptionText, "VA Extensions");
    CurrentOptions = ExtensionOptions();
    CurrentOptions.ChangeFileManagerMenu = 1;
    paneSaw.clear();
    listSaw.clear();
    HostMainWindow = CreateWindowExA(0, "STATIC", "main", WS_OVERLAPPEDWINDOW, 0, 0, 400, 300, nullptr, nullptr,
                                     nullptr, nullptr);
    LibraryPane = CreateWindowExA(0, "VATestLibraryPane", "", WS_CHILD, 0, 0, 300, 200, HostMainWindow,
                                  reinterpret_cast<HMENU>(INT_PTR(host::kPaneSecondId)), nullptr, nullptr);
    list_ = CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | LVS_REPORT | LVS_SHOWSELALWAYS, 0, 0, 300, 200,
                            LibraryPane, reinterpret_cast<HMENU>(INT_PTR(host::kLibraryListId)), nullptr, nullptr);
    ASSERT_NE(list_, nullptr);
    listOriginal = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HostListProc)));
    LVCOLUMNA column = {};
    column.mask = LVCF_WIDTH;
    column.cx = 200;
    SendMessageA(list_, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    // Hooked as the finder does it, then initialised by InitMessage.
    PreviousLibraryProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(LibraryPane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(LibraryPaneProc)));
    SendMessageA(LibraryPane, InitMessage, 0, 0);
  }

  void TearDown() override {
    DestroyWindow(HostMainWindow);
    HostMainWindow = nullptr;
    LibraryPane = nullptr;
    EXPECT_EQ(FileManagerMenu, nullptr);  // gone with the pane
    FreeLibrary(HostResourceModule);
  }

  // Adds a row (item data `data`) and selects it when `selected`.
  void AddRow(const void* data, bool selected = true) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = int(SendMessageA(list_, LVM_GETITEMCOUNT, 0, 0));
    item.pszText = const_cast<char*>("row");
    item.lParam = reinterpret_cast<LPARAM>(data);
    int index = int(SendMessageA(list_, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
    if (selected) {
      LVITEMA state = {};
      state.stateMask = LVIS_SELECTED;
      state.state = LVIS_SELECTED;
      SendMessageA(list_, LVM_SETITEMSTATE, WPARAM(index), reinterpret_cast<LPARAM>(&state));
    }
  }
  LibraryRow& File(const std::string& name, const std::string& folder, bool selected = true) {
    rows_.push_back(std::make_unique<LibraryRow>(host::kFileItemMarker, name, folder));
    AddRow(rows_.back()->record.data(), selected);
    return *rows_.back();
  }
  void Notify(int code) {
    NMHDR header = {list_, UINT_PTR(host::kLibraryListId), UINT(code)};
    SendMessageA(LibraryPane, WM_NOTIFY, host::kLibraryListId, reinterpret_cast<LPARAM>(&header));
  }

  HWND list_ = nullptr;
  std::vector<std::unique_ptr<LibraryRow>> rows_;
  test::TempFolder temp_;
};

TEST_F(FileManager, MenuIsTheHostsFileMenuWithOurItems) {
  ASSERT_NE(FileManagerMenu, nullptr);
  // The host's "File" popup: Open, Theater, Add to playlist, -, Open with..., -,
  // Delete, Properties. Positions 5 and 4 and the host's Theater go; ours come in.
  ASSERT_EQ(GetMenuItemCount(FileManagerMenu), 9);
  const UINT ids[] = {0, 11005, 61219, IDM_HOST_FILE_OPEN, IDM_HOST_FILE_PLAYLIST, 0, UINT(-1), IDM_HOST_FILE_DELETE,
                      IDM_HOST_FILE_PROPERTIES};
  for (int i = 0; i < 9; ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(GetMenuItemID(FileManagerMenu, i), ids[i]);
  }
  EXPECT_TRUE(GetMenuState(FileManagerMenu, 5, MF_BYPOSITION) & MF_SEPARATOR);
  char text[64] = "";
  EXPECT_EQ(GetMenuItemID(FileManagerMenu, 0), 0u);
  EXPECT_TRUE(GetMenuState(FileManagerMenu, 0, MF_BYPOSITION) & MF_OWNERDRAW);
  GetMenuStringA(FileManagerMenu, 1, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Shell open");
  EXPECT_EQ(GetMenuItemID(FileManagerMenu, 1), 11005u);
  GetMenuStringA(FileManagerMenu, 2, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Play/View in Theater");
  EXPECT_EQ(GetMenuItemID(FileManagerMenu, 2), 61219u);
  GetMenuStringA(FileManagerMenu, 6, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "Copy QuickLink as..");
  HMENU quickLinks = GetSubMenu(FileManagerMenu, 6);
  ASSERT_NE(quickLinks, nullptr);
  EXPECT_EQ(GetMenuItemID(quickLinks, 0), 11451u);
  EXPECT_EQ(GetMenuItemID(quickLinks, 6), 11455u);
  // Theater appears once: the host's own item was removed.
  int theaters = 0;
  for (int i = 0; i < GetMenuItemCount(FileManagerMenu); ++i) theaters += GetMenuItemID(FileManagerMenu, i) == 61219u;
  EXPECT_EQ(theaters, 1);
  EXPECT_EQ(GetMenuDefaultItem(FileManagerMenu, FALSE, 0), 11005u);
  CurrentOptions.DefaultFileManagerAction = 1;
  OptionLiveUpdates[kOptDefaultFileManagerAction]();
  EXPECT_EQ(GetMenuDefaultItem(FileManagerMenu, FALSE, 0), 61219u);
}

TEST_F(FileManager, SelectedFilesSkipOtherRowsAndUnreadableData) {
  File("a.mp3", "C:\\Shared");
  rows_.push_back(std::make_unique<LibraryRow>(host::kFolderItemMarker, "folder", "C:\\"));
  AddRow(rows_.back()->record.data());
  AddRow(nullptr);
  void* released = VirtualAlloc(nullptr, 4096, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  VirtualFree(released, 0, MEM_RELEASE);
  AddRow(released);
  File("not selected.txt", "C:\\Shared", false);
  File("b c.ogg", "D:\\Music\\Rock");
  EXPECT_EQ(SelectedLibraryFiles(), (std::vector<std::string>{"C:\\Shared\\a.mp3", "D:\\Music\\Rock\\b c.ogg"}));
}

TEST_F(FileManager, DoubleClickOpensWithTheAssociatedProgramInTheFilesFolder) {
  RecordedFileType type(".vatest");
  RecorderLog log(temp_.Join("open.log"));
  test::WriteFileBytes(temp_.Join("song.vatest"), "x");
  File("song.vatest", temp_.path());
  MessageBoxCatcher boxes;
  Notify(NM_DBLCLK);
  ASSERT_TRUE(log.WaitForLines(1));
  EXPECT_EQ(log.Lines()[0], "cwd=" + temp_.path() + "|" + temp_.Join("song.vatest"));
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_TRUE(paneSaw.empty());  // answered here, not by the host
}

TEST_F(FileManager, WithTheaterAsDefaultDoubleClickAndEnterGoToTheHost) {
  CurrentOptions.DefaultFileManagerAction = 1;
  File("song.vatest", temp_.path());
  Notify(NM_DBLCLK);
  Notify(NM_RETURN);
  Notify(NM_RCLICK);     // always kept from the host while the menu is used
  Notify(LVN_KEYDOWN);
  EXPECT_EQ(paneSaw, (std::vector<UINT>{UINT(NM_DBLCLK), UINT(NM_RETURN)}));
  SendMessageA(list_, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(listSaw, std::vector<UINT>{WM_KEYDOWN});
}

TEST_F(FileManager, EnterOnABatAsksAndNoOpensNothingButTheNextFile) {
  RecordedFileType type(".vatest");
  RecorderLog log(temp_.Join("open.log"));
  test::WriteFileBytes(temp_.Join("run.bat"), "echo hi > ran.txt\r\n");
  test::WriteFileBytes(temp_.Join("next.vatest"), "x");
  File("run.bat", temp_.path());
  File("next.vatest", temp_.path());
  MessageBoxCatcher boxes({IDNO});
  SendMessageA(list_, WM_KEYDOWN, VK_RETURN, 0);
  SendMessageA(list_, WM_KEYUP, VK_RETURN, 0);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].caption, "VA Extensions");
  EXPECT_EQ(boxes.shown[0].owner, HostMainWindow);
  EXPECT_EQ(boxes.shown[0].text.substr(0, 42), "This file may contain a virus.\n\nrun.bat\n\nF");
  EXPECT_NE(boxes.shown[0].text.find("use an \"anti-virus\" program"), std::string::npos);
  ASSERT_TRUE(log.WaitForLines(1));
  EXPECT_EQ(log.Lines().size(), 1u);
  EXPECT_NE(log.Lines()[0].find("next.vatest"), std::string::npos);
  EXPECT_TRUE(listSaw.empty());  // Enter down and up stayed with us
}

TEST_F(FileManager, ThreeFilesWhereTheSecondCannotBeOpenedStopBeforeTheThird) {
  RecordedFileType type(".vatest");
  RecorderLog log(temp_.Join("open.log"));
  test::WriteFileBytes(temp_.Join("first.vatest"), "x");
  test::WriteFileBytes(temp_.Join("third.bat"), "x");
  File("first.vatest", temp_.path());
  File("second.vatest", temp_.Join("gone"));
  File("third.bat", temp_.path());  // trying it would ask the virus question first
  MessageBoxCatcher boxes;
  ShellOpenSelected();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Can't open '" + temp_.Join("gone\\second.vatest") + "'");
  ASSERT_TRUE(log.WaitForLines(1));
  EXPECT_NE(log.Lines()[0].find("first.vatest"), std::string::npos);
}

TEST_F(FileManager, NamesWithoutADotAreCheckedWhole) {
  RecordedFileType type(".vatest");
  File("readme", temp_.Join("none"));
  File("com", temp_.Join("none"));
  MessageBoxCatcher boxes({IDNO});
  ShellOpenSelected();
  // readme opens without a question (and fails: it does not exist); nothing after it.
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text, "Can't open '" + temp_.Join("none\\readme") + "'");
  boxes.shown.clear();
  ListView_SetItemState(list_, 0, 0, LVIS_SELECTED);
  ShellOpenSelected();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].text.substr(0, 36), "This file may contain a virus.\n\ncom\n");
}

TEST_F(FileManager, WithTheSettingOffTheHostsHandlingIsUntouched) {
  CurrentOptions.ChangeFileManagerMenu = 0;
  RecorderLog log(temp_.Join("open.log"));
  File("song.vatest", temp_.path());
  MessageBoxCatcher boxes;
  Notify(NM_RCLICK);
  Notify(NM_DBLCLK);
  Notify(NM_RETURN);
  Notify(LVN_KEYDOWN);
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
