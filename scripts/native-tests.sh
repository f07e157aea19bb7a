#!/usr/bin/env bash
# The pure code built natively with clang, AddressSanitizer and UndefinedBehaviorSanitizer: runs its
# unit tests, then every fuzz target for a bounded time (FUZZ_SECONDS each, 20 by default: the whole
# fuzzing stays under three minutes). A crash fails the run; its input is kept in
# build/native/fuzz-crashes/ and the path printed. Called by the test command; run it on its own
# after scripts/install-deps.sh.
#
#   scripts/native-tests.sh            build, unit tests, fuzzing
#   FUZZ_SECONDS=300 scripts/native-tests.sh
#
# Last line: "native: N passed, M failed" (the unit test program and each fuzz target count one).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${TESSEL_BUILD_ROOT:-$repo/build}/native"
seconds="${FUZZ_SECONDS:-20}"

if [ ! -f "$build/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$repo/tests/native" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build"

passed=0
failed=0
report() {  # <ok|fail> <what>
  if [ "$1" = ok ]; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: $2"; fi
}

echo "== native unit tests (ASan, UBSan)"
if "$build/pure_unit_tests" --gtest_brief=1; then report ok; else report fail "native unit tests"; fi

crashes="$build/fuzz-crashes"
mkdir -p "$crashes"
for fuzzer in "$build"/Fuzz*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  # New inputs the fuzzer finds go to a scratch folder; the seeds in the repository stay as they are.
  work="$build/fuzz-work/$name"
  mkdir -p "$work"
  seeds=("$repo/tests/fuzz/corpus/$name")
  # The skin's own markup files seed the markup reader too.
  [ "$name" = FuzzMarkup ] && seeds+=("$repo/skin/package")
  echo "== $name for $seconds s"
  if "$fuzzer" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$crashes/$name-" "$work" "${seeds[@]}" >"$build/$name.log" 2>&1; then
    grep -E '^stat::number_of_executed_units' "$build/$name.log" | sed 's/^stat::/   /' || true
    report ok
  else
    tail -40 "$build/$name.log"
    report fail "$name found an input that breaks it: $(ls -t "$crashes/$name-"* 2>/dev/null | head -1)"
  fi
done

echo "native: $passed passed, $failed failed"
[ "$failed" = 0 ]
