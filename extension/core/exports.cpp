// exports: the add-on interface's five functions as the host calls them.
// ChannelWrite, ChannelRead and DescWrite define no result; they return 0.
#include "extension/core/exports.h"

extern "C" {

DWORD WINAPI ChannelWrite(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) { return 0; }

DWORD WINAPI ChannelRead(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) { return 0; }

DWORD WINAPI ServiceShow(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) {
  return 1;
}

DWORD WINAPI ServiceClose(DWORD_PTR, DWORD_PTR, DWORD_PTR) { return 1; }

DWORD WINAPI DescWrite(DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR, DWORD_PTR) { return 0; }

}  // extern "C"
