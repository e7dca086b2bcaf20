// quicklinks_win: starts a QuickLink run, runs the worker thread and the progress
// window. The worker touches the window only through SetWindowTextA on its file
// line and the posted close message.
#include "extension/quicklinks/quicklinks_win.h"

#include <memory>

#include "common/shared_utils.h"
#include "extension/core/module_state.h"
#include "extension/menus/file_manager_menu_win.h"
#include "extension/menus/module_message_win.h"
#include "extension/quicklinks/quicklinks.h"
#include "extension/quicklinks/uuhash.h"
#include "extension/resources/resource.h"

namespace va {

std::atomic<int32_t> QuickLinkState{kQuickLinkIdle};

namespace {

// Posted by the worker when it is done: the progress window destroys itself.
constexpr UINT kProgressCloseMessage = WM_USER + 1000;
constexpr int kTemplateCapacity = 512;  // templates of up to 511 characters

// The paths of the run under way; owned here, released by StartQuickLinks(-1).
std::vector<std::string>* QuickLinkPathList = nullptr;

struct QuickLinkJob {
  size_t lastIndex;
  std::vector<std::string>* paths;
  std::atomic<int32_t>* state;
  int format;
  HWND progress;
};

// ---- progress window ----

void OnProgressInit(HWND dialog, LPARAM stateAddress) { SetWindowLongPtrA(dialog, DWLP_USER, stateAddress); }

void OnProgressCancel(HWND dialog) {
  auto* state = reinterpret_cast<std::atomic<int32_t>*>(GetWindowLongPtrA(dialog, DWLP_USER));
  // Only a run under way is asked to stop: a run that has just ended (state
  // back to idle) must stay idle, or every later request would be refused.
  int32_t seen = state ? state->load() : kQuickLinkIdle;
  while ((seen == kQuickLinkStarting || seen == kQuickLinkWorking) &&
         !state->compare_exchange_weak(seen, kQuickLinkCancelRequested)) {
  }
  char text[64] = "";
  LoadStringA(ModuleInstance, IDS_QUICKLINK_CANCELING, text, sizeof text);
  SetDlgItemTextA(dialog, IDC_QUICKLINK_FILE, text);
}

INT_PTR CALLBACK ProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG:
      OnProgressInit(dialog, lParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) OnProgressCancel(dialog);
      return TRUE;
    case kProgressCloseMessage:
      DestroyWindow(dialog);
      return TRUE;
  }
  return FALSE;
}

// ---- worker ----

class DiskFiles : public QuickLinkFiles {
 public:
  int64_t SizeOf(const std::string& path) override { return QueryFileSize(path); }
  bool HashOf(const std::string& path, UUHashValue& value) override { return ComputeUUHash(path, value); }
};

class ProgressLine : public QuickLinkProgress {
 public:
  explicit ProgressLine(HWND dialog) : line_(GetDlgItem(dialog, IDC_QUICKLINK_FILE)) {}
  void ShowFileName(const std::string& name) override { SetWindowTextA(line_, name.c_str()); }

 private:
  HWND line_;
};

DWORD WINAPI QuickLinkWorker(LPVOID parameter) {
  QuickLinkJob* job = static_cast<QuickLinkJob*>(parameter);
  int32_t starting = kQuickLinkStarting;
  job->state->compare_exchange_strong(starting, kQuickLinkWorking);  // a cancel already made stays
  ShowWindow(job->progress, SW_SHOWNORMAL);

  char linkTemplate[kTemplateCapacity] = "";
  LoadStringA(ModuleInstance, UINT(kQuickLinkTemplateStringBase + job->format), linkTemplate, kTemplateCapacity);
  DiskFiles files;
  ProgressLine progress(job->progress);
  const std::string links = BuildQuickLinks(linkTemplate, *job->paths, files, progress, *job->state);
  // Links made before a cancel still reach the clipboard; with none made the
  // user's clipboard is left alone.
  const bool copied = links.empty() || SetClipboardText(links);

  PostMessageA(job->progress, kProgressCloseMessage, 0, 0);
  if (!copied) ShowModuleMessage(HostMainWindow, IDS_QUICKLINK_CLIPBOARD_BUSY, "", "", MB_OK | MB_ICONWARNING);
  std::atomic<int32_t>* state = job->state;
  delete job;
  StartQuickLinks(-1);  // releases the path list
  *state = kQuickLinkIdle;
  return 0;
}

}  // namespace

void StartQuickLinksFor(int format, HWND owner, const std::function<std::vector<std::string>()>& collect) {
  if (format == -1) {
    delete QuickLinkPathList;
    QuickLinkPathList = nullptr;
    return;
  }
  if (format < 1 || format > kQuickLinkFormatCount) return;
  int32_t idle = kQuickLinkIdle;
  if (!QuickLinkState.compare_exchange_strong(idle, kQuickLinkStarting)) return;  // one run at a time

  auto paths = std::make_unique<std::vector<std::string>>(collect());
  if (paths->empty()) {
    QuickLinkState = kQuickLinkIdle;
    return;
  }
  HWND progress = CreateDialogParamA(ModuleInstance, MAKEINTRESOURCEA(IDD_QUICKLINK_PROGRESS), owner,
                                     ProgressDialogProc, reinterpret_cast<LPARAM>(&QuickLinkState));
  if (!progress) {
    QuickLinkState = kQuickLinkIdle;
    return;
  }
  QuickLinkPathList = paths.release();
  auto* job = new QuickLinkJob{QuickLinkPathList->size() - 1, QuickLinkPathList, &QuickLinkState, format, progress};
  HANDLE thread = CreateThread(nullptr, 0, QuickLinkWorker, job, 0, nullptr);
  if (!thread) {
    delete job;
    DestroyWindow(progress);
    StartQuickLinksFor(-1, owner, nullptr);
    QuickLinkState = kQuickLinkIdle;
    return;
  }
  CloseHandle(thread);
}

void StartQuickLinks(int format) {
  StartQuickLinksFor(format, HostMainWindow, [] { return SelectedLibraryFiles(); });
}

}  // namespace va
