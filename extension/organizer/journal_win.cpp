// journal_win: the organizer's journal in the registry (one binary value per
// slot, "E0" to "E999", holding the UTF-8 text of organizer_journal.h, and the
// next number in "Next"), the undo, run while the watcher is held, and the
// preview of what a list of filters would do with the shared folder now.
#include <windows.h>

#include <ctime>

#include "common/registry_store.h"
#include "common/text_rules.h"
#include "extension/organizer/organizer.h"

namespace va {

namespace {

std::string SlotName(uint32_t seq) { return "E" + std::to_string(seq % kJournalLimit); }

}  // namespace

void RecordJournal(const std::string& source, const std::string& target, int32_t action, const FileFacts& result) {
  // Called by the watcher under OrganizerLock, which also orders the numbers.
  const uint32_t seq = ReadRegDword(HKEY_CURRENT_USER, kJournalKey, "Next");
  const JournalEntry entry{seq, int64_t(time(nullptr)), action, result.size, result.writeTime, source, target};
  const std::string text = EncodeJournalEntry(entry);
  WriteRegBinary(HKEY_CURRENT_USER, kJournalKey, SlotName(seq).c_str(), text.data(), DWORD(text.size()));
  WriteRegDword(HKEY_CURRENT_USER, kJournalKey, "Next", seq + 1);
}

std::vector<JournalEntry> ReadJournal() {
  std::vector<JournalEntry> entries;
  HKEY key;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kJournalKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return entries;
  std::string data(4096, '\0');
  for (DWORD index = 0;; ++index) {
    char name[32];
    DWORD nameLength = sizeof name, type = 0, size = DWORD(data.size());
    const LONG status = RegEnumValueA(key, index, name, &nameLength, nullptr, &type,
                                      reinterpret_cast<BYTE*>(data.data()), &size);
    if (status == ERROR_NO_MORE_ITEMS) break;
    JournalEntry entry;
    if (status == ERROR_SUCCESS && type == REG_BINARY && name[0] == 'E' &&
        DecodeJournalEntry(std::string_view(data.data(), size), entry) && SlotName(entry.seq) == name)
      entries.push_back(entry);
  }
  RegCloseKey(key);
  return NewestFirst(entries);
}

std::vector<UndoOutcome> UndoJournalSince(uint32_t oldestSeq) {
  EnsureOrganizerObjects();
  // The watcher takes this lock for each file: while it is held nothing is
  // organized, and files put back are marked before the watcher sees them.
  EnterCriticalSection(&OrganizerLock);
  std::vector<JournalEntry> chosen = ReadJournal();
  std::erase_if(chosen, [&](const JournalEntry& entry) { return entry.seq < oldestSeq; });
  std::unique_ptr<WatcherFiles> files = MakePlatformFiles();
  std::vector<UndoOutcome> outcomes = UndoEntries(chosen, *files);
  std::erase_if(HandledFiles, [&](const auto& put) { return !files->Facts(put.first).exists; });  // gone since
  for (const UndoOutcome& outcome : outcomes) {
    if (outcome.verdict != UndoVerdict::Undone) continue;
    DeleteRegValue(HKEY_CURRENT_USER, kJournalKey, SlotName(outcome.entry.seq).c_str());
    const FileFacts back = files->Facts(outcome.entry.source);
    if (back.exists) HandledFiles[UpperCaseText(outcome.entry.source)] = back;
  }
  LeaveCriticalSection(&OrganizerLock);
  return outcomes;
}

std::vector<PreviewRow> PreviewSharedFolder(const std::vector<FilterRecord>& filters, size_t limit, size_t& total) {
  std::string folder = AnsiToUtf8(ReadSharedFolder());
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  std::vector<PreviewRow> rows;
  total = 0;
  if (folder == "\\") return rows;
  std::vector<FilterRecord> list;
  for (const FilterRecord& filter : filters) list.push_back(FilterInUtf8(filter));
  // The files an undo put back, as the watcher sees them; the lock waits at most
  // for the file the watcher is on, as Apply does.
  EnsureOrganizerObjects();
  EnterCriticalSection(&OrganizerLock);
  std::map<std::string, FileFacts> handled = HandledFiles;
  LeaveCriticalSection(&OrganizerLock);
  std::unique_ptr<WatcherFiles> files = MakePlatformFiles();
  const std::vector<std::string> names = files->ListFiles(folder);
  total = names.size();
  FilterMatcher matcher;
  for (size_t i = 0; i < names.size() && i < limit; ++i)
    rows.push_back({names[i], PlanAction(folder, names[i], list, matcher, *files, &handled)});
  return rows;
}

}  // namespace va
