// watcher_win: the watcher thread and its start and stop rules; binds the loop of
// watcher_engine.h to change notifications, files, PlaySoundA and ShellExecuteA.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "common/placeholders.h"
#include "common/registry_store.h"
#include "common/shared_utils.h"
#include "extension/organizer/organizer.h"

namespace va {

CRITICAL_SECTION OrganizerLock;
HANDLE WatcherWakeEvent = nullptr;
std::atomic<int32_t> WatcherState{Stopped};

namespace {

constexpr DWORD kNotifyFilter = FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE;

class PlatformWaits : public WatcherWaits {
 public:
  bool Watch(const std::string& folder) override {
    Unwatch();
    change_ = FindFirstChangeNotificationA(folder.c_str(), FALSE, kNotifyFilter);
    return change_ != INVALID_HANDLE_VALUE;
  }
  bool Rewatch() override { return change_ != INVALID_HANDLE_VALUE && FindNextChangeNotification(change_); }
  void Unwatch() override {
    if (change_ != INVALID_HANDLE_VALUE) FindCloseChangeNotification(change_);
    change_ = INVALID_HANDLE_VALUE;
  }
  Result Wait(int milliseconds) override {
    HANDLE handles[2] = {WatcherWakeEvent, change_};
    DWORD count = change_ != INVALID_HANDLE_VALUE ? 2 : 1;
    DWORD index = WaitForMultipleObjects(count, handles, FALSE, static_cast<DWORD>(milliseconds));
    if (index == WAIT_OBJECT_0) return Result::Wake;
    if (index == WAIT_OBJECT_0 + 1) return Result::Change;
    if (index == WAIT_TIMEOUT) return Result::Timeout;
    // Never return at once in a loop: a broken wait costs a full step.
    Sleep(static_cast<DWORD>(milliseconds));
    return Result::Failed;
  }
  ~PlatformWaits() override { Unwatch(); }

 private:
  HANDLE change_ = INVALID_HANDLE_VALUE;
};

class PlatformFiles : public WatcherFiles {
 public:
  std::vector<std::string> ListFiles(const std::string& folder) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((folder + "*.*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
      if (!(found.dwFileAttributes & kSkipped)) names.push_back(found.cFileName);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return names;
  }
  FileAccess CheckAccess(const std::string& path) override {
    // Sharing only with readers fails while any other program may still write.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return FileAccess::Free;
    }
    DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileAccess::Gone
                                                                           : FileAccess::HeldByWriter;
  }
  bool FolderExists(const std::string& path) override {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  bool CreateFolderPath(const std::string& path) override { return va::CreateFolderPath(path); }
  bool CopyWithoutOverwrite(const std::string& source, const std::string& target) override {
    if (CopyFileA(source.c_str(), target.c_str(), TRUE)) return true;
    DWORD error = GetLastError();
    // A copy that broke off half way must not stay behind under the final name:
    // it would block every later copy of the whole file. The target did not exist
    // before (the copy refuses existing targets), so what is there now is ours.
    if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) DeleteFileA(target.c_str());
    return false;
  }
  bool MoveWithoutOverwrite(const std::string& source, const std::string& target) override {
    return MoveFileA(source.c_str(), target.c_str()) != 0;  // never replaces an existing target
  }
  void PlaySoundFile(const std::string& path) override {
    PlaySoundA(path.c_str(), nullptr, SND_ASYNC | SND_FILENAME);
  }
  void RunCommand(const std::string& program, const std::string& parameters) override {
    ShellExecuteA(OrganizerOwnerWindow(), nullptr, program.c_str(), parameters.c_str(), nullptr, SW_SHOWNORMAL);
  }
  void ExpandPlaceholders(std::string& text) override { ExpandExtensionPlaceholders(text); }
};

class LockedFilters : public WatcherFilters {
 public:
  void Lock() override { EnterCriticalSection(&OrganizerLock); }
  void Unlock() override { LeaveCriticalSection(&OrganizerLock); }
  const std::vector<FilterRecord>& Filters() override { return FilterList; }
};

DWORD WINAPI WatcherThread(LPVOID) {
  std::string folder = ReadSharedFolder();
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  PlatformWaits waits;
  PlatformFiles files;
  LockedFilters filters;
  RunWatcher(folder, WatcherState, waits, files, filters);
  return 0;
}


}  // namespace

void EnsureOrganizerObjects() {
  // Created once, never deleted: 0 = not yet, 1 = being created, 2 = ready.
  static volatile LONG created = 0;
  if (InterlockedCompareExchange(&created, 1, 0) == 0) {
    InitializeCriticalSection(&OrganizerLock);
    WatcherWakeEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    InterlockedExchange(&created, 2);
  }
  while (created != 2) Sleep(0);
}

std::string ReadSharedFolder() { return ReadRegText(HKEY_CURRENT_USER, kLocalContentKey, "DownloadDir"); }

void StartWatcher() {
  EnsureOrganizerObjects();
  // The state turns Running before the thread exists, so two quick starts can
  // never make two watchers.
  int32_t expected = Stopped;
  if (!WatcherState.compare_exchange_strong(expected, Running)) return;
  HANDLE thread = CreateThread(nullptr, 0, WatcherThread, nullptr, 0, nullptr);
  if (!thread) {
    WatcherState = Stopped;
    return;
  }
  CloseHandle(thread);
}

void RequestWatcherStop() {
  int32_t expected = Running;
  if (WatcherState.compare_exchange_strong(expected, StopRequested)) SetEvent(WatcherWakeEvent);
}

void EnsureWatcherRunning() {
  // A stop asked for but not yet taken up is withdrawn: the running watcher goes
  // on. Otherwise a list saved right after an empty one would find the state
  // StopRequested, start nothing, and be left without a watcher.
  int32_t expected = StopRequested;
  if (WatcherState.compare_exchange_strong(expected, Running)) return;
  StartWatcher();
}

void PrepareOrganizer() {
  EnsureOrganizerObjects();
  if (FilterLastIndex != -1) StartWatcher();
}

}  // namespace va
