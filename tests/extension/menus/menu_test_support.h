// menu_test_support: helpers for the in-process tests of the Tools and file
// manager menus: catching the module's message boxes, the recording program's
// log, and waiting with a deadline while this thread's messages run.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace va::test {

// Runs this thread's messages until `done` holds; false after `milliseconds`.
template <typename Predicate>
bool PumpUntil(Predicate done, DWORD milliseconds = 10000) {
  const DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > milliseconds) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  return true;
}

// Catches every message box this thread opens while it lives: records its caption,
// text and owner, and answers it with the next of `answers` (IDOK when they run out).
class MessageBoxCatcher {
 public:
  explicit MessageBoxCatcher(std::vector<int> answers = {});
  ~MessageBoxCatcher();
  MessageBoxCatcher(const MessageBoxCatcher&) = delete;
  MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

  struct Shown {
    std::string caption;
    std::string text;
    HWND owner;
  };
  std::vector<Shown> shown;

 private:
  static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam);
  HHOOK hook_;
  std::vector<int> answers_;
};

// The recording program (open_recorder.exe beside this test) writes one line per
// start into a log; this sets up a fresh log and reads it.
class RecorderLog {
 public:
  explicit RecorderLog(const std::string& path);  // also sets VA_OPEN_LOG
  std::vector<std::string> Lines() const;
  // Waits until the log holds `count` lines.
  bool WaitForLines(size_t count, DWORD milliseconds = 10000) const;
  static std::string ProgramPath();  // open_recorder.exe beside this program

 private:
  std::string path_;
};

// Registers the file extension `extension` (".vatest") as opened by the recording
// program, for this test; removed again by the destructor.
class RecordedFileType {
 public:
  explicit RecordedFileType(const std::string& extension);
  ~RecordedFileType();

 private:
  std::string extension_;
};

}  // namespace va::test
