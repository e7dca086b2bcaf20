// host_row: the start of the host's record behind each download row (the item
// data of the list's top-level items): a pointer to the row text.
#pragma once

namespace va {
struct HostDownloadRecord {
  const char* rowText;  // cells joined by 0xB6, ends with 0
};
}  // namespace va
