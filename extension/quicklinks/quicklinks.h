// quicklinks: the QuickLink templates, filling them for one file, and the loop of
// the QuickLink worker over small interfaces. Portable core: the thread, the
// progress window and the clipboard are in quicklinks_win.cpp.
#pragma once
#include <atomic>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "extension/quicklinks/uuhash.h"

namespace va {

// The formats are the menu commands 11451..11455 minus 11450.
constexpr int kQuickLinkFormatCount = 5;
constexpr int kQuickLinkFirstCommand = 11451;
// The template of format n is string n + kQuickLinkTemplateStringBase.
constexpr int kQuickLinkTemplateStringBase = 512;

// The template of `format` (1..5) as the string table holds it; null outside.
const char* QuickLinkTemplate(int format);

// What a link says in place of the hash of a file that could not be opened: no
// "=" in front and characters outside base64, so no client takes it for a hash.
constexpr const char* kUnreadableHashText = "(file not readable)";
// What a link says in place of the byte and KB counts of a file that was not found.
constexpr const char* kUnknownSizeText = "?";

// The name part of a path: the text after the last "\" (or "/").
std::string QuickLinkFileName(std::string_view path);

// Fills a template in one pass: %FN% the file name, %LB% the size in bytes, %LKB%
// the size / 1024, %HASH% `hashText`. Inserted texts are never scanned again, so a
// file name holding "%HASH%" stays as it is. A negative size means unknown; an
// empty `hashText` means the file could not be read (kUnreadableHashText).
std::string FillQuickLinkTemplate(std::string_view linkTemplate, std::string_view fileName, int64_t size,
                                  std::string_view hashText);

// QuickLinkState values.
enum QuickLinkStateValue : int32_t {
  kQuickLinkIdle = 0,
  kQuickLinkStarting = 1,
  kQuickLinkWorking = 2,
  kQuickLinkCancelRequested = 3,
};

// The file system as the worker sees it.
class QuickLinkFiles {
 public:
  virtual ~QuickLinkFiles() = default;
  // The size in bytes, or -1 when the file is not found.
  virtual int64_t SizeOf(const std::string& path) = 0;
  // False when the file cannot be opened.
  virtual bool HashOf(const std::string& path, UUHashValue& value) = 0;
};

// Receives the name of the file being hashed (the progress window's line).
class QuickLinkProgress {
 public:
  virtual ~QuickLinkProgress() = default;
  virtual void ShowFileName(const std::string& name) = 0;
};

// The links of `paths` in order, each filled template followed by CR LF. Before
// each file the state is checked: a requested cancel ends the loop, keeping the
// links made so far (a file being hashed is finished first).
std::string BuildQuickLinks(std::string_view linkTemplate, const std::vector<std::string>& paths,
                            QuickLinkFiles& files, QuickLinkProgress& progress,
                            const std::atomic<int32_t>& state);

}  // namespace va
