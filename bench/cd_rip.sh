#!/usr/bin/env bash
# Extraction speed: every track of a 10-track, 40-minute disc image to WAV files, by
# `trackmill rip`, by cd-paranoia on the same image, and by cat of the .bin (the limit set by
# the disk). One run each, wall time; ratios printed. Build with -DCMAKE_BUILD_TYPE=Release.
# Then the fair comparison: our reads are not verified, so `cd-paranoia -Z` (no paranoia
# checks) is the peer; best of RUNS runs each (default 5), wall and user+system CPU time.
# Usage: bench/cd_rip.sh [BUILD_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-5}
trackmill=$build/bin/trackmill
discimage=$build/bin/discimage
require_built "$trackmill" "$discimage"
require_installed cd-paranoia

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TRACKMILL_HOME=$work/home
mkdir -p "$TRACKMILL_HOME" "$work/ours" "$work/paranoia" "$work/cat"

make_forty_minute_disc "$discimage" "$work/disc"

start=$(now)
cat "$work/disc.bin" > "$work/cat/disc.raw"
sync "$work/cat/disc.raw"
cat_time=$(seconds "$start" "$(now)")
rm -f "$work/cat/disc.raw"

start=$(now)
"$trackmill" rip --disc-image "$work/disc.cue" --format wav --output "$work/ours" --no-accuraterip > /dev/null 2>&1
sync "$work"/ours/*.wav
ours_time=$(seconds "$start" "$(now)")
rm -f "$work"/ours/*.wav

start=$(now)
(cd "$work/paranoia" && for t in $(seq 10); do
  cd-paranoia -q -d "$work/disc.cue" -w "$t" "track$t.wav" > /dev/null 2>&1
done)
sync "$work"/paranoia/*.wav
paranoia_time=$(seconds "$start" "$(now)")

printf 'cat of the .bin:   %6.2f s\n' "$cat_time"
printf 'trackmill rip:     %6.2f s\n' "$ours_time"
printf 'cd-paranoia:       %6.2f s\n' "$paranoia_time"
echo "ratio trackmill / cd-paranoia: $(ratio "$ours_time" "$paranoia_time") (target <= 1.0)"
echo "ratio trackmill / cat:         $(ratio "$ours_time" "$cat_time") (target <= 3)"

rip_ours() {
  rm -f "$work"/ours/*
  "$trackmill" rip --disc-image "$work/disc.cue" --format wav --output "$work/ours" --no-accuraterip --yes
  sync "$work"/ours/*.wav
}
rip_unchecked() {
  rm -f "$work"/paranoia/*
  (cd "$work/paranoia" && for t in $(seq 10); do cd-paranoia -Z -q -d "$work/disc.cue" -w "$t" "track$t.wav"; done)
  sync "$work"/paranoia/*.wav
}
report_best "$runs" "trackmill rip" "$(best_of "$runs" rip_ours)" "cd-paranoia -Z" "$(best_of "$runs" rip_unchecked)" 1.0
