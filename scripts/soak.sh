#!/usr/bin/env bash
# A long run of the real program on the demonstration card while random
# buttons and keys are pressed every few hundred milliseconds, on a private
# X server and sound server. Reports the resident memory once a minute and
# fails when the program dies, or does not end cleanly on SIGTERM at the end.
#   scripts/soak.sh [MINUTES]      (default 30)
# BUILD_DIR (default build/) must hold a built velor-player and velor-fixture.
set -euo pipefail
cd "$(dirname "$0")/.."

minutes=${1:-30}
build_dir=${BUILD_DIR:-build}
player="$build_dir/bin/velor-player"

player_pid=""
source scripts/private-session.sh
cleanup() {
  if [ -n "$player_pid" ]; then kill -9 "$player_pid" 2>/dev/null || true; fi
  private_session_stop
}
trap cleanup EXIT
private_session_start 400
work="$PRIVATE_HOME"

card="$XDG_DATA_HOME/Velor/demo"
first_recording=$(bash scripts/demo-card.sh "$card" "$build_dir")
# English texts; the end of the list is left to the random presses to restart.
printf '[HKEY_CURRENT_USER\\Software\\VELOR player]\n"Language"="english"\n' \
  > "$XDG_CONFIG_HOME/Velor/registry.reg"

"$player" "$first_recording" >"$work/player.log" 2>&1 &
player_pid=$!
window=$(xdotool search --sync --onlyvisible --class velor-player | head -1)
sleep 3
left=$(( (1920 - 1035) / 2 ))
top=$(( (1080 - 720) / 2 ))

# What a restless user presses: keys, and clicks on the playback and
# picture controls, the list and the video (no dialog that waits for an
# answer: print, split and the settings are left out).
keys=(space Left Right Next Prior f Escape m Up Down 1 2 space space)
clicks=(
  "268 571" "305 571" "345 571" "385 571" "420 571" "456 571"   # playback
  "600 571" "30 58" "66 58" "306 58" "354 58" "390 58" "426 58" # volume, toolbar
  "900 617" "900 643" "900 669" "1010 648"                      # picture
  "180 300" "540 300"                                           # the pictures
)

alive() { kill -0 "$player_pid" 2>/dev/null; }
rss_kb() { awk '/VmRSS/ { print $2 }' "/proc/$player_pid/status"; }

end=$(( $(date +%s) + minutes * 60 ))
next_sample=$(date +%s)
minute=0
first_loop_rss=""
while [ "$(date +%s)" -lt "$end" ]; do
  if ! alive; then
    echo "soak: velor-player died after $minute minutes" >&2
    tail -20 "$work/player.log" >&2
    exit 1
  fi
  if [ "$(date +%s)" -ge "$next_sample" ]; then
    rss=$(rss_kb)
    echo "soak: minute $minute: resident ${rss} kB"
    if [ "$minute" -eq 2 ]; then first_loop_rss=$rss; fi
    minute=$(( minute + 1 ))
    next_sample=$(( next_sample + 60 ))
  fi
  xdotool windowfocus "$window" 2>/dev/null || true
  case $(( RANDOM % 4 )) in
    0) x=$(( 8 + RANDOM % 560 )); xdotool mousemove $(( left + 76 + x )) $(( top + 536 )) click 1 ;; # seek
    1) row=$(( RANDOM % 7 )); xdotool mousemove $(( left + 860 )) $(( top + 163 + 21 * row )) click --repeat 2 --delay 60 1 ;;
    2) xdotool key "${keys[$(( RANDOM % ${#keys[@]} ))]}" ;;
    *) read -r x y <<<"${clicks[$(( RANDOM % ${#clicks[@]} ))]}"
       xdotool mousemove $(( left + x )) $(( top + y )) click 1 ;;
  esac
  sleep "0.$(( 2 + RANDOM % 6 ))"
  # Every few actions, something to play again.
  if [ $(( RANDOM % 20 )) -eq 0 ]; then xdotool key Escape space; fi
done

final_rss=$(rss_kb)
kill -TERM "$player_pid"
status=0
for _ in $(seq 100); do alive || break; sleep 0.1; done
if alive; then
  echo "soak: velor-player did not end within 10 s of SIGTERM" >&2
  SOAK_SHOT=${SOAK_SHOT:-/tmp/velor-soak-hang.png}
  import -window root "$SOAK_SHOT" || true
  if command -v gdb >/dev/null; then
    gdb -p "$player_pid" -batch -ex "thread apply all bt 30" >"${SOAK_SHOT%.png}.threads.txt" 2>&1 || true
    echo "soak: the threads' stacks are in ${SOAK_SHOT%.png}.threads.txt" >&2
  fi
  exit 1
fi
wait "$player_pid" || status=$?
player_pid=""
echo "soak: ${minutes} minutes; resident after the first loop ${first_loop_rss:-?} kB, at the end ${final_rss} kB; exit status ${status}"
[ "$status" -eq 0 ]
