#!/usr/bin/env bash
# Encoding on every core. Ripping to MP3: every track of a 10-track, 40-minute disc image by
# `trackmill rip` at the default settings (128 kbit/s joint stereo, one encoder per
# processor), against `cd-paranoia -Z` followed by `lame -b 128 -m j` of each track, one after
# another in a shell loop. Then a file job: the ten tracks as WAV files by `trackmill convert
# wav2mp3`, against lame in a loop. Best of RUNS runs each (default 1), wall and user+system
# CPU time; ratios printed (wall target <= 0.6 on two cores).
# Usage: bench/jobs_rip_mp3.sh [BUILD_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-1}
trackmill=$build/bin/trackmill
discimage=$build/bin/discimage
require_built "$trackmill" "$discimage"
require_installed cd-paranoia lame

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TRACKMILL_HOME=$work/home
mkdir -p "$TRACKMILL_HOME" "$work/ours" "$work/peer" "$work/wavs"

make_forty_minute_disc "$discimage" "$work/disc" --music
"$trackmill" rip --disc-image "$work/disc.cue" --format wav --output "$work/wavs" --no-accuraterip --yes \
  > /dev/null 2>&1

rip_ours() {
  rm -f "$work"/ours/*
  "$trackmill" rip --disc-image "$work/disc.cue" --format mp3 --output "$work/ours" --no-accuraterip --yes
  sync "$work"/ours/*.mp3
}
rip_peer() {
  rm -f "$work"/peer/*
  (cd "$work/peer" && for t in $(seq 10); do
    cd-paranoia -Z -q -d "$work/disc.cue" -w "$t" "track$t.wav"
    lame -b 128 -m j "track$t.wav" "track$t.mp3"
    rm -f "track$t.wav"
  done)
  sync "$work"/peer/*.mp3
}
convert_ours() {
  rm -f "$work"/ours/*
  "$trackmill" convert wav2mp3 "$work"/wavs/*.wav --output "$work/ours" --yes
  sync "$work"/ours/*.mp3
}
convert_peer() {
  rm -f "$work"/peer/*
  for wav in "$work"/wavs/*.wav; do lame -b 128 -m j "$wav" "$work/peer/$(basename "$wav" .wav).mp3"; done
  sync "$work"/peer/*.mp3
}

report() {
  local name=$1 ours=$2 peer=$3 ours_wall ours_cpu peer_wall peer_cpu
  read -r ours_wall ours_cpu <<< "$ours"
  read -r peer_wall peer_cpu <<< "$peer"
  printf '%s: trackmill %.2f s wall, %.2f s CPU; peer %.2f s wall, %.2f s CPU\n' \
    "$name" "$ours_wall" "$ours_cpu" "$peer_wall" "$peer_cpu"
  echo "ratio $name wall: $(ratio "$ours_wall" "$peer_wall") (target <= 0.6), CPU: $(ratio "$ours_cpu" "$peer_cpu")"
}
report "rip to MP3 vs cd-paranoia -Z + lame" "$(best_of "$runs" rip_ours)" "$(best_of "$runs" rip_peer)"
report "ten WAVs to MP3 vs lame loop" "$(best_of "$runs" convert_ours)" "$(best_of "$runs" convert_peer)"
