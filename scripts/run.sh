#!/usr/bin/env bash
# The main job: builds the installer and runs it under Wine, clicking through an installation into
# "C:\TesselDemo\Tessel Assistant" of the private Wine prefix as a person would, and leaves a
# picture of each page.
#
#   scripts/run.sh [LANG]      e.g. zh_CN.UTF-8, zh_TW.UTF-8; default en_US.UTF-8
#
# With TESSEL_LOG_PIXELS set (120, 144, 192: 125 %, 150 %, 200 %) the prefix's display DPI is that
# for the run, and set back to Wine's default (96) when the run ends.
#
# The installer shows on the current X display when DISPLAY is set and reachable, otherwise on a
# virtual display started for the run.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
locale="${1:-en_US.UTF-8}"
case "$locale" in
  zh_CN*) lang=cn ;;
  zh_TW*) lang=tc ;;
  *) lang=en ;;  # Hong Kong too: the installer shows English there
esac

scripts/install-deps.sh
scripts/build.sh x86_64
arch=x86_64
# The installer is shipped as a 32-bit program; run that one where the host can.
if scripts/can-run-arch.sh i686; then
  scripts/build.sh i686
  arch=i686
else
  echo "run: this host cannot execute 32-bit Windows programs; running the x86_64 build"
fi

if [ -n "${DISPLAY:-}" ] && ! xdotool getdisplaygeometry >/dev/null 2>&1; then
  echo "run: DISPLAY=$DISPLAY does not answer; using a virtual display"
  unset DISPLAY
fi

source scripts/wine-env.sh
source scripts/installer-walkthrough.sh
log_pixels="${TESSEL_LOG_PIXELS:-}"
restore_log_pixels() {
  [ -n "$log_pixels" ] || return 0
  /usr/lib/wine/wine64 reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f \
    </dev/null >/dev/null 2>&1 || true
}
trap 'restore_log_pixels; wine_session_stop' EXIT
# A virtual display started for the run must hold the window at 200 %.
[ -z "$log_pixels" ] || : "${TESSEL_XVFB_SCREEN:=1600x1100x24}"
export TESSEL_XVFB_SCREEN
wine_session_start
if [ -n "$log_pixels" ]; then
  /usr/lib/wine/wine64 reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD \
    /d "$log_pixels" /f </dev/null >/dev/null 2>&1
  iw_set_scale "$(wine_scale_percent "$log_pixels")"
  echo "run: at $log_pixels DPI ($iw_percent %)"
fi

bin="$TESSEL_BUILD_ROOT/$arch"
shots="$bin/screenshots/run"
rm -rf "$shots"
iw_use_registry_view_of "$bin/app/TesselAssistantSetup.exe"
iw_forget_installation "$WINEPREFIX/drive_c/TesselDemo"
echo "run: installing on display $DISPLAY under LANG=$locale"
iw_walk_through "$bin/app/TesselAssistantSetup.exe" "$locale" "$lang" \
  'C:\TesselDemo\Tessel Assistant' "$shots"
rm -f "$shots"/*.ppm

echo "== installed files"
ls -l "$WINEPREFIX/drive_c/TesselDemo/Tessel Assistant"
echo "== pictures of the pages"
ls "$shots"/*.png
