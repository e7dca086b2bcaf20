#!/usr/bin/env bash
# bench.sh [MiB] [files]: builds the portable core natively without sanitizers and
# runs the MD5 / UUHash benchmark (MD5 beside md5sum, UUHash of many large files).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DVA_SANITIZE=OFF -DVA_FUZZ=OFF >/dev/null
cmake --build build/bench --target uuhash_bench -j "${VA_JOBS:-2}" >/dev/null
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
build/bench/tools/uuhash_bench "$folder" "${1:-512}" "${2:-200}"
