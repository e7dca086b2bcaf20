// host_memory_win: reads of the host's item data that cannot crash the host. The
// data of a list item is only believed to point at a host record; each read first
// checks that the memory is committed and readable, and the copy itself cannot
// fault either.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace va {

// Copies `size` bytes at `address` into `buffer`; false (and nothing copied in
// full) when any of it is not readable.
bool ReadHostMemory(const void* address, void* buffer, size_t size);

// A 32-bit word and a pointer-sized field at `base` + `offset` (any alignment).
bool ReadHostWord(const void* base, size_t offset, uint32_t& value);
bool ReadHostPointer(const void* base, size_t offset, const void*& value);

// The zero-terminated text at `address`, of at most `maxLength` characters;
// false when unreadable or not terminated within that length.
bool ReadHostText(const void* address, size_t maxLength, std::string& text);

// The start of the zero-terminated text that `inside` points into: the byte after
// the nearest zero byte before it, looking back at most `maxBack` bytes.
bool FindHostTextStart(const void* inside, size_t maxBack, const void*& start);

}  // namespace va
