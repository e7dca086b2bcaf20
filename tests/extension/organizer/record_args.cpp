// record_args: a stand-in for a user's command. Appends its command line after
// the program (quoted when its path has blanks) as one line to "<its path>.txt".
#include <windows.h>

#include <cstdio>
#include <string>

int main() {
  char self[MAX_PATH] = "";
  std::string line = GetCommandLineA(), path(self, GetModuleFileNameA(nullptr, self, MAX_PATH));
  size_t end = line[0] == '"' ? line.find('"', 1) : line.find(' ');
  size_t start = end == std::string::npos ? end : line.find_first_not_of(' ', end + 1);
  line = (start == std::string::npos ? std::string() : line.substr(start)) + "\r\n";
  FILE* log = std::fopen((path + ".txt").c_str(), "ab");
  if (log) std::fputs(line.c_str(), log);
  return log ? std::fclose(log) : 1;
}
