#!/usr/bin/env bash
# The installer from end to end: the real TesselAssistantSetup.exe under Wine on the X display,
# driven by real clicks and keys, in every interface language.
#
#   installer-end-to-end.sh <TesselAssistantSetup.exe> <skin-preview.exe> <picture folder>
#                           <system_folders.exe> [--log-pixels DPI [--window-only]]
#
# Runs inside the test command's Wine session (DISPLAY set). With --log-pixels, everything runs
# on a display of that DPI instead (120: 125 %, 144: 150 %, 192: 200 %): in a copy of the session's
# prefix with its own virtual display and Wine server (wine_scaled_session_start), so that the
# tests running beside it keep 96 DPI; every point, area and rendering is scaled to match.
# --window-only stops after the window's size, place, transparency and first page. Pictures of
# every page and of the message box in each language are left in the picture folder. Expected looks (the folder in the
# edit box, the status line, the message box) are rendered by the skin preview, which lays out and
# paints exactly as the windows do, and compared pixel for pixel with a settled frame (two equal
# captures in a row). Whatever depends on the installer's architecture (the program-files folder
# it proposes, the registry view it writes) is asked of Windows by a program of that architecture.
set -euo pipefail
setup="$1"
preview="$2"
shots="$3"
system_folders="$4"
shift 4
log_pixels=""
window_only=0
while [ $# -gt 0 ]; do
  case "$1" in
    --log-pixels) log_pixels="$2"; shift 2 ;;
    --window-only) window_only=1; shift ;;
    *) echo "installer-end-to-end.sh: unknown argument $1" >&2; exit 2 ;;
  esac
done
repo="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
# shellcheck source=scripts/wine-env.sh
source "$repo/scripts/wine-env.sh"
# shellcheck source=scripts/installer-walkthrough.sh
source "$repo/scripts/installer-walkthrough.sh"
[ -n "${DISPLAY:-}" ] || iw_fail "no X display"
if [ -n "$log_pixels" ]; then
  wine_scaled_session_start "$log_pixels" || iw_fail "no session at $log_pixels DPI"
  iw_set_scale "$(wine_scale_percent "$log_pixels")"
fi

wine64=/usr/lib/wine/wine64
mkdir -p "$shots"
work="$(mktemp -d "$TESSEL_BUILD_ROOT/installer-e2e.XXXXXX")"
folder='C:\TesselE2E\Tessel Assistant'
folder_unix="$WINEPREFIX/drive_c/TesselE2E/Tessel Assistant"
iw_use_registry_view_of "$setup"
program_files=$("$(wine_loader_for "$system_folders")" "$system_folders" program-files | tr -d '\r') ||
  iw_fail "could not ask Windows for the program-files folder"
[ -n "$program_files" ] || iw_fail "Windows gave no program-files folder"
default_folder="$program_files\Tessel Assistant"
uninstall_key='HKCU\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall\Tessel Assistant'
user_dir=$(iw_user_folder)
roaming="$user_dir/AppData/Roaming"

started_at=$(date +%s)
step() { echo "== [$(( $(date +%s) - started_at )) s] $*"; }

reg_value() {  # reg_value <key> <value name>: the string, without a line end
  "$wine64" reg query "$1" /v "$2" "$iw_reg_view" 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$2 *REG_SZ *//p"
}

expect_reg_value() {  # <key> <value name> <expected string>
  # Wine's reg.exe now and then answers nothing under load: asked again until it gives the value,
  # for up to 20 s; a failure shows the last answer.
  local seen deadline=$((SECONDS + 20))
  until seen="$(reg_value "$1" "$2")"; [ "$seen" = "$3" ]; do
    [ "$SECONDS" -lt "$deadline" ] || iw_fail "$2 is \"$seen\", not \"$3\""
    sleep 0.2
  done
}

forget_installation() {
  iw_forget_installation "$WINEPREFIX/drive_c/TesselE2E"
}

cleanup() {
  local status=$?
  if [ -n "${iw_helper_pid:-}" ]; then kill -CONT "$iw_helper_pid" 2>/dev/null || true; fi
  if [ -n "${iw_installer_pid:-}" ]; then kill "$iw_installer_pid" 2>/dev/null || true; fi
  forget_installation
  display -size 8x8 -window root xc:black 2>/dev/null || true
  if [ $status = 0 ]; then
    rm -rf "$work"
    if [ -n "$log_pixels" ]; then wine_scaled_session_stop; fi
  else
    echo "pictures of the failed run are kept in $work"
    # What the two programs wrote of the last installation.
    local log
    for log in "$(iw_user_folder)"/{Temp,AppData/Local/Temp}/{TesselAssistantSetup,TesselInstallSilence}.log; do
      [ -f "$log" ] || continue
      echo "-- the last lines of $log"
      tail -n 25 "$log"
    done
    if [ -n "$log_pixels" ]; then wine_scaled_session_stop; fi
  fi
}
trap cleanup EXIT

# A rendered expectation, under the language's locale (fonts fall back by it):
# render <locale> <name.png> <skin-preview arguments...>
render() {
  local locale="$1" out="$2"
  shift 2
  (cd "$work" && iw_in_locale "$locale" \
    "$(wine_loader_for "$preview")" "$preview" "$@" --scale "$iw_percent" --out "$out" \
    >/dev/null 2>&1) ||
    iw_fail "skin preview failed for $out"
}

# The area of a capture agrees with the same area of a rendering, pixel for pixel.
expect_area_like() {  # <capture> <rendering> <area> <what>
  local diff
  diff=$(iw_area_diff "$1" "$2" "$3")
  [ "$diff" = 0 ] || iw_fail "$4: $diff pixels of $3 differ from the rendering ($1, $2)"
}

# Waits for a settled frame of a page in which a control looks as rendered, and says which control
# and which look it waited for when none came: expect_look <page> <area> <rendering> <look>
expect_look() {
  local capture="$work/look-$2.ppm"
  iw_wait_area_as "$1" "$2" "$3" "$capture" 30 ||
    iw_fail "waited 30 s for $2 to show $4 on page $1 as rendered in $3: $iw_last_diff" \
            "(last settled frame: $capture)"
}

# A capture shows page 1 with the bar and status of one of the driver helper's lines. The helper
# is held between lines, but one short run of it may pass its last step and its "downloaded"
# line together: at the last step's value the status may also be the waiting text (lan_109).
check_driver_page() {  # <capture> <cn|tc|en> <preview language> <LANG>
  local fill names k value expected status
  names=("[Keyboard driver]" "[Receiver driver]" "[Media keys driver]" "[Mouse driver]")
  [ "$(iw_page_of "$1")" = 1 ] || iw_fail "the driver picture is not page 1 ($1)"
  fill=$(iw_bar_fill "$1")
  for k in 1 2 3 4; do
    # The window shows step k of 4 at 10 + 90 k / 4 percent of the bar (640 px at 100 %).
    value=$(( 10 + 90 * k / 4 ))
    expected=$(( iw_bar_width * value / 100 ))
    if [ $((fill - expected)) -ge -4 ] && [ $((fill - expected)) -le 4 ]; then
      # lan_108 with the line's bracketed part in place of its %s
      status=$(iw_text "$2" lan_108)
      status="${status/\%s/${names[k - 1]}}"
      render "$4" "driver-$2-$k.png" WndInstall.xml --lang "$3" --page 1 --progress "$value" \
        --status "$status"
      if [ "$(iw_area_diff "$1" "$work/driver-$2-$k.png" lab_content)" = 0 ]; then
        echo "page 1 shows driver step $k of 4: bar $fill px, status as rendered"
        return 0
      fi
      if [ $k = 4 ]; then
        render "$4" "waiting-$2.png" WndInstall.xml --lang "$3" --page 1 --progress "$value" \
          --status lan_109
        if [ "$(iw_area_diff "$1" "$work/waiting-$2.png" lab_content)" = 0 ]; then
          echo "page 1 shows the last driver step's bar with the waiting status, as rendered"
          return 0
        fi
      fi
      expect_area_like "$1" "$work/driver-$2-$k.png" lab_content "status of driver step $k"
    fi
  done
  iw_fail "progress bar filled $fill px: no driver step's value"
}

check_installed_files() {  # <cn|tc|en>
  local f product uninstall
  for f in Launcher.exe Uninst.exe "TESSEL Net Helper.exe" TesselClient.exe; do
    [ -f "$folder_unix/$f" ] || iw_fail "$f is not installed in $folder_unix"
  done
  expect_reg_value "$uninstall_key" DisplayPath "$folder\\"
  case "$1" in
    cn) product="Tessel助手" uninstall="卸载Tessel助手" ;;
    tc) product="Tessel助手" uninstall="卸載Tessel助手" ;;
    *) product="Tessel Assistant" uninstall="Uninstall Tessel Assistant" ;;
  esac
  for f in "$user_dir/Desktop/$product.lnk" \
           "$roaming/Microsoft/Windows/Start Menu/$product/$product.lnk" \
           "$roaming/Microsoft/Windows/Start Menu/$product/$uninstall.lnk" \
           "$roaming/TesselAst/Tessel.lnk"; do
    [ -f "$f" ] || iw_fail "shortcut missing: $f"
  done
}

# One installation clicked through in a language, with its pictures and checks. Page 1 can only be
# pictured when the driver helper is caught while it runs; a missed one is tried again.
install_in() {  # <LANG> <cn|tc|en> <preview language>
  local attempt
  for attempt in 1 2 3; do
    forget_installation
    iw_walk_through "$setup" "$1" "$2" "$folder" "$shots"
    [ "$iw_page1_pictured" = 1 ] && break
    [ $attempt = 3 ] && iw_fail "page 1 could not be pictured in three installations"
  done
  check_driver_page "$shots/$2-page1-driver.ppm" "$2" "$3" "$1"
  check_installed_files "$2"
  iw_kill_named "$iw_name_launcher"
  rm -f "$shots/$2"-page*.ppm
}

# A wrong folder brings the skinned message box, as rendered with lan_103 in it; its OK closes it
# and page 0 stays.
expect_refused() {  # <folder text> <cn|tc|en> <preview language> <locale> <picture.png>
  local box="$work/box-$2.png"
  [ -f "$box" ] || render "$4" "box-$2.png" MessageBox.xml --lang "$3" --text lan_103 --caption lan_102
  iw_type_folder "$1"
  iw_click btn_Install
  iw_answer_message_box "$(iw_text "$2" lan_102)" "$5"
  [ "$(compare -metric AE "$5" "$box" null: 2>&1 || true)" = 0 ] ||
    iw_fail "the message box for \"$1\" differs from the rendering ($5, $box)"
  iw_park_pointer
  iw_wait_page 0 30 "$work/after-box.ppm" || iw_fail "page 0 gone after refusing \"$1\""
}

# ---------------------------------------------------------------------------------------------
step "English: window, transparency, single copy"
en_title=$(iw_text en lan_100)
forget_installation
iw_start_installer "$setup" en_US.UTF-8 "$en_title"
iw_geometry "$iw_window"
[ "${iw_w}x${iw_h}" = "$iw_window_size" ] ||
  iw_fail "window of ${iw_w}x${iw_h}, not $iw_window_size at $iw_percent %"
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
dx=$(( iw_x - (screen_w - iw_w) / 2 ))
dy=$(( iw_y - (screen_h - iw_h) / 2 ))
[ ${dx#-} -le 1 ] && [ ${dy#-} -le 1 ] ||
  iw_fail "window at $iw_x,$iw_y, not centred on ${screen_w}x${screen_h}"
iw_park_pointer
iw_wait_page 0 30 "$work/page0.ppm" || iw_fail "page 0 not shown"

# A coloured backdrop: the corners of the window must show it, the card must not.
# (display sets the root's background and exits; its exit code is 1 even then.)
display -size 8x8 -window root xc:'#00B050' || true
screen="$work/screen.ppm"
import -silent -window root -depth 8 "$screen"
for spot in corner far_corner card; do
  p=(${iw_point[$spot]})
  pixel=$(iw_pixel "$screen" $((iw_x + p[0])) $((iw_y + p[1])))
  if [ $spot = card ]; then
    [ "$pixel" != 00B050 ] || iw_fail "the card shows the backdrop at ${iw_point[$spot]}"
  else
    [ "$pixel" = 00B050 ] || iw_fail "window pixel ${iw_point[$spot]} is $pixel, not the backdrop"
  fi
done
display -size 8x8 -window root xc:black || true

# A second copy ends at once, with exit code 0, and opens no window.
second_status=0
iw_in_locale en_US.UTF-8 timeout 60 "$(wine_loader_for "$setup")" "$setup" </dev/null >/dev/null 2>&1 ||
  second_status=$?
[ $second_status = 0 ] || iw_fail "the second copy ended with $second_status"
[ "$(iw_windows_titled "$en_title" | wc -l)" = 1 ] || iw_fail "a second install window appeared"

step "English: the default folder, the agreement box"
ticked="$work/page0-ticked.png"
unticked="$work/page0-unticked.png"
render en_US.UTF-8 page0-ticked.png WndInstall.xml --lang EN --page 0 --folder "$default_folder"
render en_US.UTF-8 page0-unticked.png WndInstall.xml --lang EN --page 0 --folder "$default_folder" \
  --unselect chkbx_Agree --disable btn_Install
expect_look 0 edt_Folder "$ticked" "the default folder $default_folder"
expect_look 0 btn_Install "$ticked" "Install enabled, not hovered"
expect_look 0 chkbx_Agree "$ticked" "the agreement ticked"
if [ $window_only = 1 ]; then
  convert "$work/look-chkbx_Agree.ppm" "$shots/en-page0.png"
  iw_click btnSysClose
  iw_wait_installer_exit 60
  step "passed; the first page in $shots"
  exit 0
fi
iw_click chkbx_Agree
iw_park_pointer
expect_look 0 chkbx_Agree "$unticked" "the agreement unticked"
expect_look 0 btn_Install "$unticked" "Install unavailable"
# A click on the unavailable Install must do nothing. The window handles input in the order it
# came, so once the tick that follows the click shows, the click has been handled too.
iw_click btn_Install
iw_click chkbx_Agree
iw_park_pointer
settled_after=0
iw_wait_area_as 0 btn_Install "$ticked" "$work/after-ignored.ppm" 30 && settled_after=1
[ -z "$(iw_windows_titled "$(iw_text en lan_102)")" ] ||
  iw_fail "a click on the unavailable Install brought a message box"
[ -z "$(iw_pids "$iw_name_silent")" ] || iw_fail "the unavailable Install started the installation"
[ $settled_after = 1 ] ||
  iw_fail "waited 30 s for Install to show enabled, not hovered, after a click on it while" \
          "unavailable and a tick of the agreement: $iw_last_diff ($work/after-ignored.ppm)"
expect_look 0 chkbx_Agree "$ticked" "the agreement ticked again"

step "English: wrong folders"
expect_refused 'Q:\Apps' en EN en_US.UTF-8 "$shots/en-message.png"
expect_refused '   ' en EN en_US.UTF-8 "$work/blank.png"
expect_refused 'TesselE2E\Tessel Assistant' en EN en_US.UTF-8 "$work/no-drive.png"
iw_click btnSysClose
iw_wait_installer_exit 60

step "English: installation"
install_in en_US.UTF-8 en EN

step "English: a second run offers the installed folder"
iw_start_installer "$setup" en_US.UTF-8 "$en_title"
iw_park_pointer
iw_wait_page 0 30 "$work/again.ppm" || iw_fail "page 0 not shown"
render en_US.UTF-8 installed-folder.png WndInstall.xml --lang EN --page 0 --folder "$folder"
expect_look 0 edt_Folder "$work/installed-folder.png" "the installed folder $folder"
iw_click btnSysClose
iw_wait_installer_exit 60

step "English: closing the window during an installation ends the silent installer"
# The stopped helper holds the silent installer in its driver step: it cannot end by itself now.
# An installation that passes the driver step before the helper is seen is tried once more.
for attempt in 1 2; do
  forget_installation
  iw_start_installer "$setup" en_US.UTF-8 "$en_title"
  iw_type_folder "$folder"
  iw_click btn_Install
  iw_catch_helper && break
  [ $attempt = 1 ] || iw_fail "the driver helper was never seen running"
  iw_park_pointer
  iw_wait_page 2 120 "$work/missed.ppm" || iw_fail "page 2 not shown"
  iw_click btnSysClose
  iw_wait_installer_exit 60
done
[ -n "$(iw_pids "$iw_name_silent")" ] || iw_fail "no silent installer while its helper runs"
iw_park_pointer
xdotool key alt+F4
iw_wait_installer_exit 60
deadline=$(( $(iw_now_ms) + 30000 ))
while [ -n "$(iw_pids "$iw_name_silent")" ]; do
  [ "$(iw_now_ms)" -lt "$deadline" ] || iw_fail "the silent installer outlived the closed window"
  sleep 0.1
done
kill -CONT "$iw_helper_pid" 2>/dev/null || true
iw_helper_pid=""
[ -z "$(reg_value "$uninstall_key" DisplayPath)" ] || iw_fail "the stopped installation finished"

for run in "zh_CN.UTF-8 cn CN" "zh_TW.UTF-8 tc TC"; do
  read -r locale lang code <<<"$run"
  step "$locale: wrong folder, installation"
  forget_installation
  iw_start_installer "$setup" "$locale" "$(iw_text "$lang" lan_100)"
  iw_park_pointer
  expect_refused 'Q:\Apps' "$lang" "$code" "$locale" "$shots/$lang-message.png"
  iw_click btnSysClose
  iw_wait_installer_exit 60
  install_in "$locale" "$lang" "$code"
done

step "zh_HK.UTF-8: English"
forget_installation
iw_start_installer "$setup" zh_HK.UTF-8 "$en_title"
iw_click btnSysClose
iw_wait_installer_exit 60

step "passed; pictures in $shots"
