// no_exports_addon: a library with four of the five add-on exports (DescWrite is
// missing), which the module must refuse.
#include <windows.h>

extern "C" {
__declspec(dllexport) DWORD WINAPI ChannelWrite(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) { return 0; }
__declspec(dllexport) DWORD WINAPI ChannelRead(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) { return 0; }
__declspec(dllexport) DWORD WINAPI ServiceShow(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR,
                                               DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  return 1;
}
__declspec(dllexport) DWORD WINAPI ServiceClose(DWORD_PTR, DWORD_PTR, DWORD_PTR) { return 1; }
}
