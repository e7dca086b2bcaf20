// The settings store against Wine's real registry, the placeholder name sets
// against the real registry, shell and environment, and the folder, file-size
// and clipboard routines against the real platform.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "common/extension_options.h"
#include "common/placeholders.h"
#include "common/placeholders_win.h"
#include "common/registry_store.h"
#include "common/shared_utils.h"
#include "support/client_keys.h"
#include "support/extension_keys.h"
#include "support/temp_folder.h"

namespace va {
namespace {

using test::Dword;
using test::PutRawValue;
using test::ReadStoredValue;
using test::Sz;
const HKEY kUser = HKEY_CURRENT_USER, kMachine = HKEY_LOCAL_MACHINE;

// Every writer stores its exact type and bytes; the readers take them back by
// their rules; missing keys read as missing values and are never created.
TEST(RegistryStore, WritesReadsAndDeletes) {
  test::ScratchKey scratch(kUser, "RegistryStore");
  const char* key = scratch.path();
  const char blob[] = {1, 0, 2, 0, 3};
  ASSERT_TRUE(WriteRegText(kUser, key, "Text", "abc") && WriteRegText(kUser, key, "Empty", "") &&
              WriteRegDword(kUser, key, "Dword", 0x01020304) && WriteRegBinary(kUser, key, "Blob", blob, 5) &&
              WriteRegNumberText(kUser, key, "Neg", -250) && WriteRegYesNo(kUser, key, "Yes", 1) &&
              WriteRegYesNo(kUser, key, "Two", 2) && WriteRegYesNo(kUser, key, "Zero", 0));
  struct Row { const char* name; DWORD type; std::string bytes; } rows[] = {
      {"Text", REG_SZ, Sz("abc")}, {"Empty", REG_SZ, Sz("")}, {"Dword", REG_DWORD, "\x04\x03\x02\x01"},
      {"Blob", REG_BINARY, std::string(blob, 5)}, {"Neg", REG_SZ, Sz("-250")}, {"Yes", REG_SZ, Sz("Yes")},
      {"Two", REG_SZ, Sz("No")}, {"Zero", REG_SZ, Sz("No")}};
  for (const Row& row : rows) {
    test::StoredValue stored = ReadStoredValue(kUser, key, row.name);
    EXPECT_TRUE(stored.type == row.type && stored.bytes == row.bytes) << row.name << ": " << stored.bytes;
  }
  EXPECT_EQ(ReadRegText(kUser, key, "Text"), "abc");
  EXPECT_EQ(ReadRegDword(kUser, key, "Dword"), 0x01020304u);
  char back[8] = {};
  DWORD count = sizeof back;
  ASSERT_EQ(ReadRegBinary(kUser, key, "Blob", back, &count), 1);
  EXPECT_EQ(std::string(back, count), std::string(blob, 5));
  count = 4;
  EXPECT_EQ(ReadRegBinary(kUser, key, "Blob", back, &count), 0);  // buffer too small

  const std::string none = scratch.Sub("Nowhere"), parent = scratch.Sub("Parent");
  EXPECT_TRUE(ReadRegText(kUser, none.c_str(), "A").empty() && ReadRegText(kUser, key, "A").empty());
  EXPECT_EQ(ReadRegDword(kUser, none.c_str(), "A") + ReadRegDword(kUser, key, "A"), 0u);
  EXPECT_EQ(ReadRegNumberText(kUser, none.c_str(), "A", 11) + ReadRegNumberText(kUser, key, "A", 11), 22);
  EXPECT_EQ(ReadRegYesNo(kUser, none.c_str(), "A", 5), 5);
  EXPECT_FALSE(test::KeyExists(kUser, none));
  EXPECT_EQ(DeleteRegValue(kUser, key, "Text"), 1);
  EXPECT_EQ(DeleteRegValue(kUser, key, "Text") + DeleteRegValue(kUser, none.c_str(), "Text"), 0);
  ASSERT_EQ(WriteRegText(kUser, (parent + "\\Child").c_str(), "v", "1"), 1);  // parents are created
  EXPECT_FALSE(ReadStoredValue(kMachine, parent + "\\Child", "v").exists);    // under the root given only
  EXPECT_EQ(DeleteRegKey(kUser, parent.c_str()), 0);                         // not recursive
  EXPECT_EQ(DeleteRegKey(kUser, (parent + "\\Child").c_str()), 1);
  EXPECT_EQ(DeleteRegKey(kUser, none.c_str()), 0);
  EXPECT_FALSE(test::KeyExists(kUser, parent + "\\Child"));
}

TEST(RegistryStore, ReadersOfStoredTexts) {
  test::ScratchKey scratch(kUser, "RegistryStore");
  const char* key = scratch.path();
  auto put = [&](const std::string& bytes, DWORD type = REG_SZ) { PutRawValue(kUser, key, "V", type, bytes); };
  for (auto [text, value] : {std::pair{"  12", 12}, {"-3", -3}, {"15 kB", 15}, {"2.5x", 3}, {"none", 0}, {"", 99}}) {
    put(Sz(text));
    EXPECT_EQ(ReadRegNumberText(kUser, key, "V", 99), value) << text;
  }
  for (auto [text, value] : {std::pair{"Yes", 1}, {"YES", 1}, {"yEs", 1}, {"No", 0}, {"Yes ", 0}, {"", 5}}) {
    put(Sz(text));
    EXPECT_EQ(ReadRegYesNo(kUser, key, "V", *text ? 1 - value : 5), value) << text;
  }
  put(Sz(std::string(63, '0') + "7"));  // 64 characters: no room for the NUL in the extension's 64 bytes
  EXPECT_EQ(ReadRegNumberText(kUser, key, "V", -1, RegistryReader::Extension), -1);
  EXPECT_EQ(ReadRegNumberText(kUser, key, "V", -1, RegistryReader::Wizard), 7);
  put(Sz(std::string(62, '0') + "7"));
  EXPECT_EQ(ReadRegNumberText(kUser, key, "V", -1, RegistryReader::Extension), 7);
  put(Sz(std::string(2047, 'w')));
  EXPECT_EQ(ReadRegText(kUser, key, "V", RegistryReader::Wizard), std::string(2047, 'w'));
  put(Sz(std::string(2048, 'w')));
  EXPECT_EQ(ReadRegText(kUser, key, "V", RegistryReader::Wizard), "");
  EXPECT_EQ(ReadRegText(kUser, key, "V"), std::string(2048, 'w'));
  put(Sz(std::string(100000, 'L')));
  EXPECT_EQ(ReadRegText(kUser, key, "V"), std::string(100000, 'L'));
  put("abc");  // no terminator
  EXPECT_EQ(ReadRegText(kUser, key, "V", RegistryReader::Wizard), "abc");
  put(std::string("ab\0cd\0", 6));
  EXPECT_EQ(ReadRegText(kUser, key, "V"), "ab");
  put("\x05\x01", REG_BINARY);
  EXPECT_EQ(ReadRegDword(kUser, key, "V"), 0x0105u);
  put(std::string(8, '\x01'), REG_BINARY);
  EXPECT_EQ(ReadRegDword(kUser, key, "V"), 0u);
}

// The switch is read from HKLM only: exactly 1 sends the wizard's writes to HKCU;
// any non-zero value sends the extension module's reads there.
TEST(RegistryStore, SharedRootSwitch) {
  test::ClientKeys clean;
  test::PutDword(kUser, kClientDistributionKey, "UseHKEY_CURRENT_USER", 1);  // not looked at
  for (auto [value, writes, reads] : {std::tuple{-1, kMachine, kMachine}, {0, kMachine, kMachine},
                                      {1, kUser, kUser}, {2, kMachine, kUser}}) {
    if (value >= 0) WriteRegDword(kMachine, kClientDistributionKey, "UseHKEY_CURRENT_USER", value);
    EXPECT_EQ(SharedSettingsRoot(SharedRootUse::WizardWrites), writes) << value;
    EXPECT_EQ(SharedSettingsRoot(SharedRootUse::ExtensionReads), reads) << value;
  }
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

// Every field is read by its own name, HKCU first and HKLM second, value by value;
// a value in neither root (or of the wrong type or size) leaves the field alone.
TEST_F(ExtensionSettings, LoadTakesEachValueFromTheUserThenTheMachine) {
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
}

std::vector<int> updates;
template <int F>
void Hook() {
  updates.push_back(F);
  EXPECT_EQ(OptionNumber(CurrentOptions, static_cast<OptionField>(F)), 1u);  // already copied
}

// Saving writes only the changed fields, to HKCU, ChangeSystemBtn first, each
// followed by its live update; the remembered state is written whole.
TEST_F(ExtensionSettings, SaveWritesOnlyChangedFieldsToTheUser) {
  SetOptionLiveUpdate(kOptChangeTrayMenu, Hook<kOptChangeTrayMenu>);
  SetOptionLiveUpdate(kOptChangeSystemBtn, Hook<kOptChangeSystemBtn>);
  SetOptionLiveUpdate(kOptHideAdBanner, Hook<kOptHideAdBanner>);
  SetOptionLiveUpdate(kOptAskExit, Hook<kOptAskExit>);
  ExtensionOptions next = CurrentOptions;
  next.ChangeTrayMenu = next.ChangeSystemBtn = next.HideAdBanner = 1;
  next.TrayIcon = "t.ico";
  next.IniTab = 3;
  for (int round = 0; round < 2; ++round) {  // the second time nothing changed: nothing is written
    updates.clear();
    test::ClearExtensionSettings();
    SaveExtensionOptions(next);
    EXPECT_EQ(updates, (round ? std::vector<int>{} : std::vector<int>{kOptChangeSystemBtn, kOptChangeTrayMenu, kOptHideAdBanner}));
    EXPECT_EQ(ReadStoredValue(kUser, kExtensionKey, "IniTab").bytes, round ? "" : Dword(3));
  }
  EXPECT_EQ(CurrentOptions.TrayIcon, "t.ico");
  SetUp();
  SaveExtensionOptions(next);
  for (auto [name, bytes] : {std::pair{"ChangeTrayMenu", Dword(1)}, {"ChangeSystemBtn", Dword(1)},
                             {"HideAdBanner", Dword(1)}, {"TrayIcon", Sz("t.ico")}}) {
    test::StoredValue stored = ReadStoredValue(kUser, kExtensionKey, name);
    EXPECT_TRUE(stored.bytes == bytes && stored.type == (*name == 'T' ? REG_SZ : REG_DWORD)) << name;
  }
  EXPECT_FALSE(ReadStoredValue(kUser, kExtensionKey, "AskExit").exists || test::KeyExists(kMachine, kExtensionKey));

  CurrentLastState = {1, 0, 25, 3, 0, 0, {100, 200, 1, 0}, 0, 1};
  SaveLastState();
  EXPECT_EQ(ReadStoredValue(kUser, kLastStateKey, "StatusWnd").bytes, Sz("100,200,1,0"));
  EXPECT_EQ(ReadStoredValue(kUser, kLastStateKey, "Accelerator").bytes, Dword(0));
  EXPECT_EQ(ReadStoredValue(kUser, kLastStateKey, "AutoSearchMoreUnit").bytes, Dword(3));
  CurrentLastState = LastStateRecord{};
  LoadLastState();
  const LastStateRecord& s = CurrentLastState;
  EXPECT_TRUE(LastStateLoaded() && s.SearchOptShow == 1 && s.AutoSearchMoreNum == 25 && s.AutoSearchMoreUnit == 3 &&
              s.StatusWnd.top == 200 && s.StatusWnd.shown == 1 && s.AlwaysOnTop == 1);
  PutRawValue(kUser, kLastStateKey, "StatusWnd", REG_SZ, Sz(std::string(70, '9')));  // over 63 characters: kept
  LoadLastState();
  EXPECT_EQ(s.StatusWnd.left, 100);
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
  std::string noShell;  // a shell without the function: APPDATA falls back to the install folder
  for (std::string text : {"%APPDATA%\\x", "[%PERSONAL%]", "[%DESKTOP%]"})
    noShell += (ExpandPlaceholders(text, WizardPlaceholderRules(nullptr)), text);
  EXPECT_EQ(noShell, "D:\\Apps\\Client\\\\x[][]");
  WriteRegText(kUser, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir", "S:\\");
  WriteRegText(kUser, "SOFTWARE\\Vexlo\\Skins", "SkinsDir", "C:\\Skins");
  EXPECT_EQ(Wizard("%SKINSDIR%|%MYSHARED%\\%WINDIR%"), "%SKINSDIR%|S:\\%WINDIR%");  // trimmed: the scan passes WINDIR
  EXPECT_EQ(Extension("%MYSHARED%a|%SKINSDIR%\\blue"), "S:\\a|C:\\Skins\\blue");

  char program[MAX_PATH], windows[MAX_PATH], personal[MAX_PATH], appData[MAX_PATH], desktop[MAX_PATH];
  GetModuleFileNameA(nullptr, program, MAX_PATH);
  *strrchr(program, '\\') = '\0';
  EXPECT_EQ(Extension("%VAPATH%\\x.exe"), std::string(program) + "\\x.exe");
  GetWindowsDirectoryA(windows, MAX_PATH);
  EXPECT_EQ(Wizard("%WINROOT%\\My Shared Folder|%WinDir%"),
            std::string(windows, strchr(windows, '\\')) + "\\My Shared Folder|" + windows);
  SpecialFolderFn shell = FindSpecialFolderFunction();
  ASSERT_TRUE(shell && shell(nullptr, personal, 0x05, TRUE) && shell(nullptr, appData, 0x1A, TRUE) &&
              shell(nullptr, desktop, 0x10, TRUE));
  EXPECT_EQ(Wizard("%PERSONAL%|%APPDATA%|%DESKTOP%"), std::string(personal) + "|" + appData + "|" + desktop);
  SetEnvironmentVariableA("VA_TEST_FOLDER", "C:\\Temp\\va");
  SetEnvironmentVariableA("VA_TEST_LOOP", "<%VA_TEST_LOOP%>");
  EXPECT_EQ(Wizard("%VA_TEST_FOLDER%\\a|%VA_TEST_UNSET%|50%"), "C:\\Temp\\va\\a|%VA_TEST_UNSET%|50%");
  EXPECT_EQ(Extension("%va_test_folder%|%VA_TEST_LOOP%"), "C:\\Temp\\va|<%VA_TEST_LOOP%>");
  SetEnvironmentVariableA("VA_TEST_FOLDER", nullptr);
  SetEnvironmentVariableA("VA_TEST_LOOP", nullptr);
}

// Folder paths and file sizes at their edges; plain use is covered where the
// wizard creates a nested folder and QuickLinks read sizes and fill the clipboard.
TEST(SharedUtils, FolderPathsAndFileSizes) {
  test::TempFolder temp;
  EXPECT_TRUE(CreateFolderPath(temp.path() + "/x/y") && test::FolderExists(temp.Join("x\\y")));
  EXPECT_TRUE(CreateFolderPath(temp.Join("new\\")) && test::FolderExists(temp.Join("new")));
  EXPECT_FALSE(CreateFolderPath(temp.Join("new\\")) || CreateFolderPath(temp.Join("x\\y")));  // they exist
  test::WriteFileBytes(temp.Join("five"), "12345");
  EXPECT_FALSE(CreateFolderPath(temp.Join("five\\sub")));
  EXPECT_EQ(QueryFileSize(temp.Join("none.bin")), -1);
  HANDLE file = CreateFileA(temp.Join("sparse").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  LARGE_INTEGER size;
  size.QuadPart = (5LL << 30) + 3;
  ASSERT_TRUE(SetFilePointerEx(file, size, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  EXPECT_EQ(QueryFileSize(temp.Join("sparse")), (5LL << 30) + 3);  // the high part counts
}

}  // namespace
}  // namespace va
