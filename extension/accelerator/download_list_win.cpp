// download_list (Win32): the adapter to the host's download list.
#include "extension/accelerator/download_list_win.h"

#include "extension/core/host_layout.h"
#include "extension/core/module_state.h"
#include "extension/menus/host_memory_win.h"

namespace va {

namespace {
constexpr int kValueNameCapacity = 261;
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
  const void* rowText = nullptr;
  if (data == 0 || !ReadHostPointer(reinterpret_cast<const void*>(data), host::kRowTextPointerOffset, rowText) ||
      rowText == nullptr)
    return false;
  // A text without its end within `limit` bytes is taken up to the limit.
  if (limit == 0) return true;
  if (ReadHostText(rowText, limit - 1, text)) return true;
  return text.size() == limit;
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
