// exports: the add-on interface's five functions as the host calls them.
// ChannelWrite, ChannelRead and DescWrite define no result; they return 0.
#include "extension/core/exports.h"

extern "C" {

DWORD WINAPI ChannelWrite(DWORD, DWORD, DWORD, DWORD) { return 0; }

DWORD WINAPI ChannelRead(DWORD, DWORD, DWORD, DWORD) { return 0; }

DWORD WINAPI ServiceShow(DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD, DWORD) {
  return 1;
}

DWORD WINAPI ServiceClose(DWORD, DWORD, DWORD) { return 1; }

DWORD WINAPI DescWrite(DWORD, DWORD, DWORD, DWORD, DWORD) { return 0; }

}  // extern "C"
