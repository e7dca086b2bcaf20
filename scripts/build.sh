#!/usr/bin/env bash
# build.sh [win64]: configures and builds the native core (with sanitizers) and
# the 32-bit Windows deliverables (into dist/); with "win64" also the 64-bit
# test bench, for machines whose kernel cannot run 32-bit code under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
jobs=${VA_JOBS:-2}

build() {  # build <dir> <cmake args...>
  local dir=$1; shift
  cmake -S . -B "$dir" -G "Unix Makefiles" "$@" >/dev/null
  if ! cmake --build "$dir" -j "$jobs" >"$dir/build.log" 2>&1; then
    grep -E "error|Error" "$dir/build.log" | head -n 40
    echo "build of $dir failed (full log: $dir/build.log)"
    return 1
  fi
  grep -E "warning: " "$dir/build.log" | grep -v googletest | sort -u | head -n 20 || true
}

mkdir -p build/native build/win32
build build/native -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
build build/win32 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686-mingw32.cmake
if [ "${1:-}" = win64 ]; then
  mkdir -p build/win64
  build build/win64 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw32.cmake
fi
