#!/usr/bin/env bash
# Runs one end-to-end scenario in a fresh Wine prefix:
# run-scenario.sh ARCH BUILD_DIR HARNESS_EXE FILTER (ARCH is win32 or win64)
# The prefix is a copy of a template booted once per build, so every scenario starts from a
# system on which nothing was installed.
set -u
arch=$1 build=$2 harness=$3 filter=$4
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"
export WINEARCH=$arch WINEDEBUG=-all LC_ALL=${LC_ALL:-en_US.UTF-8}

template=$build/e2e/template
(
  flock 9
  if [ ! -f "$template/.prefix-ready" ]; then
    wine_prefix_ready "$template" "$arch" 9>&- || exit 1
    # The server writes the registry files only when it ends.
    wine_prefix_stop "$template"
  fi
) 9>"$build/e2e.lock" || exit 1

# A screen of its own: the harness reads message-box icons from the screen, and scenarios run side
# by side.
XVFB_PID=""
trap '[ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null' EXIT
private_display || exit 1

name=$(tr -c 'A-Za-z0-9_\n' _ <<<"$filter")
prefix=$build/e2e/$name
wine_prefix_stop "$prefix"
rm -rf "$prefix" "$prefix.lock"
cp -a "$template" "$prefix"
wine_prefix_ready "$prefix" "$arch" || exit 1
export WINEPREFIX=$prefix
status=0
timeout 300 "$(wine_loader "$arch")" "$harness" --gtest_color=no --gtest_filter="$filter" 2>&1 || status=$?
wine_prefix_stop "$prefix"
exit $status
