#!/usr/bin/env bash
# Ripping to MP3: every track of a 10-track, 40-minute disc image by `trackmill rip` at the
# default settings (128 kbit/s joint stereo), against cd-paranoia followed by
# `lame -b 128 -m j` of each track, one after another in a shell loop. One run each, wall
# time; the ratio is printed. Build with -DCMAKE_BUILD_TYPE=Release.
# Usage: bench/jobs_rip_mp3.sh [BUILD_DIR]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
trackmill=$build/bin/trackmill
discimage=$build/bin/discimage
require_built "$trackmill" "$discimage"
require_installed cd-paranoia lame

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TRACKMILL_HOME=$work/home
mkdir -p "$TRACKMILL_HOME" "$work/ours" "$work/peer"

make_forty_minute_disc "$discimage" "$work/disc" --music

start=$(now)
"$trackmill" rip --disc-image "$work/disc.cue" --format mp3 --output "$work/ours" --no-accuraterip > /dev/null 2>&1
sync "$work"/ours/*.mp3
ours_time=$(seconds "$start" "$(now)")
ours_count=$(ls "$work"/ours/*.mp3 | wc -l)

start=$(now)
(cd "$work/peer" && for t in $(seq 10); do
  cd-paranoia -q -d "$work/disc.cue" -w "$t" "track$t.wav" > /dev/null 2>&1
  lame -b 128 -m j "track$t.wav" "track$t.mp3" > /dev/null 2>&1
  rm -f "track$t.wav"
done)
sync "$work"/peer/*.mp3
peer_time=$(seconds "$start" "$(now)")

printf 'trackmill rip --format mp3:   %7.2f s (%d files)\n' "$ours_time" "$ours_count"
printf 'cd-paranoia + lame loop:      %7.2f s\n' "$peer_time"
echo "ratio trackmill / peer: $(ratio "$ours_time" "$peer_time" 3) (target <= 1.05)"
