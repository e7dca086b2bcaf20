// record_args: a stand-in for a user's command. Appends its command-line arguments
// (everything after the program) as one line to "<its own path>.txt", so tests
// can check what a started command received.
#include <windows.h>

#include <string>

int main() {
  char self[MAX_PATH] = "";
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  // The command line starts with the program, quoted when its path has blanks.
  std::string line = GetCommandLineA();
  size_t start = 0;
  if (!line.empty() && line[0] == '"') {
    start = line.find('"', 1);
    start = start == std::string::npos ? line.size() : start + 1;
  } else {
    start = line.find(' ');
    if (start == std::string::npos) start = line.size();
  }
  while (start < line.size() && line[start] == ' ') ++start;
  std::string arguments = line.substr(start) + "\r\n";
  HANDLE log = CreateFileA((std::string(self) + ".txt").c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (log == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(log, arguments.data(), static_cast<DWORD>(arguments.size()), &written, nullptr);
  CloseHandle(log);
  return 0;
}
