// dialog_utils_win: see dialog_utils.h.
#include "common/dialog_utils.h"

#include <commctrl.h>
#include <commdlg.h>
#include <shlobj.h>

#include <cstring>

#include "common/text_rules.h"

namespace va {
namespace {

constexpr DWORD kFileNameBuffer = 1024;
constexpr int kEditTextBuffer = 64;  // edit texts are read up to 63 characters
constexpr size_t kExcludedMax = 259;
constexpr int kFaceNameMax = 31;
constexpr LPARAM kTooltipMaxWidth = 350;
constexpr char kTooltipClass[] = "tooltips_class32";

// The module that holds this code: the extension module inside the host, the
// test program in tests.
HMODULE OwnModule() {
  HMODULE module = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCSTR>(&OwnModule), &module);
  return module;
}

std::string LoadOwnString(UINT id) {
  char text[512] = "";
  LoadStringA(OwnModule(), id, text, sizeof text);
  return text;
}

std::string ExecutableFolder() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  char* slash = std::strrchr(path, '\\');
  if (slash) *slash = '\0';
  return path;
}

struct FolderBrowse {
  std::string initial;
  std::string excludedUpper;
};

int CALLBACK FolderBrowseProc(HWND window, UINT message, LPARAM param, LPARAM data) {
  const FolderBrowse* browse = reinterpret_cast<const FolderBrowse*>(data);
  if (message == BFFM_INITIALIZED) {
    if (!browse->initial.empty()) {
      SendMessageA(window, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(browse->initial.c_str()));
    }
  } else if (message == BFFM_SELCHANGED) {
    char path[MAX_PATH] = "";
    if (SHGetPathFromIDListA(reinterpret_cast<PCIDLIST_ABSOLUTE>(param), path)) {
      SendMessageA(window, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(path));
      bool excluded = !browse->excludedUpper.empty() &&
                      UpperCaseText(path).find(browse->excludedUpper) != std::string::npos;
      SendMessageA(window, BFFM_ENABLEOK, 0, excluded ? 0 : 1);
    }
  }
  return 0;
}

// A tooltip window owned by (or a child of) `dialog`. The tooltips this module
// creates are owned pop-ups, not children, so owned windows are searched too:
// otherwise every call would make another tooltip window. A pop-up created for a
// child dialog (an options page) is owned by that dialog's top-level window.
HWND FindDialogTooltip(HWND dialog) {
  if (HWND child = FindWindowExA(dialog, nullptr, kTooltipClass, nullptr)) return child;
  const HWND root = GetAncestor(dialog, GA_ROOT);
  HWND candidate = nullptr;
  while ((candidate = FindWindowExA(nullptr, candidate, kTooltipClass, nullptr)) != nullptr) {
    const HWND owner = GetWindow(candidate, GW_OWNER);
    if (owner == dialog || (owner && owner == root)) return candidate;
  }
  return nullptr;
}

void PutEditText(HWND edit, const std::string& text) {
  SetWindowTextA(edit, text.c_str());
  LPARAM end = static_cast<LPARAM>(text.size());
  SendMessageA(edit, EM_SETSEL, static_cast<WPARAM>(end), end);
}

std::string EditText(HWND edit) {
  char text[kEditTextBuffer] = "";
  GetWindowTextA(edit, text, kEditTextBuffer);
  return text;
}

}  // namespace

std::string PickOpenFile(HWND owner, const std::string& initialFolder, const std::string& filter) {
  char file[kFileNameBuffer] = "";
  std::string folder = initialFolder.empty() ? ExecutableFolder() : initialFolder;
  std::string filterList = filter;
  if (!filterList.empty()) filterList += std::string(2, '\0');  // the list ends in two NULs
  OPENFILENAMEA ofn = {};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = owner;
  ofn.lpstrFilter = filterList.empty() ? nullptr : filterList.c_str();
  ofn.lpstrFile = file;
  ofn.nMaxFile = kFileNameBuffer;
  ofn.lpstrInitialDir = folder.c_str();
  ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NONETWORKBUTTON | OFN_DONTADDTORECENT;
  if (!GetOpenFileNameA(&ofn)) return {};
  return file;
}

std::string PickFolder(HWND owner, const std::string& initialFolder, const std::string& excluded,
                       const std::string& rootFolder) {
  FolderBrowse browse{initialFolder, UpperCaseText(excluded.substr(0, kExcludedMax))};
  std::string title = LoadOwnString(kPickFolderTitleString);
  PIDLIST_ABSOLUTE root = rootFolder.empty() ? nullptr : ILCreateFromPathA(rootFolder.c_str());
  BROWSEINFOA info = {};
  info.hwndOwner = owner;
  info.pidlRoot = root;
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT | BIF_NEWDIALOGSTYLE;
  info.lpfn = FolderBrowseProc;
  info.lParam = reinterpret_cast<LPARAM>(&browse);
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&info);
  if (root) ILFree(root);
  if (!chosen) return {};
  char path[MAX_PATH] = "";
  BOOL ok = SHGetPathFromIDListA(chosen, path);
  CoTaskMemFree(chosen);
  return ok ? path : std::string();
}

HFONT CreatePointFontForDpi(const char* face, int points, int pixelsPerInch, int weight, bool underline) {
  LOGFONTA font = {};
  font.lfHeight = -MulDiv(points, pixelsPerInch, 72);
  font.lfWeight = weight;
  font.lfUnderline = underline ? 1 : 0;
  std::strncpy(font.lfFaceName, face ? face : "", kFaceNameMax);
  return CreateFontIndirectA(&font);
}

HFONT CreatePointFont(const char* face, int points, int weight, bool underline) {
  HDC screen = GetDC(nullptr);
  int pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return CreatePointFontForDpi(face, points, pixelsPerInch, weight, underline);
}

HWND GetDialogTooltip(HWND dialog) {
  if (!dialog) dialog = GetActiveWindow();
  if (!dialog) return nullptr;
  if (HWND existing = FindDialogTooltip(dialog)) return existing;
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  HWND tip = CreateWindowExA(0, kTooltipClass, "", TTS_ALWAYSTIP, 0, 0, 0, 0, dialog, nullptr,
                             GetModuleHandleA(nullptr), nullptr);
  if (tip) SendMessageA(tip, TTM_SETMAXTIPWIDTH, 0, kTooltipMaxWidth);
  return tip;
}

void SetControlTooltip(HWND control, const std::string& text) {
  HWND parent = GetParent(control);
  HWND tip = GetDialogTooltip(parent);
  if (!tip) return;
  TTTOOLINFOA tool = {};
  tool.cbSize = TTTOOLINFOA_V2_SIZE;
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = parent;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  if (SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool))) {
    SendMessageA(tip, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
  }
  tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  tool.hwnd = parent;
  tool.uId = reinterpret_cast<UINT_PTR>(control);
  tool.lpszText = const_cast<char*>(text.c_str());
  SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void FilterNumericEdit(HWND edit, bool allowDecimals) {
  std::string filtered;
  if (!FilterNumericText(EditText(edit), allowDecimals, filtered)) return;
  MessageBeep(MB_OK);
  PutEditText(edit, filtered);
}

void ClampEditNumber(HWND edit, int32_t minimum, int32_t maximum) {
  std::string replacement;
  if (!ClampNumberText(EditText(edit), minimum, maximum, replacement)) return;
  PutEditText(edit, replacement);
  MessageBeep(MB_OK);
}

}  // namespace va
