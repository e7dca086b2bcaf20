// file_reader: the narrow view of a file that the UUHash needs (its size and reads
// at positions), so tests can count and check every read. Portable core.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace va {

class FileReader {
 public:
  virtual ~FileReader() = default;
  // The file's length in bytes.
  virtual uint64_t Size() = 0;
  // Reads up to `length` bytes at `position` into `buffer` in one request;
  // returns how many bytes arrived (fewer on a read error or at the end).
  virtual size_t ReadAt(uint64_t position, uint8_t* buffer, size_t length) = 0;
};

// Opens `path` for reading, sharing it with writers (the host may be writing a
// shared file); null when it cannot be opened. Defined once per platform
// (file_reader_std.cpp natively, file_reader_win.cpp in the Windows builds).
std::unique_ptr<FileReader> OpenFileReader(const std::string& path);

}  // namespace va
