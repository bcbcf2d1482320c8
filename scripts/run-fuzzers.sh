#!/usr/bin/env bash
# Runs every fuzz target. Usage: scripts/run-fuzzers.sh BUILD_DIR SECONDS
# SECONDS 0 runs each target over its seed corpus only (what CI does).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=${2:-0}
shopt -s nullglob
# Leaks that third-party libraries make on bad input are suppressed by the function of ours
# or theirs that called in (tests/lsan.supp). The fast unwinder stops at the first library
# frame built without frame pointers and never reaches those names, so unwind slowly.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}fast_unwind_on_malloc=0"
for target in "$build"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] || continue
  name=$(basename "$target")
  corpus="$root/fuzz/corpus/${name#fuzz_}"
  mkdir -p "$corpus"
  if [ "$seconds" = 0 ]; then
    echo "-- $name over $(ls "$corpus" | wc -l) seeds"
    "$target" -runs=0 "$corpus" 2>&1 | tail -n 2
  else
    work=$(mktemp -d)
    echo "-- $name for ${seconds}s"
    "$target" -max_total_time="$seconds" -print_final_stats=1 "$work" "$corpus" 2>&1 | grep -E 'stat::number_of_executed_units|ERROR|SUMMARY' || true
    rm -rf "$work"
  fi
done
