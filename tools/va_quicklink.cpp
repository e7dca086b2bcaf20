// va_quicklink: prints the UUHash text or the QuickLinks of files named on the
// command line, without the host client; the same core as the extension module.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "extension/quicklinks/quicklinks.h"
#include "extension/quicklinks/uuhash.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>

#include "common/shared_utils.h"
#else
#include <filesystem>
#endif

namespace {

constexpr int kExitAllRead = 0;
constexpr int kExitSomeUnreadable = 1;
constexpr int kExitUsage = 2;

const char kUsage[] =
    "usage: va_quicklink [--hash] FILE...\n"
    "         prints \"<UUHash> <FILE>\" for each file\n"
    "       va_quicklink --format N FILE...\n"
    "         prints the QuickLinks of format N as the extension copies them:\n"
    "         1 <A></A>, 2 [URL][/URL], 3 separate lines, 4 hybrid <A></A>, 5 hybrid [URL][/URL]\n"
    "exit status: 0 all files read, 1 some file could not be read, 2 wrong usage\n";

class DiskFiles : public va::QuickLinkFiles {
 public:
  int64_t SizeOf(const std::string& path) override {
#ifdef _WIN32
    return va::QueryFileSize(path);
#else
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? -1 : int64_t(size);
#endif
  }
  bool HashOf(const std::string& path, va::UUHashValue& value) override {
    if (va::ComputeUUHash(path, value)) return true;
    unreadable = true;
    return false;
  }
  bool unreadable = false;
};

class NoProgress : public va::QuickLinkProgress {
 public:
  void ShowFileName(const std::string&) override {}
};

void Write(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stdout); }

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The links carry CR LF themselves; text mode would double the CR.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  int format = 0;
  int first = 1;
  if (first < argc && std::strcmp(argv[first], "--hash") == 0) {
    ++first;
  } else if (first < argc && std::strcmp(argv[first], "--format") == 0) {
    if (first + 1 >= argc || std::strlen(argv[first + 1]) != 1) {
      std::fputs(kUsage, stderr);
      return kExitUsage;
    }
    format = argv[first + 1][0] - '0';
    if (!va::QuickLinkTemplate(format)) {
      std::fputs(kUsage, stderr);
      return kExitUsage;
    }
    first += 2;
  }
  if (first >= argc || argv[first][0] == '-') {
    std::fputs(kUsage, stderr);
    return kExitUsage;
  }

  std::vector<std::string> paths(argv + first, argv + argc);
  DiskFiles files;
  if (format > 0) {
    NoProgress progress;
    std::atomic<int32_t> state{va::kQuickLinkWorking};
    Write(va::BuildQuickLinks(va::QuickLinkTemplate(format), paths, files, progress, state));
  } else {
    for (const std::string& path : paths) {
      va::UUHashValue value{};
      std::string text = files.HashOf(path, value) ? va::UUHashText(value) : va::kUnreadableHashText;
      Write(text + "  " + path + "\n");
    }
  }
  std::fflush(stdout);
  return files.unreadable ? kExitSomeUnreadable : kExitAllRead;
}
