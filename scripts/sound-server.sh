#!/usr/bin/env bash
# A private PulseAudio daemon for tests and benchmarks, so that SDL plays the
# sound through its `pulseaudio` driver against a sink with a real clock, as
# on a desktop. (SDL's `dummy` driver keeps no clock: the sound drifts by up
# to 170 ms against the pictures there.) The daemon has its own runtime
# folder, one null sink kept in step by a silent loopback, and the native
# protocol on a socket in that folder, nothing else; clients never autospawn
# another one.
#
#   source scripts/sound-server.sh
#   sound_server_start FOLDER     # exports PULSE_* and SDL_AUDIODRIVER
#   ...
#   sound_server_stop
#
#   scripts/sound-server.sh COMMAND [ARGUMENTS...]   runs COMMAND with one
#
# When the daemon cannot start, it says so once and SDL gets `dummy`. A
# SDL_AUDIODRIVER set beforehand to another driver is kept, with no daemon.

sound_server_pid=""

# How long the daemon may take to answer, in tenths of a second.
sound_server_wait_tenths=50

sound_server_fall_back() {
  echo "sound-server: $1; the sound plays through SDL's dummy driver" >&2
  unset PULSE_SERVER PULSE_RUNTIME_PATH PULSE_STATE_PATH PULSE_COOKIE PULSE_CLIENTCONFIG
  export SDL_AUDIODRIVER=dummy
}

sound_server_answers() {
  [ -S "$PULSE_RUNTIME_PATH/native" ] && pactl info >/dev/null 2>&1
}

sound_server_start() {
  local folder=$1
  if [ -n "${SDL_AUDIODRIVER:-}" ] && [ "$SDL_AUDIODRIVER" != pulseaudio ]; then
    return 0
  fi
  if ! command -v pulseaudio >/dev/null || ! command -v pactl >/dev/null; then
    sound_server_fall_back "pulseaudio is not installed"
    return 0
  fi
  mkdir -p "$folder"
  chmod 700 "$folder"
  export PULSE_RUNTIME_PATH="$folder" PULSE_STATE_PATH="$folder/state"
  export PULSE_SERVER="unix:$folder/native" PULSE_COOKIE="$folder/cookie"
  export PULSE_CLIENTCONFIG="$folder/client.conf"
  echo "autospawn = no" >"$PULSE_CLIENTCONFIG"
  # No display and no session bus: the daemon would start a bus of its own
  # through X11 otherwise, and leave it running. Its configuration folder is
  # the private one too, not the user's.
  env -u DISPLAY DBUS_SESSION_BUS_ADDRESS="unix:path=$folder/no-bus" XDG_CONFIG_HOME="$folder" \
    pulseaudio -n --daemonize=no --system=false --use-pid-file=no \
    --exit-idle-time=-1 --disallow-exit --realtime=no --high-priority=no \
    --log-target="file:$folder/log" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$folder/native" \
    -L "module-null-sink sink_name=velor_null" \
    -L "module-null-source source_name=velor_silence rate=8000 channels=1" \
    -L "module-loopback source=velor_silence sink=velor_null latency_msec=100" \
    </dev/null >/dev/null 2>&1 &
  sound_server_pid=$!
  local tenth
  for tenth in $(seq "$sound_server_wait_tenths"); do
    sound_server_answers && break
    kill -0 "$sound_server_pid" 2>/dev/null || break
    sleep 0.1
  done
  # The null sink plays in blocks as long as the lowest latency its streams
  # ask for, two seconds while none plays: a stream that opened would wait
  # up to that long for its first request, and so would its close. The
  # silent loopback asks for 100 ms, more than SDL's streams do, so it only
  # sets the pace between them; suspending the sink once ends the
  # two-second block it started with.
  if sound_server_answers; then
    pactl suspend-sink velor_null 1 >/dev/null 2>&1 || true
    pactl suspend-sink velor_null 0 >/dev/null 2>&1 || true
  fi
  if ! sound_server_answers; then
    local reason
    reason=$(grep -m1 '^E:' "$folder/log" 2>/dev/null || true)
    sound_server_stop
    sound_server_fall_back "PulseAudio did not start${reason:+ ($reason)}"
    return 0
  fi
  export SDL_AUDIODRIVER=pulseaudio
}

sound_server_stop() {
  if [ -z "$sound_server_pid" ]; then
    return 0
  fi
  kill "$sound_server_pid" 2>/dev/null || true
  wait "$sound_server_pid" 2>/dev/null || true
  sound_server_pid=""
}

# Run as a command: COMMAND with a daemon of its own, removed afterwards.
if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -euo pipefail
  if [ $# -eq 0 ]; then
    echo "usage: scripts/sound-server.sh COMMAND [ARGUMENTS...]" >&2
    exit 2
  fi
  sound_server_folder=$(mktemp -d)
  trap 'sound_server_stop; rm -rf "$sound_server_folder"' EXIT
  sound_server_start "$sound_server_folder/pulse"
  "$@"
fi
