// The spine's routines in-process, where one host run cannot show them: saving the
// add-on list, refusing this module under another spelling of its path, and the
// shutdown steps with the process end recorded instead of done.
#include <windows.h>

#include <gtest/gtest.h>

#include "extension/core/addon_host.h"
#include "extension/core/module_state.h"
#include "extension/core/shutdown.h"
#include "support/extension_keys.h"
#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

using test::ReadStoredValue;

int ValueCount(const char* key) {
  HKEY handle;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &handle) != ERROR_SUCCESS) return -1;
  DWORD count = 0;
  RegQueryInfoKeyA(handle, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(handle);
  return static_cast<int>(count);
}

// The list editor saves: numbered text values, nothing when unchanged (case counts),
// at most eight, and an empty list deletes every value and answers 0.
TEST(SpineRoutines, AddOnListSavingWritesOnlyChangesAndKeepsTheLimit) {
  test::DeleteTree(HKEY_LOCAL_MACHINE, kAddOnListKey);
  AddOnPaths.clear();
  AddOnLastIndex = -1;
  test::PutRawValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Stray", REG_SZ, test::Sz("x"));
  EXPECT_EQ(SaveAddOnList({"C:\\one.dll", "C:\\two.dll"}, 1), 1);
  EXPECT_EQ(ValueCount(kAddOnListKey), 2);
  test::StoredValue second = ReadStoredValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Dll2");
  EXPECT_EQ(second.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(second.bytes.substr(0, second.bytes.find('\0')), "C:\\two.dll");

  test::PutRawValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Marker", REG_SZ, test::Sz("left alone"));
  EXPECT_EQ(SaveAddOnList({"C:\\one.dll", "C:\\two.dll"}, 1), 0);
  EXPECT_TRUE(ReadStoredValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Marker").exists) << "an unchanged list was written";
  EXPECT_EQ(SaveAddOnList({"C:\\one.dll", "C:\\TWO.dll"}, 1), 1);
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Marker").exists);

  std::vector<std::string> ten;
  for (int i = 0; i < 10; ++i) ten.push_back("p" + std::to_string(i));
  EXPECT_EQ(SaveAddOnList(ten, 9), 1);
  EXPECT_EQ(ValueCount(kAddOnListKey), 8);
  EXPECT_EQ(SaveAddOnList({"only"}, 5), 1);  // an index past the list is cut to it
  EXPECT_EQ(ValueCount(kAddOnListKey), 1);

  EXPECT_EQ(SaveAddOnList({}, -1), 0);
  EXPECT_EQ(ValueCount(kAddOnListKey), 0);
  EXPECT_TRUE(AddOnPaths.empty());
  test::DeleteTree(HKEY_LOCAL_MACHINE, kAddOnListKey);
}

TEST(SpineRoutines, AddOnFileCheckRefusesThisModuleByHandleAndReleasesWhatItOnlyChecks) {
  test::TempFolder folder;
  const std::string self = folder.Join("self.dll");
  ASSERT_TRUE(CopyFileA(test::TestAddOnLibrary().c_str(), self.c_str(), FALSE));
  HMODULE loaded = LoadLibraryA(self.c_str());
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(CheckAddOnFile(("\"" + self + "\"").c_str(), 0), 1u) << "a good library in quotes";
  ModuleInstance = loaded;  // pretend the good library is this module
  const std::string otherSpelling = folder.Join(".\\self.dll");
  EXPECT_EQ(CheckAddOnFile(otherSpelling.c_str(), 1), 0u) << otherSpelling;
  ModuleInstance = nullptr;
  FreeLibrary(loaded);
  EXPECT_EQ(GetModuleHandleA(self.c_str()), nullptr) << "a check in mode 0 or a refusal kept the library loaded";
}

int endings = 0;
UINT endCode = 99;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}
LRESULT CALLBACK ModuleProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return CallWindowProcA(HostProc, window, message, wParam, lParam);
}

// Shutdown puts the host's procedure back, releases the add-ons, stores the last
// state, reads the purge switch from the root UseHKEY_CURRENT_USER chooses, ends
// the process with 0, and a re-entered unload notification does nothing.
TEST(SpineRoutines, ShutdownRestoreReleaseStoreAndEndOnce) {
  const char kDistributionKey[] = "SOFTWARE\\V++", kSearchKey[] = "SOFTWARE\\Vexlo\\Search";
  test::ClearExtensionSettings();
  test::DeleteTree(HKEY_CURRENT_USER, kSearchKey);
  test::PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", 2);
  test::PutDword(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", 1);  // not read: the user's counts
  test::PutDword(HKEY_CURRENT_USER, kSearchKey, "kept", 1);
  SetProcessEnder([](UINT code) {
    ++endings;
    endCode = code;
  });
  WNDCLASSA cls = {};
  cls.lpfnWndProc = HostProc;
  cls.lpszClassName = "VaShutdownFrame";
  RegisterClassA(&cls);
  HWND frame = CreateWindowExA(0, cls.lpszClassName, "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(frame, nullptr);
  HostMainWindow = frame;
  PreviousMainProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(frame, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ModuleProc)));
  test::TempFolder folder;
  const std::string addOn = folder.Join("released.dll");
  ASSERT_TRUE(CopyFileA(test::TestAddOnLibrary().c_str(), addOn.c_str(), FALSE));
  AddOnPaths = {addOn};
  LoadAddOns();
  ASSERT_EQ(LoadedAddOns.size(), 1u);

  ShutdownModule();
  EXPECT_EQ(endings, 1);
  EXPECT_EQ(endCode, 0u);
  EXPECT_EQ(GetWindowLongPtrA(frame, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(HostProc));
  EXPECT_EQ(GetModuleHandleA(addOn.c_str()), nullptr) << "the add-on was not released";
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, test::kLastStateKey, "StatusWnd").bytes, test::Sz("0,0,0,0"));
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "kept").exists) << "purged by the machine's switch";

  test::PutDword(HKEY_CURRENT_USER, kDistributionKey, "PurgeSearchesOnExit", 1);
  ShutdownModule();  // the re-entered notification
  EXPECT_EQ(endings, 1);
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "kept").exists);
  SetProcessEnder([](UINT) { ++endings; });  // allows one more run, now with the user's switch on
  ShutdownModule();
  EXPECT_EQ(endings, 2);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "kept").exists);

  SetProcessEnder(nullptr);
  HostMainWindow = nullptr;
  DestroyWindow(frame);
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) test::DeleteTree(root, kDistributionKey);
  test::DeleteTree(HKEY_CURRENT_USER, kSearchKey);
  test::ClearExtensionSettings();
}

}  // namespace
}  // namespace va
