// The options dialog, the search options panel and Auto Search More end to end:
// hostsim.exe with the real ch_plug.dll, driven from this process by window
// messages and automation commands; the registry, the host's log, windows, menus
// and tray read from outside.
#include <windows.h>

#include <commctrl.h>

#include <fstream>

#include "extension/core/host_ids.h"
#include "extension/resources/resource.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/registry_snapshot.h"
#include "support/tray_view.h"

namespace va {
namespace {

using namespace test;

const char kCaption[] = "VA Extensions - More Options";
const char kLocalContent[] = "SOFTWARE\\Vexlo\\LocalContent";
constexpr int kOptionsCommand = 11001, kAccelOptionsCommand = 11402, kApplyToPage = 2025;
constexpr int kPageList = 1015, kAddOnPanel = 0xE808, kTrayId = 216, kDeadlineMs = 10000;

// A message to a window of the host, with a deadline: a hung host fails the test
// at once instead of holding it up until its time limit.
LRESULT Ask(HWND window, UINT message, WPARAM w = 0, LPARAM l = 0, bool wide = false) {
  DWORD_PTR answer = 0;
  if (!(wide ? SendMessageTimeoutW : SendMessageTimeoutA)(window, message, w, l, SMTO_ABORTIFHUNG, 5000, &answer))
    ADD_FAILURE() << "no answer to message " << message << " from window " << window;
  return LRESULT(answer);
}
LRESULT AskItem(HWND dialog, int id, UINT message, WPARAM w = 0, LPARAM l = 0, bool wide = false) {
  return Ask(GetDlgItem(dialog, id), message, w, l, wide);
}
// A visible dialog of the host's process titled `caption` (any title when null); 0 after the deadline, or at
// once when the host has ended.
HWND WaitForDialog(HostSim& host, const char* caption) {
  HWND found = nullptr;
  WaitUntil([&] { return !host.Running() || (found = HostTopWindow(host, "#32770", caption)); }, kDeadlineMs);
  return found;
}
HWND Open(HostSim& host, int command) {
  return host.Send("command " + std::to_string(command)) ? WaitForDialog(host, kCaption) : nullptr;
}
void Post(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}
void Press(HWND page, int id) { Ask(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
bool Close(HostSim& host, HWND dialog, int button) {
  Post(dialog, button);
  return WaitUntil([&] { return !IsWindow(dialog); }, kDeadlineMs) && host.Sync();
}
int SelectedPage(HWND dialog) {
  const LRESULT index = AskItem(dialog, kPageList, LB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : int(AskItem(dialog, kPageList, LB_GETITEMDATA, WPARAM(index), 0));
}
void SelectRow(HWND page, int listId, int row) {
  AskItem(page, listId, LB_SETCURSEL, WPARAM(row), 0);
  Ask(page, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, listId)));
}
HWND SelectPage(HWND dialog, int pageId) {
  SelectRow(dialog, kPageList, pageId - 201);
  HWND page = GetDlgItem(dialog, pageId);
  return IsWindowVisible(page) ? page : nullptr;
}
bool Checked(HWND page, int id) { return AskItem(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
// What clicks on automatic check boxes or radio buttons do.
void Clicks(HWND page, std::initializer_list<int> ids) {
  for (int id : ids) {
    AskItem(page, id, BM_SETCHECK, Checked(page, id) ? BST_UNCHECKED : BST_CHECKED, 0);
    Press(page, id);
  }
}
// Typing: the box's text changes and the box tells the page.
std::string Type(HWND page, int id, const std::string& text) {
  AskItem(page, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return WindowTextOf(GetDlgItem(page, id));
}
// Presses `button` of a page and fills the modal dialog it opens; true once it closed.
bool FillModal(HostSim& host, HWND page, int button, const char* caption, std::vector<std::pair<int, std::string>> texts,
               int check = 0, int uncheck = 0) {
  Post(page, button);
  HWND modal = WaitForDialog(host, caption);
  if (!modal) return false;
  for (const auto& [id, text] : texts) SetDlgItemTextA(modal, id, text.c_str());
  if (check) AskItem(modal, check, BM_SETCHECK, BST_CHECKED, 0);
  if (uncheck) AskItem(modal, uncheck, BM_SETCHECK, BST_UNCHECKED, 0);
  Post(modal, IDOK);
  return WaitUntil([&] { return !IsWindow(modal); }, kDeadlineMs);
}
// Presses `button`, returns the text of the module's message box and answers it.
std::string MessageAfter(HostSim& host, HWND page, int button) { return Post(page, button), AnswerHostMessageBox(host); }
// Has the host dump its menu bar and menus; how many lines of that dump contain `text`.
int InMenus(HostSim& host, const std::string& text) {
  const int before = host.CountLog("menubar-end");
  if (!host.Send("menubar") || !host.WaitForLog("menubar-end", kDeadlineMs, before + 1)) return -1;
  int count = 0;
  for (const std::string& line : host.LogTexts())
    count = line.rfind("menubar handle=", 0) == 0 ? 0 : count + (line.find(text) != std::string::npos);
  return count;
}
// Every place of the menu bar and its menus that holds "Tools", as "menubar <pos>" or
// "menu <menu> <pos>", from a fresh dump.
std::string ToolsPlaces(HostSim& host) {
  std::string out = InMenus(host, "") < 0 ? "no menus" : "";
  for (const std::string& line : host.LogTexts()) {
    if (line.rfind("menubar handle=", 0) == 0) out.clear();
    if (line.size() > 6 && line.compare(line.size() - 6, 6, " Tools") == 0) out += line.substr(0, line.find(" id=")) + "; ";
  }
  return out;
}

// The status window stands docked: without caption, at the add-on panel's top-left corner.
bool DockedAtPanel(HostSim& host) {
  RECT s = {}, p = {};
  return GetWindowRect(StatusWindowOf(host), &s) && GetWindowRect(GetDlgItem(host.MainWindow(), kAddOnPanel), &p) &&
         s.left == p.left && s.top == p.top && !(GetWindowLongA(StatusWindowOf(host), GWL_STYLE) & WS_CAPTION);
}
// What the tray icon shows: the red square (the accelerator is off) or none, the custom blue icon or the host's.
std::string TrayLooks() {
  if (TrayIconPixel(0, 0) == CLR_INVALID) return "not one icon";
  return std::string(SimilarColour(TrayIconPixel(13, 2), RGB(230, 50, 50)) ? "square " : "plain ") +
         (SimilarColour(TrayIconPixel(4, 10), RGB(30, 60, 200)) ? "custom" : "standard");
}
// The rebar bands' background bitmaps, as the host reports them.
std::string Bands(HostSim& host) {
  const auto lines = host.Send("bands") ? host.LogStartingWith("band ") : std::vector<LogLine>{};
  return lines.size() < 2 ? "no bands" : lines[lines.size() - 2].text + ", " + lines.back().text;
}
// The default item of the library list's right-click menu, by its command id.
std::string FileManagerDefault(HostSim& host) {
  // (A menu asked for while the host's window changes can be lost: it is asked for again.)
  if (!WaitUntil([&] {
        PostMessageA(HostControl(host, host::kLibraryListId, host::kPaneSecondId), WM_CONTEXTMENU, 0, 0);
        return WaitUntil([&] { return host.Send("popup"); }, 1000, 50);
      }, kDeadlineMs, 0))
    return "no menu";
  for (const MenuDumpItem& item : LastMenuDump(host, "popup", "automation popup", "popup-end"))
    if (item.flags.find('D') != std::string::npos) return std::to_string(item.id);
  return "no default";
}

std::string Settings() { return RegistrySnapshot(HKEY_CURRENT_USER, kExtKey) + RegistrySnapshot(HKEY_LOCAL_MACHINE, kExtKey); }
std::string Stored(const char* key, std::initializer_list<const char*> names) { return ValuesText(HKEY_CURRENT_USER, key, names); }

class OptionsScenario : public testing::Test {
 protected:
  void SetUp() override { TearDown(); }
  void TearDown() override {
    ClearExtensionSettings();
    DeleteTree(HKEY_CURRENT_USER, kLocalContent);
    DeleteTree(HKEY_CURRENT_USER, kSkinsKey);
  }
};

// A user with the status window open opens the options dialog on the page seen
// last, edits every page and cancels (nothing is written), then edits every page
// again, meets each list's limit and refusals, and applies: every field reaches
// its registry value and the host changes at once. The accelerator command shows
// the Accelerator page of the open dialog; the page seen last is stored at exit.
TEST_F(OptionsScenario, EditEveryPageCancelThenApplyAndSeeItAtOnce) {
  HostSim host;
  const std::string shared = host.Join("Shared"), copies = host.Join("Copies");
  for (const std::string& folder : {shared, copies}) CreateDirectoryA(folder.c_str(), nullptr);
  const std::string addOn = host.CopyIn(TestAddOnLibrary(), "first.dll"),
                    second = host.CopyIn(TestAddOnLibrary(), "second.dll"),
                    third = host.CopyIn(TestAddOnLibrary(), "third.dll"), itself = host.CopyIn(ExtensionModule(), "me.dll");
  PutRawValue(HKEY_CURRENT_USER, kLocalContent, "DownloadDir", REG_SZ, Sz(shared));
  PutDword(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", 205);
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("40,40,1,1"));
  // Each value is read from the user's key first, then the machine's.
  PutDword(HKEY_LOCAL_MACHINE, kExtKey, "ChangeToolbarBehave", 1);
  PutDword(HKEY_LOCAL_MACHINE, kExtKey, "StartVAInTray", 1);
  PutDword(HKEY_CURRENT_USER, kExtKey, "StartVAInTray", 0);
  PutDword(HKEY_LOCAL_MACHINE, kAcceleratorKey, "CyclesDelay", 90);
  PutDword(HKEY_CURRENT_USER, kAcceleratorKey, "SkipPaused", 1);
  // Every list one short of its limit; the first filter moves into the shared folder.
  for (int n = 1; n <= 31; ++n) PutRawValue(HKEY_CURRENT_USER, kToolsKey, ("Title" + std::to_string(n)).c_str(), REG_SZ, Sz("T"));
  for (int n = 1; n <= 63; ++n) {
    const std::string number = std::to_string(n);
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Title" + number).c_str(), REG_SZ, Sz("F" + number));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Filter" + number).c_str(), REG_SZ, Sz("*." + number));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Dest" + number).c_str(), REG_SZ, Sz(n == 1 ? "Moved" : copies));
    PutDword(HKEY_CURRENT_USER, kFiltersKey, ("Action" + number).c_str(), n == 1 ? 2 : 1);
  }
  for (int n = 1; n <= 7; ++n)
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, ("Dll" + std::to_string(n)).c_str(), REG_SZ,
                Sz(n == 1 ? addOn : "C:\\missing" + std::to_string(n) + ".dll"));
  ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
  HWND main = host.MainWindow();
  // The module adds its menus when the main window first paints.
  std::string underOptions;
  ASSERT_TRUE(WaitUntil([&] {
    return RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE) &&
           (underOptions = ToolsPlaces(host)).rfind("menu 3 ", 0) == 0 &&
           underOptions.find(';') + 2 == underOptions.size() && StatusWindowOf(host);
  }, kDeadlineMs)) << underOptions;
  const std::string before = Settings(), icon = TestFile("blue_tray.ico"), bitmap = TestFile("toolbar_24x8.bmp");
  EXPECT_EQ(TrayLooks() + "; " + Bands(host), "plain standard; band 0 background=none, band 1 background=none");
  // Docked, the status window follows the add-on panel when the host moves, and when it is sized.
  EXPECT_TRUE(WaitUntil([&] { return DockedAtPanel(host); }, kDeadlineMs)) << "not docked at the start";
  HWND status = StatusWindowOf(host);  // made once, then only shown and hidden
  for (UINT only : {SWP_NOSIZE, SWP_NOMOVE}) {
    RECT was, now;
    GetWindowRect(status, &was);
    SetWindowPos(main, nullptr, 70, 50, 830, 620, only | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil([&] { return GetWindowRect(status, &now) && now.left != was.left && DockedAtPanel(host); }, kDeadlineMs))
        << "the host was moved or sized (" << only << "): the status window stayed";
  }

  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SelectedPage(dialog), 205) << "the page seen last";
  std::string pages;  // each row's text (marshalled from the host's process), page id and whether it shows
  for (int i = 0; i < AskItem(dialog, kPageList, LB_GETCOUNT, 0, 0); ++i) {
    wchar_t text[64] = L"";
    AskItem(dialog, kPageList, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text), true);
    const LRESULT id = AskItem(dialog, kPageList, LB_GETITEMDATA, WPARAM(i), 0);
    pages += std::string(text, text + wcslen(text)) + "=" + std::to_string(id) + (SelectPage(dialog, int(id)) ? " " : "? ");
  }
  EXPECT_EQ(pages, "Interface=201 Appearance=202 Accelerator=203 Tools Menu=204 File Organizer=205 Add-on files=206 ");
  // Every page edited, then Cancel: the registry stays byte for byte as it was.
  Clicks(SelectPage(dialog, 201), {1601, 1602, 1605});
  Type(SelectPage(dialog, 203), 1901, "300");
  HWND page = SelectPage(dialog, 206);
  Press(page, 2102);
  Type(page, 2105, second);
  Press(page, 2107);
  EXPECT_EQ(AskItem(page, 2101, LVM_GETITEMCOUNT, 0, 0), 8);
  ASSERT_TRUE(Close(host, dialog, IDCANCEL));
  EXPECT_EQ(Settings(), before);

  // Every page again, and Apply.
  dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  page = SelectPage(dialog, 201);
  // The machine's value when the user has none, the user's first; the start view needs 'force creation'.
  EXPECT_EQ(std::to_string(Checked(page, 1604)) + std::to_string(Checked(page, 1606)) + std::to_string(Enabled(page, 1608)), "100");
  Clicks(page, {1603});
  EXPECT_TRUE(Checked(page, 1601) && !Enabled(page, 1601)) << "the title-bar switch forces the tray menu";
  Clicks(page, {1603});
  EXPECT_TRUE(Checked(page, 1601) && Enabled(page, 1601));
  Clicks(page, {1602, 1604, 1605, 1606, 1607, 1609, 1133});
  AskItem(page, 1608, CB_SETCURSEL, 2, 0);
  Ask(page, WM_COMMAND, MAKEWPARAM(1608, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, 1608)));

  page = SelectPage(dialog, 202);
  Clicks(page, {1503, 1504, 1506, 1510, 1501, 1508});
  for (auto [button, file] : {std::pair{1502, icon}, {1509, bitmap}})  // the file pickers of tray icon and toolbar bitmap
    ASSERT_TRUE(FillModal(host, page, button, "Open", {{0x47C, file}})) << "no file picker for " << button;

  page = SelectPage(dialog, 203);
  EXPECT_EQ(WindowTextOf(GetDlgItem(page, 1901)), "90") << "from the machine's key";
  Type(page, 1901, "9999");
  Type(page, 1902, "0");
  Clicks(page, {1905, 1907});
  Type(page, 1906, "1a2.5");
  Type(page, 1908, "9");
  Clicks(page, {1909});
  EXPECT_FALSE(Checked(page, 1903) || Enabled(page, 1903)) << "'Try to keep' clears and locks the skips";
  Type(page, 1911, "6");
  EXPECT_EQ(Type(page, 1910, "7"), "6") << "the minimum stays under the maximum";
  EXPECT_EQ(Type(page, 1911, "2"), "6") << "the maximum stays over the minimum";
  // The arrows follow the other box as typing does (UDM_GETRANGE: maximum low, minimum high).
  EXPECT_EQ(AskItem(page, IDC_OPT_MIN_SPIN, UDM_GETRANGE, 0, 0), LRESULT(MAKELONG(6, 1)));
  EXPECT_EQ(AskItem(page, IDC_OPT_MAX_SPIN, UDM_GETRANGE, 0, 0), LRESULT(MAKELONG(10, 6)));
  Clicks(page, {1912, 1913, 1914, 1916});
  Type(page, 1917, "2b5");

  page = SelectPage(dialog, 204);
  ASSERT_TRUE(FillModal(host, page, 2004, "Tool Item Properties", {{1023, "Notes"}, {1024, "notepad.exe"}}));
  EXPECT_EQ(MessageAfter(host, page, 2007), "No more items are allowed.") << "a 33rd item";
  page = SelectPage(dialog, 205);
  ASSERT_TRUE(FillModal(host, page, 2204, "Filter Properties", {{1023, "Texts"}, {1109, "*.txt"}, {1119, copies}},
                        1117, 1118));  // copy, not move
  EXPECT_EQ(MessageAfter(host, page, 2204), "No more items are allowed.") << "a 65th filter";
  // After an Apply the page still holds the Move filter's full destination: its
  // properties are saved again unchanged.
  Ask(page, kApplyToPage, 0, 0);
  SelectRow(page, 2201, 0);
  ASSERT_TRUE(FillModal(host, page, 2205, "Filter Properties", {})) << "the unchanged Move filter was refused";
  page = SelectPage(dialog, 206);
  std::string upper = addOn;
  CharUpperBuffA(upper.data(), DWORD(upper.size()));
  Press(page, 2102);
  const std::pair<std::string, const char*> refused[] = {
      {upper, "This add-on file is already in the list!"},
      {NoExportsLibrary(), "This file is not a valid ch_plug.dll format add-on file"},
      {itself, "This file is a copy of VA Extensions itself, which is already loaded: it cannot be added as an add-on."}};
  for (const auto& [path, message] : refused) {
    Type(page, 2105, path);
    EXPECT_EQ(MessageAfter(host, page, 2107), message);
  }
  Type(page, 2105, second);
  Press(page, 2107);
  EXPECT_EQ(MessageAfter(host, page, 2102), "No more items are allowed.") << "a ninth add-on";
  Press(page, 2103);  // the new row, modified and left in its box: OK saves it
  Type(page, 2105, third);
  ASSERT_TRUE(Close(host, dialog, IDOK));

  // Every value of the option keys; the new tool, the new filter and the Move filter's destination as stored (relative);
  // the add-on path still in its box is saved, nothing after it.
  EXPECT_EQ(Stored(kExtKey, {}),
            "AddToMainMenu#1;AskExit#1;ChangeDownloadMenu#1;ChangeFileManagerMenu#1;ChangeToolbarBehave#0;ChangeTrayMenu#1;"
            "DefaultFileManagerAction#1;ForceCreation#1;HideAdBanner#1;IniTab#2;NoToolsIcons#1;ShowAccelSttInTray#1;"
            "StartVAInTray#1;ToolBarBitmap=" + bitmap + ";TrayIcon=" + icon + ";");
  EXPECT_EQ(Stored(kAcceleratorKey, {}),
            "ClearDownloads#1;ClearUploads#1;CyclesDelay#600;ItemDelay#1;KeepDownloads#1;MinSpeed#1250;NoSearchingConnecting#1;"
            "NumDownloadsMax#6;NumDownloadsMin#6;NumScanItems#25;SearchResume#1;SkipBySpeed#1;SkipPaused#0;TimesInSearchState#8;");
  EXPECT_EQ(Stored(kToolsKey, {"Title32", "Cmd32"}) + Stored(kFiltersKey, {"Title64", "Filter64", "Dest64", "Dest1"}) +
                ValuesText(HKEY_LOCAL_MACHINE, kAddOnKey, {"Dll8", "Dll9"}),
            "Title32=Notes;Cmd32=notepad.exe;Title64=Texts;Filter64=*.txt;Dest64=" + copies + ";Dest1=Moved;Dll8=" + third + ";Dll9-;");
  // At once: the banner goes (the player bar moves up into its row); Tools moves into the menu bar with the new tool; the
  // new filter's watcher copies a new file.
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, kAddOnPanel)));
  EXPECT_TRUE((GetWindowLongA(status, GWL_STYLE) & WS_CAPTION) && !IsWindowEnabled(GetDlgItem(status, 1124)))
      << "without the banner the status window floats and cannot dock";
  EXPECT_TRUE(WaitUntil([] { return TrayLooks() == "square custom"; }, kDeadlineMs)) << TrayLooks();
  EXPECT_EQ(Bands(host) + "; " + FileManagerDefault(host), "band 0 background=24x8, band 1 background=24x8; 61219");
  EXPECT_EQ(ChildRect(main, 0xE806).top, ChildRect(main, 0xE802).top);
  EXPECT_EQ(InMenus(host, " id=10031 "), 1) << "the new tool is in the Tools menu";
  EXPECT_EQ(ToolsPlaces(host), "menubar 5; ") << "Tools moved into the menu bar, once";
  // A file another program holds open is passed over, and taken once let go with no change to the folder. (Both
  // come in by a rename, one change each; a handle that wrote would leave a change when closed.)
  auto copied = [&](const char* name) { return GetFileAttributesA((copies + "\\" + name).c_str()) != INVALID_FILE_ATTRIBUTES; };
  for (const char* name : {"held.txt", "notes.txt"}) std::ofstream(host.Join(name)) << name;
  HANDLE holder = CreateFileA(host.Join("held.txt").c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_EXISTING, 0, nullptr);
  for (const char* name : {"held.txt", "notes.txt"}) MoveFileA(host.Join(name).c_str(), (shared + "\\" + name).c_str());
  EXPECT_TRUE(WaitUntil([&] { return copied("notes.txt"); }, 15000));
  EXPECT_FALSE(copied("held.txt")) << "copied while held";
  CloseHandle(holder);
  EXPECT_TRUE(WaitUntil([&] { return copied("held.txt"); }, 15000)) << "a file let go was not tried again";

  // The accelerator command opens its page with what was stored, and shows it
  // again while the dialog is open on another page.
  dialog = Open(host, kAccelOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SelectedPage(dialog), 203);
  Clicks(SelectPage(dialog, 201), {1605, 1603, 1132, 1133});
  Clicks(SelectPage(dialog, 202), {1504, 1505, 1503, 1501, 1508, 1510});
  EXPECT_TRUE(TrayHasIcon(main, kTrayId)) << "the icon before the title-bar switch";
  ASSERT_TRUE(host.Send("command " + std::to_string(kAccelOptionsCommand)));
  EXPECT_TRUE(WaitUntil([&] { return SelectedPage(dialog) == 203 && IsWindowVisible(GetDlgItem(dialog, 203)); }, kDeadlineMs));
  EXPECT_EQ(WindowTextOf(GetDlgItem(GetDlgItem(dialog, 203), 1906)), "12.50");
  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(Stored(kExtKey, {"AskExit", "ChangeSystemBtn", "AddToMainMenu"}), "AskExit#0;ChangeSystemBtn#1;AddToMainMenu#0;");
  EXPECT_TRUE(WaitUntil([&] { return !TrayHasIcon(main, kTrayId); }, kDeadlineMs))
      << "with the title-bar switch the tray icon goes while the window is visible";
  EXPECT_EQ(ToolsPlaces(host), underOptions) << "Tools back under Options, once";
  EXPECT_NE(ChildRect(main, 0xE806).top, ChildRect(main, 0xE802).top) << "the banner's row is back, the player below it";
  EXPECT_TRUE(IsWindowVisible(GetDlgItem(main, kAddOnPanel))) << "the add-on panel is back with the banner";
  EXPECT_EQ(Bands(host) + "; " + FileManagerDefault(host), "band 0 background=none, band 1 background=none; 11005");
  ASSERT_TRUE(IsWindowEnabled(GetDlgItem(status, 1124))) << "the dock button is back with the banner";
  Press(status, 1124);
  EXPECT_TRUE(WaitUntil([&] { return DockedAtPanel(host); }, kDeadlineMs)) << "docked again";
  ShowWindow(main, SW_HIDE);  // with the title-bar switch the icon shows while the window is hidden
  EXPECT_TRUE(WaitUntil([] { return TrayLooks() == "plain standard"; }, kDeadlineMs)) << TrayLooks();

  EXPECT_TRUE(HostExitsWithZero(host));
  EXPECT_EQ(Stored(kLastStateKey, {"ConfigDlg"}), "ConfigDlg#203;");
}

// A user reorders both lists. Each press leaves the moved row selected with its
// details shown (Up on the first row and Down on the last change nothing); OK
// stores the new order, and a file two filters match goes by the one now first.
TEST_F(OptionsScenario, UpDownAndDeleteReorderToolsAndFiltersAndTheFirstMatchingFilterActs) {
  HostSim host;
  const std::string shared = host.Join("Shared"), copies = host.Join("Copies"), moved = shared + "\\Moved";
  for (const std::string& folder : {shared, copies}) CreateDirectoryA(folder.c_str(), nullptr);
  PutRawValue(HKEY_CURRENT_USER, kLocalContent, "DownloadDir", REG_SZ, Sz(shared));
  const char* filters[][3] = {{"Copy texts", "*.txt", "1"}, {"Move notes", "note*", "2"}, {"Docs", "*.doc", "1"}};
  for (int n = 1; n <= 3; ++n) {
    const std::string number = std::to_string(n);
    PutRawValue(HKEY_CURRENT_USER, kToolsKey, ("Title" + number).c_str(), REG_SZ, Sz("Tool " + number));
    PutRawValue(HKEY_CURRENT_USER, kToolsKey, ("Cmd" + number).c_str(), REG_SZ, Sz("tool" + number + ".exe"));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Title" + number).c_str(), REG_SZ, Sz(filters[n - 1][0]));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Filter" + number).c_str(), REG_SZ, Sz(filters[n - 1][1]));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Dest" + number).c_str(), REG_SZ, Sz(n == 2 ? "Moved" : copies));  // a move stays inside the shared folder
    PutDword(HKEY_CURRENT_USER, kFiltersKey, ("Action" + number).c_str(), DWORD(filters[n - 1][2][0] - '0'));
  }
  ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  struct Step { int page, select, button, selected; const char* shown; } steps[] = {
      {204, 2, 2003, 2, "tool3.exe"}, {204, -1, 2002, 1, "tool3.exe"}, {204, -1, 2002, 0, "tool3.exe"},
      {204, -1, 2002, 0, "tool3.exe"}, {204, 1, 2006, 1, "tool2.exe"},
      {205, 1, 2202, 0, "note*"}, {205, 2, 2203, 2, "*.doc"}, {205, -1, 2206, 1, "*.txt"}};
  for (const Step& step : steps) {
    HWND page = SelectPage(dialog, step.page);
    const int list = step.page == 204 ? 2001 : 2201;
    if (step.select >= 0) SelectRow(page, list, step.select);
    Press(page, step.button);
    EXPECT_EQ(std::to_string(AskItem(page, list, LB_GETCURSEL)) + " " + WindowTextOf(GetDlgItem(page, list == 2001 ? 1095 : 1109)),
              std::to_string(step.selected) + " " + step.shown) << "after " << step.button;
  }
  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(Stored(kToolsKey, {"Title1", "Title2", "Title3"}) + Stored(kFiltersKey, {"Title1", "Title2", "Title3"}),
            "Title1=Tool 3;Title2=Tool 2;Title3-;Title1=Move notes;Title2=Copy texts;Title3-;");
  std::ofstream(host.Join("notes.txt")) << "both filters match";
  MoveFileA(host.Join("notes.txt").c_str(), (shared + "\\notes.txt").c_str());
  EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA((moved + "\\notes.txt").c_str()) != INVALID_FILE_ATTRIBUTES; }, 15000));
  EXPECT_EQ(GetFileAttributesA((copies + "\\notes.txt").c_str()), INVALID_FILE_ATTRIBUTES) << "the later filter acted";
  EXPECT_TRUE(HostExitsWithZero(host));
}

constexpr int kSearchFormId = 0xE900, kSearchPanelId = 4096;
constexpr int kStepMs = 6000;  // one 1.5-second step of the loop, with room for a slow machine
const char kPressed[] = "form-command 1245";

// Every text control `control` of the Search page received since "log-texts".
std::vector<std::string> Texts(const HostSim& host, int control) {
  std::vector<std::string> out;
  const std::string prefix = "text " + std::to_string(control) + " ";
  for (const auto& line : host.LogStartingWith(prefix)) out.push_back(line.text.substr(prefix.size()));
  return out;
}
// Run number `runs` wrote its end texts: "Inactive" into 1043, then " - " into 1045.
bool RunEnded(const HostSim& host, size_t runs) {
  const auto states = Texts(host, 1043), prevention = Texts(host, 1045);
  return states.size() == 2 * runs && states.back() == "Inactive" && prevention.size() == 2 * runs &&
         prevention.back() == " - ";
}
bool RunStarted(const HostSim& host, size_t runs) {
  return WaitUntil([&] { return Texts(host, 1043).size() == 2 * runs - 1; }, kStepMs);
}
unsigned long LoggedAt(const HostSim& host, const std::string& prefix, int index) {
  const auto lines = host.LogStartingWith(prefix);
  return index < int(lines.size()) ? lines[index].ms : ~0ul;
}

using SearchScenario = OptionsScenario;

// A user with the status window on its Search page sets Auto Search More to three
// times and searches: three presses counted down to "0 time(s) left", then
// "Inactive". While the client connects nothing is pressed; "Not connected" ends
// the run. Stop with Shift ends only the pressing, Stop without Shift and the
// host's new-search command reach the host; with a skin the prevention is off.
// The panel collapses and expands on its bottom edge and its settings are kept.
TEST_F(SearchScenario, AutoSearchMoreCountsHoldsStopsAndThePanelKeepsItsSettings) {
  for (const auto& [name, value] : std::vector<std::pair<const char*, DWORD>>{
           {"SearchOptShow", 0}, {"AutoSearchMore", 1}, {"AutoSearchMoreNum", 3}, {"AutoSearchMoreUnit", 2}, {"StatusDlg", 301}})
    PutDword(HKEY_CURRENT_USER, kLastStateKey, name, value);
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, Sz("40,40,1,0"));
  HostSim host;
  ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
  HWND panel = nullptr;
  // The module's panel, with its own controls (not merely a child with its id).
  ASSERT_TRUE(WaitUntil([&] {
    panel = HostControl(host, kSearchPanelId, kSearchFormId);
    return panel && GetDlgItem(panel, IDC_AUTO_SEARCH_MORE) && StatusWindowOf(host);
  }, 30000)) << "the module made no search panel";
  HWND form = GetParent(panel), number = GetDlgItem(panel, IDC_AUTO_SEARCH_NUMBER),
       unit = GetDlgItem(panel, IDC_AUTO_SEARCH_UNIT);
  EXPECT_EQ(std::to_string(IsDlgButtonChecked(panel, IDC_AUTO_SEARCH_MORE)) + WindowTextOf(number) +
                std::to_string(Ask(unit, CB_GETCURSEL, 0, 0)),
            "132");

  RECT collapsed, expanded;  // expanding keeps the bottom edge
  GetWindowRect(panel, &collapsed);
  PostMessageA(GetDlgItem(panel, 1079), BM_CLICK, 0, 0);
  ASSERT_TRUE(WaitUntil([&] { return GetWindowRect(panel, &expanded) && expanded.top < collapsed.top; }, kStepMs));
  EXPECT_EQ(expanded.bottom, collapsed.bottom);

  ASSERT_TRUE(host.Send("log-texts"));
  ASSERT_TRUE(host.Send("search-click 1519"));  // the host's "search more automatically" box
  ASSERT_TRUE(host.Send("search-click 1238"));
  ASSERT_TRUE(RunStarted(host, 1));
  ASSERT_TRUE(host.WaitForLog(kPressed, kStepMs));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(panel, IDC_AUTO_SEARCH_MORE))) << "the panel is locked during a run";
  EXPECT_TRUE(WaitUntil([&] {
    return WindowTextOf(GetDlgItem(panel, 1080)) == "Search Options - " + WindowTextOf(GetDlgItem(form, 1174));
  }, kStepMs)) << "the frame title repeats the host's search status";
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, 1); }, 4 * kStepMs));
  EXPECT_EQ(host.CountLog(kPressed), 3);
  EXPECT_EQ(Texts(host, 1044), (std::vector<std::string>{"3 time(s) left", "2 time(s) left", "1 time(s) left",
                                                          "0 time(s) left", " - "}));
  EXPECT_EQ(Texts(host, 1045).front(), "Enabled");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(panel, IDC_AUTO_SEARCH_MORE)));

  // No limit, while the client connects: nothing is pressed for two steps and
  // more; once connected it presses; "Not connected" ends the run.
  Ask(unit, CB_SETCURSEL, 0, 0);
  Ask(panel, WM_COMMAND, MAKEWPARAM(IDC_AUTO_SEARCH_UNIT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(unit));
  ASSERT_TRUE(host.Send("statusbar Connecting....."));
  ASSERT_TRUE(host.Send("search-click 1245"));
  ASSERT_TRUE(RunStarted(host, 2));
  // Two steps and more by the host's own clock, read from its log.
  const unsigned long connecting = LoggedAt(host, "text 1043", 2);
  ASSERT_TRUE(WaitUntil([&] { return host.Sync() && host.Log().back().ms >= connecting + 3200; }, 2 * kStepMs, 100));
  ASSERT_TRUE(host.Send("statusbar Connected"));
  // Presses 1 to 3 were the first run's, 4 the user's own click.
  ASSERT_TRUE(host.WaitForLog(kPressed, kStepMs, 5)) << "no press once connected";
  EXPECT_GT(LoggedAt(host, kPressed, 4), LoggedAt(host, "automation statusbar Connected", 0)) << "pressed while connecting";
  ASSERT_TRUE(host.Send("statusbar Not connected"));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, 2); }, kStepMs)) << "the run went on while not connected";
  ASSERT_TRUE(host.Send("statusbar Connected"));

  // Stops. With Shift the pressing ends and the host never sees the stop; with a skin the prevention is off and Stop
  // without Shift reaches the host; the host's new-search command through the main frame ends a run and reaches the host.
  const struct { const char *start, *stop, *reached; int count; } stops[] = {
      {"search-click 1245", "search-click 1157 shift", "form-command 1157", 0},
      {"search-click 1245", "search-click 1157", "form-command 1157", 1},
      {"search-click 1238", "command 32892", "command 32892", 1}};
  for (size_t run = 3; run <= 5; ++run) {
    if (run == 4) PutRawValue(HKEY_CURRENT_USER, kSkinsKey, "CurrentSkin", REG_SZ, Sz("Blue"));
    ASSERT_TRUE(host.Send(stops[run - 3].start));
    ASSERT_TRUE(RunStarted(host, run));
    if (run == 4) EXPECT_EQ(Texts(host, 1045).at(6), "Disabled, disable skin to enable");
    ASSERT_TRUE(host.Send(stops[run - 3].stop));
    ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, run); }, kStepMs)) << stops[run - 3].stop;
    EXPECT_EQ(host.CountLog(stops[run - 3].reached), stops[run - 3].count) << stops[run - 3].stop;
  }
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(form, 1238))) << "the host's search still runs: the stop ended the run";

  // Results: the host's list counted against the limit, each new count shown; the run ends at the limit.
  const LRESULT listed = Ask(HostControl(host, host::kResultsListId, host::kResultsHolderId), TVM_GETCOUNT);
  Ask(unit, CB_SETCURSEL, 3, 0);
  Ask(panel, WM_COMMAND, MAKEWPARAM(IDC_AUTO_SEARCH_UNIT, CBN_SELCHANGE), reinterpret_cast<LPARAM>(unit));
  Ask(number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(std::to_string(listed + 10).c_str()));
  ASSERT_TRUE(host.Send("search-click 1245"));  // the host lists five more results for each press
  ASSERT_TRUE(RunStarted(host, 6));
  ASSERT_TRUE(WaitUntil([&] { return RunEnded(host, 6); }, 4 * kStepMs));
  const auto shown = Texts(host, 1044);
  EXPECT_EQ(std::vector<std::string>(shown.end() - 4, shown.end()),
            (std::vector<std::string>{"0 results", std::to_string(listed + 5) + " results",
                                      std::to_string(listed + 10) + " results", " - "}));

  // Numbers only; unchecking the option locks number and unit; all kept at exit.
  Ask(number, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("4x2"));
  EXPECT_EQ(WindowTextOf(number), "42");
  Ask(GetDlgItem(panel, IDC_AUTO_SEARCH_MORE), BM_CLICK, 0, 0);
  EXPECT_FALSE(IsWindowEnabled(number) || IsWindowEnabled(unit));
  EXPECT_TRUE(HostExitsWithZero(host));
  EXPECT_EQ(Stored(kLastStateKey, {"SearchOptShow", "AutoSearchMore", "AutoSearchMoreNum", "AutoSearchMoreUnit"}),
            "SearchOptShow#1;AutoSearchMore#0;AutoSearchMoreNum#42;AutoSearchMoreUnit#3;");
}

}  // namespace
}  // namespace va
