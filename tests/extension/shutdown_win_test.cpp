// The shutdown steps in-process, with the process end recorded instead of done:
// they run once, the purge rule and its root switch, the database folder.
#include "extension/core/shutdown.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/extension_options.h"
#include "support/extension_keys.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

using test::Dword;

using test::PutRawValue;
using test::ReadStoredValue;

const char kSearchKey[] = "SOFTWARE\\Vexlo\\Search";
const char kDistributionKey[] = "SOFTWARE\\V++";
const char kHostUserKey[] = "SOFTWARE\\Vexlo\\v-aero";
const char kLocalContentKey[] = "SOFTWARE\\Vexlo\\LocalContent";

int endings = 0;
UINT endCode = 99;
void RecordEnd(UINT code) {
  ++endings;
  endCode = code;
}

class Shutdown : public testing::Test {
 protected:
  void SetUp() override {
    Clean();
    endings = 0;
    endCode = 99;
    SetProcessEnder(RecordEnd);
  }
  void TearDown() override {
    Clean();
    SetProcessEnder(nullptr);
  }
  static void Clean() {
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
      test::DeleteTree(root, kDistributionKey);
      test::DeleteTree(root, kExtensionKey);
    }
    test::DeleteTree(HKEY_CURRENT_USER, kSearchKey);
    test::DeleteTree(HKEY_CURRENT_USER, kHostUserKey);
    test::DeleteTree(HKEY_LOCAL_MACHINE, kLocalContentKey);
  }
  static void Search(const char* name, size_t bytes) {
    PutRawValue(HKEY_CURRENT_USER, kSearchKey, name, REG_BINARY, std::string(bytes, 'q'));
  }
  static int SearchValues() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kSearchKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return -1;
    DWORD count = 0;
    RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr);
    RegCloseKey(key);
    return static_cast<int>(count);
  }
};

TEST_F(Shutdown, RunsOnceAndEndsWithExitCodeZero) {
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", REG_DWORD, Dword(1));
  Search("first", 10);
  ShutdownModule();
  EXPECT_EQ(endings, 1);
  EXPECT_EQ(endCode, 0u);
  EXPECT_EQ(SearchValues(), 0);
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kLastStateKey, "StatusWnd").exists);
  // A re-entered unload notification does nothing.
  Search("second", 10);
  ShutdownModule();
  EXPECT_EQ(endings, 1);
  EXPECT_EQ(SearchValues(), 1);
}

TEST_F(Shutdown, PurgeEmptiesTheUserSearchKeyButKeepsIt) {
  Search("a1", 10);
  Search("b2", 1024);
  Search("c3", 0);
  PurgeSearchHistory();
  EXPECT_EQ(SearchValues(), 0);
  EXPECT_TRUE(test::KeyExists(HKEY_CURRENT_USER, kSearchKey));
  PurgeSearchHistory();  // empty key: ends at once
  test::DeleteTree(HKEY_CURRENT_USER, kSearchKey);
  PurgeSearchHistory();  // missing key: nothing happens
  EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, kSearchKey));
}

TEST_F(Shutdown, AValueOverTheDataBufferStopsThePurge) {
  Search("a1", 10);
  Search("b2", 1025);
  Search("c3", 10);
  PurgeSearchHistory();
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "a1").exists);
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "b2").exists);
  EXPECT_TRUE(ReadStoredValue(HKEY_CURRENT_USER, kSearchKey, "c3").exists);
}

TEST_F(Shutdown, PurgeSwitchIsReadFromTheRootChosenByUseHkeyCurrentUser) {
  // The switch on: the user's PurgeSearchesOnExit counts, the machine's does not.
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "UseHKEY_CURRENT_USER", REG_DWORD, Dword(2));
  PutRawValue(HKEY_LOCAL_MACHINE, kDistributionKey, "PurgeSearchesOnExit", REG_DWORD, Dword(1));
  Search("kept", 10);
  ShutdownModule();
  EXPECT_EQ(SearchValues(), 1);

  SetProcessEnder(RecordEnd);
  PutRawValue(HKEY_CURRENT_USER, kDistributionKey, "PurgeSearchesOnExit", REG_DWORD, Dword(1));
  ShutdownModule();
  EXPECT_EQ(SearchValues(), 0);
  EXPECT_EQ(endings, 2);
}

TEST_F(Shutdown, DatabaseFolderIsRecordedOnlyWhenTheHostKeyExists) {
  // The host has the shell library loaded; the folder routine only looks it up.
  ASSERT_NE(LoadLibraryA("shell32.dll"), nullptr);
  RecordDatabaseFolder();
  EXPECT_FALSE(ReadStoredValue(HKEY_LOCAL_MACHINE, kLocalContentKey, "DatabaseDir").exists);
  PutRawValue(HKEY_CURRENT_USER, kHostUserKey, "Any", REG_DWORD, Dword(0));
  RecordDatabaseFolder();
  test::StoredValue stored = ReadStoredValue(HKEY_LOCAL_MACHINE, kLocalContentKey, "DatabaseDir");
  ASSERT_TRUE(stored.exists);
  EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
  std::string text = stored.bytes.substr(0, stored.bytes.find('\0'));
  const std::string tail = "\\Vexlo\\db";
  ASSERT_GT(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
  EXPECT_EQ(text.find("\\\\"), std::string::npos);
}

}  // namespace
}  // namespace va
