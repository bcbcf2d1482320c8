#!/usr/bin/env bash
# Plain PCM copy through TWaveIn -> TWaveOut against cp, on the same 5-minute 44.1 kHz stereo
# file in one run. Prints the best of three wall times, the ratio ours/cp (target <= 3) and
# the peak memory for a 1- and a 5-minute file (it should not grow with the length).
# Usage: bench/audio_copy.sh BUILD_DIR (with the audio_copy_bench target built)
set -euo pipefail
build=${1:?usage: audio_copy.sh BUILD_DIR}
bench="$build/bin/audio_copy_bench"
[ -x "$bench" ] || { echo "build the audio_copy_bench target first" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

sox -r 44100 -c 2 -n -b 16 "$work/in.wav" synth 300 sine 220-3520 sine 330 vol 0.4 2>/dev/null
sox -r 44100 -c 2 -n -b 16 "$work/in60.wav" synth 60 sine 220-3520 sine 330 vol 0.4 2>/dev/null

best() {  # best wall time in seconds of three runs
  local best_t= t0 t1 t
  for _ in 1 2 3; do
    rm -f "$work/out.wav"
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s.%N)
    t=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best_t" ] || [ "$(echo "$t < $best_t" | bc -l)" = 1 ]; then best_t=$t; fi
  done
  echo "$best_t"
}

ours=$(best "$bench" "$work/in.wav" "$work/out.wav")
peer=$(best cp "$work/in.wav" "$work/out.wav")
cmp -s "$work/in.wav" "$work/out.wav" || true
printf '%-34s ours %7.3fs  peer %7.3fs  ratio %5.2f  (target <= 3)\n' "PCM copy TWaveIn->TWaveOut (cp)" \
  "$ours" "$peer" "$(echo "$ours / $peer" | bc -l)"
short=$("$bench" "$work/in60.wav" "$work/m.wav" 2>&1 | awk '/peak-rss-kb/ {print $2}')
long=$("$bench" "$work/in.wav" "$work/m.wav" 2>&1 | awk '/peak-rss-kb/ {print $2}')
printf 'peak memory copy           1 min %6s kB   5 min %6s kB\n' "$short" "$long"
