#!/bin/sh
# check_imports.sh OBJDUMP BINARY...: every imported DLL is a Windows system DLL.
objdump=$1; shift
allowed=" kernel32.dll user32.dll gdi32.dll advapi32.dll shell32.dll comctl32.dll comdlg32.dll ole32.dll oleaut32.dll shlwapi.dll winmm.dll msvcrt.dll msimg32.dll uxtheme.dll version.dll "
status=0
for binary in "$@"; do
  for dll in $("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr 'A-Z' 'a-z'); do
    case "$allowed" in
      *" $dll "*) ;;
      *) echo "$(basename "$binary") imports $dll, which is not a system DLL"; status=1 ;;
    esac
  done
  echo "imports of $(basename "$binary"): $("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name:[[:space:]]*//p' | tr '\n' ' ')"
done
exit $status
