// Loading and saving the accelerator settings in the real registry: the per-value
// fallback to the machine hive, the range rules, and saving changed fields only.
#include "extension/accelerator/accelerator_settings_win.h"

#include <gtest/gtest.h>

#include "support/extension_keys.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

using test::Dword;

using test::PutRawValue;
using test::ReadStoredValue;
using test::ScratchKey;

class AcceleratorSettingsStore : public testing::Test {
 protected:
  ScratchKey user_{HKEY_CURRENT_USER, "AcceleratorSettings"};
  ScratchKey machine_{HKEY_LOCAL_MACHINE, "AcceleratorSettings"};
  const char* key() { return user_.path(); }
  void User(const char* name, uint32_t v) { PutRawValue(HKEY_CURRENT_USER, key(), name, REG_DWORD, Dword(v)); }
  void Machine(const char* name, uint32_t v) { PutRawValue(HKEY_LOCAL_MACHINE, key(), name, REG_DWORD, Dword(v)); }
};

TEST_F(AcceleratorSettingsStore, NeitherKeyGivesTheNumbersTheirDefaultsKeepsTheFlagsAndReportsZero) {
  test::DeleteTree(HKEY_CURRENT_USER, key());
  test::DeleteTree(HKEY_LOCAL_MACHINE, key());
  AcceleratorSettings s;
  s.SkipPaused = 1;
  EXPECT_EQ(LoadAcceleratorSettingsFrom(key(), s), 0);
  EXPECT_EQ(s.CyclesDelay, 45u);
  EXPECT_EQ(s.ItemDelay, 2u);
  EXPECT_EQ(s.SkipPaused, 1u);
}

TEST_F(AcceleratorSettingsStore, UserValuesWinValueByValueAndRangesApply) {
  User("CyclesDelay", 5);
  Machine("CyclesDelay", 100);
  Machine("ItemDelay", 7);
  User("NumDownloadsMax", 3);
  User("NumDownloadsMin", 7);
  User("SkipPaused", 1);
  User("KeepDownloads", 1);
  User("TimesInSearchState", 0xFFFFFFFF);  // a stored -1
  AcceleratorSettings s;
  ASSERT_EQ(LoadAcceleratorSettingsFrom(key(), s), 1);
  EXPECT_EQ(s.CyclesDelay, 30u);
  EXPECT_EQ(s.ItemDelay, 7u);  // only under the machine hive
  EXPECT_EQ(s.NumDownloadsMax, 3u);
  EXPECT_EQ(s.NumDownloadsMin, 3u);
  EXPECT_EQ(s.SkipPaused, 0);  // the keep range excludes the skips
  EXPECT_EQ(s.TimesInSearchState, 8u);
}

TEST_F(AcceleratorSettingsStore, MissingAndOversizedValuesTakeTheDefaults) {
  User("SkipQueued", 1);
  PutRawValue(HKEY_CURRENT_USER, key(), "CyclesDelay", REG_BINARY, std::string("\x50\0\0\0\0\0\0\0", 8));
  AcceleratorSettings s;
  ASSERT_EQ(LoadAcceleratorSettingsFrom(key(), s), 1);
  EXPECT_EQ(s.CyclesDelay, 45u);  // 8 bytes do not fit: missing
  EXPECT_EQ(s.ItemDelay, 2u);
  EXPECT_EQ(s.SkipQueued, 1);
}

TEST_F(AcceleratorSettingsStore, SaveWritesChangedFieldsOnlyToTheUserHive) {
  Machine("MinSpeed", 500);
  AcceleratorSettings current;
  ASSERT_EQ(LoadAcceleratorSettingsFrom(key(), current), 1);
  EXPECT_EQ(current.MinSpeed, 500u);

  SaveAcceleratorSettingsTo(key(), current, current);  // nothing differs
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, key(), "CyclesDelay").exists);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, key(), "MinSpeed").exists);

  AcceleratorSettings next = current;
  next.MinSpeed = 1250;
  next.ClearDownloads = 1;
  SaveAcceleratorSettingsTo(key(), next, current);
  EXPECT_EQ(current.MinSpeed, 1250u);
  EXPECT_EQ(current.ClearDownloads, 1);
  const test::StoredValue speed = ReadStoredValue(HKEY_CURRENT_USER, key(), "MinSpeed");
  EXPECT_EQ(speed.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(speed.bytes, Dword(1250));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, key(), "ClearDownloads").bytes, Dword(1));
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, key(), "ItemDelay").exists);
  EXPECT_EQ(ReadStoredValue(HKEY_LOCAL_MACHINE, key(), "MinSpeed").bytes, Dword(500));  // never written

  AcceleratorSettings reloaded;
  LoadAcceleratorSettingsFrom(key(), reloaded);
  EXPECT_EQ(reloaded.MinSpeed, 1250u);  // the user value now shadows the machine one
}

}  // namespace
}  // namespace va
