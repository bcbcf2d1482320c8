#!/usr/bin/env bash
# Renders every window of Trackmill to PNG files on the offscreen platform (no display
# needed), in English and in German, each in the default (light) palette and in a dark one
# (Fusion with a dark palette, files named *-dark.png): the main window with a generated disc listed, then with
# a twenty-track album of several artists and its cover, and while a title is typed in place, every page
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
# A full album of several artists. Only its table of contents is read, so its audio is a
# sparse file of silence: the lengths are an album's, the disk space nothing.
lengths=(201 187 244 163 318 225 196 272 149 233 208 261 177 295 214 189 242 170 306 258)
album_tracks=()
for seconds in "${lengths[@]}"; do album_tracks+=(--track "${seconds}s"); done
"$build/bin/discimage" --out "$work/album" --bin-sectors 1 "${album_tracks[@]}"
total=0
for seconds in "${lengths[@]}"; do total=$((total + seconds * 75)); done
truncate -s $((total * 2352)) "$work/album.bin"
album_args=()
for n in $(seq 1 20); do
  album_args+=(--title "Study No. $n")
  case $((n % 4)) in
    1) album_args+=(--track-artist "The Generated Ensemble feat. Zoë Ñandú") ;;
    2) album_args+=(--track-artist "Quartet of the Sine") ;;
    *) album_args+=(--track-artist "") ;;
  esac
done
"$build/bin/demo-discinfo" --disc-image "$work/album.cue" --artist "The Generated Ensemble" \
  --album "Sine Studies, Complete" --year 2026 --genre Instrumental "${album_args[@]}"
"$build/bin/screenshots" --disc-image "$work/disc.cue" --album-image "$work/album.cue" "$out" English German
"$build/bin/screenshots" --dark --disc-image "$work/disc.cue" --album-image "$work/album.cue" "$out" English German
rm -rf "$work"
ls "$out"/*.png
