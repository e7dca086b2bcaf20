#!/usr/bin/env bash
# bootstrap.sh: installs what the build and the tests need on a Debian/Ubuntu
# machine, only when something is missing. Quiet when everything is there.
set -euo pipefail

missing=()
have() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

have cmake || missing+=(cmake)
have g++ || missing+=(g++)
have clang++ || missing+=(clang)
have i686-w64-mingw32-g++-posix || missing+=(g++-mingw-w64-i686 binutils-mingw-w64-i686)
# The 64-bit cross compiler and Wine loader serve machines whose kernel cannot
# run 32-bit code: the tests then run a 64-bit build of the same sources.
have x86_64-w64-mingw32-g++-posix || missing+=(g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64)
have wine || missing+=(wine)
have_pkg wine32:i386 || missing+=(wine32:i386)
[ -x /usr/lib/wine/wine64 ] || missing+=(wine64)
have Xvfb || missing+=(xvfb)
have xauth || missing+=(xauth)
[ -f /usr/src/googletest/CMakeLists.txt ] || missing+=(googletest)
have python3 || missing+=(python3)
# makensis makes the installer (dist/VAExtensions-<version>-setup.exe).
have makensis || missing+=(nsis)
# clang's fuzzer and sanitizer runtimes
if have clang++ && ! echo 'extern "C" int LLVMFuzzerTestOneInput(const char*,unsigned long){return 0;}' \
    | clang++ -x c++ -fsanitize=fuzzer - -o /dev/null >/dev/null 2>&1; then
  missing+=(libclang-rt-dev)
fi

[ ${#missing[@]} -eq 0 ] && exit 0

echo "bootstrap: installing ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $sudo dpkg --add-architecture i386
fi
$sudo apt-get update -qq
# libclang-rt-dev is named after the clang version on Debian 12 (libclang-rt-14-dev).
pkgs=()
for p in "${missing[@]}"; do
  if [ "$p" = libclang-rt-dev ]; then
    v=$(clang++ --version | sed -n 's/.*clang version \([0-9]*\).*/\1/p' | head -n1)
    pkgs+=("libclang-rt-${v}-dev")
  else
    pkgs+=("$p")
  fi
done
$sudo apt-get install -y -qq --no-install-recommends "${pkgs[@]}" >/dev/null
echo "bootstrap: done"
