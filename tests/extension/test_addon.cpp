// test_addon: an add-on library for the tests. It records every call of the five
// exports, with all arguments, as one line appended to the file named by the
// environment variable VA_TEST_ADDON_LOG:  <own file name> <Export> <args in hex>.
// Copies of it under different names tell apart the add-ons of a list.
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <string>

#include "extension/core/host_ids.h"
#include "extension/core/host_layout.h"

namespace {

HINSTANCE self = nullptr;

void Record(const char* name, const DWORD_PTR* args, int count) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VA_TEST_ADDON_LOG", path, MAX_PATH)) return;
  char own[MAX_PATH] = {};
  GetModuleFileNameA(self, own, MAX_PATH);
  std::string file = own;
  std::string line = file.substr(file.find_last_of('\\') + 1) + " " + name;
  for (int i = 0; i < count; ++i) {
    char number[24];
    std::snprintf(number, sizeof number, " 0x%llx", static_cast<unsigned long long>(args[i]));
    line += number;
  }
  line += "\r\n";
  HANDLE out = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(out);
}

void RecordText(const std::string& text) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VA_TEST_ADDON_LOG", path, MAX_PATH)) return;
  std::string line = text + "\r\n";
  HANDLE out = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return;
  DWORD written = 0;
  WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  CloseHandle(out);
}

// ---- Probe of the host's item data, read from inside the host's process the way
// the module reads it; asked for by ChannelWrite(kProbeCall, ...). ----
constexpr DWORD_PTR kProbeCall = 0x5EED0001;

BOOL CALLBACK FindMainFrame(HWND window, LPARAM found) {
  char name[32] = {};
  GetClassNameA(window, name, sizeof name);
  if (lstrcmpA(name, va::host::kMainFrameClass) != 0) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

HWND InnerPaneOf(HWND main, const char* title) {
  HWND frame = FindWindowExA(GetDlgItem(main, va::host::kPaneFirstId), nullptr, va::host::kFrameClass, title);
  return frame ? GetDlgItem(frame, va::host::kPaneFirstId) : nullptr;
}

// The working path: the record points into a text whose start is found by walking
// back to the preceding zero byte.
std::string WorkingPath(const unsigned char* detail) {
  const char* inside = static_cast<const char*>(va::host::ReadPointerAt(detail, va::host::kDetailWorkingPathOffset));
  if (!inside) return "";
  const char* start = inside;
  while (start[-1] != '\0') --start;
  return start;
}

void ProbeDownloads(HWND main) {
  HWND traffic = GetDlgItem(GetDlgItem(InnerPaneOf(main, "Traffic"), va::host::kPaneFirstId), va::host::kTrafficWindowId);
  HWND list = GetDlgItem(traffic, va::host::kDownloadListId);
  auto item = reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  for (; item; item = reinterpret_cast<HTREEITEM>(SendMessageA(list, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(item)))) {
    TVITEMA data = {};
    data.mask = TVIF_PARAM | TVIF_HANDLE;
    data.hItem = item;
    SendMessageA(list, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    auto* record = reinterpret_cast<const unsigned char*>(data.lParam);
    if (!record) break;
    std::string row = va::host::DownloadRowText(record);
    for (char& c : row)
      if (c == va::host::kRowCellSeparator) c = '|';
    std::string line = "probe row " + row;
    auto* detail = static_cast<const unsigned char*>(va::host::ReadPointerAt(record, va::host::kDownloadDetailOffset));
    if (va::host::ReadWordAt(record, va::host::kDownloadKindOffset) == va::host::kDownloadKindFile && detail &&
        va::host::ReadWordAt(detail, va::host::kDetailMarkerOffset) == va::host::kDetailMarker) {
      line += " finished=" + std::string(reinterpret_cast<const char*>(detail) + va::host::kDetailFinishedPathOffset);
      line += " working=" + WorkingPath(detail);
    }
    RecordText(line);
  }
}

void ProbeLibrary(HWND main) {
  HWND pane = GetDlgItem(InnerPaneOf(main, "My Vexlo Aero V++"), va::host::kPaneSecondId);
  HWND list = GetDlgItem(pane, va::host::kLibraryListId);
  int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    LVITEMA data = {};
    data.mask = LVIF_PARAM;
    data.iItem = i;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&data));
    auto* record = reinterpret_cast<const unsigned char*>(data.lParam);
    if (!record) continue;
    if (va::host::ReadWordAt(record, va::host::kLibraryMarkerOffset) != va::host::kFileItemMarker) {
      RecordText("probe other");
      continue;
    }
    RecordText(std::string("probe file ") + va::host::LibraryItemFolder(record) + "\\" + va::host::LibraryItemName(record));
  }
}

void Probe() {
  HWND main = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMainFrame, reinterpret_cast<LPARAM>(&main));
  if (!main) {
    RecordText("probe no main frame on this thread");
    return;
  }
  ProbeDownloads(main);
  ProbeLibrary(main);
  RecordText("probe end");
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  self = instance;
  return TRUE;
}

__declspec(dllexport) DWORD WINAPI ChannelWrite(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4) {
  DWORD_PTR a[] = {a1, a2, a3, a4};
  Record("ChannelWrite", a, 4);
  if (a1 == kProbeCall) Probe();
  return 7;
}

__declspec(dllexport) DWORD WINAPI ChannelRead(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4) {
  DWORD_PTR a[] = {a1, a2, a3, a4};
  Record("ChannelRead", a, 4);
  return 7;
}

__declspec(dllexport) DWORD WINAPI ServiceShow(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4, DWORD_PTR a5,
                                               DWORD_PTR a6, DWORD_PTR a7, DWORD_PTR a8, DWORD_PTR a9, DWORD_PTR a10,
                                               DWORD_PTR a11) {
  DWORD_PTR a[] = {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11};
  Record("ServiceShow", a, 11);
  return 7;
}

__declspec(dllexport) DWORD WINAPI ServiceClose(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3) {
  DWORD_PTR a[] = {a1, a2, a3};
  Record("ServiceClose", a, 3);
  return 7;
}

__declspec(dllexport) DWORD WINAPI DescWrite(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4, DWORD_PTR a5) {
  DWORD_PTR a[] = {a1, a2, a3, a4, a5};
  Record("DescWrite", a, 5);
  return 7;
}

}  // extern "C"
