#!/usr/bin/env bash
# Ripping to FLAC: every track of a 10-track, 40-minute disc image by `trackmill rip` at the
# default settings (level 5, one encoder per processor), against `cd-paranoia -Z` followed by
# `flac -5` of each track, one after another in a shell loop. Best of RUNS runs each (default
# 3), wall and user+system CPU time; ratios printed (wall target <= 0.6 on two cores, CPU
# <= 1.05). Then our peak resident memory for the 40-minute disc and for a 20-minute one (it
# should not grow with the disc's length), from /usr/bin/time when present, else skipped.
# Build with -DCMAKE_BUILD_TYPE=Release.
# Usage: bench/rip_flac.sh [BUILD_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-release}
runs=${2:-3}
trackmill=$build/bin/trackmill
discimage=$build/bin/discimage
require_built "$trackmill" "$discimage"
require_installed cd-paranoia flac

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TRACKMILL_HOME=$work/home
mkdir -p "$TRACKMILL_HOME" "$work/ours" "$work/peer"

make_forty_minute_disc "$discimage" "$work/disc" --music
"$discimage" --music --out "$work/short" --track 240s --track 240s --track 240s --track 240s --track 240s \
  > /dev/null
cat "$work/short.bin" > /dev/null

rip_ours() {
  rm -f "$work"/ours/*
  "$trackmill" rip --disc-image "$work/disc.cue" --format flac --output "$work/ours" --no-accuraterip --yes
  sync "$work"/ours/*.flac
}
rip_peer() {
  rm -f "$work"/peer/*
  (cd "$work/peer" && for t in $(seq 10); do
    cd-paranoia -Z -q -d "$work/disc.cue" -w "$t" "track$t.wav"
    flac -5 -s -f "track$t.wav" -o "track$t.flac"
    rm -f "track$t.wav"
  done)
  sync "$work"/peer/*.flac
}
report_best "$runs" "trackmill rip" "$(best_of "$runs" rip_ours)" "cd-paranoia -Z + flac -5" \
  "$(best_of "$runs" rip_peer)" 0.6
echo "(CPU target <= 1.05)"

# peak_rss DISC: the largest resident set of a rip of DISC, in MB.
peak_rss() {
  rm -f "$work"/ours/*
  /usr/bin/time -v -o "$work/time.log" "$trackmill" rip --disc-image "$1.cue" --format flac \
    --output "$work/ours" --no-accuraterip --yes > /dev/null 2>&1
  awk -F': ' '/Maximum resident set size/ { printf "%.0f", $2 / 1024 }' "$work/time.log"
}
if [ -x /usr/bin/time ] && /usr/bin/time -v true > /dev/null 2>&1; then
  echo "peak RSS of trackmill rip: 40-minute disc $(peak_rss "$work/disc") MB," \
    "20-minute disc $(peak_rss "$work/short") MB"
else
  echo "peak RSS skipped: /usr/bin/time -v is not available"
fi
