// quicklinks_win: the QuickLink commands: the worker thread, its progress window
// (dialog 123) and the clipboard. The text itself is built by quicklinks.h.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace va {

// 0 idle, 1 starting, 2 working, 3 cancel requested (quicklinks.h names them).
extern std::atomic<int32_t> QuickLinkState;

// Commands 11451..11455 (format = command - 11450) for the files selected in the
// host's library list, progress window owned by the host main window; -1 only
// releases the path list of the run that ends.
void StartQuickLinks(int format);

// Starts a QuickLink run of `format` (1..5, the command minus 11450) with its
// progress window owned by `owner`; `collect` gives the paths and is asked only
// once the request is accepted. A request while a run is under way is dropped;
// no paths means nothing happens. -1 only releases the path list of the run that
// ends (the worker does that).
void StartQuickLinksFor(int format, HWND owner, const std::function<std::vector<std::string>()>& collect);

}  // namespace va
