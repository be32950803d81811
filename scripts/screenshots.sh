#!/usr/bin/env bash
# Takes the README's screenshots of the main window again, on a private X
# server and sound server, from the demonstration card.
#   scripts/screenshots.sh [OUT_DIR]      (default docs/screenshots)
# BUILD_DIR (default build/) must hold a built velor-player and velor-fixture.
set -euo pipefail
cd "$(dirname "$0")/.."

out_dir=$(realpath -m "${1:-docs/screenshots}")
build_dir=${BUILD_DIR:-build}
player="$build_dir/bin/velor-player"
mkdir -p "$out_dir"

player_pid=""
source scripts/private-session.sh
cleanup() {
  if [ -n "$player_pid" ]; then kill "$player_pid" 2>/dev/null || true; wait "$player_pid" 2>/dev/null || true; fi
  private_session_stop
}
trap cleanup EXIT
private_session_start 300

card="$XDG_DATA_HOME/Velor/demo"
first_recording=$(bash scripts/demo-card.sh "$card" "$build_dir")

# The window's first place: centred on the 1920 x 1080 screen.
left=$(( (1920 - 1035) / 2 ))
top=$(( (1080 - 720) / 2 ))

start() { # LANGUAGE [ARGUMENT]
  printf '[HKEY_CURRENT_USER\\Software\\VELOR player]\n"Language"="%s"\n' "$1" \
    > "$XDG_CONFIG_HOME/Velor/registry.reg"
  shift
  "$player" "$@" >/dev/null 2>&1 &
  player_pid=$!
  xdotool search --sync --onlyvisible --class velor-player >/dev/null
  sleep 3
}
stop() {
  kill "$player_pid" 2>/dev/null || true
  wait "$player_pid" 2>/dev/null || true
  player_pid=""
}
click() { # X Y, in the window
  xdotool mousemove --sync $(( left + $1 )) $(( top + $2 )) click 1
  sleep 1.5
}
hover() { # X Y, in the window: long enough for the tooltip
  xdotool mousemove --sync $(( left + $1 )) $(( top + $2 ))
  sleep 2
}
shot() { # NAME [GEOMETRY]
  import -window root -crop "${2:-1035x720+${left}+${top}}" +repage "$out_dir/$1.png"
  echo "screenshots: $out_dir/$1.png" >&2
}

# Toolbar buttons, in window coordinates.
one_channel="30 58"
two_channels="66 58"
magnifier="306 58"
capture="198 58"
maximise="984 20"
list_tab="764 52"
map_tab="842 52"

start english "$card"
shot main-idle
stop

start english "$first_recording"
shot main-two-channels
click $map_tab
sleep 2
shot main-map
click $list_tab
stop

# Started again, so that full screen is not taken while the recording ends.
start english "$first_recording"
# Full screen: the control bar comes up with the pointer at the bottom.
xdotool mousemove --sync $(( left + 180 )) $(( top + 300 ))
sleep 0.3
xdotool click --repeat 2 --delay 60 1
sleep 0.8
xdotool click --repeat 2 --delay 60 1
sleep 1.5
xdotool mousemove --sync 960 1075
sleep 1.5
shot main-full-screen 1920x1080+0+0
xdotool mousemove --sync 960 500
sleep 0.7
xdotool click --repeat 2 --delay 60 1
sleep 1.5
click $one_channel
shot main-one-channel
click $two_channels
click $magnifier
# The magnifier pop-up reaches past the window's right edge.
shot main-magnifier "1400x720+${left}+${top}"
click $magnifier
click $maximise
shot main-maximised 1920x1080+0+0
stop

for language in japanese thai; do
  start "$language" "$first_recording"
  hover $capture
  shot "main-$language"
  stop
done

start english "$first_recording"
# The side window torn off by its caption and left floating.
xdotool mousemove --sync $(( left + 969 )) $(( top + 52 )) mousedown 1 \
  sleep 0.1 mousemove --sync $(( left + 900 )) $(( top + 90 )) \
  sleep 0.1 mousemove --sync $(( left + 760 )) $(( top + 160 )) \
  sleep 0.1 mouseup 1
sleep 1.5
shot main-side-floating "1300x760+${left}+${top}"
stop
