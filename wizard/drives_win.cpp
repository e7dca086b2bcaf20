// drives_win: see drives_win.h.
#include "wizard/drives_win.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include "common/text_rules.h"
#include "wizard/resources/resource.h"
#include "wizard/wizard_messages_win.h"
#include "wizard/wizard_rules.h"

namespace va {
namespace {

constexpr DWORD kDriveStringsBuffer = 128;
constexpr DWORD kVolumeLabelBuffer = 64;

#ifndef BIF_NEWDIALOGSTYLE
#define BIF_NEWDIALOGSTYLE 0x0040
#endif

int CALLBACK BrowseCallback(HWND browser, UINT message, LPARAM lParam, LPARAM data) {
  switch (message) {
    case BFFM_INITIALIZED:
      SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
      break;
    case BFFM_SELCHANGED: {
      char path[MAX_PATH] = {};
      if (SHGetPathFromIDListA(reinterpret_cast<LPCITEMIDLIST>(lParam), path)) {
        SendMessageA(browser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
      }
      break;
    }
  }
  return 0;
}

bool comInitialised = false;

}  // namespace

void ReleaseComForBrowser() {
  if (comInitialised) CoUninitialize();
  comInitialised = false;
}

void ListLocalDrives(HWND list) {
  char roots[kDriveStringsBuffer] = {};
  DWORD length = GetLogicalDriveStringsA(sizeof roots - 1, roots);
  if (length == 0 || length >= sizeof roots) return;
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  for (const char* root = roots; *root; root += lstrlenA(root) + 1) {
    if (GetDriveTypeA(root) != DRIVE_FIXED) continue;
    ULARGE_INTEGER available = {}, total = {}, totalFree = {};
    GetDiskFreeSpaceExA(root, &available, &total, &totalFree);
    SHFILEINFOA info = {};
    SHGetFileInfoA(root, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON);
    char label[kVolumeLabelBuffer] = {};
    GetVolumeInformationA(root, label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0);
    std::string drive(root);
    drive.pop_back();  // "C:\" -> "C:"
    const std::string row = UpperCaseText(drive) + " (" + label + ")\t" + FormatByteSize(totalFree.QuadPart);
    LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row.c_str()));
    if (index >= 0) SendMessageA(list, LB_SETITEMDATA, index, reinterpret_cast<LPARAM>(info.hIcon));
    else if (info.hIcon) DestroyIcon(info.hIcon);
  }
  SetErrorMode(oldMode);
}

void DestroyDriveIcons(HWND list) {
  const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    HICON icon = reinterpret_cast<HICON>(SendMessageA(list, LB_GETITEMDATA, i, 0));
    if (icon && reinterpret_cast<LRESULT>(icon) != LB_ERR) DestroyIcon(icon);
    SendMessageA(list, LB_SETITEMDATA, i, 0);
  }
}

void BrowseForFolderInto(HWND page, int editId, const std::string& initialPath) {
  if (!comInitialised) comInitialised = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  const std::string title = LoadWizardString(IDS_SELECT_SHARED_FOLDER);
  BROWSEINFOA browse = {};
  browse.hwndOwner = page;
  browse.lpszTitle = title.c_str();
  browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT | BIF_NEWDIALOGSTYLE;
  browse.lpfn = BrowseCallback;
  browse.lParam = reinterpret_cast<LPARAM>(initialPath.c_str());
  LPITEMIDLIST chosen = SHBrowseForFolderA(&browse);
  if (!chosen) return;
  char path[MAX_PATH] = {};
  if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(page, editId, path);
  CoTaskMemFree(chosen);
}

bool FolderExists(const std::string& path) {
  std::string folder = path.substr(0, path.find('\0'));
  // A search would take wildcards as a pattern and find some other folder.
  if (folder.empty() || folder.find_first_of("*?") != std::string::npos) return false;
  if (folder.back() == '\\') folder.pop_back();
  if (folder.size() == 2 && folder[1] == ':') {
    // A drive root has no entry of its own to find: ask for its attributes.
    const DWORD attributes = GetFileAttributesA((folder + "\\").c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  }
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA(folder.c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return false;
  FindClose(search);
  return (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && !(found.dwFileAttributes & FILE_ATTRIBUTE_TEMPORARY);
}

bool QueryFreeBytes(const std::string& path, unsigned long long& freeBytes) {
  ULARGE_INTEGER available = {}, total = {}, totalFree = {};
  const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  const BOOL ok = GetDiskFreeSpaceExA(path.c_str(), &available, &total, &totalFree);
  SetErrorMode(oldMode);
  if (!ok) return false;
  freeBytes = totalFree.QuadPart;
  return true;
}

}  // namespace va
