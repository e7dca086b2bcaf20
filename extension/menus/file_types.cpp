// file_types: the risky file types of the guarded open.
#include "extension/menus/file_types.h"

#include "common/text_rules.h"

namespace va {

std::string FileTypeOfName(std::string_view name) {
  size_t dot = name.rfind('.');
  return UpperCaseText(dot == std::string_view::npos ? name : name.substr(dot + 1));
}

bool IsRiskyFileType(std::string_view upperType) {
  static constexpr std::string_view kRisky[] = {"EXE", "PIF", "SHS", "SHB", "WSH", "VBE",
                                                "JS",  "JSE", "BAT", "CMD", "COM"};
  for (std::string_view risky : kRisky)
    if (upperType == risky) return true;
  return false;
}

}  // namespace va
