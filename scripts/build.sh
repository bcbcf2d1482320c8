#!/usr/bin/env bash
# Configures and builds Trackmill into a build folder.
# Usage: scripts/build.sh [BUILD_DIR] [extra cmake arguments...]
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
cmake --build "$build" -j"$(nproc)"
