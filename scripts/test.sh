#!/usr/bin/env bash
# The test command: installs what is missing, builds both architectures and runs every test under
# Wine on a virtual display (started here when DISPLAY is unset). Ends everything it started.
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
for arch in x86_64 i686; do
  if ! scripts/can-run-arch.sh "$arch"; then
    echo "== $arch tests NOT RUN: this host cannot execute $arch Windows programs under Wine" \
         "(built and warning-free only)"
    continue
  fi
  echo "== test $arch"
  ran=$((ran + 1))
  (cd "$TESSEL_BUILD_ROOT/$arch" && ctest --output-on-failure -j "$(nproc)" --timeout 300) || status=1
done
[ $ran -gt 0 ] || { echo "no architecture could run the tests" >&2; exit 1; }
exit $status
