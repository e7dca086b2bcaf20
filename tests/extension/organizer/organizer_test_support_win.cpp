// organizer_test_support_win: see organizer_test_support.h.
#include "organizer_test_support.h"

#include <tlhelp32.h>

#include "common/registry_store.h"

namespace va::test {

int ThreadCount() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return -1;
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof entry;
  int count = 0;
  for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
    if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
  }
  CloseHandle(snapshot);
  return count;
}

OrganizerBench::OrganizerBench() {
  shared_ = temp_.Join("My Shared Folder");
  CreateDirectoryA(shared_.c_str(), nullptr);
  DeleteTree(HKEY_CURRENT_USER, kFiltersKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kFiltersKey);
  WriteRegText(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir", (shared_ + "\\").c_str());
  LoadFilters();
}

OrganizerBench::~OrganizerBench() {
  StopWatcher();
  DeleteTree(HKEY_CURRENT_USER, kFiltersKey);
  DeleteTree(HKEY_LOCAL_MACHINE, kFiltersKey);
}

int OrganizerBench::Save(std::vector<FilterRecord> records) {
  return SaveFilters(records, static_cast<int>(records.size()) - 1);
}

bool OrganizerBench::StopWatcher() {
  std::vector<FilterRecord> none;
  SaveFilters(none, -1);
  RequestWatcherStop();  // also when the list was empty already
  return PollUntil([] { return WatcherState.load() == Stopped; }, 5);
}

}  // namespace va::test
