#!/usr/bin/env bash
# demo.sh [--headless|--gallery]: installs what is missing, builds everything, then shows
# the suite working: the wizard, then the stand-in host client with ch_plug.dll
# loaded and the sample scenario of demo/ (a dozen downloads, a library of
# sample files, a shared folder with filters and tools configured).
# - With a display of your own ($DISPLAY set): the wizard opens for you, then the
#   host stays open until you close it.
# - Headless (no display, or --headless): a private Xvfb display and a fresh Wine
#   prefix under build/; demo_walk walks the features by window messages
#   (demo/walk.txt), then goes through the installer's pages (demo_walk drive),
#   and writes PNG pictures into build/demo-shots/, then every
#   Wine process is stopped. Exits non-zero when a step failed. --gallery does the
#   headless run and copies the README's pictures into docs/gallery/.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/bootstrap.sh" || exit 1
source "$root/scripts/wine_env.sh"
va_build_for_wine "$root" "the demo runs" || exit 1
echo "Deliverables in $root/dist:"
ls -l "$root/dist"

# A display we did not start ourselves (not the private Xvfb of a test run).
own_display() {
  [ -n "${DISPLAY:-}" ] || return 1
  local n=${DISPLAY#*:}; n=${n%%.*}
  local lock="/tmp/.X${n}-lock"
  if [ -r "$lock" ]; then
    local pid; pid=$(tr -d ' ' <"$lock")
    [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = Xvfb ] && return 1
  fi
  return 0
}

windows_path() { local p="Z:$1"; echo "${p//\//\\}"; }
walker="$root/$wine_build/demo/demo_walk.exe"
demo_folder=$(windows_path "$root/demo")
shots="$root/build/demo-shots"

mode=${1:-}
if [ -z "$mode" ] && own_display; then
  export VA_WINE_KEEP_DISPLAY=1
  trap va_wine_stop EXIT
  va_wine_start "$root/build/demo-prefix" "$bits"
  "$VA_WINE" "$walker" prepare "$demo_folder" </dev/null || exit 1
  echo "== the wizard: walk through it, then Finish or Cancel"
  "$VA_WINE" "$root/$wine_build/demo/VAConfigWizard.exe" </dev/null
  "$VA_WINE" "$walker" settings "$demo_folder" </dev/null || exit 1
  echo "== the stand-in host with ch_plug.dll: close it (File > Exit) to end the demo"
  cd "$root/$wine_build/hostsim" && "$VA_WINE" hostsim.exe --scenario "$demo_folder\\scenario.txt" </dev/null
  exit 0
fi

trap va_wine_stop EXIT
va_wine_start "$root/build/demo-prefix" "$bits"
rm -rf "$shots"
mkdir -p "$shots"
status=0
timeout 600 "$VA_WINE" "$walker" walk "$demo_folder" "$(windows_path "$shots")" </dev/null || status=1
# The installer's pages, into a client folder of this prefix: the folder page, then
# the finish page (its box is cleared, so that no wizard starts).
setup_dir=$root/dist
[ "$wine_build" = build/win32 ] || setup_dir=$root/$wine_build/dist
setup=$(ls -t "$setup_dir"/VAExtensions-*-setup.exe 2>/dev/null | head -n 1)
if [ -n "$setup" ]; then
  mkdir -p "$WINEPREFIX/drive_c/Program Files/Vexlo Aero V++"
  "$VA_WINE" reg add 'HKLM\Software\Vexlo\v-aero' /v InstallDir /d 'C:\Program Files\Vexlo Aero V++' /f </dev/null >/dev/null 2>&1
  "$VA_WINE" "$setup" </dev/null >/dev/null 2>&1 &
  setup_pid=$!
  timeout 120 "$VA_WINE" "$walker" drive "$(windows_path "$shots")" "show Please close" "click 1" \
    "show Folder of" "shot installer-folder" "click 1" "show Run the configuration wizard now" "shot installer-finish" \
    "click 1203" "click 1" </dev/null || { status=1; "$WINESERVER" -k; }
  wait "$setup_pid"
else
  echo "failed: no installer in $setup_dir"; status=1
fi
python3 "$root/scripts/bmp_to_png.py" "$shots" || status=1
va_wine_stop
trap - EXIT
echo "Pictures in $shots:"
ls -l "$shots"
if [ "$mode" = --gallery ]; then
  mkdir -p "$root/docs/gallery"
  for name in wizard-connection host-options-menu tray-menu status-accelerator file-manager-menu quicklinks-progress \
      download-menu reorder-dialog search-panel options-accelerator installer-folder installer-finish; do
    cp "$shots/$name.png" "$root/docs/gallery/" || status=1
  done
  echo "Gallery pictures copied into $root/docs/gallery"
fi
[ $status -eq 0 ] || echo "demo: a step failed (see above)"
exit $status
