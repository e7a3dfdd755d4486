#!/usr/bin/env bash
# Runs one end-to-end scenario in a fresh Wine prefix:
# run-scenario.sh ARCH BUILD_DIR HARNESS_EXE FILTER [VERSION]
# ARCH is win32 or win64; VERSION, when given, is the Windows version Wine reports (win98, winxp,
# win7, ...). The prefix is a copy of a template booted once per build, so every scenario starts
# from a system on which nothing was installed. A scenario that passed leaves no prefix behind (each
# is 1.3 GiB); a failed one keeps it for a look. With E2E_NEEDS_WIN32 set the scenario is skipped
# (exit code 77) on a machine that cannot run 32-bit Wine.
set -u
arch=$1 build=$2 harness=$3 filter=$4 version=${5:-}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../../scripts/wine-env.sh"
export WINEARCH=$arch WINEDEBUG=-all LC_ALL=${LC_ALL:-en_US.UTF-8}

if [ -n "${E2E_NEEDS_WIN32:-}" ] && ! can_run_win32; then
  echo "SKIPPED: this machine cannot run 32-bit Wine programs"
  exit 77
fi

template=$build/e2e/template
e2e_template_ready "$build" "$arch" || exit 1

# A screen of its own: the harness reads message-box icons from the screen, and scenarios run side
# by side. With E2E_NO_DISPLAY there is none at all, as for a service: no X server, no DISPLAY.
XVFB_PID=""
trap '[ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null' EXIT
if [ -n "${E2E_NO_DISPLAY:-}" ]; then
  unset DISPLAY WAYLAND_DISPLAY
else
  private_display || exit 1
fi

name=$(tr -c 'A-Za-z0-9_\n' _ <<<"$filter${version:+_$version}")
prefix=$build/e2e/$name
wine_prefix_stop "$prefix"
rm -rf "$prefix" "$prefix.lock"
cp -a "$template" "$prefix"
wine_prefix_ready "$prefix" "$arch" || exit 1
export WINEPREFIX=$prefix
loader=$(wine_loader "$arch")
if [ -n "$version" ]; then
  "$loader" reg add 'HKCU\Software\Wine' /v Version /d "$version" /f </dev/null >/dev/null 2>&1 || exit 1
fi
status=0
if [ -n "${E2E_NO_DISPLAY:-}" ]; then
  # Wine tells on its error output of every window a program asks for where no display exists. A
  # child's debug output goes to the Unix error output it inherits, the harness's, not to the
  # standard handles it was given, so it is read here. Wine's desktop process (explorer.exe) ends a
  # second after its last program and is started again by the next one that needs it, inheriting
  # that one's error output; with no display it tells of its own windows. Its lines, known by the
  # process id that loaded explorer.exe, are not the installer's.
  said=$(mktemp)
  WINEDEBUG=-all,err+winediag,+loaddll,+pid timeout "${E2E_TIMEOUT:-300}" "$loader" "$harness" \
    --gtest_color=no --gtest_filter="$filter" >"$said" 2>&1 || status=$?
  grep -v ':trace:loaddll:' "$said"
  desktop=$(sed -n 's/^\([0-9a-f]*\):[0-9a-f]*:trace:loaddll:.*Loaded L".*\\explorer\.exe".*/\1/p' "$said" |
    sort -u | paste -sd '|')
  if grep 'nodrv_CreateWindow' "$said" | grep -qvE "^(${desktop:-none}):"; then
    echo "[  FAILED  ] a window was asked for where no display exists"
    [ $status -ne 0 ] || status=1
  fi
  rm -f "$said"
else
  timeout "${E2E_TIMEOUT:-300}" "$loader" "$harness" --gtest_color=no --gtest_filter="$filter" 2>&1 || status=$?
fi
wine_prefix_stop "$prefix"
if [ $status -eq 0 ]; then
  rm -rf "$prefix" "$prefix.lock"
else
  echo "the prefix stays for a look: $prefix"
fi
exit $status
