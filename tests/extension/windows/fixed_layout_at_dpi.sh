#!/bin/sh
# fixed_layout_at_dpi.sh DPI WINE PROGRAM: the fixed dialog engine's layouts with the
# prefix's system text size (LogPixels) at 96 dpi, checked against the system's
# dialog manager and kept, then at DPI, where they must be the same. The text size
# is set back afterwards; every run fails unless both passes ran and passed.
dpi=$1 wine=$2 program=$3
key='HKCU\Control Panel\Desktop'
file=$(mktemp)
old=$("$wine" reg query "$key" /v LogPixels </dev/null 2>/dev/null | sed -n 's/.*REG_DWORD[[:space:]]*0x\([0-9a-fA-F]*\).*/\1/p')
at() { "$wine" reg add "$key" /v LogPixels /t REG_DWORD /d "$1" /f </dev/null >/dev/null 2>&1; }
status=0
for pass in 96 "$dpi"; do
  at "$pass" || { echo "FAILED: LogPixels $pass not set"; status=1; break; }
  echo "== system text size $pass dpi"
  VA_FIXED_LAYOUT_FILE="Z:$file" "$wine" "$program" --gtest_filter='FixedDialogLayout.*' </dev/null || status=1
done
if [ -n "$old" ]; then at $((0x$old)); else "$wine" reg delete "$key" /v LogPixels /f </dev/null >/dev/null 2>&1; fi
rm -f "$file"
exit $status
