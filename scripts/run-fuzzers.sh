#!/usr/bin/env bash
# Runs the fuzz targets. Usage: scripts/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
# SECONDS 0 runs each target over its seed corpus only (what CI does); otherwise each target
# runs that long and a line gives its executions, executions per second, coverage and memory.
# TARGET names (e.g. ini, cd_image) pick targets; default all. Findings go to
# BUILD_DIR/fuzz-findings. FUZZ_KEEP=DIR keeps each target's new inputs in DIR/NAME, for
# merging into the seeds.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
seconds=${2:-0}
shift 2 || shift $#
shopt -s nullglob
# Library leaks are suppressed by the library's file name, which the fast unwinder reaches.
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp}
# The targets free everything per input, but AddressSanitizer holds freed blocks back (256 MB
# of them by default, several times that with their red zones) to catch late uses; with many
# small strings per input that looked like memory growing for a hundred thousand runs. A
# smaller hold still spans many inputs.
export ASAN_OPTIONS="quarantine_size_mb=32${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
status=0
targets=("$@")
[ ${#targets[@]} -gt 0 ] || for t in "$build"/fuzz/fuzz_*; do [ -f "$t" ] && [ -x "$t" ] && targets+=("${t##*/fuzz_}"); done
for name in "${targets[@]}"; do
  target="$build/fuzz/fuzz_$name"
  corpus="$root/fuzz/corpus/$name"
  mkdir -p "$corpus"
  if [ "$seconds" = 0 ]; then
    echo "-- $name over $(ls "$corpus" | wc -l) seeds"
    "$target" -runs=0 "$corpus" 2>&1 | tail -n 2 || status=1
    continue
  fi
  if [ -n "${FUZZ_KEEP:-}" ]; then work="$FUZZ_KEEP/$name"; else work=$(mktemp -d); fi
  findings="$build/fuzz-findings/"
  mkdir -p "$work" "$findings"
  log=$(mktemp)
  "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings$name-" \
    "$work" "$corpus" >"$log" 2>&1 || status=1
  # The last status line carries the coverage; the final statistics the counts.
  awk -v name="$name" '
    /^#[0-9]+/ { for (i = 1; i <= NF; ++i) { if ($i == "cov:") cov = $(i + 1); if ($i == "ft:") ft = $(i + 1) } }
    /stat::number_of_executed_units/ { runs = $2 }
    /stat::average_exec_per_sec/ { speed = $2 }
    /stat::peak_rss_mb/ { rss = $2 }
    /ERROR|SUMMARY|Test unit written/ { findings = findings "\n   " $0 }
    END { printf "%-12s %10d runs %7d exec/s  cov: %s ft: %s  rss: %s MB%s\n", name, runs, speed, cov, ft, rss, findings }
  ' "$log"
  rm -f "$log"
  [ -n "${FUZZ_KEEP:-}" ] || rm -rf "$work"
done
exit $status
