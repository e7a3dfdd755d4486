#!/usr/bin/env bash
# Performance figures of the shipped program (run by hand): Setup.exe's size, its start-up time
# relative to a minimal dialog program of our own in the same Wine run, and the install time from
# the confirming Next to the result message.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
. scripts/wine-env.sh
bash scripts/build.sh i686 Setup >/dev/null
bash scripts/build.sh x86_64 Setup e2e_bench minimal_dialog >/dev/null

size=$(stat -c %s build/i686/Setup.exe)
echo "Setup.exe (i686) size: $((size / 1024)) KiB (target <= 512 KiB); DLLs beside it: none (static)"

arch=win64 dir=build/x86_64
if can_run_win32; then arch=win32 dir=build/i686; bash scripts/build.sh i686 e2e_bench minimal_dialog >/dev/null; fi
echo "measured with the $dir build in a fresh $arch prefix"

XVFB_PID=""
trap '[ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true' EXIT
ensure_display
export LC_ALL=en_US.UTF-8 WINEDEBUG=-all
prefix=$root/build/bench-$arch-prefix
wine_prefix_stop "$prefix"; rm -rf "$prefix" "$prefix.lock"
wine_prefix_ready "$prefix" "$arch"
export WINEPREFIX=$prefix

medium=$root/build/bench-medium
rm -rf "$medium"; cp -a medium "$medium"; cp "$dir/Setup.exe" "$medium/Setup.exe"
cp "$dir/tests/e2e/minimal_dialog.exe" "$medium/minimal_dialog.exe"
win() { echo "Z:${1//\//\\}"; }
loader=$(wine_loader "$arch")
"$loader" "$dir/tests/e2e/e2e_bench.exe" startup "$(win "$medium/Setup.exe")" \
  "$(win "$medium/minimal_dialog.exe")" "$(win "$medium")" "${ROUNDS:-10}" 2>&1 | tr -d '\r'
"$loader" "$dir/tests/e2e/e2e_bench.exe" install "$(win "$medium/Setup.exe")" "$(win "$medium")" 2>&1 | tr -d '\r'
wine_prefix_stop "$prefix"
