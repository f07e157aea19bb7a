#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine (x86_64, and i686 where the host can run it).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
scripts/install-deps.sh
source scripts/wine-env.sh
trap wine_session_stop EXIT
for arch in x86_64 i686; do
  scripts/can-run-arch.sh "$arch" || { echo "== $arch: not runnable on this host"; continue; }
  scripts/build.sh "$arch"
  wine_session_start
  echo "== $arch"
  for bench in "$TESSEL_BUILD_ROOT/$arch"/bench/*_bench.exe; do
    echo "-- $(basename "$bench")"
    "$(wine_loader_for "$bench")" "$bench"
  done
  wine_session_stop
done
