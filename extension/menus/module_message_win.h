// module_message_win: shows one of the module's string-table messages with its
// placeholder replaced, captioned with CaptionText. Used by the Tools menu and
// the file manager menu.
#pragma once
#include <windows.h>

#include <string>

namespace va {

// Loads string `id` from ModuleInstance, replaces every `placeholder` by `value`
// (inserted text is not scanned again) and shows it owned by `owner`. Returns the
// message box's answer.
int ShowModuleMessage(HWND owner, UINT id, const char* placeholder, const std::string& value, UINT flags);

// The text of string `id` of the module (at most 1023 characters).
std::string LoadModuleText(UINT id);

}  // namespace va
