// open_recorder: a stand-in program for tests of opening files and running tools.
// It appends one line to the file named by VA_OPEN_LOG: its work folder and its
// arguments, separated by "|".
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  const char* log = std::getenv("VA_OPEN_LOG");
  FILE* out = log ? std::fopen(log, "ab") : nullptr;
  if (!out) return 1;
  char folder[MAX_PATH] = "";
  GetCurrentDirectoryA(MAX_PATH, folder);
  std::fprintf(out, "cwd=%s", folder);
  for (int i = 1; i < argc; ++i) std::fprintf(out, "|%s", argv[i]);
  std::fprintf(out, "\n");
  std::fclose(out);
  return 0;
}
