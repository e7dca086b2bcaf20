// wizard_app_win: the wizard program's start-up, the "-VARUN" question, the
// silent paths, the property sheet, and the finish and quit rules.
#pragma once
#include <windows.h>

namespace va {

// Runs the whole program; the result is the exit code, 0 on every path.
int RunWizardProgram(HINSTANCE instance, const char* commandLine);

// The finish steps (the Finish button); `runClient` starts the client afterwards.
void FinishWizard(bool runClient);

// The quit rule: asks, owned by `page`; on Yes applies what the signatures call
// for and returns true (the sheet may close), on No returns false.
bool ConfirmQuit(HWND page);

}  // namespace va
