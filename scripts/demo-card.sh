#!/usr/bin/env bash
# Writes a small demonstration card into FOLDER, unless FOLDER already holds
# one, and prints the path of its first recording.
#   scripts/demo-card.sh FOLDER [BUILD_DIR]
# The card: two-camera recordings of every kind the catalog knows, named as
# the camera names them, each with sound, a GPS track that moves and a
# G-sensor knock every few seconds, and a setup.cfg with the camera's defaults.
set -euo pipefail

folder=${1:?usage: scripts/demo-card.sh FOLDER [BUILD_DIR]}
mkdir -p "$folder"
folder=$(cd "$folder" && pwd)
cd "$(dirname "$0")/.."
build_dir=${2:-${BUILD_DIR:-build}}
fixture="$build_dir/bin/velor-fixture"
probe="$build_dir/bin/velor-probe"

# Small frames and short clips keep the card quick to write on a slow machine.
readonly frame_size=640x360
readonly clip_seconds=12
# A two-camera model from the model list: the reader refuses unknown models.
readonly model_name=QRV-2CAM
readonly setup_size=8192
readonly setup_data_size=8188
# Firmware 2.0.1: past the old firmware that splits the cut-off setting.
readonly firmware_offset=32

# Kind code, then the clock time the camera would have started the clip at.
# The catalog reads the time from fixed positions: keep the names this long.
readonly clips=(
  "INF_REC_00_20260101_120000"
  "INF_REC_00_20260101_120012"
  "INF_REC_00_20260101_120024"
  "EVT_REC_00_20260101_120031"
  "MAN_REC_00_20260101_120100"
  "MOE_REC_00_20260101_130000"
  "TLS_REC_00_20260101_131500"
)
first_recording="$folder/${clips[0]}.avi"
setup_cfg="$folder/setup.cfg"

# setup.cfg is written last, so a card cut short is written again next time.
if [ -f "$setup_cfg" ] && [ -f "$first_recording" ]; then
  echo "$first_recording"
  exit 0
fi

for tool in "$fixture" "$probe"; do
  if [ ! -x "$tool" ]; then
    echo "demo-card: $tool is missing; build it first." >&2
    exit 1
  fi
done

for clip in "${clips[@]}"; do
  partial="$folder/$clip.partial"
  "$fixture" --out "$partial" --channels 2 --seconds "$clip_seconds" \
    --size "$frame_size" --quiet
  mv "$partial" "$folder/$clip.avi"
done

# velor-probe only changes a setup.cfg it can read, so start from a blank
# image carrying the model name and a valid checksum, then let it reset every
# setting to the camera's default.
perl -MCompress::Zlib -e '
  my ($path, $model, $size, $data_size, $firmware_offset) = @ARGV;
  my $image = "\0" x $size;
  substr($image, 0, length $model) = $model;
  substr($image, $firmware_offset, 12) = pack("V3", 2, 0, 1);
  substr($image, $data_size, 4) = pack("V", crc32(substr($image, 0, $data_size)));
  open(my $out, ">:raw", $path) or die "$path: $!\n";
  print $out $image;
  close($out) or die "$path: $!\n";
' "$setup_cfg" "$model_name" "$setup_size" "$setup_data_size" "$firmware_offset"
if ! "$probe" setup-cfg "$setup_cfg" --reset >/dev/null; then
  rm -f "$setup_cfg"
  echo "demo-card: setup.cfg could not be written" >&2
  exit 1
fi
echo "$first_recording"
