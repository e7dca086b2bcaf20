// quicklinks: QuickLink templates and their filling, and the worker's loop.
#include "extension/quicklinks/quicklinks.h"

namespace va {
namespace {

// The same texts as strings 513..517 of the module's string table (a Windows
// test compares them).
constexpr const char* kTemplates[kQuickLinkFormatCount] = {
    "<A HREF=\"sig2dat:///|File:%FN%|Length:%LB% Bytes,%LKB%KB|UUHash:%HASH%|\">%FN%</A>",
    "[URL=\"sig2dat:///|File:%FN%|Length:%LB% Bytes,%LKB%KB|UUHash:%HASH%|\"]%FN%[/URL]",
    "File: %FN%\r\nLength: %LB% Bytes, %LKB%KB\r\nUUHash: %HASH%\r\n",
    "File: <A HREF=\"sig2dat:///|File:%FN%|Length:%LB% Bytes,%LKB%KB|UUHash:%HASH%|\">%FN%</A>\r\n"
    "Length: %LB% Bytes, %LKB%KB\r\nUUHash: %HASH%\r\n",
    "File: [URL=\"sig2dat:///|File:%FN%|Length:%LB% Bytes,%LKB%KB|UUHash:%HASH%|\"]%FN%[/URL]\r\n"
    "Length: %LB% Bytes, %LKB%KB\r\nUUHash: %HASH%\r\n",
};

}  // namespace

const char* QuickLinkTemplate(int format) {
  if (format < 1 || format > kQuickLinkFormatCount) return nullptr;
  return kTemplates[format - 1];
}

std::string QuickLinkFileName(std::string_view path) {
  size_t slash = path.find_last_of("\\/");
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FillQuickLinkTemplate(std::string_view linkTemplate, std::string_view fileName, int64_t size,
                                  std::string_view hashText) {
  const std::string bytes = size < 0 ? kUnknownSizeText : std::to_string(size);
  const std::string kilobytes = size < 0 ? kUnknownSizeText : std::to_string(size / 1024);
  const std::string_view hash = hashText.empty() ? std::string_view(kUnreadableHashText) : hashText;
  const struct {
    std::string_view name;
    std::string_view value;
  } fields[] = {{"%FN%", fileName}, {"%LB%", bytes}, {"%LKB%", kilobytes}, {"%HASH%", hash}};

  std::string out;
  out.reserve(linkTemplate.size() + 4 * fileName.size() + 64);
  size_t i = 0;
  while (i < linkTemplate.size()) {
    bool replaced = false;
    if (linkTemplate[i] == '%') {
      for (const auto& field : fields) {
        if (linkTemplate.substr(i, field.name.size()) == field.name) {
          out += field.value;
          i += field.name.size();
          replaced = true;
          break;
        }
      }
    }
    if (!replaced) out += linkTemplate[i++];
  }
  return out;
}

std::string BuildQuickLinks(std::string_view linkTemplate, const std::vector<std::string>& paths,
                            QuickLinkFiles& files, QuickLinkProgress& progress,
                            const std::atomic<int32_t>& state) {
  std::string output;
  for (const std::string& path : paths) {
    if (state.load() == kQuickLinkCancelRequested) break;
    const std::string name = QuickLinkFileName(path);
    progress.ShowFileName(name);
    const int64_t size = files.SizeOf(path);
    // A fresh value per file: an unreadable file never carries another's hash.
    UUHashValue value{};
    const std::string hashText = files.HashOf(path, value) ? UUHashText(value) : std::string();
    output += FillQuickLinkTemplate(linkTemplate, name, size, hashText);
    output += "\r\n";
  }
  return output;
}

}  // namespace va
