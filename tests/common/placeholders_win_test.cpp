// Both placeholder routines against the real registry, Windows folder, shell
// special folders and environment.
#include "common/placeholders.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/placeholders_win.h"
#include "common/registry_store.h"
#include "support/client_keys.h"

namespace va {
namespace {

constexpr const char* kInstallKey = "SOFTWARE\\Vexlo\\v-aero";
constexpr const char* kLocalContentKey = "SOFTWARE\\Vexlo\\LocalContent";

std::string Wizard(std::string text) {
  ExpandWizardPlaceholders(text);
  return text;
}

std::string Extension(std::string text) {
  ExpandExtensionPlaceholders(text);
  return text;
}

std::string WindowsFolder() {
  char buffer[MAX_PATH];
  GetWindowsDirectoryA(buffer, MAX_PATH);
  return buffer;
}

class Placeholders : public testing::Test {
 protected:
  void SetUp() override { LoadLibraryA("shell32.dll"); }  // the routine looks only at loaded modules
  test::ClientKeys keys_;
};

TEST_F(Placeholders, WizardInstallFolderLosesOneTrailingBackslash) {
  WriteRegText(HKEY_LOCAL_MACHINE, kInstallKey, "InstallDir", "D:\\Apps\\Client\\");
  EXPECT_EQ(Wizard("%VAPATH%\\x"), "D:\\Apps\\Client\\x");
  EXPECT_EQ(Wizard("%vapath%\\x"), "D:\\Apps\\Client\\x");
  EXPECT_EQ(Wizard("%VAROOT%"), "D:");
  WriteRegText(HKEY_LOCAL_MACHINE, kInstallKey, "InstallDir", "D:\\Apps\\Client\\\\");
  EXPECT_EQ(Wizard("%VAPATH%"), "D:\\Apps\\Client\\");  // only one is removed
}

TEST_F(Placeholders, MissingRegistryValuesExpandToNothing) {
  EXPECT_EQ(Wizard("[%VAPATH%][%VAROOT%][%MYSHARED%]"), "[][][]");
  EXPECT_EQ(Extension("[%MYSHARED%][%SKINSDIR%]"), "[][]");
}

TEST_F(Placeholders, WindowsFolderAndItsDrive) {
  const std::string windows = WindowsFolder();
  const std::string drive = windows.substr(0, windows.find('\\'));
  EXPECT_EQ(Wizard("%WINROOT%\\My Shared Folder"), drive + "\\My Shared Folder");
  EXPECT_EQ(Wizard("%WinDir%"), windows);
}

TEST_F(Placeholders, SharedFolderIsTrimmedForTheWizardOnly) {
  WriteRegText(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir", "E:\\Shared\\Down\\");
  EXPECT_EQ(Wizard("%MYSHARED%\\a"), "E:\\Shared\\Down\\a");
  EXPECT_EQ(Extension("%MYSHARED%a"), "E:\\Shared\\Down\\a");
}

TEST_F(Placeholders, WizardSharedFolderShorterThanItsPlaceholderHidesTheNextOne) {
  WriteRegText(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir", "S:\\");
  EXPECT_EQ(Wizard("%MYSHARED%\\%WINDIR%"), "S:\\%WINDIR%");
}

TEST_F(Placeholders, ExtensionSkinsFolderAndProgramFolder) {
  WriteRegText(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\Skins", "SkinsDir", "C:\\Skins");
  EXPECT_EQ(Extension("%SKINSDIR%\\blue"), "C:\\Skins\\blue");
  char path[MAX_PATH];
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  folder.resize(folder.rfind('\\'));
  EXPECT_EQ(Extension("%VAPATH%\\x.exe"), folder + "\\x.exe");
  // The wizard set does not know SKINSDIR; the extension set does not know WINDIR.
  EXPECT_EQ(Wizard("%SKINSDIR%"), "%SKINSDIR%");
  EXPECT_EQ(Extension("%WINDIR%"), ReadEnvironmentText("WINDIR").empty() ? "%WINDIR%" : ReadEnvironmentText("WINDIR"));
}

TEST_F(Placeholders, SpecialFoldersComeFromTheShell) {
  SpecialFolderFn shell = FindSpecialFolderFunction();
  ASSERT_NE(shell, nullptr);
  char personal[MAX_PATH] = {}, appData[MAX_PATH] = {}, desktop[MAX_PATH] = {};
  ASSERT_TRUE(shell(nullptr, personal, 0x05, TRUE));
  ASSERT_TRUE(shell(nullptr, appData, 0x1A, TRUE));
  ASSERT_TRUE(shell(nullptr, desktop, 0x10, TRUE));
  EXPECT_EQ(Wizard("%PERSONAL%|%APPDATA%|%DESKTOP%"), std::string(personal) + "|" + appData + "|" + desktop);
}

TEST_F(Placeholders, WithoutTheShellFunctionAppDataFallsBackToTheInstallFolder) {
  WriteRegText(HKEY_LOCAL_MACHINE, kInstallKey, "InstallDir", "D:\\Apps\\Client\\");
  const PlaceholderRules rules = WizardPlaceholderRules(nullptr);
  std::string appData = "%APPDATA%\\x", personal = "[%PERSONAL%]", desktop = "[%DESKTOP%]";
  ExpandPlaceholders(appData, rules);
  ExpandPlaceholders(personal, rules);
  ExpandPlaceholders(desktop, rules);
  EXPECT_EQ(appData, "D:\\Apps\\Client\\x");
  EXPECT_EQ(personal, "[]");
  EXPECT_EQ(desktop, "[]");
}

TEST_F(Placeholders, EnvironmentVariablesForOtherNames) {
  SetEnvironmentVariableA("VA_TEST_FOLDER", "C:\\Temp\\va");
  SetEnvironmentVariableA("VA_TEST_UNSET", nullptr);
  EXPECT_EQ(Wizard("%VA_TEST_FOLDER%\\a"), "C:\\Temp\\va\\a");
  EXPECT_EQ(Extension("%va_test_folder%\\a"), "C:\\Temp\\va\\a");
  EXPECT_EQ(Wizard("%VA_TEST_UNSET%\\a"), "%VA_TEST_UNSET%\\a");
  EXPECT_EQ(Wizard("50%"), "50%");
  SetEnvironmentVariableA("VA_TEST_FOLDER", nullptr);
}

TEST_F(Placeholders, VariableNamingItselfEnds) {
  SetEnvironmentVariableA("VA_TEST_LOOP", "<%VA_TEST_LOOP%>");
  EXPECT_EQ(Wizard("%VA_TEST_LOOP%"), "<%VA_TEST_LOOP%>");
  EXPECT_EQ(Extension("%VA_TEST_LOOP%"), "<%VA_TEST_LOOP%>");
  SetEnvironmentVariableA("VA_TEST_LOOP", nullptr);
}

TEST_F(Placeholders, SourcesAreReadAfreshOnEveryCall) {
  WriteRegText(HKEY_LOCAL_MACHINE, kInstallKey, "InstallDir", "C:\\One");
  EXPECT_EQ(Wizard("%VAPATH%"), "C:\\One");
  WriteRegText(HKEY_LOCAL_MACHINE, kInstallKey, "InstallDir", "C:\\Two");
  EXPECT_EQ(Wizard("%VAPATH%"), "C:\\Two");
}

}  // namespace
}  // namespace va
