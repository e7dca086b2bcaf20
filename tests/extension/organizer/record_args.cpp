// record_args: a stand-in for a user's command. Appends its command line after
// the quoted program as one line to "<its path>.txt".
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char self[MAX_PATH] = "";
  std::string line = GetCommandLineA(), path(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
  const size_t start = line.find_first_not_of(' ', line.find('"', 1) + 1);
  FILE* log = std::fopen((path + ".txt").c_str(), "ab");
  if (log) std::fputs(((start == line.npos ? "" : line.substr(start)) + "\r\n").c_str(), log);
  return log ? std::fclose(log) : 1;
}
