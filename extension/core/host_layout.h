// host_layout: the host client's item-data records as the module reads them and the
// stand-in host builds them. Where the host holds a pointer the field is pointer
// sized, so the 64-bit test build lays its records out with whole pointers; the
// 32-bit offsets are the host's own. Portable: no Windows headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace va::host {

inline constexpr size_t kPointerSize = sizeof(void*);

// Fields at arbitrary (also unaligned) offsets are copied, never dereferenced in place.
inline const void* ReadPointerAt(const void* base, size_t offset) {
  const void* value = nullptr;
  std::memcpy(&value, static_cast<const unsigned char*>(base) + offset, sizeof value);
  return value;
}
inline void WritePointerAt(void* base, size_t offset, const void* value) {
  std::memcpy(static_cast<unsigned char*>(base) + offset, &value, sizeof value);
}
inline uint32_t ReadWordAt(const void* base, size_t offset) {
  uint32_t value = 0;
  std::memcpy(&value, static_cast<const unsigned char*>(base) + offset, sizeof value);
  return value;
}
inline void WriteWordAt(void* base, size_t offset, uint32_t value) {
  std::memcpy(static_cast<unsigned char*>(base) + offset, &value, sizeof value);
}

// ---- Download list (Traffic window, tree view 373, header 337) ----
// Each top-level item's data points to a download record. Its first field points
// to the row text: every cell in the displayed column order, separated by 0xB6.
inline constexpr char kRowCellSeparator = '\xB6';
inline constexpr size_t kRowTextPointerOffset = 0;
// The record's kind word: 182 marks a download that has a detail record.
inline constexpr size_t kDownloadKindOffset = 8;
inline constexpr uint32_t kDownloadKindFile = 182;
// Pointer to the detail record, stored unaligned right after a one-byte field.
inline constexpr size_t kDownloadDetailOffset = 17;
inline constexpr size_t kDownloadRecordSize = kDownloadDetailOffset + kPointerSize + 7;

// The detail record: a marker word, a pointer into the middle of a zero-terminated
// text (the working file's path; its start is the byte after the preceding zero),
// and the finished file's path stored inline.
inline constexpr size_t kDetailMarkerOffset = 0;
inline constexpr uint32_t kDetailMarker = 0x00586CFC;
inline constexpr size_t kDetailWorkingPathOffset = 4;
inline constexpr size_t kDetailFinishedPathOffset = 353;
inline constexpr size_t kDetailPathCapacity = 260;
inline constexpr size_t kDetailRecordSize = kDetailFinishedPathOffset + kDetailPathCapacity;

inline const char* DownloadRowText(const void* record) {
  return static_cast<const char*>(ReadPointerAt(record, kRowTextPointerOffset));
}

// ---- Library list (library pane 0xE901, list view 59648) ----
// The first word is the marker of a file item; then pointers to the file name and
// to the folder path (no trailing backslash).
inline constexpr size_t kLibraryMarkerOffset = 0;
inline constexpr uint32_t kFileItemMarker = 0x00586C44;
inline constexpr uint32_t kFolderItemMarker = 0x00586C40;
inline constexpr size_t kLibraryNameOffset = kPointerSize == 4 ? 12 : 16;
inline constexpr size_t kLibraryFolderOffset = kLibraryNameOffset + kPointerSize;
inline constexpr size_t kLibraryRecordSize = kLibraryFolderOffset + kPointerSize;

inline const char* LibraryItemName(const void* record) {
  return static_cast<const char*>(ReadPointerAt(record, kLibraryNameOffset));
}
inline const char* LibraryItemFolder(const void* record) {
  return static_cast<const char*>(ReadPointerAt(record, kLibraryFolderOffset));
}

}  // namespace va::host
