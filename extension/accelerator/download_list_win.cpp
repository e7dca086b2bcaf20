// download_list (Win32): the adapter to the host's download list.
#include "extension/accelerator/download_list_win.h"

#include "extension/core/host_layout.h"
#include "extension/core/module_state.h"

namespace va {

namespace {
constexpr int kValueNameCapacity = 261;
constexpr size_t kReadChunk = 256;
constexpr uintptr_t kPageSize = 4096;

constexpr DWORD kReadableProtection = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY | PAGE_EXECUTE_READ |
                                      PAGE_EXECUTE_READWRITE | PAGE_EXECUTE_WRITECOPY;

bool IsReadable(const void* address) {
  MEMORY_BASIC_INFORMATION info = {};
  if (!VirtualQuery(address, &info, sizeof(info))) return false;
  return info.State == MEM_COMMIT && (info.Protect & kReadableProtection) != 0 && (info.Protect & PAGE_GUARD) == 0;
}

// Copies memory of this process that the host may have released meanwhile: the
// pages are checked first, and the copy itself cannot fault either.
bool ReadOwnMemory(const void* address, void* buffer, size_t size) {
  if (size == 0) return true;
  const void* last = static_cast<const char*>(address) + size - 1;
  if (!IsReadable(address) || !IsReadable(last)) return false;
  SIZE_T done = 0;
  return ReadProcessMemory(GetCurrentProcess(), address, buffer, size, &done) && done == size;
}
}  // namespace

void LoadDownloadColumnMap() { LoadDownloadColumnMapFrom(HostResourceModule, DownloadColumns); }

int ColumnPosition(int columnIndex) {
  HWND traffic = TrafficWindow;
  return ColumnPositionIn(traffic ? GetDlgItem(traffic, kDownloadHeaderId) : nullptr, columnIndex);
}

void SendHostCommand(WORD commandId) { SendHostCommandTo(HostMainWindow, commandId); }

void LoadDownloadColumnMapFrom(HMODULE hostResources, DownloadColumnMap& map) {
  map = DownloadColumnMap{};
  char appName[kAppNameCapacity] = "";
  LoadStringA(hostResources, kHostAppNameString, appName, sizeof(appName));
  const std::string path = std::string("Software\\Vexlo\\") + appName + "\\Download Order";
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) return;
  for (DWORD index = 0;; ++index) {
    char name[kValueNameCapacity];
    DWORD nameLength = sizeof(name);
    DWORD data = 0, dataSize = sizeof(data);
    if (RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr, reinterpret_cast<BYTE*>(&data), &dataSize) !=
        ERROR_SUCCESS)
      break;
    ApplyDownloadOrderValue(map, std::string_view(name, nameLength), data);
  }
  RegCloseKey(key);
}

HTREEITEM FirstDownload(HWND list) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_ROOT, 0));
}

HTREEITEM NextDownload(HWND list, HTREEITEM item) {
  return reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)));
}

LPARAM DownloadData(HWND list, HTREEITEM item) {
  TVITEMA tv = {};
  tv.mask = TVIF_PARAM;
  tv.hItem = item;
  if (!SendMessageA(list, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return 0;
  return tv.lParam;
}

int ColumnPositionIn(HWND header, int columnIndex) {
  HDITEMA hd = {};
  hd.mask = HDI_ORDER;
  if (!header || !SendMessageA(header, HDM_GETITEMA, static_cast<WPARAM>(columnIndex), reinterpret_cast<LPARAM>(&hd)))
    return 0;
  return hd.iOrder + 1;
}

bool ReadRowText(LPARAM data, std::string& text, size_t limit) {
  text.clear();
  if (data == 0) return false;
  const char* rowText = nullptr;
  const auto* field = reinterpret_cast<const char*>(data) + host::kRowTextPointerOffset;
  if (!ReadOwnMemory(field, &rowText, sizeof(rowText)) || rowText == nullptr) return false;
  // Read page by page: a piece within one page is readable as a whole or not at all.
  auto at = reinterpret_cast<uintptr_t>(rowText);
  while (text.size() < limit) {
    const size_t toPageEnd = static_cast<size_t>(kPageSize - at % kPageSize);
    char chunk[kReadChunk];
    const size_t want = toPageEnd < kReadChunk ? toPageEnd : kReadChunk;
    if (!ReadOwnMemory(reinterpret_cast<const void*>(at), chunk, want)) return false;
    for (size_t i = 0; i < want; ++i) {
      if (chunk[i] == '\0') return true;
      if (text.size() == limit) return true;
      text.push_back(chunk[i]);
    }
    at += want;
  }
  return true;
}

std::string LoadStatusName(HMODULE hostResources, DownloadState state, int capacity) {
  std::string name(static_cast<size_t>(capacity), '\0');
  const int length = LoadStringA(hostResources, static_cast<UINT>(HostStateStringId(state)), name.data(), capacity);
  name.resize(length > 0 ? static_cast<size_t>(length) : 0);
  return name;
}

bool SelectDownload(HWND list, HTREEITEM item) {
  if (!SendMessageA(list, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(item))) return false;
  return reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_CARET, 0)) == item;
}

void SendHostCommandTo(HWND hostMain, WORD commandId) {
  SendMessageA(hostMain, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

}  // namespace va
