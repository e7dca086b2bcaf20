#!/usr/bin/env bash
# demo.sh: installs what is missing, builds everything and lists the deliverables
# in dist/. (The stand-in host and the walk-through come with later work.)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/bootstrap.sh"
"$root/scripts/build.sh"
echo "Deliverables in $root/dist:"
ls -l "$root/dist"
