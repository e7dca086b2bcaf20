// tool_list: the Tools list's portable rules (see tool_list.h).
#include "extension/menus/tool_list.h"

#include "common/number_text.h"

namespace va {


bool IsToolSeparator(const ToolRecord& tool) {
  std::string_view title = tool.Title;
  size_t first = title.find_first_not_of(' ');
  if (first == std::string_view::npos) return false;
  size_t last = title.find_last_not_of(' ');
  return title.substr(first, last - first + 1) == "-";
}

std::string TrimSpacesAndQuotes(std::string_view text) {
  size_t first = text.find_first_not_of(" \"");
  if (first == std::string_view::npos) return std::string();
  size_t last = text.find_last_not_of(" \"");
  return std::string(text.substr(first, last - first + 1));
}

namespace {
std::string_view TrimSpaces(std::string_view text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
}  // namespace

std::string ToolIconProgram(std::string_view cmd) {
  // Leading blanks would otherwise leave an empty program and no icon.
  cmd = TrimSpaces(cmd);
  if (!cmd.empty() && cmd.front() == '"') {
    size_t close = cmd.find('"', 1);
    if (close != std::string_view::npos) return std::string(cmd.substr(1, close - 1));
    size_t first = cmd.find_first_not_of('"');
    if (first == std::string_view::npos) return std::string();
    return std::string(cmd.substr(first, cmd.find_last_not_of('"') - first + 1));
  }
  return std::string(TrimSpaces(cmd.substr(0, cmd.find(' '))));
}

bool ParseToolTitleName(std::string_view valueName, int32_t& number) {
  constexpr std::string_view kTitle = "Title";
  if (valueName.substr(0, kTitle.size()) != kTitle) return false;
  number = ParseLeadingInteger(valueName.substr(kTitle.size()));
  return true;
}

std::vector<ToolRegistryValue> ToolRegistryValues(const std::vector<ToolRecord>& tools) {
  std::vector<ToolRegistryValue> values;
  for (size_t i = 0; i < tools.size(); ++i) {
    const ToolRecord& tool = tools[i];
    const std::string n = std::to_string(i + 1);
    values.push_back({"Title" + n, false, tool.Title, 0});
    if (IsToolSeparator(tool)) continue;
    values.push_back({"Cmd" + n, false, tool.Cmd, 0});
    if (!IsBlankText(tool.Workdir)) values.push_back({"Workdir" + n, false, tool.Workdir, 0});
    if (!IsBlankText(tool.Icon)) values.push_back({"Icon" + n, false, tool.Icon, 0});
    if (tool.Preview == 1) values.push_back({"Preview" + n, true, std::string(), 1});
  }
  return values;
}

std::vector<ToolMenuItem> PlanToolPopup(ToolPopup popup, const std::vector<ToolRecord>& tools, bool noToolsIcons,
                                        std::string_view noToolsText, std::string_view theaterText) {
  std::vector<ToolMenuItem> items;
  const ToolMenuItem::Kind toolKind = noToolsIcons ? ToolMenuItem::Plain : ToolMenuItem::OwnerDrawn;
  if (popup == ToolPopup::Main) items.push_back({ToolMenuItem::Heading, 0, std::string()});
  if (popup == ToolPopup::Preview) {
    items.push_back({ToolMenuItem::Plain, kPreviewTheaterCommand, std::string(theaterText)});
    items.push_back({ToolMenuItem::Separator, 0, std::string()});
  }
  bool anyListed = false;
  for (size_t i = 0; i < tools.size() && i < size_t(kMaxTools); ++i) {
    const ToolRecord& tool = tools[i];
    if (popup == ToolPopup::Preview) {
      if (IsToolSeparator(tool) || tool.Preview != 1) continue;
      items.push_back({toolKind, kPreviewCommandFirst + unsigned(i), tool.Title});
    } else if (IsToolSeparator(tool)) {
      items.push_back({ToolMenuItem::Separator, 0, std::string()});
    } else {
      items.push_back({toolKind, kToolCommandFirst + unsigned(i), tool.Title});
    }
    anyListed = true;
  }
  if (!anyListed) items.push_back({ToolMenuItem::Grayed, kNoToolsCommand, std::string(noToolsText)});
  return items;
}

}  // namespace va
