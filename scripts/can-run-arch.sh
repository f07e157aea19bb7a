#!/usr/bin/env bash
# Exit 0 when this machine can run Windows programs of the given architecture under Wine.
# 32-bit Windows programs need Wine's 32-bit loader, a 32-bit Linux program: some hosts run 64-bit
# user code only (the kernel then refuses every i386 executable).
case "$1" in
  x86_64) [ -x /usr/lib/wine/wine64 ] ;;
  i686) /usr/lib/wine/wine --version >/dev/null 2>&1 ;;
  *) exit 1 ;;
esac
