#!/usr/bin/env bash
# The run command: builds Setup.exe, lays out the sample driver medium in build/medium/ with the
# 32-bit Setup.exe at its root, and starts the installer there under Wine.
#   scripts/run.sh                      run until the installer ends
#   scripts/run.sh --screenshot FILE    save a PNG of the first window, then end the installer
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
shot=""
if [ "${1:-}" = "--screenshot" ]; then shot=$(realpath -m "${2:?--screenshot needs a file name}"); fi

bash scripts/install-deps.sh
. scripts/wine-env.sh
bash scripts/build.sh i686 Setup >/dev/null

medium=$root/build/medium
rm -rf "$medium"
cp -a medium "$medium"
cp build/i686/Setup.exe "$medium/Setup.exe"

arch=win32 exe=Setup.exe
if ! can_run_win32; then
  # Seen on machines whose kernel has its 32-bit emulation disabled: run the 64-bit build of the
  # same program from the same medium instead.
  echo "NOTE: this machine cannot run 32-bit programs; starting the x86_64 build of Setup.exe." >&2
  bash scripts/build.sh x86_64 Setup >/dev/null
  cp build/x86_64/Setup.exe "$medium/Setup64.exe"
  arch=win64 exe=Setup64.exe
fi

export LC_ALL=${LC_ALL:-en_US.UTF-8} WINEDEBUG=-all
prefix=$root/build/run-$arch-prefix
XVFB_PID=""
virtual=""
if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1 || [ -n "$shot" ]; then
  # Wine's virtual desktop draws window frames like Windows; on Xvfb there is no window manager.
  virtual=yes
  [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1 || ensure_display
fi
trap '[ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true' EXIT
wine_prefix_ready "$prefix" "$arch"
export WINEPREFIX=$prefix WINEARCH=$arch
loader=$(wine_loader "$arch")

cd "$medium"
if [ -n "$virtual" ]; then
  set -- "$loader" explorer /desktop=Orlent,1024x768 "$exe"
else
  set -- "$loader" "$exe"
fi
if [ -z "$shot" ]; then
  "$@" </dev/null >/dev/null 2>&1
  exit 0
fi
"$@" </dev/null >/dev/null 2>&1 &
sleep "${SHOT_DELAY:-6}"
mkdir -p "$(dirname "$shot")"
/usr/bin/import -display "$DISPLAY" -window root -crop 1024x768+0+0 +repage "$shot"
echo "saved $shot"
wine_prefix_stop "$prefix"
