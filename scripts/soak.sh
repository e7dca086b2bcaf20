#!/usr/bin/env bash
# soak.sh [soak options]: builds everything and runs the long soak: the stand-in
# host with ch_plug.dll over many rounds (status window, tray icon and menus,
# options dialog, 1000+ files through the organizer, QuickLinks of 100 files, the
# accelerator over 200 rows), with the host's GDI and USER objects, handles and
# private memory compared between the first and the last round, on a private
# Xvfb display with a fresh Wine prefix. Its one option, --short, gives the
# test run's short version (see tests/soak/soak_win.cpp).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
"$root/scripts/bootstrap.sh" || exit 1
source "$root/scripts/wine_env.sh"
va_build_for_wine "$root" "the soak runs" || exit 1
trap va_wine_stop EXIT
VA_WINE_UNMANAGED=1 va_wine_start "$root/build/soak-prefix" "$bits"
timeout 3600 "$VA_WINE" "$root/$wine_build/tests/soak/soak.exe" "$@" </dev/null
