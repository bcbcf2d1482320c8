# Shared pieces of the benchmark scripts (sourced, not run).

# best CMD...: best wall time in seconds of three runs of the command, output discarded.
best() {
  local best_t= t0 t1 t
  for _ in 1 2 3; do
    t0=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    t1=$(date +%s.%N)
    t=$(echo "$t1 - $t0" | bc -l)
    if [ -z "$best_t" ] || [ "$(echo "$t < $best_t" | bc -l)" = 1 ]; then best_t=$t; fi
  done
  echo "$best_t"
}

# make_sweep_wavs DIR: DIR/in.wav (5 minutes) and DIR/in60.wav (1 minute), 44.1 kHz 16-bit stereo.
make_sweep_wavs() {
  sox -r 44100 -c 2 -n -b 16 "$1/in.wav" synth 300 sine 220-3520 sine 330 vol 0.4 2>/dev/null
  sox -r 44100 -c 2 -n -b 16 "$1/in60.wav" synth 60 sine 220-3520 sine 330 vol 0.4 2>/dev/null
}

# require_built FILE...: each must be an executable of the build.
require_built() {
  for tool in "$@"; do
    [ -x "$tool" ] || { echo "missing $tool (build it first)" >&2; exit 1; }
  done
}

# require_installed NAME...: each must be on PATH.
require_installed() {
  for tool in "$@"; do
    command -v "$tool" >/dev/null || { echo "$tool is not installed (scripts/setup.sh)" >&2; exit 1; }
  done
}

# best_of N CMD...: "WALL CPU" seconds, each the least of N runs of the command (CPU is user +
# system time of the command and its children), output discarded. On a shared machine the CPU
# time is the steadier measure.
best_of() {
  local n=$1 best_wall= best_cpu= line wall cpu
  shift
  for _ in $(seq "$n"); do
    line=$( { TIMEFORMAT='%R %U %S'; time "$@" >/dev/null 2>&1; } 2>&1 | tail -1)
    wall=$(awk '{ print $1 }' <<< "$line")
    cpu=$(awk '{ print $2 + $3 }' <<< "$line")
    if [ -z "$best_wall" ] || awk -v a="$wall" -v b="$best_wall" 'BEGIN { exit !(a < b) }'; then best_wall=$wall; fi
    if [ -z "$best_cpu" ] || awk -v a="$cpu" -v b="$best_cpu" 'BEGIN { exit !(a < b) }'; then best_cpu=$cpu; fi
  done
  echo "$best_wall $best_cpu"
}

# report_best RUNS OURS_NAME "WALL CPU" PEER_NAME "WALL CPU" TARGET: the best_of results of
# trackmill and its peer side by side, then the wall and CPU ratios of trackmill to the peer.
report_best() {
  local runs=$1 ours_name=$2 peer_name=$4 target=$6 ours_wall ours_cpu peer_wall peer_cpu
  read -r ours_wall ours_cpu <<< "$3"
  read -r peer_wall peer_cpu <<< "$5"
  printf 'best of %d: %s %.2f s wall, %.2f s CPU; %s %.2f s wall, %.2f s CPU\n' \
    "$runs" "$ours_name" "$ours_wall" "$ours_cpu" "$peer_name" "$peer_wall" "$peer_cpu"
  echo "ratio trackmill / $peer_name, wall: $(ratio "$ours_wall" "$peer_wall") (target <= $target)"
  echo "ratio trackmill / $peer_name, CPU:  $(ratio "$ours_cpu" "$peer_cpu")"
}

# Wall-clock arithmetic for the one-run benchmarks.
now() { date +%s.%N; }
seconds() { awk -v a="$1" -v b="$2" 'BEGIN { print b - a }'; }
# ratio A B [DECIMALS]: A / B, two decimals unless told otherwise.
ratio() { awk -v a="$1" -v b="$2" -v d="${3:-2}" 'BEGIN { printf "%.*f", d, a / b }'; }

# make_forty_minute_disc DISCIMAGE PREFIX [OPTION...]: PREFIX.cue/.bin with ten 4-minute
# tracks, read once so that every contender starts from the page cache.
make_forty_minute_disc() {
  local discimage=$1 prefix=$2
  shift 2
  local tracks=()
  for _ in $(seq 10); do tracks+=(--track 240s); done
  "$discimage" "$@" --out "$prefix" "${tracks[@]}" > /dev/null
  cat "$prefix.bin" > /dev/null
}
