// In-process checks where the platform matters: the settings in the real registry
// (the user's value wins value by value, saving writes changed fields only) and the
// guarded read of a row text whose memory the host may have given back.
#include <gtest/gtest.h>

#include <cstring>

#include "extension/accelerator/accelerator_settings_win.h"
#include "extension/accelerator/download_list_win.h"
#include "extension/core/host_layout.h"
#include "support/extension_keys.h"

namespace va {
namespace {

using test::ValuesText;

TEST(AcceleratorWin, UserValuesWinValueByValueAndSaveWritesChangedFieldsToTheUserOnly) {
  test::ScratchKey user(HKEY_CURRENT_USER, "Accelerator"), machine(HKEY_LOCAL_MACHINE, "Accelerator");
  const char* key = user.path();
  test::PutDword(HKEY_CURRENT_USER, key, "CyclesDelay", 50);
  test::PutDword(HKEY_LOCAL_MACHINE, key, "CyclesDelay", 100);
  test::PutDword(HKEY_LOCAL_MACHINE, key, "ItemDelay", 7);
  test::PutDword(HKEY_LOCAL_MACHINE, key, "MinSpeed", 500);
  test::PutDword(HKEY_CURRENT_USER, key, "TimesInSearchState", 0xFFFFFFFF);  // the range rules apply
  test::PutRawValue(HKEY_CURRENT_USER, key, "NumDownloadsMax", REG_BINARY, std::string(8, '\3'));  // too long: missing
  AcceleratorSettings s;
  ASSERT_EQ(LoadAcceleratorSettingsFrom(key, s), 1);
  EXPECT_EQ(std::vector<uint32_t>({s.CyclesDelay, s.ItemDelay, s.MinSpeed, s.TimesInSearchState, s.NumDownloadsMax}),
            std::vector<uint32_t>({50, 7, 500, 8, 4}));

  AcceleratorSettings next = s;
  next.MinSpeed = 1250, next.ClearDownloads = 1;
  SaveAcceleratorSettingsTo(key, next, s);
  // The changed fields beside the values written before; the machine's untouched.
  EXPECT_EQ(ValuesText(HKEY_CURRENT_USER, key) + ValuesText(HKEY_LOCAL_MACHINE, key, {"MinSpeed"}),
            "ClearDownloads#1;CyclesDelay#50;MinSpeed#1250;NumDownloadsMax?8;TimesInSearchState#4294967295;MinSpeed#500;");

  test::DeleteTree(HKEY_CURRENT_USER, key);
  test::DeleteTree(HKEY_LOCAL_MACHINE, key);
  EXPECT_EQ(LoadAcceleratorSettingsFrom(key, s) * 1000 + s.CyclesDelay, 45u);  // neither key: 0 and the defaults
}

TEST(AcceleratorWin, RowTextsInMemoryGivenBackReadAsTheEndWithoutAFault) {
  std::string text;
  char* pages = static_cast<char*>(VirtualAlloc(nullptr, 8192, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
  DWORD old = 0;
  ASSERT_TRUE(pages && VirtualProtect(pages + 4096, 4096, PAGE_NOACCESS, &old));
  memset(pages, 'x', 4096);
  unsigned char record[host::kDownloadRecordSize] = {};
  host::WritePointerAt(record, host::kRowTextPointerOffset, pages + 4000);
  EXPECT_FALSE(ReadRowText(reinterpret_cast<LPARAM>(pages + 4096), text));  // a record in memory given back
  EXPECT_FALSE(ReadRowText(reinterpret_cast<LPARAM>(record), text));  // a text running into it without an end mark
  pages[4095] = '\0';
  EXPECT_TRUE(ReadRowText(reinterpret_cast<LPARAM>(record), text));
  EXPECT_EQ(text, std::string(95, 'x'));
  VirtualFree(pages, 0, MEM_RELEASE);
}

}  // namespace
}  // namespace va
