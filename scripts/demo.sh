#!/usr/bin/env bash
# Sets up a fresh machine, builds Trackmill and shows what it does: the track list of the
# demo disc image the build generates, then the rip of that disc to WAV files.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build"
"$build/bin/trackmill" --version
"$build/bin/trackmill" toc --disc-image "$build/demo/demo.cue"
"$build/bin/trackmill" rip --disc-image "$build/demo/demo.cue" --format mp3 --yes --output "$build/demo/ripped"
