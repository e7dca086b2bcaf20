# Cross toolchain for the deliverables: 32-bit Windows programs.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VA_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
find_program(VA_WINE NAMES wine)
if(VA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VA_WINE})
endif()
