#!/bin/sh
# quicklink_tool_test.sh PREFIX COMMAND...: runs the QuickLink command-line tool
# (COMMAND, e.g. the Wine loader and the .exe) on files made here and compares
# its output byte for byte. PREFIX goes before every path ("Z:" under Wine).
# The expected hashes come from an independent reference implementation.
prefix=$1; shift
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
fail=0
check() {  # check NAME EXPECTED-FILE ACTUAL-FILE
  if cmp -s "$2" "$3"; then echo "ok: $1"; else
    echo "FAILED: $1"; echo "expected:"; od -c "$2" | head -n 20; echo "actual:"; od -c "$3" | head -n 20; fail=1
  fi
}
status_is() {  # status_is NAME WANTED ACTUAL
  if [ "$2" = "$3" ]; then echo "ok: $1 exits $2"; else echo "FAILED: $1 exits $3, not $2"; fail=1; fi
}

head -c 5000000 /dev/zero >"$dir/song.mp3"
head -c 1023 /dev/zero >"$dir/small.txt"
song="$prefix$dir/song.mp3"
small="$prefix$dir/small.txt"
hash_song="=kK7e2ZIs+JRup4WGNUk3JMVCaoA="
hash_small="=7kMlyZjWEEme+XSYNzE1gQD8//8="

"$@" --format 1 "$song" >"$dir/out1"
status_is "format 1" 0 $?
printf '<A HREF="sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:%s|">song.mp3</A>\r\n' "$hash_song" >"$dir/want1"
check "format 1 for song.mp3" "$dir/want1" "$dir/out1"

"$@" --format 3 "$song" "$small" >"$dir/out3"
printf 'File: song.mp3\r\nLength: 5000000 Bytes, 4882KB\r\nUUHash: %s\r\n\r\nFile: small.txt\r\nLength: 1023 Bytes, 0KB\r\nUUHash: %s\r\n\r\n' \
  "$hash_song" "$hash_small" >"$dir/want3"
check "format 3 for two files" "$dir/want3" "$dir/out3"

"$@" --format 2 "$small" >"$dir/out2"
printf '[URL="sig2dat:///|File:small.txt|Length:1023 Bytes,0KB|UUHash:%s|"]small.txt[/URL]\r\n' "$hash_small" >"$dir/want2"
check "format 2" "$dir/want2" "$dir/out2"

"$@" --format 5 "$small" >"$dir/out5"
printf 'File: [URL="sig2dat:///|File:small.txt|Length:1023 Bytes,0KB|UUHash:%s|"]small.txt[/URL]\r\nLength: 1023 Bytes, 0KB\r\nUUHash: %s\r\n\r\n' \
  "$hash_small" "$hash_small" >"$dir/want5"
check "format 5" "$dir/want5" "$dir/out5"

"$@" --hash "$song" "$small" >"$dir/outh"
status_is "--hash" 0 $?
printf '%s  %s\n%s  %s\n' "$hash_song" "$song" "$hash_small" "$small" >"$dir/wanth"
check "hash texts" "$dir/wanth" "$dir/outh"

"$@" --format 4 "$small" "$prefix$dir/missing.bin" "$song" >"$dir/out4"
status_is "a missing file" 1 $?
printf 'File: <A HREF="sig2dat:///|File:small.txt|Length:1023 Bytes,0KB|UUHash:%s|">small.txt</A>\r\nLength: 1023 Bytes, 0KB\r\nUUHash: %s\r\n\r\n' \
  "$hash_small" "$hash_small" >"$dir/want4"
printf 'File: <A HREF="sig2dat:///|File:missing.bin|Length:? Bytes,?KB|UUHash:(file not readable)|">missing.bin</A>\r\nLength: ? Bytes, ?KB\r\nUUHash: (file not readable)\r\n\r\n' >>"$dir/want4"
printf 'File: <A HREF="sig2dat:///|File:song.mp3|Length:5000000 Bytes,4882KB|UUHash:%s|">song.mp3</A>\r\nLength: 5000000 Bytes, 4882KB\r\nUUHash: %s\r\n\r\n' \
  "$hash_song" "$hash_song" >>"$dir/want4"
check "format 4 around a missing file" "$dir/want4" "$dir/out4"

"$@" --format 6 "$song" >/dev/null 2>&1
status_is "format 6" 2 $?
"$@" >/dev/null 2>&1
status_is "no files" 2 $?

[ $fail = 0 ] && echo "all checks passed"
exit $fail
