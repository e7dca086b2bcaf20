// wizard_main: entry point of the wizard program. Every path ends with exit code 0.
#include <windows.h>

#include "wizard/wizard_app_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  return va::RunWizardProgram(instance, commandLine);
}
