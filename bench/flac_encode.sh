#!/usr/bin/env bash
# FLAC encoding: a 5-minute 44.1 kHz stereo WAV by `trackmill convert wav2flac` (level 5, the
# default) and by `flac -5` on the same file. Best of RUNS runs each (default 5), wall and
# user+system CPU time; ratios printed (target <= 1.05).
# Usage: bench/flac_encode.sh [BUILD_DIR] [RUNS]
set -euo pipefail
source "$(dirname "$0")/lib.sh"
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
runs=${2:-5}
trackmill=$build/bin/trackmill
require_built "$trackmill"
require_installed flac sox

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export TRACKMILL_HOME=$work/home
mkdir -p "$TRACKMILL_HOME" "$work/ours"
make_sweep_wavs "$work"

ours() { "$trackmill" convert wav2flac "$work/in.wav" --output "$work/ours" --yes; }
peer() { flac -5 -s -f -o "$work/peer.flac" "$work/in.wav"; }
report_best "$runs" trackmill "$(best_of "$runs" ours)" "flac -5" "$(best_of "$runs" peer)" 1.05
