#!/usr/bin/env bash
# Renders every window of Trackmill to PNG files on the offscreen platform (no display
# needed), in English and in German, each in the default (light) palette and in a dark one
# (Fusion with a dark palette, files named *-dark.png): the main window with a generated disc listed, every page
# of the options dialog over it, the summary that ends a rip (all verified, database out of
# reach, a failed track), the job window and the fallback extraction window in the
# middle of a rip, the wave file converter with a ripped track as its input, and every other
# window as it opens.
# Usage: scripts/screenshots.sh [BUILD_DIR]     (default: build/; pictures in BUILD_DIR/screenshots/)
# Uses a settings folder of its own, never the user's.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(realpath -m "${1:-$root/build}")
if [ ! -f "$build/build.ninja" ]; then "$root/scripts/build.sh" "$build" >/dev/null; fi
cmake --build "$build" --target screenshots discimage demo-discinfo >/dev/null

out=$build/screenshots
work=$out/work
rm -rf "$work"
mkdir -p "$work/home" "$work/ripped"
export TRACKMILL_HOME=$work/home QT_QPA_PLATFORM=offscreen
cat > "$TRACKMILL_HOME/options.ini" <<INI
[CommonOptions]
OutputFolder=$work/ripped
OutputFormat=1
INI
# Five tracks of generated music, named as a CDDB lookup or the user would.
"$build/bin/discimage" --out "$work/disc" --music --track 214s --track 187s --track 305s \
  --track 142s --track 263s
"$build/bin/demo-discinfo" --disc-image "$work/disc.cue" --artist "The Generated Ensemble" \
  --album "Sine Studies" --year 2026 --genre Instrumental --title "Morning Scale" \
  --title "Arpeggio in Blue" --title "Little Waltz" --title "Night Train" --title "Coda"
"$build/bin/screenshots" --disc-image "$work/disc.cue" "$out" English German
"$build/bin/screenshots" --dark --disc-image "$work/disc.cue" "$out" English German
rm -rf "$work"
ls "$out"/*.png
