// file_types: which library files the guarded open asks about before opening
// (types that can carry a virus). Portable core.
#pragma once
#include <string>
#include <string_view>

namespace va {

// The name's text after its last "." (a name without "." whole), upper-cased.
std::string FileTypeOfName(std::string_view name);
// Types the shell runs as programs or scripts when it opens them (EXE, SCR, JS,
// MSI, LNK, ...): the guarded open asks before opening such a file.
// (The guarded open also asks for every type the system itself calls dangerous.)
bool IsRiskyFileType(std::string_view upperType);

}  // namespace va
