// metadata: see metadata.h.
#include "wizard/metadata.h"

#include <cstring>

namespace va {
namespace {

// Reads forward over a byte range; every read fails once the range is exhausted.
class ByteReader {
 public:
  ByteReader(std::span<const uint8_t> bytes, size_t offset) : bytes_(bytes), at_(offset) {}
  size_t position() const { return at_; }
  size_t remaining() const { return at_ < bytes_.size() ? bytes_.size() - at_ : 0; }

  bool Byte(uint8_t& value) {
    if (remaining() < 1) return false;
    value = bytes_[at_++];
    return true;
  }
  bool U32(uint32_t& value) {
    if (remaining() < 4) return false;
    value = static_cast<uint32_t>(bytes_[at_]) | static_cast<uint32_t>(bytes_[at_ + 1]) << 8 |
            static_cast<uint32_t>(bytes_[at_ + 2]) << 16 | static_cast<uint32_t>(bytes_[at_ + 3]) << 24;
    at_ += 4;
    return true;
  }
  // A text up to its NUL; fails when no NUL comes before the end.
  bool Text(std::string& text) {
    const void* end = remaining() ? std::memchr(bytes_.data() + at_, 0, remaining()) : nullptr;
    if (!end) return false;
    const size_t length = static_cast<const uint8_t*>(end) - (bytes_.data() + at_);
    text.assign(reinterpret_cast<const char*>(bytes_.data() + at_), length);
    at_ += length + 1;
    return true;
  }
  bool Bytes(size_t count, std::string& out) {
    if (remaining() < count) return false;
    out.assign(reinterpret_cast<const char*>(bytes_.data() + at_), count);
    at_ += count;
    return true;
  }

 private:
  std::span<const uint8_t> bytes_;
  size_t at_;
};

// Smallest stored profile: an empty name (its NUL) and 16 values.
constexpr size_t kMinProfileBytes = 1 + 4 * kProfileValueCount;

}  // namespace

TrailerStatus ParseMetadataTrailer(std::span<const uint8_t> file, MetadataTrailer& trailer) {
  if (file.size() < kTrailerTailSize) return TrailerStatus::NoSignature;
  const size_t tail = file.size() - kTrailerTailSize;
  const char* signature = reinterpret_cast<const char*>(file.data() + tail + 4);
  const size_t signatureLength = strnlen(signature, 6);
  if (signatureLength != std::strlen(kTrailerSignature) ||
      std::memcmp(signature, kTrailerSignature, signatureLength) != 0) {
    return TrailerStatus::NoSignature;
  }
  uint32_t blockSize = 0;
  ByteReader(file, tail).U32(blockSize);
  if (blockSize < kTrailerTailSize || blockSize > file.size()) return TrailerStatus::Broken;

  // Everything before the size field is the trailer's content.
  const std::span<const uint8_t> content = file.first(tail);
  ByteReader reader(content, file.size() - blockSize);
  MetadataTrailer parsed;
  for (std::string& text : parsed.texts) {
    if (!reader.Text(text)) return TrailerStatus::Broken;
  }
  uint32_t count = 0;
  if (!reader.U32(count)) return TrailerStatus::Broken;
  if (count > reader.remaining() / kMinProfileBytes) return TrailerStatus::Broken;
  parsed.profiles.resize(count);
  for (ConnectionProfile& profile : parsed.profiles) {
    if (!reader.Text(profile.name)) return TrailerStatus::Broken;
    for (uint32_t& value : profile.values) {
      if (!reader.U32(value)) return TrailerStatus::Broken;
    }
  }
  parsed.scriptOffset = reader.position();
  parsed.scriptEnd = tail;
  trailer = std::move(parsed);
  return TrailerStatus::Ok;
}

std::vector<ScriptRecord> ParseRegistryScript(std::span<const uint8_t> bytes) {
  std::vector<ScriptRecord> records;
  ByteReader reader(bytes, 0);
  for (;;) {
    uint8_t kind = 0;
    if (!reader.Byte(kind)) break;
    ScriptRecord record;
    if (kind == 0) {
      record.kind = ScriptRecord::Kind::Key;
      if (!reader.U32(record.root) || record.root == 0 || !reader.Text(record.path)) break;
    } else {
      record.kind = ScriptRecord::Kind::Value;
      ByteReader name(bytes, reader.position() - 1);  // the kind byte starts the name
      uint32_t size = 0;
      if (!name.Text(record.name) || !name.U32(record.type) || !name.U32(size) || !name.Bytes(size, record.data)) break;
      reader = name;
    }
    records.push_back(std::move(record));
  }
  return records;
}

}  // namespace va
