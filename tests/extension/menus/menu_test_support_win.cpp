// menu_test_support_win: message box catcher, recorder log and file type
// registration for the menu tests.
#include "menu_test_support.h"

#include <fstream>

#include "support/scratch_registry.h"

namespace va::test {
namespace {
MessageBoxCatcher* activeCatcher = nullptr;
constexpr int kMessageTextId = 0xFFFF;  // the text control of a message box
const char kRecordedClass[] = "VATest.RecordedFile";
}  // namespace

MessageBoxCatcher::MessageBoxCatcher(std::vector<int> answers) : answers_(std::move(answers)) {
  activeCatcher = this;
  hook_ = SetWindowsHookExA(WH_CBT, Hook, nullptr, GetCurrentThreadId());
}

MessageBoxCatcher::~MessageBoxCatcher() {
  UnhookWindowsHookEx(hook_);
  activeCatcher = nullptr;
}

LRESULT CALLBACK MessageBoxCatcher::Hook(int code, WPARAM wParam, LPARAM lParam) {
  if (code == HCBT_ACTIVATE && activeCatcher) {
    HWND box = reinterpret_cast<HWND>(wParam);
    char className[32] = "";
    GetClassNameA(box, className, sizeof className);
    if (std::string(className) == "#32770" && GetDlgItem(box, kMessageTextId)) {
      char caption[256] = "", text[2048] = "";
      GetWindowTextA(box, caption, sizeof caption);
      GetDlgItemTextA(box, kMessageTextId, text, sizeof text);
      activeCatcher->shown.push_back({caption, text, GetWindow(box, GW_OWNER)});
      int answer = IDOK;
      if (!activeCatcher->answers_.empty()) {
        answer = activeCatcher->answers_.front();
        activeCatcher->answers_.erase(activeCatcher->answers_.begin());
      }
      PostMessageA(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED), 0);
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

RecorderLog::RecorderLog(const std::string& path) : path_(path) {
  DeleteFileA(path.c_str());
  SetEnvironmentVariableA("VA_OPEN_LOG", path.c_str());
}

std::vector<std::string> RecorderLog::Lines() const {
  std::vector<std::string> lines;
  std::ifstream in(path_);
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool RecorderLog::WaitForLines(size_t count, DWORD milliseconds) const {
  return PumpUntil([&] { return Lines().size() >= count; }, milliseconds);
}

std::string RecorderLog::ProgramPath() {
  char path[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path);
  return folder.substr(0, folder.find_last_of('\\') + 1) + "open_recorder.exe";
}

RecordedFileType::RecordedFileType(const std::string& extension) : extension_(extension) {
  const std::string command = "\"" + RecorderLog::ProgramPath() + "\" \"%1\"";
  // The shell looks associations up under HKEY_CLASSES_ROOT.
  PutRawValue(HKEY_CLASSES_ROOT, extension, "", REG_SZ, std::string(kRecordedClass) + '\0');
  PutRawValue(HKEY_CLASSES_ROOT, std::string(kRecordedClass) + "\\shell\\open\\command", "", REG_SZ, command + '\0');
}

RecordedFileType::~RecordedFileType() {
  DeleteTree(HKEY_CLASSES_ROOT, extension_);
  DeleteTree(HKEY_CLASSES_ROOT, kRecordedClass);
}

}  // namespace va::test
