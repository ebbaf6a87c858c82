#!/usr/bin/env bash
# Sets everything up, builds, and runs every test.
#   scripts/test.sh [BUILD_DIR] [extra cmake arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$here/build}
"$here/scripts/setup.sh" "$@"
cd "$build"
ctest --output-on-failure -j2
