#!/usr/bin/env bash
# Configures (once) and builds one architecture: build.sh i686|x86_64 [TARGET...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
arch=$1; shift
dir=$root/build/$arch
if [ ! -f "$dir/build.ninja" ]; then
  cmake -G Ninja -S "$root" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-$arch.cmake" >/dev/null
fi
if [ $# -gt 0 ]; then
  cmake --build "$dir" --target "$@"
else
  cmake --build "$dir"
fi
