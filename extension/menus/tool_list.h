// tool_list: the user's Tools list: the record, its registry form, which program
// gives a tool its icon, and what each of the three tool popups holds. Portable
// core: the registry, menus and drawing are in tools_menu_win.cpp.
#pragma once
#include "common/text_rules.h"
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace va {

inline constexpr const char* kToolsKey = "SOFTWARE\\VAExtensions\\Tools";
inline constexpr int kMaxTools = 32;

// Command ids of the tool popups.
inline constexpr unsigned kNoToolsCommand = 9999;
inline constexpr unsigned kToolCommandFirst = 10000;     // + index, main and tray popups
inline constexpr unsigned kPreviewCommandFirst = 10500;  // + index, "Preview with"
inline constexpr unsigned kPreviewTheaterCommand = 61241;  // the host's own, first in "Preview with"

struct ToolRecord {
  std::string Title;   // "-" (spaces aside) makes a separator
  std::string Cmd;     // program, optionally quoted, then parameters
  std::string Workdir;
  std::string Icon;    // custom icon file; empty: the program's own small icon
  void* IconHandle = nullptr;  // the loaded small icon (an HICON); none for separators
  uint8_t Preview = 0;         // 1: also listed under "Preview with"
};

bool IsToolSeparator(const ToolRecord& tool);
// Spaces and double quotes removed at both ends (work folders and icon files).
std::string TrimSpacesAndQuotes(std::string_view text);

// The program whose icon a tool shows when it has no custom icon: a quoted
// program up to its closing quote (a quote never closed: the whole command
// without its quotes), otherwise the text before the first space.
std::string ToolIconProgram(std::string_view cmd);

// Registry form. `Title`N names a tool: true and N for a value name that begins
// with "Title" (letter case counts); N is the number that follows.
bool ParseToolTitleName(std::string_view valueName, int32_t& number);

// One value to write for the list, in write order.
struct ToolRegistryValue {
  std::string name;
  bool isDword = false;
  std::string text;     // REG_SZ, stored with its length (no terminating zero)
  uint32_t dword = 0;   // REG_DWORD
};
// The values of `tools` numbered from 1: `Title`N always; `Cmd`N, `Workdir`N,
// `Icon`N and `Preview`N only for tools that are not separators, the last three
// only when not blank / set.
std::vector<ToolRegistryValue> ToolRegistryValues(const std::vector<ToolRecord>& tools);

// What the three tool popups hold.
enum class ToolPopup { Main, Tray, Preview };
struct ToolMenuItem {
  enum Kind { Heading, Separator, OwnerDrawn, Plain, Grayed };
  Kind kind;
  unsigned id;       // 0 for the heading and separators
  std::string text;  // Plain and Grayed items
};
// The items of one popup in order. `noToolsText` is "(No Tools)", `theaterText`
// "Theater". Main: the heading, then the tools; Tray: the tools; Preview: Theater,
// a separator, then the tools marked for previews (never separators).
std::vector<ToolMenuItem> PlanToolPopup(ToolPopup popup, const std::vector<ToolRecord>& tools, bool noToolsIcons,
                                        std::string_view noToolsText, std::string_view theaterText);

}  // namespace va
