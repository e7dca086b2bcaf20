// addon_host: the further add-on libraries this module loads and forwards the
// host's five calls to, and the host's panel windows handed over by ServiceShow.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "extension/core/exports.h"

namespace va {

inline constexpr int kMaxAddOns = 8;
// Registry key (always under HKEY_LOCAL_MACHINE) of the add-on list.
inline constexpr const char* kAddOnListKey = "SOFTWARE\\VAExtensions\\ch_plugs";

using ChannelWriteFn = decltype(&::ChannelWrite);
using ChannelReadFn = decltype(&::ChannelRead);
using ServiceShowFn = decltype(&::ServiceShow);
using ServiceCloseFn = decltype(&::ServiceClose);
using DescWriteFn = decltype(&::DescWrite);

struct LoadedAddOn {
  HMODULE module;
  ChannelWriteFn channelWrite;
  ChannelReadFn channelRead;
  ServiceShowFn serviceShow;
  ServiceCloseFn serviceClose;
  DescWriteFn descWrite;
};

// The add-on paths as listed (at most 8); AddOnLastIndex is -1 when empty.
extern std::vector<std::string> AddOnPaths;
extern int AddOnLastIndex;
// The libraries that loaded, in list order.
extern std::vector<LoadedAddOn> LoadedAddOns;
// The host's panel of the latest ServiceShow with third argument 0, and of the
// latest with a non-zero third argument.
extern HWND HostPanelWindow;
extern HWND HostSecondPanelWindow;

// Rebuilds AddOnPaths from the registry; returns AddOnLastIndex.
int LoadAddOnList();
// Rewrites the list; 1 when at least one entry was written, else 0.
int SaveAddOnList(const std::vector<std::string>& paths, int lastIndex);
// Mode 1: the loaded library's handle (kept loaded) or 0; other modes: 1 when
// the file is a valid add-on (released again), else 0.
// A library that is this module is never one (checked before it is loaded, since
// releasing a copy of the module would run its shutdown).
UINT_PTR CheckAddOnFile(const char* path, int mode);
// True when `path` is this module: its own file, or any copy or version of it,
// known by the product and company names of its version resource.
bool IsThisModule(const char* path);
void LoadAddOns();
void UnloadAddOns();

}  // namespace va
