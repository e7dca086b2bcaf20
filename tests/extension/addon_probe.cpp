// addon_probe: loads an add-on library the way the host client does and reports
// which of the five exports it finds and what ServiceClose answers. The module
// may end the process when it is unloaded, so results are printed before that.
#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc < 2) return 2;
  HMODULE library = LoadLibraryA(argv[1]);
  if (!library) {
    std::printf("load failed: missing library %s\n", argv[1]);
    return 1;
  }
  const char* names[] = {"ChannelWrite", "ChannelRead", "ServiceShow", "ServiceClose", "DescWrite"};
  int found = 0;
  for (const char* name : names) {
    if (GetProcAddress(library, name)) ++found;
    else std::printf("export missing: %s\n", name);
  }
  using ServiceCloseFn = DWORD(WINAPI*)(DWORD_PTR, DWORD_PTR, DWORD_PTR);
  auto serviceClose = reinterpret_cast<ServiceCloseFn>(GetProcAddress(library, "ServiceClose"));
  DWORD closed = serviceClose ? serviceClose(1, 2, 3) : 0;
  std::printf("exports found: %d of 5; ServiceClose returned %lu\n", found, static_cast<unsigned long>(closed));
  std::fflush(stdout);
  FreeLibrary(library);
  return 0;
}
