#!/usr/bin/env bash
# Sets up a fresh machine, builds Trackmill and shows what it does: the demo disc image that
# the build generates is named (as a CDDB lookup or the user would), listed, and ripped to
# MP3 files with ID3 tags. Uses a demo settings folder, never the user's own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build
"$root/scripts/setup.sh"
# Only what the demo runs; the test command builds the rest.
TRACKMILL_BUILD_TARGETS="trackmill demo-discinfo demo_disc" "$root/scripts/build.sh" "$build" >/dev/null

disc=$build/demo/demo.cue
export TRACKMILL_HOME=$build/demo/home
output=$build/demo/ripped
rm -rf "$TRACKMILL_HOME" "$output"
mkdir -p "$TRACKMILL_HOME" "$output"
cat > "$TRACKMILL_HOME/options.ini" <<INI
[CommonOptions]
OutputFolder=$output
OutputFormat=0
[ID3]
Use=1
INI
"$build/bin/demo-discinfo" --disc-image "$disc" --artist "The Generated Ensemble" \
  --album "Sine Studies" --year 2026 --genre Instrumental \
  --title "Morning Scale" --title "Arpeggio in Blue" --title "Little Waltz" --title "Coda"

"$build/bin/trackmill" --version
echo
echo "Tracks of the demo disc ($disc):"
"$build/bin/trackmill" toc --disc-image "$disc"
echo
"$build/bin/trackmill" rip --disc-image "$disc" --format mp3 --yes --no-accuraterip
echo
echo "Tags of $output/Morning Scale.mp3:"
"$build/bin/trackmill" tag show "$output/Morning Scale.mp3"
