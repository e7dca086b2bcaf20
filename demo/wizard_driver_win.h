// wizard_driver_win: runs the real wizard program in a child process and drives
// it from the test by window messages: finds its windows with deadlines, presses
// the sheet's buttons, sets and reads control texts, answers message boxes.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace va::test {

inline constexpr DWORD kWindowDeadlineMs = 10000;

// Polls `condition` until it holds or `deadlineMs` passes, handling this
// thread's messages meanwhile (windows the test owns stay responsive).
bool WaitUntil(const std::function<bool()>& condition, DWORD deadlineMs = kWindowDeadlineMs);

// A file next to the test program.
std::string BesideTest(const std::string& name);

class WizardProcess {
 public:
  // Starts `program` (a file beside the test) with `arguments`.
  WizardProcess(const std::string& program, const std::string& arguments = "");
  ~WizardProcess();  // ends a wizard still running: a test that fails midway leaves nothing behind
  WizardProcess(const WizardProcess&) = delete;
  WizardProcess& operator=(const WizardProcess&) = delete;

  bool started() const { return process_.hProcess != nullptr; }
  // Waits for the program to end; false after the deadline.
  bool WaitForExit(DWORD& exitCode, DWORD deadlineMs = kWindowDeadlineMs);

  // The property sheet, or nullptr after the deadline.
  HWND WaitForSheet(DWORD deadlineMs = kWindowDeadlineMs);
  // A message box of the wizard (caption "Wizard"), or nullptr after the deadline.
  HWND WaitForMessageBox(DWORD deadlineMs = kWindowDeadlineMs);
  // True when no message box of the wizard appears within `ms`.
  bool NoMessageBoxFor(DWORD ms);

  // The sheet's current page.
  HWND CurrentPage();
  // Waits until the current page has a control `controlId` (identifies the page).
  bool WaitForPageWith(int controlId, DWORD deadlineMs = kWindowDeadlineMs);

  void PressNext();
  void PressBack();
  void PressFinish();
  void PressCancel();

 private:
  HWND FindTopLevel(const std::function<bool(HWND)>& match);
  PROCESS_INFORMATION process_{};
  HWND sheet_ = nullptr;
};

// Every top-level window: process, class, title; for failure messages.
std::string DescribeTopLevelWindows();

std::string MessageBoxText(HWND box);
void AnswerMessageBox(HWND box, int buttonId);

std::string ControlText(HWND window, int controlId);
// Sets a control's text the way typing does: the owner gets EN_UPDATE/EN_CHANGE.
void SetControlText(HWND window, int controlId, const std::string& text);
// Selects entry `index` of a combo box and tells its owner, as a user's choice does.
void SelectComboEntry(HWND page, int controlId, int index);
void ClickButton(HWND page, int controlId);

// Every value under `key` of `root` and its subkeys, as "sub\key\Name=<bytes>".
std::vector<std::string> ListValues(HKEY root, const std::string& key);

}  // namespace va::test
