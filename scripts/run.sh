#!/usr/bin/env bash
# The main job: builds the most complete program there is and runs it under Wine.
#
# Today that is the silent installer: it installs the product into "C:\TesselDemo\Tessel Assistant"
# of the private Wine prefix while a reader prints every progress message it sends. A virtual
# display is started when DISPLAY is unset.
set -euo pipefail
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$repo"
scripts/install-deps.sh
arch=i686
scripts/can-run-arch.sh i686 || arch=x86_64
scripts/build.sh "$arch"

source scripts/wine-env.sh
trap wine_session_stop EXIT
wine_session_start

bin="$TESSEL_BUILD_ROOT/$arch"
silent="$bin/silent/TesselInstallSilence.exe"
peer="$bin/tests/support/channel_peer.exe"
loader="$(wine_loader_for "$silent")"

echo "== progress messages"
"$loader" "$peer" follow Install 120 &
follower=$!
sleep 0.5
# Folder, auto start, desktop shortcut, report extraction, channel, first installation,
# start the product, language.
"$loader" "$silent" 'C:\TesselDemo\Tessel Assistant' 1 1 1 Install 1 0 1
wait "$follower" || echo "(no end message within the time limit)"

echo "== installed files"
ls -l "$WINEPREFIX/drive_c/TesselDemo/Tessel Assistant"
