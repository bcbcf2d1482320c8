#!/usr/bin/env bash
# Plain PCM copy through TWaveIn -> TWaveOut against cp, on the same 5-minute 44.1 kHz stereo
# file in one run. Prints the best of three wall times, the ratio ours/cp (target <= 3) and
# the peak memory for a 1- and a 5-minute file (it should not grow with the length).
# Usage: bench/audio_copy.sh BUILD_DIR (with the audio_copy_bench target built)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=${1:?usage: audio_copy.sh BUILD_DIR}
bench="$build/bin/audio_copy_bench"
require_built "$bench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_sweep_wavs "$work"

fresh() {  # runs the command with no output file left from the run before
  rm -f "$work/out.wav"
  "$@"
}

ours=$(best fresh "$bench" "$work/in.wav" "$work/out.wav")
peer=$(best fresh cp "$work/in.wav" "$work/out.wav")
cmp -s "$work/in.wav" "$work/out.wav" || true
printf '%-34s ours %7.3fs  peer %7.3fs  ratio %5.2f  (target <= 3)\n' "PCM copy TWaveIn->TWaveOut (cp)" \
  "$ours" "$peer" "$(echo "$ours / $peer" | bc -l)"
short=$("$bench" "$work/in60.wav" "$work/m.wav" 2>&1 | awk '/peak-rss-kb/ {print $2}')
long=$("$bench" "$work/in.wav" "$work/m.wav" 2>&1 | awk '/peak-rss-kb/ {print $2}')
printf 'peak memory copy           1 min %6s kB   5 min %6s kB\n' "$short" "$long"
