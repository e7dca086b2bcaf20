// window_driver: drives modal dialogs from a helper thread in Win32 tests: wait
// for a top-level window by caption or class, set control texts, click buttons.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <thread>

namespace va::test {

// Polls every 20 ms for a visible top-level window of this process with the
// class `windowClass` (may be null) and the caption `caption` (may be null); 0
// after `seconds`.
inline HWND WaitForWindow(const char* windowClass, const char* caption, double seconds) {
  DWORD deadline = GetTickCount() + static_cast<DWORD>(seconds * 1000);
  for (;;) {
    HWND found = nullptr;
    while ((found = FindWindowExA(nullptr, found, windowClass, caption)) != nullptr) {
      DWORD process = 0;
      GetWindowThreadProcessId(found, &process);
      if (process == GetCurrentProcessId() && IsWindowVisible(found)) return found;
    }
    if (static_cast<LONG>(GetTickCount() - deadline) > 0) return nullptr;
    Sleep(20);
  }
}

inline void ClickButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

// Runs `script` on its own thread while the test's thread shows a modal window;
// joined on destruction.
class DialogScript {
 public:
  explicit DialogScript(std::function<void()> script) : thread_(std::move(script)) {}
  ~DialogScript() { thread_.join(); }

 private:
  std::thread thread_;
};

}  // namespace va::test
