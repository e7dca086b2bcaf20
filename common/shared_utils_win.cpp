// shared_utils_win: Win32 side of shared_utils.h.
#include "common/shared_utils.h"

#include <windows.h>

#include <cstring>

namespace va {

namespace {
constexpr int kClipboardAttempts = 20;
constexpr DWORD kClipboardRetryMs = 50;
}  // namespace

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
  // Opened by its exact name: a search would take "?" and "*" as wildcards and
  // report another file's size. A folder cannot be opened this way either.
  HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return -1;
  LARGE_INTEGER size = {};
  const BOOL known = GetFileSizeEx(file, &size);
  CloseHandle(file);
  return known ? static_cast<int64_t>(size.QuadPart) : -1;
}

bool SetClipboardText(const std::string& text) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, text.size() + 1);
  if (!block) return false;
  void* bytes = GlobalLock(block);
  if (!bytes) {
    GlobalFree(block);
    return false;
  }
  std::memcpy(bytes, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  // Another program may hold the clipboard for a moment: try for about a second.
  bool opened = false;
  for (int attempt = 0; attempt < kClipboardAttempts && !(opened = OpenClipboard(nullptr) != 0); ++attempt)
    Sleep(kClipboardRetryMs);
  if (!opened) {
    GlobalFree(block);
    return false;
  }
  EmptyClipboard();
  const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
  if (!taken) GlobalFree(block);  // not taken: still ours
  CloseClipboard();
  return taken;
}

}  // namespace va
