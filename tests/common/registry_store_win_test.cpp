// The registry value store against the real registry: stored types and byte
// counts, missing keys and values, both text readers, the shared-root switch.
#include "common/registry_store.h"

#include <gtest/gtest.h>

#include "support/scratch_registry.h"

namespace va {
namespace {

using test::ReadStoredValue;
using test::ScratchKey;

class RegistryStore : public testing::Test {
 protected:
  ScratchKey hkcu_{HKEY_CURRENT_USER, "RegistryStore"};
  const char* key() { return hkcu_.path(); }
};

TEST_F(RegistryStore, TextStoresCharactersAndOneNul) {
  ASSERT_EQ(WriteRegText(HKEY_CURRENT_USER, key(), "Name", "abc"), 1);
  test::StoredValue stored = ReadStoredValue(HKEY_CURRENT_USER, key(), "Name");
  EXPECT_EQ(stored.type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(stored.bytes, std::string("abc\0", 4));
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "Name"), "abc");
}

TEST_F(RegistryStore, EmptyTextStoresOneNul) {
  ASSERT_EQ(WriteRegText(HKEY_CURRENT_USER, key(), "Empty", ""), 1);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, key(), "Empty").bytes, std::string("\0", 1));
}

TEST_F(RegistryStore, DwordStoresFourLittleEndianBytes) {
  ASSERT_EQ(WriteRegDword(HKEY_CURRENT_USER, key(), "Number", 0x01020304), 1);
  test::StoredValue stored = ReadStoredValue(HKEY_CURRENT_USER, key(), "Number");
  EXPECT_EQ(stored.type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(stored.bytes, std::string("\x04\x03\x02\x01", 4));
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key(), "Number"), 0x01020304u);
}

TEST_F(RegistryStore, BinaryKeepsBytesAndCountAsGiven) {
  const char bytes[] = {1, 0, 2, 0, 3};
  ASSERT_EQ(WriteRegBinary(HKEY_CURRENT_USER, key(), "Blob", bytes, 5), 1);
  test::StoredValue stored = ReadStoredValue(HKEY_CURRENT_USER, key(), "Blob");
  EXPECT_EQ(stored.type, static_cast<DWORD>(REG_BINARY));
  EXPECT_EQ(stored.bytes, std::string(bytes, 5));

  char back[8] = {};
  DWORD count = sizeof back;
  ASSERT_EQ(ReadRegBinary(HKEY_CURRENT_USER, key(), "Blob", back, &count), 1);
  EXPECT_EQ(count, 5u);
  EXPECT_EQ(std::string(back, 5), std::string(bytes, 5));
}

TEST_F(RegistryStore, BinaryReadFailsWhenTheBufferIsTooSmall) {
  const char bytes[] = {1, 2, 3, 4, 5, 6};
  WriteRegBinary(HKEY_CURRENT_USER, key(), "Blob", bytes, 6);
  char back[4];
  DWORD count = sizeof back;
  EXPECT_EQ(ReadRegBinary(HKEY_CURRENT_USER, key(), "Blob", back, &count), 0);
  DWORD none = 4;
  EXPECT_EQ(ReadRegBinary(HKEY_CURRENT_USER, key(), "Missing", back, &none), 0);
}

TEST_F(RegistryStore, NumberTextIsPlainDecimal) {
  WriteRegNumberText(HKEY_CURRENT_USER, key(), "Neg", -250);
  WriteRegNumberText(HKEY_CURRENT_USER, key(), "Pos", 42);
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, key(), "Neg").bytes, std::string("-250\0", 5));
  EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, key(), "Pos").type, static_cast<DWORD>(REG_SZ));
  EXPECT_EQ(ReadRegNumberText(HKEY_CURRENT_USER, key(), "Neg", 7), -250);
  EXPECT_EQ(ReadRegNumberText(HKEY_CURRENT_USER, key(), "Pos", 7), 42);
}

TEST_F(RegistryStore, NumberTextParsingOfStoredTexts) {
  auto read = [&](const char* text) {
    WriteRegText(HKEY_CURRENT_USER, key(), "N", text);
    return ReadRegNumberText(HKEY_CURRENT_USER, key(), "N", 99);
  };
  EXPECT_EQ(read("  12"), 12);
  EXPECT_EQ(read("-3"), -3);
  EXPECT_EQ(read("15 kB"), 15);
  EXPECT_EQ(read("2.5x"), 3);
  EXPECT_EQ(read("none"), 0);
  EXPECT_EQ(read(""), 99);
  EXPECT_EQ(ReadRegNumberText(HKEY_CURRENT_USER, key(), "Missing", 99), 99);
}

TEST_F(RegistryStore, NumberTextBuffersDifferBetweenTheDeliverables) {
  // 64 characters do not fit the extension module's 64-byte buffer with the NUL.
  WriteRegText(HKEY_CURRENT_USER, key(), "Long", (std::string(63, '0') + "7").c_str());
  EXPECT_EQ(ReadRegNumberText(HKEY_CURRENT_USER, key(), "Long", -1, RegistryReader::Extension), -1);
  EXPECT_EQ(ReadRegNumberText(HKEY_CURRENT_USER, key(), "Long", -1, RegistryReader::Wizard), 7);
  WriteRegText(HKEY_CURRENT_USER, key(), "Fits", (std::string(62, '0') + "7").c_str());
  EXPECT_EQ(ReadRegNumberText(HKEY_CURRENT_USER, key(), "Fits", -1, RegistryReader::Extension), 7);
}

TEST_F(RegistryStore, YesNoWritesYesOnlyForOne) {
  const int flags[] = {1, 0, 2, -1};
  const char* expected[] = {"Yes", "No", "No", "No"};
  for (int i = 0; i < 4; ++i) {
    WriteRegYesNo(HKEY_CURRENT_USER, key(), "Flag", flags[i]);
    EXPECT_EQ(ReadStoredValue(HKEY_CURRENT_USER, key(), "Flag").bytes, std::string(expected[i]) + '\0')
        << "flag " << flags[i];
  }
}

TEST_F(RegistryStore, YesNoReadsAnyCaseOfYes) {
  auto read = [&](const char* text, int fallback) {
    WriteRegText(HKEY_CURRENT_USER, key(), "Flag", text);
    return ReadRegYesNo(HKEY_CURRENT_USER, key(), "Flag", fallback);
  };
  EXPECT_EQ(read("Yes", 0), 1);
  EXPECT_EQ(read("YES", 0), 1);
  EXPECT_EQ(read("yEs", 0), 1);
  EXPECT_EQ(read("No", 1), 0);
  EXPECT_EQ(read("True", 1), 0);
  EXPECT_EQ(read("Yes ", 1), 0);
  EXPECT_EQ(read("", 5), 5);
  EXPECT_EQ(ReadRegYesNo(HKEY_CURRENT_USER, key(), "Missing", 5), 5);
}

TEST_F(RegistryStore, MissingKeyAndMissingValueReadAlike) {
  std::string noKey = hkcu_.Sub("Nowhere");
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, noKey.c_str(), "A"), "");
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, noKey.c_str(), "A"), 0u);
  EXPECT_EQ(ReadRegNumberText(HKEY_CURRENT_USER, noKey.c_str(), "A", 11), 11);
  EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, noKey));  // reads never create

  WriteRegText(HKEY_CURRENT_USER, key(), "Other", "x");
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "A"), "");
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key(), "A"), 0u);
}

TEST_F(RegistryStore, DwordReadOfShorterValueKeepsHighBytesZero) {
  test::PutRawValue(HKEY_CURRENT_USER, key(), "Short", REG_BINARY, std::string("\x05\x01", 2));
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key(), "Short"), 0x0105u);
  test::PutRawValue(HKEY_CURRENT_USER, key(), "Long", REG_BINARY, std::string(8, '\x01'));
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, key(), "Long"), 0u);
}

TEST_F(RegistryStore, TextWithoutTerminatorOrWithInnerNulIsCut) {
  test::PutRawValue(HKEY_CURRENT_USER, key(), "Raw", REG_SZ, "abc");
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "Raw"), "abc");
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "Raw", RegistryReader::Wizard), "abc");
  test::PutRawValue(HKEY_CURRENT_USER, key(), "Inner", REG_SZ, std::string("ab\0cd\0", 6));
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "Inner"), "ab");
}

TEST_F(RegistryStore, WriteCreatesMissingParents) {
  std::string deep = hkcu_.Sub("One\\Two\\Three");
  ASSERT_EQ(WriteRegDword(HKEY_CURRENT_USER, deep.c_str(), "V", 9), 1);
  EXPECT_EQ(ReadRegDword(HKEY_CURRENT_USER, deep.c_str(), "V"), 9u);
}

TEST_F(RegistryStore, WizardReaderCutsAt2047Characters) {
  std::string fits(2047, 'w');
  std::string tooLong(2048, 'w');
  WriteRegText(HKEY_CURRENT_USER, key(), "Fits", fits.c_str());
  WriteRegText(HKEY_CURRENT_USER, key(), "TooLong", tooLong.c_str());
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "Fits", RegistryReader::Wizard), fits);
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "TooLong", RegistryReader::Wizard), "");
}

TEST_F(RegistryStore, ExtensionReaderReadsAnyLength) {
  std::string tooLongForWizard(2048, 'e');
  std::string large(100000, 'L');
  WriteRegText(HKEY_CURRENT_USER, key(), "A", tooLongForWizard.c_str());
  WriteRegText(HKEY_CURRENT_USER, key(), "B", large.c_str());
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "A"), tooLongForWizard);
  EXPECT_EQ(ReadRegText(HKEY_CURRENT_USER, key(), "B"), large);
}

TEST_F(RegistryStore, DeleteValueReportsWhetherItDeleted) {
  WriteRegText(HKEY_CURRENT_USER, key(), "Gone", "x");
  EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, key(), "Gone"), 1);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, key(), "Gone").exists);
  EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, key(), "Gone"), 0);
  EXPECT_EQ(DeleteRegValue(HKEY_CURRENT_USER, hkcu_.Sub("Nowhere").c_str(), "Gone"), 0);
}

TEST_F(RegistryStore, DeleteKeyOfMissingKeyFails) {
  EXPECT_EQ(DeleteRegKey(HKEY_CURRENT_USER, hkcu_.Sub("Nowhere").c_str()), 0);
}

TEST_F(RegistryStore, DeleteKeyRemovesLeafKeyWithValues) {
  std::string leaf = hkcu_.Sub("Leaf");
  WriteRegText(HKEY_CURRENT_USER, leaf.c_str(), "v", "1");
  EXPECT_EQ(DeleteRegKey(HKEY_CURRENT_USER, leaf.c_str()), 1);
  EXPECT_FALSE(test::KeyExists(HKEY_CURRENT_USER, leaf));
}

TEST_F(RegistryStore, DeleteKeyIsNotRecursive) {
  std::string parent = hkcu_.Sub("Parent");
  std::string child = hkcu_.Sub("Parent\\Child");
  WriteRegText(HKEY_CURRENT_USER, child.c_str(), "v", "1");
  EXPECT_EQ(DeleteRegKey(HKEY_CURRENT_USER, parent.c_str()), 0);
  EXPECT_TRUE(test::KeyExists(HKEY_CURRENT_USER, child));
}

TEST_F(RegistryStore, LocalMachineRootIsWrittenThere) {
  ScratchKey hklm(HKEY_LOCAL_MACHINE, "RegistryStoreMachine");
  ASSERT_EQ(WriteRegDword(HKEY_LOCAL_MACHINE, hklm.path(), "M", 3), 1);
  EXPECT_TRUE(ReadStoredValue(HKEY_LOCAL_MACHINE, hklm.path(), "M").exists);
  EXPECT_FALSE(ReadStoredValue(HKEY_CURRENT_USER, hklm.path(), "M").exists);
}

// The switch lives at a fixed place, so these tests save and restore it.
class SharedRootSwitch : public testing::Test {
 protected:
  void SetUp() override { saved_ = ReadStoredValue(HKEY_LOCAL_MACHINE, kClientDistributionKey, "UseHKEY_CURRENT_USER"); }
  void TearDown() override {
    if (saved_.exists) {
      test::PutRawValue(HKEY_LOCAL_MACHINE, kClientDistributionKey, "UseHKEY_CURRENT_USER", saved_.type, saved_.bytes);
    } else {
      DeleteRegValue(HKEY_LOCAL_MACHINE, kClientDistributionKey, "UseHKEY_CURRENT_USER");
    }
  }
  void SetSwitch(uint32_t value) {
    WriteRegDword(HKEY_LOCAL_MACHINE, kClientDistributionKey, "UseHKEY_CURRENT_USER", value);
  }
  test::StoredValue saved_;
};

TEST_F(SharedRootSwitch, MissingSwitchMeansLocalMachineForBoth) {
  DeleteRegValue(HKEY_LOCAL_MACHINE, kClientDistributionKey, "UseHKEY_CURRENT_USER");
  EXPECT_EQ(SharedSettingsRoot(SharedRootUse::WizardWrites), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(SharedSettingsRoot(SharedRootUse::ExtensionReads), HKEY_LOCAL_MACHINE);
}

TEST_F(SharedRootSwitch, OneMeansCurrentUserForBoth) {
  SetSwitch(1);
  EXPECT_EQ(SharedSettingsRoot(SharedRootUse::WizardWrites), HKEY_CURRENT_USER);
  EXPECT_EQ(SharedSettingsRoot(SharedRootUse::ExtensionReads), HKEY_CURRENT_USER);
}

TEST_F(SharedRootSwitch, TwoSplitsTheDeliverables) {
  SetSwitch(2);
  EXPECT_EQ(SharedSettingsRoot(SharedRootUse::WizardWrites), HKEY_LOCAL_MACHINE);
  EXPECT_EQ(SharedSettingsRoot(SharedRootUse::ExtensionReads), HKEY_CURRENT_USER);
}

TEST_F(SharedRootSwitch, IsReadFromLocalMachineOnly) {
  DeleteRegValue(HKEY_LOCAL_MACHINE, kClientDistributionKey, "UseHKEY_CURRENT_USER");
  ScratchKey cleanup(HKEY_CURRENT_USER, "unused");
  WriteRegDword(HKEY_CURRENT_USER, kClientDistributionKey, "UseHKEY_CURRENT_USER", 1);
  EXPECT_EQ(SharedSettingsRoot(SharedRootUse::ExtensionReads), HKEY_LOCAL_MACHINE);
  DeleteRegValue(HKEY_CURRENT_USER, kClientDistributionKey, "UseHKEY_CURRENT_USER");
}

}  // namespace
}  // namespace va
