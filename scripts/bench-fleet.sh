#!/usr/bin/env bash
# The fleet figure (run by hand): Setup.exe /S deployed to N fresh prefixes at once (N=8 unless
# given), as a deployment tool does on N machines, beside one interactive installation's install
# phase in another fresh prefix. Prints every exit code, the median and the maximum time from
# process start to exit, and the interactive time, side by side. bench-fleet.sh [N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
n=${1:-8}
. scripts/wine-env.sh
arch=win64 dir=build/x86_64
bash scripts/build.sh x86_64 Setup e2e_bench >/dev/null
echo "measured with the $dir build, $n fresh $arch prefixes in parallel, on $(nproc) cores"

XVFB_PID=""
work=$root/build/bench-fleet
cleanup() {
  for p in "$work"/prefix-*; do [ -d "$p" ] && wine_prefix_stop "$p"; done
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
export LC_ALL=en_US.UTF-8 WINEDEBUG=-all WINEARCH=$arch
template=$work/template
if [ ! -f "$template/.prefix-ready" ]; then
  wine_prefix_ready "$template" "$arch"
  wine_prefix_stop "$template"
fi
loader=$(wine_loader "$arch")
win() { echo "Z:${1//\//\\}"; }

# Every machine is ready (prefix booted, its server running) before the clock starts: the figure
# is the installation, not Wine's boot.
for i in $(seq "$n") interactive; do
  p=$work/prefix-$i
  wine_prefix_stop "$p"; rm -rf "$p" "$p.lock" "$work/medium-$i"
  cp -a "$template" "$p"
  wine_prefix_ready "$p" "$arch"
  cp -a medium "$work/medium-$i"; cp "$dir/Setup.exe" "$work/medium-$i/Setup.exe"
done

# No display for the unattended ones, as in a service's session.
for i in $(seq "$n"); do
  (
    unset DISPLAY WAYLAND_DISPLAY
    cd "$work/medium-$i"
    start=$(date +%s%N)
    code=0
    WINEPREFIX=$work/prefix-$i timeout 300 "$loader" Setup.exe /S "/log=$(win "$work/medium-$i/setup.log")" \
      </dev/null >/dev/null 2>&1 || code=$?
    echo "$code $(( ($(date +%s%N) - start) / 1000000 ))" >"$work/result-$i"
  ) &
done
wait

codes="" times=()
for i in $(seq "$n"); do
  read -r code ms <"$work/result-$i"
  # Unix keeps only the low byte of a Windows exit code: 1603 arrives as 67, 1618 as 82.
  case $code in 67) code=1603 ;; 82) code=1618 ;; esac
  codes+="$code "
  times+=("$ms")
done
sorted=($(printf '%s\n' "${times[@]}" | sort -n))
median=${sorted[$(( n / 2 ))]}
max=${sorted[$(( n - 1 ))]}

ensure_display
interactive=$(WINEPREFIX=$work/prefix-interactive "$loader" "$dir/tests/e2e/e2e_bench.exe" install \
  "$(win "$work/medium-interactive/Setup.exe")" "$(win "$work/medium-interactive")" 2>&1 </dev/null |
  tr -d '\r' | sed -n 's/.*result message: \([0-9]*\) ms.*/\1/p')

echo "exit codes of the $n unattended runs: $codes"
echo "unattended, process start to exit: median ${median} ms, max ${max} ms (all $n at once)"
echo "interactive, confirming Next to the result message: ${interactive:-?} ms (alone)"
[ -n "$interactive" ] && awk -v m="$median" -v x="$max" -v i="$interactive" \
  'BEGIN { printf "ratio to the interactive install phase: median %.2f, max %.2f\n", m / i, x / i }'
for i in $(seq "$n") interactive; do
  wine_prefix_stop "$work/prefix-$i"; rm -rf "$work/prefix-$i" "$work/prefix-$i.lock"
done
