#!/usr/bin/env bash
# Set up, configure, build and run the whole test suite.
#   scripts/test.sh [ctest arguments...]
# BUILD_DIR (default build/) and VELOR_SANITIZE (address,undefined | thread)
# choose the build; an X server is started for the tests that need one, and
# a sound server (scripts/sound-server.sh) for the tests that play sound.
# TEST_FOLDERS (e.g. "engine recordings") builds and runs only the tests of
# those folders of tests/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

# Builds of other checkouts share the compiler cache: paths count relative
# to the checkout.
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1

build_dir=${BUILD_DIR:-build}
cmake_args=(-G Ninja -DVELOR_WERROR=ON)
if [ -n "${VELOR_SANITIZE:-}" ]; then
  cmake_args+=("-DVELOR_SANITIZE=${VELOR_SANITIZE}")
fi
cmake -S . -B "$build_dir" "${cmake_args[@]}" >/dev/null
read -r -a test_folders <<<"${TEST_FOLDERS:-}"
if [ ${#test_folders[@]} -eq 0 ]; then
  cmake --build "$build_dir" -j "$(nproc)"
else
  folder_targets=()
  for folder in "${test_folders[@]}"; do folder_targets+=("tests/$folder/all"); done
  cmake --build "$build_dir" -j "$(nproc)" --target "${folder_targets[@]}"
fi

# Tests get their own configuration and data folders, never the user's, a
# sound server for the tests that play sound and an X server for the
# windowed ones.
source scripts/private-session.sh
trap private_session_stop EXIT
private_session_start 90
# Races inside libraries built without the sanitizer are not ours to see.
if [ "${VELOR_SANITIZE:-}" = thread ]; then
  export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp ${TSAN_OPTIONS:-}"
fi
if [[ "${VELOR_SANITIZE:-}" == *address* ]]; then
  export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp ${LSAN_OPTIONS:-}"
fi

if [ ${#test_folders[@]} -eq 0 ]; then
  ctest --test-dir "$build_dir" -j "$(nproc)" --output-on-failure "$@"
  exit
fi
status=0
for folder in "${test_folders[@]}"; do
  ctest --test-dir "$build_dir/tests/$folder" -j "$(nproc)" --output-on-failure "$@" || status=1
done
exit $status
