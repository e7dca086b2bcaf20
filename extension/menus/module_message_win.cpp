// module_message_win: string-table messages of the Tools and file manager menus.
#include "extension/menus/module_message_win.h"

#include <cstring>

#include "extension/core/module_state.h"

namespace va {

std::string LoadModuleText(UINT id) {
  char text[1024] = "";
  LoadStringA(ModuleInstance, id, text, sizeof text);
  return text;
}

int ShowModuleMessage(HWND owner, UINT id, const char* placeholder, const std::string& value, UINT flags) {
  const std::string text = LoadModuleText(id);
  const size_t length = std::strlen(placeholder);
  std::string message;
  for (size_t i = 0; i < text.size();) {
    if (length > 0 && text.compare(i, length, placeholder) == 0) {
      message += value;
      i += length;
    } else {
      message += text[i++];
    }
  }
  return MessageBoxA(owner, message.c_str(), CaptionText, flags);
}

}  // namespace va
