#!/usr/bin/env bash
# A tree of 20 directories x 100 files x 16 KiB downloaded over SFTP by ours
# (bench/download_run, 4 connections, the product's default) and by lftp
# (mirror --parallel=4 over sftp://, OpenSSH's ssh underneath), from OpenSSH's
# sshd behind bench/ftp-delay-proxy.py --plain, in a network namespace of its
# own. Every result is compared with its source.
#   bench/sftp-tree-bench.sh [BUILD_DIR] [RTT_MS]          (round trip: 10)
# Environment: RUNS (runs per case, medians; 3). Needs root.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/sshd.sh
. "$here/bench/sshd.sh"
# shellcheck source=bench/common.sh
. "$here/bench/common.sh"

# One case (internal), in its own network namespace: prints "elapsed cpu".
if [ "${1:-}" = --case ]; then
  name=$2 work=$3 rtt=$4 build=$5
  ip link set lo up
  sshd_pid='' proxy_pid=''
  trap '[ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null; [ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null; wait 2>/dev/null || true' EXIT
  rm -f "$work/net/proxy-port"
  start_sshd "$work/net" "$work/root"
  /usr/bin/python3 "$here/bench/ftp-delay-proxy.py" --plain --target "$port" --rtt-ms "$rtt" \
    --port-file "$work/net/proxy-port" >/dev/null &
  proxy_pid=$!
  for _ in $(seq 100); do [ -s "$work/net/proxy-port" ] && break; sleep 0.05; done
  port=$(cat "$work/net/proxy-port")
  case $name in
    ours) set -- env CONNECTIONS=4 "$build/bench/download_run" "sftp://127.0.0.1:$port" "$user" "$pass" \
      "$work/root" "$work/down" tree ;;
    lftp4) set -- lftp -e "set sftp:connect-program 'ssh -a -x -i $work/net/client_ed25519 \
-o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR'; set cmd:fail-exit yes; \
mirror --parallel=4 $work/root/tree $work/down/tree; quit" "sftp://$user:x@127.0.0.1:$port" ;;
  esac
  measure "$work/out" "$@"
  exit 0
fi

build=${1:-$here/build}
rtt=${2:-10}
runs=${RUNS:-3}
[ "$(id -u)" -eq 0 ] || { echo "sftp-tree-bench: run as root (sshd logs in a local user)" >&2; exit 1; }
"$here/scripts/ftp-test-user.sh"
cmake --build "$build" -j2 --target download_run >/dev/null
make_work sftp-tree
mkdir -p "$work/net"
for d in $(seq 20); do
  mkdir -p "$work/root/tree/d$d"
  for f in $(seq 100); do head -c 16384 /dev/urandom >"$work/root/tree/d$d/f$f"; done
done
chown -R "$user:$user" "$work/root"
declare -A samples
for round in $(seq "$runs"); do
  for name in ours lftp4; do
    rm -rf "$work/down" && mkdir "$work/down"
    read -r e c < <(unshare --net -- bash "$here/bench/sftp-tree-bench.sh" --case "$name" "$work" "$rtt" "$build")
    diff -r "$work/root/tree" "$work/down/tree" >/dev/null ||
      { echo "sftp-tree-bench: $name did not bring the whole tree" >&2; exit 1; }
    samples[$name]+="$e "
    echo "  $name (run $round): $e s, $c CPU s" >&2
  done
done
ours=$(printf '%s\n' ${samples[ours]} | median)
lftp=$(printf '%s\n' ${samples[lftp4]} | median)
printf '2,000 files of 16 KiB at %s ms: ours %s s, lftp mirror --parallel=4 %s s, ratio %s (target <= 0.5)\n' \
  "$rtt" "$ours" "$lftp" "$(ratio "$ours" "$lftp")"
