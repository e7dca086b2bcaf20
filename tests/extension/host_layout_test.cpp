// The host's item-data layouts: fields at their offsets (also unaligned ones)
// keep whole pointers, and the library record's fields do not overlap.
#include "extension/core/host_layout.h"

#include <gtest/gtest.h>

namespace va::host {
namespace {

TEST(HostLayout, DownloadRecordFieldsRoundTripWithoutOverlap) {
  alignas(8) unsigned char record[kDownloadRecordSize] = {};
  alignas(8) unsigned char detail[kDetailRecordSize] = {};
  const char* row = "Title\xB6Status";
  WritePointerAt(record, kRowTextPointerOffset, row);
  WriteWordAt(record, kDownloadKindOffset, kDownloadKindFile);
  WritePointerAt(record, kDownloadDetailOffset, detail);
  EXPECT_EQ(DownloadRowText(record), row);
  EXPECT_EQ(ReadWordAt(record, kDownloadKindOffset), 182u);
  EXPECT_EQ(ReadPointerAt(record, kDownloadDetailOffset), detail);
  EXPECT_GE(kDownloadDetailOffset, kDownloadKindOffset + 4);
  EXPECT_GE(kDownloadKindOffset, kRowTextPointerOffset + kPointerSize);
}

TEST(HostLayout, LibraryRecordKeepsMarkerNameAndFolder) {
  alignas(8) unsigned char record[kLibraryRecordSize] = {};
  const char* name = "song.mp3";
  const char* folder = "C:\\Shared";
  WriteWordAt(record, kLibraryMarkerOffset, kFileItemMarker);
  WritePointerAt(record, kLibraryNameOffset, name);
  WritePointerAt(record, kLibraryFolderOffset, folder);
  EXPECT_EQ(ReadWordAt(record, kLibraryMarkerOffset), 0x00586C44u);
  EXPECT_EQ(LibraryItemName(record), name);
  EXPECT_EQ(LibraryItemFolder(record), folder);
  if (kPointerSize == 4) {
    EXPECT_EQ(kLibraryNameOffset, 12u);
    EXPECT_EQ(kLibraryFolderOffset, 16u);
  }
}

}  // namespace
}  // namespace va::host
