#!/usr/bin/env bash
# Sets everything up, builds, starts the bundled demo server on 127.0.0.1
# and opens Tidewell with a profile whose Site 1 points at it. The demo keeps
# its own preferences and settings file under build/demo/, apart from yours:
# the server keeps its port while it is free, and what was saved in the demo's
# settings file stays (only Site 1's address follows the port).
#   scripts/run.sh [--tls | --sftp] [paths to upload...]
# --tls: the demo server requires FTP over TLS, with a certificate of its own
# that Tidewell asks about on the first log-in.
# --sftp: the demo serves the same tree over SFTP instead, with a host key of
# its own (build/demo/sftp/) that Tidewell asks about on the first log-in.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# Only the application: the tests and benchmarks are scripts/test.sh's business.
"$here/scripts/setup.sh" --target tidewell
protocol=()
scheme=
case "${1:-}" in
  --tls) protocol=(--tls) scheme=ftpes:// && shift ;;
  --sftp) protocol=(--sftp) scheme=sftp:// && shift ;;
esac

demo=$here/build/demo
mkdir -p "$demo/config/Orvane" "$demo/data" "$demo/downloads"
rm -f "$demo/port"
# The demo's first start downloads into build/demo/downloads; later starts keep
# whatever Download To was left at. Every start opens the demo's own settings
# file, whatever file the last run ended on.
/usr/bin/python3 "$here/scripts/demo-server.py" --home "$demo" "${protocol[@]}" \
  --preferences "$demo/config/Orvane/Tidewell.conf" --downloads "$demo/downloads" &
server=$!
trap 'kill $server 2>/dev/null; wait $server 2>/dev/null || true' EXIT

# The first start makes the sample tree, which takes a few seconds.
for _ in $(seq 1 300); do
  [ -s "$demo/port" ] && break
  kill -0 $server 2>/dev/null || { echo "The demo server did not start." >&2; exit 1; }
  sleep 0.1
done
[ -s "$demo/port" ] || { echo "The demo server did not start in time." >&2; exit 1; }
echo "Demo server on ${scheme}127.0.0.1:$(cat "$demo/port") (user demo, password demo)"

XDG_CONFIG_HOME=$demo/config XDG_DATA_HOME=$demo/data "$here/build/src/tidewell" "$@"
