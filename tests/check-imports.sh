#!/usr/bin/env bash
# kovelar.exe must run from a bare folder on any Windows: it may import only DLLs that every
# Windows installation has. Prints the imports and fails on any other.
set -euo pipefail
exe=$1
allowed='^(kernel32|user32|gdi32|comctl32|comdlg32|shell32|version|advapi32|msimg32|msvcrt|ole32|oleaut32|shlwapi)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$imports" ] || { echo "no import table read from $exe"; exit 1; }
status=0
while IFS= read -r dll; do
  if echo "$dll" | tr 'A-Z' 'a-z' | grep -Eq "$allowed"; then
    echo "ok       $dll"
  else
    echo "NOT OK   $dll"
    status=1
  fi
done <<<"$imports"
exit $status
