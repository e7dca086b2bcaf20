// exports: the five functions of the add-on interface through which the host
// client talks to this module (and to the add-ons this module chains).
#pragma once
#include <windows.h>

extern "C" {
DWORD WINAPI ChannelWrite(DWORD a1, DWORD a2, DWORD a3, DWORD a4);
DWORD WINAPI ChannelRead(DWORD a1, DWORD a2, DWORD a3, DWORD a4);
DWORD WINAPI ServiceShow(DWORD a1, DWORD a2, DWORD a3, DWORD a4, DWORD a5, DWORD a6, DWORD a7, DWORD a8,
                         DWORD a9, DWORD a10, DWORD a11);
DWORD WINAPI ServiceClose(DWORD a1, DWORD a2, DWORD a3);
DWORD WINAPI DescWrite(DWORD a1, DWORD a2, DWORD a3, DWORD a4, DWORD a5);
}
