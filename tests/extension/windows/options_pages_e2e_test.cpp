// The options pages end to end: every setting of the Interface, Appearance and
// Accelerator pages changed, applied and read back from the registry and from the
// module's behaviour in hostsim.exe; the number boxes; Cancel after editing every
// page; no GUI objects leaked by opening and closing the dialog.
#include "options_e2e_support.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <fstream>
#include <vector>

#include "support/tray_view.h"

namespace va {
namespace {

constexpr UINT kTrayId = 216;
constexpr int kAddOnPanel = 0xE808;
constexpr int kAdBar = 0xE802;

using test::ChildRect;
using test::SameRect;

// Every accelerator value stored with its default, so that each change is written.
void SeedAccelerator() {
  const struct {
    const char* name;
    uint32_t value;
  } defaults[] = {{"CyclesDelay", 45}, {"ItemDelay", 2},      {"SkipPaused", 0},     {"SkipQueued", 0},
                  {"SearchResume", 0}, {"TimesInSearchState", 4}, {"KeepDownloads", 0}, {"NumDownloadsMax", 4},
                  {"NumDownloadsMin", 2}, {"NoSearchingConnecting", 0}, {"SkipBySpeed", 0}, {"MinSpeed", 0},
                  {"ClearUploads", 0}, {"ClearDownloads", 0}, {"NumScanItems", 0}};
  for (const auto& d : defaults) PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, d.name, REG_DWORD, Dword(d.value));
}

// Asks the notification area whether the module's icon is there: a modify that
// changes nothing succeeds only for an existing icon.
bool TrayIconPresent(HWND main) {
  NOTIFYICONDATAA probe = {};
  probe.cbSize = NOTIFYICONDATAA_V1_SIZE;
  probe.hWnd = main;
  probe.uID = kTrayId;
  return Shell_NotifyIconA(NIM_MODIFY, &probe) != FALSE;
}

// The texts of the host's top-level menus, from the host's dump of its menu bar.
std::vector<std::string> TopMenus(HostSim& host) {
  const int before = host.CountLog("menubar-end");
  std::vector<std::string> texts;
  if (!host.Send("menubar") || !host.WaitForLog("menubar-end", kDeadlineMs, before + 1)) return texts;
  for (const std::string& line : host.LogTexts()) {
    if (line.rfind("menubar handle=", 0) == 0) texts.clear();
    if (line.rfind("menubar ", 0) != 0 || line.find(" id=") == std::string::npos) continue;
    size_t flags = line.find(" flags=");
    size_t text = flags == std::string::npos ? std::string::npos : line.find(' ', flags + 1);
    texts.push_back(text == std::string::npos ? "" : line.substr(text + 1));
  }
  return texts;
}
// How many items of the menu bar and of all its menus carry `text`, from the
// host's last dump.
int CountMenuItemsNamed(HostSim& host, const std::string& text) {
  const int before = host.CountLog("menubar-end");
  if (!host.Send("menubar") || !host.WaitForLog("menubar-end", kDeadlineMs, before + 1)) return -1;
  int count = 0;
  for (const std::string& line : host.LogTexts()) {
    if (line.rfind("menubar handle=", 0) == 0) count = 0;
    const bool item = line.rfind("menubar ", 0) == 0 || line.rfind("menu ", 0) == 0;
    const size_t flags = line.find(" flags=");
    if (!item || flags == std::string::npos) continue;
    const size_t space = line.find(' ', flags + 1);
    count += space != std::string::npos && line.substr(space + 1) == text;
  }
  return count;
}
bool HasMenu(const std::vector<std::string>& menus, const char* text) {
  for (const std::string& m : menus)
    if (m == text) return true;
  return false;
}

// A 16 x 16 icon file of one colour.
void WriteIconFile(const std::string& path, BYTE r, BYTE g, BYTE b) {
  const int size = 16;
  std::string image;
  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = size;
  header.biHeight = size * 2;
  header.biPlanes = 1;
  header.biBitCount = 32;
  image.append(reinterpret_cast<const char*>(&header), sizeof header);
  for (int i = 0; i < size * size; ++i) image += std::string{static_cast<char>(b), static_cast<char>(g),
                                                              static_cast<char>(r), static_cast<char>(0xFF)};
  image.append(size * 4, '\0');  // AND mask: 16 rows of 4 bytes
  std::string file;
  const uint16_t dir[3] = {0, 1, 1};
  file.append(reinterpret_cast<const char*>(dir), sizeof dir);
  struct {
    BYTE w, h, colours, reserved;
    uint16_t planes, bits;
    uint32_t bytes, offset;
  } entry = {size, size, 0, 0, 1, 32, static_cast<uint32_t>(image.size()), 6 + 16};
  file.append(reinterpret_cast<const char*>(&entry), 16);
  file += image;
  std::ofstream(path, std::ios::binary) << file;
}

// An 8 x 8 bitmap file.
void WriteBitmapFile(const std::string& path) {
  const int size = 8;
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = size;
  info.biHeight = size;
  info.biPlanes = 1;
  info.biBitCount = 24;
  std::string pixels(size * size * 3, '\x40');
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&info), sizeof info);
  out << pixels;
}

class OptionsPages : public OptionsEndToEnd {
 protected:
  static uint32_t Option(const char* name) { return StoredDword(kExtKey, name); }
  static uint32_t AccelValue(const char* name) { return StoredDword(kAcceleratorKey, name); }
};

TEST_F(OptionsPages, InterfaceSwitchesFollowTheirRulesAndEverySettingRoundTrips) {
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  ASSERT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kDeadlineMs));
  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  HWND page = PageOf(dialog, 201);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(Checked(page, 1132)) << "Shell open is the default action";
  EXPECT_FALSE(Enabled(page, 1132));
  EXPECT_FALSE(Enabled(page, 1133));
  EXPECT_FALSE(Enabled(page, 1608));

  Click(page, 1603);
  EXPECT_TRUE(Checked(page, 1601)) << "the title-bar switch forces the tray menu";
  EXPECT_FALSE(Enabled(page, 1601));
  Click(page, 1603);
  EXPECT_TRUE(Checked(page, 1601)) << "unchecking leaves the tray menu's check";
  EXPECT_TRUE(Enabled(page, 1601));
  Click(page, 1601);
  EXPECT_FALSE(Checked(page, 1601));
  Click(page, 1603);
  EXPECT_TRUE(Checked(page, 1601));

  for (int id : {1602, 1604, 1605, 1606, 1607, 1609}) Click(page, id);
  EXPECT_TRUE(Enabled(page, 1132));
  EXPECT_TRUE(Enabled(page, 1133));
  EXPECT_TRUE(Enabled(page, 1608));
  ChooseRadio(page, 1133, 1132);
  ChooseComboItem(page, 1608, 2);
  ASSERT_TRUE(Close(host, dialog, IDOK));

  for (const char* name : {"ChangeTrayMenu", "ChangeSystemBtn", "ChangeDownloadMenu", "ChangeToolbarBehave", "AskExit",
                           "StartVAInTray", "ForceCreation", "ChangeFileManagerMenu", "DefaultFileManagerAction"})
    EXPECT_EQ(Option(name), 1u) << name;
  EXPECT_EQ(Option("IniTab"), 2u);
  EXPECT_TRUE(WaitUntil([&] { return !TrayIconPresent(main); }, kDeadlineMs))
      << "with the title-bar switch the icon goes while the window is visible";

  dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  page = PageOf(dialog, 201);
  for (int id : {1601, 1602, 1603, 1604, 1605, 1606, 1607, 1609, 1133}) EXPECT_TRUE(Checked(page, id)) << id;
  EXPECT_FALSE(Enabled(page, 1601));
  EXPECT_EQ(SendDlgItemMessageA(page, 1608, CB_GETCURSEL, 0, 0), 2);
  Click(page, 1603);
  for (int id : {1601, 1602, 1604, 1605, 1606, 1607, 1609}) Click(page, id);
  EXPECT_FALSE(Enabled(page, 1132));
  ChooseRadio(page, 1132, 1133);
  ChooseComboItem(page, 1608, 0);
  ASSERT_TRUE(Close(host, dialog, IDOK));
  for (const char* name : {"ChangeTrayMenu", "ChangeSystemBtn", "ChangeDownloadMenu", "ChangeToolbarBehave", "AskExit",
                           "StartVAInTray", "ForceCreation", "ChangeFileManagerMenu", "DefaultFileManagerAction",
                           "IniTab"})
    EXPECT_EQ(Option(name), 0u) << name;
  EXPECT_TRUE(WaitUntil([&] { return TrayIconPresent(main); }, kDeadlineMs)) << "the icon is back";
}

TEST_F(OptionsPages, AppearanceSwitchesActAtOnce) {
  HostSim host;
  StartHost(host);
  HWND main = host.MainWindow();
  ASSERT_TRUE(IsWindowVisible(GetDlgItem(main, kAddOnPanel)));
  const RECT adBar = ChildRect(main, kAdBar);
  ASSERT_FALSE(HasMenu(TopMenus(host), "Tools"));
  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  SelectPage(dialog, 202);
  HWND page = PageOf(dialog, 202);
  ASSERT_NE(page, nullptr);
  EXPECT_TRUE(Checked(page, 1505));
  EXPECT_FALSE(Shown(page, 1507)) << "the banner note shows only while the banner is hidden";
  EXPECT_FALSE(Enabled(page, 1502));
  EXPECT_FALSE(Enabled(page, 1509));
  EXPECT_NE(SendDlgItemMessageA(page, 1098, STM_GETICON, 0, 0), 0) << "the host's own tray icon is previewed";
  EXPECT_NE(SendDlgItemMessageA(page, 1126, STM_GETICON, 0, 0), 0);
  Click(page, 1503);
  EXPECT_TRUE(Shown(page, 1507));
  EXPECT_NE(SendDlgItemMessageA(page, 1507, STM_GETICON, 0, 0), 0);
  ChooseRadio(page, 1504, 1505);
  Click(page, 1506);
  Click(page, 1510);
  ASSERT_TRUE(Close(host, dialog, IDOK));

  for (const char* name : {"HideAdBanner", "AddToMainMenu", "NoToolsIcons", "ShowAccelSttInTray"})
    EXPECT_EQ(Option(name), 1u) << name;
  EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(GetDlgItem(main, kAddOnPanel)); }, kDeadlineMs))
      << "the banner is hidden at once";
  EXPECT_FALSE(SameRect(ChildRect(main, kAdBar), adBar)) << "the banner row is laid out without the banner";
  EXPECT_TRUE(HasMenu(TopMenus(host), "Tools")) << "the Tools menu moved into the menu bar";
  EXPECT_EQ(CountMenuItemsNamed(host, "Tools"), 1) << "the Tools menu is also left under Options";
  EXPECT_TRUE(WaitUntil([&] { return test::SimilarColour(test::TrayIconPixel(13, 2), RGB(230, 50, 50)); }, kDeadlineMs))
      << "the tray icon shows the accelerator's state square";

  dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  page = PageOf(dialog, 202);
  for (int id : {1503, 1504, 1506, 1510}) EXPECT_TRUE(Checked(page, id)) << id;
  for (int id : {1503, 1506, 1510}) Click(page, id);
  ChooseRadio(page, 1505, 1504);
  ASSERT_TRUE(Close(host, dialog, IDOK));
  for (const char* name : {"HideAdBanner", "AddToMainMenu", "NoToolsIcons", "ShowAccelSttInTray"})
    EXPECT_EQ(Option(name), 0u) << name;
  EXPECT_TRUE(WaitUntil([&] { return SameRect(ChildRect(main, kAdBar), adBar); }, kDeadlineMs))
      << "the host lays out its banner row again";
  EXPECT_FALSE(HasMenu(TopMenus(host), "Tools"));
  EXPECT_EQ(CountMenuItemsNamed(host, "Tools"), 1) << "the Tools menu is back under Options, once";

  // And into the menu bar again: still one.
  dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  ChooseRadio(PageOf(dialog, 202), 1504, 1505);
  ASSERT_TRUE(Close(host, dialog, IDOK));
  const std::vector<std::string> menus = TopMenus(host);
  ASSERT_GT(menus.size(), 5u);
  EXPECT_EQ(menus[5], "Tools") << "the Tools menu stands at menu-bar position 5";
  EXPECT_EQ(CountMenuItemsNamed(host, "Tools"), 1);
}

TEST_F(OptionsPages, CustomTrayIconAndToolbarBitmapArePickedPreviewedAndApplied) {
  HostSim host;
  StartHost(host);
  const std::string icon = host.Join("blue.ico"), bitmap = host.Join("bar.bmp");
  WriteIconFile(icon, 20, 40, 220);
  WriteBitmapFile(bitmap);
  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  SelectPage(dialog, 202);
  HWND page = PageOf(dialog, 202);
  const LRESULT hostPreview = SendDlgItemMessageA(page, 1098, STM_GETICON, 0, 0);
  Click(page, 1501);
  EXPECT_TRUE(Enabled(page, 1502));
  PressAsync(page, 1502);
  ASSERT_TRUE(AnswerFilePicker(host, dialog, icon));
  EXPECT_NE(SendDlgItemMessageA(page, 1098, STM_GETICON, 0, 0), hostPreview) << "the chosen icon is previewed";
  Click(page, 1508);
  EXPECT_TRUE(Enabled(page, 1509));
  PressAsync(page, 1509);
  ASSERT_TRUE(AnswerFilePicker(host, dialog, bitmap));
  ASSERT_TRUE(Close(host, dialog, IDOK));

  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kExtKey, "TrayIcon").bytes, Sz(icon));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kExtKey, "ToolBarBitmap").bytes, Sz(bitmap));
  EXPECT_TRUE(WaitUntil([&] { return test::SimilarColour(test::TrayIconPixel(8, 8), RGB(20, 40, 220)); }, kDeadlineMs))
      << "the tray shows the custom icon";

  // Unchecked boxes store empty paths; the preview falls back to the host's icon.
  dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  page = PageOf(dialog, 202);
  EXPECT_TRUE(Checked(page, 1501));
  EXPECT_TRUE(Checked(page, 1508));
  Click(page, 1501);
  Click(page, 1508);
  EXPECT_FALSE(Enabled(page, 1502));
  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kExtKey, "TrayIcon").bytes, Sz(""));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kExtKey, "ToolBarBitmap").bytes, Sz(""));
  EXPECT_TRUE(WaitUntil([&] { return !test::SimilarColour(test::TrayIconPixel(8, 8), RGB(20, 40, 220)); }, kDeadlineMs));
}

TEST_F(OptionsPages, AcceleratorSettingsRoundTripThroughTheirBoxes) {
  SeedAccelerator();
  HostSim host;
  StartHost(host);
  HWND dialog = Open(host, kAccelOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  HWND page = PageOf(dialog, 203);
  ASSERT_NE(page, nullptr);
  EXPECT_EQ(TextOf(page, 1901), "45");
  EXPECT_EQ(TextOf(page, 1906), "0.00");
  EXPECT_EQ(TextOf(page, 1917), "") << "no scan limit shows an empty box";
  for (int id : {1906, 1908, 1910, 1911, 1913, 1917}) EXPECT_FALSE(Enabled(page, id)) << id;
  EXPECT_FALSE(Shown(page, 1915));
  // The spins' ranges (upper bound in the low word).
  EXPECT_EQ(SendDlgItemMessageA(page, 1122, UDM_GETRANGE, 0, 0), MAKELONG(600, 30));
  EXPECT_EQ(SendDlgItemMessageA(page, 1123, UDM_GETRANGE, 0, 0), MAKELONG(600, 1));
  EXPECT_EQ(SendDlgItemMessageA(page, 1124, UDM_GETRANGE, 0, 0), MAKELONG(8, 1));
  EXPECT_EQ(SendDlgItemMessageA(page, 1125, UDM_GETRANGE, 0, 0), MAKELONG(10, 1));
  EXPECT_EQ(SendDlgItemMessageA(page, 1126, UDM_GETRANGE, 0, 0), MAKELONG(10, 1));

  Type(page, 1901, "120");
  Type(page, 1902, "7");
  Click(page, 1905);
  EXPECT_TRUE(Enabled(page, 1906));
  Type(page, 1906, "12.5");
  Click(page, 1907);
  EXPECT_TRUE(Enabled(page, 1908));
  Type(page, 1908, "6");
  Click(page, 1909);
  for (int id : {1910, 1911, 1913}) EXPECT_TRUE(Enabled(page, id)) << id;
  EXPECT_TRUE(Shown(page, 1915));
  Type(page, 1911, "7");
  Type(page, 1910, "3");
  Click(page, 1913);
  Click(page, 1912);
  Click(page, 1914);
  Click(page, 1916);
  EXPECT_TRUE(Enabled(page, 1917));
  Type(page, 1917, "25");
  ASSERT_TRUE(Close(host, dialog, IDOK));

  struct Expected {
    const char* name;
    uint32_t value;
  } expected[] = {{"CyclesDelay", 120},   {"ItemDelay", 7},        {"SkipPaused", 0},          {"SkipQueued", 0},
                  {"SearchResume", 1},    {"TimesInSearchState", 6}, {"KeepDownloads", 1},    {"NumDownloadsMax", 7},
                  {"NumDownloadsMin", 3}, {"NoSearchingConnecting", 1}, {"SkipBySpeed", 1},   {"MinSpeed", 1250},
                  {"ClearUploads", 1},    {"ClearDownloads", 1},    {"NumScanItems", 25}};
  for (const Expected& e : expected) EXPECT_EQ(AccelValue(e.name), e.value) << e.name;

  dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  page = PageOf(dialog, 203);
  EXPECT_EQ(TextOf(page, 1906), "12.50");
  EXPECT_EQ(TextOf(page, 1901), "120");
  EXPECT_EQ(TextOf(page, 1917), "25");
  EXPECT_TRUE(Checked(page, 1909));
  EXPECT_FALSE(Enabled(page, 1903)) << "the stored keep range disables the skips";
  EXPECT_TRUE(Shown(page, 1915));
  Click(page, 1916);
  Click(page, 1905);
  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(AccelValue("NumScanItems"), 0u) << "an unchecked scan limit stores 0";
  EXPECT_EQ(AccelValue("SkipBySpeed"), 0u);
  EXPECT_EQ(AccelValue("MinSpeed"), 1250u);
}

TEST_F(OptionsPages, TryToKeepRemembersAndRestoresTheTwoSkips) {
  SeedAccelerator();
  PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "SkipPaused", REG_DWORD, Dword(1));
  PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "SkipQueued", REG_DWORD, Dword(0));
  HostSim host;
  StartHost(host);
  HWND dialog = Open(host, kAccelOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  HWND page = PageOf(dialog, 203);
  EXPECT_TRUE(Checked(page, 1903));
  EXPECT_FALSE(Checked(page, 1904));
  Click(page, 1909);
  EXPECT_FALSE(Checked(page, 1903));
  EXPECT_FALSE(Enabled(page, 1903));
  EXPECT_FALSE(Enabled(page, 1904));
  EXPECT_TRUE(Shown(page, 1915));
  Click(page, 1909);
  EXPECT_TRUE(Checked(page, 1903)) << "the remembered check comes back";
  EXPECT_FALSE(Checked(page, 1904));
  EXPECT_TRUE(Enabled(page, 1903));
  EXPECT_TRUE(Enabled(page, 1904));
  EXPECT_FALSE(Enabled(page, 1910));
  EXPECT_FALSE(Shown(page, 1915));
  // A second round remembers the checks of its own moment.
  Click(page, 1903);
  Click(page, 1904);
  Click(page, 1909);
  Click(page, 1909);
  EXPECT_FALSE(Checked(page, 1903));
  EXPECT_TRUE(Checked(page, 1904));
  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(AccelValue("SkipPaused"), 0u);
  EXPECT_EQ(AccelValue("SkipQueued"), 1u);
  EXPECT_EQ(AccelValue("KeepDownloads"), 0u);
}

TEST_F(OptionsPages, NumberBoxesDropLettersClampAndKeepTheMinimumUnderTheMaximum) {
  SeedAccelerator();
  HostSim host;
  StartHost(host);
  HWND dialog = Open(host, kAccelOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  HWND page = PageOf(dialog, 203);
  Type(page, 1901, "4x5");
  EXPECT_EQ(TextOf(page, 1901), "45") << "letters are dropped";
  Type(page, 1901, "7");
  EXPECT_EQ(TextOf(page, 1901), "30");
  Type(page, 1901, "9999");
  EXPECT_EQ(TextOf(page, 1901), "600");
  Type(page, 1902, "0");
  EXPECT_EQ(TextOf(page, 1902), "1");
  Type(page, 1908, "9");
  EXPECT_EQ(TextOf(page, 1908), "8");
  Type(page, 1906, "1a2.3.4");
  EXPECT_EQ(TextOf(page, 1906), "12.34") << "one decimal point is kept";
  Type(page, 1917, "2b0");
  EXPECT_EQ(TextOf(page, 1917), "20");

  Click(page, 1909);
  Type(page, 1911, "4");
  Type(page, 1910, "7");
  EXPECT_EQ(TextOf(page, 1910), "4") << "the minimum stays under the maximum";
  Type(page, 1911, "2");
  EXPECT_EQ(TextOf(page, 1911), "4") << "the maximum stays over the minimum";
  Type(page, 1911, "15");
  EXPECT_EQ(TextOf(page, 1911), "10");
  Type(page, 1910, "0");
  EXPECT_EQ(TextOf(page, 1910), "1");
  Type(page, 1910, "9");
  ASSERT_TRUE(Close(host, dialog, IDOK));
  EXPECT_EQ(AccelValue("NumDownloadsMin"), 9u);
  EXPECT_EQ(AccelValue("NumDownloadsMax"), 10u);
  EXPECT_EQ(AccelValue("CyclesDelay"), 600u);
  EXPECT_EQ(AccelValue("MinSpeed"), 1234u);
  EXPECT_LE(AccelValue("NumDownloadsMin"), AccelValue("NumDownloadsMax"));
}

// Clicking a note icon shows its help text in the help popup.
std::string ClickNoteIcon(HostSim& host, HWND dialog, HWND page, int id) {
  PostMessageA(page, WM_COMMAND, MAKEWPARAM(id, STN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
  HWND popup = WaitForOtherDialog(host, dialog);
  if (!popup) return "";
  char text[512] = "";
  GetWindowTextA(popup, text, sizeof text);
  PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
  WaitUntil([&] { return !IsWindow(popup); }, kDeadlineMs);
  return text;
}

TEST_F(OptionsPages, NoteIconsShowTheirHelpWhenClicked) {
  HostSim host;
  StartHost(host);
  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  SelectPage(dialog, 202);
  HWND page = PageOf(dialog, 202);
  Click(page, 1503);
  EXPECT_EQ(ClickNoteIcon(host, dialog, page, 1507),
            "If you have an add-on that use the ad banner it will became unreachable.");
  SelectPage(dialog, 203);
  page = PageOf(dialog, 203);
  Click(page, 1909);
  EXPECT_EQ(ClickNoteIcon(host, dialog, page, 1915),
            "To enable this option you need to uncheck the keep active downloads option.");
  ASSERT_TRUE(Close(host, dialog, IDCANCEL));
}

// Closes message boxes a page may show (its caption is the module's).
void DismissMessageBoxes(HostSim& host, HWND dialog) {
  while (HWND box = WaitForOtherDialog(host, dialog, 300)) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    PostMessageA(box, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !IsWindow(box); }, kDeadlineMs);
  }
}

TEST_F(OptionsPages, CancelAfterEditingEveryPageLeavesTheRegistryAsItWas) {
  PutRawValue(HKEY_CURRENT_USER, kExtKey, "AskExit", REG_DWORD, Dword(1));
  PutRawValue(HKEY_CURRENT_USER, kAcceleratorKey, "SkipQueued", REG_DWORD, Dword(1));
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Title1", REG_SZ, "Editor");
  PutRawValue(HKEY_CURRENT_USER, kToolsKey, "Cmd1", REG_SZ, "notepad.exe");
  PutRawValue(HKEY_CURRENT_USER, kFiltersKey, "Title1", REG_SZ, "Music");
  PutRawValue(HKEY_CURRENT_USER, kFiltersKey, "Filter1", REG_SZ, "*.MP3");
  PutRawValue(HKEY_CURRENT_USER, kFiltersKey, "Action1", REG_DWORD, Dword(0));
  HostSim host;
  const std::string addOn = host.CopyIn(test::TestAddOnLibrary(), "recorder.dll");
  const std::string secondAddOn = host.CopyIn(test::TestAddOnLibrary(), "second.dll");
  PutRawValue(HKEY_LOCAL_MACHINE, kAddOnKey, "Dll1", REG_SZ, addOn);
  StartHost(host);
  const std::string before = ExportSettings();

  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  for (int pageId = 201; pageId <= 206; ++pageId) {
    SCOPED_TRACE(pageId);
    SelectPage(dialog, pageId);
    HWND page = PageOf(dialog, pageId);
    if (!page) {
      // The Tools, File Organizer and Add-on pages come with their own files.
      EXPECT_GE(pageId, 204) << "page " << pageId << " is missing";
      continue;
    }
    switch (pageId) {
      case 201:
        for (int id : {1601, 1602, 1603, 1604, 1605, 1606, 1607, 1609}) Click(page, id);
        ChooseRadio(page, 1133, 1132);
        ChooseComboItem(page, 1608, 1);
        break;
      case 202:
        for (int id : {1501, 1503, 1506, 1508, 1510}) Click(page, id);
        ChooseRadio(page, 1504, 1505);
        break;
      case 203:
        Type(page, 1901, "300");
        Type(page, 1906, "3.5");
        for (int id : {1905, 1907, 1909, 1912, 1914, 1916}) Click(page, id);
        Type(page, 1917, "9");
        break;
      case 204:  // a separator is added to the working list
        PressAsync(page, 2007);
        break;
      case 205:  // the filter is deleted from the working list
        SendDlgItemMessageA(page, 2201, LB_SETCURSEL, 0, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(2201, LBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(page, 2201)));
        PressAsync(page, 2206);
        break;
      case 206:  // a second add-on is added to the working list
        Press(page, 2102);
        Type(page, 2105, secondAddOn);
        PressAsync(page, 2107);
        break;
    }
    DismissMessageBoxes(host, dialog);
    EXPECT_EQ(VisiblePage(dialog), pageId);
  }
  ASSERT_TRUE(Close(host, dialog, IDCANCEL));
  EXPECT_EQ(ExportSettings(), before);
}

TEST_F(OptionsPages, OpeningAndClosingTwoHundredTimesLeaksNoGuiObjects) {
  // Under Wine without a window manager, hiding a managed window waits two seconds
  // for the manager; this host's windows are left unmanaged to keep 200 rounds short.
  const char kWineX11Key[] = "Software\\Wine\\X11 Driver";
  struct Unmanaged {
    const char* key;
    ~Unmanaged() {
      HKEY opened;
      if (RegOpenKeyExA(HKEY_CURRENT_USER, key, 0, KEY_SET_VALUE, &opened) != ERROR_SUCCESS) return;
      RegDeleteValueA(opened, "Managed");
      RegCloseKey(opened);
    }
  } unmanaged{kWineX11Key};
  PutRawValue(HKEY_CURRENT_USER, kWineX11Key, "Managed", REG_SZ, std::string("N\0", 2));
  HostSim host;
  StartHost(host);
  struct Counts {
    long gdi = -1, user = -1, gdiEstimate = -1, userEstimate = -1;
  };
  auto count = [&] {
    Counts c;
    const int before = host.CountLog("gui-objects");
    if (!host.Send("gui-objects") || !host.WaitForLog("gui-objects", kDeadlineMs, before + 1)) return c;
    std::string line = host.LogStartingWith("gui-objects").back().text;
    sscanf(line.c_str(), "gui-objects gdi=%ld user=%ld gdi-estimate=%ld user-estimate=%ld", &c.gdi, &c.user,
           &c.gdiEstimate, &c.userEstimate);
    return c;
  };
  // Posted straight to the main window (as the menu does), to keep 200 rounds short.
  auto cycle = [&] {
    PostMessageA(host.MainWindow(), WM_COMMAND, MAKEWPARAM(kOptionsCommand, 0), 0);
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = HostTopWindow(host, "#32770", kCaption)) != nullptr; },
                   kDeadlineMs, 5))
      return false;
    SelectPage(dialog, 202);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, kDeadlineMs, 5);
  };
  // The first opening loads what stays for the process (classes, shared icons).
  ASSERT_TRUE(cycle());
  ASSERT_TRUE(cycle());
  const Counts first = count();
  for (int i = 0; i < 200; ++i) ASSERT_TRUE(cycle()) << "cycle " << i;
  const Counts last = count();
  ASSERT_GE(first.gdiEstimate, 0);
  if (first.gdi > 0) {  // GetGuiResources works (it answers 0 under Wine)
    EXPECT_LE(last.gdi, first.gdi + 5);
    EXPECT_LE(last.user, first.user + 5);
  }
  // A leak of one object per opening would add 200.
  EXPECT_LE(last.gdiEstimate, first.gdiEstimate + 20) << "GDI objects leak";
  EXPECT_LE(last.userEstimate, first.userEstimate + 20) << "USER objects leak";
}

}  // namespace
}  // namespace va
