#!/usr/bin/env bash
# Opens the built Tidewell on a virtual X screen and saves a picture of its window.
#   scripts/screenshot.sh [OUT.png] [BUILD_DIR]
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
out=$(realpath -m "${1:-$here/screenshot.png}")
build=${2:-$here/build}
app="$build/src/tidewell"
[ -x "$app" ] || { echo "not built: $app (run scripts/setup.sh first)" >&2; exit 1; }

# Preferences and settings of this run stay in a throwaway home.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -euo pipefail
  app=$1 out=$2
  "$app" & pid=$!
  trap "kill $pid 2>/dev/null || true" EXIT
  # Wait (at most 20 s) until the main window is mapped.
  win=
  for _ in $(seq 200); do
    win=$(xwininfo -root -tree 2>/dev/null | awk "/\"Tidewell - \\[/ {print \$1; exit}")
    if [ -n "$win" ] && xwininfo -id "$win" | grep -q "IsViewable"; then break; fi
    win=
    sleep 0.1
  done
  [ -n "$win" ] || { echo "the window did not appear" >&2; exit 1; }
  sleep 1 # let the first paint finish
  import -window "$win" "$out"
' _ "$app" "$out"
echo "$out"
