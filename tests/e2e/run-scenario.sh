#!/usr/bin/env bash
# Runs one end-to-end scenario in a fresh Wine prefix: run-scenario.sh BUILD_DIR HARNESS_EXE FILTER
# The prefix is a copy of a template booted once per build, so every scenario starts from a
# system on which nothing was installed.
set -u
build=$1 harness=$2 filter=$3
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"
export WINEARCH=win64 WINEDEBUG=-all LC_ALL=${LC_ALL:-en_US.UTF-8}

template=$build/e2e/template
(
  flock 9
  if [ ! -f "$template/.prefix-ready" ]; then
    wine_prefix_ready "$template" win64 9>&- || exit 1
    # The server writes the registry files only when it ends.
    wine_prefix_stop "$template"
  fi
) 9>"$build/e2e.lock" || exit 1

name=$(tr -c 'A-Za-z0-9_\n' _ <<<"$filter")
prefix=$build/e2e/$name
wine_prefix_stop "$prefix"
rm -rf "$prefix" "$prefix.lock"
cp -a "$template" "$prefix"
wine_prefix_ready "$prefix" win64 || exit 1
export WINEPREFIX=$prefix
status=0
timeout 300 "$(wine_loader win64)" "$harness" --gtest_color=no --gtest_filter="$filter" 2>&1 || status=$?
wine_prefix_stop "$prefix"
exit $status
