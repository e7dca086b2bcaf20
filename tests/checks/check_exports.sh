#!/bin/sh
# check_exports.sh OBJDUMP DLL NAME...: the DLL's export table holds exactly NAMEs.
objdump=$1; dll=$2; shift 2
actual=$("$objdump" -p "$dll" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' \
  | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort)
expected=$(printf '%s\n' "$@" | sort)
if [ "$actual" != "$expected" ]; then
  echo "export table of $dll differs"
  echo "expected:"; echo "$expected"
  echo "actual:"; echo "$actual"
  exit 1
fi
echo "exports of $(basename "$dll"): $(echo $actual)"
