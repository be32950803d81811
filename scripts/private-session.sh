# Sourced by the scripts that run the program or its tests away from the
# user's desktop: configuration and data folders of their own, a private
# sound server (scripts/sound-server.sh) and a private X server.
#   private_session_start FIRST_DISPLAY_NUMBER   exports XDG_*, DISPLAY, ...
#   private_session_stop                          stops both servers, removes the folders
# PRIVATE_HOME is the session's folder.

source "$(dirname "${BASH_SOURCE[0]}")/sound-server.sh"

private_xvfb_pid=""
PRIVATE_HOME=""

private_session_start() {
  PRIVATE_HOME=$(mktemp -d)
  export XDG_CONFIG_HOME="$PRIVATE_HOME/config" XDG_DATA_HOME="$PRIVATE_HOME/data"
  export XDG_RUNTIME_DIR="$PRIVATE_HOME/runtime"
  mkdir -p "$XDG_CONFIG_HOME/Velor" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  sound_server_start "$XDG_RUNTIME_DIR/pulse"
  export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"

  local display_number=$(( $1 + RANDOM % 100 ))
  while [ -e "/tmp/.X${display_number}-lock" ]; do display_number=$(( display_number + 1 )); done
  Xvfb ":${display_number}" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  private_xvfb_pid=$!
  for _ in $(seq 50); do
    [ -e "/tmp/.X11-unix/X${display_number}" ] && break
    sleep 0.1
  done
  export DISPLAY=":${display_number}"
}

private_session_stop() {
  if [ -n "$private_xvfb_pid" ]; then
    kill "$private_xvfb_pid" 2>/dev/null || true
    wait "$private_xvfb_pid" 2>/dev/null || true
    private_xvfb_pid=""
  fi
  sound_server_stop
  if [ -n "$PRIVATE_HOME" ]; then rm -rf "$PRIVATE_HOME"; PRIVATE_HOME=""; fi
}
