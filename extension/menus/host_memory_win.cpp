// host_memory_win: guarded reads of host memory (see host_memory_win.h).
#include "extension/menus/host_memory_win.h"

#include <algorithm>
#include <cstring>

namespace va {
namespace {

constexpr uintptr_t kPageSize = 4096;
constexpr size_t kTextPiece = 256;

constexpr DWORD kReadableProtection = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                      PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

// Every page of [address, address + size) is committed, readable and no guard page.
bool IsReadable(const void* address, size_t size) {
  uintptr_t at = reinterpret_cast<uintptr_t>(address);
  if (size == 0) return true;
  if (at == 0 || at + size < at) return false;
  const uintptr_t end = at + size;
  while (at < end) {
    MEMORY_BASIC_INFORMATION info = {};
    if (!VirtualQuery(reinterpret_cast<const void*>(at), &info, sizeof info)) return false;
    if (info.State != MEM_COMMIT || (info.Protect & kReadableProtection) == 0 || (info.Protect & PAGE_GUARD) != 0)
      return false;
    const uintptr_t regionEnd = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
    if (regionEnd <= at) return false;
    at = regionEnd;
  }
  return true;
}

}  // namespace

bool ReadHostMemory(const void* address, void* buffer, size_t size) {
  if (!IsReadable(address, size)) return false;
  SIZE_T done = 0;
  return ReadProcessMemory(GetCurrentProcess(), address, buffer, size, &done) && done == size;
}

bool ReadHostWord(const void* base, size_t offset, uint32_t& value) {
  return ReadHostMemory(static_cast<const char*>(base) + offset, &value, sizeof value);
}

bool ReadHostPointer(const void* base, size_t offset, const void*& value) {
  return ReadHostMemory(static_cast<const char*>(base) + offset, &value, sizeof value);
}

// Read a piece at a time, never across a page's end: a page is readable as a
// whole or not at all, so no byte beyond the text's end is needed. (Each guarded
// copy is a call into the system; byte by byte, 200 paths took half a second.)
bool ReadHostText(const void* address, size_t maxLength, std::string& text) {
  text.clear();
  auto at = reinterpret_cast<uintptr_t>(address);
  char piece[kTextPiece];
  while (text.size() <= maxLength) {
    const size_t want = std::min({static_cast<size_t>(kPageSize - at % kPageSize), sizeof piece,
                                  maxLength + 1 - text.size()});
    if (!ReadHostMemory(reinterpret_cast<const void*>(at), piece, want)) return false;
    if (const void* end = std::memchr(piece, '\0', want)) {
      text.append(piece, static_cast<const char*>(end) - piece);
      return true;
    }
    text.append(piece, want);
    at += want;
  }
  return false;
}

bool FindHostTextStart(const void* inside, size_t maxBack, const void*& start) {
  const char* at = static_cast<const char*>(inside);
  for (size_t back = 0; back <= maxBack; ++back) {
    char previous;
    if (!ReadHostMemory(at - 1, &previous, 1)) return false;
    if (previous == '\0') {
      start = at;
      return true;
    }
    --at;
  }
  return false;
}

}  // namespace va
