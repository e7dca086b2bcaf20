// The spine's routines in-process, where one host run cannot show them: saving the
// add-on list, refusing this module under another spelling of its path, and the
// shutdown steps with the process end recorded instead of done.

#include "extension/core/addon_host.h"
#include "extension/core/module_state.h"
#include "extension/core/shutdown.h"
#include "extension/hostui/main_window.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using namespace va::test;

std::string ListValues() { return ValuesText(HKEY_LOCAL_MACHINE, kAddOnListKey); }

// The list editor saves: numbered text values, nothing when unchanged (case counts),
// at most eight, and an empty list deletes every value and answers 0.
TEST(SpineRoutines, AddOnListSavingWritesOnlyChangesAndKeepsTheLimit) {
  DeleteTree(HKEY_LOCAL_MACHINE, kAddOnListKey);
  AddOnPaths.clear();
  AddOnLastIndex = -1;
  PutRawValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Stray", REG_SZ, Sz("x"));
  EXPECT_EQ(SaveAddOnList({"C:\\one.dll", "C:\\two.dll"}, 1), 1);
  EXPECT_EQ(ListValues(), "Dll1=C:\\one.dll;Dll2=C:\\two.dll;");
  PutRawValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Marker", REG_SZ, Sz("m"));
  EXPECT_EQ(SaveAddOnList({"C:\\one.dll", "C:\\two.dll"}, 1), 0);
  EXPECT_EQ(ListValues(), "Dll1=C:\\one.dll;Dll2=C:\\two.dll;Marker=m;") << "an unchanged list was written";
  EXPECT_EQ(SaveAddOnList({"C:\\one.dll", "C:\\TWO.dll"}, 1), 1);
  EXPECT_EQ(ListValues(), "Dll1=C:\\one.dll;Dll2=C:\\TWO.dll;");
  EXPECT_EQ(SaveAddOnList({"1", "2", "3", "4", "5", "6", "7", "8", "9", "10"}, 9), 1);
  EXPECT_EQ(ListValues(), "Dll1=1;Dll2=2;Dll3=3;Dll4=4;Dll5=5;Dll6=6;Dll7=7;Dll8=8;");
  EXPECT_EQ(SaveAddOnList({}, -1), 0);
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kAddOnListKey) && ListValues().empty()) << ListValues();
  EXPECT_TRUE(AddOnPaths.empty());
  DeleteTree(HKEY_LOCAL_MACHINE, kAddOnListKey);
}

int endings = 0;
UINT endCode = 99;

// The file check takes a path in quotes and releases what it only checks, and
// refuses this module under another spelling of its path. Shutdown puts the host's
// procedure back, releases the add-ons, stores the last state, ends the process
// with 0, and a re-entered unload notification does nothing.
TEST(SpineRoutines, AddOnFileCheckAndShutdownRestoreReleaseStoreAndEndOnce) {
  ClearExtensionSettings();
  SetProcessEnder([](UINT code) { ++endings, endCode = code; });
  HWND frame = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  const LONG_PTR hostProc = GetWindowLongPtrA(frame, GWLP_WNDPROC);
  HostMainWindow = frame;
  PreviousMainProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DefWindowProcA)));
  TempFolder folder;
  const std::string addOn = folder.Join("released.dll");
  ASSERT_TRUE(CopyFileA(TestAddOnLibrary().c_str(), addOn.c_str(), FALSE));
  EXPECT_EQ(CheckAddOnFile(("\"" + addOn + "\"").c_str(), 0), 1u) << "a good library in quotes";
  AddOnPaths = {addOn};
  LoadAddOns();
  ASSERT_EQ(LoadedAddOns.size(), 1u);
  ModuleInstance = LoadedAddOns[0].module;  // pretend the add-on is this module
  EXPECT_EQ(CheckAddOnFile(folder.Join(".\\released.dll").c_str(), 1), 0u) << "the same file under another spelling";
  ModuleInstance = nullptr;

  // Windows ends the session: the system may end the process after this message
  // without unloading the module, so the state is stored now, and once only.
  MainWindowProc(frame, WM_ENDSESSION, TRUE, ENDSESSION_LOGOFF);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").bytes, Sz("0,0,0,0"));
  DeleteTree(HKEY_CURRENT_USER, kLastStateKey);
  ShutdownModule();
  EXPECT_EQ(endings * 100 + endCode, 100u) << "ended once with 0";
  EXPECT_EQ(GetWindowLongPtrA(frame, GWLP_WNDPROC), hostProc);
  EXPECT_EQ(GetModuleHandleA(addOn.c_str()), nullptr) << "the add-on was not released, or a check kept it loaded";
  ShutdownModule();  // the re-entered notification
  EXPECT_EQ(endings, 1);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").exists) << "the state was stored twice";
  SetProcessEnder(nullptr);
  HostMainWindow = nullptr;
  DestroyWindow(frame);
  ClearExtensionSettings();
}

// Add-ons are checked as data and loaded by their full path only: the check runs
// none of a library's code, a bare or relative name is refused even where the
// current folder holds the library, and one without all five calls is refused.
// (A library listed twice, in another case, is called once: the host story.)
TEST(SpineRoutines, AddOnsCheckedAsDataAndLoadedByFullPath) {
  TempFolder folder;
  const std::string addOn = folder.Join("plain.dll"), starts = folder.Join("starts.txt");
  ASSERT_TRUE(CopyFileA(TestAddOnLibrary().c_str(), addOn.c_str(), FALSE));
  SetEnvironmentVariableA("VA_TEST_ADDON_STARTS", starts.c_str());
  char current[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, current);
  SetCurrentDirectoryA(folder.path().c_str());
  const std::vector<UINT_PTR> checks = {CheckAddOnFile(addOn.c_str(), 0), CheckAddOnFile("plain.dll", 1),
                                        CheckAddOnFile(".\\plain.dll", 1), CheckAddOnFile(NoExportsLibrary().c_str(), 0)};
  EXPECT_EQ(checks, std::vector<UINT_PTR>({1, 0, 0, 0}));
  EXPECT_EQ(ReadWholeFile(starts), "") << "a check ran the library's code";
  AddOnPaths = {addOn};
  LoadAddOns();
  EXPECT_EQ(LoadedAddOns.size(), 1u);
  EXPECT_EQ(ReadWholeFile(starts), "started\n");
  UnloadAddOns();
  SetCurrentDirectoryA(current);
  SetEnvironmentVariableA("VA_TEST_ADDON_STARTS", nullptr);
  AddOnPaths.clear();
}

}  // namespace
}  // namespace va
