// about_line: the About line (portable, see about_line.h).
#include "extension/hostui/about_line.h"

namespace va {
std::string ComposeAboutLine(const std::string& caption, const std::string& productLine) {
  return caption + " v" + kVersionMajor + "." + kVersionMinor + kVersionLetter + " " + productLine;
}
}  // namespace va
