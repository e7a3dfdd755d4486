#!/usr/bin/env bash
# Fails when the shipped program imports a function that the table of allowed imports does not
# list, naming each such import; the loaders of the oldest supported systems refuse a program whose
# import table names a function they lack, before any of its code runs.
#   import-audit.sh OBJDUMP SETUP_EXE TABLE ARCH
set -uo pipefail
objdump=$1 exe=$2 table=$3 arch=$4

fail() { echo "import audit FAILED: $*"; exit 1; }
[ -f "$exe" ] || fail "$exe does not exist"
[ -f "$table" ] || fail "$table does not exist"

# Table rows: arch (i686, x86_64 or any), DLL, function or #ordinal, oldest Windows, source.
allowed=$(awk -F'\t' -v arch="$arch" -v table="$table" '
  /^#/ || /^[[:space:]]*$/ { next }
  NF != 5 || $4 == "" || $5 == "" { printf "BAD %s:%d\n", table, NR; next }
  $1 == arch || $1 == "any" { print tolower($2) " " $3 }' "$table")
bad_rows=$(grep '^BAD ' <<<"$allowed")
[ -z "$bad_rows" ] || fail "rows without five tab-separated fields: ${bad_rows//BAD /}"

dump=$("$objdump" -p "$exe") || fail "$objdump cannot read $exe"
# "DLL Name: X" opens a DLL's list; each entry is "vma hint name", or "vma ordinal" without a name.
imports=$(awk '
  /^The Import Tables/ { inside = 1; next }
  /^The (Export|Function) Table|^PE File Base Relocations/ { inside = 0 }
  inside && /DLL Name:/ { dll = $3; next }
  inside && dll != "" && /^\t[0-9a-f]+\t/ { print dll " " (NF >= 3 ? $3 : "#" $2) }' <<<"$dump")
[ -n "$imports" ] || fail "no import table found in $exe"

# The DLLs the import table may name: the loader resolves them before any of the program's code
# runs, so each must be one that no file beside the program can stand in for. The core three are
# loaded into every process before any search ("pre-installed DLLs such as KERNEL32.DLL and
# USER32.DLL", Visual C++ 6.0 docs, Search Path Used by Windows to Locate a DLL,
# https://learn.microsoft.com/en-us/previous-versions/visualstudio/visual-studio-6.0/aa297182(v=vs.60);
# known DLLs and the loaded-module list come first in Dynamic-link library search order,
# https://learn.microsoft.com/windows/win32/dlls/dynamic-link-library-search-order). msvcrt.dll is
# the C runtime that the toolchain's start-up code needs before main, so it cannot be loaded later;
# it stays, though whether 98, ME and 2000 treat it as known is not documented where we looked.
# Everything else is loaded at run time from the system folder.
allowed_dlls="kernel32.dll user32.dll gdi32.dll msvcrt.dll"
offenders=0
for dll in $(awk '{print $1}' <<<"$imports" | sort -uf); do
  if ! grep -qwiF "$dll" <<<"$allowed_dlls"; then
    echo "import audit: $exe imports $dll, which the loader may take from the program's folder" \
         "before any code runs (only $allowed_dlls are safe there): load it from the system folder"
    offenders=$((offenders + 1))
  fi
done
[ "$offenders" -eq 0 ] || fail "$offenders DLLs in the import table of $exe outside the known system DLLs"

count=0
while read -r dll function; do
  count=$((count + 1))
  if ! grep -qxF "${dll,,} $function" <<<"$allowed"; then
    echo "import audit: $dll $function is not in the table of allowed imports"
    offenders=$((offenders + 1))
  fi
done <<<"$imports"
if [ "$offenders" -gt 0 ]; then
  fail "$offenders of $count imports of $exe are not known to exist on every supported Windows"
fi
echo "import audit passed: all $count imports of $exe ($arch) are in $(basename "$table")"
