#!/usr/bin/env bash
# Runs the fuzz targets. Usage: scripts/run-fuzzers.sh BUILD_DIR SECONDS [TARGET...]
# SECONDS 0 runs each target over its seed corpus only (what CI does); otherwise each target
# runs that long and a line gives its executions, executions per second (of wall time and of
# its own processor time), coverage and peak memory.
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
# Memory stays flat only with two limits. AddressSanitizer holds freed blocks back to catch
# late uses (256 MB of them by default, several times that with their red zones); a smaller
# hold still spans many inputs. It also keeps every distinct allocation stack for good, and
# the fast unwinder, passing through Qt frames without frame pointers, makes up new ones
# without end: two frames name the allocation's place and stop that. For whole allocation
# stacks, rerun a finding with ASAN_OPTIONS=malloc_context_size=30.
export ASAN_OPTIONS="quarantine_size_mb=32:malloc_context_size=2${ASAN_OPTIONS:+:$ASAN_OPTIONS}"
status=0
targets=("$@")
[ ${#targets[@]} -gt 0 ] || for t in "$build"/fuzz/fuzz_*; do [ -f "$t" ] && [ -x "$t" ] && targets+=("${t##*/fuzz_}"); done
for name in "${targets[@]}"; do
  target="$build/fuzz/fuzz_$name"
  corpus="$root/fuzz/corpus/$name"
  findings="$build/fuzz-findings/"
  mkdir -p "$corpus" "$findings"
  if [ "$seconds" = 0 ]; then
    echo "-- $name over $(ls "$corpus" | wc -l) seeds"
    # The whole report when a seed fails, else the closing line.
    if output=$("$target" -runs=0 -artifact_prefix="$findings$name-" "$corpus" 2>&1); then grep -E '^Done' <<<"$output"; else echo "$output"; status=1; fi
    continue
  fi
  if [ -n "${FUZZ_KEEP:-}" ]; then work="$FUZZ_KEEP/$name"; else work=$(mktemp -d); fi
  mkdir -p "$work"
  log=$(mktemp)
  # Runs per second of wall time depend on what else the machine runs; runs per second of the
  # target's own processor time much less.
  TIMEFORMAT='cpu %U %S'
  { time "$target" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$findings$name-" \
      "$work" "$corpus" >"$log" 2>&1 || status=1; } 2>>"$log"
  # The last status line carries the coverage; the final statistics the counts.
  awk -v name="$name" '
    /^#[0-9]+/ { for (i = 1; i <= NF; ++i) { if ($i == "cov:") cov = $(i + 1); if ($i == "ft:") ft = $(i + 1) } }
    /stat::number_of_executed_units/ { runs = $2 }
    /stat::average_exec_per_sec/ { speed = $2 }
    /stat::peak_rss_mb/ { rss = $2 }
    /^cpu / { cpu = $2 + $3 }
    /ERROR|SUMMARY|Test unit written/ { findings = findings "\n   " $0 }
    END {
      printf "%-12s %10d runs %7d exec/s %7d per cpu s  cov: %s ft: %s  rss: %s MB%s\n",
             name, runs, speed, (cpu > 0 ? runs / cpu : 0), cov, ft, rss, findings
    }
  ' "$log"
  rm -f "$log"
  [ -n "${FUZZ_KEEP:-}" ] || rm -rf "$work"
done
exit $status
