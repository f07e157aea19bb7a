#!/usr/bin/env bash
# The test command: installs what is missing, builds both architectures and runs every test under
# Wine on a virtual display (started here when DISPLAY is unset). Ends everything it started.
# Then the pure code natively under the sanitizers, and its fuzz targets (scripts/native-tests.sh).
# Its last lines: one per architecture ("x86_64: N passed, M failed", or why it did not run), one
# for the native run, then the plain total "N passed, M failed".
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"

scripts/install-deps.sh
for arch in i686 x86_64; do
  echo "== build $arch"
  scripts/build.sh "$arch"
done

source scripts/wine-env.sh
trap wine_session_stop EXIT
wine_session_start

status=0
ran=0
total_passed=0
total_failed=0
summary=()
for arch in x86_64 i686; do
  if ! scripts/can-run-arch.sh "$arch"; then
    summary+=("$arch: not run, this host runs 64-bit programs only (built and warning-free)")
    continue
  fi
  echo "== test $arch"
  ran=$((ran + 1))
  log="$TESSEL_BUILD_ROOT/$arch/ctest.log"
  arch_status=0
  (cd "$TESSEL_BUILD_ROOT/$arch" && ctest --output-on-failure -j "$(nproc)" --timeout 300) 2>&1 |
    tee "$log" || arch_status=1
  # ctest's own count: "97% tests passed, 1 tests failed out of 38"
  counts=$(sed -n 's/^[0-9]*% tests passed, \([0-9]*\) tests\{0,1\} failed out of \([0-9]*\)$/\1 \2/p' "$log" |
           tail -1)
  if [ -z "$counts" ]; then
    summary+=("$arch: ctest ended without a result (see $log)")
    status=1
    continue
  fi
  read -r failed total <<<"$counts"
  passed=$((total - failed))
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  [ "$failed" = 0 ] && [ $arch_status = 0 ] || status=1
  summary+=("$arch: $passed passed, $failed failed")
done

# The pure code natively, under the sanitizers, and its fuzz targets.
echo "== native"
native_log="$TESSEL_BUILD_ROOT/native-tests.log"
native_status=0
scripts/native-tests.sh 2>&1 | tee "$native_log" || native_status=1
native_counts=$(sed -n 's/^native: \([0-9]*\) passed, \([0-9]*\) failed$/\1 \2/p' "$native_log" | tail -1)
if [ -n "$native_counts" ]; then
  read -r passed failed <<<"$native_counts"
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
  summary+=("native (sanitizers, fuzzing): $passed passed, $failed failed")
else
  summary+=("native (sanitizers, fuzzing): did not build or run (see $native_log)")
  native_status=1
fi
[ $native_status = 0 ] || status=1

echo
printf '%s\n' "${summary[@]}"
[ $ran -gt 0 ] || { echo "no architecture could run the tests" >&2; exit 1; }
echo "$total_passed passed, $total_failed failed"
exit $status
