// wizard_messages_win: the one helper that shows a string-table message of the
// wizard with the caption "Wizard", and loads string-table texts.
#pragma once
#include <windows.h>

#include <string>

namespace va {

std::string LoadWizardString(UINT id);

// Shows string `id` owned by `owner`; "%DIR%" is replaced by `directory` when given.
int ShowWizardMessage(HWND owner, UINT id, UINT flags, const char* directory = nullptr);

}  // namespace va
