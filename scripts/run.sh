#!/usr/bin/env bash
# Set up, build, then start the viewer with the given arguments.
#   scripts/run.sh [FOLDER | FILE.avi]
#   scripts/run.sh --demo      writes a demonstration recording and opens it
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
  mkdir -p "$demo_dir"
  demo="$demo_dir/INF_REC_00_20260101_120000.avi"
  if [ ! -f "$demo" ]; then
    "$build_dir/bin/velor-fixture" --out "$demo" --channels 2 --seconds 30 --size 1280x720
  fi
  args=("$demo")
fi

if [ ! -x "$player" ]; then
  echo "run: the build is ready, but velor-player is not part of it yet." >&2
  exit 0
fi
exec "$player" "${args[@]}"
