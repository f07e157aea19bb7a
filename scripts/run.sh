#!/usr/bin/env bash
# The main job: builds the installer and runs it under Wine, clicking through an installation into
# "C:\TesselDemo\Tessel Assistant" of the private Wine prefix as a person would, and leaves a
# picture of each page.
#
#   scripts/run.sh [LANG]      e.g. zh_CN.UTF-8, zh_TW.UTF-8; default en_US.UTF-8
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
trap wine_session_stop EXIT
wine_session_start

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
