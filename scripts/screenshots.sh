#!/usr/bin/env bash
# Screenshots of the installer under Wine on a virtual display, in English and in Chinese:
#   scripts/screenshots.sh [OUT_DIR]          (default docs/screenshots)
# The pictures follow a user through one installation with the keyboard: the launcher, each wizard
# page, and the progress box with its result message, each cut out of Wine's virtual desktop.
# SETUP_EXE=path uses an already built Setup.exe instead of building one.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
out=$(realpath -m "${1:-docs/screenshots}")

bash scripts/install-deps.sh
. scripts/wine-env.sh

arch=win32 build=i686
if ! can_run_win32; then
  # This kernel runs no 32-bit programs: the x86_64 build of the same program stands in.
  echo "NOTE: this machine cannot run 32-bit programs; using the x86_64 build of Setup.exe." >&2
  arch=win64 build=x86_64
fi
exe=${SETUP_EXE:-}
if [ -z "$exe" ]; then
  bash scripts/build.sh "$build" Setup >/dev/null
  exe=$root/build/$build/Setup.exe
fi

medium=$root/build/shots-medium
rm -rf "$medium"
cp -a medium "$medium"
cp "$exe" "$medium/Setup.exe"

XVFB_PID=""
unset DISPLAY
ensure_display
prefix=$root/build/shots-$arch-prefix
trap 'wine_prefix_stop "$prefix"; [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null || true' EXIT
export WINEDEBUG=-all
mkdir -p "$out"

# Cuts the window out of the desktop (everything that differs from the desktop's corner colour)
# and keeps a thin margin of desktop around it.
shoot() { # NAME
  /usr/bin/import -display "$DISPLAY" -window root -crop 1024x768+0+0 +repage "$out/$1.tmp.png"
  local desk
  desk=$(/usr/bin/convert "$out/$1.tmp.png" -format '%[pixel:p{0,0}]' info:)
  /usr/bin/convert "$out/$1.tmp.png" -trim +repage -bordercolor "$desk" -border 8 "$out/$1.png"
  rm -f "$out/$1.tmp.png"
  echo "saved $out/$1.png"
}

for lang in en zh; do
  case $lang in
    en) export LC_ALL=en_US.UTF-8 ;;
    zh) export LC_ALL=zh_CN.UTF-8 ;;
  esac
  wine_prefix_stop "$prefix"
  wine_prefix_ready "$prefix" "$arch"
  (cd "$medium" && WINEPREFIX=$prefix WINEARCH=$arch \
     "$(wine_loader "$arch")" explorer /desktop=Shots,1024x768 Setup.exe </dev/null >/dev/null 2>&1 &)
  sleep "${SHOT_DELAY:-6}"
  # Keep the pointer off the buttons: hovering changes their look.
  xdotool mousemove 1020 760
  sleep 1
  shoot "launcher-$lang"
  # Tab from the notes button to the driver button; Enter runs a focused button's action and
  # presses the wizard's default button (Next).
  key() { xdotool key "$1"; sleep "${2:-1.5}"; }
  key Tab 0.5
  key Return 3
  shoot "wizard-1-welcome-$lang"
  key Return; shoot "wizard-2-licence-$lang"
  key Return; shoot "wizard-3-model-$lang"
  key Return; shoot "wizard-4-port-$lang"
  key Return; shoot "wizard-5-confirm-$lang"
  key Return 5
  shoot "progress-result-$lang"
  key Return 2
  wine_prefix_stop "$prefix"
done
