#!/usr/bin/env bash
# Builds the installer as it is shipped and writes it to a folder:
#
#   scripts/package.sh OUTDIR
#
# The shipped installer is the 32-bit one, built in Release without tests or benchmarks in a tree
# of its own (build/package-i686). It prints the file's size and SHA-256. The build settings come
# from the environment; each one that is unset takes its default (see README, "Shipping your own
# product"):
#
#   TESSEL_PRODUCT_DIR  TESSEL_PRODUCT_VERSION  TESSEL_PUBLISHER  TESSEL_SIGN_PFX  TESSEL_SIGN_PASSWORD
#
# One commit makes the same bytes in any clone, in any folder, on any day: nothing dated is built
# in, and a signature's time is the commit's (SOURCE_DATE_EPOCH, unless already set).
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
if [ $# -ne 1 ]; then
  echo "usage: scripts/package.sh OUTDIR" >&2
  exit 2
fi
mkdir -p "$1"
out="$(cd "$1" && pwd)"

"$repo/scripts/install-deps.sh"

if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH="$(git -C "$repo" log -1 --format=%ct 2>/dev/null || true)"
  [ -n "$SOURCE_DATE_EPOCH" ] || unset SOURCE_DATE_EPOCH
fi
[ -z "${SOURCE_DATE_EPOCH:-}" ] || export SOURCE_DATE_EPOCH

# Each run's settings are this run's environment alone, whatever an earlier run left in the cache.
settings=()
for name in TESSEL_PRODUCT_DIR TESSEL_PRODUCT_VERSION TESSEL_PUBLISHER TESSEL_SIGN_PFX \
            TESSEL_SIGN_PASSWORD; do
  settings+=(-U "$name")
done
for name in TESSEL_PRODUCT_DIR TESSEL_SIGN_PFX; do
  if [ -n "${!name:-}" ]; then
    [ -e "${!name}" ] || { echo "package.sh: $name: no such file or folder: ${!name}" >&2; exit 1; }
    export "$name=$(realpath "${!name}")"
  fi
done
for name in TESSEL_PRODUCT_DIR TESSEL_PRODUCT_VERSION TESSEL_PUBLISHER; do
  if [ -n "${!name+set}" ]; then settings+=("-D$name=${!name}"); fi
done
# The certificate and its password stay in the environment (cmake/Signing.cmake reads them there):
# nothing of them goes into the build tree.

build="${TESSEL_BUILD_ROOT:-$repo/build}/package-i686"
mkdir -p "$build"
echo "== configure $build"
cmake -S "$repo" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$repo/cmake/toolchain-i686.cmake" -DCMAKE_BUILD_TYPE=Release \
  -DTESSEL_BUILD_TESTS=OFF -DTESSEL_WERROR=ON "${settings[@]}" >"$build/configure.log" 2>&1 ||
  { cat "$build/configure.log" >&2; exit 1; }
grep -E '^-- Signing' "$build/configure.log" || true
grep -A4 '^CMake Warning' "$build/configure.log" || true
echo "== build"
cmake --build "$build" --target TesselAssistantSetup

installer="$out/TesselAssistantSetup.exe"
cp "$build/app/TesselAssistantSetup.exe" "$installer.part"
mv -f "$installer.part" "$installer"
size=$(stat -c %s "$installer")
sha=$(sha256sum "$installer" | cut -d' ' -f1)
echo
echo "$installer"
echo "  size    $size bytes"
echo "  SHA-256 $sha"
if [ -n "${TESSEL_SIGN_PFX:-}" ]; then
  echo "  signed with $TESSEL_SIGN_PFX (signing time ${SOURCE_DATE_EPOCH:-now})"
else
  echo "  not signed"
fi
