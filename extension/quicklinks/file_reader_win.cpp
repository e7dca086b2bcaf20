// file_reader_win: FileReader over a Win32 file handle, shared with writers so a
// file the host is still writing can be hashed; one ReadFile per request.
#include <windows.h>

#include "extension/quicklinks/file_reader.h"
#include "extension/quicklinks/uuhash.h"

namespace va {
namespace {

class Win32FileReader : public FileReader {
 public:
  explicit Win32FileReader(HANDLE file) : file_(file) {}
  ~Win32FileReader() override { CloseHandle(file_); }
  Win32FileReader(const Win32FileReader&) = delete;
  Win32FileReader& operator=(const Win32FileReader&) = delete;

  uint64_t Size() override {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file_, &size) || size.QuadPart < 0) return 0;
    return uint64_t(size.QuadPart);
  }

  size_t ReadAt(uint64_t position, uint8_t* buffer, size_t length) override {
    OVERLAPPED at = {};
    at.Offset = DWORD(position);
    at.OffsetHigh = DWORD(position >> 32);
    DWORD got = 0;
    if (!ReadFile(file_, buffer, DWORD(length), &got, &at)) return 0;
    return got;
  }

 private:
  HANDLE file_;
};

}  // namespace

std::unique_ptr<FileReader> OpenFileReader(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32FileReader>(file);
}

bool ComputeUUHash(const std::string& path, UUHashValue& value) {
  std::unique_ptr<FileReader> file = OpenFileReader(path);
  if (!file) return false;
  value = ComputeUUHash(*file);
  return true;
}

}  // namespace va
