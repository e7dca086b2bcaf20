// The add-on list and library checks in-process: enumeration order and the rules
// for names, types and the limit; saving only a changed list; the checks a file
// must pass to be loaded.
#include "extension/core/addon_host.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "extension/core/module_state.h"
#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

using test::PutRawValue;
using test::ReadStoredValue;

class AddOnList : public testing::Test {
 protected:
  void SetUp() override {
    test::DeleteTree(HKEY_LOCAL_MACHINE, kAddOnListKey);
    AddOnPaths.clear();
    AddOnLastIndex = -1;
  }
  void TearDown() override { test::DeleteTree(HKEY_LOCAL_MACHINE, kAddOnListKey); }
  static void Put(const char* name, const std::string& text, DWORD type = REG_SZ) {
    PutRawValue(HKEY_LOCAL_MACHINE, kAddOnListKey, name, type, text);
  }
  static int CountValues() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kAddOnListKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return -1;
    DWORD count = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<int>(count);
  }
};

TEST_F(AddOnList, MissingKeyGivesAnEmptyList) {
  AddOnPaths = {"stale"};
  EXPECT_EQ(LoadAddOnList(), -1);
  EXPECT_TRUE(AddOnPaths.empty());
}

TEST_F(AddOnList, TakesDllNamedTextValuesOnly) {
  Put("Dll1", "a.dll");                       // written without a terminator
  Put("Dll2", std::string("b.dll\0", 6));      // and with one
  Put("dll3", "lower.dll");                   // another case: ignored
  Put("Dll4", std::string("exp.dll\0", 8), REG_EXPAND_SZ);
  Put("Other", "other.dll");
  Put("DllX", "x.dll");                       // only the first three letters count
  EXPECT_EQ(LoadAddOnList(), 2);
  EXPECT_EQ(AddOnPaths, (std::vector<std::string>{"a.dll", "b.dll", "x.dll"}));
  EXPECT_EQ(AddOnLastIndex, 2);
}

TEST_F(AddOnList, KeepsTheFirstEightInEnumerationOrder) {
  for (int i = 1; i <= 9; ++i) Put(("Dll" + std::to_string(i)).c_str(), "p" + std::to_string(i));
  EXPECT_EQ(LoadAddOnList(), 7);
  ASSERT_EQ(AddOnPaths.size(), 8u);
  EXPECT_EQ(AddOnPaths.front(), "p1");
  EXPECT_EQ(AddOnPaths.back(), "p8");
}

// The value's text up to its terminator. The list passes the bare character count;
// the system itself then counts the terminator that follows in memory.
std::string StoredText(const char* name) {
  std::string bytes = ReadStoredValue(HKEY_LOCAL_MACHINE, kAddOnListKey, name).bytes;
  return bytes.substr(0, bytes.find('\0'));
}

TEST_F(AddOnList, SavingRewritesTheKeyWithNumberedTextValues) {
  Put("Stray", "x");
  EXPECT_EQ(SaveAddOnList({"C:\\one.dll", "C:\\two.dll"}, 1), 1);
  EXPECT_EQ(CountValues(), 2);
  test::StoredValue first = ReadStoredValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Dll1");
  EXPECT_EQ(first.type, static_cast<DWORD>(REG_SZ));
  EXPECT_LE(first.bytes.size(), std::string("C:\\one.dll").size() + 1);
  EXPECT_EQ(StoredText("Dll1"), "C:\\one.dll");
  EXPECT_EQ(StoredText("Dll2"), "C:\\two.dll");
  EXPECT_EQ(AddOnLastIndex, 1);
  EXPECT_EQ(LoadAddOnList(), 1);
  EXPECT_EQ(AddOnPaths[1], "C:\\two.dll");
}

TEST_F(AddOnList, SavingAnUnchangedListWritesNothing) {
  ASSERT_EQ(SaveAddOnList({"a.dll", "b.dll"}, 1), 1);
  Put("Marker", "left alone");
  EXPECT_EQ(SaveAddOnList({"a.dll", "b.dll"}, 1), 0);
  EXPECT_TRUE(ReadStoredValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Marker").exists);
  // A difference in case is a change.
  EXPECT_EQ(SaveAddOnList({"a.dll", "B.dll"}, 1), 1);
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kAddOnListKey, "Marker").exists);
}

TEST_F(AddOnList, SavingAnEmptyListDeletesEveryValueAndAnswersZero) {
  ASSERT_EQ(SaveAddOnList({"a.dll", "b.dll", "c.dll"}, 2), 1);
  Put("dllx", "foreign");
  EXPECT_EQ(SaveAddOnList({}, -1), 0);
  EXPECT_EQ(CountValues(), 0);
  EXPECT_EQ(AddOnLastIndex, -1);
  EXPECT_TRUE(AddOnPaths.empty());
}

TEST_F(AddOnList, SavingNeverWritesMoreThanGivenOrMoreThanEight) {
  std::vector<std::string> ten;
  for (int i = 0; i < 10; ++i) ten.push_back("p" + std::to_string(i));
  EXPECT_EQ(SaveAddOnList(ten, 9), 1);
  EXPECT_EQ(CountValues(), 8);
  EXPECT_EQ(SaveAddOnList({"only"}, 5), 1);  // an index past the list is cut to it
  EXPECT_EQ(CountValues(), 1);
  EXPECT_EQ(AddOnLastIndex, 0);
}

class AddOnFile : public testing::Test {
 protected:
  test::TempFolder folder_;
  std::string Copy(const std::string& source, const char* name) {
    std::string target = folder_.Join(name);
    CopyFileA(source.c_str(), target.c_str(), FALSE);
    return target;
  }
  void TearDown() override { ModuleInstance = nullptr; }
};

TEST_F(AddOnFile, AcceptsALibraryWithTheFiveExportsAlsoInQuotes) {
  std::string path = Copy(test::TestAddOnLibrary(), "good.dll");
  EXPECT_EQ(CheckAddOnFile(path.c_str(), 0), 1u);
  EXPECT_EQ(GetModuleHandleA(path.c_str()), nullptr) << "mode 0 must release the library";
  std::string quoted = "\"" + path + "\"";
  UINT_PTR module = CheckAddOnFile(quoted.c_str(), 1);
  ASSERT_NE(module, 0u);
  EXPECT_EQ(reinterpret_cast<HMODULE>(module), GetModuleHandleA(path.c_str()));
  FreeLibrary(reinterpret_cast<HMODULE>(module));
}

TEST_F(AddOnFile, RefusesMissingFilesLibrariesWithoutTheExportsAndItself) {
  EXPECT_EQ(CheckAddOnFile(folder_.Join("missing.dll").c_str(), 0), 0u);
  EXPECT_EQ(CheckAddOnFile("", 1), 0u);
  EXPECT_EQ(CheckAddOnFile("\"\"", 1), 0u);
  std::string partial = Copy(test::NoExportsLibrary(), "partial.dll");
  EXPECT_EQ(CheckAddOnFile(partial.c_str(), 1), 0u);
  EXPECT_EQ(GetModuleHandleA(partial.c_str()), nullptr);
  // Pretend the good library is this module: it is refused by name and by handle.
  std::string self = Copy(test::TestAddOnLibrary(), "self.dll");
  HMODULE loaded = LoadLibraryA(self.c_str());
  ASSERT_NE(loaded, nullptr);
  ModuleInstance = loaded;
  EXPECT_EQ(CheckAddOnFile(self.c_str(), 1), 0u);
  std::string upper = self;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  EXPECT_EQ(CheckAddOnFile(upper.c_str(), 0), 0u);
  FreeLibrary(loaded);
}

TEST_F(AddOnFile, LoadAddOnsSkipsFailuresAndKeepsListOrderWithDuplicates) {
  std::string a = Copy(test::TestAddOnLibrary(), "a.dll");
  std::string b = Copy(test::TestAddOnLibrary(), "b.dll");
  AddOnPaths = {a, folder_.Join("missing.dll"), "\"" + b + "\"", a};
  LoadAddOns();
  ASSERT_EQ(LoadedAddOns.size(), 3u);
  EXPECT_EQ(LoadedAddOns[0].module, LoadedAddOns[2].module);
  EXPECT_NE(LoadedAddOns[0].module, LoadedAddOns[1].module);
  EXPECT_EQ(reinterpret_cast<FARPROC>(LoadedAddOns[1].descWrite), GetProcAddress(LoadedAddOns[1].module, "DescWrite"));
  UnloadAddOns();
  EXPECT_TRUE(LoadedAddOns.empty());
  EXPECT_EQ(GetModuleHandleA(a.c_str()), nullptr) << "each entry releases its own load";
}

}  // namespace
}  // namespace va
