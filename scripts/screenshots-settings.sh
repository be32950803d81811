#!/usr/bin/env bash
# Screenshots of the camera settings dialog (both tabs) and the viewer
# settings dialog in English, Japanese and Thai, taken on a private X server
# and cropped to the dialog, into docs/screenshots/.
#   scripts/screenshots-settings.sh [BUILD_DIR] [DISPLAY_NUMBER]
# Needs Xvfb and ImageMagick, and velor-gallery built in BUILD_DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-${BUILD_DIR:-build}}
display_number=${2:-219}
gallery="$build_dir/bin/velor-gallery"
out=docs/screenshots
readonly languages=(english japanese thai)

if [ ! -x "$gallery" ]; then
  echo "screenshots-settings: $gallery is missing; build velor-gallery first." >&2
  exit 1
fi
mkdir -p "$out"

Xvfb ":$display_number" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
for _ in $(seq 50); do
  [ -e "/tmp/.X11-unix/X$display_number" ] && break
  sleep 0.1
done

# One shot: the whole screen, then only the dialog on the black root.
shoot() {
  local name=$1
  shift
  local shot="$out/$name.png"
  DISPLAY=":$display_number" "$gallery" "$@" --screenshot "$shot" 2>/dev/null
  convert "$shot" -trim +repage "$shot"
  echo "$shot"
}

for language in "${languages[@]}"; do
  shoot "camera-settings-basic-$language" --dialog camera --language "$language"
  shoot "camera-settings-system-$language" --dialog camera --tab 2 --language "$language"
  shoot "viewer-settings-$language" --dialog viewer --language "$language"
done
