#!/usr/bin/env bash
# The installer as a screen reader meets it, in every interface language: the real
# TesselAssistantSetup.exe under Wine, read and driven from another process through its
# accessibility objects by InstallerAccessibilityWalker.exe (whose own checks say what failed).
#
#   installer-accessibility.sh <TesselAssistantSetup.exe> <InstallerAccessibilityWalker.exe>
#
# Runs inside the test command's Wine session (DISPLAY set). Nothing is clicked or typed on the X
# display: every action goes through the accessibility objects (default actions, focus) or, for
# the folder, through the native edit window the focused edit box opens.
set -euo pipefail
setup="$1"
walker="$2"
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"
# shellcheck source=scripts/installer-walkthrough.sh
source "$repo/scripts/installer-walkthrough.sh"
[ -n "${DISPLAY:-}" ] || iw_fail "no X display"

folder='C:\TesselA11y\Tessel Assistant'
iw_use_registry_view_of "$setup"

forget_installation() {
  iw_forget_installation "$WINEPREFIX/drive_c/TesselA11y"
}
cleanup() {
  if [ -n "${iw_installer_pid:-}" ]; then kill "$iw_installer_pid" 2>/dev/null || true; fi
  forget_installation
}
trap cleanup EXIT

for run in "en_US.UTF-8 en" "zh_CN.UTF-8 cn" "zh_TW.UTF-8 tc"; do
  read -r locale lang <<<"$run"
  echo "== $locale"
  forget_installation
  iw_start_installer "$setup" "$locale" "$(iw_text "$lang" lan_100)"
  "$(wine_loader_for "$walker")" "$walker" "$(winepath_of "$iw_package/lan_$lang.xml")" "$folder" ||
    iw_fail "the accessibility walk failed in $locale"
  iw_wait_installer_exit 60
done
echo "all languages walked"
