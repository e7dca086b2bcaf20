// file_types: the risky file types of the guarded open.
#include "extension/menus/file_types.h"

#include "common/text_rules.h"

namespace va {

std::string FileTypeOfName(std::string_view name) {
  size_t dot = name.rfind('.');
  return UpperCaseText(dot == std::string_view::npos ? name : name.substr(dot + 1));
}

bool IsRiskyFileType(std::string_view upperType) {
  // Programs and scripts the shell runs when it opens them: screen savers,
  // control panel items, installers and patches, HTML applications, script host
  // and shell scripts, registry files, shortcuts and Java archives besides the
  // classic program types; compiled help, Internet and shell shortcuts, console
  // snap-ins, script components, setup information, click-once applications and
  // settings shortcuts, which run code as well.
  static constexpr std::string_view kRisky[] = {
      "EXE", "PIF", "SHS", "SHB", "WSH", "VBE", "JS",  "JSE", "BAT", "CMD", "COM", "SCR", "CPL",
      "MSI", "MSP", "HTA", "VBS", "WSF", "PS1", "REG", "LNK", "JAR", "CHM", "URL", "SCF", "MSC",
      "WSC", "SCT", "INF", "APPLICATION", "SETTINGCONTENT-MS", "GADGET", "MSH", "PSC1", "XBAP"};
  for (std::string_view risky : kRisky)
    if (upperType == risky) return true;
  return false;
}

}  // namespace va
