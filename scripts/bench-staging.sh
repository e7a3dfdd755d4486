#!/usr/bin/env bash
# Staging figures (run by hand): builds a synthetic medium (300 files in nested folders and one
# 512 MiB file), stages it with the engine into an empty driver directory and copies the same tree
# plainly under the same Wine, then stages it again over identical files. Prints the ratio
# staging/copy, the re-install time relative to reading both trees once and the working-set growth
# during the re-install.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
. scripts/wine-env.sh
log=$(mktemp)
bash scripts/build.sh x86_64 staging_bench >"$log" 2>&1 || { cat "$log"; rm -f "$log"; exit 1; }
rm -f "$log"
exe=$root/build/x86_64/tests/engine/staging_bench.exe

export LC_ALL=en_US.UTF-8 WINEDEBUG=-all
prefix=$root/build/bench-staging-prefix
work=$root/build/bench-staging
trap 'wine_prefix_stop "$prefix"; rm -rf "$work" "$prefix" "$prefix.lock"' EXIT
wine_prefix_stop "$prefix"; rm -rf "$prefix" "$prefix.lock" "$work"
wine_prefix_ready "$prefix" win64
export WINEPREFIX=$prefix
loader=$(wine_loader win64)
win() { echo "Z:${1//\//\\}"; }

echo "measured with the x86_64 build in a fresh 64-bit prefix; files in $work"
"$loader" "$exe" prepare "$(win "$work")" </dev/null 2>&1 | tr -d '\r'
"$loader" "$exe" first "$(win "$work")" </dev/null 2>&1 | tr -d '\r'
"$loader" "$exe" again "$(win "$work")" </dev/null 2>&1 | tr -d '\r'
