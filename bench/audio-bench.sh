#!/usr/bin/env bash
# Audio speed against the peer tools, on the same 5-minute 44.1 kHz stereo file in one run.
# Prints wall time of ours and the peer's (best of three) and the ratio ours/peer.
# Usage: bench/audio-bench.sh BUILD_DIR (a Release build with the audio_bench target built)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=${1:?usage: audio-bench.sh BUILD_DIR}
bench="$build/bin/audio_bench"
require_built "$bench"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

make_sweep_wavs "$work"
sox "$work/in.wav" -e ima-adpcm "$work/in-ima.wav"

row() {  # name target ours... -- peer...
  local name=$1 target=$2
  shift 2
  local ours=() peer=()
  while [ "$1" != "--" ]; do ours+=("$1"); shift; done
  shift
  peer=("$@")
  local to tp
  to=$(best "${ours[@]}")
  tp=$(best "${peer[@]}")
  printf '%-34s ours %7.3fs  peer %7.3fs  ratio %5.2f  (target <= %s)\n' "$name" "$to" "$tp" \
    "$(echo "$to / $tp" | bc -l)" "$target"
}

echo "5-minute 44.1 kHz stereo 16-bit file, $(nproc) cores"
row "resample 44100->22050 (sox rate -q)" 1.0 "$bench" resample22050 "$work/in.wav" "$work/o1.wav" -- \
  sox "$work/in.wav" "$work/p1.wav" rate -q 22050
row "16-bit stereo -> 8-bit mono (sox)" 1.0 "$bench" mono8 "$work/in.wav" "$work/o2.wav" -- \
  sox "$work/in.wav" -b 8 -c 1 "$work/p2.wav"
row "IMA ADPCM encode (sox)" 0.2 "$bench" ima "$work/in.wav" "$work/o3.wav" -- \
  sox "$work/in.wav" -e ima-adpcm "$work/p3.wav"
row "IMA ADPCM decode (sox)" 1.0 "$bench" pcm16 "$work/in-ima.wav" "$work/o4.wav" -- \
  sox "$work/in-ima.wav" -b 16 -e signed-integer "$work/p4.wav"
row "WAV -> Ogg q0.2 (oggenc -q 2)" 1.05 "$bench" ogg "$work/in.wav" "$work/o5.ogg" -- \
  oggenc -Q -q 2 -o "$work/p5.ogg" "$work/in.wav"

for op in resample22050 mono8 ima ogg; do
  ext=wav
  [ "$op" = ogg ] && ext=ogg
  short=$("$bench" $op "$work/in60.wav" "$work/m.$ext" 2>&1 | awk '/peak-rss-kb/ {print $2}')
  long=$("$bench" $op "$work/in.wav" "$work/m.$ext" 2>&1 | awk '/peak-rss-kb/ {print $2}')
  printf 'peak memory %-14s 1 min %6s kB   5 min %6s kB\n' "$op" "$short" "$long"
done
