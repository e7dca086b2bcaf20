#!/bin/sh
# check_release_faults.sh TOOLPREFIX SYMBOLS VERSION DLL EXE: the release check
# rejects each fault it is there for, one at a time, on copies of good binaries
# (DLL has a VERSIONINFO, EXE has none): a size over the goal, a debug section, a
# symbol table, a debug file of another build, a missing VERSIONINFO.
tp=$1; symbols=$2; version=$3; dll=$4; exe=$5
check="python3 $(dirname "$0")/check_release.py"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
name=$(basename "$dll")
rejects() {  # rejects WHAT MESSAGE SYMBOLS BINARY=GOAL
  if $check "$tp" "$3" "$version" "$4" >"$work/out" 2>&1; then
    echo "the release check accepted $1"; fail=1
  elif ! grep -q "$2" "$work/out"; then
    echo "the release check rejected $1, but not for it:"; cat "$work/out"; fail=1
  fi
}
$check "$tp" "$symbols" "$version" "$dll=100000=versioninfo" >/dev/null || { echo "the good $name is rejected"; exit 1; }
rejects "a binary over its size goal" "over its goal" "$symbols" "$dll=1"
mkdir "$work/bin"
printf 'debug' >"$work/section"
"${tp}objcopy" --add-section .debug_info="$work/section" "$dll" "$work/bin/$name" 2>/dev/null
rejects "a debug section" "carries debug sections" "$symbols" "$work/bin/$name=100000"
"${tp}objcopy" --add-symbol kept=.text:0,global "$dll" "$work/bin/$name"
rejects "a symbol table" "keeps its symbol table" "$symbols" "$work/bin/$name=100000"
mkdir "$work/symbols"
cp "$symbols/$(basename "$exe").debug" "$work/symbols/$name.debug"
rejects "a debug file of another build" "CRC differs" "$work/symbols" "$dll=100000"
rejects "a program without VERSIONINFO" "no VERSIONINFO" "$symbols" "$exe=100000=versioninfo"
[ $fail = 0 ] && echo "the release check rejects each fault"
exit $fail
