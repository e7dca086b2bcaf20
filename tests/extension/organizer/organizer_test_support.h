// organizer_test_support: set-up shared by the organizer's Wine tests: a shared
// folder in a temporary folder named by DownloadDir, a clean filter key, and a
// watcher that is stopped again when the test ends.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "extension/organizer/organizer.h"
#include "support/scratch_registry.h"
#include "support/temp_folder.h"

namespace va::test {

// Polls `done` every 20 ms until it holds or `seconds` pass.
inline bool PollUntil(const std::function<bool()>& done, double seconds) {
  DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  while (!done()) {
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) return false;
    Sleep(20);
  }
  return true;
}

inline std::string ReadFileBytes(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return "<missing>";
  std::string bytes;
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0) bytes.append(buffer, got);
  CloseHandle(file);
  return bytes;
}

inline bool FileExists(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Number of threads of this process.
int ThreadCount();

class OrganizerBench {
 public:
  OrganizerBench();
  ~OrganizerBench();
  const std::string& shared() const { return shared_; }  // without trailing "\"
  std::string Shared(const std::string& name) const { return shared_ + "\\" + name; }
  TempFolder& temp() { return temp_; }
  // Saves `records` through SaveFilters (which starts or stops the watcher).
  int Save(std::vector<FilterRecord> records);
  // Saves the empty list and waits until the watcher has ended.
  bool StopWatcher();

 private:
  TempFolder temp_;
  std::string shared_;
};

}  // namespace va::test
