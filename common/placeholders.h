// placeholders: expansion of %NAME% placeholders in stored paths and commands.
// The wizard and the extension module know different names; both fall back to
// environment variables. Each rewrites the text in place and always ends.
#pragma once
#include <string>

namespace va {
void ExpandWizardPlaceholders(std::string& text);
void ExpandExtensionPlaceholders(std::string& text);
}  // namespace va
