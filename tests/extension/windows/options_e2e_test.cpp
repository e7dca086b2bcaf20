// The options dialog end to end: hostsim.exe with the real ch_plug.dll, the dialog
// opened through the module's commands and driven from this process by window
// messages, the registry and the host's windows, menus and tray read from outside.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <string>
#include <vector>

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
const char kWineX11Key[] = "Software\\Wine\\X11 Driver";
constexpr int kOptionsCommand = 11001, kAccelOptionsCommand = 11402;
constexpr int kPageList = 1015, kAddOnPanel = 0xE808;
constexpr int kDeadlineMs = 10000, kRounds = 40;

// ---- the dialog and its pages, driven from outside ----
// A visible dialog of the host's process titled `caption` (any title when null),
// other than `except`; 0 after the deadline.
HWND WaitForDialog(HostSim& host, const char* caption, HWND except = nullptr) {
  HWND found = nullptr;
  WaitUntil([&] {
    for (found = FindWindowExA(nullptr, nullptr, "#32770", caption); found;
         found = FindWindowExA(nullptr, found, "#32770", caption)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(found, &owner);
      if (owner == host.ProcessId() && found != except && IsWindowVisible(found)) return true;
    }
    return false;
  }, kDeadlineMs);
  return found;
}
HWND Open(HostSim& host, int command) {
  return host.Send("command " + std::to_string(command)) ? WaitForDialog(host, kCaption) : nullptr;
}
void Post(HWND window, int id) {
  PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(window, id)));
}
bool Close(HostSim& host, HWND dialog, int button) {
  Post(dialog, button);
  return WaitUntil([&] { return !IsWindow(dialog); }, kDeadlineMs) && host.Sync();
}
int SelectedPage(HWND dialog) {
  const LRESULT index = SendDlgItemMessageA(dialog, kPageList, LB_GETCURSEL, 0, 0);
  return index < 0 ? -1 : int(SendDlgItemMessageA(dialog, kPageList, LB_GETITEMDATA, WPARAM(index), 0));
}
HWND SelectPage(HWND dialog, int pageId) {
  HWND list = GetDlgItem(dialog, kPageList);
  SendMessageA(list, LB_SETCURSEL, WPARAM(pageId - 201), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kPageList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  HWND page = GetDlgItem(dialog, pageId);
  return IsWindowVisible(page) ? page : nullptr;
}
bool Checked(HWND page, int id) { return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
// What a click on an automatic check box or a radio button does.
void Click(HWND page, int id) {
  SendDlgItemMessageA(page, id, BM_SETCHECK, Checked(page, id) ? BST_UNCHECKED : BST_CHECKED, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
void Clicks(HWND page, std::initializer_list<int> ids) {
  for (int id : ids) Click(page, id);
}
// Typing: the box's text changes and the box tells the page.
std::string Type(HWND page, int id, const std::string& text) {
  SendDlgItemMessageA(page, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  return WindowTextOf(GetDlgItem(page, id));
}
void SelectRow(HWND page, int listId, int row) {
  SendDlgItemMessageA(page, listId, LB_SETCURSEL, WPARAM(row), 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, listId)));
}
// Presses `button` of a page and fills the modal dialog it opens.
bool FillModal(HostSim& host, HWND page, int button, const char* caption, std::vector<std::pair<int, std::string>> texts,
               int check = 0, int uncheck = 0) {
  Post(page, button);
  HWND modal = WaitForDialog(host, caption);
  if (!modal) return false;
  for (const auto& [id, text] : texts) SetDlgItemTextA(modal, id, text.c_str());
  if (check) SendDlgItemMessageA(modal, check, BM_SETCHECK, BST_CHECKED, 0);
  if (uncheck) SendDlgItemMessageA(modal, uncheck, BM_SETCHECK, BST_UNCHECKED, 0);
  Post(modal, IDOK);
  return WaitUntil([&] { return !IsWindow(modal); }, kDeadlineMs);
}
// Presses `button`, returns the text of the module's message box and answers it.
std::string MessageAfter(HostSim& host, HWND page, int button) {
  Post(page, button);
  HWND box = WaitForDialog(host, "VA Extensions");
  if (!box) return "<no message box>";
  char text[512] = "";
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  Post(box, IDOK);
  WaitUntil([&] { return !IsWindow(box); }, kDeadlineMs);
  return text;
}
// Presses `button` and answers the file picker it opens with `path`.
bool PickFile(HostSim& host, HWND dialog, HWND page, int button, const std::string& path) {
  Post(page, button);
  HWND picker = WaitForDialog(host, nullptr, dialog);
  HWND name = GetDlgItem(picker, 1148) ? GetDlgItem(picker, 1148) : GetDlgItem(picker, 1152);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  Post(picker, IDOK);
  return picker && WaitUntil([&] { return !IsWindow(picker); }, kDeadlineMs);
}

// Has the host dump its menu bar and menus; returns how many lines of that dump
// contain `text`.
int InMenus(HostSim& host, const std::string& text) {
  const int before = host.CountLog("menubar-end");
  if (!host.Send("menubar") || !host.WaitForLog("menubar-end", kDeadlineMs, before + 1)) return -1;
  int count = 0;
  for (const std::string& line : host.LogTexts())
    count = line.rfind("menubar handle=", 0) == 0 ? 0 : count + (line.find(text) != std::string::npos);
  return count;
}

// ---- files and the registry ----
void WriteIconFile(const std::string& path) {  // 16 x 16, blue, 32 bits
  BITMAPINFOHEADER header = {sizeof header, 16, 32, 1, 32, 0, 0, 0, 0, 0, 0};
  std::string image(reinterpret_cast<const char*>(&header), sizeof header);
  for (int i = 0; i < 256; ++i) image += std::string("\xDC\x28\x14\xFF", 4);
  image.append(64, '\0');  // AND mask
  const uint16_t dir[3] = {0, 1, 1};
  const struct { BYTE w, h, colours, reserved; uint16_t planes, bits; uint32_t bytes, offset; } entry = {
      16, 16, 0, 0, 1, 32, uint32_t(image.size()), 22};
  std::ofstream(path, std::ios::binary) << std::string(reinterpret_cast<const char*>(dir), 6)
                                        << std::string(reinterpret_cast<const char*>(&entry), 16) << image;
}
std::string Settings() { return RegistrySnapshot(HKEY_CURRENT_USER, kExtKey) + RegistrySnapshot(HKEY_LOCAL_MACHINE, kExtKey); }
std::string Stored(HKEY root, const char* key, const std::string& name) {
  const StoredValue value = ReadStoredValue(root, key, name.c_str());
  if (value.type == REG_DWORD && value.bytes.size() == 4) return std::to_string(*reinterpret_cast<const uint32_t*>(value.bytes.data()));
  return value.exists ? value.bytes.substr(0, value.bytes.find('\0')) : "<missing>";
}
std::string Stored(const char* key, const std::string& name) { return Stored(HKEY_CURRENT_USER, key, name); }

class OptionsScenario : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    ClearExtensionSettings();
    DeleteTree(HKEY_CURRENT_USER, kLocalContent);
    DeleteTree(HKEY_CURRENT_USER, kWineX11Key);
  }
};

// A user with the status window open opens the options dialog on the page seen
// last, edits every page and cancels (nothing is written), then edits every page
// again, meets each list's limit and refusals, and applies: every field reaches
// its registry value and the host changes at once. The accelerator command opens
// the Accelerator page; the page seen last is stored at exit.
TEST_F(OptionsScenario, EditEveryPageCancelThenApplyAndSeeItAtOnce) {
  HostSim host;
  const std::string shared = host.Join("Shared"), copies = host.Join("Copies"), icon = host.Join("blue.ico");
  CreateDirectoryA(shared.c_str(), nullptr);
  CreateDirectoryA(copies.c_str(), nullptr);
  WriteIconFile(icon);
  const std::string addOn = host.CopyIn(TestAddOnLibrary(), "first.dll"),
                    second = host.CopyIn(TestAddOnLibrary(), "second.dll");
  PutRawValue(HKEY_CURRENT_USER, kLocalContent, "DownloadDir", REG_SZ, Sz(shared));
  PutDword(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", 205);
  // Each value is read from the user's key first, then the machine's.
  PutDword(HKEY_LOCAL_MACHINE, kExtKey, "ChangeToolbarBehave", 1);
  PutDword(HKEY_LOCAL_MACHINE, kExtKey, "StartVAInTray", 1);
  PutDword(HKEY_CURRENT_USER, kExtKey, "StartVAInTray", 0);
  PutDword(HKEY_LOCAL_MACHINE, kAcceleratorKey, "CyclesDelay", 90);
  PutDword(HKEY_CURRENT_USER, kAcceleratorKey, "SkipPaused", 1);
  // Every list one short of its limit.
  for (int n = 1; n <= 31; ++n) PutRawValue(HKEY_CURRENT_USER, kToolsKey, ("Title" + std::to_string(n)).c_str(), REG_SZ, Sz("T"));
  for (int n = 1; n <= 63; ++n) {
    const std::string number = std::to_string(n);
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Title" + number).c_str(), REG_SZ, Sz("F" + number));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Filter" + number).c_str(), REG_SZ, Sz("*." + number));
    PutRawValue(HKEY_CURRENT_USER, kFiltersKey, ("Dest" + number).c_str(), REG_SZ, Sz(copies));
  }
  for (int n = 1; n <= 7; ++n)
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, ("Dll" + std::to_string(n)).c_str(), REG_SZ,
                Sz(n == 1 ? addOn : "C:\\missing" + std::to_string(n) + ".dll"));
  // Unmanaged windows hide without waiting two seconds for a window manager.
  PutRawValue(HKEY_CURRENT_USER, kWineX11Key, "Managed", REG_SZ, Sz("N"));
  ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
  HWND main = host.MainWindow();
  // The module adds its menus when the main window first paints.
  ASSERT_TRUE(WaitUntil([&] { return RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE) && InMenus(host, " Tools") == 1; },
                        kDeadlineMs));
  const std::string before = Settings();

  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  EXPECT_FALSE(IsWindowEnabled(main)) << "the dialog is modal";
  EXPECT_EQ(SelectedPage(dialog), 205) << "the page seen last";
  const char* titles[] = {"Interface", "Appearance", "Accelerator", "Tools Menu", "File Organizer", "Add-on files"};
  for (int i = 0; i < 6; ++i) {
    wchar_t text[64] = L"";  // the text marshalled from the host's process
    SendDlgItemMessageW(dialog, kPageList, LB_GETTEXT, WPARAM(i), reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(std::wstring(text), std::wstring(titles[i], titles[i] + strlen(titles[i])));
    EXPECT_EQ(SendDlgItemMessageA(dialog, kPageList, LB_GETITEMDATA, WPARAM(i), 0), 201 + i);
    EXPECT_NE(SelectPage(dialog, 201 + i), nullptr) << titles[i] << " is missing or not shown";
  }
  // Every page edited, then Cancel: the registry stays byte for byte as it was.
  Clicks(SelectPage(dialog, 201), {1601, 1602, 1605, 1607, 1609, 1133});
  Clicks(SelectPage(dialog, 202), {1503, 1504, 1506, 1510});
  HWND page = SelectPage(dialog, 203);
  Type(page, 1901, "300");
  Clicks(page, {1905, 1909, 1912, 1916});
  SendMessageA(SelectPage(dialog, 204), WM_COMMAND, MAKEWPARAM(2007, BN_CLICKED), 0);  // a separator
  page = SelectPage(dialog, 205);
  SelectRow(page, 2201, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2206, BN_CLICKED), 0);  // delete
  page = SelectPage(dialog, 206);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2102, BN_CLICKED), 0);
  Type(page, 2105, second);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2107, BN_CLICKED), 0);
  EXPECT_EQ(SendDlgItemMessageA(page, 2101, LVM_GETITEMCOUNT, 0, 0), 8);
  ASSERT_TRUE(Close(host, dialog, IDCANCEL));
  EXPECT_EQ(Settings(), before);

  // Every page again, and Apply.
  dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  page = SelectPage(dialog, 201);
  EXPECT_TRUE(Checked(page, 1604)) << "from the machine's key";
  EXPECT_FALSE(Checked(page, 1606)) << "the user's key comes first";
  EXPECT_FALSE(Enabled(page, 1608)) << "the start view needs 'force creation'";
  Click(page, 1603);
  EXPECT_TRUE(Checked(page, 1601) && !Enabled(page, 1601)) << "the title-bar switch forces the tray menu";
  Click(page, 1603);
  EXPECT_TRUE(Checked(page, 1601) && Enabled(page, 1601));
  Clicks(page, {1602, 1604, 1605, 1606, 1607, 1609, 1133});
  SendDlgItemMessageA(page, 1608, CB_SETCURSEL, 2, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(1608, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, 1608)));

  page = SelectPage(dialog, 202);
  Clicks(page, {1503, 1504, 1506, 1510, 1501});
  ASSERT_TRUE(PickFile(host, dialog, page, 1502, icon));

  page = SelectPage(dialog, 203);
  EXPECT_EQ(WindowTextOf(GetDlgItem(page, 1901)), "90") << "from the machine's key";
  EXPECT_EQ(Type(page, 1901, "4x5"), "45") << "letters are dropped";
  EXPECT_EQ(Type(page, 1901, "9999"), "600") << "out of range: clamped";
  EXPECT_EQ(Type(page, 1902, "0"), "1");
  Clicks(page, {1905, 1907});
  EXPECT_EQ(Type(page, 1906, "1a2.5"), "12.5");
  EXPECT_EQ(Type(page, 1908, "9"), "8");
  Click(page, 1909);
  EXPECT_FALSE(Checked(page, 1903) || Enabled(page, 1903)) << "'Try to keep' clears and locks the skips";
  Click(page, 1909);
  EXPECT_TRUE(Checked(page, 1903) && Enabled(page, 1903)) << "and gives them back";
  Click(page, 1909);
  Type(page, 1911, "6");
  EXPECT_EQ(Type(page, 1910, "7"), "6") << "the minimum stays under the maximum";
  EXPECT_EQ(Type(page, 1911, "2"), "6") << "the maximum stays over the minimum";
  Clicks(page, {1912, 1913, 1914, 1916});
  EXPECT_EQ(Type(page, 1917, "2b5"), "25");

  page = SelectPage(dialog, 204);
  ASSERT_TRUE(FillModal(host, page, 2004, "Tool Item Properties", {{1023, "Notes"}, {1024, "notepad.exe"}}));
  EXPECT_EQ(MessageAfter(host, page, 2007), "No more items are allowed.") << "a 33rd item";
  page = SelectPage(dialog, 205);
  ASSERT_TRUE(FillModal(host, page, 2204, "Filter Properties", {{1023, "Texts"}, {1109, "*.txt"}, {1119, copies}},
                        1117, 1118));  // copy, not move
  EXPECT_EQ(MessageAfter(host, page, 2204), "No more items are allowed.") << "a 65th filter";
  page = SelectPage(dialog, 206);
  std::string upper = addOn;
  CharUpperBuffA(upper.data(), DWORD(upper.size()));
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2102, BN_CLICKED), 0);
  Type(page, 2105, upper);
  EXPECT_EQ(MessageAfter(host, page, 2107), "This add-on file is already in the list!");
  Type(page, 2105, NoExportsLibrary());
  EXPECT_EQ(MessageAfter(host, page, 2107), "This file is not a valid ch_plug.dll format add-on file");
  Type(page, 2105, second);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(2107, BN_CLICKED), 0);
  EXPECT_EQ(MessageAfter(host, page, 2102), "No more items are allowed.") << "a ninth add-on";
  ASSERT_TRUE(Close(host, dialog, IDOK));

  const struct {
    const char* key;
    const char* name;
    std::string value;
  } stored[] = {{kExtKey, "ChangeTrayMenu", "1"}, {kExtKey, "ChangeDownloadMenu", "1"},
                {kExtKey, "ChangeToolbarBehave", "0"}, {kExtKey, "AskExit", "1"}, {kExtKey, "StartVAInTray", "1"},
                {kExtKey, "ForceCreation", "1"}, {kExtKey, "ChangeFileManagerMenu", "1"},
                {kExtKey, "DefaultFileManagerAction", "1"}, {kExtKey, "IniTab", "2"}, {kExtKey, "ChangeSystemBtn", "<missing>"},
                {kExtKey, "HideAdBanner", "1"}, {kExtKey, "AddToMainMenu", "1"}, {kExtKey, "NoToolsIcons", "1"},
                {kExtKey, "ShowAccelSttInTray", "1"}, {kExtKey, "TrayIcon", icon},
                {kAcceleratorKey, "CyclesDelay", "600"}, {kAcceleratorKey, "ItemDelay", "1"},
                {kAcceleratorKey, "SkipPaused", "0"}, {kAcceleratorKey, "SkipBySpeed", "1"},
                {kAcceleratorKey, "MinSpeed", "1250"}, {kAcceleratorKey, "SearchResume", "1"},
                {kAcceleratorKey, "TimesInSearchState", "8"}, {kAcceleratorKey, "KeepDownloads", "1"},
                {kAcceleratorKey, "NumDownloadsMin", "6"}, {kAcceleratorKey, "NumDownloadsMax", "6"},
                {kAcceleratorKey, "ClearUploads", "1"}, {kAcceleratorKey, "NoSearchingConnecting", "1"},
                {kAcceleratorKey, "ClearDownloads", "1"}, {kAcceleratorKey, "NumScanItems", "25"},
                {kToolsKey, "Title32", "Notes"}, {kToolsKey, "Cmd32", "notepad.exe"}, {kFiltersKey, "Title64", "Texts"},
                {kFiltersKey, "Filter64", "*.txt"}, {kFiltersKey, "Dest64", copies}};
  for (const auto& s : stored) EXPECT_EQ(Stored(s.key, s.name), s.value) << s.name;
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll8"), second);
  EXPECT_EQ(Stored(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll9"), "<missing>");
  // At once: the banner goes; Tools moves into the menu bar with the new tool; the
  // tray shows the custom icon with the accelerator's red square; the new filter's
  // watcher copies a new file.
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(main, kAddOnPanel)));
  EXPECT_EQ(InMenus(host, " Tools"), 1) << "Tools is no longer under Options";
  const auto bar = LastMenuDump(host, "menubar", "menubar handle=", "menubar-end");
  EXPECT_TRUE(bar.size() > 5 && bar[5].text == "Tools") << "Tools moved into the menu bar";
  EXPECT_GE(InMenus(host, " id=10031 "), 1) << "the new tool is in the Tools menu";
  EXPECT_TRUE(WaitUntil([] { return SimilarColour(TrayIconPixel(8, 8), RGB(20, 40, 220)) &&
                                    SimilarColour(TrayIconPixel(13, 2), RGB(230, 50, 50)); }, kDeadlineMs));
  std::ofstream(shared + "\\notes.txt") << "notes";
  EXPECT_TRUE(WaitUntil([&] { return GetFileAttributesA((copies + "\\notes.txt").c_str()) != INVALID_FILE_ATTRIBUTES; },
                        15000));

  // The accelerator command opens its page, showing what was stored.
  dialog = Open(host, kAccelOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SelectedPage(dialog), 203);
  EXPECT_EQ(WindowTextOf(GetDlgItem(GetDlgItem(dialog, 203), 1906)), "12.50");
  Clicks(SelectPage(dialog, 201), {1605, 1603});
  SelectPage(dialog, 203);
  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(Stored(kExtKey, "AskExit"), "0");
  EXPECT_EQ(Stored(kExtKey, "ChangeSystemBtn"), "1");
  EXPECT_TRUE(WaitUntil([] { return TrayIconCount() == 0; }, kDeadlineMs))
      << "with the title-bar switch the tray icon goes while the window is visible";

  EXPECT_TRUE(HostExitsWithZero(host));
  EXPECT_EQ(Stored(kLastStateKey, "ConfigDlg"), "203");
}

// Opening and closing the dialog many times leaks no GUI objects.
TEST_F(OptionsScenario, OpeningAndClosingLeaksNoGuiObjects) {
  // Unmanaged windows hide without waiting for a window manager: rounds stay short.
  PutRawValue(HKEY_CURRENT_USER, kWineX11Key, "Managed", REG_SZ, Sz("N"));
  HostSim host;
  ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
  ASSERT_TRUE(host.WaitForLog("result ServiceShow") && host.Sync());
  HWND main = host.MainWindow();
  const auto guiObjects = [&] {
    long gdi = -1, user = -1;
    const int before = host.CountLog("gui-objects");
    if (host.Send("gui-objects") && host.WaitForLog("gui-objects", kDeadlineMs, before + 1))
      sscanf(host.LogStartingWith("gui-objects").back().text.c_str(), "gui-objects gdi=%*d user=%*d gdi-estimate=%ld user-estimate=%ld", &gdi, &user);
    return std::make_pair(gdi, user);
  };
  const auto round = [&] {
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(kOptionsCommand, 0), 0);
    HWND shown = nullptr;
    if (!WaitUntil([&] { return (shown = HostTopWindow(host, "#32770", kCaption)) != nullptr; }, kDeadlineMs, 5)) return false;
    PostMessageA(shown, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return WaitUntil([&] { return !IsWindow(shown); }, kDeadlineMs, 5);
  };
  ASSERT_TRUE(round());  // the first opening loads what stays for the process
  const auto first = guiObjects();
  for (int i = 0; i < kRounds; ++i) ASSERT_TRUE(round()) << "round " << i;
  const auto last = guiObjects();
  ASSERT_GE(first.first, 0);
  EXPECT_LE(last.first, first.first + 20) << "GDI objects leak (one per opening would add 40)";
  EXPECT_LE(last.second, first.second + 20) << "USER objects leak";
}

}  // namespace
}  // namespace va
