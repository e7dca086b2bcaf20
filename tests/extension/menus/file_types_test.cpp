// The file types the guarded open asks about.
#include "extension/menus/file_types.h"

#include <gtest/gtest.h>

namespace va {
namespace {

TEST(FileTypeOfName, TextAfterTheLastDotUpperCased) {
  EXPECT_EQ(FileTypeOfName("song.mp3"), "MP3");
  EXPECT_EQ(FileTypeOfName("archive.tar.Gz"), "GZ");
  EXPECT_EQ(FileTypeOfName("readme"), "README");
  EXPECT_EQ(FileTypeOfName("trailing."), "");
  EXPECT_EQ(FileTypeOfName("caf\xE9.\xE0vi"), "\xC0VI");
}

TEST(IsRiskyFileType, ExactlyTheExecutableTypes) {
  for (const char* type : {"EXE", "PIF", "SHS", "SHB", "WSH", "VBE", "JS", "JSE", "BAT", "CMD", "COM"})
    EXPECT_TRUE(IsRiskyFileType(type)) << type;
  for (const char* type : {"", "MP3", "README", "BA", "BATS", "exe", "VBS"}) EXPECT_FALSE(IsRiskyFileType(type)) << type;
  EXPECT_TRUE(IsRiskyFileType(FileTypeOfName("com")));
  EXPECT_TRUE(IsRiskyFileType(FileTypeOfName("Setup.Exe")));
}

}  // namespace
}  // namespace va
