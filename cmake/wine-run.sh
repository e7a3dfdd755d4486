#!/usr/bin/env bash
# Runs one Windows program under Wine in the build's own prefix: wine-run.sh ARCH PREFIX PROGRAM [ARGS].
# ARCH is win32 or win64. The prefix is created on first use; scripts/test.sh makes it fresh per run.
set -u
arch=$1 prefix=$2; shift 2
export WINEARCH=$arch WINEPREFIX=$prefix WINEDEBUG=${WINEDEBUG:--all}
export LC_ALL=${LC_ALL:-en_US.UTF-8}
here=$(cd "$(dirname "$0")" && pwd)
# shellcheck source=../scripts/wine-env.sh
. "$here/../scripts/wine-env.sh"
wine_prefix_ready "$prefix" "$arch" || exit 1
exec "$(wine_loader "$arch")" "$@"
