// exports: the add-on interface's five functions as the host calls them. Each
// passes the host's arguments unchanged to every loaded add-on in list order;
// ServiceShow first attaches the module to the host. ChannelWrite, ChannelRead
// and DescWrite define no result; they return 0.
#include "extension/core/exports.h"

#include "extension/core/addon_host.h"
#include "extension/core/attach.h"
#include "extension/core/module_state.h"

using va::LoadedAddOns;

extern "C" {

DWORD WINAPI ChannelWrite(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4) {
  for (size_t i = 0; i < LoadedAddOns.size(); ++i) LoadedAddOns[i].channelWrite(a1, a2, a3, a4);
  return 0;
}

DWORD WINAPI ChannelRead(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4) {
  for (size_t i = 0; i < LoadedAddOns.size(); ++i) LoadedAddOns[i].channelRead(a1, a2, a3, a4);
  return 0;
}

DWORD WINAPI ServiceShow(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4, DWORD_PTR a5, DWORD_PTR a6, DWORD_PTR a7,
                         DWORD_PTR a8, DWORD_PTR a9, DWORD_PTR a10, DWORD_PTR a11) {
  HWND panel = reinterpret_cast<HWND>(a4);
  if (!va::PreviousMainProc) va::AttachToHost(panel);
  if (a3 == 0) va::HostPanelWindow = panel;
  else va::HostSecondPanelWindow = panel;
  for (size_t i = 0; i < LoadedAddOns.size(); ++i) LoadedAddOns[i].serviceShow(a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11);
  return 1;
}

DWORD WINAPI ServiceClose(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3) {
  for (size_t i = 0; i < LoadedAddOns.size(); ++i) LoadedAddOns[i].serviceClose(a1, a2, a3);
  return 1;
}

DWORD WINAPI DescWrite(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4, DWORD_PTR a5) {
  for (size_t i = 0; i < LoadedAddOns.size(); ++i) LoadedAddOns[i].descWrite(a1, a2, a3, a4, a5);
  return 0;
}

}  // extern "C"
