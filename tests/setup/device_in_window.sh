#!/usr/bin/env bash
# End to end: the device as scripts/run starts it (scripts/start-device), its screen in a real
# SDL window on an X server (Xvfb), driven by real X input (xdotool) as a person would: the
# item's Record and Stop, the program opened from the item, the recording played from the file
# explorer, the language switched in the settings, the program closed from its menu and started
# again from the item and from the start menu, a killed program started again. It checks the
# files on the device and compares key captures of the window with expected images within a
# tolerance.
#   device_in_window.sh BUILD EXPECTED_FOLDER
# Screenshots, the recording and logs stay in BUILD/end-to-end/. Without Xvfb, xdotool,
# ImageMagick or ffprobe it skips (exit 77). SONBRIX_UPDATE_EXPECTED_IMAGES=1 keeps the
# captures as the expected images; it waits for no image, so look at each before keeping it (a
# capture may show a state in passing, such as the item before its next refresh).
set -euo pipefail
build=$(cd "${1:?usage: device_in_window.sh BUILD EXPECTED_FOLDER}" && pwd)
expected=${2:?usage: device_in_window.sh BUILD EXPECTED_FOLDER}
top=$(cd "$(dirname "$0")/../.." && pwd)

for tool in Xvfb xdotool import compare convert ffprobe; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed (scripts/packages.txt)"; exit 77; }
done

shots="$build/end-to-end"
mkdir -p "$shots"
rm -f "$shots"/*.png "$shots"/*.mp3 "$shots"/*.log "$shots"/*.xml "$shots/x-display"
tools="$build/tools"
export SONBRIX_DEVICE
SONBRIX_DEVICE=$(mktemp -d "${TMPDIR:-/tmp}/sonbrix-end-to-end.XXXXXX")
export SONBRIX_DISPLAY=sdl SONBRIX_DISPLAY_SIZE=240x320 SONBRIX_DISPLAY_ZOOM=1
export SONBRIX_AUDIO=virtual SONBRIX_AUDIO_INPUT=tone:440
documents="$SONBRIX_DEVICE/fs/My Documents"
xvfb_pid=
device_pid=
program_pids=()
finish() {
  if [ -n "$device_pid" ]; then
    "$tools/today-host" --quit >/dev/null 2>&1 || true
    within 300 device_ended || kill "$device_pid" 2>/dev/null || true
  fi
  # A program that a failed step left open.
  for pid in "${program_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$SONBRIX_DEVICE"
}
trap finish EXIT
fail() {
  echo "FAILED: $*"
  echo "  screenshots and logs: $shots"
  "$tools/screen-control" windows >"$shots/windows.log" 2>&1 || true
  exit 1
}
device_ended() { ! kill -0 "$device_pid" 2>/dev/null; }

# Until the condition holds, for at most $1 tenths of a second. The limits are generous: a
# loaded machine running a sanitizer build is slow, and the item waits 5 s for a program it
# starts.
within() {
  local tenths=$1
  shift
  for ((i = 0; i < tenths; i++)); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

windows() { "$tools/screen-control" windows 2>/dev/null; }
start_screen_shown() { windows | grep -q 'class="TodayScreen"'; }
program_window() { windows | grep 'class="SkinnerClass_Sonbrix"'; }
program_runs() {
  local line
  line=$(program_window) || return 1
  local pid=${line#pid=}
  program_pids+=("${pid%% *}")
}
program_shown() { program_window | grep -q 'visible=1'; }
program_hidden() { program_window | grep -q 'visible=0'; }
program_menu_bar_shown() { windows | grep -q 'class="sonbrix_menu_bar" .*visible=1'; }
program_popup_menu_shown() { windows | grep -q 'class="sonbrix_popup_menu" .*visible=1'; }
program_gone() { ! windows | grep -q 'class="SkinnerClass_Sonbrix"'; }

# Installed first alone, to add a second language beside the program (the package carries
# English only); the start then updates the installation and keeps it.
SONBRIX_RUN_SETUP_ONLY=1 "$top/scripts/start-device" "$build" >"$shots/start-device.log" 2>&1 ||
  fail "scripts/start-device could not install the package"
program_folder="$SONBRIX_DEVICE/fs/Program Files/Sonbrix"
sed -e 's/^Settings .*/Settings Einstellungen.../' -e 's/^Help .*/Help Hilfe/' -e 's/^Exit .*/Exit Beenden/' \
  "$program_folder/English.lng" >"$program_folder/Deutsch.lng"
# A private X server, whatever the desktop; it picks a free display itself and names it when
# it is ready.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$shots/x-display" 2>"$shots/xvfb.log" &
xvfb_pid=$!
x_display_ready() { [ -s "$shots/x-display" ]; }
within 300 x_display_ready || fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$shots/x-display")"
"$top/scripts/start-device" "$build" >>"$shots/start-device.log" 2>&1 &
device_pid=$!

within 300 start_screen_shown || fail "the start screen did not come up"
window=$(xdotool search --sync --name "Sonbrix screen" | head -n 1)
[ -n "$window" ] || fail "no SDL window on the X server"
[ -x "$program_folder/Sonbrix.exe" ] || fail "the package installed no program"
[ -f "$program_folder/Deutsch.lng" ] || fail "updating the installation removed a file of the user's"

# Real X input: a stylus tap at a point of the device's screen (240x320, the default skins).
tap() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
item_record() { tap 197 65; }
item_stop() { tap 172 65; }
item_icon() { tap 20 52; }
start_menu_sonbrix() { tap 28 283; }
# The program's File menu, once its menu bar is there to take the tap.
program_menu() {
  within 600 program_menu_bar_shown || fail "the program shows no menu bar"
  "$tools/screen-control" wait-idle >/dev/null 2>&1 || true
  tap 16 307
  within 600 program_popup_menu_shown || fail "File opened no menu"
}
program_menu_exit() { tap 25 282; }
explorer_first_file() { tap 60 189; }
program_play() { tap 120 273; }
program_menu_settings() { tap 35 236; }
settings_next_tabs() { tap 231 36; }
settings_language_tab() { tap 127 36; }
settings_language_list() { tap 226 80; }
settings_first_language() { tap 40 104; }
settings_done() { tap 196 277; }

# The window as the X server shows it (CROP an ImageMagick geometry, or "" for the whole
# window), once it matches the expected image, or as it last was. MASKS are rectangles
# "x0,y0 x1,y1" left out of the comparison (texts that depend on timing, such as a size).
pixels_off=
capture() {
  local name=$1 crop=$2
  "$tools/screen-control" wait-idle >/dev/null 2>&1 || true
  if [ -n "$crop" ]; then
    import -window "$window" -crop "$crop" +repage "$shots/$name.png" 2>/dev/null
  else
    import -window "$window" "$shots/$name.png" 2>/dev/null
  fi
}
shows() {
  local name=$1 crop=$2 allowed=$3
  shift 3
  capture "$name" "$crop" || return 1
  if [ "${SONBRIX_UPDATE_EXPECTED_IMAGES:-}" = 1 ]; then
    cp "$shots/$name.png" "$expected/$name.png"
    return 0
  fi
  matches "$name" "$allowed" "$@"
}
# Whether the capture NAME matches its expected image.
matches() {
  local name=$1 allowed=$2
  shift 2
  local masked_expected="$shots/$name-masked-expected.png" masked="$shots/$name-masked.png"
  local draw=()
  for rectangle in "$@"; do draw+=(-draw "rectangle $rectangle"); done
  convert "$expected/$name.png" -fill black "${draw[@]}" "$masked_expected"
  convert "$shots/$name.png" -fill black "${draw[@]}" "$masked"
  # Pixels that differ by more than a few percent; a handful is allowed for font rendering.
  pixels_off=$(compare -metric AE -fuzz 4% "$masked_expected" "$masked" "$shots/$name-difference.png" 2>&1 >/dev/null || true)
  [ "${pixels_off%%.*}" -le "$allowed" ] 2>/dev/null
}
expect() {
  local name=$1
  within 300 shows "$@" || fail "the window differs from $expected/$name.png in $pixels_off pixels"
}

# The top of the start screen, where the items are: the start menu at the bottom lists the
# program.
expect start_screen_top_240x320 240x240+0+0 40

# The item's Record starts the program hidden, recording a new file in My Documents.
item_record
recording() { [ -f "$documents/1.mp3" ] && [ "$(stat -c %s "$documents/1.mp3")" -ge 8000 ]; }
within 600 recording || fail "the item's Record made no recording in My Documents"
within 100 program_runs || fail "no program window after the item's Record"
program_hidden || fail "the item's Record showed the program"
capture item_recording_240x320 ""
item_stop
# The item shows the stopped state (the record button no longer lit) once the program stopped.
expect item_stopped_top_240x320 240x100+0+0 60 "38,50 100,80"
duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$documents/1.mp3" || true)
cp "$documents/1.mp3" "$shots/recording.mp3"
awk -v d="${duration:-0}" 'BEGIN { exit !(d >= 1.0) }' || fail "the recording is no MP3 of a second or more (duration: ${duration:-none})"

# The item's icon shows the program: its file explorer lists the recording.
item_icon
within 600 program_shown || fail "the item's icon did not show the program"
expect program_240x320 "" 150 "120,180 240,198"

# Selected in the file explorer and played: the virtual sound device hears it.
# Each opening of the virtual sound device writes what it heard to a new audio/wave-out-N.wav.
heard() { ls "$SONBRIX_DEVICE/audio"/wave-out-*.wav 2>/dev/null | wc -l; }
heard_before=$(heard)
explorer_first_file
program_play
# More of the recording than a short signal sound reached the device (half a second or more).
played() {
  [ "$(heard)" -gt "$heard_before" ] || return 1
  local newest
  newest=$(ls -t "$SONBRIX_DEVICE/audio"/wave-out-*.wav | head -n 1)
  [ "$(stat -c %s "$newest")" -ge 22050 ]
}
within 600 played || fail "playing the recording reached no sound device"
ls -l "$SONBRIX_DEVICE/audio" >"$shots/device-audio.log"

# The virtual device writes what it heard when it closes: the program has stopped playing.
expect program_played_240x320 "" 150 "120,180 240,198"

# The settings: the language page lists the languages beside the program; choosing one
# changes the program's texts at once and is kept in its settings file.
program_menu
program_menu_settings
# The main form, disabled under the modal settings form.
settings_form_shown() { windows | grep -q 'class="SkinnerClass_Sonbrix" title="Sonbrix" .*enabled=0'; }
within 600 settings_form_shown || fail "File, Settings opened no settings form"
for _ in 1 2 3; do settings_next_tabs; done
settings_language_tab
expect settings_language_240x320 "" 150
settings_language_list
expect settings_language_list_240x320 "" 150
settings_first_language
settings_done
settings_file="$program_folder/Sonbrix.xml"
language_kept() { grep -q 'Language="Deutsch"' "$settings_file" 2>/dev/null; }
within 600 language_kept || fail "the chosen language is not in the settings file"
cp "$settings_file" "$shots/settings.xml"
program_menu
expect menu_deutsch_240x320 124x69+0+225 40

# Closed from its menu, the program ends and the start screen is back.
program_menu_exit
within 600 program_gone || fail "File, Exit did not end the program"
expect start_screen_after_exit_top_240x320 240x240+0+0 40

# Started again by one tap on the item's icon, the program is shown at once (not hidden), in
# the language chosen.
item_icon
within 600 program_shown || fail "one tap on the item's icon did not show the program it started"
program_runs || true
program_menu
expect menu_deutsch_240x320 124x69+0+225 40
program_menu_exit
within 600 program_gone || fail "File, Exit did not end the program"

# The start menu's entry starts it too.
start_menu_sonbrix
within 600 program_shown || fail "the start menu's entry did not show the program"
program_runs || true

# A program that was killed is started again from the item's icon, and the start screen
# keeps answering (the channel's locks of the killed program are not left held).
killed=${program_pids[-1]}
kill -KILL "$killed"
within 600 program_gone || fail "the killed program's windows stayed"
item_icon
within 600 program_shown || fail "the item's icon did not start the program again after it was killed"
program_runs || true
[ "${program_pids[-1]}" != "$killed" ] || fail "the killed program still shows"
program_menu
program_menu_exit
within 600 program_gone || fail "File, Exit did not end the program"

# The recording is where the item put it, and nothing else was left in My Documents.
[ "$(ls "$documents")" = 1.mp3 ] || fail "My Documents holds: $(ls "$documents" | tr '\n' ' ')"

# Real X keys: F9 is the window's next-screen-size key.
xdotool key --window "$window" F9
bigger() { windows | grep TodayScreen | grep -q "rect=0,[0-9]*,480,"; }
within 100 bigger || fail "F9 in the window did not change the screen size"

# The start screen closes when asked.
"$tools/today-host" --quit >/dev/null 2>&1 || fail "today-host --quit failed"
within 600 device_ended || fail "the start screen did not close on today-host --quit"
echo "passed: screenshots in $shots"
