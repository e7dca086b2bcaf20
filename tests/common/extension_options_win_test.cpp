// Loading and saving the extension module's options and remembered state against
// the real registry: value-by-value override, the forced tray menu, saving only
// what changed (in save order, with the live update after the copy), bad values.
#include "common/extension_options.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/extension_keys.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

using test::Dword;

using test::PutRawValue;
using test::ReadStoredValue;

class ExtensionSettings : public testing::Test {
 protected:
  void SetUp() override {
    Clean();
    CurrentOptions = ExtensionOptions{};
    CurrentLastState = LastStateRecord{};
    for (auto& hook : OptionLiveUpdates) hook = nullptr;
  }
  void TearDown() override {
    Clean();
    for (auto& hook : OptionLiveUpdates) hook = nullptr;
  }
  static void Clean() {
    test::DeleteTree(HKEY_CURRENT_USER, kExtensionKey);
    test::DeleteTree(HKEY_LOCAL_MACHINE, kExtensionKey);
  }
  static void User(const char* name, DWORD type, const std::string& bytes) {
    PutRawValue(HKEY_CURRENT_USER, kExtensionKey, name, type, bytes);
  }
  static void Machine(const char* name, DWORD type, const std::string& bytes) {
    PutRawValue(HKEY_LOCAL_MACHINE, kExtensionKey, name, type, bytes);
  }
};

TEST_F(ExtensionSettings, UserValuesOverrideMachineValuesOneByOne) {
  Machine("AskExit", REG_DWORD, Dword(1));
  User("AskExit", REG_DWORD, Dword(0));
  Machine("HideAdBanner", REG_DWORD, Dword(1));  // missing for the user: the machine's counts
  Machine("TrayIcon", REG_SZ, std::string("C:\\machine.ico\0", 15));
  User("TrayIcon", REG_SZ, std::string("C:\\user.ico\0", 12));
  Machine("ToolBarBitmap", REG_SZ, std::string("C:\\bar.bmp\0", 11));
  Machine("IniTab", REG_DWORD, Dword(2));
  LoadExtensionOptions();
  EXPECT_EQ(CurrentOptions.AskExit, 0);
  EXPECT_EQ(CurrentOptions.HideAdBanner, 1);
  EXPECT_EQ(CurrentOptions.TrayIcon, "C:\\user.ico");
  EXPECT_EQ(CurrentOptions.ToolBarBitmap, "C:\\bar.bmp");
  EXPECT_EQ(CurrentOptions.IniTab, 2u);
  EXPECT_EQ(CurrentOptions.ForceCreation, 0);
}

TEST_F(ExtensionSettings, ChangeSystemBtnOneForcesChangeTrayMenu) {
  User("ChangeSystemBtn", REG_DWORD, Dword(1));
  User("ChangeTrayMenu", REG_DWORD, Dword(0));
  LoadExtensionOptions();
  EXPECT_EQ(CurrentOptions.ChangeSystemBtn, 1);
  EXPECT_EQ(CurrentOptions.ChangeTrayMenu, 1);

  CurrentOptions = ExtensionOptions{};
  User("ChangeSystemBtn", REG_DWORD, Dword(2));  // only exactly 1 forces it
  LoadExtensionOptions();
  EXPECT_EQ(CurrentOptions.ChangeTrayMenu, 0);
}

TEST_F(ExtensionSettings, FlagsKeepTheLowByteAndTextsAreCutAtTheirFirstNul) {
  User("AskExit", REG_DWORD, Dword(0x101));
  User("StartVAInTray", REG_DWORD, Dword(0x100));
  User("TrayIcon", REG_SZ, std::string("a.ico\0junk\0", 11));
  User("DefaultFileManagerAction", REG_DWORD, Dword(0x10001));
  LoadExtensionOptions();
  EXPECT_EQ(CurrentOptions.AskExit, 1);
  EXPECT_EQ(CurrentOptions.StartVAInTray, 0);
  EXPECT_EQ(CurrentOptions.TrayIcon, "a.ico");
  EXPECT_EQ(CurrentOptions.DefaultFileManagerAction, 0x10001u);
}

TEST_F(ExtensionSettings, ValuesOfTheWrongTypeOrSizeAreUnreadable) {
  User("AskExit", REG_SZ, std::string("1\0", 2));
  Machine("AskExit", REG_DWORD, Dword(1));        // so the machine's value is used
  User("IniTab", REG_BINARY, std::string(8, '\x02'));
  User("ForceCreation", REG_BINARY, std::string("\x01", 1));
  User("TrayIcon", REG_DWORD, Dword(7));
  User("ToolBarBitmap", REG_SZ, std::string(40000, 'x'));
  User("HideAdBanner", REG_DWORD, "");
  LoadExtensionOptions();
  EXPECT_EQ(CurrentOptions.AskExit, 1);
  EXPECT_EQ(CurrentOptions.IniTab, 0u);
  EXPECT_EQ(CurrentOptions.ForceCreation, 0);
  EXPECT_EQ(CurrentOptions.TrayIcon, "");
  EXPECT_EQ(CurrentOptions.ToolBarBitmap, "");
  EXPECT_EQ(CurrentOptions.HideAdBanner, 0);
}

TEST_F(ExtensionSettings, MissingKeysKeepDefaults) {
  CurrentOptions.AskExit = 1;  // whatever was there stays
  LoadExtensionOptions();
  EXPECT_EQ(CurrentOptions.AskExit, 1);
  LoadLastState();
  EXPECT_EQ(CurrentLastState.StatusDlg, 0u);
}

std::vector<int> updates;
void Record(int field) { updates.push_back(field); }
template <int F>
void Hook() {
  // The live update sees the new value already in place.
  if (F == kOptHideAdBanner) {
    EXPECT_EQ(CurrentOptions.HideAdBanner, 1);
  }
  Record(F);
}

TEST_F(ExtensionSettings, SaveWritesOnlyChangedFieldsAndUpdatesAfterTheCopy) {
  updates.clear();
  OptionLiveUpdates[kOptHideAdBanner] = Hook<kOptHideAdBanner>;
  OptionLiveUpdates[kOptTrayIcon] = Hook<kOptTrayIcon>;
  OptionLiveUpdates[kOptChangeSystemBtn] = Hook<kOptChangeSystemBtn>;
  OptionLiveUpdates[kOptChangeTrayMenu] = Hook<kOptChangeTrayMenu>;
  ExtensionOptions next = CurrentOptions;
  next.HideAdBanner = 1;
  next.TrayIcon = "t.ico";
  next.ChangeTrayMenu = 1;
  next.ChangeSystemBtn = 1;
  next.IniTab = 1;
  SaveExtensionOptions(next);
  EXPECT_EQ(updates, (std::vector<int>{kOptChangeSystemBtn, kOptChangeTrayMenu, kOptHideAdBanner, kOptTrayIcon}));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kExtensionKey, "HideAdBanner").bytes, Dword(1));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kExtensionKey, "TrayIcon").bytes, std::string("t.ico\0", 6));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kExtensionKey, "TrayIcon").type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kExtensionKey, "IniTab").bytes, Dword(1));
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kExtensionKey, "AskExit").exists);
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kExtensionKey, "IniTab").exists);
  EXPECT_EQ(CurrentOptions.TrayIcon, "t.ico");

  // The same record again: nothing is written, nothing updated.
  test::DeleteTree(HKEY_CURRENT_USER, kExtensionKey);
  updates.clear();
  SaveExtensionOptions(next);
  EXPECT_TRUE(updates.empty());
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kExtensionKey, "IniTab").exists);
}

TEST_F(ExtensionSettings, LastStateIsWrittenWholeAndReadBack) {
  CurrentLastState.SearchOptShow = 1;
  CurrentLastState.AutoSearchMoreNum = 25;
  CurrentLastState.AutoSearchMoreUnit = 3;
  CurrentLastState.StatusWnd = {100, 200, 1, 0};
  CurrentLastState.AlwaysOnTop = 1;
  SaveLastState();
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").bytes, std::string("100,200,1,0\0", 12));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "Accelerator").bytes, Dword(0));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "AutoSearchMoreUnit").type, static_cast<DWORD>(REG_DWORD));
  CurrentLastState = LastStateRecord{};
  LoadLastState();
  EXPECT_TRUE(LastStateLoaded());
  EXPECT_EQ(CurrentLastState.SearchOptShow, 1);
  EXPECT_EQ(CurrentLastState.AutoSearchMoreNum, 25u);
  EXPECT_EQ(CurrentLastState.StatusWnd.top, 200);
  EXPECT_EQ(CurrentLastState.StatusWnd.shown, 1);
  EXPECT_EQ(CurrentLastState.AlwaysOnTop, 1);
}

TEST_F(ExtensionSettings, LastStateReadsShortAndOversizedPlaces) {
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, std::string("10,20\0", 6));
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", REG_SZ, std::string("3\0", 2));
  LoadLastState();
  EXPECT_EQ(CurrentLastState.StatusWnd.left, 10);
  EXPECT_EQ(CurrentLastState.StatusWnd.top, 20);
  EXPECT_EQ(CurrentLastState.StatusWnd.shown, 0);
  EXPECT_EQ(CurrentLastState.ConfigDlg, 0u);
  // More than 63 characters does not fit the place's buffer: the field stays.
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd", REG_SZ, std::string(70, '9') + std::string(1, '\0'));
  LoadLastState();
  EXPECT_EQ(CurrentLastState.StatusWnd.left, 10);
}

}  // namespace
}  // namespace va
