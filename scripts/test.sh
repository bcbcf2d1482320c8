#!/usr/bin/env bash
# Sets up a fresh machine, builds Trackmill and runs every test.
# Usage: scripts/test.sh [BUILD_DIR]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
"$root/scripts/setup.sh"
"$root/scripts/build.sh" "$build"
cd "$build"
ctest --output-on-failure -j"$(nproc)"
