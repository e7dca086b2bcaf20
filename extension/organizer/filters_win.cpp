// filters_win: the filter list in memory and its registry form under
// SOFTWARE\VAExtensions\Filters (numbered value groups, rewritten whole on save).
#include <windows.h>

#include <algorithm>
#include <cstring>

#include "extension/organizer/organizer.h"

namespace va {

std::vector<FilterRecord> FilterList;
int FilterLastIndex = -1;

namespace {

constexpr DWORD kValueNameSize = 261;  // value names up to 260 characters

std::string QueryText(HKEY key, const std::string& name) {
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS || size == 0) return {};
  std::string text(size, '\0');
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(text.data()), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  text.resize(strnlen(text.c_str(), std::min<size_t>(size, text.size())));
  return text;
}

DWORD QueryDword(HKEY key, const std::string& name) {
  DWORD value = 0, size = sizeof value;
  if (RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      size != sizeof value) {
    return 0;
  }
  return value;
}

// Texts are stored with a data size equal to their length (no NUL counted).
void PutText(HKEY key, const std::string& name, const std::string& text) {
  RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>(text.size()));
}

void PutDword(HKEY key, const std::string& name, DWORD value) {
  RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void DeleteAllValues(HKEY key) {
  char name[kValueNameSize];
  while (true) {
    DWORD size = kValueNameSize;
    if (RegEnumValueA(key, 0, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    if (RegDeleteValueA(key, name) != ERROR_SUCCESS) break;  // never loop on a value that stays
  }
}

std::string WithSlash(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

}  // namespace

int LoadFilters() {
  FilterLastIndex = -1;
  FilterList.clear();
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kFiltersKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS &&
      RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFiltersKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
    return -1;
  }
  struct Numbered {
    int32_t number;
    FilterRecord record;
  };
  // The registry lists values in no particular order: of more than kMaxFilters
  // filters, the ones kept are those with the lowest numbers, as the user sees them.
  std::vector<std::pair<int32_t, std::string>> titles;
  char name[kValueNameSize];
  for (DWORD index = 0;; ++index) {
    DWORD nameSize = kValueNameSize, type = 0;
    LONG result = RegEnumValueA(key, index, name, &nameSize, nullptr, &type, nullptr, nullptr);
    if (result == ERROR_MORE_DATA) continue;  // a name too long to be ours
    if (result != ERROR_SUCCESS) break;
    if (type != REG_SZ || std::strncmp(name, "Title", 5) != 0) continue;
    titles.emplace_back(FilterNumberOf(name + 5), name);
  }
  std::stable_sort(titles.begin(), titles.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  if (titles.size() > static_cast<size_t>(kMaxFilters)) titles.resize(kMaxFilters);
  std::vector<Numbered> found;
  for (const auto& [number, titleName] : titles) {
    Numbered entry;
    entry.number = number;
    std::string n = std::to_string(entry.number);
    entry.record.Title = QueryText(key, titleName);
    entry.record.Filter = QueryText(key, "Filter" + n);
    entry.record.Dest = QueryText(key, "Dest" + n);
    entry.record.Wav = QueryText(key, "Wav" + n);
    entry.record.Cmd = QueryText(key, "Cmd" + n);
    found.push_back(std::move(entry));
  }
  std::string shared = WithSlash(ReadSharedFolder());
  for (Numbered& entry : found) {
    entry.record.Action = static_cast<int32_t>(QueryDword(key, "Action" + std::to_string(entry.number)));
    if (entry.record.Action != Copy) entry.record.Dest = MoveDestinationInside(shared, entry.record.Dest);
  }
  RegCloseKey(key);
  std::stable_sort(found.begin(), found.end(),
                   [](const Numbered& a, const Numbered& b) { return a.number < b.number; });
  for (Numbered& entry : found) FilterList.push_back(std::move(entry.record));
  FilterLastIndex = static_cast<int>(FilterList.size()) - 1;
  return FilterLastIndex;
}

int SaveFilters(std::vector<FilterRecord>& records, int lastIndex) {
  lastIndex = std::min({lastIndex, static_cast<int>(records.size()) - 1, kMaxFilters - 1});
  if (lastIndex < -1) lastIndex = -1;
  std::vector<FilterRecord> given(records.begin(), records.begin() + (lastIndex + 1));
  if (lastIndex == FilterLastIndex && SameFilterList(given, FilterList)) return 0;

  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kFiltersKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    return 0;
  }
  DeleteAllValues(key);
  EnsureOrganizerObjects();
  EnterCriticalSection(&OrganizerLock);
  FilterList.clear();
  if (lastIndex < 0) {
    FilterLastIndex = -1;
    LeaveCriticalSection(&OrganizerLock);
    RequestWatcherStop();
    RegCloseKey(key);
    return 0;
  }
  std::string shared = ReadSharedFolder();
  if (!shared.empty() && shared.back() == '\\') shared.pop_back();
  for (int i = 0; i <= lastIndex; ++i) {
    FilterRecord& record = records[i];
    FilterRecord kept = record;
    std::string storedDest = record.Dest;
    if (record.Action != Copy) {
      storedDest = StoredMoveDestination(record.Dest, shared);
      // In memory the destination is what a reload would give, so a Move can never
      // leave the shared folder, whatever ".." the caller's text held.
      kept.Dest = MoveDestinationInside(shared + "\\", storedDest);
    }
    FilterList.push_back(kept);

    std::string n = std::to_string(i + 1);
    PutText(key, "Title" + n, record.Title);
    PutText(key, "Filter" + n, record.Filter);
    if (!IsBlankText(storedDest)) PutText(key, "Dest" + n, storedDest);
    if (!IsBlankText(record.Wav)) PutText(key, "Wav" + n, record.Wav);
    if (!IsBlankText(record.Cmd)) PutText(key, "Cmd" + n, record.Cmd);
    PutDword(key, "Action" + n, static_cast<DWORD>(record.Action));
    record.Dest = storedDest;
  }
  FilterLastIndex = lastIndex;
  LeaveCriticalSection(&OrganizerLock);
  RegCloseKey(key);
  EnsureWatcherRunning();
  return 1;
}

}  // namespace va
