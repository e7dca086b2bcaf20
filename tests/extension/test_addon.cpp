// test_addon: an add-on library for the tests. It records every call of the five
// exports, with all arguments, as one line appended to the file named by the
// environment variable VA_TEST_ADDON_LOG:  <own file name> <Export> <args in hex>.
// Copies of it under different names tell apart the add-ons of a list. Built with
// VA_WITHOUT_DESC_WRITE it lacks one of the five exports: an add-on the module must
// refuse, which would give itself away in the same file if it were loaded anyway.
#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <string>

namespace {

HINSTANCE self = nullptr;

DWORD Record(const char* name, std::initializer_list<DWORD_PTR> args) {
  char path[MAX_PATH] = {}, own[MAX_PATH] = {}, number[24];
  if (!GetEnvironmentVariableA("VA_TEST_ADDON_LOG", path, MAX_PATH)) return 7;
  GetModuleFileNameA(self, own, MAX_PATH);
  std::string line = std::string(own).substr(std::string(own).find_last_of('\\') + 1) + " " + name;
  for (DWORD_PTR arg : args) line += (std::snprintf(number, sizeof number, " 0x%llx", static_cast<unsigned long long>(arg)), number);
  line += "\r\n";
  if (FILE* out = std::fopen(path, "ab")) {
    std::fputs(line.c_str(), out);
    std::fclose(out);
  }
  return 7;
}

}  // namespace

#define VA_ARGS4 DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4
extern "C" {
// Its start-up code leaves a mark in the file named by VA_TEST_ADDON_STARTS.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  char path[MAX_PATH] = {};
  if (reason == DLL_PROCESS_ATTACH && GetEnvironmentVariableA("VA_TEST_ADDON_STARTS", path, MAX_PATH))
    if (FILE* out = std::fopen(path, "ab")) std::fputs("started\n", out), std::fclose(out);
  return self = instance, TRUE;
}
__declspec(dllexport) DWORD WINAPI ChannelWrite(VA_ARGS4) { return Record("ChannelWrite", {a1, a2, a3, a4}); }
__declspec(dllexport) DWORD WINAPI ChannelRead(VA_ARGS4) { return Record("ChannelRead", {a1, a2, a3, a4}); }
#ifndef VA_WITHOUT_DESC_WRITE
__declspec(dllexport) DWORD WINAPI DescWrite(VA_ARGS4, DWORD_PTR a5) { return Record("DescWrite", {a1, a2, a3, a4, a5}); }
#endif
__declspec(dllexport) DWORD WINAPI ServiceClose(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3) {
  return Record("ServiceClose", {a1, a2, a3});
}
__declspec(dllexport) DWORD WINAPI ServiceShow(VA_ARGS4, DWORD_PTR a5, DWORD_PTR a6, DWORD_PTR a7, DWORD_PTR a8,
                                               DWORD_PTR a9, DWORD_PTR a10, DWORD_PTR a11) {
  return Record("ServiceShow", {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11});
}
}  // extern "C"
