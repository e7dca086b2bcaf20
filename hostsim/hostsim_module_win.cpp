// hostsim_module_win: loads ch_plug.dll from the host's own folder, as the host
// does, and calls its five exports; every call is logged with its arguments.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "hostsim/hostsim_state.h"

namespace va::hostsim {
namespace {

// The host's fixed arguments; only ServiceShow's third and fourth have a meaning
// the module relies on.
constexpr DWORD_PTR kServiceId = 1;

std::string Hex(DWORD_PTR value) {
  char text[24];
  wsprintfA(text, "0x%I64x", static_cast<unsigned long long>(value));
  return text;
}

void LogCall(const char* name, const DWORD_PTR* args, int count) {
  std::string line = std::string("export ") + name;
  for (int i = 0; i < count; ++i) line += " " + Hex(args[i]);
  Log("%s", line.c_str());
}

// "panel", "panel2" and "main" stand for the host's window handles.
bool ParseArgument(const std::string& word, DWORD_PTR* value) {
  if (word == "panel") { *value = reinterpret_cast<DWORD_PTR>(g.panel); return true; }
  if (word == "panel2") { *value = reinterpret_cast<DWORD_PTR>(g.secondPanel); return true; }
  if (word == "main") { *value = reinterpret_cast<DWORD_PTR>(g.main); return true; }
  if (word.empty()) return false;
  char* end = nullptr;
  *value = static_cast<DWORD_PTR>(std::strtoull(word.c_str(), &end, 0));
  return end && *end == '\0';
}

}  // namespace

void LoadExtensionModule() {
  std::string path = g.folder + "ch_plug.dll";
  HMODULE module = LoadLibraryA(path.c_str());
  if (!module) {
    Log("module missing %s", path.c_str());
    return;
  }
  ModuleExports& e = g.exports;
  e.module = module;
  e.channelWrite = reinterpret_cast<ChannelFn4>(GetProcAddress(module, "ChannelWrite"));
  e.channelRead = reinterpret_cast<ChannelFn4>(GetProcAddress(module, "ChannelRead"));
  e.serviceShow = reinterpret_cast<ServiceShowFn>(GetProcAddress(module, "ServiceShow"));
  e.serviceClose = reinterpret_cast<ServiceCloseFn>(GetProcAddress(module, "ServiceClose"));
  e.descWrite = reinterpret_cast<DescWriteFn>(GetProcAddress(module, "DescWrite"));
  if (!e.channelWrite || !e.channelRead || !e.serviceShow || !e.serviceClose || !e.descWrite) {
    Log("module refused %s", path.c_str());
    FreeLibrary(module);
    e = ModuleExports{};
    return;
  }
  Log("module loaded %s", path.c_str());
}

void CallServiceShow(DWORD_PTR third, HWND panel) {
  if (!g.exports.serviceShow) return;
  DWORD_PTR a[11] = {kServiceId, 0, third, reinterpret_cast<DWORD_PTR>(panel), 0, 0, 0, 0, 0, 0, 0};
  LogCall("ServiceShow", a, 11);
  DWORD result = g.exports.serviceShow(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10]);
  Log("result ServiceShow %lu", static_cast<unsigned long>(result));
}

void CallServiceClose() {
  if (!g.exports.serviceClose) return;
  DWORD_PTR a[3] = {kServiceId, 0, 0};
  LogCall("ServiceClose", a, 3);
  DWORD result = g.exports.serviceClose(a[0], a[1], a[2]);
  Log("result ServiceClose %lu", static_cast<unsigned long>(result));
}

void CallDescWrite() {
  if (!g.exports.descWrite) return;
  DWORD_PTR a[5] = {kServiceId, 0, 0, 0, 0};
  LogCall("DescWrite", a, 5);
  DWORD result = g.exports.descWrite(a[0], a[1], a[2], a[3], a[4]);
  Log("result DescWrite %lu", static_cast<unsigned long>(result));
}

bool CallExportByText(const std::vector<std::string>& words) {
  if (words.size() < 2 || !g.exports.module) return false;
  const std::string& name = words[1];
  std::vector<DWORD_PTR> a;
  for (size_t i = 2; i < words.size(); ++i) {
    DWORD_PTR value = 0;
    if (!ParseArgument(words[i], &value)) return false;
    a.push_back(value);
  }
  const ModuleExports& e = g.exports;
  size_t arity = name == "ServiceShow" ? 11 : name == "DescWrite" ? 5 : name == "ServiceClose" ? 3
               : (name == "ChannelWrite" || name == "ChannelRead") ? 4 : 0;
  if (arity == 0 || a.size() != arity) return false;
  LogCall(name.c_str(), a.data(), static_cast<int>(a.size()));
  DWORD result = 0;
  if (name == "ChannelWrite") result = e.channelWrite(a[0], a[1], a[2], a[3]);
  else if (name == "ChannelRead") result = e.channelRead(a[0], a[1], a[2], a[3]);
  else if (name == "ServiceShow") result = e.serviceShow(a[0], a[1], a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9], a[10]);
  else if (name == "ServiceClose") result = e.serviceClose(a[0], a[1], a[2]);
  else result = e.descWrite(a[0], a[1], a[2], a[3], a[4]);
  Log("result %s %lu", name.c_str(), static_cast<unsigned long>(result));
  return true;
}

}  // namespace va::hostsim
