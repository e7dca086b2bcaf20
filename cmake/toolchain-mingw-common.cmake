# Shared part of the MinGW-w64 toolchain files; VA_MINGW names the target triple.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model: GoogleTest needs std::mutex, which the win32 model
# lacks. Product code still uses Win32 threads only, and the static link keeps
# winpthread inside the binaries (the import check proves it).
find_program(CMAKE_C_COMPILER NAMES ${VA_MINGW}-gcc-posix ${VA_MINGW}-gcc REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${VA_MINGW}-g++-posix ${VA_MINGW}-g++ REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${VA_MINGW}-windres REQUIRED)
find_program(VA_OBJDUMP NAMES ${VA_MINGW}-objdump)

set(CMAKE_FIND_ROOT_PATH /usr/${VA_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Everything links the runtime statically: the deliverables import system DLLs only.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
