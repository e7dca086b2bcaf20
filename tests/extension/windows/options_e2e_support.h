// options_e2e_support: the ceremony of the options dialog's end-to-end tests:
// starting the host, opening the dialog through the module's commands, finding
// and driving its pages from this process, and reading the registry.
#pragma once
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/hostsim_driver.h"
#include "support/scratch_registry.h"

namespace va {
namespace {

using test::HostSim;
using test::PutRawValue;
using test::ReadStoredValue;
using test::WaitUntil;

const char kExtKey[] = "SOFTWARE\\VAExtensions";
const char kLastStateKey[] = "SOFTWARE\\VAExtensions\\LastState";
const char kCaption[] = "VA Extensions - More Options";
constexpr int kOptionsCommand = 11001;
constexpr int kAccelOptionsCommand = 11402;
constexpr int kPageList = 1015;
constexpr int kDeadlineMs = 10000;

inline std::string Dword(uint32_t value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

inline HWND FindHostWindow(DWORD pid, const char* cls, const char* caption) {
  HWND window = nullptr;
  while ((window = FindWindowExA(nullptr, window, cls, caption))) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == pid && IsWindowVisible(window)) return window;
  }
  return nullptr;
}

class OptionsEndToEnd : public testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    test::DeleteTree(HKEY_CURRENT_USER, kExtKey);
    test::DeleteTree(HKEY_LOCAL_MACHINE, kExtKey);
  }
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
    WaitUntil([&] { return (dialog = FindHostWindow(host.ProcessId(), "#32770", kCaption)) != nullptr; },
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

}  // namespace
}  // namespace va
