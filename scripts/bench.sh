#!/usr/bin/env bash
# bench.sh [MiB] [files]: builds the portable core natively without sanitizers
# (-O2) and runs the benchmarks whose figures the README's performance section
# shows, each with its ratio measured in the same run: the organizer's filter
# matcher against std::regex, MD5 / UUHash against md5sum, and the accelerator
# engine's cost per cycle for 10, 100 and 1000 downloads. MD5 and UUHash run twice:
# built as above, and with the release flags of the deliverables (VA_LEAN_RELEASE:
# -Os, unused sections dropped, no unwind tables), so both builds are measured in
# the same run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
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
