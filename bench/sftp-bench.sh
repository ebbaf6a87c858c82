#!/usr/bin/env bash
# The SFTP engine beside OpenSSH's sftp (batch mode) and curl (sftp://, over
# libssh2): a 1 GiB file downloaded and uploaded, OpenSSH's sshd on loopback,
# directly (round trip 0) and behind bench/ftp-delay-proxy.py --plain, which
# delays each direction by half the round trip. Ours is bench/sftp_transfer:
# SftpFileSystem alone, no run, no window. Every result is compared with its
# source; each client's time and CPU time (user + system, its children
# included) are those of its whole process, connecting and logging in too.
#   bench/sftp-bench.sh [BUILD_DIR] [RTT_MS...]        (round trips: 0 10)
# Environment: RUNS (runs per case, medians; 3), ONLY="case..." (a subset of
# get-ours get-sftp get-curl put-ours put-sftp put-curl).
# Needs root (sshd logs in the local test user of scripts/ftp-test-user.sh;
# every case runs in a network namespace of its own, with its own sshd and proxy).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=bench/sshd.sh
. "$here/bench/sshd.sh"
# shellcheck source=bench/common.sh
. "$here/bench/common.sh"
proxy=$here/bench/ftp-delay-proxy.py

# One case (internal), in the network namespace unshare gave it: sshd serving
# WORK/root, the proxy in front of it unless the round trip is 0, the case
# timed. Prints "elapsed user+system relayed-bytes" (the proxy's; 0 without it).
if [ "${1:-}" = "--case" ]; then
  name=$2 work=$3 rtt=$4 build=$5
  root=$work/root down=$work/down net=$work/net
  ip link set lo up
  sshd_pid='' proxy_pid=''
  trap '[ -n "$proxy_pid" ] && kill "$proxy_pid" 2>/dev/null; [ -n "$sshd_pid" ] && kill "$sshd_pid" 2>/dev/null; wait 2>/dev/null || true' EXIT
  rm -f "$net/proxy-port" "$net/proxy-stats"
  start_sshd "$net" "$root"
  if [ "$rtt" != 0 ]; then
    /usr/bin/python3 "$proxy" --plain --target "$port" --rtt-ms "$rtt" --port-file "$net/proxy-port" \
      --stats "$net/proxy-stats" >/dev/null &
    proxy_pid=$!
    for _ in $(seq 100); do
      [ -s "$net/proxy-port" ] && break
      sleep 0.05
    done
    [ -s "$net/proxy-port" ] || { echo "sftp-bench: the proxy did not start" >&2; exit 1; }
    port=$(cat "$net/proxy-port")
  fi
  key=(-i "$net/client_ed25519" -o StrictHostKeyChecking=no -o UserKnownHostsFile=/dev/null -o LogLevel=ERROR)
  url=sftp://127.0.0.1:$port
  case $name in
    get-ours) set -- "$build/bench/sftp_transfer" "127.0.0.1:$port" "$user" "$pass" get "$root/big.bin" "$down/big.bin" ;;
    put-ours) set -- "$build/bench/sftp_transfer" "127.0.0.1:$port" "$user" "$pass" put "$root/up/big.bin" "$work/src.bin" ;;
    get-sftp | put-sftp)
      if [ "$name" = get-sftp ]; then
        echo "get $root/big.bin $down/big.bin" >"$net/batch"
      else
        echo "put $work/src.bin $root/up/big.bin" >"$net/batch"
      fi
      set -- sftp -q -b "$net/batch" -P "$port" "${key[@]}" "$user@127.0.0.1" ;;
    # -k: no known_hosts here; the host key is the bench's own.
    get-curl) set -- curl -sS -k -u "$user:$pass" -o "$down/big.bin" "$url$root/big.bin" ;;
    put-curl) set -- curl -sS -k -u "$user:$pass" -T "$work/src.bin" "$url$root/up/big.bin" ;;
    *) echo "sftp-bench: no case $name" >&2; exit 2 ;;
  esac
  timing=$(measure "$work/out" "$@")
  relayed=0
  if [ -n "$proxy_pid" ]; then
    kill "$proxy_pid"
    wait "$proxy_pid" 2>/dev/null || true
    proxy_pid=
    relayed=$(awk '{ print $6 }' "$net/proxy-stats")
  fi
  echo "$timing $relayed"
  exit 0
fi

build=${1:-$here/build}
shift || true
rtts=("$@")
((${#rtts[@]})) || rtts=(0 10)
runs=${RUNS:-3}
[ "$(id -u)" -eq 0 ] || { echo "sftp-bench: run as root (sshd logs in a local user)" >&2; exit 1; }
command -v sftp >/dev/null || { echo "sftp-bench: OpenSSH's sftp is missing (openssh-client)" >&2; exit 1; }
curl -V | grep -qw sftp || { echo "sftp-bench: this curl has no sftp" >&2; exit 1; }
"$here/scripts/ftp-test-user.sh"
renice -n -10 -p $$ >/dev/null
cmake --build "$build" -j2 --target sftp_transfer >/dev/null

make_work sftp-bench
root=$work/root down=$work/down
mkdir -p "$root" "$work/net"
echo "making the 1 GiB file..." >&2
head -c "$size" /dev/urandom >"$root/big.bin"
cp "$root/big.bin" "$work/src.bin"
chown -R "$user:$user" "$root"

# Before a case: an empty download folder and upload folder.
prepare() {
  rm -rf "$down" "$root/up"
  mkdir "$down" "$root/up"
  chown "$user:$user" "$down" "$root/up"
  sync
}
# Fails unless the case left the whole file where it should.
check() { # case rtt
  case $1 in
    get-*) [ "$(find "$down" -type f | wc -l)" -eq 1 ] && cmp -s "$root/big.bin" "$down/big.bin" ;;
    put-*) [ "$(find "$root/up" -type f | wc -l)" -eq 1 ] && cmp -s "$work/src.bin" "$root/up/big.bin" ;;
  esac || { echo "sftp-bench: $1 at $2 ms did not leave the whole file" >&2; exit 1; }
}

order=(get-ours get-sftp get-curl put-ours put-sftp put-curl)
[ -n "${ONLY:-}" ] && read -r -a order <<<"$ONLY"
declare -A samples_e samples_c secs cpu
for rtt in "${rtts[@]}"; do
  for round in $(seq "$runs"); do
    n=${#order[@]}
    for ((k = 0; k < n; k++)); do
      # Each round starts one case further on, so that no case always comes first.
      name=${order[$(((k + round - 1) % n))]}
      prepare
      e=
      read -r e c relayed < <(unshare --net -- bash "$here/bench/sftp-bench.sh" --case "$name" "$work" "$rtt" "$build") || true
      [ -n "$e" ] || { echo "sftp-bench: $name at $rtt ms failed" >&2; exit 1; }
      check "$name" "$rtt"
      if [ "$rtt" != 0 ] && ((relayed < size)); then
        echo "sftp-bench: $name at $rtt ms relayed only $relayed bytes through the proxy" >&2
        exit 1
      fi
      samples_e[$rtt,$name]+="$e "
      samples_c[$rtt,$name]+="$c "
      echo "  $name at $rtt ms: $e s, $c CPU s" >&2
    done
  done
done
rm -rf "$down" "$root/up"
for key in "${!samples_e[@]}"; do
  secs[$key]=$(printf '%s\n' ${samples_e[$key]} | median)
  cpu[$key]=$(printf '%s\n' ${samples_c[$key]} | median)
done

have() { [ -n "${secs[$1]:-}" ]; }
printf '\n%s of %d run(s) per case; OpenSSH %s sshd (internal-sftp) on loopback, every case in its own network namespace;\n' \
  "$([ "$runs" -gt 1 ] && echo Median || echo Seconds)" "$runs" "$(ssh -V 2>&1 | sed 's/,.*//; s/OpenSSH_//')"
printf 'at a round trip above 0 ms through bench/ftp-delay-proxy.py --plain (one Python process, which\n'
printf 'takes CPU of its own beside client and server on this machine). 1 GiB file, in %s.\n' "$(df --output=fstype "$work" | tail -1)"
printf 'Whole processes (connecting and logging in included). Speed ratio: ours / the faster peer (above 1: ours\n'
printf 'faster). CPU ratio: ours / the peer using less (below 1: ours uses less).\n\n'
printf '| transfer | RTT ms | ours MB/s | sftp MB/s | curl MB/s | speed ratio | ours CPU s | sftp CPU s | curl CPU s | CPU ratio |\n'
printf '|---|---|---|---|---|---|---|---|---|---|\n'
verdicts=()
for rtt in "${rtts[@]}"; do
  for way in get put; do
    have "$rtt,$way-ours" || continue
    o=${secs[$rtt,$way-ours]} oc=${cpu[$rtt,$way-ours]}
    s=${secs[$rtt,$way-sftp]:-} sc=${cpu[$rtt,$way-sftp]:-}
    c=${secs[$rtt,$way-curl]:-} cc=${cpu[$rtt,$way-curl]:-}
    mo=$(mbps "$o") ms=- mc=- best='' least=''
    [ -n "$s" ] && ms=$(mbps "$s") best=$ms least=$sc
    [ -n "$c" ] && mc=$(mbps "$c") && best=$(better "${best:-0}" "$mc") && least=$(fewer "${least:-$cc}" "$cc")
    sr=- cr=-
    if [ -n "$best" ]; then
      sr=$(ratio "$mo" "$best") cr=$(ratio "$oc" "$least")
      verdicts+=("$([ $way = get ] && echo download || echo upload) at $rtt ms: speed $sr (>= 1.0) $(verdict "$mo >= $best"), CPU $cr (<= 1.0) $(verdict "$oc <= $least")")
    fi
    printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$([ $way = get ] && echo download || echo upload)" \
      "$rtt" "$mo" "$ms" "$mc" "$sr" "$oc" "${sc:--}" "${cc:--}" "$cr"
  done
done
printf '\nTargets (ours against the better peer):\n'
for line in "${verdicts[@]}"; do
  printf -- '- %s\n' "$line"
done
