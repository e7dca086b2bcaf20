// watcher_win: the watcher thread and its start and stop rules; binds the loop of
// watcher_engine.h to change notifications, files, PlaySoundA and ShellExecuteA.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "common/placeholders.h"
#include "common/registry_store.h"
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

// The engine's texts are UTF-8, so that names outside the ANSI code page (the
// host shows them as "???") can be listed, opened, copied and moved. Settings
// stay as stored, in the ANSI code page, and are converted here.
std::wstring WideFrom(const std::string& text, UINT codePage) {
  const int length = MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), nullptr, 0);
  if (length <= 0) return L"";
  std::wstring wide(size_t(length), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), int(text.size()), wide.data(), length);
  return wide;
}

std::string NarrowTo(const std::wstring& wide, UINT codePage) {
  const int length = WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), nullptr, 0, nullptr, nullptr);
  if (length <= 0) return "";
  std::string text(size_t(length), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), int(wide.size()), text.data(), length, nullptr, nullptr);
  return text;
}

std::wstring Wide(const std::string& utf8) { return WideFrom(utf8, CP_UTF8); }
std::string Utf8(const std::wstring& wide) { return NarrowTo(wide, CP_UTF8); }

}  // namespace

std::string AnsiToUtf8(const std::string& ansi) { return Utf8(WideFrom(ansi, CP_ACP)); }
std::string Utf8ToAnsi(const std::string& utf8) { return NarrowTo(Wide(utf8), CP_ACP); }
std::map<std::string, FileFacts> HandledFiles;

namespace {

// A character of a name that the ANSI code page cannot hold: a filter's "?" or
// "*" matches it, nothing else does.
constexpr char kForeignCharacter = '\x01';

class PlatformFiles : public WatcherFiles {
 public:
  std::vector<std::string> ListFiles(const std::string& folder) override {
    std::vector<std::string> names;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(Wide(folder + "*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
      if (!(found.dwFileAttributes & kSkipped)) names.push_back(Utf8(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    return names;
  }
  std::string MatchName(const std::string& name) override {
    const std::wstring wide = Wide(name);
    std::string match;
    for (size_t i = 0; i < wide.size(); ++i) {
      const bool pair = IS_HIGH_SURROGATE(wide[i]) && i + 1 < wide.size() && IS_LOW_SURROGATE(wide[i + 1]);
      char bytes[8];
      BOOL lost = FALSE;
      const int length = pair ? 0
                              : WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, &wide[i], 1, bytes, sizeof bytes,
                                                    nullptr, &lost);
      if (length > 0 && !lost) match.append(bytes, size_t(length));
      else match += kForeignCharacter;
      if (pair) ++i;
    }
    return match;
  }
  FileAccess CheckAccess(const std::string& path) override {
    // Sharing only with readers fails while any other program may still write.
    HANDLE file = CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
      CloseHandle(file);
      return FileAccess::Free;
    }
    switch (GetLastError()) {
      case ERROR_FILE_NOT_FOUND:
      case ERROR_PATH_NOT_FOUND: return FileAccess::Gone;
      case ERROR_SHARING_VIOLATION:
      case ERROR_LOCK_VIOLATION: return FileAccess::HeldByWriter;
      default: return FileAccess::Unreadable;  // access denied, a name that cannot be opened
    }
  }
  bool FolderExists(const std::string& path) override {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::string FolderIdentity(const std::string& folder) override {
    HANDLE handle = CreateFileW(Wide(folder).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return "";
    BY_HANDLE_FILE_INFORMATION info = {};
    const BOOL known = GetFileInformationByHandle(handle, &info);
    CloseHandle(handle);
    if (!known || !(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return "";
    char text[96];
    wsprintfA(text, "%08lx:%08lx%08lx:%08lx%08lx", info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow,
              info.ftCreationTime.dwHighDateTime, info.ftCreationTime.dwLowDateTime);
    return text;
  }
  // Every folder along the path, then the whole path; failures on the way (the
  // drive, folders that exist) are passed over: the caller checks the result.
  bool CreateFolderPath(const std::string& path) override {
    const std::wstring wide = Wide(path);
    for (size_t i = 0; i < wide.size(); ++i)
      if (wide[i] == L'\\' || wide[i] == L'/') CreateDirectoryW(wide.substr(0, i).c_str(), nullptr);
    return CreateDirectoryW(wide.c_str(), nullptr) != 0;
  }
  bool FileExists(const std::string& path) override {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  FileFacts Facts(const std::string& path) override {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return {};
    return {true, (uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow,
            (uint64_t(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime};
  }
  void Completed(const std::string& source, const std::string& target, int32_t action) override {
    RecordJournal(source, target, action, Facts(target));
  }
  bool CopyToNewFile(const std::string& source, const std::string& target) override {
    return CopyFileW(Wide(source).c_str(), Wide(target).c_str(), TRUE) != 0;
  }
  Rename RenameWithoutOverwrite(const std::string& source, const std::string& target) override {
    // Without MOVEFILE_COPY_ALLOWED: a move across volumes would be a copy that
    // can be cut short under the final name; the engine copies whole instead.
    if (MoveFileExW(Wide(source).c_str(), Wide(target).c_str(), 0)) return Rename::Done;
    switch (GetLastError()) {
      case ERROR_ALREADY_EXISTS:
      case ERROR_FILE_EXISTS: return Rename::Exists;
      case ERROR_NOT_SAME_DEVICE: return Rename::OtherVolume;
      default: return Rename::Failed;
    }
  }
  bool RemoveFile(const std::string& path) override { return DeleteFileW(Wide(path).c_str()) != 0; }
  void PlaySoundFile(const std::string& path) override {
    PlaySoundW(Wide(path).c_str(), nullptr, SND_ASYNC | SND_FILENAME);
  }
  void RunCommand(const std::string& program, const std::string& parameters) override {
    ShellExecuteW(OrganizerOwnerWindow(), nullptr, Wide(program).c_str(), Wide(parameters).c_str(), nullptr,
                  SW_SHOWNORMAL);
  }
  // The command comes from the settings, so it goes back to their code page
  // without loss; the placeholders' values are in that code page too.
  void ExpandPlaceholders(std::string& text) override {
    std::string ansi = Utf8ToAnsi(text);
    ExpandExtensionPlaceholders(ansi);
    text = AnsiToUtf8(ansi);
  }
};

// The filter list for the engine: destinations, sounds and commands in UTF-8;
// the patterns stay in the code page of the names they are matched against.
class LockedFilters : public WatcherFilters {
 public:
  void Lock() override { EnterCriticalSection(&OrganizerLock); }
  void Unlock() override { LeaveCriticalSection(&OrganizerLock); }
  std::map<std::string, FileFacts>* Handled() override { return &HandledFiles; }
  const std::vector<FilterRecord>& Filters() override {
    converted_.clear();
    for (const FilterRecord& filter : FilterList) converted_.push_back(FilterInUtf8(filter));
    return converted_;
  }

 private:
  std::vector<FilterRecord> converted_;
};

DWORD WINAPI WatcherThread(LPVOID) {
  std::string folder = AnsiToUtf8(ReadSharedFolder());
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  PlatformWaits waits;
  PlatformFiles files;
  LockedFilters filters;
  RunWatcher(folder, WatcherState, waits, files, filters);
  return 0;
}

}  // namespace

std::unique_ptr<WatcherFiles> MakePlatformFiles() { return std::make_unique<PlatformFiles>(); }

FilterRecord FilterInUtf8(const FilterRecord& filter) {
  FilterRecord converted = filter;
  converted.Dest = AnsiToUtf8(filter.Dest);
  converted.Wav = AnsiToUtf8(filter.Wav);
  converted.Cmd = AnsiToUtf8(filter.Cmd);
  return converted;
}

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
