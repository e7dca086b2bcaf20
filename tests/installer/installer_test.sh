#!/usr/bin/env bash
# installer_test.sh BITS SETUP PLUG WIZARD HOSTSIM ADDON VERSION DRIVER: runs the real
# installer in a fresh Wine prefix of its own (on the display of the calling test
# run) against a stand-in client folder that holds a foreign add-on (ADDON renamed
# ch_plug.dll), and checks what it changes: first the runs it must refuse, then
# install, upgrade, the host using both add-ons and uninstall, silently; then an
# install and an uninstall through their pages (driven by DRIVER, the demo's window
# driver); then other makers' add-ons taking ch_plug.dll or going away between
# installs and uninstalls. PLUG and WIZARD are the files the installer packs.
set -u
bits=$1 setup=$2 plug=$3 wizard=$4 hostsim=$5 addon=$6 version=$7 driver=$8
if [ "$setup" -ot "$plug" ] || [ "$setup" -ot "$wizard" ]; then
  echo "FAILED: $setup is older than the binaries it packs: build the target installer first"; exit 1
fi
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/scripts/wine_env.sh"
work=$(mktemp -d)
client=""
cleanup() {
  [ -n "$client" ] && { chattr -i "$client" 2>/dev/null; chmod u+w "$client" 2>/dev/null; }
  [ -n "${host_pid:-}" ] && kill "$host_pid" 2>/dev/null
  va_wine_stop
  rm -rf "$work"
}
trap cleanup EXIT
VA_WINE_KEEP_DISPLAY=1 va_wine_start "$work/prefix" "$bits" >/dev/null 2>&1
wine=$VA_WINE
c=$WINEPREFIX/drive_c
client=$c/Client
uninstaller=$client/VAExtensions-uninstall.exe
hklm='HKLM\Software\VAExtensions'
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\VAExtensions'
menu="$c/ProgramData/Microsoft/Windows/Start Menu/Programs"
fail=0
ok() { echo "ok: $* (${SECONDS}s)"; }
bad() { echo "FAILED: $* (${SECONDS}s)"; fail=1; }
run() { "$wine" "$@" </dev/null >/dev/null 2>&1; }

# The state the installer may touch: the client folder's files by content, the
# registry keys it writes (exported), and the Start menu's entries.
snapshot() {  # snapshot NAME
  local out=$work/$1
  mkdir -p "$out"
  rm -f "$c"/snap-*.reg
  run cmd /c "reg export $hklm C:\\snap-lm.reg /y & reg export $uninstall_key C:\\snap-un.reg /y & reg export HKCU\\Software\\VAExtensions C:\\snap-cu.reg /y & reg export HKLM\\Software\\Vexlo C:\\snap-client.reg /y"
  for part in lm un cu client; do
    if [ -f "$c/snap-$part.reg" ]; then mv "$c/snap-$part.reg" "$out/$part"; else echo absent >"$out/$part"; fi
  done
  (cd "$client" && find . -type f | sort | xargs -r -d '\n' sha256sum) >"$out/files"
  (cd "$menu" && find . | sort) >"$out/menu"
}
text() { if [ "$(head -c 2 "$1" | od -An -tx1 | tr -d ' ')" = fffe ]; then iconv -f utf-16 -t utf-8 "$1"; else cat "$1"; fi; }
same() {  # same WHAT BEFORE AFTER PART...: the parts of two snapshots are equal
  local what=$1 a=$2 b=$3 part differs=""
  shift 3
  for part in "$@"; do cmp -s "$work/$a/$part" "$work/$b/$part" || differs="$differs $part"; done
  if [ -z "$differs" ]; then ok "$what"; else
    bad "$what: changed:$differs"
    for part in $differs; do diff <(text "$work/$a/$part") <(text "$work/$b/$part") | head -n 20; done
  fi
}
everything="files menu lm un cu client"
# refused NAME MESSAGE-PART SETUP-ARGS...: the run fails with exit code 2 and the
# message, and changes nothing.
refused() {
  local name=$1 message=$2
  shift 2
  snapshot before
  "$wine" "$setup" /S "$@" </dev/null >"$work/out" 2>"$work/err"
  local status=$?
  snapshot after
  [ $status = 2 ] && grep -q "$message" "$work/err" && ok "$name: refused, exit code 2, says \"$message\"" ||
    bad "$name: exit code $status (want 2), message: $(cat "$work/err")"
  same "$name: nothing changed" before after $everything
}
uninstall() {  # uninstall ARGS...: as the system's list runs it; waits until it is done
  run "$uninstaller" /S "$@"
  uninstall_wait
}
uninstall_wait() {
  local tries=0
  while [ -e "$uninstaller" ] && [ $tries -lt 150 ]; do sleep 0.1; tries=$((tries + 1)); done
  [ -e "$uninstaller" ] && bad "the uninstaller did not finish within 15 s"
}
values() { "$wine" reg query "$1" 2>/dev/null | tr -d '\r' >"$work/values"; }  # values KEY: read for value
value() { sed -n "s/^ *$1 *REG_[A-Z_]* *//p" "$work/values"; }
listed() {  # listed WHAT KEY NAME-PATTERN WANTED...: KEY's values with such names, as name=data
  local what=$1 key=$2 pattern=$3 got want
  shift 3
  got=$("$wine" reg query "$key" 2>/dev/null | tr -d '\r' | sed -n "s/^ *\($pattern\) *REG_[A-Z_]* *\(.*\)$/\1=\2/p" | sort | paste -sd ' ')
  want=$(printf '%s\n' "$@" | sed '/^$/d' | sort | paste -sd ' ')
  [ "$got" = "$want" ] && ok "$what: ${want:-none}" || bad "$what: '$got', not '$want'"
}
same_file() {  # same_file WHAT FILE WANTED-CONTENT
  cmp -s "$2" "$3" && ok "$1" || bad "$1: $(basename "$2") $([ -e "$2" ] && echo differs || echo is missing)"
}
drive() {  # drive STEP...: the demo's driver works the windows on the display (see demo_walk_win.cpp)
  "$wine" "$driver" drive - "$@" </dev/null >"$work/drive" 2>&1 && return
  bad "the pages: $(tr -d '\r' <"$work/drive")"
  "$WINESERVER" -k  # ends the windows left open; the next program starts the server again
}
expect_value() {  # expect_value NAME WANTED
  local got
  got=$(value "$1")
  [ "$got" = "$2" ] && ok "$1 = $2" || bad "$1 is '$got', not '$2'"
}

# A client folder with a foreign add-on, the user's and an administrator's settings.
run reg add 'HKCU\Software\Wine\DllOverrides' /v winemenubuilder.exe /d "" /f  # no desktop entries on this machine
mkdir -p "$client" "$menu"
cp "$hostsim" "$client/hostsim.exe"
cp "$addon" "$client/ch_plug.dll"
# The user's settings, seeded: both values must be there, or "uninstall keeps the
# settings" would compare absent with absent.
run reg add 'HKCU\Software\VAExtensions\Accelerator' /v CyclesDelay /t REG_DWORD /d 77 /f &&
  run reg add "$hklm" /v AskExit /t REG_DWORD /d 0 /f || bad "the user's settings could not be seeded"

echo "== refusals"
refused "no client folder known" "is not known"
run reg add 'HKLM\Software\Vexlo\v-aero' /v InstallDir /d 'C:\Client' /f
printf 'module = no\n' >"$c/idle.txt"
"$wine" "$client/hostsim.exe" --scenario 'C:\idle.txt' --log 'C:\idle.log' </dev/null >/dev/null 2>&1 &
host_pid=$!
tries=0
until grep -q "ready main=" "$c/idle.log" 2>/dev/null || [ $tries -ge 300 ]; do sleep 0.1; tries=$((tries + 1)); done
refused "client running" "is running"
kill "$host_pid"; wait "$host_pid" 2>/dev/null; host_pid=""
list=""
for n in 1 2 3 4 5 6 7 8; do list="$list reg add $hklm\\ch_plugs /v Dll$n /d C:\\AddOn$n.dll /f &"; done
run cmd /c "$list rem"
refused "eight add-ons listed" "Eight add-ons are listed"
run reg delete "$hklm\\ch_plugs" /f
chmod a-w "$client"
touch "$client/probe" 2>/dev/null && { rm -f "$client/probe"; chattr +i "$client" 2>/dev/null; }
if touch "$client/probe" 2>/dev/null; then
  rm -f "$client/probe"; bad "read-only folder: this machine cannot make a folder read-only (chmod, chattr)"
else
  refused "read-only folder" "no write access"
fi
chattr -i "$client" 2>/dev/null; chmod u+w "$client"

echo "== install over a foreign add-on"
snapshot original
run "$setup" /S
status=$?
[ $status = 0 ] && ok "install exits 0" || bad "install exits $status"
cmp -s "$client/ch_plug.dll" "$plug" && ok "ch_plug.dll is the suite's" || bad "ch_plug.dll is not the packed module"
cmp -s "$client/VAConfigWizard.exe" "$wizard" && ok "the wizard is installed" || bad "VAConfigWizard.exe is not the packed wizard"
cmp -s "$client/ch_plug_chained1.dll" "$addon" && ok "the foreign add-on is kept as ch_plug_chained1.dll" ||
  bad "ch_plug_chained1.dll is not the foreign add-on"
values "$hklm\\ch_plugs"
expect_value Dll1 'C:\Client\ch_plug_chained1.dll'
values "$uninstall_key"
expect_value DisplayName "VA Extensions for Vexlo Aero V++"
expect_value DisplayVersion "$version"
expect_value Publisher "VA Extensions team"
expect_value DisplayIcon 'C:\Client\VAConfigWizard.exe,0'
expect_value UninstallString '"C:\Client\VAExtensions-uninstall.exe"'
expect_value QuietUninstallString '"C:\Client\VAExtensions-uninstall.exe" /S'
expect_value NoModify 0x1
expect_value NoRepair 0x1
size=$(($(value EstimatedSize))) want=$((($(stat -c %s "$plug") + $(stat -c %s "$wizard")) / 1024))
[ "$size" -ge "$want" ] && [ "$size" -le $((want + 512)) ] && ok "EstimatedSize $size KB" || bad "EstimatedSize $size KB, files take $want KB"
[ -f "$menu/VA Extensions/VA Extensions configuration wizard.lnk" ] && ok "Start menu entry" || bad "no Start menu entry"

echo "== upgrade: installing again changes nothing, chains nothing"
snapshot installed
run "$setup" /S
status=$?
snapshot upgraded
[ $status = 0 ] && ok "upgrade exits 0" || bad "upgrade exits $status"
same "upgrade" installed upgraded $everything

echo "== the host loads the module, the module the foreign add-on"
printf 'second_panel_ms = 0\nexit_after_ms = 800\n' >"$c/story.txt"
VA_TEST_ADDON_LOG='C:\addons.log' timeout 60 "$wine" "$client/hostsim.exe" --scenario 'C:\story.txt' --log 'C:\host.log' \
  </dev/null >/dev/null 2>&1
status=$?
tr -d '\r' <"$c/host.log" | grep -q "module loaded C:\\\\Client\\\\ch_plug.dll" && ok "the host loaded the installed module" ||
  bad "the host did not load C:\\Client\\ch_plug.dll (exit code $status)"
tr -d '\r' <"$c/host.log" | sed -n 's/^[0-9]* export /ch_plug_chained1.dll /p' >"$work/host-calls"
tr -d '\r' <"$c/addons.log" 2>/dev/null | grep -F -x -f "$work/host-calls" >"$work/addon-calls"
if [ -s "$work/host-calls" ] && cmp -s "$work/host-calls" "$work/addon-calls" && grep -q " ServiceClose " "$work/host-calls"; then
  ok "the foreign add-on received the host's $(wc -l <"$work/host-calls") calls"
else
  bad "the foreign add-on's calls differ from the host's"; tail -n 20 "$c/host.log" "$c/addons.log"
fi

echo "== uninstall keeping the settings"
snapshot used
uninstall
snapshot removed
same "uninstall restores the folder, the Start menu, the machine's keys" original removed files menu lm un client
grep -q CyclesDelay <(text "$work/used/cu") || bad "no user settings before the uninstall"
same "uninstall keeps the user's settings" used removed cu

echo "== install and uninstall through their pages"
"$wine" "$setup" </dev/null >/dev/null 2>&1 &
setup_pid=$!
# No on the add-on question stays on the folder page; the finish page starts the wizard.
drive "show Please close Vexlo Aero V++" "click 1" "show Folder of Vexlo Aero V++" "click 1" \
  "show is an add-on of another maker" "click 7" gone "show Folder of Vexlo Aero V++" "click 1" \
  "show is an add-on of another maker" "click 6" "show Run the configuration wizard now" "click 1" \
  "title Vexlo Aero Configuration Wizard"
wait "$setup_pid"
status=$?
[ $status = 0 ] && ok "setup through its pages exits 0" || bad "setup through its pages exits $status"
run taskkill /f /im VAConfigWizard.exe
snapshot paged
same "the pages install what the silent install does" installed paged files menu lm un client
"$wine" "$uninstaller" </dev/null >/dev/null 2>&1
drive "show will be uninstalled from the following folder" "click 1" "show Your settings stay unless you tick" \
  "toggle 1032" "click 1" "show Uninstallation Complete" "click 1"
uninstall_wait
snapshot purged
same "uninstall through its pages restores the folder, the Start menu, the machine's keys" original purged files menu lm un client
[ "$(cat "$work/purged/cu")" = absent ] && ok "the ticked box removed the user's settings" || bad "HKCU\\Software\\VAExtensions is still there"

echo "== other makers' add-ons take ch_plug.dll and go away"
for maker in b c d; do { cat "$addon"; echo "add-on $maker"; } >"$work/addon-$maker.dll"; done
chained() { echo "C:\\Client\\ch_plug_chained$1.dll"; }
run "$setup" /S
# The record as an earlier setup kept it, and another maker's installer puts its add-on over ours.
run cmd /c "reg delete $uninstall_key /v Chained1 /f & reg add $uninstall_key /v ChainedFile /d ch_plug_chained1.dll /f & reg add $uninstall_key /v ChainedValue /d Dll1 /f"
cp "$work/addon-b.dll" "$client/ch_plug.dll"
run "$setup" /S
same_file "setup again puts the suite's ch_plug.dll back" "$client/ch_plug.dll" "$plug"
same_file "and chains the new add-on as ch_plug_chained2.dll" "$client/ch_plug_chained2.dll" "$work/addon-b.dll"
listed "both chainings recorded" "$uninstall_key" 'Chained[A-Za-z0-9]*' Chained1=ch_plug_chained1.dll Chained2=ch_plug_chained2.dll
# The options dialog's Apply writes the list again in its own order and spelling.
run cmd /c "reg delete $hklm\\ch_plugs /f & reg add $hklm\\ch_plugs /v Dll1 /d c:\\client\\CH_PLUG_CHAINED2.DLL /f & reg add $hklm\\ch_plugs /v Dll2 /d $(chained 1) /f"
uninstall
same_file "uninstall puts the newest chained add-on back as ch_plug.dll" "$client/ch_plug.dll" "$work/addon-b.dll"
same_file "and keeps the older one" "$client/ch_plug_chained1.dll" "$addon"
listed "the older one stays listed, the one put back does not" "$hklm\\ch_plugs" 'Dll[0-9]*' "Dll2=$(chained 1)"

run "$setup" /S
rm "$client/ch_plug_chained2.dll"             # its maker's uninstaller removed it
cp "$work/addon-c.dll" "$client/ch_plug.dll"  # a third maker's installer
run "$setup" /S
same_file "a path listed already is not listed again: the add-on becomes ch_plug_chained3.dll" \
  "$client/ch_plug_chained3.dll" "$work/addon-c.dll"
listed "the listing of the add-on gone is dropped" "$hklm\\ch_plugs" 'Dll[0-9]*' "Dll2=$(chained 1)" "Dll3=$(chained 3)"
listed "and its record" "$uninstall_key" 'Chained[0-9]*' Chained1=ch_plug_chained3.dll

cp "$work/addon-d.dll" "$client/ch_plug.dll"  # a fourth maker's installer
run reg add 'HKCU\Software\VAExtensions' /v Probe /d 1 /f
uninstall /REMOVESETTINGS
same_file "uninstall leaves another maker's ch_plug.dll alone" "$client/ch_plug.dll" "$work/addon-d.dll"
same_file "and the add-on chained before" "$client/ch_plug_chained3.dll" "$work/addon-c.dll"
listed "which stays listed" "$hklm\\ch_plugs" 'Dll[0-9]*' "Dll2=$(chained 1)" "Dll3=$(chained 3)"
snapshot foreign
[ ! -e "$client/VAConfigWizard.exe" ] && [ "$(cat "$work/foreign/un")" = absent ] && [ "$(cat "$work/foreign/cu")" = absent ] &&
  ok "the suite's wizard, its entry and the user's settings (/REMOVESETTINGS) are gone" || bad "the uninstall left the suite's parts"

run "$setup" /S
same_file "the next add-on takes the first free name" "$client/ch_plug_chained2.dll" "$work/addon-d.dll"
rm "$client/ch_plug_chained2.dll"
uninstall
[ ! -e "$client/ch_plug.dll" ] && [ ! -e "$client/VAConfigWizard.exe" ] &&
  ok "uninstall goes on when a chained add-on is gone" || bad "uninstall stopped at the chained add-on gone"
listed "and drops its listing" "$hklm\\ch_plugs" 'Dll[0-9]*' "Dll2=$(chained 1)" "Dll3=$(chained 3)"
exit $fail
