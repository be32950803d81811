#!/usr/bin/env bash
# Installs every Debian package the project needs to build, run and test.
# Quick when everything is already there: only missing packages go to apt.
set -euo pipefail

packages=(
  # toolchain
  build-essential cmake ninja-build ccache pkg-config git clang-format
  # the fuzz targets (libFuzzer comes with clang's run-time libraries)
  clang libclang-rt-14-dev
  # libraries
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-webengine-dev
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev libswresample-dev
  libsdl2-dev libglfw3-dev libglew-dev libgl-dev libx11-dev
  libtinyxml-dev zlib1g-dev
  # run-time data
  fonts-noto-cjk fonts-noto-core fonts-liberation2 libjs-openlayers
  librsvg2-bin
  # tests
  googletest libgtest-dev libgmock-dev nlohmann-json3-dev poppler-utils
  xvfb xauth xdotool x11-utils imagemagick libgl1-mesa-dri mesa-utils
  pulseaudio libxml2-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "setup: installing ${missing[*]}" >&2
sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
