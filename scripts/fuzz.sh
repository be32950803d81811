#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz/, or BUILD_DIR) and
# runs them from their seed corpora.
#   scripts/fuzz.sh [TARGET] [SECONDS]
# TARGET is one of the names below or "all" (default); SECONDS per target
# (default 60). Extra libFuzzer options go in FUZZ_OPTIONS, e.g.
# FUZZ_OPTIONS="-runs=1000000". Crashes land in BUILD_DIR/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."

targets=(chunk_walk open_recording gps_packet gsensor_packet setup_cfg language_file
  recording_name time_text)
target=${1:-all}
seconds=${2:-60}
if [ "$target" != all ]; then
  if [[ " ${targets[*]} " != *" $target "* ]]; then
    echo "fuzz.sh: unknown target \"$target\" (one of: ${targets[*]})" >&2
    exit 1
  fi
  targets=("$target")
fi

bash scripts/setup.sh
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
build_dir=${BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$build_dir" -G Ninja -DVELOR_FUZZ=ON \
  -DVELOR_BUILD_TESTS=OFF >/dev/null
cmake --build "$build_dir" -j "$(nproc)" \
  --target velor-fuzz-seeds "${targets[@]/#/fuzz_}"

# The seeds come from the project's own writers, written afresh each run;
# what the fuzzer adds to a corpus stays beside them.
seeds="$build_dir/seeds"
corpus="$build_dir/corpus"
findings="$build_dir/findings"
rm -rf "$seeds"
"$build_dir/bin/velor-fuzz-seeds" "$seeds"
mkdir -p "$findings"

dictionary_of() {
  case "$1" in
    chunk_walk | open_recording) echo tests/fuzz/avi_chunks.dict ;;
    gps_packet) echo tests/fuzz/nmea.dict ;;
    language_file) echo tests/fuzz/language.dict ;;
  esac
}

# Sanitizer reports end the run; leaks inside FFmpeg's and the libraries'
# process-wide caches are theirs.
export ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=1:${ASAN_OPTIONS:-}"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:${UBSAN_OPTIONS:-}"
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:${LSAN_OPTIONS:-}"

status=0
for name in "${targets[@]}"; do
  mkdir -p "$corpus/$name"
  options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
    -artifact_prefix="$findings/$name-")
  dictionary=$(dictionary_of "$name")
  if [ -n "$dictionary" ]; then options+=(-dict="$dictionary"); fi
  echo "fuzz.sh: $name for ${seconds}s" >&2
  # shellcheck disable=SC2086 # FUZZ_OPTIONS is a list of options
  if ! "$build_dir/bin/fuzz_$name" "${options[@]}" ${FUZZ_OPTIONS:-} \
    "$corpus/$name" "$seeds/$name" 2>"$build_dir/fuzz-$name.log"; then
    echo "fuzz.sh: $name found something; see $build_dir/fuzz-$name.log and $findings/" >&2
    tail -40 "$build_dir/fuzz-$name.log" >&2
    status=1
  fi
  grep -E '^stat::number_of_executed_units' "$build_dir/fuzz-$name.log" |
    sed "s/^/fuzz.sh: $name: /" >&2 || true
done
exit $status
