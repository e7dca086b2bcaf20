// organizer_journal: the record of the copies and moves the organizer completed,
// its stored text form and the rules of what may be undone. Portable core; the
// registry side and the undo's thread are journal_win.cpp.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace va {

// What a file is at one moment; writeTime in the platform's own units.
struct FileFacts {
  bool exists = false;
  uint64_t size = 0;
  uint64_t writeTime = 0;
  bool operator==(const FileFacts&) const = default;
};

// One completed copy or move; `size` and `writeTime` describe the result.
struct JournalEntry {
  uint32_t seq = 0;   // counts up; the stored slot is seq % kJournalLimit
  int64_t when = 0;   // seconds since 1970, UTC
  int32_t action = 0; // Copy or Move
  uint64_t size = 0;
  uint64_t writeTime = 0;
  std::string source, target;
  bool operator==(const JournalEntry&) const = default;
};

inline constexpr uint32_t kJournalLimit = 1000;

// "seq|when|action|size|writeTime|source|target"; names never hold "|".
std::string EncodeJournalEntry(const JournalEntry& entry);
bool DecodeJournalEntry(std::string_view text, JournalEntry& entry);
// Newest first, duplicates of a slot resolved for the newer, at most kJournalLimit.
std::vector<JournalEntry> NewestFirst(std::vector<JournalEntry> entries);

// Why an entry is or is not undone.
enum class UndoVerdict { Undone, Gone, Changed, NameTaken, OriginalGone, Failed };
// A move goes back and a copy goes only while the result is what the organizer
// left; a move goes back only to a free name, and a copy goes only while its
// original is still there (else it would be the last one).
UndoVerdict JudgeUndo(const JournalEntry& entry, const FileFacts& result, const FileFacts& original);

struct UndoOutcome {
  JournalEntry entry;
  UndoVerdict verdict = UndoVerdict::Failed;
};

}  // namespace va
