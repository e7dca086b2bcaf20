// menu_test_support: the recording program (open_recorder.exe beside the test),
// its log and a file type it opens, for the menu tests in-process and in the host.
#pragma once

#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"

namespace va::test {

inline std::string RecorderProgram() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  const std::string self(path);
  return self.substr(0, self.find_last_of('\\') + 1) + "open_recorder.exe";
}

// A fresh log (VA_OPEN_LOG) of the recording program: one line per start.
struct RecorderLog {
  std::string path;
  explicit RecorderLog(std::string where) : path(std::move(where)) {
    DeleteFileA(path.c_str());
    SetEnvironmentVariableA("VA_OPEN_LOG", path.c_str());
  }
  std::vector<std::string> Lines() const { return SplitLines(ReadWholeFile(path)); }
  bool WaitForLines(size_t count) const { return WaitUntil([&] { return Lines().size() >= count; }, 10000); }
};

// Files ending in `extension` (".vatest") open with the recording program while it lives.
struct RecordedFileType {
  std::string extension;
  explicit RecordedFileType(std::string ext) : extension(std::move(ext)) {
    PutRawValue(HKEY_CLASSES_ROOT, extension, "", REG_SZ, "VATest.RecordedFile" + std::string(1, '\0'));
    PutRawValue(HKEY_CLASSES_ROOT, "VATest.RecordedFile\\shell\\open\\command", "", REG_SZ,
                "\"" + RecorderProgram() + "\" \"%1\"" + std::string(1, '\0'));
  }
  ~RecordedFileType() {
    DeleteTree(HKEY_CLASSES_ROOT, extension);
    DeleteTree(HKEY_CLASSES_ROOT, "VATest.RecordedFile");
  }
};

}  // namespace va::test
