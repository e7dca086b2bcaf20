#!/bin/sh
# check_checks.sh OBJDUMP DIR DLL EXE: the two table checks reject what they must,
# so a green check means something: a missing or extra export name fails, and a
# binary linked against a non-system DLL (the test program's C++ runtime would
# be one if it were not linked statically) is recognised by name.
objdump=$1; dir=$2; dll=$3; exe=$4
fail=0
if sh "$dir/check_exports.sh" "$objdump" "$dll" ChannelWrite ChannelRead ServiceShow ServiceClose >/dev/null; then
  echo "export check accepted a table with an extra name"; fail=1
fi
if sh "$dir/check_exports.sh" "$objdump" "$dll" ChannelWrite ChannelRead ServiceShow ServiceClose DescWrite ServiceShow@44 >/dev/null; then
  echo "export check accepted a table with a missing decorated twin"; fail=1
fi
fake=$(mktemp)
printf '#!/bin/sh\necho "\tDLL Name: libstdc++-6.dll"\n' > "$fake"; chmod +x "$fake"
if sh "$dir/check_imports.sh" "$fake" "$exe" >/dev/null; then
  echo "import check accepted libstdc++-6.dll"; fail=1
fi
rm -f "$fake"
[ $fail = 0 ] && echo "both checks reject faulty tables"
exit $fail
