// hostsim_log_win: the host's event log, one line per event, flushed per line so
// a test reading it from outside sees every line the moment it is written.
#include <cstdarg>
#include <cstdio>

#include <windows.h>

#include "hostsim/hostsim_state.h"

namespace va::hostsim {
namespace {
FILE* logFile = nullptr;
DWORD startTick = 0;
}  // namespace

void OpenLog(const std::string& path) {
  startTick = GetTickCount();
  logFile = std::fopen(path.c_str(), "w");
}

void Log(const char* format, ...) {
  if (!logFile) return;
  std::fprintf(logFile, "%lu ", static_cast<unsigned long>(GetTickCount() - startTick));
  va_list args;
  va_start(args, format);
  std::vfprintf(logFile, format, args);
  va_end(args);
  std::fputc('\n', logFile);
  std::fflush(logFile);
}

}  // namespace va::hostsim
