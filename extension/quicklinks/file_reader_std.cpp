// file_reader_std: FileReader over the C++ standard library, for the native
// builds (tests and the command-line tool); the Windows builds use file_reader_win.
#include <fstream>

#include "extension/quicklinks/file_reader.h"
#include "extension/quicklinks/uuhash.h"

namespace va {
namespace {

class StdFileReader : public FileReader {
 public:
  explicit StdFileReader(const std::string& path) : stream_(path, std::ios::binary) {}
  bool IsOpen() const { return stream_.is_open(); }

  uint64_t Size() override {
    stream_.clear();
    stream_.seekg(0, std::ios::end);
    std::streamoff end = stream_.tellg();
    return end > 0 ? uint64_t(end) : 0;
  }

  size_t ReadAt(uint64_t position, uint8_t* buffer, size_t length) override {
    stream_.clear();
    stream_.seekg(std::streamoff(position), std::ios::beg);
    if (!stream_) return 0;
    stream_.read(reinterpret_cast<char*>(buffer), std::streamsize(length));
    return size_t(stream_.gcount());
  }

 private:
  std::ifstream stream_;
};

}  // namespace

std::unique_ptr<FileReader> OpenFileReader(const std::string& path) {
  auto reader = std::make_unique<StdFileReader>(path);
  if (!reader->IsOpen()) return nullptr;
  return reader;
}

bool ComputeUUHash(const std::string& path, UUHashValue& value) {
  std::unique_ptr<FileReader> file = OpenFileReader(path);
  if (!file) return false;
  value = ComputeUUHash(*file);
  return true;
}

}  // namespace va
