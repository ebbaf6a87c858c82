#!/usr/bin/env bash
# Opens the built Tidewell on a virtual X screen and saves a picture of its window.
#   scripts/screenshot.sh [OUT.png] [BUILD_DIR]
#   scripts/screenshot.sh --browse [OUT.png] [BUILD_DIR] [details|large]
#   scripts/screenshot.sh --secure [OUT.png] [BUILD_DIR]
#   scripts/screenshot.sh --sftp [OUT.png] [BUILD_DIR]
#   scripts/screenshot.sh --connecting [OUT.png] [BUILD_DIR]
#   scripts/screenshot.sh --downloading [OUT.png] [BUILD_DIR]
#   scripts/screenshot.sh --desktop [OUT_DIR] [BUILD_DIR]
# --browse starts the demo FTP server, logs in to it through the window's own
# Login button (bench/browse_shot, offscreen) and pictures the listing; large
# enlarges the window to 1400x1000 first. --secure does the same over explicit
# TLS (the demo's --tls, its certificate trusted), with the padlock showing;
# --sftp over SFTP (the demo's --sftp), the host-key question pictured beside
# OUT.png as OUT-host-key.png, then trusted.
# --connecting logs in to a port that accepts and never answers, pictures the
# window while it connects, and fails unless Cancel Transfer frees it at once.
# --downloading starts the demo FTP server, logs in, downloads large.bin into a
# throwaway folder, pictures the window part way through the file, and fails
# unless the run ends with the completion notice and the file arrives whole.
# --desktop runs the window on a virtual X screen under a real window manager
# (fluxbox, which honours the frame hints applications set), logs in to the
# demo FTP server and saves context-menu.png, connection-log.png and
# dialogs.png in OUT_DIR; it fails when the window manager offers to minimise
# or maximise "Overwrite File" or "Transfer Information".
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
browse= connecting= downloading= desktop= tls=() scheme=
if [ "${1:-}" = "--browse" ]; then browse=1; shift; fi
if [ "${1:-}" = "--secure" ]; then browse=1 tls=(--tls) scheme=ftpes://; shift; fi
if [ "${1:-}" = "--sftp" ]; then browse=1 tls=(--sftp) scheme=sftp://; shift; fi
if [ "${1:-}" = "--connecting" ]; then connecting=1; shift; fi
if [ "${1:-}" = "--downloading" ]; then browse=1 downloading=1; shift; fi
if [ "${1:-}" = "--desktop" ]; then browse=1 desktop=1; shift; fi
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
  if [ -n "$desktop" ]; then
    cmake --build "$build" -j2 --target desktop_shot >/dev/null
    out=$(realpath -m "${1:-$here/screenshots}")
    mkdir -p "$out" "$scratch/home/.fluxbox"
    # No wallpaper (its setter pops up a message without an image viewer), no toolbar.
    echo "background: none" >"$scratch/home/.fluxbox/overlay"
    printf 'session.styleOverlay: %s\nsession.screen0.toolbar.visible: false\n' \
      "$scratch/home/.fluxbox/overlay" >"$scratch/home/.fluxbox/init"
    HOME="$scratch/home" XDG_CONFIG_HOME="$scratch/config" XDG_DATA_HOME="$scratch/data" \
    xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
      set -euo pipefail
      fluxbox -rc "$HOME/.fluxbox/init" >/dev/null 2>&1 & wm=$!
      trap "kill $wm 2>/dev/null || true" EXIT
      # Wait (at most 10 s) until the window manager has taken the screen.
      for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.1
      done
      QT_QPA_PLATFORM=xcb "$1" "$2" demo demo "$3"
    ' _ "$build/bench/desktop_shot" "127.0.0.1:$(cat "$scratch/demo/port")" "$out"
    echo "$out"
    exit 0
  fi
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
    HOST_KEY_SHOT="${out%.png}-host-key.png" \
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
