#!/usr/bin/env bash
# A recording cut short at every 997th byte, as a card pulled or a power cut
# mid-write leaves it: each cut file is opened with the player's own open
# path (velor-probe recording) and must neither crash nor hang. A cut past
# the headers must open, with no more frames than the whole file and no
# fewer than a shorter cut.
#   scripts/cut-recordings.sh            (BUILD_DIR: build/ by default)
set -euo pipefail
cd "$(dirname "$0")/.."

build_dir=${BUILD_DIR:-build}
step=997
# Every cut takes one open; none may take anywhere near this long.
open_limit_seconds=30
probe="$build_dir/bin/velor-probe"
fixture="$build_dir/bin/velor-fixture"
if [ ! -x "$probe" ] || [ ! -x "$fixture" ]; then
  cmake --build "$build_dir" --target velor-probe velor-fixture
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
whole="$work/whole.avi"
"$fixture" --out "$whole" --seconds 2 --size 160x90 --quiet
size=$(stat -c %s "$whole")
# The headers end where the camera starts its movi list, plus the first
# chunk's header.
headers_end=4108

frames_of() { grep -o '"frameCount": *[0-9]*' "$1" | grep -o '[0-9]*$'; }

# No sound is played here: SDL's silent driver, whatever the machine has.
export SDL_AUDIODRIVER=dummy
"$probe" recording "$whole" >"$work/whole.json" 2>"$work/whole.err"
whole_frames=$(frames_of "$work/whole.json")

failures=0
previous_frames=0
cuts=0
for ((length = step; length < size; length += step)); do
  cut="$work/cut.avi"
  head -c "$length" "$whole" >"$cut"
  cuts=$((cuts + 1))
  status=0
  timeout "$open_limit_seconds" "$probe" recording "$cut" >"$work/cut.json" 2>"$work/cut.err" ||
    status=$?
  if [ "$status" -ge 124 ]; then
    echo "cut-recordings: a cut at $length bytes crashed or hung (status $status)" >&2
    tail -20 "$work/cut.err" >&2
    failures=$((failures + 1))
    continue
  fi
  if [ "$length" -le "$headers_end" ]; then
    continue
  fi
  if [ "$status" -ne 0 ]; then
    echo "cut-recordings: a cut at $length bytes does not open" >&2
    cat "$work/cut.err" >&2
    failures=$((failures + 1))
    continue
  fi
  frames=$(frames_of "$work/cut.json")
  if [ "$frames" -lt "$previous_frames" ] || [ "$frames" -gt "$whole_frames" ]; then
    echo "cut-recordings: a cut at $length bytes has $frames frames" \
      "(shorter cut $previous_frames, whole file $whole_frames)" >&2
    failures=$((failures + 1))
  fi
  previous_frames=$frames
done
echo "cut-recordings: $cuts cuts of a $size-byte recording ($whole_frames frames)," \
  "$failures failed" >&2
[ "$failures" -eq 0 ]
