#!/usr/bin/env bash
# The test command: installs what is missing, builds both architectures and runs every test, the
# x86_64 build in a fresh 64-bit Wine prefix and the i686 build in a fresh 32-bit one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bash scripts/install-deps.sh
. scripts/wine-env.sh

export LC_ALL=en_US.UTF-8 WINEDEBUG=-all
XVFB_PID=""
cleanup() {
  for a in x86_64 i686; do wine_prefix_stop "$root/build/$a/wineprefix"; done
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
ensure_display

for a in x86_64 i686; do
  echo "== building $a"
  bash scripts/build.sh "$a" | grep -v '^\[' || true
  [ -f "build/$a/Setup.exe" ] || { echo "build of $a failed" >&2; exit 1; }
done

declare -A warch=([x86_64]=win64 [i686]=win32)
archs=(x86_64)
if can_run_win32; then
  archs+=(i686)
else
  echo "NOTE: this kernel cannot run 32-bit programs (32-bit emulation disabled), so 32-bit Wine"
  echo "      cannot start: the i686 build is compiled but its tests are not run on this machine."
fi
for a in "${archs[@]}"; do
  prefix=$root/build/$a/wineprefix
  wine_prefix_stop "$prefix"
  rm -rf "$prefix" "$prefix.lock" "build/$a/e2e"
  wine_prefix_ready "$prefix" "${warch[$a]}"
done

# One architecture per core.
status=0
for a in "${archs[@]}"; do
  (cd "build/$a" && ctest --output-on-failure "$@" >"ctest.log" 2>&1) &
  eval "pid_$a=$!"
done
for a in "${archs[@]}"; do
  eval "wait \$pid_$a" || status=1
done

passed=0 failed=0
for a in "${archs[@]}"; do
  echo "== tests of the $a build (${warch[$a]} prefix)"
  cat "build/$a/ctest.log"
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "build/$a/ctest.log" | tail -1 || true)
  if [ -z "$line" ]; then status=1; continue; fi
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.* ([0-9]+) tests failed.*/\1/' <<<"$line")
  passed=$((passed + total - bad)); failed=$((failed + bad))
done
echo "total: $passed passed, $failed failed"
exit $status
