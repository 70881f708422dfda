#!/bin/sh
# Reads a Windows DLL's export and import tables and fails unless it exports exactly
# _mod_descrip and imports only from Windows' own system DLLs.
# Usage: check_pe_tables.sh OBJDUMP DLL
set -eu
objdump="$1"
dll="$2"
dump=$("$objdump" -p "$dll")

exports=$(printf '%s\n' "$dump" | awk '
  /\[Ordinal\/Name Pointer\] Table/ { t = 1; next }
  t && /^[ \t]*\[/ { print $NF; next }
  t { t = 0 }' | sort -u)
if [ "$exports" != "_mod_descrip" ]; then
  echo "$dll: exports are not exactly _mod_descrip:"
  printf '%s\n' "$exports"
  exit 1
fi

imports=$(printf '%s\n' "$dump" | awk '/DLL Name:/ { print tolower($3) }' | sort -u)
bad=""
for d in $imports; do
  case "$d" in
    kernel32.dll|msvcrt.dll|ntdll.dll|user32.dll|advapi32.dll|ucrtbase.dll|api-ms-win-*) ;;
    *) bad="$bad $d" ;;
  esac
done
if [ -n "$bad" ]; then
  echo "$dll: imports from DLLs outside Windows' system set:$bad"
  exit 1
fi
echo "$dll: exports _mod_descrip only; imports:" $imports
