#!/usr/bin/env bash
# Configures and builds Trackmill into a build folder.
# Usage: [TRACKMILL_BUILD_TARGETS="a b"] scripts/build.sh [BUILD_DIR] [extra cmake arguments...]
# TRACKMILL_BUILD_TARGETS names the targets to build; everything is built when it is unset.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shift || true
# Lets clean checkouts in other folders (CI) reuse the compiler cache.
export CCACHE_BASEDIR=$root CCACHE_NOHASHDIR=1
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
if [ ! -f "$build/build.ninja" ]; then
  cmake -S "$root" -B "$build" -G Ninja "${launcher[@]}" "$@" >/dev/null
fi
targets=()
for target in ${TRACKMILL_BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$build" -j"$(nproc)" "${targets[@]}"
