// about_line: the line the module adds to the host's About box (portable).
#pragma once
#include <string>

namespace va {
// The module's version as it appears in the About line.
inline constexpr const char* kVersionMajor = "0";
inline constexpr const char* kVersionMinor = "56";
inline constexpr const char* kVersionLetter = "a";
// caption + " v" + "0" + "." + "56" + "a" + " " + product line.
std::string ComposeAboutLine(const std::string& caption, const std::string& productLine);
}  // namespace va
