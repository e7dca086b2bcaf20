// The real wizard program under Wine, driven from this test by window messages:
// the start question and the silent paths, quitting, finishing with profiles,
// the page checks, the "client is running" page, and broken trailers.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

#include "common/registry_store.h"
#include "support/client_keys.h"
#include "support/extension_keys.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"
#include "wizard/resources/resource.h"
#include "wizard/wizard_driver_win.h"

namespace va {
namespace {

using test::Dword;

using test::AnswerMessageBox;
using test::ControlText;
using test::ListValues;
using test::MessageBoxText;
using test::ReadStoredValue;
using test::WizardProcess;

constexpr const char* kWizard = "VAConfigWizard.exe";
constexpr const char* kInstallKey = "Software\\Vexlo\\v-aero";
constexpr const char* kTestsKey = "SOFTWARE\\VATests";
constexpr const char* kStartQuestion =
    "Do you wish to run the Vexlo Aero Configuration Wizard?\nYes:\tRun the wizard.\nNo:\tApply default settings. "
    "This won't overwrite any of your current settings.";
constexpr const char* kInvalidLocation =
    "Please specify a valid location. You also must have read and write rights to the location.";

// Profiles of the default trailer, by position in the list.
constexpr int kProfileNone = 0;        // "N/A"
constexpr int kProfileModem = 1;       // "56K Modem"
constexpr int kProfileAdsl1024 = 8;    // "ADSL 1024/512"
constexpr int kProfileBroadband = 14;  // "High-speed Broadband"

std::string Text(const std::string& text) { return text + std::string(1, '\0'); }

std::string WindowsDrive() {
  char folder[MAX_PATH];
  GetWindowsDirectoryA(folder, MAX_PATH);
  std::string text(folder);
  return text.substr(0, text.find('\\'));
}

class WizardEndToEnd : public testing::Test {
 protected:
  void SetUp() override { test::DeleteTree(HKEY_CURRENT_USER, kTestsKey); test::DeleteTree(HKEY_LOCAL_MACHINE, kTestsKey); }
  void TearDown() override { SetUp(); RemoveDefaultFolder(); }

  static void SetSignatures(uint32_t user, uint32_t machine) {
    if (user) WriteRegDword(HKEY_CURRENT_USER, kInstallKey, "InstallSig", user);
    if (machine) WriteRegDword(HKEY_LOCAL_MACHINE, kInstallKey, "InstallSig", machine);
  }
  static void SetSilentSetup() {
    WriteRegText(HKEY_LOCAL_MACHINE, kInstallKey, "SilentSetup", (test::BesideTest("silent_marker.exe") + " /quiet").c_str());
  }
  static bool SilentSetupRan() { return ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\VATests\\SilentSetup", "Ran").exists; }
  static std::string DefaultFolder() { return WindowsDrive() + "\\My Shared Folder"; }
  static void RemoveDefaultFolder() { RemoveDirectoryA(DefaultFolder().c_str()); }

  // Cancels on the current page and confirms the quit; the program must end with 0.
  static void QuitAndExpectExit(WizardProcess& wizard) {
    wizard.PressCancel();
    HWND box = wizard.WaitForMessageBox();
    ASSERT_NE(box, nullptr);
    EXPECT_NE(MessageBoxText(box).find("Would you like to quit the configuration wizard?"), std::string::npos);
    AnswerMessageBox(box, IDYES);
    DWORD code = 99;
    ASSERT_TRUE(wizard.WaitForExit(code));
    EXPECT_EQ(code, 0u);
  }

  // Walks from the welcome page to the finish page with the given choices.
  static void WalkToFinish(WizardProcess& wizard, const std::string& user, const std::string& network,
                           const std::string& folder, int profile) {
    ASSERT_TRUE(wizard.WaitForSheet());
    ASSERT_TRUE(wizard.WaitForPageWith(IDC_WELCOME_LIST));
    wizard.PressNext();
    ASSERT_TRUE(wizard.WaitForPageWith(IDC_USER_NAME));
    test::SetControlText(wizard.CurrentPage(), IDC_USER_NAME, user);
    test::SetControlText(wizard.CurrentPage(), IDC_NETWORK_NAME, network);
    wizard.PressNext();
    ASSERT_TRUE(wizard.WaitForPageWith(IDC_FOLDER_PATH));
    test::SetControlText(wizard.CurrentPage(), IDC_FOLDER_PATH, folder);
    wizard.PressNext();
    ASSERT_TRUE(wizard.WaitForPageWith(IDC_CONNECTION_LIST));
    if (profile != kProfileNone) test::SelectComboEntry(wizard.CurrentPage(), IDC_CONNECTION_LIST, profile);
    wizard.PressNext();
    ASSERT_TRUE(wizard.WaitForPageWith(IDC_RUN_CLIENT));
  }

  static void FinishAndExpectExit(WizardProcess& wizard) {
    wizard.PressFinish();
    DWORD code = 99;
    ASSERT_TRUE(wizard.WaitForExit(code));
    EXPECT_EQ(code, 0u);
  }

  test::ClientKeys keys_;
};

// --- start-up and the silent paths -------------------------------------------

TEST_F(WizardEndToEnd, NoArgumentsRunsTheWizardWhateverTheSignatures) {
  SetSignatures(5, 7);
  WizardProcess wizard(kWizard);
  ASSERT_TRUE(wizard.started());
  ASSERT_NE(wizard.WaitForSheet(), nullptr) << test::DescribeTopLevelWindows();
  EXPECT_TRUE(wizard.WaitForPageWith(IDC_WELCOME_LIST));
  EXPECT_EQ(ControlText(wizard.CurrentPage(), IDC_TITLE), "Welcome to Vexlo Aero Configuration Wizard!");
  QuitAndExpectExit(wizard);
}

TEST_F(WizardEndToEnd, RunSwitchAsksAndCancelWritesOnlyTheSignature) {
  SetSignatures(5, 7);
  SetSilentSetup();
  WizardProcess wizard(kWizard, "  -varun ");
  HWND box = wizard.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), kStartQuestion);
  AnswerMessageBox(box, IDCANCEL);
  DWORD code = 99;
  ASSERT_TRUE(wizard.WaitForExit(code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kInstallKey, "InstallSig"), 7u);
  std::vector<std::string> expected = {std::string(kInstallKey) + "\\InstallSig=" + Dword(7)};
  EXPECT_EQ(ListValues(HKEY_CURRENT_USER, "Software\\Vexlo"), std::vector<std::string>{"Software\\Vexlo\\v-aero\\InstallSig=" + Dword(7)});
  EXPECT_TRUE(ListValues(HKEY_CURRENT_USER, "Software\\V++").empty());
  EXPECT_FALSE(SilentSetupRan());
}

TEST_F(WizardEndToEnd, RunSwitchNoRunsTheSilentCommandTheScriptAndTheMark) {
  SetSignatures(5, 7);
  SetSilentSetup();
  WizardProcess wizard("wizard_with_script.exe", "-VARUN");
  HWND box = wizard.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  AnswerMessageBox(box, IDNO);
  DWORD code = 99;
  ASSERT_TRUE(wizard.WaitForExit(code));
  EXPECT_EQ(code, 0u);
  EXPECT_TRUE(SilentSetupRan());
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\VATests\\Script", "Text").bytes, Text("hello"));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\VATests\\Script", "Number").bytes, Dword(7));
  test::StoredValue machine = ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\VATests\\Script", "Machine");
  EXPECT_EQ(machine.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(machine.bytes, std::string("\x01\x02\x03\x04", 4));
  // The record before the first key record had no key to go to.
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\VATests\\Script", "Orphan").exists);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kInstallKey, "InstallSig"), 7u);
  // No client path, no user setting.
  EXPECT_EQ(ListValues(HKEY_CURRENT_USER, "Software\\Vexlo").size(), 1u);
  EXPECT_TRUE(ListValues(HKEY_CURRENT_USER, "Software\\V++").empty());
}

TEST_F(WizardEndToEnd, RunSwitchYesRunsTheWizard) {
  SetSignatures(5, 7);
  WizardProcess wizard(kWizard, "-VARUN");
  HWND box = wizard.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  AnswerMessageBox(box, IDYES);
  ASSERT_NE(wizard.WaitForSheet(), nullptr);
  QuitAndExpectExit(wizard);
}

TEST_F(WizardEndToEnd, RunSwitchSkipsTheQuestionForNewOrUpToDateUsers) {
  for (auto [user, machine] : {std::pair<uint32_t, uint32_t>{0, 7}, {7, 7}}) {
    test::ClientKeys::Clear();
    SetSignatures(user, machine);
    WizardProcess wizard(kWizard, "-VARUN");
    ASSERT_NE(wizard.WaitForSheet(), nullptr) << user << "/" << machine;
    EXPECT_TRUE(wizard.NoMessageBoxFor(300));
    QuitAndExpectExit(wizard);
  }
}

// --- quitting -------------------------------------------------------------

TEST_F(WizardEndToEnd, QuitRefusedWithNoKeepsThePage) {
  SetSignatures(9, 7);
  WizardProcess wizard(kWizard);
  ASSERT_NE(wizard.WaitForSheet(), nullptr);
  wizard.PressCancel();
  HWND box = wizard.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  AnswerMessageBox(box, IDNO);
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(box); }));
  EXPECT_TRUE(wizard.WaitForPageWith(IDC_WELCOME_LIST));
  QuitAndExpectExit(wizard);
}

TEST_F(WizardEndToEnd, QuitByANewUserWritesTheDefaultsButNoUserSettings) {
  SetSignatures(0, 7);
  SetSilentSetup();
  WriteRegText(HKEY_LOCAL_MACHINE, kInstallKey, "InstallDir", "C:\\Program Files\\Vexlo\\");
  WizardProcess wizard(kWizard);
  ASSERT_NE(wizard.WaitForSheet(), nullptr);
  QuitAndExpectExit(wizard);
  EXPECT_TRUE(SilentSetupRan());
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir"), DefaultFolder());
  EXPECT_TRUE(test::FolderExists(DefaultFolder()));
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, "Software\\Vexlo\\Skins", "SkinsDir"), "C:\\Program Files\\Vexlo\\Skins");
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, "Software\\V++", "ApplicationName"), "C:\\Program Files\\Vexlo\\Vexlo.vpp");
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, "Software\\V++", "VexloStartPage"), "file://C:\\Program Files\\Vexlo\\web\\start.htm");
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kInstallKey, "InstallSig"), 7u);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\UserDetails", "UserName").exists);
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "NetworkName").exists);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\Transfer", "UploadBandwidth").exists);
  EXPECT_TRUE(ListValues(HKEY_CURRENT_USER, "SOFTWARE\\VAExtensions").empty());
}

TEST_F(WizardEndToEnd, QuitByAUserAheadOfTheMachineWritesNothing) {
  SetSignatures(9, 7);
  SetSilentSetup();
  WizardProcess wizard(kWizard);
  ASSERT_NE(wizard.WaitForSheet(), nullptr);
  const std::vector<std::string> before = ListValues(HKEY_CURRENT_USER, "Software");
  const std::vector<std::string> machineBefore = ListValues(HKEY_LOCAL_MACHINE, "Software\\Vexlo");
  QuitAndExpectExit(wizard);
  EXPECT_EQ(ListValues(HKEY_CURRENT_USER, "Software"), before);
  EXPECT_EQ(ListValues(HKEY_LOCAL_MACHINE, "Software\\Vexlo"), machineBefore);
  EXPECT_FALSE(SilentSetupRan());
}

TEST_F(WizardEndToEnd, QuitByAUserBehindTheMachineOnlyMarks) {
  SetSignatures(5, 7);
  WizardProcess wizard(kWizard);
  ASSERT_NE(wizard.WaitForSheet(), nullptr);
  QuitAndExpectExit(wizard);
  EXPECT_EQ(ListValues(HKEY_CURRENT_USER, "Software\\Vexlo"), std::vector<std::string>{"Software\\Vexlo\\v-aero\\InstallSig=" + Dword(7)});
}

// --- finishing ------------------------------------------------------------

TEST_F(WizardEndToEnd, FinishWithModemWritesItsValuesUnderTheMachineRoot) {
  SetSignatures(0, 7);
  test::TempFolder folder;
  WizardProcess wizard(kWizard);
  WalkToFinish(wizard, "jane doe", "VeXlO", folder.path(), kProfileModem);
  HWND finish = wizard.CurrentPage();
  EXPECT_EQ(ControlText(finish, IDC_FINISH_USER), "jane_doe@VeXlO");
  EXPECT_EQ(ControlText(finish, IDC_FINISH_CONNECTION), "56K Modem");
  SendDlgItemMessageA(finish, IDC_RUN_CLIENT, BM_SETCHECK, BST_UNCHECKED, 0);
  FinishAndExpectExit(wizard);

  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\UserDetails", "UserName"), "jane_doe");
  EXPECT_EQ(ReadRegText(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "NetworkName"), "VeXlO");
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\LocalContent", "DownloadDir"), folder.path());
  const std::vector<std::pair<const char*, const char*>> hkcu = {
      {"SOFTWARE\\Vexlo\\Transfer", "UploadBandwidth"}, {"SOFTWARE\\Vexlo\\Transfer", "ConcurrentDownloads"},
      {"SOFTWARE\\Vexlo\\Transfer", "ConcurrentUploads"}, {"SOFTWARE\\Vexlo\\LocalContent", "DisableSharing"},
      {"SOFTWARE\\Vexlo\\Advanced", "SuperNode"}};
  const uint32_t hkcuValues[] = {24, 2, 2, 0, 1};
  for (size_t i = 0; i < hkcu.size(); ++i) {
    test::StoredValue value = ReadStoredValue(HKEY_CURRENT_USER, hkcu[i].first, hkcu[i].second);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_DWORD)) << hkcu[i].second;
    EXPECT_EQ(value.bytes, Dword(hkcuValues[i])) << hkcu[i].second;
  }
  EXPECT_EQ(ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "MaxFileSources").bytes, Dword(4));
  EXPECT_EQ(ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "FindMoreSourcesTimeLimit").bytes, Dword(60));
  EXPECT_TRUE(ListValues(HKEY_CURRENT_USER, "SOFTWARE\\VAExtensions").empty());
  EXPECT_TRUE(ListValues(HKEY_CURRENT_USER, "SOFTWARE\\V++\\NetworkName").empty());
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\V++", "MaxFileSources").exists);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kInstallKey, "InstallSig"), 7u);
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, "Software\\V++", "ApplicationName"), "\\Vexlo.vpp");  // no InstallDir
}

TEST_F(WizardEndToEnd, FinishWithAdslUnderTheUserRootLeavesSuperNodeAlone) {
  SetSignatures(0, 7);
  WriteRegDword(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "UseHKEY_CURRENT_USER", 1);
  test::TempFolder folder;
  WizardProcess wizard(kWizard);
  WalkToFinish(wizard, "joe", "net", folder.path(), kProfileAdsl1024);
  SendDlgItemMessageA(wizard.CurrentPage(), IDC_RUN_CLIENT, BM_SETCHECK, BST_UNCHECKED, 0);
  FinishAndExpectExit(wizard);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\Transfer", "UploadBandwidth").bytes, Dword(368));
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\Advanced", "SuperNode").exists);
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, "SOFTWARE\\V++", "NetworkName"), "net");
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\V++", "MaxFileSources").bytes, Dword(16));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\V++", "FindMoreSourcesTimeLimit").bytes, Dword(60));
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "NetworkName").exists);
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\V++", "MaxFileSources").exists);
}

TEST_F(WizardEndToEnd, FinishWithTheDefaultProfileWritesTheAcceleratorValues) {
  SetSignatures(0, 7);
  test::TempFolder folder;
  WizardProcess wizard(kWizard);
  WalkToFinish(wizard, "joe", "net", folder.path(), kProfileNone);
  EXPECT_EQ(ControlText(wizard.CurrentPage(), IDC_FINISH_CONNECTION), "N/A");
  SendDlgItemMessageA(wizard.CurrentPage(), IDC_RUN_CLIENT, BM_SETCHECK, BST_UNCHECKED, 0);
  FinishAndExpectExit(wizard);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\Vexlo\\Transfer", "UploadBandwidth").bytes, Dword(0));
  const char* names[] = {"CyclesDelay", "ItemDelay", "SkipPaused", "SkipQueued", "SkipBySpeed",
                         "MinSpeed", "KeepDownloads", "NumDownloadsMin", "NumDownloadsMax"};
  const uint32_t values[] = {600, 40, 1, 1, 1, 500, 0, 3, 5};
  for (size_t i = 0; i < 9; ++i) {
    EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\VAExtensions\\Accelerator", names[i]).bytes, Dword(values[i]))
        << names[i];
  }
}

// --- page checks ------------------------------------------------------------

class WizardPages : public WizardEndToEnd {
 protected:
  void SetUp() override {
    WizardEndToEnd::SetUp();
    SetSignatures(9, 7);  // quitting writes nothing
    process_ = std::make_unique<WizardProcess>(kWizard);
    ASSERT_NE(process_->WaitForSheet(), nullptr) << test::DescribeTopLevelWindows();
    ASSERT_TRUE(process_->WaitForPageWith(IDC_WELCOME_LIST));
  }
  void TearDown() override {
    if (process_ && process_->WaitForSheet(0)) QuitAndExpectExit(*process_);
    process_.reset();
    WizardEndToEnd::TearDown();
  }
  void ToUserPage() {
    process_->PressNext();
    ASSERT_TRUE(process_->WaitForPageWith(IDC_USER_NAME));
  }
  void ToFolderPage() {
    ToUserPage();
    process_->PressNext();
    ASSERT_TRUE(process_->WaitForPageWith(IDC_FOLDER_PATH));
  }
  // Presses Next on the folder page with `path` and expects a message; returns its text.
  std::string NextWithFolderExpectingMessage(const std::string& path, int answer) {
    test::SetControlText(process_->CurrentPage(), IDC_FOLDER_PATH, path);
    process_->PressNext();
    HWND box = process_->WaitForMessageBox();
    if (!box) return "(no message)";
    std::string text = MessageBoxText(box);
    AnswerMessageBox(box, answer);
    test::WaitUntil([&] { return !IsWindow(box); });
    return text;
  }
  std::unique_ptr<WizardProcess> process_;
};

TEST_F(WizardPages, NamesArePrefilledFromTheMetadataAndFiltered) {
  ToUserPage();
  HWND page = process_->CurrentPage();
  EXPECT_EQ(ControlText(page, IDC_USER_NAME), "vexlo.example");
  EXPECT_EQ(ControlText(page, IDC_NETWORK_NAME), "VeXlO");
  test::SetControlText(page, IDC_USER_NAME, "two words here");
  EXPECT_EQ(ControlText(page, IDC_USER_NAME), "two_words_here");
  test::SetControlText(page, IDC_USER_NAME, "me@home");
  EXPECT_EQ(ControlText(page, IDC_USER_NAME), "mehome");
  test::SetControlText(page, IDC_NETWORK_NAME, "a\tb");
  EXPECT_EQ(ControlText(page, IDC_NETWORK_NAME), "ab");
}

TEST_F(WizardPages, EmptyNamesStayOnThePage) {
  ToUserPage();
  HWND page = process_->CurrentPage();
  test::SetControlText(page, IDC_USER_NAME, "@@@");  // filtered to nothing
  EXPECT_EQ(ControlText(page, IDC_USER_NAME), "");
  process_->PressNext();
  EXPECT_TRUE(process_->NoMessageBoxFor(300));
  EXPECT_EQ(process_->CurrentPage(), page);
  test::SetControlText(page, IDC_USER_NAME, "joe");
  test::SetControlText(page, IDC_NETWORK_NAME, "");
  process_->PressNext();
  EXPECT_TRUE(process_->NoMessageBoxFor(300));
  EXPECT_EQ(process_->CurrentPage(), page);
  test::SetControlText(page, IDC_NETWORK_NAME, "net");
  process_->PressNext();
  EXPECT_TRUE(process_->WaitForPageWith(IDC_FOLDER_PATH));
}

TEST_F(WizardPages, FolderFormIsChecked) {
  ToFolderPage();
  HWND page = process_->CurrentPage();
  EXPECT_EQ(ControlText(page, IDC_FOLDER_PATH), DefaultFolder());  // the metadata's, expanded
  EXPECT_EQ(NextWithFolderExpectingMessage("C:", IDOK), kInvalidLocation);
  EXPECT_EQ(process_->CurrentPage(), page);
  EXPECT_EQ(NextWithFolderExpectingMessage("relative\\folder", IDOK), kInvalidLocation);
  EXPECT_EQ(process_->CurrentPage(), page);
  // A network path passes the form test and reaches the existence test.
  const std::string network = NextWithFolderExpectingMessage("\\\\nohost\\noshare\\folder", IDNO);
  EXPECT_NE(network.find("\\\\nohost\\noshare\\folder"), std::string::npos) << network;
  EXPECT_NE(network.find("does not exist!"), std::string::npos) << network;
  EXPECT_EQ(process_->CurrentPage(), page);
  // A drive root exists and is accepted.
  test::SetControlText(page, IDC_FOLDER_PATH, "C:\\");
  process_->PressNext();
  EXPECT_TRUE(process_->WaitForPageWith(IDC_CONNECTION_LIST));
}

TEST_F(WizardPages, MissingFolderIsCreatedOnlyWhenTheUserAgrees) {
  test::TempFolder temp;
  const std::string missing = temp.Join("one\\two\\three");
  ToFolderPage();
  HWND page = process_->CurrentPage();
  EXPECT_NE(process_->CurrentPage(), nullptr);
  std::string question = NextWithFolderExpectingMessage(missing, IDNO);
  EXPECT_EQ(question, "The directory:\n\n" + missing + "\n\ndoes not exist! Would you like to create it?");
  EXPECT_FALSE(test::FolderExists(temp.Join("one")));
  EXPECT_EQ(process_->CurrentPage(), page);
  NextWithFolderExpectingMessage(missing, IDYES);
  EXPECT_TRUE(process_->WaitForPageWith(IDC_CONNECTION_LIST));
  EXPECT_TRUE(test::FolderExists(missing));
  RemoveDirectoryA(missing.c_str());
  RemoveDirectoryA(temp.Join("one\\two").c_str());
  RemoveDirectoryA(temp.Join("one").c_str());
}

TEST_F(WizardPages, FolderPageShowsFreeSpaceAndFixedDrives) {
  ToFolderPage();
  HWND page = process_->CurrentPage();
  test::SetControlText(page, IDC_FOLDER_PATH, "C:\\");
  const std::string free = ControlText(page, IDC_FOLDER_FREE);
  EXPECT_NE(free.find('.'), std::string::npos) << free;
  EXPECT_NE(free, "-");
  test::SetControlText(page, IDC_FOLDER_PATH, "Q:\\no\\such\\drive");
  EXPECT_EQ(ControlText(page, IDC_FOLDER_FREE), "-");
  HWND list = GetDlgItem(page, IDC_DRIVE_LIST);
  const LRESULT rows = SendMessageA(list, LB_GETCOUNT, 0, 0);
  ASSERT_GE(rows, 1);
  wchar_t wide[256] = {};
  SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(wide));
  char row[256] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, row, sizeof row, nullptr, nullptr);
  const std::string first(row);
  EXPECT_EQ(first.substr(0, 4), "C: (") << first;
  EXPECT_NE(first.find(")\t"), std::string::npos) << first;
  EXPECT_NE(SendMessageA(list, LB_GETITEMDATA, 0, 0), 0);  // the drive's icon
}

TEST_F(WizardPages, ConnectionSummaries) {
  ToFolderPage();
  test::SetControlText(process_->CurrentPage(), IDC_FOLDER_PATH, "C:\\");
  process_->PressNext();
  ASSERT_TRUE(process_->WaitForPageWith(IDC_CONNECTION_LIST));
  HWND page = process_->CurrentPage();
  EXPECT_EQ(SendDlgItemMessageA(page, IDC_CONNECTION_LIST, CB_GETCOUNT, 0, 0), 15);
  EXPECT_EQ(SendDlgItemMessageA(page, IDC_CONNECTION_LIST, CB_GETCURSEL, 0, 0), 0);
  test::SelectComboEntry(page, IDC_CONNECTION_LIST, kProfileBroadband);
  EXPECT_EQ(ControlText(page, IDC_CONNECTION_SUMMARY),
            "Maximum uploads:\t\t\t12\nMaximum upload speed:\t\t\tUnlimited\nMaximum downloads:\t\t\t16\n"
            "Maximum sources per download:\t\t20");
  test::SelectComboEntry(page, IDC_CONNECTION_LIST, kProfileModem);
  EXPECT_EQ(ControlText(page, IDC_CONNECTION_SUMMARY),
            "Maximum uploads:\t\t\t2\nMaximum upload speed:\t\t\t3.00 KB/s\nMaximum downloads:\t\t\t2\n"
            "Maximum sources per download:\t\t4");
}

// --- the "client is running" page -----------------------------------------------

// A stand-in host main window of class "VeXlO" that exits on its exit command.
LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == IDM_HOST_EXIT) {
    DestroyWindow(window);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND CreateHostWindow() {
  WNDCLASSA windowClass = {};
  windowClass.lpfnWndProc = HostProc;
  windowClass.hInstance = GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "VeXlO";
  RegisterClassA(&windowClass);
  return CreateWindowExA(0, "VeXlO", "Vexlo Aero", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

TEST_F(WizardPages, RunningClientMustBeClosedBeforeGoingOn) {
  HWND host = CreateHostWindow();
  ASSERT_NE(host, nullptr);
  process_->PressNext();
  ASSERT_TRUE(process_->WaitForPageWith(IDC_CLOSE_CLIENT));
  HWND running = process_->CurrentPage();
  process_->PressNext();  // the client still runs: the page stays
  EXPECT_TRUE(process_->NoMessageBoxFor(300));
  EXPECT_EQ(process_->CurrentPage(), running);
  test::ClickButton(running, IDC_CLOSE_CLIENT);
  ASSERT_TRUE(test::WaitUntil([&] { return !IsWindow(host); }));  // it got the exit command
  process_->PressNext();
  ASSERT_TRUE(process_->WaitForPageWith(IDC_WELCOME_LIST));
  process_->PressNext();
  EXPECT_TRUE(process_->WaitForPageWith(IDC_USER_NAME));
}

TEST_F(WizardPages, BackFromTheRunningPageReturnsToTheWelcomePage) {
  HWND host = CreateHostWindow();
  ASSERT_NE(host, nullptr);
  process_->PressNext();
  ASSERT_TRUE(process_->WaitForPageWith(IDC_CLOSE_CLIENT));
  process_->PressBack();
  EXPECT_TRUE(process_->WaitForPageWith(IDC_WELCOME_LIST));
  DestroyWindow(host);
}

// --- broken trailers --------------------------------------------------------------

class BrokenTrailer : public WizardEndToEnd, public testing::WithParamInterface<const char*> {};

TEST_P(BrokenTrailer, ShowsTheMessageWritesNothingAndEndsWithZero) {
  SetSignatures(5, 7);
  SetSilentSetup();
  const std::vector<std::string> before = ListValues(HKEY_CURRENT_USER, "Software");
  WizardProcess wizard(GetParam(), "-VARUN");
  HWND box = wizard.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), "Can't find meta data!");
  AnswerMessageBox(box, IDOK);
  DWORD code = 99;
  ASSERT_TRUE(wizard.WaitForExit(code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ListValues(HKEY_CURRENT_USER, "Software"), before);
  EXPECT_FALSE(SilentSetupRan());
}

INSTANTIATE_TEST_SUITE_P(Variants, BrokenTrailer,
                         testing::Values("wizard_no_trailer.exe", "wizard_wrong_case.exe",
                                         "wizard_huge_block_size.exe", "wizard_huge_profile_count.exe",
                                         "wizard_text_without_end.exe"));

class FuzzedTrailer : public WizardEndToEnd, public testing::WithParamInterface<const char*> {};

TEST_P(FuzzedTrailer, ShowsTheMessageOrRunsAndEndsWithZero) {
  SetSignatures(9, 7);
  WizardProcess wizard(GetParam());
  HWND box = nullptr, sheet = nullptr;
  ASSERT_TRUE(test::WaitUntil([&] {
    box = wizard.WaitForMessageBox(0);
    sheet = box ? nullptr : wizard.WaitForSheet(0);
    return box || sheet;
  }));
  if (box) {
    EXPECT_EQ(MessageBoxText(box), "Can't find meta data!");
    AnswerMessageBox(box, IDOK);
    DWORD code = 99;
    ASSERT_TRUE(wizard.WaitForExit(code));
    EXPECT_EQ(code, 0u);
  } else {
    QuitAndExpectExit(wizard);
  }
}

INSTANTIATE_TEST_SUITE_P(Variants, FuzzedTrailer,
                         testing::Values("wizard_fuzzed_0.exe", "wizard_fuzzed_1.exe", "wizard_fuzzed_2.exe"));

TEST_F(WizardEndToEnd, ScriptWithoutItsEndIsAppliedUpToTheLastRecord) {
  SetSignatures(5, 7);
  WizardProcess wizard("wizard_script_without_end.exe", "-VARUN");
  HWND box = wizard.WaitForMessageBox();
  ASSERT_NE(box, nullptr);
  AnswerMessageBox(box, IDNO);
  DWORD code = 99;
  ASSERT_TRUE(wizard.WaitForExit(code));
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, "SOFTWARE\\VATests\\Script", "Text").bytes, Text("hello"));
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, kInstallKey, "InstallSig"), 7u);
}

}  // namespace
}  // namespace va
