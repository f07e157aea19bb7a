# Everything Wine-specific lives here: sourced by scripts/wine-run (the CTest emulator), the test
# command and the run command. It never touches the user's own ~/.wine or home folder.
#
#   TESSEL_BUILD_ROOT   the top build folder (default: <repo>/build); the prefix and the fake home
#                       live inside it, shared by the i686 and x86_64 builds
#   TESSEL_XVFB_SCREEN  the virtual display's screen when wine_session_start starts one
#                       (default 1280x800x24)
#
# Functions: wine_session_start (virtual display if none is set, a warm wine server, the prefix)
# and wine_session_stop (ends exactly what wine_session_start started).

tessel_repo_root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
: "${TESSEL_BUILD_ROOT:=$tessel_repo_root/build}"
export TESSEL_BUILD_ROOT
export WINEPREFIX="$TESSEL_BUILD_ROOT/wineprefix"
export WINEDEBUG=-all
export WINEARCH=win64
# No Mono or Gecko installer dialogs when the prefix is created.
export WINEDLLOVERRIDES="mscoree=;mshtml=;winemenubuilder.exe=d"
# A new prefix links Desktop, Documents and the like to $HOME: keep that inside the build tree.
tessel_use_home() {
  export HOME="$1"
  export XDG_CONFIG_HOME="$HOME/.config"
  export XDG_DATA_HOME="$HOME/.local/share"
  export XDG_CACHE_HOME="$HOME/.cache"
  export XDG_DESKTOP_DIR="$HOME/Desktop"
  export XDG_DOCUMENTS_DIR="$HOME/Documents"
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME"
}
tessel_use_home "$TESSEL_BUILD_ROOT/winehome"
# Tests and tools use the English interface unless a test sets LANG itself.
: "${LANG:=en_US.UTF-8}"
export LANG

# Debian's `wine` always starts through the 32-bit loader, which a host that runs only 64-bit user
# code refuses; 64-bit programs go straight to the 64-bit loader (whose PIDs are then the program's).
tessel_wine32=/usr/lib/wine/wine
tessel_wine64=/usr/lib/wine/wine64
tessel_wineserver=/usr/lib/wine/wineserver64
if ! "$tessel_wine32" --version >/dev/null 2>&1; then
  export WINELOADER="$tessel_wine64"
fi

# The loader for one Windows program, from the machine field of its PE header.
wine_loader_for() {
  local offset machine
  offset=$(od -An -tu4 -j60 -N4 "$1" 2>/dev/null | tr -d ' ')
  machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" 2>/dev/null | tr -d ' ')
  if [ "$machine" = 8664 ]; then echo "$tessel_wine64"; else echo "$tessel_wine32"; fi
}

tessel_started_xvfb_pid=""
tessel_started_wineserver=0

wine_session_start() {
  if [ -z "${DISPLAY:-}" ]; then
    local n=91
    while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 "${TESSEL_XVFB_SCREEN:-1280x800x24}" -noreset -nolisten tcp </dev/null >/dev/null 2>&1 &
    tessel_started_xvfb_pid=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
  fi
  # A warm wine server makes each test process start in tens of milliseconds.
  "$tessel_wineserver" -p </dev/null >/dev/null 2>&1 &
  tessel_started_wineserver=1
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "wine-env: creating the Wine prefix in $WINEPREFIX"
    "$tessel_wine64" wineboot -i </dev/null >/dev/null 2>&1 || true
  fi
  # Start the prefix's background services now, with no inherited pipes: a service started by the
  # first test would otherwise hold that test's output pipe open until the session ends.
  "$tessel_wine64" wineboot </dev/null >/dev/null 2>&1 || true
  "$tessel_wine64" reg import "$(winepath_of "$tessel_repo_root/scripts/wine-test-windows.reg")" \
    </dev/null >/dev/null 2>&1 || true
}

# A session at another DPI beside the running one, for a test of the display scales:
# wine_scaled_session_start <LogPixels> copies the prefix (settings and all) to a folder of its
# own, starts a virtual display just large enough for a 200 % window (1600 x 1100: every picture
# of the screen costs its size) and a Wine server for the copy, and sets the copy's LogPixels.
# Every Wine program this shell starts afterwards runs there; the programs of the first session
# keep 96 DPI (Wine reads LogPixels when a program starts, so a changed prefix would change every
# test started meanwhile). wine_scaled_session_stop ends the display and the server and removes
# the copy.
tessel_scaled_root=""
wine_scaled_session_start() {
  local dpi="$1"
  [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-env: no prefix to copy" >&2; return 1; }
  tessel_scaled_root="$(mktemp -d "$TESSEL_BUILD_ROOT/scaled-$dpi.XXXXXX")"
  # What the first session started is ended by its own wine_session_stop, after this one's.
  tessel_unscaled_prefix="$WINEPREFIX"
  tessel_unscaled_display="${DISPLAY:-}"
  tessel_unscaled_xvfb_pid="$tessel_started_xvfb_pid"
  tessel_unscaled_wineserver="$tessel_started_wineserver"
  tessel_unscaled_home="$HOME"
  cp -a "$WINEPREFIX" "$tessel_scaled_root/prefix"
  export WINEPREFIX="$tessel_scaled_root/prefix"
  # The user's Desktop, Documents and the like link to the first session's home: the copy gets
  # folders and a home of its own, or the two sessions would share (and delete) each other's
  # shortcuts.
  local link
  for link in "$WINEPREFIX"/drive_c/users/*/*; do
    if [ -L "$link" ]; then rm -f "$link" && mkdir -p "$link"; fi
  done
  tessel_use_home "$tessel_scaled_root/home"
  unset DISPLAY
  tessel_started_xvfb_pid="" tessel_started_wineserver=0
  TESSEL_XVFB_SCREEN=1600x1100x24 wine_session_start
  "$tessel_wine64" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f \
    </dev/null >/dev/null 2>&1
}

wine_scaled_session_stop() {
  [ -n "$tessel_scaled_root" ] || return 0
  wine_session_stop
  rm -rf "$tessel_scaled_root"
  tessel_scaled_root=""
  export WINEPREFIX="$tessel_unscaled_prefix"
  tessel_use_home "$tessel_unscaled_home"
  if [ -n "$tessel_unscaled_display" ]; then export DISPLAY="$tessel_unscaled_display"; fi
  tessel_started_xvfb_pid="$tessel_unscaled_xvfb_pid"
  tessel_started_wineserver="$tessel_unscaled_wineserver"
}

# The display scale in percent of a DPI, as the framework rounds it (96 DPI = 100 %).
wine_scale_percent() {
  echo $(( ($1 * 100 + 48) / 96 ))
}

# The Windows form of a Linux path (the Z: drive is the Linux root).
winepath_of() {
  echo "Z:${1//\//\\}"
}

wine_session_stop() {
  if [ "$tessel_started_wineserver" = 1 ]; then
    "$tessel_wineserver" -k </dev/null >/dev/null 2>&1 || true
    tessel_started_wineserver=0
  fi
  if [ -n "$tessel_started_xvfb_pid" ]; then
    kill "$tessel_started_xvfb_pid" 2>/dev/null || true
    wait "$tessel_started_xvfb_pid" 2>/dev/null || true
    tessel_started_xvfb_pid=""
    # The display is gone with it: a later wine_session_start must start a new one.
    unset DISPLAY
  fi
}
