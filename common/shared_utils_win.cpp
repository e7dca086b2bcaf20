// shared_utils_win: Win32 side of shared_utils.h.
#include "common/shared_utils.h"

#include <windows.h>

#include <cstring>

namespace va {

bool CreateFolderPath(const std::string& path) {
  bool createdLast = false;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '\\' || path[i] == '/') {
      createdLast = CreateDirectoryA(path.substr(0, i).c_str(), nullptr) != 0;
    }
  }
  if (!path.empty() && (path.back() == '\\' || path.back() == '/')) {
    // The final creation would target the folder the walk just handled: report
    // whether the walk created it rather than failing on our own new folder.
    return createdLast;
  }
  return CreateDirectoryA(path.c_str(), nullptr) != 0;
}

int64_t QueryFileSize(const std::string& path) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(path.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return -1;
  FindClose(search);
  return (static_cast<int64_t>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
}

void SetClipboardText(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  if (!block) return;
  void* bytes = GlobalLock(block);
  if (!bytes) {
    GlobalFree(block);
    return;
  }
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  if (!OpenClipboard(nullptr)) {
    GlobalFree(block);
    return;
  }
  EmptyClipboard();
  if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);  // not taken: still ours
  CloseClipboard();
}

}  // namespace va
