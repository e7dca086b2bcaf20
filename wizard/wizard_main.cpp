// wizard_main: entry point of the wizard program. Every path ends with exit code 0.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  (void)instance;
  return 0;
}
