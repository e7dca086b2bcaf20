// file_types: which library files the guarded open asks about before opening
// (types that can carry a virus). Portable core.
#pragma once
#include <string>
#include <string_view>

namespace va {

// The name's text after its last "." (a name without "." whole), upper-cased.
std::string FileTypeOfName(std::string_view name);
// EXE, PIF, SHS, SHB, WSH, VBE, JS, JSE, BAT, CMD, COM.
bool IsRiskyFileType(std::string_view upperType);

}  // namespace va
