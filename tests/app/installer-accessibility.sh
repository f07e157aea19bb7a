#!/usr/bin/env bash
# The installer as a screen reader meets it, in every interface language: the real
# TesselAssistantSetup.exe under Wine, read and driven from another process through its
# accessibility objects by InstallerAccessibilityWalker.exe (whose own checks say what failed).
#
#   installer-accessibility.sh <TesselAssistantSetup.exe> <InstallerAccessibilityWalker.exe>
#                              <picture folder>
#
# Runs inside the test command's Wine session (DISPLAY set). First, in each language, the focus
# ring: none on page 0 as it opens, one around Install after a Tab on the X display (a picture of
# it is left in the picture folder). The walk itself clicks and types nothing: every action goes
# through the accessibility objects (default actions, focus) or, for the folder, through the native
# edit window the focused edit box opens.
set -euo pipefail
setup="$1"
walker="$2"
shots="$3"
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"
# shellcheck source=scripts/installer-walkthrough.sh
source "$repo/scripts/installer-walkthrough.sh"
[ -n "${DISPLAY:-}" ] || iw_fail "no X display"

folder='C:\TesselA11y\Tessel Assistant'
work="$(mktemp -d "$TESSEL_BUILD_ROOT/installer-a11y.XXXXXX")"
mkdir -p "$shots"
# Where the ring's 2 px line runs, 2 px left of Install (WndInstall.xml: 290 244 150 40), at the
# button's middle height; the card's own background is there without the ring.
ring_probe=(286 264)
iw_use_registry_view_of "$setup"

forget_installation() {
  iw_forget_installation "$WINEPREFIX/drive_c/TesselA11y"
}
cleanup() {
  local status=$?
  if [ -n "${iw_installer_pid:-}" ]; then kill "$iw_installer_pid" 2>/dev/null || true; fi
  forget_installation
  if [ $status = 0 ]; then rm -rf "$work"; else echo "pictures of the failed run are kept in $work"; fi
}

# Page 0 shows no focus ring until the keyboard moves the focus; one Tab (from the close glyph,
# focused unseen since the window opened) puts a brand-red ring around Install.
check_focus_ring() {  # <cn|tc|en>
  local shot="$work/$1-page0.ppm" ring=""
  iw_park_pointer
  iw_wait_page 0 30 "$shot" || iw_fail "page 0 not shown ($1)"
  iw_is_red "$(iw_pixel "$shot" "${ring_probe[@]}")" && iw_fail "a focus ring before any key ($shot)"
  xdotool key Tab
  local deadline=$(( $(iw_now_ms) + 30000 ))
  while [ "$(iw_now_ms)" -lt "$deadline" ]; do
    iw_capture "$shot"
    if iw_is_red "$(iw_pixel "$shot" "${ring_probe[@]}")"; then ring=1; break; fi
    sleep 0.1
  done
  [ -n "$ring" ] || iw_fail "no focus ring around Install within 30 s of a Tab ($shot)"
  convert "$shot" "$shots/$1-page0-tab.png"
}
trap cleanup EXIT

for run in "en_US.UTF-8 en" "zh_CN.UTF-8 cn" "zh_TW.UTF-8 tc"; do
  read -r locale lang <<<"$run"
  echo "== $locale"
  forget_installation
  iw_start_installer "$setup" "$locale" "$(iw_text "$lang" lan_100)"
  check_focus_ring "$lang"
  "$(wine_loader_for "$walker")" "$walker" "$(winepath_of "$iw_package/lan_$lang.xml")" "$folder" ||
    iw_fail "the accessibility walk failed in $locale"
  iw_wait_installer_exit 60
done
echo "all languages walked"
