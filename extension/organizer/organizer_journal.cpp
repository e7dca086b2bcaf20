// organizer_journal: see organizer_journal.h.
#include "extension/organizer/organizer_journal.h"

#include <algorithm>
#include <charconv>

#include "extension/organizer/filter_rules.h"

namespace va {

std::string EncodeJournalEntry(const JournalEntry& e) {
  return std::to_string(e.seq) + "|" + std::to_string(e.when) + "|" + std::to_string(e.action) + "|" +
         std::to_string(e.size) + "|" + std::to_string(e.writeTime) + "|" + e.source + "|" + e.target;
}

namespace {
template <typename T>
bool TakeNumber(std::string_view& text, T& value) {
  size_t bar = text.find('|');
  if (bar == std::string_view::npos) return false;
  auto [end, error] = std::from_chars(text.data(), text.data() + bar, value);
  if (error != std::errc() || end != text.data() + bar) return false;
  text.remove_prefix(bar + 1);
  return true;
}
}  // namespace

bool DecodeJournalEntry(std::string_view text, JournalEntry& e) {
  JournalEntry read;
  if (!TakeNumber(text, read.seq) || !TakeNumber(text, read.when) || !TakeNumber(text, read.action) ||
      !TakeNumber(text, read.size) || !TakeNumber(text, read.writeTime))
    return false;
  size_t bar = text.find('|');
  if (bar == std::string_view::npos || text.find('|', bar + 1) != std::string_view::npos) return false;
  read.source = text.substr(0, bar);
  read.target = text.substr(bar + 1);
  if ((read.action != Copy && read.action != Move) || read.source.empty() || read.target.empty()) return false;
  e = read;
  return true;
}

std::vector<JournalEntry> NewestFirst(std::vector<JournalEntry> entries) {
  std::sort(entries.begin(), entries.end(), [](const JournalEntry& a, const JournalEntry& b) { return a.seq > b.seq; });
  entries.erase(std::unique(entries.begin(), entries.end(),
                            [](const JournalEntry& a, const JournalEntry& b) { return a.seq == b.seq; }),
                entries.end());
  if (entries.size() > kJournalLimit) entries.resize(kJournalLimit);
  return entries;
}

UndoVerdict JudgeUndo(const JournalEntry& entry, const FileFacts& result, const FileFacts& original) {
  if (!result.exists) return UndoVerdict::Gone;
  if (result.size != entry.size || result.writeTime != entry.writeTime) return UndoVerdict::Changed;
  if (entry.action == Move && original.exists) return UndoVerdict::NameTaken;
  if (entry.action == Copy && !original.exists) return UndoVerdict::OriginalGone;
  return UndoVerdict::Undone;
}

}  // namespace va
