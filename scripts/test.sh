#!/usr/bin/env bash
# test.sh: installs what is missing, builds everything and runs every test:
# native unit tests and fuzz targets, the checks of the deliverables' tables,
# then the Win32 and end-to-end tests through Wine on a private X display.
# Exits non-zero on any failure. Extra arguments go to the Wine CTest run,
# e.g.  scripts/test.sh -R RegistryStore
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/bootstrap.sh" || exit 1
source "$root/scripts/wine_env.sh"
va_build_for_wine "$root" "the Wine tests run" || exit 1

status=0
echo "== native unit tests and fuzz targets"
ctest --test-dir build/native --output-on-failure -j 2 --timeout 300 </dev/null || status=1

trap va_wine_stop EXIT
VA_WINE_UNMANAGED=1 va_wine_start "$root/$wine_build/wineprefix" "$bits"
if [ "$wine_build" != build/win32 ]; then
  echo "== checks of the 32-bit deliverables"
  ctest --test-dir build/win32 --output-on-failure -L check </dev/null || status=1
fi
echo "== Windows tests under Wine ($bits-bit)"
ctest --test-dir "$wine_build" --output-on-failure --timeout 120 "$@" </dev/null || status=1
exit $status
