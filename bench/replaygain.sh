#!/usr/bin/env bash
# ReplayGain measurement (EBU R 128 integrated loudness and sample peak through libebur128)
# against ffmpeg's ebur128 filter on the same 5-minute 44.1 kHz stereo file in one run.
# Prints the best wall time of three runs of each and the ratio ours/peer.
# Usage: bench/replaygain.sh BUILD_DIR (with the replaygain_bench target built)
set -euo pipefail
source "$(dirname "$0")/lib.sh"
build=${1:?usage: replaygain.sh BUILD_DIR}
bench="$build/bin/replaygain_bench"
require_built "$bench"
require_installed sox ffmpeg
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
make_sweep_wavs "$work"

ours=$(best "$bench" "$work/in.wav")
peer=$(best ffmpeg -nostats -i "$work/in.wav" -af ebur128=peak=sample -f null -)
echo "5-minute 44.1 kHz stereo 16-bit file, $(nproc) cores"
printf '%-34s ours %7.3fs  peer %7.3fs  ratio %s\n' "ReplayGain (ffmpeg -af ebur128)" "$ours" "$peer" \
  "$(ratio "$ours" "$peer")"
"$bench" "$work/in.wav"
ffmpeg -nostats -i "$work/in.wav" -af ebur128=peak=sample -f null - 2>&1 | grep -E '^\s+(I|Peak):'
