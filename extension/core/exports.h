// exports: the five functions of the add-on interface through which the host
// client talks to this module (and to the add-ons this module chains). Every
// argument is one machine word (32 bits in the deliverable; the 64-bit test build
// carries the host's window handles whole).
#pragma once
#include <windows.h>

extern "C" {
DWORD WINAPI ChannelWrite(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4);
DWORD WINAPI ChannelRead(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4);
DWORD WINAPI ServiceShow(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4, DWORD_PTR a5, DWORD_PTR a6, DWORD_PTR a7, DWORD_PTR a8,
                         DWORD_PTR a9, DWORD_PTR a10, DWORD_PTR a11);
DWORD WINAPI ServiceClose(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3);
DWORD WINAPI DescWrite(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4, DWORD_PTR a5);
}
