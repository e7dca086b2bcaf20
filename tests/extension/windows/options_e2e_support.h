// options_e2e_support: the ceremony of the options dialog's end-to-end tests:
// starting the host, opening the dialog through the module's commands, finding
// and driving its pages from this process, and reading the registry.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "support/extension_keys.h"
#include "support/hostsim_driver.h"

namespace va {
namespace {

using test::Dword;
using test::HostSim;
using test::HostTopWindow;
using test::kAcceleratorKey;
using test::kAddOnKey;
using test::kExtKey;
using test::kFiltersKey;
using test::kLastStateKey;
using test::kToolsKey;
using test::PutRawValue;
using test::ReadStoredValue;
using test::Sz;
using test::WaitUntil;

const char kCaption[] = "VA Extensions - More Options";
constexpr int kOptionsCommand = 11001;
constexpr int kAccelOptionsCommand = 11402;
constexpr int kPageList = 1015;
constexpr int kDeadlineMs = 10000;

class OptionsEndToEnd : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() { test::ClearExtensionSettings(); }
  static void StartHost(HostSim& host) {
    ASSERT_TRUE(host.Start("second_panel_ms = -1\n"));
    ASSERT_TRUE(host.WaitForLog("result ServiceShow"));
    ASSERT_TRUE(host.Sync());
    ASSERT_TRUE(host.Sync());
  }
  // Sends the module's command to the host's main window and waits for the dialog.
  static HWND Open(HostSim& host, int command) {
    if (!host.Send("command " + std::to_string(command))) return nullptr;
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = HostTopWindow(host, "#32770", kCaption)) != nullptr; },
              kDeadlineMs);
    return dialog;
  }
  static bool Close(HostSim& host, HWND dialog, int button) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    return WaitUntil([&] { return !IsWindow(dialog); }, kDeadlineMs) && host.Sync();
  }
  static int SelectedPage(HWND dialog) {
    HWND list = GetDlgItem(dialog, kPageList);
    LRESULT index = SendMessageA(list, LB_GETCURSEL, 0, 0);
    return index < 0 ? -1 : static_cast<int>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(index), 0));
  }
  static int VisiblePage(HWND dialog) {
    int shown = 0;
    for (int id = 201; id <= 206; ++id)
      if (HWND page = GetDlgItem(dialog, id); page && IsWindowVisible(page)) shown = shown ? -1 : id;
    return shown;
  }
  static void SelectPage(HWND dialog, int pageId) {
    HWND list = GetDlgItem(dialog, kPageList);
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(pageId - 201), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kPageList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }
  static void ExitHost(HostSim& host) {
    ASSERT_TRUE(host.Send("exit"));
    DWORD code = 99;
    ASSERT_TRUE(host.WaitForExit(kDeadlineMs, &code));
  }
};

// ---- driving a page from outside ----

inline HWND PageOf(HWND dialog, int pageId) { return GetDlgItem(dialog, pageId); }
inline bool Checked(HWND page, int id) { return SendDlgItemMessageA(page, id, BM_GETCHECK, 0, 0) == BST_CHECKED; }
inline bool Enabled(HWND page, int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; }
inline bool Shown(HWND page, int id) { return IsWindowVisible(GetDlgItem(page, id)) != FALSE; }
// What a click on an automatic check box does: toggle, then notify the page.
inline void Click(HWND page, int id) {
  HWND box = GetDlgItem(page, id);
  SendMessageA(box, BM_SETCHECK, Checked(page, id) ? BST_UNCHECKED : BST_CHECKED, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(box));
}
// A click on a push button (or a radio button of a pair).
inline void Press(HWND page, int id) {
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
inline void PressAsync(HWND page, int id) {
  PostMessageA(page, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
inline void ChooseRadio(HWND page, int on, int off) {
  SendDlgItemMessageA(page, off, BM_SETCHECK, BST_UNCHECKED, 0);
  SendDlgItemMessageA(page, on, BM_SETCHECK, BST_CHECKED, 0);
  Press(page, on);
}
inline void ChooseComboItem(HWND page, int id, int index) {
  SendDlgItemMessageA(page, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(page, id)));
}
// Typing into an edit box: the text changes and the box notifies the page.
inline void Type(HWND page, int id, const std::string& text) {
  SendDlgItemMessageA(page, id, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}
inline std::string TextOf(HWND page, int id) {
  char text[512] = "";
  SendDlgItemMessageA(page, id, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// A visible dialog of the host's process other than `except` (a file picker or a
// message box the page opened); 0 after the deadline.
inline HWND WaitForOtherDialog(HostSim& host, HWND except, int timeoutMs = kDeadlineMs) {
  HWND found = nullptr;
  WaitUntil(
      [&] {
        HWND window = nullptr;
        while ((window = FindWindowExA(nullptr, window, "#32770", nullptr))) {
          DWORD owner = 0;
          GetWindowThreadProcessId(window, &owner);
          if (owner == host.ProcessId() && window != except && IsWindowVisible(window)) {
            found = window;
            return true;
          }
        }
        return false;
      },
      timeoutMs);
  return found;
}

// Answers the open-file dialog with `path`.
inline bool AnswerFilePicker(HostSim& host, HWND optionsDialog, const std::string& path) {
  HWND picker = WaitForOtherDialog(host, optionsDialog);
  if (!picker) return false;
  HWND name = GetDlgItem(picker, 1148);  // cmb13, or edt1 (1152) in the older layout
  if (!name) name = GetDlgItem(picker, 1152);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageA(picker, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return WaitUntil([&] { return !IsWindow(picker); }, kDeadlineMs);
}

// ---- the registry below SOFTWARE\VAExtensions, as text ----

inline void ExportKey(HKEY root, const std::string& path, std::string* out) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    *out += "[" + path + "] missing\n";
    return;
  }
  *out += "[" + path + "]\n";
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD nameSize = sizeof name, type = 0, dataSize = 0;
    if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, nullptr, &dataSize) != ERROR_SUCCESS) break;
    std::string data(dataSize, '\0');
    nameSize = sizeof name;
    RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &dataSize);
    data.resize(dataSize);
    char head[64];
    wsprintfA(head, " type=%lu bytes=", type);
    *out += std::string(name) + head;
    for (unsigned char c : data) {
      char hex[4];
      wsprintfA(hex, "%02x", c);
      *out += hex;
    }
    *out += "\n";
  }
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD nameSize = sizeof name;
    if (RegEnumKeyExA(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    ExportKey(root, path + "\\" + name, out);
  }
  RegCloseKey(key);
}

inline std::string ExportSettings() {
  std::string out = "HKEY_CURRENT_USER\n";
  ExportKey(HKEY_CURRENT_USER, kExtKey, &out);
  out += "HKEY_LOCAL_MACHINE\n";
  ExportKey(HKEY_LOCAL_MACHINE, kExtKey, &out);
  return out;
}

inline uint32_t StoredDword(const char* subkey, const char* name) {
  test::StoredValue value = ReadStoredValue(HKEY_CURRENT_USER, subkey, name);
  uint32_t number = 0xFFFFFFFF;
  if (value.exists && value.type == REG_DWORD && value.bytes.size() == 4) memcpy(&number, value.bytes.data(), 4);
  return number;
}

}  // namespace
}  // namespace va
