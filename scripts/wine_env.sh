# wine_env.sh (sourced): a private X display and a fresh Wine prefix for this run;
# both are stopped by va_wine_stop.
#   va_wine_bits                  -> 32 when 32-bit programs run here, else 64
#   va_wine_start <prefix> <bits> -> starts Xvfb and prepares the prefix (with
#                                    VA_WINE_KEEP_DISPLAY=1: uses $DISPLAY as it is)
#   va_wine_stop
#   va_build_for_wine <root> <use> -> builds the tree this machine's Wine runs and
#                                    sets bits and wine_build (build/win32 or build/win64)

# Some kernels cannot execute 32-bit code at all; Wine's 32-bit loader then fails
# with "Exec format error" and only the 64-bit loader works.
va_wine_bits() {
  if /usr/lib/wine/wine --version >/dev/null 2>&1; then echo 32; else echo 64; fi
}

va_wine_start() {
  local prefix=$1 bits=$2
  export WINEPREFIX="$prefix"
  export WINEDEBUG=-all
  # No prompts for the .NET and HTML runtimes: they would wait for a click.
  export WINEDLLOVERRIDES="mscoree,mshtml="
  if [ "$bits" = 32 ]; then
    export WINEARCH=win32
    VA_WINE=wine
  else
    export WINEARCH=win64
    export WINELOADER=/usr/lib/wine/wine64
    VA_WINE=/usr/lib/wine/wine64
  fi
  local server=/usr/lib/wine/wineserver$bits
  [ -x "$server" ] || server=wineserver
  export WINESERVER=$server
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  local n
  VA_XVFB_PID=""
  [ "${VA_WINE_KEEP_DISPLAY:-}" = 1 ] || for n in $(seq 90 140); do
    { [ -e "/tmp/.X${n}-lock" ] || [ -e "/tmp/.X11-unix/X${n}" ]; } && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    VA_XVFB_PID=$!
    export DISPLAY=":$n"
    local tries=0
    while [ ! -e "/tmp/.X11-unix/X${n}" ] && [ $tries -lt 50 ]; do sleep 0.1; tries=$((tries + 1)); done
    if kill -0 "$VA_XVFB_PID" 2>/dev/null; then break; fi
  done
  # A persistent server: starting a fresh one for every test program costs seconds.
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  timeout 120 "$VA_WINE" wineboot -i </dev/null >/dev/null 2>&1 || true
  # The set-up session leaves two service managers behind; with both, every
  # program that opens a window waits ~10 s at start and at exit for a failing
  # service start. End that session and start the persistent server afresh.
  # Without a window manager on the private display, Wine waits about 2 s for one
  # each time a top-level window hides or closes (every message box answered,
  # every program's end): for the tests (VA_WINE_UNMANAGED=1) Wine manages its
  # windows itself. The demo keeps the usual behaviour, whose pictures catch
  # windows that stand only for a moment.
  if [ "${VA_WINE_UNMANAGED:-}" = 1 ]; then
    "$VA_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 || true
  fi
  "$WINESERVER" -k </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -p </dev/null >/dev/null 2>&1 || true
  # The first program that touches the desktop starts Wine's desktop process,
  # which outlives it and would hold that program's output pipe open: start it
  # here, detached from any pipe of ours.
  timeout 60 "$VA_WINE" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

va_wine_stop() {
  "${WINESERVER:-wineserver}" -k >/dev/null 2>&1 || true
  if [ -n "${VA_XVFB_PID:-}" ]; then
    kill "$VA_XVFB_PID" 2>/dev/null || true
    wait "$VA_XVFB_PID" 2>/dev/null || true
  fi
}

# The 32-bit deliverables are always built; where 32-bit programs cannot run, the
# 64-bit build is made too and stands in for them under Wine.
va_build_for_wine() {
  local root=$1 use=$2
  bits=$(va_wine_bits)
  if [ "$bits" = 32 ]; then
    "$root/scripts/build.sh" || return 1
    wine_build=build/win32
  else
    echo "32-bit programs cannot run on this machine: $use the 64-bit build"
    "$root/scripts/build.sh" win64 || return 1
    wine_build=build/win64
  fi
}
