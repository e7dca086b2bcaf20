// Fuzzes the UUHash: the read plan for any size (the first eight input bytes) stays
// inside the file, inside one block and short, ending at the file's end; the hash
// over files of up to a few MB with the rest as content reads only that plan; MD5
// and base64 keep their promises.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "extension/quicklinks/md5.h"
#include "extension/quicklinks/uuhash.h"

namespace {

class FuzzedFile : public va::FileReader {
 public:
  FuzzedFile(uint64_t size, const uint8_t* content, size_t contentSize)
      : size_(size), content_(content), contentSize_(contentSize) {}
  uint64_t Size() override { return size_; }
  size_t ReadAt(uint64_t position, uint8_t* buffer, size_t length) override {
    if (++reads > 46 || length > va::kUUHashBlockSize || position > size_ || length > size_ - position) std::abort();
    std::memset(buffer, contentSize_ ? content_[position % contentSize_] : 0, length);
    // A flaky medium: sometimes deliver less.
    return contentSize_ && (content_[0] & 1) ? length / 2 : length;
  }
  int reads = 0;

 private:
  uint64_t size_;
  const uint8_t* content_;
  size_t contentSize_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint64_t fileSize = 0;
  if (size >= 8) {
    std::memcpy(&fileSize, data, 8);
    data += 8;
    size -= 8;
  }
  const std::vector<va::UUHashRead> plan = va::PlanUUHashReads(fileSize);
  if (plan.size() > 46 || (fileSize > 0) != !plan.empty()) std::abort();
  for (const va::UUHashRead& read : plan)
    if (read.length == 0 || read.length > va::kUUHashBlockSize || read.position >= fileSize ||
        read.length > fileSize - read.position) std::abort();
  if (!plan.empty() && (plan[0].position != 0 || plan.back().position + plan.back().length != fileSize)) std::abort();

  FuzzedFile file(fileSize % 1700000, data, size);
  const std::string text = va::UUHashText(va::ComputeUUHash(file));
  if (text.size() != 29 || text.front() != '=' || text.back() != '=') std::abort();

  const size_t split = size ? data[0] % (size + 1) : 0;
  va::Md5 md5;
  md5.Update(data, split);
  md5.Update(data + split, size - split);
  if (md5.Finish() != va::ComputeMd5(data, size)) std::abort();

  const std::string encoded = va::Base64Encode(data, size);
  if (encoded.size() != (size + 2) / 3 * 4) std::abort();
  for (size_t i = 0; i < encoded.size(); ++i) {
    char c = encoded[i];
    bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
    if (!letter && !(c == '=' && i + 2 >= encoded.size())) std::abort();
  }
  return 0;
}
