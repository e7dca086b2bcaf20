# Cross toolchain for the 64-bit test bench: the same sources built for 64-bit
# Windows, run by the 64-bit Wine loader where 32-bit code cannot execute.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VA_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
find_program(VA_WINE NAMES wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
if(NOT VA_WINE)
  find_program(VA_WINE NAMES wine64 wine)
endif()
if(VA_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${VA_WINE})
endif()
