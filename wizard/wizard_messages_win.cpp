// wizard_messages_win: see wizard_messages_win.h.
#include "wizard/wizard_messages_win.h"

#include "wizard/wizard_rules.h"
#include "wizard/wizard_state.h"

namespace va {

std::string LoadWizardString(UINT id) {
  char buffer[1024] = {};
  int length = LoadStringA(Wizard().instance, id, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? length : 0);
}

int ShowWizardMessage(HWND owner, UINT id, UINT flags, const char* directory) {
  std::string text = LoadWizardString(id);
  if (directory) text = ReplaceEvery(text, "%DIR%", directory);
  return MessageBoxA(owner, text.c_str(), kWizardCaption, flags);
}

}  // namespace va
