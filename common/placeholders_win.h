// placeholders_win: the name sets of the two expansion routines, bound to the
// registry, the Windows folder, the shell's special folders and the environment.
// Exposed so tests can exercise the wizard set with a shell that lacks
// SHGetSpecialFolderPathA; product code calls placeholders.h.
#pragma once
#include <windows.h>

#include "common/placeholder_scan.h"

namespace va {

// The shell's SHGetSpecialFolderPathA, or nullptr when the shell lacks it.
using SpecialFolderFn = BOOL(WINAPI*)(HWND owner, LPSTR path, int folder, BOOL create);

// Looked up at run time in the already loaded SHELL32.DLL.
SpecialFolderFn FindSpecialFolderFunction();

PlaceholderRules WizardPlaceholderRules(SpecialFolderFn specialFolder);
PlaceholderRules ExtensionPlaceholderRules();

// The environment variable `name`, or empty text when it is unset.
std::string ReadEnvironmentText(const std::string& name);

}  // namespace va
