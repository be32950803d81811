#!/usr/bin/env bash
# Set up, build, then start the viewer with the given arguments.
#   scripts/run.sh [FOLDER | FILE.avi]
#   scripts/run.sh --demo      writes a demonstration card once and plays its first recording
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
build_dir=${BUILD_DIR:-build}
cmake -S . -B "$build_dir" -G Ninja >/dev/null
cmake --build "$build_dir" -j "$(nproc)"

player="$build_dir/bin/velor-player"
args=("$@")
if [ "${1:-}" = "--demo" ]; then
  demo_dir="${XDG_DATA_HOME:-$HOME/.local/share}/Velor/demo"
  first_recording=$(bash scripts/demo-card.sh "$demo_dir" "$build_dir")
  args=("$first_recording")
fi

if [ ! -x "$player" ]; then
  echo "run: the build is ready, but velor-player is not part of it yet." >&2
  exit 0
fi
exec "$player" "${args[@]}"
