#!/usr/bin/env bash
# Renders the skin package's windows with the skin preview tool into build/<arch>/skin-previews/:
# the install window's three pages (and the states the program switches to) and the message box,
# in each of the three languages, each under the LANG whose fonts Wine falls back to for it.
#
#   scripts/skin-previews.sh [x86_64 [PERCENT]]   (build first: scripts/build.sh x86_64)
#
# PERCENT draws them at that display scale (150: as on a 144-DPI monitor) into
# build/<arch>/skin-previews/<PERCENT>/.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
arch="${1:-x86_64}"
scale="${2:-100}"
build="${TESSEL_BUILD_ROOT:-$repo/build}/$arch"
tool="$build/skin/preview/skin-preview.exe"
out="$build/skin-previews"
[ "$scale" = 100 ] || out="$out/$scale"
if [ ! -f "$tool" ]; then
  echo "skin-previews: $tool is missing; run scripts/build.sh $arch first" >&2
  exit 1
fi
mkdir -p "$out"

# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"
wine_session_start
trap wine_session_stop EXIT
loader="$(wine_loader_for "$tool")"

folder='C:\Program Files (x86)\Tessel Assistant'
failed=0
render() {  # render <LANG> <file.png> <tool arguments...>
  local locale="$1" file="$2"
  shift 2
  # The tool writes relative to its working folder, which Wine maps from this shell's.
  if ! (cd "$out" && LANG="$locale" "$loader" "$tool" "$@" --scale "$scale" --out "$file"); then
    echo "skin-previews: failed: $file" >&2
    failed=1
  fi
}

for lang in CN TC EN; do
  case "$lang" in
    CN) locale=zh_CN.UTF-8 ;;
    TC) locale=zh_TW.UTF-8 ;;
    EN) locale=en_US.UTF-8 ;;
  esac
  l=$(echo "$lang" | tr 'A-Z' 'a-z')
  render "$locale" "install-$l-page0.png" WndInstall.xml --lang "$lang" --page 0 --folder "$folder"
  render "$locale" "install-$l-page0-hot.png" WndInstall.xml --lang "$lang" --page 0 \
    --folder "$folder" --hover btn_Install --hover btn_Browse --hover btn_Url --hover btnSysClose
  render "$locale" "install-$l-page1.png" WndInstall.xml --lang "$lang" --page 1
  render "$locale" "install-$l-page1-progress.png" WndInstall.xml --lang "$lang" --page 1 \
    --progress 45 --status lan_109
  render "$locale" "install-$l-page1-driver.png" WndInstall.xml --lang "$lang" --page 1 \
    --progress 92 --status lan_108 --arg 60
  render "$locale" "install-$l-page2.png" WndInstall.xml --lang "$lang" --page 2
  render "$locale" "install-$l-page2-confirm.png" WndInstall.xml --lang "$lang" --page 2 \
    --hide btn_RunNow --show btn_Confirm
  render "$locale" "msgbox-$l.png" MessageBox.xml --lang "$lang" --text lan_103 --caption lan_102
  render "$locale" "msgbox-$l-long.png" MessageBox.xml --lang "$lang" --text lan_106 --arg 1603 \
    --caption lan_102 --hover Button1
done
echo "skin-previews: $(ls "$out"/*.png | wc -l) pictures in $out"
exit "$failed"
