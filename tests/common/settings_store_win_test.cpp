// The settings store against Wine's real registry, and the placeholder name sets
// against the real registry, shell and environment.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/extension_options.h"
#include "common/placeholders.h"
#include "common/placeholders_win.h"
#include "common/registry_store.h"
#include "support/client_keys.h"
#include "support/extension_keys.h"

namespace va {
namespace {

using test::PutRawValue, test::ReadStoredValue, test::Sz, test::ValuesText;
const HKEY kUser = HKEY_CURRENT_USER, kMachine = HKEY_LOCAL_MACHINE;

// The writers store their exact type and bytes; missing keys read as missing
// values and are never created; the wizard reads texts up to 2047 characters, the
// others whole, up to an inner NUL or the end of the bytes.
TEST(RegistryStore, WritesAndReads) {
  test::ScratchKey scratch(kUser, "RegistryStore");
  const char* key = scratch.path();
  ASSERT_TRUE(WriteRegText(kUser, key, "Text", "abc") && WriteRegText(kUser, key, "Empty", "") &&
              WriteRegDword(kUser, key, "Dword", 0x01020304));
  for (auto [name, type, bytes] : {std::tuple{"Text", REG_SZ, Sz("abc")}, {"Empty", REG_SZ, Sz("")},
                                   {"Dword", REG_DWORD, std::string("\x04\x03\x02\x01")}}) {
    test::StoredValue stored = ReadStoredValue(kUser, key, name);
    EXPECT_TRUE(stored.type == static_cast<DWORD>(type) && stored.bytes == bytes) << name << ": " << stored.bytes;
  }
  EXPECT_EQ(ReadRegText(kUser, key, "Text") + std::to_string(ReadRegDword(kUser, key, "Dword")), "abc16909060");
  const std::string none = scratch.Sub("Nowhere"), parent = scratch.Sub("Parent");
  EXPECT_TRUE(ReadRegText(kUser, none.c_str(), "A").empty() && ReadRegText(kUser, key, "A").empty());
  EXPECT_EQ(ReadRegDword(kUser, none.c_str(), "A") + ReadRegDword(kUser, key, "A"), 0u);
  EXPECT_FALSE(test::KeyExists(kUser, none));
  ASSERT_EQ(WriteRegText(kUser, (parent + "\\Child").c_str(), "v", "1"), 1);  // parents are created
  EXPECT_FALSE(ReadStoredValue(kMachine, parent + "\\Child", "v").exists);    // under the root given only

  // Stores the value "V" and gives the key to read it from.
  auto with = [&](const std::string& bytes) { return PutRawValue(kUser, key, "V", REG_SZ, bytes), key; };
  EXPECT_EQ(ReadRegText(kUser, with(Sz(std::string(2047, 'w'))), "V", RegistryReader::Wizard), std::string(2047, 'w'));
  EXPECT_EQ(ReadRegText(kUser, with(Sz(std::string(2048, 'w'))), "V", RegistryReader::Wizard), "");
  EXPECT_EQ(ReadRegText(kUser, key, "V"), std::string(2048, 'w'));
  EXPECT_EQ(ReadRegText(kUser, with(Sz(std::string(100000, 'L'))), "V"), std::string(100000, 'L'));
  EXPECT_EQ(ReadRegText(kUser, with("abc"), "V", RegistryReader::Wizard), "abc");  // no terminator
  EXPECT_EQ(ReadRegText(kUser, with(std::string("ab\0cd\0", 6)), "V"), "ab");
}

class ExtensionSettings : public testing::Test {
 protected:
  void SetUp() override {
    test::ClearExtensionSettings();
    CurrentOptions = ExtensionOptions{};
    CurrentLastState = LastStateRecord{};
    ClearOptionLiveUpdates();
  }
  void TearDown() override { SetUp(); }
  static void User(const char* name, uint32_t value) { test::PutDword(kUser, kExtensionKey, name, value); }
  static void Machine(const char* name, uint32_t value) { test::PutDword(kMachine, kExtensionKey, name, value); }
};

std::vector<int> updates;
template <int F>
void Hook() {
  updates.push_back(F);
  EXPECT_EQ(OptionNumber(CurrentOptions, static_cast<OptionField>(F)), 1u);  // already copied
}

// Every field is read by its own name, HKCU first and HKLM second, value by value;
// a value in neither root (or of the wrong type or size) leaves the field alone.
TEST_F(ExtensionSettings, LoadFromBothRootsAndSaveToTheUser) {
  const char* flags[] = {"ChangeTrayMenu", "ChangeSystemBtn", "ChangeToolbarBehave", "AskExit", "StartVAInTray",
                         "HideAdBanner", "AddToMainMenu", "ChangeDownloadMenu", "ForceCreation", "NoToolsIcons",
                         "ShowAccelSttInTray", "ChangeFileManagerMenu"};
  for (int i = 0; i < 12; ++i) Machine(flags[i], 0x100 + i % 2);  // flags keep the low byte
  for (int i = 0; i < 12; i += 2) User(flags[i], 0x101);         // the user's wins
  for (int i = 1; i < 12; i += 4) User(flags[i], 0x100);
  Machine("IniTab", 2);
  User("DefaultFileManagerAction", 0x10001);
  Machine("DefaultFileManagerAction", 5);
  PutRawValue(kMachine, kExtensionKey, "TrayIcon", REG_SZ, Sz("C:\\machine.ico"));
  PutRawValue(kUser, kExtensionKey, "TrayIcon", REG_SZ, std::string("C:\\user.ico\0junk\0", 18));
  PutRawValue(kMachine, kExtensionKey, "ToolBarBitmap", REG_SZ, Sz("C:\\bar.bmp"));
  LoadExtensionOptions();
  const ExtensionOptions& o = CurrentOptions;
  const uint8_t got[] = {o.ChangeTrayMenu, o.ChangeSystemBtn, o.ChangeToolbarBehave, o.AskExit, o.StartVAInTray,
                         o.HideAdBanner, o.AddToMainMenu, o.ChangeDownloadMenu, o.ForceCreation, o.NoToolsIcons,
                         o.ShowAccelSttInTray, o.ChangeFileManagerMenu};
  for (int i = 0; i < 12; ++i) EXPECT_EQ(got[i], i % 4 != 1) << flags[i];
  EXPECT_TRUE(o.IniTab == 2 && o.DefaultFileManagerAction == 0x10001 && o.TrayIcon == "C:\\user.ico" &&
              o.ToolBarBitmap == "C:\\bar.bmp") << o.IniTab << " " << o.DefaultFileManagerAction << " " << o.TrayIcon;

  SetUp();
  CurrentOptions.AskExit = 1;
  PutRawValue(kUser, kExtensionKey, "ChangeSystemBtn", REG_SZ, Sz("1"));  // unreadable: the machine's 1 counts
  Machine("ChangeSystemBtn", 1);                                          // and forces ChangeTrayMenu
  PutRawValue(kUser, kExtensionKey, "IniTab", REG_BINARY, std::string(8, '\x02'));
  PutRawValue(kUser, kExtensionKey, "ToolBarBitmap", REG_SZ, std::string(40000, 'x'));
  LoadExtensionOptions();
  EXPECT_TRUE(o.ChangeSystemBtn == 1 && o.ChangeTrayMenu == 1 && o.AskExit == 1 && o.IniTab == 0 &&
              o.ToolBarBitmap.empty());
  User("ChangeSystemBtn", 2);  // only exactly 1 forces it
  CurrentOptions = ExtensionOptions{};
  LoadExtensionOptions();
  EXPECT_EQ(o.ChangeTrayMenu, 0);

  // Saving writes only the changed fields, to HKCU, ChangeSystemBtn first, each
  // followed by the live update of the field's one owner; a remembered window
  // place too long to be one is kept.
  SetUp();
  ASSERT_TRUE(SetOptionLiveUpdate(kOptChangeTrayMenu, Hook<kOptChangeTrayMenu>) &&
              SetOptionLiveUpdate(kOptChangeSystemBtn, Hook<kOptChangeSystemBtn>) &&
              SetOptionLiveUpdate(kOptAskExit, Hook<kOptAskExit>) && SetOptionLiveUpdate(kOptHideAdBanner, Hook<kOptHideAdBanner>) &&
              SetOptionLiveUpdate(kOptHideAdBanner, Hook<kOptHideAdBanner>));   // the same owner again
  EXPECT_FALSE(SetOptionLiveUpdate(kOptHideAdBanner, Hook<kOptAskExit>));  // a second owner: refused, the first runs
  ExtensionOptions next = CurrentOptions;
  next.ChangeTrayMenu = next.ChangeSystemBtn = next.HideAdBanner = 1;
  next.TrayIcon = "t.ico";
  next.IniTab = 3;
  SaveExtensionOptions(next);
  EXPECT_EQ(updates, (std::vector<int>{kOptChangeSystemBtn, kOptChangeTrayMenu, kOptHideAdBanner}));
  EXPECT_EQ(ValuesText(kUser, kExtensionKey), "ChangeSystemBtn#1;ChangeTrayMenu#1;HideAdBanner#1;IniTab#3;TrayIcon=t.ico;");
  EXPECT_EQ(ReadStoredValue(kUser, kExtensionKey, "TrayIcon").bytes, Sz("t.ico")) << "a text is stored with its zero";
  EXPECT_FALSE(test::KeyExists(kMachine, kExtensionKey));
  EXPECT_EQ(CurrentOptions.TrayIcon, "t.ico");
  updates.clear();
  test::ClearExtensionSettings();
  SaveExtensionOptions(next);  // nothing changed since: nothing is written or updated
  EXPECT_TRUE(updates.empty() && ValuesText(kUser, kExtensionKey).empty());

  // (Saving and loading the remembered state is part of the host stories.)
  PutRawValue(kUser, kLastStateKey, "StatusWnd", REG_SZ, Sz(std::string(70, '9')));  // over 63 characters: kept
  CurrentLastState = LastStateRecord{{}, {}, {}, {}, {}, {}, {100, 200, 1, 0}};
  LoadLastState();
  EXPECT_TRUE(LastStateLoaded() && CurrentLastState.StatusWnd.left == 100 && CurrentLastState.StatusWnd.top == 200);
}

std::string Wizard(std::string text) { return ExpandWizardPlaceholders(text), text; }
std::string Extension(std::string text) { return ExpandExtensionPlaceholders(text), text; }

// Each routine's names come from the registry, the Windows folder, the shell
// and the environment, read afresh on every call.
TEST(Placeholders, NameSetsReadTheirSources) {
  test::ClientKeys clean;
  LoadLibraryA("shell32.dll");  // the routine looks only at loaded modules
  EXPECT_EQ(Wizard("[%VAPATH%][%VAROOT%][%MYSHARED%]") + Extension("[%MYSHARED%][%SKINSDIR%]"), "[][][][][]");
  WriteRegText(kMachine, "SOFTWARE\\Vexlo\\v-aero", "InstallDir", "D:\\Apps\\Client\\\\");
  EXPECT_EQ(Wizard("%VAPATH%|%vapath%|%VAROOT%"), "D:\\Apps\\Client\\|D:\\Apps\\Client\\|D:");  // one "\" less
  WriteRegText(kUser, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir", "S:\\");
  WriteRegText(kUser, "SOFTWARE\\Vexlo\\Skins", "SkinsDir", "C:\\Skins");
  EXPECT_EQ(Wizard("%SKINSDIR%|%MYSHARED%\\%WINDIR%"), "%SKINSDIR%|S:\\%WINDIR%");  // trimmed: the scan passes WINDIR
  EXPECT_EQ(Extension("%MYSHARED%a|%SKINSDIR%\\blue"), "S:\\a|C:\\Skins\\blue");
  char program[MAX_PATH], windows[MAX_PATH], personal[MAX_PATH], appData[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  *strrchr(program, '\\') = '\0';
  GetWindowsDirectoryA(windows, MAX_PATH);
  SpecialFolderFn shell = FindSpecialFolderFunction();
  ASSERT_TRUE(shell && shell(nullptr, personal, 0x05, TRUE) && shell(nullptr, appData, 0x1A, TRUE));
  SetEnvironmentVariableA("VA_TEST_FOLDER", "C:\\Temp\\va");
  EXPECT_EQ(Extension("%VAPATH%\\x.exe|%va_test_folder%|%VA_TEST_UNSET%|50%"),
            std::string(program) + "\\x.exe|C:\\Temp\\va|%VA_TEST_UNSET%|50%");
  EXPECT_EQ(Wizard("%WINROOT%\\My Shared Folder|%WinDir%|%PERSONAL%|%APPDATA%|%VA_TEST_FOLDER%"),
            std::string(windows, strchr(windows, '\\')) + "\\My Shared Folder|" + windows + "|" + personal + "|" + appData +
                "|C:\\Temp\\va");
  SetEnvironmentVariableA("VA_TEST_FOLDER", nullptr);
}

}  // namespace
}  // namespace va
