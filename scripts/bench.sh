#!/usr/bin/env bash
# bench.sh [MiB] [files]: builds the portable core natively without sanitizers
# (-O2) and runs the benchmarks whose figures the README's performance section
# shows, each with its ratio measured in the same run: the organizer's filter
# matcher against std::regex, MD5 / UUHash against md5sum, and the accelerator
# engine's cost per cycle for 10, 100 and 1000 downloads. MD5 and UUHash run twice:
# built as above, and with the release flags of the deliverables (VA_LEAN_RELEASE:
# -Os, unused sections dropped, no unwind tables), so both builds are measured in
# the same run.
#
# bench.sh --host [before-rev]: what the host feels of the module, on the 64-bit
# build under Wine, before and after in one run: builds ch_plug.dll of
# `before-rev` (default: the last commit before the accelerator's pass and one-step
# requests) in a worktree of its own and of this tree, then runs
# tools/host_bench_win.cpp over both in one Wine session.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
if [ "${1:-}" = --host ]; then
  before=${2:-ee6aedd}
  source scripts/wine_env.sh
  old="$root/build/bench-before"
  [ -d "$old/src" ] || git worktree add --detach "$old/src" "$before" >/dev/null
  cmake -S "$old/src" -B "$old/win64" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVA_DIST_DIR="$old/dist" \
    -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw32.cmake >/dev/null
  cmake --build "$old/win64" --target ch_plug -j "${VA_JOBS:-2}" >/dev/null
  mkdir -p build/win64
  cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-x86_64-mingw32.cmake >/dev/null
  cmake --build build/win64 --target ch_plug hostsim host_bench -j "${VA_JOBS:-2}" >/dev/null
  VA_WINE_UNMANAGED=1 va_wine_start "$root/build/win64/bench-prefix" 64
  trap va_wine_stop EXIT
  "$VA_WINE" build/win64/tools/host_bench.exe "before=$(winepath -w "$old/dist/ch_plug.dll")" \
    "after=$(winepath -w build/win64/dist/ch_plug.dll)" </dev/null
  exit 0
fi
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVA_SANITIZE=OFF -DVA_FUZZ=OFF >/dev/null
cmake --build build/bench --target uuhash_bench accelerator_bench -j "${VA_JOBS:-2}" >/dev/null
cmake -S . -B build/bench-lean -DCMAKE_BUILD_TYPE=Release -DVA_SANITIZE=OFF -DVA_FUZZ=OFF -DVA_LEAN_RELEASE=ON >/dev/null
cmake --build build/bench-lean --target uuhash_bench -j "${VA_JOBS:-2}" >/dev/null
c++ -O2 -std=c++20 -I. tools/filter_match_bench.cpp \
  extension/organizer/filter_pattern.cpp common/text_rules.cpp common/number_text.cpp -o build/bench/filter_match_bench
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
echo "== filter matcher (organizer) against std::regex"
build/bench/filter_match_bench
echo "== MD5 and UUHash"
build/bench/tools/uuhash_bench "$folder" "${1:-512}" "${2:-200}"
echo "== MD5 and UUHash, release flags of the deliverables"
build/bench-lean/tools/uuhash_bench "$folder" "${1:-512}" "${2:-200}"
echo "== accelerator engine"
build/bench/tools/accelerator_bench
