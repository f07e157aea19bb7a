# Drives the installer's window as a person would: real X clicks and keys through xdotool, pictures
# of the screen through ImageMagick. Sourced by scripts/run.sh and tests/app/installer-end-to-end.sh
# after scripts/wine-env.sh, with DISPLAY set.
#
# Failures call iw_fail, which prints and exits the calling script; the caller's EXIT trap cleans up.

iw_repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
iw_package="$iw_repo/skin/package"

# Window-relative points and rectangles of WndInstall.xml laid out at 730 x 498 (docs/SKIN.md lists
# every rectangle). Everything that clicks or looks at a control takes it from here; iw_set_scale
# moves them all to another display scale.
iw_percent=100
iw_window_w=730
iw_window_h=498
iw_window_size="730x498"
declare -A iw_point=(
  [btnSysClose]="696 29"
  [btn_Install]="365 264"
  [edt_Folder]="317 410"
  [chkbx_Agree]="48 458"
  [btn_RunNow]="365 413"
  [corner]="1 1"            # inside the 10 px inset around the card: fully transparent
  [far_corner]="728 496"
  [card]="25 150"           # on the card's background
)
# "left top width height"
declare -A iw_area=(
  [btn_Install]="290 244 150 40"
  [chkbx_Agree]="40 448 20 20"    # the box, without its text
  [edt_Folder]="40 392 554 36"
  [pro_Install]="45 390 640 12"
  [lab_content]="45 421 640 28"
)
# The pixels that tell the pages apart: the edit box's left padding exists on page 0 only, the
# progress track on page 1 only, the lower half of "Start now" on page 2 only.
iw_probe_page0="42 410"
iw_probe_page1="60 396"
iw_probe_page2="365 425"
iw_edit_background="F6F6F6"
# The progress bar's row, scanned for the fill colour, and its length.
iw_bar_row=396
iw_bar_width=640

# The message box's button (MessageBox.xml: 98 x 30, centred, its top 42 px above the bottom
# edge): the height of its centre above the bottom edge. The box is never smaller than 342 x 202.
iw_box_button_from_bottom=27
iw_box_min_w=342
iw_box_min_h=202
# Where the pointer rests off every control.
iw_park_x=365
iw_park_y=340

# A markup length at the display scale, rounded as the framework rounds: iw_scaled <length>
iw_scaled() {
  echo $(( ($1 * iw_percent + 50) / 100 ))
}

# Moves every point, rectangle and size above to display scale <percent> (from 100 %): the window
# at 150 % is 1095 x 747, its controls where the framework lays them out. Call once, first.
iw_set_scale() {
  iw_percent=$1
  local name v out
  for name in "${!iw_point[@]}"; do
    out=""
    for v in ${iw_point[$name]}; do out="$out $(iw_scaled "$v")"; done
    iw_point[$name]=${out# }
  done
  # The transparent corners stay one pixel inside the window's edges.
  iw_point[far_corner]="$(( $(iw_scaled 730) - 2 )) $(( $(iw_scaled 498) - 2 ))"
  for name in "${!iw_area[@]}"; do
    out=""
    for v in ${iw_area[$name]}; do out="$out $(iw_scaled "$v")"; done
    iw_area[$name]=${out# }
  done
  for name in iw_probe_page0 iw_probe_page1 iw_probe_page2; do
    out=""
    for v in ${!name}; do out="$out $(iw_scaled "$v")"; done
    printf -v "$name" '%s' "${out# }"
  done
  for name in iw_window_w iw_window_h iw_bar_row iw_bar_width iw_box_button_from_bottom \
              iw_box_min_w iw_box_min_h iw_park_x iw_park_y; do
    printf -v "$name" '%s' "$(iw_scaled "${!name}")"
  done
  iw_window_size="${iw_window_w}x${iw_window_h}"
}

iw_log() { echo "walkthrough: $*"; }
iw_fail() {
  echo "FAILED: $*" >&2
  exit 1
}

# Monotonic enough for time-outs: milliseconds since the epoch.
iw_now_ms() { echo $(( $(date +%s%N) / 1000000 )); }

# The text of a language id in one table: iw_text <cn|tc|en> <lan_N>
iw_text() {
  sed -n "s/.*id=\"$2\" value=\"\\([^\"]*\\)\".*/\\1/p" "$iw_package/lan_$1.xml"
}

# ---------------------------------------------------------------------------------------------
# Languages. Wine takes the interface language, the code pages and the encoding of Linux file
# names from the C library's locale: with a LANG whose locale is not installed it falls back to
# English and to ASCII file names (a shortcut named in Chinese then cannot be written). The
# locales are compiled once into the build tree and given to Wine's processes through LOCPATH,
# which leaves the machine's own locales alone.

iw_locales="$TESSEL_BUILD_ROOT/locales"

# Compiles a locale (ll_CC.UTF-8) into the build tree unless it is there.
iw_locale_ready() {
  [ -d "$iw_locales/$1" ] && return 0
  mkdir -p "$iw_locales"
  localedef -i "${1%%.*}" -f UTF-8 "$iw_locales/$1" >/dev/null 2>&1 ||
    iw_fail "cannot compile the locale $1 (localedef, package locales)"
}

# Runs a command under a locale: iw_in_locale <ll_CC.UTF-8> <command...>
iw_in_locale() {
  local locale="$1"
  shift
  iw_locale_ready "$locale"
  env -u LC_ALL LOCPATH="$iw_locales" LANG="$locale" "$@"
}

# ---------------------------------------------------------------------------------------------
# Processes. Other prefixes run the same programs (other builds, other test runs): only those of
# this prefix count, told apart by the WINEPREFIX in their environment.

# PIDs of this prefix's processes whose name (the 15 characters Linux keeps) is given.
iw_pids() {
  local f c pid
  for f in /proc/[0-9]*/comm; do
    { read -r c <"$f"; } 2>/dev/null || continue
    [ "$c" = "$1" ] || continue
    pid=${f%/comm}
    pid=${pid#/proc/}
    if { tr '\0' '\n' <"/proc/$pid/environ"; } 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
    fi
  done
  return 0
}
iw_name_silent="TesselInstallSi"   # TesselInstallSilence.exe
iw_name_helper="TESSEL Net Help"   # TESSEL Net Helper.exe
iw_name_launcher="Launcher.exe"

# The registry view the installer and its silent installer see: a 32-bit program on 64-bit
# Windows has its own view of some keys. Set from the program by iw_use_registry_view_of.
iw_reg_view=/reg:64
iw_use_registry_view_of() {  # <exe>
  if [ "$(wine_loader_for "$1")" = "$tessel_wine64" ]; then iw_reg_view=/reg:64; else iw_reg_view=/reg:32; fi
}

# Ends this prefix's processes of the given names (ours: started by the installer we started).
iw_kill_named() {
  local name pid
  for name in "$@"; do
    for pid in $(iw_pids "$name"); do
      kill -CONT "$pid" 2>/dev/null || true
      kill "$pid" 2>/dev/null || true
    done
  done
}

# The prefix's user folder (Wine names it after the Linux user).
iw_user_folder() {
  find "$WINEPREFIX/drive_c/users" -mindepth 1 -maxdepth 1 ! -name Public 2>/dev/null | head -1
}

# Removes everything an installation leaves (its programs, files, registry entries, shortcuts), so
# that the next installation is a first one: iw_forget_installation <Linux path of the folder>
iw_forget_installation() {
  local wine64=/usr/lib/wine/wine64 user roaming
  user=$(iw_user_folder)
  roaming="$user/AppData/Roaming"
  iw_kill_named "$iw_name_launcher" "$iw_name_silent" "$iw_name_helper"
  rm -rf "$1"
  "$wine64" reg delete 'HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tessel Assistant' \
    /f "$iw_reg_view" >/dev/null 2>&1 || true
  "$wine64" reg delete 'HKCU\SOFTWARE\TesselAssistant' /f "$iw_reg_view" >/dev/null 2>&1 || true
  # A UTF-8 locale, so that the Chinese value name reaches reg as it is.
  iw_in_locale en_US.UTF-8 "$wine64" reg delete \
    'HKCU\Software\Microsoft\Windows\CurrentVersion\Run' /v 'Tessel助手' /f "$iw_reg_view" \
    >/dev/null 2>&1 || true
  [ -n "$user" ] || return 0
  rm -f "$user/Desktop/Tessel Assistant.lnk" "$user/Desktop/Tessel助手.lnk"
  rm -rf "$roaming/Microsoft/Windows/Start Menu/Tessel Assistant" \
    "$roaming/Microsoft/Windows/Start Menu/Tessel助手" "$roaming/TesselAst"
}

# ---------------------------------------------------------------------------------------------
# Windows

# Visible windows whose title is exactly the text given.
iw_windows_titled() {
  local w name
  for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
    name=$(LC_ALL=C.UTF-8 xprop -id "$w" _NET_WM_NAME 2>/dev/null |
           sed -n 's/^_NET_WM_NAME(UTF8_STRING) = "\(.*\)"$/\1/p')
    if [ "$name" = "$1" ]; then echo "$w"; fi
  done
  return 0
}

# Waits for one visible window with this title that keeps its id (Wine may replace the X window
# right after the first map) and prints its id: iw_wait_window <title> <seconds>
iw_wait_window() {
  local deadline=$(( $(iw_now_ms) + $2 * 1000 )) ids previous=""
  while [ "$(iw_now_ms)" -lt "$deadline" ]; do
    ids=$(iw_windows_titled "$1")
    if [ -n "$ids" ] && [ "$ids" = "$previous" ] && [ "$(echo "$ids" | wc -l)" = 1 ]; then
      echo "$ids"
      return 0
    fi
    previous=$ids
    sleep 0.2
  done
  return 1
}

iw_wait_no_window() {
  local deadline=$(( $(iw_now_ms) + $2 * 1000 ))
  while [ "$(iw_now_ms)" -lt "$deadline" ]; do
    [ -z "$(iw_windows_titled "$1")" ] && return 0
    sleep 0.2
  done
  return 1
}

# Sets iw_x iw_y iw_w iw_h from a window's geometry.
iw_geometry() {
  local X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')"
  iw_x=$X iw_y=$Y iw_w=$WIDTH iw_h=$HEIGHT
}

# Clicks a control of the install window (iw_window, placed at iw_wx iw_wy).
iw_click() {
  local p=(${iw_point[$1]})
  xdotool mousemove $((iw_wx + p[0])) $((iw_wy + p[1])) click 1
}

# Moves the pointer off the install window's controls (hover images would change the pictures).
iw_park_pointer() {
  xdotool mousemove $((iw_wx + iw_park_x)) $((iw_wy + iw_park_y))
}

# ---------------------------------------------------------------------------------------------
# Pictures

# The screen inside the install window, as PPM (for probing) or PNG: iw_capture <file>
iw_capture() {
  import -silent -window root -crop "${iw_window_size}+${iw_wx}+${iw_wy}" +repage -depth 8 "$1"
}

# A region of the screen: iw_capture_area <file> <x> <y> <w> <h>
iw_capture_area() {
  import -silent -window root -crop "${4}x${5}+${2}+${3}" +repage -depth 8 "$1"
}

# A region once two captures in a row agree (the window has painted): iw_capture_stable_area
# <file> <x> <y> <w> <h>. Returns 1 when it still changes after 30 s.
iw_capture_stable_area() {
  local deadline=$(( $(iw_now_ms) + 30000 )) previous="$1.previous.ppm"
  iw_capture_area "$previous" "$2" "$3" "$4" "$5"
  while [ "$(iw_now_ms)" -lt "$deadline" ]; do
    sleep 0.1
    iw_capture_area "$1" "$2" "$3" "$4" "$5"
    if [ "$(compare -metric AE "$1" "$previous" null: 2>&1)" = 0 ]; then
      rm -f "$previous"
      return 0
    fi
    cp "$1" "$previous"
  done
  rm -f "$previous"
  return 1
}

# One pixel of a binary PPM (as ImageMagick writes it: "P6\n<w> <h>\n255\n") as RRGGBB.
iw_pixel() {
  local width header x=$2 y=$3
  read -r width _ < <(sed -n 2p "$1")
  header=$(head -3 "$1" | wc -c)
  od -An -tx1 -j $((header + (y * width + x) * 3)) -N3 "$1" | tr -d ' \n' | tr 'a-f' 'A-F'
}

iw_is_red() {  # RRGGBB: the brand red of buttons and the progress fill
  local r=$((16#${1:0:2})) g=$((16#${1:2:2}))
  [ "$r" -ge 192 ] && [ "$g" -le 64 ]
}

# The page the window shows in a capture: 0, 1, 2 or "none".
iw_page_of() {
  local p0 p1 p2
  p0=$(iw_pixel "$1" $iw_probe_page0)
  p1=$(iw_pixel "$1" $iw_probe_page1)
  p2=$(iw_pixel "$1" $iw_probe_page2)
  if [ "$p0" = "$iw_edit_background" ]; then
    echo 0
  elif [ "$p1" != FFFFFF ] && [ "$p1" != "$iw_edit_background" ]; then
    echo 1
  elif iw_is_red "$p2"; then
    echo 2
  else
    echo none
  fi
}

# Filled length of the progress bar in a capture, in pixels.
iw_bar_fill() {
  local a=(${iw_area[pro_Install]}) width header
  read -r width _ < <(sed -n 2p "$1")
  header=$(head -3 "$1" | wc -c)
  od -An -tu1 -v -w3 -j $((header + (iw_bar_row * width + a[0]) * 3)) -N $((a[2] * 3)) "$1" |
    awk '$1 >= 192 && $2 <= 64 { n++ } END { print n + 0 }'
}

# Number of differing pixels of an area in two captures: iw_area_diff <a> <b> <area name>
iw_area_diff() {
  local a=(${iw_area[$3]}) geometry
  geometry="${a[2]}x${a[3]}+${a[0]}+${a[1]}"
  compare -metric AE "$1[$geometry]" "$2[$geometry]" null: 2>&1 || true
}

# Captures until the window shows the page and two captures in a row agree (a settled frame);
# leaves the last in the file: iw_wait_page <page> <seconds> <file.ppm>
iw_wait_page() {
  local deadline=$(( $(iw_now_ms) + $2 * 1000 )) previous="$3.previous.ppm"
  rm -f "$previous"
  while [ "$(iw_now_ms)" -lt "$deadline" ]; do
    iw_capture "$3"
    if [ "$(iw_page_of "$3")" = "$1" ]; then
      if [ -f "$previous" ] && [ "$(compare -metric AE "$3" "$previous" null: 2>&1)" = 0 ]; then
        rm -f "$previous"
        return 0
      fi
      cp "$3" "$previous"
    fi
    sleep 0.1
  done
  rm -f "$previous"
  return 1
}

# Waits for a settled frame of the page whose area agrees, pixel for pixel, with the same area of
# a reference picture (a rendering, or an earlier capture): iw_wait_area_as <page> <area>
# <reference> <capture> [seconds]. Returns 1 when none did before the deadline; iw_last_diff then
# tells how many pixels of the last settled frame differed ("no settled frame of page N" when
# there was none). Wine notices that the pointer left a control by polling, so a hover look may
# outlast the pointer: the pointer is moved within its parking spot between tries.
iw_wait_area_as() {
  local deadline=$(( $(iw_now_ms) + ${5:-30} * 1000 )) diff n=0
  iw_last_diff="no settled frame of page $1"
  while [ "$(iw_now_ms)" -lt "$deadline" ]; do
    if iw_wait_page "$1" 10 "$4"; then
      diff=$(iw_area_diff "$4" "$3" "$2")
      [ "$diff" = 0 ] && return 0
      iw_last_diff="$diff pixels differ"
    fi
    n=$((n + 1))
    xdotool mousemove $((iw_wx + iw_park_x + n % 2)) $((iw_wy + iw_park_y))
  done
  return 1
}

# ---------------------------------------------------------------------------------------------
# Steps

# Starts the installer in the background under the given LANG and waits for its window:
# iw_start_installer <exe> <LANG> <title>. Sets iw_installer_pid, iw_window, iw_wx, iw_wy.
iw_start_installer() {
  local exe="$1"
  iw_locale_ready "$2"
  iw_use_registry_view_of "$exe"
  # env replaces itself with the loader, so the PID is the program's.
  env -u LC_ALL LOCPATH="$iw_locales" LANG="$2" "$(wine_loader_for "$exe")" "$exe" \
    </dev/null >/dev/null 2>&1 &
  iw_installer_pid=$!
  iw_window=$(iw_wait_window "$3" 90) || iw_fail "no window titled \"$3\" within 90 s (LANG=$2)"
  iw_geometry "$iw_window"
  iw_wx=$iw_x iw_wy=$iw_y
}

# Waits for the installer started last to end and checks its exit code: iw_wait_installer_exit
iw_wait_installer_exit() {
  local deadline=$(( $(iw_now_ms) + ${1:-60} * 1000 )) status
  while kill -0 "$iw_installer_pid" 2>/dev/null; do
    [ "$(iw_now_ms)" -lt "$deadline" ] || iw_fail "the installer did not end within ${1:-60} s"
    sleep 0.1
  done
  status=0
  wait "$iw_installer_pid" || status=$?
  [ "$status" = 0 ] || iw_fail "the installer ended with exit code $status"
  iw_installer_pid=""
}

# Waits for the native edit that a click on the edit box opens: in a layered window it is a pop-up
# window of its own, placed over the box. iw_wait_native_edit [seconds]
iw_wait_native_edit() {
  local a=(${iw_area[edt_Folder]}) deadline=$(( $(iw_now_ms) + ${1:-30} * 1000 )) w X Y
  while [ "$(iw_now_ms)" -lt "$deadline" ]; do
    for w in $(xdotool search --onlyvisible --name '' 2>/dev/null); do
      [ "$w" = "$iw_window" ] && continue
      X="" Y=""
      eval "$(xdotool getwindowgeometry --shell "$w" 2>/dev/null | grep -E '^(X|Y)=')"
      [ -n "$X" ] && [ -n "$Y" ] || continue
      if [ "$X" -ge $((iw_wx + a[0])) ] && [ "$X" -lt $((iw_wx + a[0] + a[2])) ] &&
         [ "$Y" -ge $((iw_wy + a[1])) ] && [ "$Y" -lt $((iw_wy + a[1] + a[3])) ]; then
        return 0
      fi
    done
    sleep 0.1
  done
  return 1
}

# Replaces the folder in the edit box with the text given, as typed: iw_type_folder <text>
# Keys and clicks reach the window in the order sent, so whatever follows sees the typed text.
iw_type_folder() {
  iw_click edt_Folder
  iw_wait_native_edit 30 || iw_fail "a click on the edit box opened no native edit within 30 s"
  xdotool key ctrl+a
  if [ -n "$1" ]; then
    xdotool type --delay 15 -- "$1"
  else
    xdotool key BackSpace
  fi
}

# Waits for the skinned message box titled <caption>, saves a picture of it, checks its size and
# closes it with its button: iw_answer_message_box <caption> <picture.png>
iw_answer_message_box() {
  local box
  box=$(iw_wait_window "$1" 30) || iw_fail "no message box titled \"$1\""
  iw_geometry "$box"
  [ "$iw_w" -ge "$iw_box_min_w" ] && [ "$iw_h" -ge "$iw_box_min_h" ] ||
    iw_fail "message box of ${iw_w}x${iw_h}, smaller than ${iw_box_min_w}x${iw_box_min_h}"
  iw_capture_stable_area "$2" "$iw_x" "$iw_y" "$iw_w" "$iw_h" ||
    iw_fail "the message box kept changing"
  xdotool mousemove $((iw_x + iw_w / 2)) $((iw_y + iw_h - iw_box_button_from_bottom)) click 1
  iw_wait_no_window "$1" 30 || iw_fail "the message box stayed after a click on its button"
}

# After a click on Install: waits for the silent installer's driver helper and stops it (SIGSTOP),
# which holds the installation on page 1 for as long as it stays stopped. Sets iw_helper_pid;
# returns 1 when the installation ended before the helper was seen.
iw_catch_helper() {
  local deadline=$(( $(iw_now_ms) + 120000 )) seen_silent=0 n=0 helper
  iw_helper_pid=""
  while [ "$(iw_now_ms)" -lt "$deadline" ]; do
    helper=$(iw_pids "$iw_name_helper" | head -1)
    if [ -n "$helper" ] && kill -STOP "$helper" 2>/dev/null; then
      iw_helper_pid=$helper
      return 0
    fi
    # Now and then: is the silent installer already done (the helper came and went unseen)?
    if [ $((n++ % 8)) = 0 ]; then
      if [ -n "$(iw_pids "$iw_name_silent")" ]; then
        seen_silent=1
      elif [ $seen_silent = 1 ]; then
        return 1
      fi
    fi
  done
  return 1
}

# After a click on Install: pictures page 1 twice, with the helper stopped before and after one of
# its progress lines, then lets the installation go on. Leaves <prefix>-start.ppm and
# <prefix>-driver.ppm (the latter differs from the former in its status line). Returns 1 when
# the installation ran past page 1 before the helper could be caught.
iw_follow_installation() {
  local prefix="$1" helper i
  rm -f "$prefix-start.ppm" "$prefix-driver.ppm"
  iw_catch_helper || return 1
  helper=$iw_helper_pid
  iw_wait_page 1 30 "$prefix-start.ppm" || { kill -CONT "$helper"; return 1; }
  # One short run of the helper at a time (shorter than its pause between lines) until the status
  # line changes. On a busy machine a run may still pass several lines, even its last ones: then
  # the installation goes on without it, page 1 is gone, and the caller tries another one.
  local pictured=1
  for i in $(seq 1 400); do
    kill -CONT "$helper" 2>/dev/null || break
    sleep 0.01
    kill -STOP "$helper" 2>/dev/null || break
    iw_capture "$prefix-driver.ppm"
    case "$(iw_page_of "$prefix-driver.ppm")" in
      1)
        if [ "$(iw_area_diff "$prefix-start.ppm" "$prefix-driver.ppm" lab_content)" != 0 ]; then
          iw_wait_page 1 30 "$prefix-driver.ppm" && pictured=0
          break
        fi
        ;;
      2) break ;;
    esac
  done
  kill -CONT "$helper" 2>/dev/null || true
  iw_helper_pid=""
  [ $pictured = 0 ] || rm -f "$prefix-driver.ppm"
  return $pictured
}

# The whole click-through of an installation into <folder>, pictures in <dir>/<lang>-page*.png:
# iw_walk_through <exe> <LANG> <cn|tc|en> <folder> <dir>
# Leaves the installer ended and the launcher running; iw_page1_pictured tells whether page 1 was
# pictured (<dir>/<lang>-page1-start.ppm and -driver.ppm).
iw_walk_through() {
  local exe="$1" locale="$2" lang="$3" folder="$4" dir="$5"
  mkdir -p "$dir"
  iw_start_installer "$exe" "$locale" "$(iw_text "$lang" lan_100)"
  iw_park_pointer
  iw_wait_page 0 30 "$dir/$lang-page0.ppm" || iw_fail "page 0 not shown"
  convert "$dir/$lang-page0.ppm" "$dir/$lang-page0.png"
  iw_type_folder "$folder"
  iw_click btn_Install
  iw_page1_pictured=0
  if iw_follow_installation "$dir/$lang-page1"; then
    convert "$dir/$lang-page1-driver.ppm" "$dir/$lang-page1.png"
    iw_page1_pictured=1
  else
    iw_log "the installation passed page 1 before its helper could be held: no picture of it"
  fi
  iw_park_pointer
  iw_wait_page 2 120 "$dir/$lang-page2.ppm" || iw_fail "page 2 not shown"
  convert "$dir/$lang-page2.ppm" "$dir/$lang-page2.png"
  iw_click btn_RunNow
  iw_wait_window "Tessel Assistant" 60 >/dev/null || iw_fail "the launcher's window did not appear"
  iw_wait_installer_exit 60
}
