// wizard_driver_win: see wizard_driver_win.h.
#include "demo/wizard_driver_win.h"

#include <commctrl.h>

namespace va::test {
namespace {

constexpr DWORD kPollMs = 20;
constexpr int kMessageBoxTextId = 0xFFFF;
constexpr int kWizardNextButton = 0x3024;
constexpr int kTextBuffer = 4096;

struct FindContext {
  DWORD processId;
  const std::function<bool(HWND)>* match;
  HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM data) {
  auto* context = reinterpret_cast<FindContext*>(data);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != context->processId || !IsWindowVisible(window)) return TRUE;
  if (!(*context->match)(window)) return TRUE;
  context->found = window;
  return FALSE;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

std::string TitleOf(HWND window) {
  char title[256] = {};
  GetWindowTextA(window, title, sizeof title);
  return title;
}

void ListInto(HKEY root, const std::string& key, std::vector<std::string>& out) {
  HKEY handle = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &handle) != ERROR_SUCCESS) return;
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD nameLength = sizeof name;
    BYTE data[kTextBuffer];
    DWORD dataLength = sizeof data;
    DWORD type = 0;
    if (RegEnumValueA(handle, i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS) break;
    out.push_back(key + "\\" + name + "=" + std::string(reinterpret_cast<char*>(data), dataLength));
  }
  for (DWORD i = 0;; ++i) {
    char name[512];
    DWORD nameLength = sizeof name;
    if (RegEnumKeyExA(handle, i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    ListInto(root, key + "\\" + name, out);
  }
  RegCloseKey(handle);
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (condition()) return true;
    if (GetTickCount() - start > deadlineMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
  }
}

std::string BesideTest(const std::string& name) {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.rfind('\\') + 1) + name;
}

WizardProcess::WizardProcess(const std::string& program, const std::string& arguments) {
  std::string line = "\"" + BesideTest(program) + "\"";
  if (!arguments.empty()) line += " " + arguments;
  std::vector<char> buffer(line.begin(), line.end());
  buffer.push_back('\0');
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessA(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process_)) {
    process_ = {};
  }
}

WizardProcess::~WizardProcess() {
  if (!process_.hProcess) return;
  if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
    TerminateProcess(process_.hProcess, 1);
    WaitForSingleObject(process_.hProcess, kWindowDeadlineMs);
  }
  CloseHandle(process_.hThread);
  CloseHandle(process_.hProcess);
}

bool WizardProcess::WaitForExit(DWORD& exitCode, DWORD deadlineMs) {
  if (!process_.hProcess) return false;
  if (!WaitUntil([&] { return WaitForSingleObject(process_.hProcess, 0) == WAIT_OBJECT_0; }, deadlineMs)) return false;
  return GetExitCodeProcess(process_.hProcess, &exitCode) != 0;
}

HWND WizardProcess::FindTopLevel(const std::function<bool(HWND)>& match) {
  FindContext context{process_.dwProcessId, &match, nullptr};
  EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&context));
  return context.found;
}

HWND WizardProcess::WaitForSheet(DWORD deadlineMs) {
  HWND sheet = nullptr;
  WaitUntil([&] {
    sheet = FindTopLevel([](HWND w) { return GetDlgItem(w, kWizardNextButton) != nullptr; });
    return sheet != nullptr;
  }, deadlineMs);
  sheet_ = sheet;
  return sheet;
}

HWND WizardProcess::WaitForMessageBox(DWORD deadlineMs) {
  HWND box = nullptr;
  WaitUntil([&] {
    box = FindTopLevel([](HWND w) { return ClassOf(w) == "#32770" && TitleOf(w) == "Wizard"; });
    return box != nullptr;
  }, deadlineMs);
  return box;
}

bool WizardProcess::NoMessageBoxFor(DWORD ms) { return WaitForMessageBox(ms) == nullptr; }

HWND WizardProcess::CurrentPage() {
  if (!sheet_) return nullptr;
  return reinterpret_cast<HWND>(SendMessageA(sheet_, PSM_GETCURRENTPAGEHWND, 0, 0));
}

bool WizardProcess::WaitForPageWith(int controlId, DWORD deadlineMs) {
  return WaitUntil([&] {
    HWND page = CurrentPage();
    return page && GetDlgItem(page, controlId) != nullptr;
  }, deadlineMs);
}

// Posted, not sent: a press may open a modal message box inside the wizard.
void WizardProcess::PressNext() { PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_NEXT, 0); }
void WizardProcess::PressBack() { PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_BACK, 0); }
void WizardProcess::PressFinish() { PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_FINISH, 0); }
void WizardProcess::PressCancel() { PostMessageA(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0); }

std::string MessageBoxText(HWND box) { return ControlText(box, kMessageBoxTextId); }

void AnswerMessageBox(HWND box, int buttonId) { PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), 0); }

std::string ControlText(HWND window, int controlId) {
  char text[kTextBuffer] = {};
  SendDlgItemMessageA(window, controlId, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void SetControlText(HWND window, int controlId, const std::string& text) {
  SendDlgItemMessageA(window, controlId, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void SelectComboEntry(HWND page, int controlId, int index) {
  HWND combo = GetDlgItem(page, controlId);
  SendMessageA(combo, CB_SETCURSEL, index, 0);
  SendMessageA(page, WM_COMMAND, MAKEWPARAM(controlId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

void ClickButton(HWND page, int controlId) {
  PostMessageA(page, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, controlId)));
}

std::vector<std::string> ListValues(HKEY root, const std::string& key) {
  std::vector<std::string> values;
  ListInto(root, key, values);
  return values;
}

}  // namespace va::test

namespace va::test {
namespace {
BOOL CALLBACK DescribeOne(HWND window, LPARAM data) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  auto* out = reinterpret_cast<std::string*>(data);
  *out += std::to_string(pid) + " [" + ClassOf(window) + "] '" + TitleOf(window) + "' " +
          (IsWindowVisible(window) ? "visible" : "hidden") + "\n";
  return TRUE;
}
}  // namespace

std::string DescribeTopLevelWindows() {
  std::string text;
  EnumWindows(DescribeOne, reinterpret_cast<LPARAM>(&text));
  return text;
}
}  // namespace va::test
