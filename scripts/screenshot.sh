#!/usr/bin/env bash
# Opens the built Tidewell on a virtual X screen and saves a picture of its window.
#   scripts/screenshot.sh [OUT.png] [BUILD_DIR]
#   scripts/screenshot.sh --browse [OUT.png] [BUILD_DIR] [details|large]
#   scripts/screenshot.sh --secure [OUT.png] [BUILD_DIR]
#   scripts/screenshot.sh --connecting [OUT.png] [BUILD_DIR]
#   scripts/screenshot.sh --downloading [OUT.png] [BUILD_DIR]
# --browse starts the demo FTP server, logs in to it through the window's own
# Login button (bench/browse_shot, offscreen) and pictures the listing; large
# enlarges the window to 1400x1000 first. --secure does the same over explicit
# TLS (the demo's --tls, its certificate trusted), with the padlock showing.
# --connecting logs in to a port that accepts and never answers, pictures the
# window while it connects, and fails unless Cancel Transfer frees it at once.
# --downloading starts the demo FTP server, logs in, downloads large.bin into a
# throwaway folder, pictures the window part way through the file, and fails
# unless the run ends with the completion notice and the file arrives whole.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
browse= connecting= downloading= tls=() scheme=
if [ "${1:-}" = "--browse" ]; then browse=1; shift; fi
if [ "${1:-}" = "--secure" ]; then browse=1 tls=(--tls) scheme=ftpes://; shift; fi
if [ "${1:-}" = "--connecting" ]; then connecting=1; shift; fi
if [ "${1:-}" = "--downloading" ]; then browse=1 downloading=1; shift; fi
out=$(realpath -m "${1:-$here/screenshot.png}")
build=${2:-$here/build}
app="$build/src/tidewell"
[ -x "$app" ] || { echo "not built: $app (run scripts/setup.sh first)" >&2; exit 1; }

# Preferences and settings of this run stay in a throwaway home.
scratch=$(mktemp -d)
server=
cleanup() {
  [ -n "$server" ] && { kill "$server" 2>/dev/null; wait "$server" 2>/dev/null || true; }
  rm -rf "$scratch"
}
trap cleanup EXIT

if [ -n "$connecting" ]; then
  cmake --build "$build" -j2 --target browse_shot >/dev/null
  /usr/bin/python3 -c '
import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(8)
print(s.getsockname()[1], flush=True); time.sleep(600)' > "$scratch/silent-port" &
  server=$!
  for _ in $(seq 1 100); do [ -s "$scratch/silent-port" ] && break; sleep 0.1; done
  XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" QT_QPA_PLATFORM=offscreen \
    "$build/bench/browse_shot" "127.0.0.1:$(cat "$scratch/silent-port")" demo demo "" "$out" connecting
  echo "$out"
  exit 0
fi

if [ -n "$browse" ]; then
  cmake --build "$build" -j2 --target browse_shot >/dev/null
  /usr/bin/python3 "$here/scripts/demo-server.py" --home "$scratch/demo" "${tls[@]}" &
  server=$!
  for _ in $(seq 1 300); do
    [ -s "$scratch/demo/port" ] && break
    kill -0 "$server" 2>/dev/null || { echo "the demo FTP server did not start" >&2; exit 1; }
    sleep 0.1
  done
  [ -s "$scratch/demo/port" ] || { echo "the demo FTP server did not start in time" >&2; exit 1; }
  if [ -n "$downloading" ]; then
    mkdir "$scratch/downloads"
    XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" QT_QPA_PLATFORM=offscreen \
      "$build/bench/browse_shot" "127.0.0.1:$(cat "$scratch/demo/port")" demo demo "" "$out" \
      downloading large.bin "$scratch/downloads"
    cmp -s "$scratch/demo/root/large.bin" "$scratch/downloads/large.bin" ||
      { echo "large.bin did not arrive whole" >&2; exit 1; }
    echo "$out"
    exit 0
  fi
  XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" QT_QPA_PLATFORM=offscreen \
    "$build/bench/browse_shot" "${scheme}127.0.0.1:$(cat "$scratch/demo/port")" demo demo "" "$out" "${3:-}"
  echo "$out"
  exit 0
fi

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
