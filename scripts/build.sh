#!/usr/bin/env bash
# Configures and builds one architecture: scripts/build.sh i686|x86_64 [extra cmake arguments]
# The build tree is build/<arch>. Warnings are errors.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
arch="$1"
shift
dir="${TESSEL_BUILD_ROOT:-$repo/build}/$arch"
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$repo" -B "$dir" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-$arch.cmake" -DTESSEL_WERROR=ON "$@" >/dev/null
fi
cmake --build "$dir"
