#!/usr/bin/env bash
# Builds the Debian package of the viewer: scripts/package.sh [--check]
# BUILD_DIR (default build-package/, made without the tests) is the build to
# package; an existing build folder is reused as it is configured. The
# package lands in that folder as velor-player_<version>_<arch>.deb.
# --check then looks at it as a clean machine would: its dependencies resolve
# from the archive (apt-get --simulate), and the program unpacked from it
# alone, with no build tree near it, starts under its own X server and shows
# its window with a recording.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
build_dir=${BUILD_DIR:-build-package}
if [ -f "$build_dir/CMakeCache.txt" ]; then
  cmake -S . -B "$build_dir" >/dev/null
else
  cmake -S . -B "$build_dir" -G Ninja -DVELOR_BUILD_TESTS=OFF >/dev/null
fi
cmake --build "$build_dir" -j "$(nproc)" --target velor-player velor_resources velor_icons velor-fixture
(cd "$build_dir" && cpack -G DEB >/dev/null)
package=$(ls -t "$build_dir"/velor-player_*.deb | head -n 1)
echo "$package"
[ "${1:-}" = --check ] || exit 0

dpkg-deb --field "$package" Depends
apt-get install --simulate "./$package" | grep -E '^(Inst|Conf) velor-player' 
root=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$root"
}
trap cleanup EXIT
dpkg-deb -x "$package" "$root/unpacked"
mkdir -p "$root/card"
"$build_dir/bin/velor-fixture" --out "$root/card/NOR_20260101_120000_F.avi" --seconds 10 --quiet
display=:${PACKAGE_DISPLAY:-531}
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp &
xvfb_pid=$!
sleep 1
export DISPLAY=$display XDG_CONFIG_HOME="$root/config" XDG_DATA_HOME="$root/data"
export XDG_RUNTIME_DIR="$root/runtime" QTWEBENGINE_CHROMIUM_FLAGS=--disable-gpu
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
unset VELOR_RESOURCE_DIR
"$root/unpacked/usr/bin/velor-player" "$root/card/NOR_20260101_120000_F.avi" 2>"$root/err" &
player=$!
window=""
for _ in $(seq 1 60); do
  window=$(xdotool search --onlyvisible --class velor-player 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.5
done
kill -TERM "$player" 2>/dev/null || true
status=0
wait "$player" || status=$?
if [ -z "$window" ]; then
  echo "the packaged program showed no window" >&2
  cat "$root/err" >&2
  exit 1
fi
echo "the packaged program started (window $window) and ended with status $status"
[ "$status" = 0 ]
