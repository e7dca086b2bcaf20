// temp_folder_win: see temp_folder.h.
#include "support/temp_folder.h"

#include <windows.h>

#include <filesystem>
#include <fstream>

namespace va::test {

TempFolder::TempFolder() {
  char base[MAX_PATH];
  GetTempPathA(MAX_PATH, base);
  static int counter = 0;
  path_ = std::string(base) + "vatest_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(++counter);
  std::error_code ignored;  // what cannot be removed (a file still open) stays behind
  std::filesystem::remove_all(path_, ignored);
  CreateDirectoryA(path_.c_str(), nullptr);
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool FolderExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace va::test
