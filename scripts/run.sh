#!/usr/bin/env bash
# Sets everything up, builds, and opens Tidewell.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
"$here/scripts/setup.sh"
exec "$here/build/src/tidewell" "$@"
