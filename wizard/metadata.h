// metadata: the wizard's metadata trailer (texts, connection profiles, registry
// script) read from the bytes of its own program file. Portable core: every read
// is bounded by the bytes given, so a broken trailer is refused, never overrun.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace va {

// A profile value that is not set: shown as "-" and never written.
inline constexpr uint32_t kUnsetProfileValue = 0xEFFFFFFF;
inline constexpr size_t kProfileValueCount = 16;
inline constexpr size_t kTrailerTailSize = 10;  // block size and signature
inline constexpr char kTrailerSignature[] = "Zyndo";

struct ConnectionProfile {
  std::string name;
  std::array<uint32_t, kProfileValueCount> values{};
};

// The trailer as stored; texts 1 to 6 at index 0 to 5, not yet expanded.
struct MetadataTrailer {
  std::array<std::string, 6> texts;
  std::vector<ConnectionProfile> profiles;
  size_t scriptOffset = 0;  // file offset where the registry script starts
  size_t scriptEnd = 0;     // file offset of the block size field: the script ends before it
};

enum class TrailerStatus {
  Ok,
  NoSignature,  // no "Zyndo" at the end (or a file shorter than the tail)
  Broken,       // signed, but sizes or texts that do not fit the file
};

TrailerStatus ParseMetadataTrailer(std::span<const uint8_t> file, MetadataTrailer& trailer);

// One record of the registry script.
struct ScriptRecord {
  enum class Kind { Key, Value } kind = Kind::Key;
  uint32_t root = 0;    // key record
  std::string path;     // key record
  std::string name;     // value record
  uint32_t type = 0;    // value record
  std::string data;     // value record, bytes as stored
};

// The records of the script in `bytes`, up to (not including) the first key
// record with root 0. A record cut off by the end of the bytes is dropped and
// reading stops there.
std::vector<ScriptRecord> ParseRegistryScript(std::span<const uint8_t> bytes);

}  // namespace va
