// The options dialog end to end: hostsim.exe with the real ch_plug.dll; the dialog
// is opened through the module's commands in the host's menus and driven from this
// process by window messages; the registry is read from outside.
#include "options_e2e_support.h"

namespace va {
namespace {

TEST_F(OptionsEndToEnd, RememberedPageOutsideTheRangeOpensInterfaceAndASelectedPageSurvivesARestart) {
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", REG_DWORD, Dword(7));
  {
    HostSim host;
    StartHost(host);
    HWND dialog = Open(host, kOptionsCommand);
    ASSERT_NE(dialog, nullptr) << "the options dialog did not open";
    EXPECT_EQ(SelectedPage(dialog), 201);
    EXPECT_EQ(VisiblePage(dialog), 201);
    EXPECT_FALSE(IsWindowEnabled(host.MainWindow())) << "the dialog is modal to the host's main window";
    SelectPage(dialog, 205);
    EXPECT_EQ(SelectedPage(dialog), 205);
    ASSERT_TRUE(Close(host, dialog, IDCANCEL));

    dialog = Open(host, kOptionsCommand);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SelectedPage(dialog), 205) << "reopening shows the page shown last";
    SelectPage(dialog, 202);
    ASSERT_TRUE(Close(host, dialog, IDCANCEL));
    ExitHost(host);
  }
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg").bytes, Dword(202));
  HostSim host;
  StartHost(host);
  HWND dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SelectedPage(dialog), 202) << "the remembered page survives a restart";
  EXPECT_EQ(VisiblePage(dialog), 202);
  ASSERT_TRUE(Close(host, dialog, IDCANCEL));
  ExitHost(host);
}

TEST_F(OptionsEndToEnd, AcceleratorOptionsCommandOpensTheAcceleratorPageAndRemembersIt) {
  PutRawValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg", REG_DWORD, Dword(201));
  HostSim host;
  StartHost(host);
  HWND dialog = Open(host, kAccelOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SelectedPage(dialog), 203);
  EXPECT_EQ(VisiblePage(dialog), 203);
  ASSERT_TRUE(Close(host, dialog, IDCANCEL));
  dialog = Open(host, kOptionsCommand);
  ASSERT_NE(dialog, nullptr);
  EXPECT_EQ(SelectedPage(dialog), 203);
  ASSERT_TRUE(Close(host, dialog, IDCANCEL));
  ExitHost(host);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "ConfigDlg").bytes, Dword(203));
}

}  // namespace
}  // namespace va
