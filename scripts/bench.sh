#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine (x86_64, and i686 where the host can run it). Every
# benchmark runs even when another fails; a failing one is tried once more, and the script exits
# non-zero at the end when any benchmark failed both times. At the end it prints one table of every
# figure for both architectures with its goal, and writes it to build/bench-results.md.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
scripts/install-deps.sh
source scripts/wine-env.sh
trap 'wine_scaled_session_stop; wine_session_stop' EXIT

failed=()
table_args=()
for arch in x86_64 i686; do
  results="$TESSEL_BUILD_ROOT/bench-$arch.txt"
  rm -f "$results"
  table_args+=("$arch=$results")
  if ! scripts/can-run-arch.sh "$arch"; then
    echo "== $arch: not run, this host runs 64-bit programs only"
    continue
  fi
  scripts/build.sh "$arch"
  wine_session_start
  echo "== $arch"
  for bench in "$TESSEL_BUILD_ROOT/$arch"/bench/*_bench.exe; do
    name="$arch/$(basename "$bench")"
    echo "-- $name"
    if "$(wine_loader_for "$bench")" "$bench" | tee -a "$results"; then
      continue
    fi
    echo "-- $name failed; trying it once more"
    if ! "$(wine_loader_for "$bench")" "$bench" | tee -a "$results"; then
      echo "-- $name failed again"
      failed+=("$name")
    fi
  done
  # The start once more at 150 %: the floor and the installer on a display of 144 DPI (a copy of
  # the prefix with its own display and Wine server).
  startup="$TESSEL_BUILD_ROOT/$arch/bench/startup_bench.exe"
  echo "-- $arch/startup_bench.exe at 150 %"
  wine_scaled_session_start 144
  if ! "$(wine_loader_for "$startup")" "$startup" | tee -a "$results"; then
    echo "-- $arch/startup_bench.exe at 150 % failed; trying it once more"
    if ! "$(wine_loader_for "$startup")" "$startup" | tee -a "$results"; then
      failed+=("$arch/startup_bench.exe at 150 %")
    fi
  fi
  wine_scaled_session_stop
  wine_session_stop
done

echo "== table (also in $TESSEL_BUILD_ROOT/bench-results.md)"
python3 scripts/bench-table.py "$TESSEL_BUILD_ROOT/bench-results.md" "${table_args[@]}"

if [ ${#failed[@]} -gt 0 ]; then
  echo "benchmarks that failed: ${failed[*]}" >&2
  exit 1
fi
echo "all benchmarks ran"
