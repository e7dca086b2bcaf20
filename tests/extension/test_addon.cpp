// test_addon: an add-on library for the tests. It records every call of the five
// exports, with all arguments, as one line appended to the file named by the
// environment variable VA_TEST_ADDON_LOG:  <own file name> <Export> <args in hex>.
// Copies of it under different names tell apart the add-ons of a list.
#include <windows.h>

#include <cstdio>
#include <initializer_list>
#include <string>

namespace {

HINSTANCE self = nullptr;

DWORD Record(const char* name, std::initializer_list<DWORD_PTR> args) {
  char path[MAX_PATH] = {};
  if (!GetEnvironmentVariableA("VA_TEST_ADDON_LOG", path, MAX_PATH)) return 7;
  char own[MAX_PATH] = {};
  GetModuleFileNameA(self, own, MAX_PATH);
  std::string file = own;
  std::string line = file.substr(file.find_last_of('\\') + 1) + " " + name;
  for (DWORD_PTR arg : args) {
    char number[24];
    std::snprintf(number, sizeof number, " 0x%llx", static_cast<unsigned long long>(arg));
    line += number;
  }
  line += "\r\n";
  HANDLE out = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD written = 0;
  if (out != INVALID_HANDLE_VALUE) WriteFile(out, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
  if (out != INVALID_HANDLE_VALUE) CloseHandle(out);
  return 7;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD, LPVOID) {
  self = instance;
  return TRUE;
}

__declspec(dllexport) DWORD WINAPI ChannelWrite(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4) {
  return Record("ChannelWrite", {a1, a2, a3, a4});
}

__declspec(dllexport) DWORD WINAPI ChannelRead(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4) {
  return Record("ChannelRead", {a1, a2, a3, a4});
}

__declspec(dllexport) DWORD WINAPI ServiceShow(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4, DWORD_PTR a5,
                                               DWORD_PTR a6, DWORD_PTR a7, DWORD_PTR a8, DWORD_PTR a9, DWORD_PTR a10,
                                               DWORD_PTR a11) {
  return Record("ServiceShow", {a1, a2, a3, a4, a5, a6, a7, a8, a9, a10, a11});
}

__declspec(dllexport) DWORD WINAPI ServiceClose(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3) {
  return Record("ServiceClose", {a1, a2, a3});
}

__declspec(dllexport) DWORD WINAPI DescWrite(DWORD_PTR a1, DWORD_PTR a2, DWORD_PTR a3, DWORD_PTR a4, DWORD_PTR a5) {
  return Record("DescWrite", {a1, a2, a3, a4, a5});
}

}  // extern "C"
